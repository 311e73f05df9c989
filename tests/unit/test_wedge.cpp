// Wedge geometry and schedules: start angle, slots, parity, colour indices,
// flicker, dilation and the ipsilateral sweep.
#include "config/params.h"
#include "draw/ring.h"
#include "draw/primitives.h"
#include "draw/wedge.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float PI = static_cast<float>(M_PI);
float deg(float d) { return d * PI / 180.0f; }

class Wedge : public ::testing::Test {
 protected:
  void SetUp() override {
    par = Params{};
    par.polwidth = deg(11.25f);  // stored in radians after parsing
    par.polfreq = 1.0f / 64.0f;
  }
  void TearDown() override { par = Params{}; }
};

}  // namespace

TEST_F(Wedge, StartAngleTurnsWithThePeriodSign) {
  // Centred on angle 0 at t = 0 whatever the direction.
  EXPECT_NEAR(polarstartangle(0.0, 1.0f, 0.0f), -par.polwidth / 2.0f, 1e-6);
  EXPECT_NEAR(polarstartangle(16.0, 1.0f, 0.0f), PI / 2.0f - par.polwidth / 2.0f, 1e-5);
  par.polfreq = -1.0f / 64.0f;
  EXPECT_NEAR(polarstartangle(16.0, 1.0f, 0.0f), -PI / 2.0f - par.polwidth / 2.0f, 1e-5) << "clockwise";
  par.centerpolflag = 0;
  EXPECT_NEAR(polarstartangle(16.0, 1.0f, 0.3f), -PI / 2.0f + 0.3f, 1e-5) << "uncentred, phase offset added";
  par.polfreq = 1.0f / 64.0f;
  EXPECT_NEAR(polarstartangle(16.0, 2.0f, 0.0f), PI, 1e-5) << "frequency multiplier";
  EXPECT_NEAR(polarstartangle(64.0 + 8.0, 1.0f, 0.0f), PI / 4.0f, 1e-4) << "wraps once per period";
}

TEST_F(Wedge, HemifieldBlocksAndTrSteps) {
  par.polRvsLflag = 1;
  par.blockfreq = 0.05f;
  par.centerpolflag = 0;
  EXPECT_FLOAT_EQ(polarstartangle(0.0, 1, 0), 0.0f);
  EXPECT_FLOAT_EQ(polarstartangle(19.9, 1, 0), 0.0f);
  EXPECT_FLOAT_EQ(polarstartangle(20.1, 1, 0), PI);
  EXPECT_FLOAT_EQ(polarstartangle(39.9, 1, 0), PI);
  EXPECT_FLOAT_EQ(polarstartangle(40.1, 1, 0), 0.0f);
  par.blockfreq = -0.05f;
  EXPECT_FLOAT_EQ(polarstartangle(5.0, 1, 0), PI) << "negative block rate starts left";
  EXPECT_FLOAT_EQ(polarstartangle(25.0, 1, 0), 0.0f);
  par.polRvsLflag = 0;
  par.polVvsHflag = 1;
  par.blockfreq = 0.05f;
  EXPECT_FLOAT_EQ(polarstartangle(5.0, 1, 0), PI / 2.0f);
  EXPECT_FLOAT_EQ(polarstartangle(25.0, 1, 0), 0.0f);
  par.polVvsHflag = 0;
  par.trbased = 2.0f;
  EXPECT_FLOAT_EQ(polarstartangle(17.9, 1, 0), polarstartangle(16.0, 1, 0)) << "held for the whole TR";
  EXPECT_GT(polarstartangle(18.0, 1, 0), polarstartangle(17.9, 1, 0));
  par.trbased = 0.0f;
  par.wobbleflag = 1;
  par.wobblefreq = 0.25f;
  par.wobbleamp = 3.0f;
  EXPECT_NEAR(polarstartangle(1.0, 1, 0), 2.0f * PI / 64.0f + deg(3.0f), 1e-5) << "wobble peak, uncentred";
}

