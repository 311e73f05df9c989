// Vection and depth stimuli: velocity profiles, the field's shift and
// wrapping, the ring aperture, patch rotations about an axis, and the
// block conditions and dim-target rate of the stereo flow blocks.
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include "config/params.h"
#include "dots/vection.h"
#include "keepglobals.h"

#include <cmath>

namespace {

class Vection : public ::testing::Test {
 protected:
  KeepGlobals keep;
  void SetUp() override { par = Params{}; }
};

}  // namespace

TEST_F(Vection, ProfilesAndTheBackAndForthType) {
  EXPECT_NEAR(sinusoidprofile(0.25, 0), M_PI / 2, 1e-12);
  EXPECT_NEAR(sinusoidprofile(0.25, 1), 1.0, 1e-12);
  EXPECT_NEAR(sinusoidprofile(0.5, 2), 2.0, 1e-12);
  EXPECT_EQ(sinusoidprofile(0.3, 7), 0.0);
  // Type 3 moves out and back one way in odd cycles, the other way in even ones.
  EXPECT_NEAR(sinusoidprofile(1.5, 3), 2.0, 1e-12);
  EXPECT_NEAR(sinusoidprofile(0.5, 3), -2.0, 1e-12);
  EXPECT_NEAR(sinusoidprofile(2.5, 3), -2.0, 1e-12);
  // Type 2 starts slow, type 1 fast.
  EXPECT_LT(sinusoidprofile(0.01, 2), sinusoidprofile(0.01, 1));
}

TEST_F(Vection, FieldShiftDirectionAndWrap) {
  par.flowfreq = 0.25f;
  par.sinusoidtype = 0;
  par.dotspeed = 0.4f;
  // Constant speed: 2 pi dotspeed units per second whatever the flow rate.
  EXPECT_NEAR(vectionshift(1.5), 2.0 * M_PI * 1.5 * 0.4, 1e-5);
  par.sinusoidtype = 2;
  EXPECT_NEAR(vectionshift(2.0), 2.0 / 0.25 * 0.4, 1e-5);  // half a flow period: farthest out
  par.twofreq = 0.5f;
  EXPECT_FALSE(vectionvertical(1.0));
  EXPECT_TRUE(vectionvertical(3.0));
  par.twofreq = -0.5f;
  EXPECT_TRUE(vectionvertical(1.0));
  for (double x : {-7.3, -3.0, 0.0, 2.9, 3.1, 100.25}) {
    const float w = wrapinto(x, 3.0f);
    EXPECT_GE(w, -3.0f) << x;
    EXPECT_LE(w, 3.0f) << x;
    EXPECT_NEAR(std::remainder(w - x, 6.0), 0.0, 1e-4) << x;
  }
}

TEST_F(Vection, RingApertureTravelsAndWraps) {
  par.minrad = 0.01f;
  par.maxrad = 1.1f;
  par.eccwidth = 0.14f;
  par.eccfreq = 1.0f / 64;
  const EccRing r0 = eccdotring(0.0);
  EXPECT_NEAR(r0.v, 0.01f, 1e-6);
  EXPECT_GT(r0.w, r0.v);
  EXPECT_TRUE(inring(0.5f * (r0.v + r0.w) * 0.5f * (r0.v + r0.w), r0));
  EXPECT_FALSE(inring(1.05f * r0.w * 1.05f * r0.w, r0));
  // Late in the period the outer edge has wrapped to the centre.
  const EccRing late = eccdotring(63.0);
  EXPECT_GT(late.v, late.w);
  EXPECT_TRUE(inring(late.w * late.w * 0.5f, late));
  EXPECT_TRUE(inring(1.09f * 1.09f, late));
  EXPECT_FALSE(inring(1.2f * 1.2f, late));  // beyond maxrad: never
  // A negative period runs the ring inward.
  par.eccfreq = -1.0f / 64;
  EXPECT_GT(eccdotring(1.0).v, eccdotring(2.0).v);
  par.wobblefreq = 1.0f;
  par.wobbleamp = 0.1f;
  float x, y;
  eccdotoffset(0.25, &x, &y);
  EXPECT_NEAR(x, 0.0f, 1e-6);
  EXPECT_NEAR(y, 0.11f, 1e-6);
}

TEST_F(Vection, PatchRotationsTurnAboutTheirAxis) {
  float v[3] = {1.0f, 0.0f, 0.0f};
  const float z[3] = {0.0f, 0.0f, 2.0f};
  rotateaxis(v, z, 90.0f);  // counter-clockwise seen from the axis tip
  EXPECT_NEAR(v[0], 0.0f, 1e-6);
  EXPECT_NEAR(v[1], 1.0f, 1e-6);
  float w[3] = {0.3f, -0.2f, 0.9f};
  const float axis[3] = {1.0f, 0.0f, -1.0f};
  const float along[3] = {2.0f, 0.0f, -2.0f};
  float a[3] = {along[0], along[1], along[2]};
  rotateaxis(a, axis, 77.0f);  // a point on the axis stays
  for (int k = 0; k < 3; k++) EXPECT_NEAR(a[k], along[k], 1e-5);
  const float len = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
  rotateaxis(w, axis, 33.0f);
  EXPECT_NEAR(std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]), len, 1e-5);
  par.dotspeed = 64.0f;
  par.sinusoidtype = 2;
  EXPECT_NEAR(patchrotation(0.5), 128.0f, 1e-3);
  par.sinusoidtype = 3;  // a whole out-and-back per flow
  EXPECT_NEAR(patchrotation(0.25), -128.0f, 1e-3);
  EXPECT_NEAR(patchrotation(0.75), 128.0f, 1e-3);
}

TEST_F(Vection, BlockConditionsAndDimTargetRate) {
  float axis[3];
  bool moves = true;
  ASSERT_TRUE(canalaxis("still", axis, &moves));
  EXPECT_FALSE(moves);
  ASSERT_TRUE(canalaxis("horiz", axis, &moves));
  EXPECT_TRUE(moves);
  EXPECT_EQ(axis[1], 2.0f);
  EXPECT_FALSE(canalaxis("up", axis, &moves));
  int scr, st;
  bool nodraw;
  ASSERT_TRUE(flowblockcondition("scramvol", &scr, &st, &nodraw));
  EXPECT_EQ(scr, 1);
  EXPECT_EQ(st, 5);
  EXPECT_FALSE(nodraw);
  ASSERT_TRUE(flowblockcondition("off", &scr, &st, &nodraw));
  EXPECT_TRUE(nodraw);
  EXPECT_FALSE(flowblockcondition("flow", &scr, &st, &nodraw));
  par.blockfreq = 1.0f / 16;
  par.dimtargprob = 0.5f;
  EXPECT_EQ(dimtargframes(), 1920);
  par.dimtargprob = 0.0f;
  EXPECT_EQ(dimtargframes(), 0);
  par.dimtargprob = 1e6f;  // more targets than frames: one a frame, never a division by zero
  EXPECT_EQ(dimtargframes(), 1);
}
