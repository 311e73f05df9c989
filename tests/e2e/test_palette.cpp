// Rivalry condition stimuli on the real binary: the colour type of each
// condition, both eye halves of the divergent palette, and the bad-name stop.
#include "test_wedge_frames.h"

using namespace chk;

namespace {

class PaletteFrames : public XServerSuite<> {};

bool oneof(int v, std::initializer_list<int> set) {
  for (int s : set)
    if (std::abs(v - s) <= 2) return true;
  return false;
}

}  // namespace

TEST_F(PaletteFrames, AnaglyphConditionsPickTheEyeColours) {
  // Blocks of 16 s in the order monL, monR, bin, sampled at 8, 23 and 38 s (a
  // block change is seen as a falling phase); mean 0.25, contrast 0.5:
  // dark 0.125 and light 0.375 times the eye colours (0.5, 0, 0) and (0, 0, 1).
  const std::vector<Image> f = savedframes(
      *x, {"-s", "77", "-condlist", "1", "2", "3", "-colcontrast", "0.5", "-exptend", "100"}, 3, 1.0 / 15.0, 8.0);
  ASSERT_EQ(f.size(), 3u);
  for (double r : {0.3, 0.7, 1.0}) {
    for (double deg : {10.0, 100.0, 200.0, 300.0}) {
      const Px l = polarpx(f[0], r, deg), rr = polarpx(f[1], r, deg), b = polarpx(f[2], r, deg);
      EXPECT_TRUE(oneof(l.r, {16, 48}) && l.g == 0 && l.b == 0) << "monL " << str(l);
      EXPECT_TRUE(rr.r == 0 && rr.g == 0 && oneof(rr.b, {32, 96})) << "monR " << str(rr);
      EXPECT_TRUE((oneof(b.r, {16}) && oneof(b.b, {32})) || (oneof(b.r, {48}) && oneof(b.b, {96}))) << "bin " << str(b);
    }
  }
}

TEST_F(PaletteFrames, DivergentConditionsFillEachEyeFromItsHalf) {
  // monL: left-eye checks, right eye uniform offcolbright; monR the reverse.
  const std::vector<Image> f =
      savedframes(*x, {"-s", "79", "-winxy", "1024", "768", "-startstimscale", "1", "-condlist", "1",
                       "2", "-exptend", "100"},
                  2, 1.0 / 15.0, 8.0);
  ASSERT_EQ(f.size(), 2u);
  const double iod = 1.7 / 2.0;
  auto eye = [&](const Image& img, double cx, double du, double dv) {
    return Px{img.r(unitpixx(cx + du), unitpixy(dv)), img.g(unitpixx(cx + du), unitpixy(dv)),
              img.b(unitpixx(cx + du), unitpixy(dv))};
  };
  for (auto [du, dv] : {std::pair{0.3, 0.1}, {-0.2, 0.3}, {0.1, -0.4}, {-0.35, -0.2}}) {
    const Px l0 = eye(f[0], -iod, du, dv), r0 = eye(f[0], iod, du, dv);
    const Px l1 = eye(f[1], -iod, du, dv), r1 = eye(f[1], iod, du, dv);
    EXPECT_TRUE(isgrey(l0, 64) || isgrey(l0, 191)) << "monL left " << str(l0);
    EXPECT_TRUE(isgrey(r0, 128)) << "monL right " << str(r0);
    EXPECT_TRUE(isgrey(l1, 128)) << "monR left " << str(l1);
    EXPECT_TRUE(isgrey(r1, 64) || isgrey(r1, 191)) << "monR right " << str(r1);
  }
}

TEST_F(PaletteFrames, UnknownConditionNameStopsTheRun) {
  const RunResult s = runvistrum(*x, {"-s", "77", "-nofullscreen", "-condnames", "8", "off", "monL", "monR", "bin",
                                      "LrivR", "RrivL", "rivR", "bogus", "-condlist", "7", "-exptend", "5"},
                                 30);
  EXPECT_EQ(s.status, 1) << s.out;
  EXPECT_TRUE(hasline(s, "vistrum: ### bad condition: bogus")) << s.out;
  EXPECT_TRUE(hasline(s, "vistrum: [off,monL,monR,bin,LrivR,RrivL,rivR,rivL]")) << s.out;
}