TEST_F(Wedge, SlotsGrowFromTheInnerEdgeAndClampAtTheOuter) {
  par.exptransflag = 0;
  par.minrad = 0.05f;
  par.maxrad = 2.0f;
  // nrad 2 without dilation: slot 0 has no width, slot 1 covers the whole range.
  Radii s0 = wedgeslot(0, 2, 0.0f), s1 = wedgeslot(1, 2, 0.0f);
  EXPECT_FLOAT_EQ(s0.rin, 0.05f);
  EXPECT_FLOAT_EQ(s0.rout, 0.05f);
  EXPECT_FLOAT_EQ(s1.rin, 0.05f);
  EXPECT_FLOAT_EQ(s1.rout, 2.0f);
  // Dilating by half a slot: slot 0 half wide, the last slot clamped against maxrad.
  Radii d0 = wedgeslot(0, 4, 0.5f), d3 = wedgeslot(3, 4, 0.5f);
  EXPECT_NEAR(d0.rout - d0.rin, 0.325f, 1e-5);
  EXPECT_FLOAT_EQ(d3.rout, 2.0f);
  EXPECT_NEAR(d3.rin, 0.05f + 2.5f * 0.65f, 1e-5);
  // The exponential transform keeps both ends and spaces slots geometrically.
  par.exptransflag = 1;
  EXPECT_NEAR(wedgeslot(1, 2, 0.0f).rin, 0.05f, 1e-5);
  EXPECT_NEAR(wedgeslot(1, 2, 0.0f).rout, 2.0f, 1e-4);
  const float r1 = wedgeslot(1, 5, 0.0f).rout, r2 = wedgeslot(2, 5, 0.0f).rout, r3 = wedgeslot(3, 5, 0.0f).rout;
  EXPECT_NEAR(r2 / r1, r3 / r2, 1e-4);
  EXPECT_GT(r3 - r2, r2 - r1);
}

TEST_F(Wedge, FlickerDilationAndParity) {
  par.flickerfreq = 2.0f;  // option 1: one full flicker cycle per second
  EXPECT_EQ(flickersign(0.0), -1);
  EXPECT_EQ(flickersign(0.49), -1);
  EXPECT_EQ(flickersign(0.51), 1);
  EXPECT_EQ(flickersign(1.01), -1);
  par.dilfreq = 0.5f;
  EXPECT_FLOAT_EQ(dilation(1.5).phase, 0.75f);
  EXPECT_EQ(dilation(1.5).sign, -1);
  EXPECT_EQ(dilation(2.5).sign, 1);
  par.dilfreq = -0.5f;
  // Contracting: the phase runs down from 1 to 0 and the sign flips at each
  // wrap, so the outer slot still reaches maxrad and no check jumps colour.
  EXPECT_FLOAT_EQ(dilation(1.5).phase, 0.25f);
  EXPECT_EQ(dilation(1.5).sign, 1);
  EXPECT_EQ(dilation(2.5).sign, -1);
  EXPECT_EQ(dilation(4.5).sign, 1);
  for (double t : {1.9, 3.9, 5.9}) {
    // Across a wrap the slot index steps by one, so its parity must flip:
    // the colour at a fixed radius is unchanged.
    const Dilation a = dilation(t), b = dilation(t + 0.2);
    EXPECT_GT(b.phase, a.phase) << t;
    EXPECT_EQ(a.sign, -b.sign) << t;
  }
  par.exptransflag = 0;
  par.minrad = 0.05f;
  par.maxrad = 2.0f;
  EXPECT_FLOAT_EQ(wedgeslot(10, 11, dilation(1.9).phase).rout, 2.0f) << "outer slot reaches maxrad";
  // Neighbours are in opposite phase, and the factor flips every check.
  EXPECT_EQ(checkparity(0, 0, 1), 1);
  EXPECT_EQ(checkparity(0, 1, 1), -1);
  EXPECT_EQ(checkparity(1, 1, 1), 1);
  EXPECT_EQ(checkparity(1, 0, -1), 1);
}

// The start-up palette serves the first run's first half-cycle; a restart
// refills it at once, whichever half-cycle the previous run ended in.
TEST_F(Wedge, ARestartRefillsThePaletteAtItsFirstFrame) {
  par.flickerfreq = 2.0f;
  WedgeState w;
  EXPECT_FALSE(wedgepalettestale(w, flickersign(0.0))) << "first run: the start-up palette";
  for (double end : {0.2, 0.7}) {
    w.drawn = true;
    w.lastflickerphase = flickersign(end);
    resetwedge(w);
    EXPECT_TRUE(wedgepalettestale(w, flickersign(0.0))) << "restart after t = " << end;
  }
}

