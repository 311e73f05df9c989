// Check palettes: the fill rule of every colour type and the table's growth.
#include "config/params.h"
#include "draw/colour.h"
#include "draw/palette.h"
#include "retino/rivalry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

class Palette : public ::testing::Test {
 protected:
  void SetUp() override {
    par = Params{};
    par.stimtype = 10;
    srandom(1);
  }
  void TearDown() override { par = Params{}; }
  static const float* entry(int j) { return chkcols + 6 * j; }
  static void expectgreys(int j, float g0, float g1) {
    for (int c = 0; c < 3; c++) {
      EXPECT_NEAR(entry(j)[c], g0, 1e-6) << "entry " << j;
      EXPECT_NEAR(entry(j)[3 + c], g1, 1e-6) << "entry " << j;
    }
  }
  static float u() { return static_cast<float>(random() * (1.0 / 2147483648.0)); }
};

}  // namespace

TEST_F(Palette, BlackWhiteContrastSetsTheTwoGreys) {
  par.bwcontrast = 1.0f;
  makecolorsf(3, 4, 0);
  for (int j = 0; j < 12; j++) expectgreys(j, 0.0f, 1.0f);
  par.bwcontrast = 0.0f;
  makecolorsf(3, 4, 0);
  for (int j = 0; j < 12; j++) expectgreys(j, 0.5f, 0.5f);
  par.bwcontrast = 0.4f;
  makecolorsf(3, 4, 5);  // listed in the help without a rule: drawn as type 0
  expectgreys(7, 0.3f, 0.7f);
}

TEST_F(Palette, RandomBrightDarkFullContrastAndDrawOrder) {
  par.colcontrast = 1.0f;
  makecolorsf(2, 5, 1);
  for (int j = 0; j < 10; j++) expectgreys(j, 1.0f, 0.0f);
  // Colour 1 is drawn before colour 0, so runs with one seed repeat exactly.
  par.colcontrast = 0.3f;
  srandom(7);
  float want[6];
  for (int c = 3; c < 6; c++) want[c] = u() * 0.7f;
  for (int c = 0; c < 3; c++) want[c] = 0.3f + u() * 0.7f;
  srandom(7);
  makecolorsf(1, 1, 1);
  for (int c = 0; c < 6; c++) EXPECT_FLOAT_EQ(entry(0)[c], want[c]) << c;
}

TEST_F(Palette, IsoluminantColoursAverageOneHalf) {
  makecolorsf(4, 4, 2);
  for (int j = 0; j < 16; j++) {
    EXPECT_NEAR((entry(j)[0] + entry(j)[1] + entry(j)[2]) / 3.0f, 0.5f, 1e-5);
    EXPECT_NEAR((entry(j)[3] + entry(j)[4] + entry(j)[5]) / 3.0f, 0.5f, 1e-5);
  }
}

TEST_F(Palette, LightnessAndValueTypesUseTheAsymmetricPair) {
  par.avgcolbright = 0.5f;
  par.colcontrast = 1.0f;
  makecolorsf(5, 3, 3);
  for (int j = 0; j < 15; j++) expectgreys(j, 0.0f, 1.0f);
  // Value type: the brightest channel of each colour is the level itself.
  par.avgcolbright = 0.4f;
  par.colcontrast = 0.5f;
  const ColourLevels lv = colourlevels(0.4f, 0.5f, 0.5f, 0.5f);
  EXPECT_FLOAT_EQ(lv.lo, 0.2f);
  EXPECT_FLOAT_EQ(lv.hi, 0.7f);
  makecolorsf(5, 3, 4);
  for (int j = 0; j < 15; j++) {
    EXPECT_NEAR(std::max({entry(j)[0], entry(j)[1], entry(j)[2]}), lv.lo, 1e-5);
    EXPECT_NEAR(std::max({entry(j)[3], entry(j)[4], entry(j)[5]}), lv.hi, 1e-5);
  }
}

TEST_F(Palette, DerivedLevelsAreSymmetricAroundTheMean) {
  ColourLevels dim = colourlevels(0.25f, 0.5f, 0.8f, 0.5f);
  EXPECT_FLOAT_EQ(dim.dark, 0.125f);  // d = A*C below one half
  EXPECT_FLOAT_EQ(dim.light, 0.375f);
  EXPECT_FLOAT_EQ(dim.mdark, 0.7f);   // e = (1 - M)*K from one half up
  EXPECT_FLOAT_EQ(dim.mlight, 0.9f);
}

