// Delayed-saccade schedules: trial times and target positions, and the
// calibration path of the fixation mark.
#include "keepglobals.h"
#include "retino/saccade.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

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

TEST(Saccade, TrialsStartAtExactMultiplesOfTheirLengthForFiveMinutes) {
  // Five minutes at 60 Hz: every trial starts on the frame its predecessor's
  // time runs out, its times counted from the exact onset, and the clock
  // angle of type 90 steps 28.125 degrees a trial (5 s of a 64 s turn).
  KeepGlobals keep;
  par.stimtype = 90;
  par.polfreq = 1.0f / 64.0f;
  par.radjit = 0.0f;
  par.thetajit = 0.0f;
  par.targ1rad = 0.8f;
  par.fixtype = -1;
  par.sacdistflag = 0;
  SaccadeState s;
  resetsaccade(s);
  std::vector<double> onsets;
  std::vector<int> onsetframes;
  double lastend = -1.0;
  for (int k = 0; k <= 300 * 60; k++) {
    const double t = k * (1.0 / 60.0);
    drawdelsacc(s, t);
    if (s.trial.trialend != lastend) {
      lastend = s.trial.trialend;
      onsets.push_back(s.trial.trialend - 5.0);
      onsetframes.push_back(k);
    }
  }
  ASSERT_EQ(onsets.size(), 61u) << "0, 5, ... 300 s";
  for (size_t n = 0; n < onsets.size(); n++) {
    EXPECT_NEAR(onsets[n], 5.0 * n, 1e-9) << "trial " << n;
    EXPECT_EQ(onsetframes[n], static_cast<int>(300 * n)) << "trial " << n;
  }
  // The last trial's target, 60 trials of 28.125 degrees on.
  const double th = std::fmod(60 * 28.125, 360.0) * M_PI / 180.0;
  EXPECT_NEAR(s.trial.t1x, 0.8 * std::cos(th), 1e-4);
  EXPECT_NEAR(s.trial.t1y, 0.8 * std::sin(th), 1e-4);
  // Successive trials of the plain function step the same.
  const SaccTrial a = startsacctrial(90, 5.0, 0), b = startsacctrial(90, 10.0, 0);
  EXPECT_NEAR(std::atan2(b.t1y, b.t1x) - std::atan2(a.t1y, a.t1x), 28.125 * M_PI / 180.0, 1e-5);

  // A frame late on the clock (a dropped frame) starts the trial it falls
  // in, at that trial's own onset; a frame's t rounded just short of an
  // onset counts as reaching it; a trial of no length lasts one frame.
  EXPECT_EQ(saccadetrialat(0.0, 5.0, 12.3), 2);
  EXPECT_DOUBLE_EQ(saccadeonset(0.0, 5.0, 2), 10.0);
  EXPECT_EQ(saccadetrialat(0.0, 5.0, 300 * (1.0 / 60.0) - 1e-12), 1);
  EXPECT_EQ(saccadetrialat(2.5, 5.0, 7.49), 0);
  EXPECT_EQ(saccadetrialat(0.0, 0.0, 3.0), -1);
}
