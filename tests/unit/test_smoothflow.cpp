// Smooth flow: the flow factors, displacement amplitudes, the radial fold,
// dot placement on the linear and exponential scales, and the still-target
// schedule.
#include <gtest/gtest.h>

#include "config/params.h"
#include "dots/smoothflow.h"
#include "keepglobals.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

class SmoothFlow : public ::testing::Test {
 protected:
  KeepGlobals keep;
  void SetUp() override {
    par = Params{};
    par.minrad = 0.03f;
    par.maxrad = 2.0f;
    par.flowfreq = 1.0f / 64.0f;
  }
};

}  // namespace

TEST_F(SmoothFlow, FactorsFollowTheFlowTypeAndANegativeRateMirrorsTheMixedTypes) {
  const float phi = 0.7f, c = std::cos(phi), s = std::sin(phi);
  const float want[8][2] = {{0, 0}, {-c, 0}, {0, -c}, {s, -c}, {s, s}, {-s, s}, {-s, -s}, {s, -s}};
  for (int type = 0; type < 8; type++) {
    float E, F;
    smoothflowfactors(type, phi, &E, &F);
    EXPECT_FLOAT_EQ(E, want[type][0]) << type;
    EXPECT_FLOAT_EQ(F, want[type][1]) << type;
  }
  par.smoothflowtype = 4;
  EXPECT_EQ(smoothflowsetup().flowtype, 4);
  par.flowfreq = -1.0f / 64.0f;
  EXPECT_EQ(smoothflowsetup().flowtype, 6);
  par.smoothflowtype = 5;
  EXPECT_EQ(smoothflowsetup().flowtype, 7);
  par.smoothflowtype = 3;
  EXPECT_EQ(smoothflowsetup().flowtype, 3);
}

TEST_F(SmoothFlow, DisplacementAmplitudesReachThePeakSpeedsAtTheOuterEdge) {
  // Dilation at t = 0 starts displaced inward by the full amplitude.
  par.smoothflowtype = 2;
  par.dilspeed = 2.0f;
  par.exptransflag = 0;
  SmoothFlowSetup s = smoothflowsetup();
  EXPECT_NEAR(s.secsperrad, 64.0 / (2.0 * M_PI), 1e-4);
  float dr, dth;
  smoothflowdisplacement(s, 0.0, &dr, &dth);
  EXPECT_NEAR(dr, -s.secsperrad * 2.0f * 2.0f, 1e-3);
  EXPECT_EQ(dth, 0.0f);
  // On the exponential scale the slope at maxrad turns the same linear
  // displacement into that many display units at the edge.
  par.exptransflag = 1;
  s = smoothflowsetup();
  EXPECT_NEAR(s.dexptrans, std::log(s.a) * par.maxrad, 1e-4);
  smoothflowdisplacement(s, 0.0, &dr, &dth);
  EXPECT_NEAR(dr * s.dexptrans, -s.secsperrad * 4.0f, 1e-3);
  // Rotation: angular speed rotspeed * sin(phi), the integral of which is
  // -cos(phi) * rotspeed * secsperrad.
  par.smoothflowtype = 1;
  par.rotspeed = 2.0f;
  s = smoothflowsetup();
  float a0, a1;
  smoothflowdisplacement(s, 16.0, &dr, &a0);
  smoothflowdisplacement(s, 16.01, &dr, &a1);
  EXPECT_NEAR((a1 - a0) / 0.01f, 2.0f, 1e-2);  // a quarter period in: the peak speed
  // Without a usable exponential map (minrad 0) radii stay linear.
  par.minrad = 0.0f;
  EXPECT_EQ(smoothflowsetup().dexptrans, 1.0f);
}

