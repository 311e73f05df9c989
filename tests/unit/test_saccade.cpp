// Delayed-saccade schedules: trial times and target positions, and the
// calibration path of the fixation mark.
#include "keepglobals.h"
#include "retino/saccade.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

TEST(Saccade, TrialTimesAndTargetsFollowTheClockAngle) {
  KeepGlobals keep;
  par.polfreq = 1.0f / 64.0f;
  par.radjit = 0.0f;
  par.thetajit = 0.0f;
  par.targ1rad = 0.8f;
  const SaccTrial s = startsacctrial(90, 16.0, 0);  // a quarter turn: straight up
  EXPECT_DOUBLE_EQ(s.targ1beg, 16.75);
  EXPECT_DOUBLE_EQ(s.trialend, 21.0);
  EXPECT_NEAR(s.t1x, 0.0f, 1e-5);
  EXPECT_NEAR(s.t1y, 0.8f, 1e-5);
  EXPECT_FLOAT_EQ(s.t2x, 10.0f) << "no second target";
  // Type 93: on the left meridian at a radius growing through the cycle,
  // never inside the fixation mark.
  par.eccfreq = 1.0f / 64.0f;
  const SaccTrial e = startsacctrial(93, 32.0, 0);
  EXPECT_NEAR(e.t1x, -0.4f, 1e-5);
  EXPECT_NEAR(e.t1y, 0.0f, 1e-5);
  EXPECT_NEAR(startsacctrial(93, 0.0, 0).t1x, -(2.0f * par.fixrad + par.dotsize), 1e-5);
  // Type 96: the two targets lie in opposite halves.
  par.targ2rad = 0.7f;
  srandom(9);
  for (int k = 0; k < 20; k++) {
    const SaccTrial d = startsacctrial(96, k * 5.0, 0);
    EXPECT_LT(d.t1x * d.t2x, 1e-6f) << k;
  }
  // Return flags: every trial with retevery 1, none with 0 (no division).
  par.retevery = 1;
  EXPECT_EQ(startsacctrial(92, 0.0, 1).retflag, 1);
  par.retevery = 0;
  EXPECT_EQ(startsacctrial(92, 0.0, 0).retflag, 0);
}

TEST(Saccade, CalibrationPathVisitsTheCornersWithZeroSpeedAtThem) {
  float x, y;
  presaccadepos(1.0, 2.0, &x, &y);
  EXPECT_FLOAT_EQ(x, 0.0f);
  presaccadepos(4.0, 2.0, &x, &y);  // start of the second leg
  EXPECT_NEAR(x, 0.7f, 1e-5);
  EXPECT_NEAR(y, 0.7f, 1e-5);
  presaccadepos(5.0, 2.0, &x, &y);  // halfway to the upper left
  EXPECT_NEAR(x, 0.0f, 1e-5);
  EXPECT_NEAR(y, 0.7f, 1e-5);
  presaccadepos(7.999, 2.0, &x, &y);
  EXPECT_NEAR(x, 0.0f, 1e-3);
  EXPECT_NEAR(y, 0.0f, 1e-3);
}

TEST(Saccade, ARestartedRunStartsWithANewTrialAtItsFirstFrame) {
  KeepGlobals keep;
  par.stimtype = 90;
  par.polfreq = 1.0f / 64.0f;
  par.fixtype = -1;
  SaccadeState s;
  resetsaccade(s);
  drawdelsacc(s, 0.0);
  const double firstend = s.trial.trialend;
  drawdelsacc(s, 2.0);  // mid-trial
  resetsaccade(s);
  drawdelsacc(s, 16.0);
  EXPECT_DOUBLE_EQ(s.trial.trialend, firstend + 16.0) << "the restart finishes the old trial first";
  EXPECT_EQ(s.framecnt, 1);
}