TEST_F(Wedge, ColourIndicesPerSelector) {
  EXPECT_EQ(wedgecolourindex(PLAINCOLS, 1, 3, 27, 3, 1), 30);
  EXPECT_EQ(wedgecolourindex(SECONDCOLS, 1, 3, 27, 3, 1), 81 + 30);
  EXPECT_EQ(wedgecolourindex(SHIFTCOLS, 0, 2, 27, 3, 2), 10);
  EXPECT_EQ(wedgecolourindex(SHIFTCOLS, 1, 26, 27, 3, 1), 57);
  EXPECT_EQ(wedgecolourindex(SHIFTCOLS, 2, 24, 27, 3, 1), 1) << "wraps past the table end";
}

TEST_F(Wedge, DisparityShiftAndTaper) {
  par.taperdispflag = 0;
  EXPECT_FLOAT_EQ(wedgedispshift(0.1f, 0.5f), 0.05f);
  par.taperdispflag = 1;
  const float inner = wedgedispshift(0.1f, 0.1f), outer = wedgedispshift(0.1f, 1.5f);
  EXPECT_LT(std::fabs(inner), std::fabs(outer)) << "disparity tapers towards the centre";
}

TEST_F(Wedge, IpsilateralSweepStaysInOneHemifield) {
  par.ipsirange = deg(120.0f);
  const float R = par.ipsirange;
  EXPECT_NEAR(getpolipsith0(0.0), PI - R / 2.0f, 1e-5) << "left hemifield starts upper";
  EXPECT_NEAR(getpolipsith0(32.0), PI, 1e-5);
  par.ipsirange = -R;
  EXPECT_NEAR(getpolipsith0(0.0), R / 2.0f, 1e-5) << "right hemifield mirrored";
  for (double t = 0.0; t < 64.0; t += 0.7) {
    const float a = getpolipsith0(t);
    EXPECT_LE(std::fabs(a), R / 2.0f + 1e-5) << t;
  }
  // Smooth wrap: linear over 1 - f of the sweep, gliding back over f.
  par.ipsirange = R;
  par.smoothwrapfrac = 0.2f;
  EXPECT_NEAR(getsmoothpolipsiwrap(0.5f), 0.5f + 0.1f * R, 1e-5);
  EXPECT_NEAR(getsmoothpolipsiwrap(-0.5f), -(0.5f + 0.1f * R), 1e-5);
  const float h = 0.8f * R;
  EXPECT_LT(getsmoothpolipsiwrap(R * 0.999f), 0.1f * R + 0.05f * h) << "back near the start";
  // Dimming: none during the sweep, strongest (smoothwrapdim) mid-return.
  par.smoothwrapdim = 0.3f;
  EXPECT_FLOAT_EQ(polipsiwrapdim(10.0), 1.0f);
  EXPECT_NEAR(polipsiwrapdim(64.0 * 0.9), 0.3f, 1e-4);
}

TEST_F(Wedge, SmoothWrapTypeByStimulus) {
  setringwrapdim(true);
  EXPECT_EQ(smoothwraptype(), 1);
  setringwrapdim(false);
  EXPECT_EQ(smoothwraptype(), 0);
  par.ipsirange = 1.0f;
  EXPECT_EQ(smoothwraptype(), 2);
}

TEST(SectorPieces, WideChecksAreSplitNarrowOnesStayOneQuad) {
  EXPECT_EQ(sectorpieces(0.0f), 1);
  EXPECT_EQ(sectorpieces(static_cast<float>(2.0 * M_PI / 28.0)), 1) << "a full board of 28 checks";
  EXPECT_EQ(sectorpieces(SECTORQUADMAX), 1);
  EXPECT_EQ(sectorpieces(-SECTORQUADMAX * 1.01f), 3) << "clockwise spans count alike";
  EXPECT_EQ(sectorpieces(static_cast<float>(M_PI)), 16);
  EXPECT_EQ(sectorpieces(6.2831855f), 32);
  EXPECT_EQ(sectorpieces(NAN), 1);
}
