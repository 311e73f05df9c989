// Ring position, blanking, wrap pieces, smooth wrap, the exponential
// transform and the three-condition design.
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include "config/params.h"
#include "core/runstate.h"
#include "core/window.h"
#include "draw/ring.h"

#include <cmath>
#include <cstdlib>

namespace {

class Ring : public ::testing::Test {
 protected:
  void SetUp() override {
    par = Params{};
    par.eccfreq = 1.0f / 64.0f;
    par.minrad = 0.05f;
    par.maxrad = 2.0f;
  }
  void TearDown() override {
    par = Params{};
    resetring(ringstate());
  }
};

}  // namespace

TEST_F(Ring, ExponentialTransformKeepsTheEndsAndBlends) {
  const float b = expbase(0.05f, 2.0f);
  EXPECT_NEAR(exptrans(0.05f, 0.05f, b), 0.05f, 1e-6);
  EXPECT_NEAR(exptrans(2.0f, 0.05f, b), 2.0f, 1e-4);
  const float mid = 0.05f + 0.975f;
  EXPECT_NEAR(exptrans(mid, 0.05f, b), std::sqrt(0.05f * 2.0f), 1e-4) << "geometric mean at the midpoint";
  EXPECT_FLOAT_EQ(exptransblend(mid, 0.05f, b, 0.0f), mid);
  EXPECT_FLOAT_EQ(exptransblend(mid, 0.05f, b, 1.0f), exptrans(mid, 0.05f, b));
  EXPECT_NEAR(exptransblend(mid, 0.05f, b, 0.5f), (mid + exptrans(mid, 0.05f, b)) / 2.0f, 1e-6);
}

TEST_F(Ring, InnerEdgeTravelsOncePerPeriod) {
  EXPECT_FLOAT_EQ(eccinnerradius(0.0), 0.05f);
  EXPECT_NEAR(eccinnerradius(32.0), 1.025f, 1e-5) << "halfway at half the period";
  EXPECT_NEAR(eccinnerradius(64.0 + 16.0), 0.05f + 0.25f * 1.95f, 1e-4);
  par.eccfreq = -1.0f / 64.0f;
  EXPECT_FLOAT_EQ(eccinnerradius(0.0), 2.0f);
  EXPECT_NEAR(eccinnerradius(16.0), 2.0f - 0.25f * 1.95f, 1e-5) << "contracting";
  par.eccfreq = 1.0f / 64.0f;
  par.trbased = 2.0f;
  EXPECT_FLOAT_EQ(eccinnerradius(33.9), eccinnerradius(32.0));
  par.trbased = 0.0f;
  par.skipeccwrapnogapflag = 1;
  par.eccwidth = 0.195f;
  EXPECT_NEAR(eccinnerradius(63.999) + 0.195f, 2.0f, 1e-3) << "compressed: never passes maxrad";
}

TEST_F(Ring, TwoConditionsAlternateByHalfPeriod) {
  par.ecc2condflag = 1;
  par.twofreq = 1.0f / 16.0f;  // stored doubled: 16 s per condition
  EXPECT_FLOAT_EQ(eccinnerradius(3.0), par.ecc2condcent);
  EXPECT_FLOAT_EQ(eccinnerradius(17.0), par.ecc2condperi);
  par.twofreq = -1.0f / 16.0f;
  EXPECT_FLOAT_EQ(eccinnerradius(3.0), par.ecc2condperi);
}

TEST_F(Ring, BlankIntervalsPerCycleAndPerRun) {
  par.offspercyc = 1;
  par.offsfrac = 0.1f;
  EXPECT_TRUE(eccblank(0.0));
  EXPECT_TRUE(eccblank(6.3));
  EXPECT_FALSE(eccblank(6.5));
  EXPECT_FALSE(eccblank(63.0));
  EXPECT_TRUE(eccblank(64.5));
  par.offspercyc = 2;  // two blanks per period, each a tenth of a half period
  EXPECT_TRUE(eccblank(32.5));
  EXPECT_FALSE(eccblank(35.5));
  par.offspercyc = 0;
  par.offsperrun = 1;
  par.runfreq = 1.0f / 512.0f;
  EXPECT_TRUE(eccblank(50.0));
  EXPECT_FALSE(eccblank(52.0));
}