TEST_F(Palette, OneSidedGreyFollowsContrastDirection) {
  par.bgwingray = 0.4f;
  par.bwcontrast = 0.0f;
  EXPECT_FLOAT_EQ(getbwdotcolor(), 0.4f);
  par.bwcontrast = 0.5f;
  EXPECT_FLOAT_EQ(getbwdotcolor(), 0.7f);
  par.bwcontrast = -0.5f;
  EXPECT_FLOAT_EQ(getbwdotcolor(), 0.2f);
  makecolorsf(2, 2, -1);
  for (int j = 0; j < 4; j++) expectgreys(j, 0.2f, 0.2f);
}

TEST_F(Palette, TableGrowsButNeverShrinks) {
  makecolorsf(10, 10, 0);
  const float* big = chkcols;
  const int cap = chkcolscapacity();
  EXPECT_GE(cap, 100);
  makecolorsf(3, 3, 0);
  EXPECT_EQ(chkcols, big) << "a smaller fill reuses the table";
  EXPECT_EQ(chkcolscapacity(), cap);
  EXPECT_EQ(chkcolsfilled(), 9);
  makecolorsf(20, 20, 0);
  EXPECT_EQ(chkcolscapacity(), 400);
  par.bwcontrast = 1.0f;
  expectgreys(399, 0.0f, 1.0f);
}

TEST_F(Palette, GratingsStartWithOneRowOfAHundredAndSizingTakesNoDraws) {
  par.stimtype = 80;
  par.numtheta = 40, par.numrad = 40;
  par.coltype = 1;
  makechkcols();
  EXPECT_EQ(chkcolsfilled(), 100) << "the start-up fill of the rotating gratings";
  srandom(9);
  reservechkcols(5000);
  const long next = random();
  srandom(9);
  EXPECT_EQ(random(), next) << "making room draws no random colours";
  EXPECT_GE(chkcolscapacity(), 5000);
  EXPECT_EQ(chkcolsfilled(), 100);
}

TEST_F(Palette, AnaglyphTypesOnlyForTheirStimulusType) {
  par.stimtype = 77;
  par.avgcolbright = 0.25f;
  par.colcontrast = 0.5f;
  par.stereoLred = 0.5f, par.stereoLgrn = 0.0f, par.stereoLblu = 0.0f;
  par.stereoRred = 0.0f, par.stereoRgrn = 0.0f, par.stereoRblu = 1.0f;
  const ColourLevels lv = colourlevels(0.25f, 0.5f, par.avgmaskbright, par.maskcontrast);
  makecolorsf(2, 3, 10);
  for (int j = 0; j < 6; j++) {
    EXPECT_FLOAT_EQ(entry(j)[0], lv.dark * 0.5f);
    EXPECT_FLOAT_EQ(entry(j)[2], 0.0f);
    EXPECT_FLOAT_EQ(entry(j)[3], lv.light * 0.5f);
  }
  makecolorsf(2, 3, 13);  // left checks over a right-eye mask
  bool sawdark = false, sawlight = false;
  for (int j = 0; j < 6; j++) {
    EXPECT_FLOAT_EQ(entry(j)[0], lv.dark * 0.5f);
    const float x = entry(j)[2], y = entry(j)[5];
    EXPECT_TRUE((x == lv.mdark && y == lv.mlight) || (x == lv.mlight && y == lv.mdark)) << x << " " << y;
    sawdark |= x == lv.mdark;
    sawlight |= x == lv.mlight;
  }
  EXPECT_TRUE(sawdark && sawlight) << "the mask order is drawn per entry";
  makecolorsf(2, 3, 16);
  for (int j = 0; j < 6; j++) EXPECT_FLOAT_EQ(entry(j)[2], 0.0f) << "left-eye mask has no blue";
  // Under another stimulus type an anaglyph type leaves the table alone.
  par.stimtype = 10;
  par.bwcontrast = 1.0f;
  makecolorsf(2, 3, 0);
  makecolorsf(2, 3, 12);
  for (int j = 0; j < 6; j++) expectgreys(j, 0.0f, 1.0f);
}

