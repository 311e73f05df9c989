// Stereo wedge schedules: the disparity ramp and the outline inset.
#include "keepglobals.h"
#include "retino/stereowedge.h"

#include <gtest/gtest.h>

TEST(StereoWedge, DisparityIsFixedOrRampsFarToNearAndBack) {
  KeepGlobals keep;
  par.stereodisp = -0.1f;
  par.stereofreq = 0.0f;
  EXPECT_FLOAT_EQ(stereoramp(3.7), -0.1f);
  par.stereofreq = 0.1f;  // far (+0.1) to near (-0.1) every 10 s, then a jump back
  EXPECT_NEAR(stereoramp(0.0), 0.1f, 1e-6);
  EXPECT_NEAR(stereoramp(2.5), 0.05f, 1e-6);
  EXPECT_NEAR(stereoramp(9.999), -0.1f, 1e-4);
  EXPECT_NEAR(stereoramp(10.0), 0.1f, 1e-5);
  par.stereofreq = -0.1f;  // near to far
  EXPECT_NEAR(stereoramp(0.0), -0.1f, 1e-6);
  EXPECT_NEAR(stereoramp(5.0), 0.0f, 1e-6);
  EXPECT_NEAR(stereoramp(9.999), 0.1f, 1e-4);
}

TEST(StereoWedge, OutlinesSitInsideTheirChecks) {
  // One check of a 2-radian wedge: the angular inset is 0.02 of the wedge.
  const StereoOutline q = stereooutline(0.5f, 1.0f, 0.0f, 0.5f, 2.0f);
  EXPECT_FLOAT_EQ(q.e, 0.54f);
  EXPECT_FLOAT_EQ(q.o, 1.0f - 0.08f * 0.46f);
  EXPECT_FLOAT_EQ(q.a, 0.04f);
  EXPECT_FLOAT_EQ(q.b, 0.46f);
}