TEST_F(Ring, ChecksPastTheEdgeReappearAtTheCentre) {
  RingPieces inside = ringcheckpieces(0.5f, 0.6f, 0.05f, 2.0f);
  EXPECT_EQ(inside.count, 1);
  EXPECT_FLOAT_EQ(inside.rout[0], 0.6f);
  RingPieces straddle = ringcheckpieces(1.95f, 2.03f, 0.05f, 2.0f);
  ASSERT_EQ(straddle.count, 2);
  EXPECT_FLOAT_EQ(straddle.rin[0], 1.95f);
  EXPECT_FLOAT_EQ(straddle.rout[0], 2.0f);
  EXPECT_FLOAT_EQ(straddle.rin[1], 0.05f);
  EXPECT_NEAR(straddle.rout[1], 0.08f, 1e-6);
  RingPieces beyond = ringcheckpieces(2.01f, 2.09f, 0.05f, 2.0f);
  EXPECT_EQ(beyond.count, 1);
  EXPECT_NEAR(beyond.rin[0], 0.06f, 1e-6);
  EXPECT_NEAR(beyond.rout[0], 0.14f, 1e-6);
}

TEST_F(Ring, SmoothWrapGlidesBackAndDims) {
  par.smoothwrapfrac = 0.2f;
  par.smoothwrapshri = 0.9f;
  const float f = 2.0f - 1.95f * 0.2f;
  EXPECT_NEAR(getsmootheccwrap(1.0f), 0.05f + 0.95f * 0.9f, 1e-5) << "scaled travel";
  EXPECT_NEAR(getsmootheccwrap(f), (f - 0.05f) * 0.9f + 0.05f, 1.5e-2) << "no jump where the return begins";
  EXPECT_LT(getsmootheccwrap(1.999f), 0.05f + 0.02f * (f - 0.05f)) << "back at the centre";
  par.eccwidth = 0.1f;
  par.eccfracslope = 1.0f;
  par.eccfracmin = 0.5f;
  EXPECT_FLOAT_EQ(geteccwidth(1.0f), 0.15f) << "widens with eccentricity under smooth wrap";
  par.skipeccwrapflag = 1;
  EXPECT_FLOAT_EQ(geteccwidth(1.0f), 0.1f);
  par.smoothwrapdim = 0.25f;
  EXPECT_FLOAT_EQ(eccwrapdim(10.0), 1.0f);
  EXPECT_NEAR(eccwrapdim(64.0 * 0.9), 0.25f, 1e-3) << "darkest mid-return";
}

TEST_F(Ring, ThreeConditionDrawAndSequence) {
  EXPECT_EQ(centperioffdraw(0.2f, 0.1f), 0);
  EXPECT_EQ(centperioffdraw(0.2f, 0.5f), 1);
  EXPECT_EQ(centperioffdraw(0.2f, 0.7f), 2);
  EXPECT_EQ(centperioffdraw(0.0f, 0.0f), 1) << "no off blocks at probability 0";

  par.blockfreq = 1.0f / 16.0f;
  par.proboffcond = 0.0f;
  par.stoprepeatsflag = 1;
  resetring(ringstate());
  srandom(1);
  float last = getlogcentperioff(0.0);
  EXPECT_TRUE(last == par.ecc2condcent || last == par.ecc2condperi) << "the first call starts a block";
  EXPECT_TRUE(ringstate().started);
  for (int block = 1; block < 12; block++) {
    EXPECT_FLOAT_EQ(getlogcentperioff(block * 16.0 - 1.0), last) << "held within the block";
    const float now = getlogcentperioff(block * 16.0 + 0.5);
    EXPECT_NE(now, last) << "strict alternation in block " << block;
    last = now;
  }
  // Only off blocks possible: the no-repeat rule must not spin forever.
  par.proboffcond = 1.0f;
  resetring(ringstate());
  EXPECT_FLOAT_EQ(getlogcentperioff(0.0), 4.0f * dsp.iwinxgl);
  EXPECT_FLOAT_EQ(getlogcentperioff(16.5), 4.0f * dsp.iwinxgl);
}