TEST_F(Palette, DivergentTypesFillBothEyeHalves) {
  par.stimtype = 79;
  par.offcolbright = 0.5f;
  par.stereoLred = par.stereoLgrn = par.stereoLblu = 1.0f;
  par.stereoRred = par.stereoRgrn = par.stereoRblu = 1.0f;
  const ColourLevels lv = colourlevels(par.avgcolbright, par.colcontrast, par.avgmaskbright, par.maskcontrast);
  makecolorsf(4, 5, 17);
  ASSERT_GE(chkcolscapacity(), 20);
  for (int j = 0; j < 20; j++) {
    expectgreys(j, lv.dark, lv.light);
    expectgreys(20 + j, 0.5f, 0.5f);
  }
  makecolorsf(4, 5, 18);
  for (int j = 0; j < 20; j++) {
    expectgreys(j, 0.5f, 0.5f);
    expectgreys(20 + j, lv.dark, lv.light);
  }
  makecolorsf(4, 5, 24);
  for (int j = 0; j < 40; j++) expectgreys(j, 0.5f, 0.5f);
  makecolorsf(4, 5, 21);
  for (int j = 0; j < 20; j++) {
    const float x = entry(j)[0], y = entry(j)[3];
    EXPECT_TRUE((x == lv.mdark && y == lv.mlight) || (x == lv.mlight && y == lv.mdark));
    expectgreys(20 + j, lv.dark, lv.light);
  }
  // A smaller fill puts the right-eye copies right after its own entries.
  makecolorsf(2, 3, 17);
  EXPECT_EQ(chkcolsfilled(), 6);
  for (int j = 0; j < 6; j++) expectgreys(6 + j, 0.5f, 0.5f);
}

TEST_F(Palette, SingleColourRules) {
  float r = -1, g = -1, b = -1;
  par.bwcontrast = 0.6f;
  makecolorf(0, 1, &r, &g, &b);
  EXPECT_FLOAT_EQ(r, 0.2f);
  makecolorf(0, 0, &r, &g, &b);
  EXPECT_FLOAT_EQ(b, 0.8f);
  par.avgcolbright = 0.5f;
  par.colcontrast = 1.0f;
  makecolorf(3, 1, &r, &g, &b);
  EXPECT_FLOAT_EQ(std::max({r, g, b}), 0.0f);
  makecolorf(4, 0, &r, &g, &b);
  EXPECT_FLOAT_EQ(std::max({r, g, b}), 1.0f);
  par.colcontrast = 0.25f;
  srandom(3);
  const float u1 = u(), u2 = u(), u3 = u();
  srandom(3);
  makecolorf(1, 1, &r, &g, &b);
  EXPECT_FLOAT_EQ(r, u1 * 0.75f);
  EXPECT_FLOAT_EQ(g, u2 * 0.75f);
  EXPECT_FLOAT_EQ(b, u3 * 0.75f);
  makecolorf(2, 0, &r, &g, &b);
  EXPECT_NEAR((r + g + b) / 3.0f, 0.5f, 1e-5);
  r = g = b = 0.123f;
  makecolorf(42, 0, &r, &g, &b);
  EXPECT_FLOAT_EQ(r, 0.123f) << "an unknown type leaves the colour";
}

TEST(Rivalry, ConditionNamesMapToColourTypes) {
  const char* names[] = {"off", "monL", "monR", "bin", "LrivR", "RrivL", "rivR", "rivL"};
  const int anaglyph[] = {RIVALRYNOCHECKS, 10, 11, 12, 13, 14, 15, 16};
  const int divergent[] = {24, 17, 18, 19, 20, 21, 22, 23};
  for (int k = 0; k < 8; k++) {
    EXPECT_EQ(rivalrycoltype(names[k], 77), anaglyph[k]) << names[k];
    EXPECT_EQ(rivalrycoltype(names[k], 79), divergent[k]) << names[k];
  }
  EXPECT_EQ(rivalrycoltype("mono", 77), RIVALRYBADNAME);
  EXPECT_EQ(rivalrycoltype("OFF", 79), RIVALRYBADNAME);
  EXPECT_EQ(rivalrycoltype("", 79), RIVALRYBADNAME);
}
