// The expanding ring on the real binary: edges with and without the
// exponential transform, the wrap at maxrad, -noeccwrap and blank intervals.
#include "test_wedge_frames.h"

#include <regex>

using namespace chk;

namespace {

class RingFrames : public XServerSuite<> {};

constexpr double MINR = 0.05, MAXR = 1.5;

std::vector<std::string> ringargs(const char* width, std::vector<std::string> more = {}) {
  std::vector<std::string> a = {"-s", "20", "-eccperiod", "64", "-eccwidth", width, "-minrad", "0.05", "-maxrad",
                                "1.5", "-coltype", "0", "-bwcontrast", "1", "-bgwingray", "0.5"};
  a.insert(a.end(), more.begin(), more.end());
  return a;
}

double inner(double t) { return MINR + std::fmod(t / 64.0, 1.0) * (MAXR - MINR); }
double expo(double r) {
  const double base = std::pow(MAXR / MINR, 1.0 / (MAXR - MINR));
  return MINR * std::pow(base, r - MINR);
}

// The ring covers [a, b] along the ray at 5 degrees (the middle of a check).
void expectring(const Image& img, double a, double b, const std::string& what) {
  for (double f : {0.25, 0.5, 0.75}) {
    const Px p = polarpx(img, a + f * (b - a), 5.0);
    EXPECT_TRUE(ischeck(p)) << what << " inside at " << a + f * (b - a) << " " << str(p);
  }
  for (double r : {a - 0.015, b + 0.015}) {
    const Px p = polarpx(img, r, 5.0);
    EXPECT_TRUE(isgrey(p, 128)) << what << " outside at " << r << " " << str(p);
  }
}

}  // namespace

TEST_F(RingFrames, LinearEdgesMoveOncePerPeriod) {
  const std::vector<Image> f = savedframes(*x, ringargs("0.2", {"-noexptrans"}), 2, 1.0 / 24.0, 16.0);
  ASSERT_EQ(f.size(), 2u);
  expectring(f[0], inner(16.0), inner(16.0) + 0.2, "t=16");
  expectring(f[1], inner(40.0), inner(40.0) + 0.2, "t=40");
}

TEST_F(RingFrames, ExponentialTransformAndItsFraction) {
  const std::vector<Image> f = savedframes(*x, ringargs("0.2"), 2, 1.0 / 24.0, 16.0);
  ASSERT_EQ(f.size(), 2u);
  for (int k = 0; k < 2; k++) {
    const double r0 = inner(16.0 + 24.0 * k);
    expectring(f[k], expo(r0), expo(r0 + 0.2), "full transform, frame " + std::to_string(k));
  }
  const std::vector<Image> h = savedframes(*x, ringargs("0.2", {"-expfrac", "0.5"}), 1, 1.0, 40.0);
  ASSERT_EQ(h.size(), 1u);
  const double r0 = inner(40.0), r1 = r0 + 0.2;
  expectring(h[0], (r0 + expo(r0)) / 2.0, (r1 + expo(r1)) / 2.0, "half transform");
}

TEST_F(RingFrames, CheckStraddlingMaxradIsDrawnInTwoPartsInOneColour) {
  const double t = 64.0 * 1.3 / 1.45;  // inner edge at 1.35, outer at 1.65
  const std::vector<Image> f = savedframes(*x, ringargs("0.3", {"-noexptrans"}), 1, 1.0, t);
  ASSERT_EQ(f.size(), 1u);
  const Image& img = f[0];
  for (double deg : {5.0, 16.25, 27.5}) {
    const Px outer = polarpx(img, 1.42, deg), wrapped = polarpx(img, 0.13, deg);
    EXPECT_TRUE(ischeck(outer)) << deg << " " << str(outer);
    EXPECT_EQ(outer.r, wrapped.r) << "the wrapped part keeps its colour at " << deg;
    EXPECT_TRUE(isgrey(polarpx(img, 1.3, deg), 128)) << str(polarpx(img, 1.3, deg));
    EXPECT_TRUE(isgrey(polarpx(img, 0.25, deg), 128)) << str(polarpx(img, 0.25, deg));
  }
  EXPECT_NE(polarpx(img, 1.42, 5.0).r, polarpx(img, 1.42, 16.25).r) << "neighbouring checks alternate";
  EXPECT_NE(polarpx(img, 0.13, 5.0).r, polarpx(img, 0.13, 16.25).r);
}

