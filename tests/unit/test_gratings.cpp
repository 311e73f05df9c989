// Grating schedules: random bar edges, bar colours per quadrant, the
// orientation, the spatial-frequency steps and the flicker-period curve.
#include "keepglobals.h"
#include "retino/gratings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

TEST(Gratings, BarEdgesSpanTheApertureWithinTheWidthRange) {
  srandom(3);
  float e[MAXBARS + 1];
  const int n = makebaredges(e, 1.2f, 0.01f, 0.1f);
  ASSERT_GT(n, 23);  // at least 2.4/0.1 bars
  EXPECT_FLOAT_EQ(e[0], -1.2f);
  EXPECT_FLOAT_EQ(e[n], 1.2f);
  for (int k = 0; k + 1 < n; k++) {
    EXPECT_GE(e[k + 1] - e[k], 0.01f - 1e-5f);
    EXPECT_LE(e[k + 1] - e[k], 0.1f + 1e-5f);
  }
  EXPECT_EQ(makebaredges(e, 2.0f, 0.001f, 0.002f), -1) << "over the bar limit";
  EXPECT_FLOAT_EQ(barhalfheight(0.6f, 1.0f), 0.8f);
  // Each quadrant reads the palette four entries further on, wrapping.
  EXPECT_EQ(barentry(5, -1, 10), 5);
  EXPECT_EQ(barentry(5, 0, 10), 9);
  EXPECT_EQ(barentry(5, 1, 10), 3);
}

TEST(Gratings, OrientationAndFrequencyRampSchedules) {
  KeepGlobals keep;
  par.polfreq = 1.0f / 64.0f;
  par.wobbleflag = 0;
  EXPECT_FLOAT_EQ(gratingorientation(0.0), 90.0f);
  EXPECT_FLOAT_EQ(gratingorientation(16.0), 180.0f);
  par.rampfreq = 1.0f / 64.0f;
  par.mincycles = 1.0f;
  par.maxcycles = 90.0f;
  par.numfsamples = 100;
  par.initblankfrac = 0.1f;
  EXPECT_EQ(sframpstep(3.0), -1) << "blank start";
  EXPECT_EQ(sframpstep(64.0 * 0.1 + 0.001), 0);
  EXPECT_NEAR(sframpcycles(0), std::pow(90.0, 0.01), 1e-4) << "first step is the start times q";
  EXPECT_NEAR(sframpcycles(99), 90.0, 1e-3);
  par.rampfreq = -par.rampfreq;
  EXPECT_NEAR(sframpcycles(99), 1.0, 1e-4);
  // Flicker period: 1/mintfreq to 1/maxtfreq, bent down by sinfrac mid-ramp.
  par.rampfreq = 1.0f / 64.0f;
  par.mintfreq = 0.5f;
  par.maxtfreq = 30.0f;
  par.sinfrac = 0.2f;
  EXPECT_FLOAT_EQ(tempramperiod(0.0f), 2.0f);
  const float straight = 2.0f + (1.0f / 30.0f - 2.0f) * 0.5f;
  EXPECT_NEAR(tempramperiod(0.5f), straight - (2.0f - 1.0f / 30.0f) * 0.2f, 1e-5);
  par.rampfreq = -par.rampfreq;
  EXPECT_NEAR(tempramperiod(0.0f), 1.0f / 30.0f, 1e-6);
}

TEST(Gratings, ARestartedRunMakesTheSameBarsAsTheFirst) {
  KeepGlobals keep;
  par.maxrad = 1.0f, par.minbar = 0.05f, par.maxbar = 0.2f, par.gratfreq = 1.0f;
  GratingState s;
  auto startrun = [&s] {
    srandom(5);
    resetgratings(s);
    draworient(s, 0.0, 0.0);
    return std::vector<float>(s.baredges, s.baredges + s.barcount + 1);
  };
  const std::vector<float> first = startrun();
  draworient(s, 2.5, 0.0);  // a later set, in mid-run
  EXPECT_EQ(startrun(), first) << "a restart keeps the mid-run bars";
}

// Flips come at their own times on the frame grid, not a frame late each:
// over a minute at 60 Hz the count matches the flicker rate, for half
// periods that are and are not whole frames, and a stall does not make the
// flicker catch up in a burst.
TEST(Gratings, TemporalRampFlipsKeepTheirRateOnTheFrameGrid) {
  for (double half : {4.0 / 60.0, 0.0625, 0.1}) {
    double due = -0.001;
    int flips = 0;
    for (int frame = 0; frame <= 3600; frame++) {
      const double t = frame / 60.0;
      if (t > due) {
        flips++;
        due = nextdue(due, t, half);
      }
    }
    EXPECT_NEAR(flips, 60.0 / half, 1.0) << "half period " << half;
  }
  // A frame 2 s late: the next flip counts from it.
  EXPECT_DOUBLE_EQ(nextdue(1.0, 3.0, 0.1), 3.1);
  EXPECT_DOUBLE_EQ(nextdue(1.0, 1.01, 0.1), 1.1);
}
