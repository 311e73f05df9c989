// Text on screen: the "Ready" label's grab point and size as rendered, and
// font lookup as the operator sees it.
#include "harness.h"

#include <FTGL/ftgl.h>
#include <gtest/gtest.h>

namespace {

class Fonts : public XServerSuite<> {};

struct Box {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  bool ok() const { return x1 >= 0; }
};

// Pixels drawn in the label grey (0.4) on the Ready screen.
Box labelbox(const Image& im, int xfrom = 0, int xto = -1) {
  Box b;
  if (xto < 0) xto = im.width;
  for (int y = 0; y < im.height; y++)
    for (int x = xfrom; x < xto; x++)
      if (std::abs(im.r(x, y) - 102) <= 3 && std::abs(im.g(x, y) - 102) <= 3) {
        b.x0 = std::min(b.x0, x);
        b.x1 = std::max(b.x1, x);
        b.y0 = std::min(b.y0, y);
        b.y1 = std::max(b.y1, y);
      }
  return b;
}

struct Metrics {
  float width, ascender, bearing;  // bearing: ink starts this far right of the raster position
};
Metrics metrics(const char* text, unsigned size) {
  FTPixmapFont font((sourcedir() + "/lib/fonts/luxisb.ttf").c_str());
  font.FaceSize(size, 72);
  const FTBBox b = font.BBox(text);
  return {static_cast<float>(b.Upper().X() - b.Lower().X()), font.Ascender(), static_cast<float>(b.Lower().X())};
}

Box readylabel(const XServer& x, const std::vector<std::string>& extra) {
  std::vector<std::string> a = {"-s", "0", "-nofullscreen", "-waitforpulse", "-1"};
  a.insert(a.end(), extra.begin(), extra.end());
  Vistrum v(x, a);
  Box b;
  if (!v.waitforwindow()) return b;
  Image im;
  waituntil([&] { im = grabscreen(x); return im.ok() && labelbox(im).ok(); });
  b = labelbox(im);
  // The baseline: the lowest row of the "R", which has no descender.
  const Box r = labelbox(im, b.x0, b.x0 + (b.x1 - b.x0) / 6);
  b.y1 = r.y1;
  v.key("Escape");
  v.wait();
  return b;
}

}  // namespace

TEST_F(Fonts, ReadyIsCentredWithItsBaselineClearAboveTheFixationMark) {
  const Box b = readylabel(*x, {});
  ASSERT_TRUE(b.ok());
  const Metrics m = metrics("Ready", 24);
  // The box is centred; its ink starts one left bearing into it.
  EXPECT_NEAR((b.x0 + b.x1 + 1) / 2.0, 512.0 + m.bearing, 1.5);
  EXPECT_NEAR(b.x1 - b.x0 + 1, m.width, 3.0);
  // Grab point lower-centre: the baseline 0.045 units (fixrad 0.015 + 0.03)
  // above the centre row (384 from the top), 1024/3.12 pixels a unit.
  EXPECT_NEAR(b.y1 + 1, 384 - 0.045 * 1024 / 3.12, 1.5);
}

TEST_F(Fonts, AtScaleTwoTheTextIsTwiceAsLargeAndStillCentred) {
  const Box b = readylabel(*x, {"-startstimscale", "2"});
  ASSERT_TRUE(b.ok());
  const Metrics m = metrics("Ready", 48);
  EXPECT_NEAR(b.x1 - b.x0 + 1, m.width, 4.0);
  EXPECT_NEAR((b.x0 + b.x1 + 1) / 2.0, 512.0 + m.bearing, 2.0);
  EXPECT_NEAR(b.y1 + 1, 384 - 2 * 0.045 * 1024 / 3.12, 2.0);  // the same offset in units, doubled in pixels
}

TEST_F(Fonts, MissingFontsFallBackWithTheirMessages) {
  RunResult r = runvistrum(*x, {"-s", "0", "-nofullscreen", "-exptend", "0.2", "-fontfile", "nosuch.ttf"});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(hasline(r, std::string("vistrum:  (1b) vistrum fonts dir fontfile \"") + sourcedir() +
                             "/lib/fonts/nosuch.ttf\" not found"))
      << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: initfont DejaVuSans-Bold.ttf") || hasline(r, "vistrum: initfont luxisb.ttf")) << r.out;
  r = runvistrum(*x, {"-s", "0", "-nofullscreen", "-exptend", "0.2", "-fontfile", "./nosuch.ttf"});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum:  (1a) abs/loc fontfile \"./nosuch.ttf\" not found")) << r.out;
}

TEST_F(Fonts, SecondAndThirdFontsTakeTheNextSlots) {
  const RunResult r = runvistrum(*x, {"-s", "60", "-nofullscreen", "-exptend", "0.2", "-fontfile", "Vera.ttf",
                                      "-fontfile3", "Times New Roman.ttf"});
  EXPECT_TRUE(hasline(r, "vistrum: initfont Vera.ttf (font=0)")) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: initfont Times New Roman.ttf (font=1)")) << r.out;
  EXPECT_TRUE(hasline(r, "  " + sourcedir() + "/lib/fonts/Times New Roman.ttf")) << r.out;
}

TEST_F(Fonts, ATextStartingLeftOfTheWindowIsDrawnClipped) {
  // Divergent stereo with the eyes 3 units apart: the left eye's label is
  // centred about 1.55 units left of the centre, so it begins off-screen.
  Vistrum v(*x, {"-s", "8", "-nofullscreen", "-waitforpulse", "-1", "-interocdist", "3.0"});
  ASSERT_TRUE(v.waitforwindow());
  Image im;
  const int row = unitpixy(-0.12 * 0.45);
  Box left;
  waituntil([&] {
    im = grabscreen(*x);
    if (!im.ok()) return false;
    left = labelbox(im, 0, 60);
    return left.ok();
  });
  ASSERT_TRUE(left.ok()) << "the left eye's label is missing";
  EXPECT_EQ(left.x0, 0) << "clipped at the window edge";
  EXPECT_NEAR(left.y1, row, 30);
  EXPECT_TRUE(labelbox(im, 964, 1024).ok()) << "the right eye's label";
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
}
