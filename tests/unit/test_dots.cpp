// Dot field: placement, flow parameters and their draw order, move steps
// (flow transform, wedge-keeping jitter and flow), quad fields, and the
// clocks of the flow-field stimuli.
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include "config/params.h"
#include "core/runstate.h"
#include "dots/dotfield.h"
#include "dots/flowfields.h"
#include "keepglobals.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr float PI = static_cast<float>(M_PI);

class Dots : public ::testing::Test {
 protected:
  KeepGlobals keep;
  void SetUp() override { par = Params{}; }
};

float polarangle(DotXY p) {
  float a = std::atan2(p.y, p.x);
  return a < 0.0f ? a + 2.0f * PI : a;
}

}  // namespace

TEST_F(Dots, PlacementFillsAnnulusAndSquareAndCountsItsDraws) {
  par.minrad = 0.5f;
  par.maxrad = 1.5f;
  par.usemaxrad = 1;
  par.maxdotxy = 1.2f;
  srandom(7);
  computedots(500);
  EXPECT_EQ(dotcount(), 500);
  for (int j = 0; j < 500; j++) {
    const float r = std::hypot(dotx[j], doty[j]);
    EXPECT_GE(r, 0.5f);
    EXPECT_LE(r, 1.5f);
    EXPECT_LE(std::fabs(dotx[j]), 1.2f);
    EXPECT_LE(std::fabs(doty[j]), 1.2f);
    EXPECT_EQ(dotdilscale[j], 0.0f) << "flow entries cleared";
  }
  // minrad 0 without maxrad accepts every pair: exactly 2n draws, x first.
  par.minrad = 0.0f;
  par.usemaxrad = 0;
  srandom(3);
  computedots(10);
  srandom(3);
  for (int j = 0; j < 10; j++) {
    const float x = dotrand() * 2.4f - 1.2f, y = dotrand() * 2.4f - 1.2f;
    EXPECT_EQ(dotx[j], x);
    EXPECT_EQ(doty[j], y);
  }
  // The same count again keeps the arrays and what they hold.
  float* before = dotx;
  const float x0 = dotx[0];
  mkdotarrays(10);
  EXPECT_EQ(dotx, before);
  EXPECT_EQ(dotx[0], x0);
}

TEST_F(Dots, PlacementFractionSeesAnnuliThatCannotBeFilled) {
  EXPECT_NEAR(placementfraction(0.0f, 2.0f, 0, 3.0f), 1.0, 1e-12);
  EXPECT_NEAR(placementfraction(1.0f, 2.0f, 0, 3.0f), 1.0 - M_PI / 36.0, 1e-9);
  EXPECT_NEAR(placementfraction(1.0f, 2.0f, 1, 3.0f), 3.0 * M_PI / 36.0, 1e-9);
  EXPECT_NEAR(placementfraction(0.0f, 5.0f, 1, 1.0f), 1.0, 1e-12) << "disk past the corners";
  EXPECT_EQ(placementfraction(4.3f, 5.0f, 0, 3.0f), 0.0) << "minrad beyond the corners";
  EXPECT_EQ(placementfraction(1.0f, 0.5f, 1, 3.0f), 0.0) << "maxrad below minrad";
  EXPECT_EQ(placementfraction(0.1f, 2.0f, 0, 0.0f), 0.0) << "an empty square";
  const double corner = placementfraction(4.2f, 5.0f, 0, 3.0f);
  EXPECT_GT(corner, 0.0);
  EXPECT_LT(corner, 1e-2);
}

TEST_F(Dots, FlowParametersDrawInOrderAndScaleBySpeed) {
  par.dotjittcent = 0.02f;
  par.dotspeed = 4.0f;
  srandom(11);
  const float u1 = dotrand(), u2 = dotrand(), u3 = dotrand();
  float dx, dy, rot, dil;
  srandom(11);
  randflowparms(&dx, &dy, &rot, &dil);
  EXPECT_EQ(dx, (u1 * 0.04f - 0.02f) * 4.0f);
  EXPECT_EQ(dy, (u2 * 0.04f - 0.02f) * 4.0f);
  EXPECT_EQ(rot, 0.0f);
  EXPECT_EQ(dil, 1.0f);
  EXPECT_EQ(dotrand(), u3) << "without rotation and dilation only two draws";

  par.dotrotflag = par.dotdilflag = 1;
  par.dotspeed = 1.0f;
  for (int k = 0; k < 200; k++) {
    randflowparms(&dx, &dy, &rot, &dil);
    EXPECT_LE(std::fabs(rot), 10.0f * PI / 180.0f + 1e-6f);
    EXPECT_GE(dil, 0.87f - 1e-6f);
    EXPECT_LE(dil, 1.15f + 1e-6f);
  }
  par.dotjspeed = 0.5f;
  srandom(5);
  randmove(&dx, &dy, 0.1f);
  srandom(5);
  EXPECT_EQ(dx, (dotrand() * 0.2f - 0.1f) * 0.5f);
  EXPECT_EQ(dy, (dotrand() * 0.2f - 0.1f) * 0.5f);
}