TEST_F(RingFrames, NoEccWrapHidesTheRingWhileItPassesMaxrad) {
  const double t = 64.0 * 1.3 / 1.45;
  const std::vector<Image> f =
      savedframes(*x, ringargs("0.3", {"-noexptrans", "-noeccwrap"}), 2, 1.0 / (64.0 - t + 16.0), t);
  ASSERT_EQ(f.size(), 2u);  // t and 16 s into the next cycle
  for (double r : {0.13, 1.42, 1.45})
    EXPECT_TRUE(isgrey(polarpx(f[0], r, 5.0), 128)) << r << " " << str(polarpx(f[0], r, 5.0));
  expectring(f[1], inner(16.0), inner(16.0) + 0.3, "next cycle");
}

TEST_F(RingFrames, OffsPerCycleBlanksTheFirstTenthOfEachCycle) {
  const std::vector<Image> f =
      savedframes(*x, ringargs("0.2", {"-noexptrans", "-offspercyc", "1", "0.1"}), 3, 1.0 / 32.0, 3.0);
  ASSERT_EQ(f.size(), 3u);  // t = 3, 35, 67
  const double mid3 = inner(3.0) + 0.1;
  EXPECT_TRUE(isgrey(polarpx(f[0], mid3, 5.0), 128)) << str(polarpx(f[0], mid3, 5.0));
  expectring(f[1], inner(35.0), inner(35.0) + 0.2, "t=35");
  EXPECT_TRUE(isgrey(polarpx(f[2], mid3, 5.0), 128)) << str(polarpx(f[2], mid3, 5.0));
  // Without blanking the same frame shows the ring.
  const std::vector<Image> g = savedframes(*x, ringargs("0.2", {"-noexptrans"}), 1, 1.0, 3.0);
  ASSERT_EQ(g.size(), 1u);
  expectring(g[0], inner(3.0), inner(3.0) + 0.2, "t=3 unblanked");
}

TEST_F(RingFrames, ThreeConditionBlocksAreLoggedWithoutRepeats) {
  // Type 24: "off" before the first block, then no block repeats the one before.
  const std::vector<std::string> ev = loglines(loggedrun(*x, {"-s", "24", "-blockperiod", "0.25"}, 2.0), "StimEvent:");
  ASSERT_GE(ev.size(), 4u);
  EXPECT_TRUE(std::regex_match(ev[0], std::regex("StimEvent: +[0-9]+\\.[0-9]{3}   off"))) << ev[0];
  std::string all;
  for (const std::string& l : ev) all += l + "\n";
  std::string last = "off";
  for (size_t k = 1; k < ev.size(); k++) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(ev[k], m, std::regex("StimEvent: +[0-9]+\\.[0-9]{3}   (off|cent|peri)"))) << ev[k];
    EXPECT_NE(m[1].str(), last) << "block " << k << "\n" << all;
    last = m[1].str();
  }
}

TEST_F(RingFrames, RingOfOneOrTwoAngularChecksIsAWholeAnnulus) {
  // A check as wide as the whole circle (or half of it) must stay an annulus,
  // not collapse to a line or a triangle.
  for (const char* nt : {"2", "3", "4"}) {
    const std::vector<Image> f =
        savedframes(*x, ringargs("0.3", {"-noexptrans", "-numtheta", nt, "-numrad", "2"}), 1, 1.0, 16.0);
    ASSERT_EQ(f.size(), 1u);
    const double mid = inner(16.0) + 0.15;
    for (double deg = 10.0; deg < 360.0; deg += 30.0) {
      EXPECT_TRUE(ischeck(polarpx(f[0], mid, deg))) << "numtheta " << nt << " at " << deg << " deg "
                                                   << str(polarpx(f[0], mid, deg));
      EXPECT_TRUE(isgrey(polarpx(f[0], mid - 0.17, deg), 128)) << "numtheta " << nt << " inside, " << deg;
    }
  }
}
