// Stereo wedges on the real binary: the two eyes' images lie the disparity
// apart (anaglyph channels, or the two halves of a side-by-side display),
// the disparity ramps, and fixed seeds repeat the frames.
#include "test_wedge_frames.h"

#include <regex>

using namespace chk;

namespace {

class StereoFrames : public XServerSuite<> {};

constexpr double PXPERUNIT = 1024.0 / 3.12;

// Shift (pixels, within +-maxs) that best lays the lit pixels of row `a` on
// those of row `b` (b[x + s] lit where a[x] is lit), and the share matched.
std::pair<int, double> bestshift(const std::vector<bool>& a, const std::vector<bool>& b, int maxs) {
  int best = 0;
  double bestshare = -1.0;
  for (int s = -maxs; s <= maxs; s++) {
    int lit = 0, hit = 0;
    for (size_t x = 0; x < a.size(); x++) {
      if (!a[x]) continue;
      lit++;
      const long y = static_cast<long>(x) + s;
      if (y >= 0 && y < static_cast<long>(b.size()) && b[y]) hit++;
    }
    const double share = lit ? static_cast<double>(hit) / lit : 0.0;
    if (share > bestshare) bestshare = share, best = s;
  }
  return {best, bestshare};
}

// Red-lit and blue-lit pixels of the image row at height y (units).
void channelrows(const Image& img, double y, std::vector<bool>* red, std::vector<bool>* blue) {
  const int py = unitpixy(y, img.width, img.height);
  red->assign(img.width, false);
  blue->assign(img.width, false);
  for (int x = 0; x < img.width; x++) {
    (*red)[x] = img.r(x, py) > 40;
    (*blue)[x] = img.b(x, py) > 40;
  }
}

std::vector<std::string> lineargs(const char* disp, std::vector<std::string> more = {}) {
  std::vector<std::string> a = {"-s", "19", "-polperiod", "64", "-stereodisp", disp, "-notaperdisp", "-fixmesh", "-2",
                                "-stereoline", "3"};
  a.insert(a.end(), more.begin(), more.end());
  return a;
}

}  // namespace

TEST_F(StereoFrames, OutlineEyesLieTheRampedDisparityApart) {
  // Ramp period 10 s: D = +0.1 at t = 0, +0.05 at 2.5 s, -0.05 at 7.5 s.
  const std::vector<Image> f = savedframes(*x, lineargs("0.1", {"-stereoperiod", "10"}), 4, 0.4, 0.0);
  ASSERT_EQ(f.size(), 4u);  // t = 0, 2.5, 5, 7.5
  const double want[4] = {0.1, 0.05, 0.0, -0.05};
  for (int k : {0, 1, 3}) {
    // The wedge points right at these times (one turn takes 64 s); the row
    // crosses the outlines of the checks just above the meridian.
    std::vector<bool> red, blue;
    channelrows(f[k], 0.03, &red, &blue);
    const auto [s, share] = bestshift(blue, red, 60);
    EXPECT_NEAR(s, want[k] * PXPERUNIT, 1.5) << "frame " << k;
    EXPECT_GT(share, 0.5) << "frame " << k;  // the left eye's outlines cover some of the right's
  }
  // D = 0 at t = 5: one outline in the mixed colour, no pure eye colour.
  int mixed = 0, pure = 0;
  for (int x = 0; x < f[2].width; x++) {
    const int py = unitpixy(0.03, f[2].width, f[2].height);
    const int r = f[2].r(x, py), b = f[2].b(x, py);
    if (r > 40 && b > 40) mixed++;
    if ((r > 40) != (b > 40)) pure++;
  }
  EXPECT_GT(mixed, 20);
  EXPECT_LT(pure, mixed / 10 + 2);
}

TEST_F(StereoFrames, SideBySideCopiesDifferByTheScaledDisparity) {
  // At t = 16 the wedge points up; a row through both copies at radius 0.6
  // (scaled 0.45) crosses each wedge once.
  for (const char* disp : {"-0.1", "0.1"}) {
    const std::vector<Image> f =
        savedframes(*x, {"-s", "8", "-polperiod", "64", "-stereodisp", disp, "-coltype", "0", "-bwcontrast", "1",
                         "-stereobdtype", "0", "-interocdist", "1.07", "-stereoscaleeye", "0.45"},
                    1, 1.0, 16.0);
    ASSERT_EQ(f.size(), 1u);
    const Image& img = f[0];
    const int py = unitpixy(0.45 * 0.6, img.width, img.height);
    std::vector<bool> left(img.width, false), right(img.width, false);
    for (int x = 0; x < img.width; x++) {
      const Px p{img.r(x, py), img.g(x, py), img.b(x, py)};
      (x < img.width / 2 ? left : right)[x] = ischeck(p);
    }
    const double want = (1.07 + 0.45 * std::atof(disp)) * PXPERUNIT;
    const auto [s, share] = bestshift(left, right, 420);
    EXPECT_NEAR(s, want, 1.5) << disp;
    EXPECT_GT(share, 0.9) << disp;
    // Both copies show the same palette colours.
    for (int x = 0; x < img.width / 2; x++) {
      if (!left[x] || !right[x + s]) continue;
      EXPECT_EQ(img.r(x, py), img.r(x + s, py)) << disp << " at " << x;
    }
  }
}

TEST_F(StereoFrames, DisparityTargetsAreLoggedAndSeedsRepeatFrames) {
  const std::string log =
      loggedrun(*x, {"-s", "8", "-stereoperiod", "4", "-disptarg", "8", "0.02", "-minfrms2nexttg", "10"}, 2.0);
  const std::vector<std::string> ev = loglines(log, "DispEvent:");
  ASSERT_GE(ev.size(), 1u) << log;
  for (const std::string& l : ev) EXPECT_TRUE(std::regex_match(l, std::regex("DispEvent: +[0-9]+\\.[0-9]{3}   -?0\\.0"))) << l;

  const std::vector<std::string> a = {"-s", "8", "-stereoperiod", "4", "-disptarg", "8", "0.05", "-targframes", "20",
                                      "-minfrms2nexttg", "5", "-srseed", "7", "-coltype", "-1"};
  const std::vector<Image> f1 = savedframes(*x, a, 3, 30.0, 0.1), f2 = savedframes(*x, a, 3, 30.0, 0.1);
  ASSERT_EQ(f1.size(), 3u);
  ASSERT_EQ(f2.size(), 3u);
  for (int k = 0; k < 3; k++) EXPECT_TRUE(f1[k].rgba == f2[k].rgba) << "frame " << k;
}