TEST_F(Dots, FlowTransformScalesRotatesThenTranslates) {
  const DotXY p = flowtransform(1.0f, 0.0f, 0.1f, -0.2f, PI / 2.0f, 2.0f);
  EXPECT_NEAR(p.x, 0.1f, 1e-6);
  EXPECT_NEAR(p.y, 1.8f, 1e-6);
  float x = 0.5f, y = 0.0f;
  movedot(&x, &y, 0.0f, 0.0f, 0.1f, 1.0f);
  movedot(&x, &y, 0.0f, 0.0f, 0.1f, 1.0f);
  EXPECT_NEAR(std::atan2(y, x), 0.2f, 1e-6) << "movedot accumulates";
}

TEST_F(Dots, BackgroundJitterStaysOutsideTheWedge) {
  par.minrad = 0.1f;
  par.maxrad = 1.2f;
  par.dotjrange = 0.1f;
  par.polfreq = 1.0f / 64.0f;
  const float e1 = 0.0f, e2 = PI / 4.0f;  // wedge 0..45 degrees
  // A jitter that lands just inside the near half reappears beyond the far edge.
  DotXY p = moveoutpos(std::cos(-0.05f), std::sin(-0.05f), 0.0f, std::sin(0.1f) * 1.0f, e1, e2);
  EXPECT_GT(polarangle(p), e2);
  // One in the far half reappears before the near edge.
  p = moveoutpos(std::cos(0.7f), std::sin(0.7f), 0.0f, 0.0f, e1, e2);
  EXPECT_NEAR(polarangle(p), 0.7f - PI / 4.0f + 2.0f * PI, 1e-5);
  // Exactly on an edge is not moved across.
  p = moveoutpos(1.0f, 0.0f, 0.0f, 0.0f, e1, e2);
  EXPECT_NEAR(p.x, 1.0f, 1e-6);
  // Radial bounce.
  p = moveoutpos(0.0f, -0.05f, 0.0f, 0.0f, e1, e2);
  EXPECT_NEAR(std::hypot(p.x, p.y), 0.25f, 1e-6);
  p = moveoutpos(0.0f, -1.25f, 0.0f, 0.0f, e1, e2);
  EXPECT_NEAR(std::hypot(p.x, p.y), 1.05f, 1e-6);
  // A wedge straddling angle 0 (clockwise edges, lo < 0): a dot at 10
  // degrees lies inside and is pushed out; one at 180 stays.
  par.polfreq = -1.0f / 64.0f;
  p = moveoutpos(std::cos(0.17f), std::sin(0.17f), 0.0f, 0.0f, 0.3f, -0.3f);
  const float a = polarangle(p);
  EXPECT_TRUE(a > 0.3f && a < 2.0f * PI - 0.3f) << a;
  p = moveoutpos(-1.0f, 0.0f, 0.0f, 0.0f, 0.3f, -0.3f);
  EXPECT_NEAR(p.x, -1.0f, 1e-6);
}

TEST_F(Dots, WedgeDotsWrapBackIntoTheWedge) {
  par.minrad = 0.1f;
  par.maxrad = 1.2f;
  par.polfreq = 1.0f / 64.0f;
  const float e1 = 1.0f, e2 = 1.5f;
  // Rotated past the far edge by 0.1: comes in 0.1 past the near edge.
  DotXY p = movewedgepos(std::cos(1.4f), std::sin(1.4f), 0.0f, 0.0f, 0.2f, 1.0f, e1, e2);
  EXPECT_NEAR(polarangle(p), 1.1f, 1e-5);
  p = movewedgepos(std::cos(1.1f), std::sin(1.1f), 0.0f, 0.0f, -0.2f, 1.0f, e1, e2);
  EXPECT_NEAR(polarangle(p), 1.4f, 1e-5);
  // Inside, it simply follows the flow.
  p = movewedgepos(std::cos(1.1f), std::sin(1.1f), 0.0f, 0.0f, 0.1f, 1.0f, e1, e2);
  EXPECT_NEAR(polarangle(p), 1.2f, 1e-5);
}