TEST_F(SmoothFlow, FoldAndPlacementKeepDotsBetweenMinradAndMaxrad) {
  // What passes maxrad comes back just outside minrad at the same angle.
  EXPECT_NEAR(smoothfold(2.1f, 0.03f, 2.0f), 0.03f + 0.1f, 1e-5);
  EXPECT_NEAR(smoothfold(-0.5f, 0.03f, 2.0f), -0.5f + 1.97f, 1e-5);
  EXPECT_FLOAT_EQ(smoothfold(1.0f, 0.03f, 2.0f), 1.0f);
  // A vanishing flow rate makes huge displacements: folded at once.
  const float far = smoothfold(3.0e8f, 0.03f, 2.0f);
  EXPECT_GE(far, 0.03f);
  EXPECT_LE(far, 2.0f);
  EXPECT_EQ(smoothfold(1.0f, 0.5f, 0.5f), 0.5f);  // no width: no endless loop
  EXPECT_EQ(smoothfold(NAN, 0.5f, 1.0f), 0.5f);

  par.exptransflag = 0;
  SmoothFlowSetup s = smoothflowsetup();
  float R, th;
  smoothdotplace(s, 1.0f, 0.5f, 1.05f, 0.2f, &R, &th);
  EXPECT_NEAR(R, 0.08f, 1e-5);
  EXPECT_NEAR(th, 0.5f + 0.2f * 2.0f / 0.08f, 1e-3);  // the same distance along every circle
  par.exptransflag = 1;
  s = smoothflowsetup();
  smoothdotplace(s, 2.0f, 0.5f, 0.0f, 0.2f, &R, &th);
  EXPECT_NEAR(R, 2.0f, 1e-4);
  EXPECT_NEAR(th, 0.7f, 1e-6);  // every radius turns by the same angle
  smoothdotplace(s, 0.03f, 0.0f, 0.0f, 0.0f, &R, &th);
  EXPECT_NEAR(R, 0.03f, 1e-6);
}

TEST_F(SmoothFlow, TargetsStartOnTheFirstFrameLastTheirFramesAndKeepTheirGaps) {
  FlowTarg targ;
  float r, th;
  par.flowtargprob = 0.0f;
  EXPECT_EQ(getflowtarg(targ, &r, &th), 0);
  EXPECT_EQ(r, 0.0f);
  // One target per 10 s cycle at least 120 frames apart: gaps 120..600.
  par.flowtargprob = 1.0f;
  par.flowfreq = 0.1f;
  par.minfrms2nexttg = 120;
  par.targframes = 3;
  par.flowtargmin = 0.4f;
  EXPECT_EQ(flowtarggap(0.0f), 120);
  EXPECT_EQ(flowtarggap(0.999f), 599);
  srandom(3);
  std::vector<int> starts;
  int last = 0;
  for (int f = 0; f < 5000; f++) {
    const int on = getflowtarg(targ, &r, &th);
    if (on && !last) {
      starts.push_back(f);
      EXPECT_GE(r, 0.4f);
      EXPECT_LT(r, 1.0f);
      EXPECT_GE(th, 0.0f);
      EXPECT_LT(th, 2.0f * M_PI);
    }
    if (!on) {
      EXPECT_EQ(r, 0.0f);
    }
    last = on;
  }
  ASSERT_GE(starts.size(), 8u);
  EXPECT_EQ(starts[0], 0);
  for (size_t k = 1; k < starts.size(); k++) {
    EXPECT_GE(starts[k] - starts[k - 1], 120);
    EXPECT_LE(starts[k] - starts[k - 1], 600);
  }
}

TEST_F(SmoothFlow, AResetPlacesTheFieldAndSchedulesTheTargetsAgain) {
  par.numdots = 40;
  par.dotlife = 0.5f;
  par.dotsize = 0.02f;
  par.flowfreq = 0.5f;
  par.flowtargprob = 1.0f;
  par.minfrms2nexttg = 5;
  par.targframes = 3;
  par.flowtargmin = 0.4f;
  preparesmoothflow();
  SmoothFlowState s;
  auto drawrun = [&s](std::vector<float>& seen) {
    srandom(6);
    for (int f = 0; f < 400; f++) {
      drawsmoothflow(s, f / 60.0, (f - 1) / 60.0, par.numdots, 0);
      seen.insert(seen.end(), {static_cast<float>(s.targdot), s.targ.rho, static_cast<float>(s.targ.countdown)});
    }
  };
  std::vector<float> first, again;
  drawrun(first);
  resetsmoothflow(s);
  EXPECT_EQ(s.targ.countdown, 0);  // the first frame schedules a target
  drawrun(again);
  EXPECT_EQ(first, again);
}