TEST_F(Ring, ThreeConditionBlocksOfANegativePeriodLastTheirLength) {
  par.blockfreq = -1.0f / 16.0f;
  par.proboffcond = 0.0f;
  par.stoprepeatsflag = 1;
  resetring(ringstate());
  srandom(1);
  float last = getlogcentperioff(0.0);
  for (int block = 1; block < 6; block++) {
    for (double dt = 0.5; dt < 16.0; dt += 0.5)
      ASSERT_FLOAT_EQ(getlogcentperioff((block - 1) * 16.0 + dt), last) << "held within block " << block;
    const float now = getlogcentperioff(block * 16.0 + 0.25);
    EXPECT_NE(now, last) << "a new block at " << block * 16;
    last = now;
  }
}

TEST_F(Ring, NoRepeatRuleRedrawsOnlyWhenAnotherConditionCanCome) {
  EXPECT_TRUE(centperioffcanchange(0.2f, 0));
  EXPECT_TRUE(centperioffcanchange(0.0f, 1)) << "periphery can follow the centre";
  EXPECT_FALSE(centperioffcanchange(1.0f, 0)) << "only off blocks";
  EXPECT_FALSE(centperioffcanchange(-1.0f, 2)) << "only periphery blocks";
  EXPECT_TRUE(centperioffcanchange(-1.0f, 0)) << "the first block after off";
  EXPECT_FALSE(centperioffcanchange(1.5f, 0));

  // A probability below -1 draws periphery only: blocks repeat instead of hanging.
  par.blockfreq = 1.0f / 16.0f;
  par.proboffcond = -2.0f;
  par.stoprepeatsflag = 1;
  resetring(ringstate());
  EXPECT_FLOAT_EQ(getlogcentperioff(0.0), par.ecc2condperi);
  EXPECT_FLOAT_EQ(getlogcentperioff(16.5), par.ecc2condperi);
}

TEST_F(Ring, ExtentUnderNoWrapAndThePeripheralDriver) {
  par.minrad = 0.05f;
  par.maxrad = 1.05f;
  par.eccfreq = 1.0f / 10.0f;
  par.eccwidth = 0.2f;
  RingExtent e = ringextent(5.0);
  EXPECT_TRUE(e.visible);
  EXPECT_NEAR(e.r0, 0.55f, 1e-5);
  EXPECT_NEAR(e.r1, 0.75f, 1e-5);
  EXPECT_FLOAT_EQ(e.minrad, 0.05f);
  par.skipeccwrapflag = 1;
  EXPECT_TRUE(ringextent(7.9).visible) << "outer edge 0.99 still inside";
  EXPECT_FALSE(ringextent(8.1).visible) << "outer edge past maxrad";
  EXPECT_TRUE(ringextent(10.1).visible) << "back at the next cycle start";
  par.skipeccwrapflag = 0;

  // Peripheral driver: the annulus minrad2..maxrad, on for even half-periods.
  par.twocondperiphdriver = 1;
  par.minrad2 = 0.8f;
  par.twofreq2 = 2.0f / 20.0f;  // 10 s on, 10 s off
  e = ringextent(3.0);
  EXPECT_TRUE(e.visible);
  EXPECT_FLOAT_EQ(e.r0, 0.8f);
  EXPECT_FLOAT_EQ(e.r1, 1.05f);
  EXPECT_FLOAT_EQ(e.minrad, 0.8f) << "the transform base follows the annulus";
  EXPECT_FALSE(ringextent(13.0).visible);
  EXPECT_TRUE(ringextent(23.0).visible);
  par.twofreq2 = -2.0f / 20.0f;
  EXPECT_FALSE(ringextent(3.0).visible) << "a negative rate starts with the off half";
  EXPECT_TRUE(ringextent(13.0).visible);
}

TEST_F(Ring, ZeroInnerRadiusKeepsTheRadiiLinear) {
  const float base = expbase(0.0f, 2.0f);
  EXPECT_FLOAT_EQ(exptrans(0.7f, 0.0f, base), 0.7f) << "no NaN radii";
  EXPECT_FLOAT_EQ(exptransblend(1.3f, 0.0f, base, 0.5f), 1.3f);
  EXPECT_NEAR(exptrans(1.0f, 0.05f, expbase(0.05f, 2.0f)), 0.05f * std::pow(40.0f, 0.95f / 1.95f), 1e-5);
}