// A clockwise wedge just before the end of its turn reaches below -2pi:
// the dots on both sides of angle 0 are inside and flow on in place.
TEST_F(Dots, ClockwiseWedgeKeepsItsDotsAcrossTheEndOfItsTurn) {
  par.minrad = 0.1f;
  par.maxrad = 1.2f;
  par.polfreq = -1.0f / 64.0f;
  par.polwidth = 0.4f;
  par.centerpolflag = 1;
  float e1, e2;
  dotwedgeedges(63.9, &e1, &e2);  // the wedge middle 0.0098 rad past 0
  for (float a : {-0.15f, -0.05f, 0.05f, 0.15f}) {
    const DotXY p = movewedgepos(std::cos(a), std::sin(a), 0.0f, 0.0f, 0.0f, 1.0f, e1, e2);
    EXPECT_NEAR(p.x, std::cos(a), 1e-5) << a;
    EXPECT_NEAR(p.y, std::sin(a), 1e-5) << a;
  }
}

TEST_F(Dots, QuadFieldsFillWholePatchesInArraysOfAMultipleOfFour) {
  par.dotsize = 0.05f;
  par.sphererad = 1.5f;
  run.vectstimtype = 0;
  computespherequads(10);  // three patches: twelve entries
  for (int k = 0; k < 12; k++)
    EXPECT_NEAR(std::sqrt(dotx[k] * dotx[k] + doty[k] * doty[k] + dotz[k] * dotz[k]), 1.5f, 1e-4) << k;
  float x, y, z;
  randsphpoint(&x, &y, &z);
  EXPECT_NEAR(x * x + y * y + z * z, 1.0f, 1e-5);
}

TEST_F(Dots, FlowClocksAndBlocks) {
  par.twofreq = 1.0f / 16.0f;
  EXPECT_EQ(scrambledblock(15.9), 0);
  EXPECT_EQ(scrambledblock(16.0), 1);
  EXPECT_EQ(scrambledblock(32.5), 0);
  par.twofreq = -1.0f / 16.0f;
  EXPECT_EQ(scrambledblock(1.0), 1) << "negative rate starts scrambled";
  par.twofreq = 0.0f;
  EXPECT_EQ(scrambledblock(1e6), 0);
  EXPECT_NEAR(flowtime(1.25, 2.0f), 0.25, 1e-12);
  EXPECT_NEAR(flowtime(1.25, 0.0f), 1.25, 1e-9) << "a zero rate is one endless flow";
  EXPECT_NEAR(periodstart(1.3, 2.0f), 1.0, 1e-12);
  EXPECT_NEAR(stepped(0.37, 4.0f), 0.25, 1e-12);
  EXPECT_TRUE(std::isfinite(periodstart(5.0, 0.0f)));
  par.polfreq = 1.0f / 64.0f;
  par.polwidth = 0.5f;
  par.centerpolflag = 1;
  float e1, e2;
  dotwedgeedges(16.0, &e1, &e2);
  EXPECT_NEAR(e1, PI / 2.0f - 0.25f, 1e-5);
  EXPECT_NEAR(e2, PI / 2.0f + 0.25f, 1e-5);
  par.polfreq = -1.0f / 64.0f;
  dotwedgeedges(16.0, &e1, &e2);
  EXPECT_NEAR(e1, -PI / 2.0f + 0.25f, 1e-5);
  EXPECT_NEAR(e2, -PI / 2.0f - 0.25f, 1e-5);
}

TEST_F(Dots, AResetStartsAFlowLayerAndTheStereoBlocksAgain) {
  par.flowfreq = 0.5f;
  par.twofreq = 0.25f;
  par.flowspertarg = 2;
  par.numdots = 30;
  par.maxrad = par.maxdotxy = 1.0f;
  par.smoothwrapdim = 1.0f;
  preparedots();
  FlowFieldsState st;
  FlowFieldState& field = st.field;
  StereoFlowState& stereo = st.stereo;
  auto drawrun = [&](std::vector<float>& seen) {
    srandom(8);
    for (double t = 0.0; t < 10.0; t += 0.1) {
      drawrotdil0layer(field, t, 30);
      drawrotdil0stereo(stereo, t, 30, 0.01f, -1, 1);
      seen.insert(seen.end(), {field.common.dx, field.common.rot, static_cast<float>(field.target),
                               static_cast<float>(field.lastcond), stereo.common.dil, dotx[0]});
    }
  };
  std::vector<float> first, again;
  drawrun(first);
  resetflowfields(st);
  EXPECT_EQ(field.lastcond, -1);  // the first block is logged again
  drawrun(again);
  EXPECT_EQ(first, again);
}
