// The rotating wedge on the real binary: angular extent, direction, centring,
// flicker and hemifield blocks, checked on saved frames.
#include "test_wedge_frames.h"

#include <regex>

using namespace chk;

namespace {

class WedgeFrames : public XServerSuite<> {};

// A black/white board of 30-degree wedges on mid grey.
std::vector<std::string> wedgeargs(const char* period) {
  return {"-s", "10", "-polperiod", period, "-polwidth", "30", "-coltype", "0", "-bwcontrast", "1",
          "-bgwingray", "0.5", "-maxrad", "1.1"};
}

void expectwedge(const Image& img, double from, double to, const std::string& what) {
  for (double r : {0.3, 0.6, 1.0}) {
    for (double a : {from + 3.0, (from + to) / 2.0, to - 3.0})
      EXPECT_TRUE(ischeck(polarpx(img, r, a))) << what << " inside at r " << r << " deg " << a << " "
                                               << str(polarpx(img, r, a));
    for (double a : {from - 4.0, to + 4.0, from + 180.0})
      EXPECT_TRUE(isgrey(polarpx(img, r, a), 128)) << what << " outside at r " << r << " deg " << a << " "
                                                   << str(polarpx(img, r, a));
  }
}

}  // namespace

TEST_F(WedgeFrames, CounterClockwiseForPositivePeriod) {
  // Frames at 0, 16, 32 s of a 64 s period: centred on 0, 90, 180 degrees.
  const std::vector<Image> f = savedframes(*x, wedgeargs("64"), 3, 1.0 / 16.0, 0.0);
  ASSERT_EQ(f.size(), 3u);
  expectwedge(f[0], -15.0, 15.0, "t=0");
  expectwedge(f[1], 75.0, 105.0, "t=16");
  expectwedge(f[2], 165.0, 195.0, "t=32");
}

TEST_F(WedgeFrames, ClockwiseForNegativePeriod) {
  const std::vector<Image> f = savedframes(*x, wedgeargs("-64"), 2, 1.0 / 8.0, 8.0);
  ASSERT_EQ(f.size(), 2u);
  expectwedge(f[0], -60.0, -30.0, "t=8");
  expectwedge(f[1], -105.0, -75.0, "t=16");
}

TEST_F(WedgeFrames, UncentredWedgeStartsAtItsAngle) {
  std::vector<std::string> a = wedgeargs("64");
  a.push_back("-nocenterpol");
  const std::vector<Image> f = savedframes(*x, a, 2, 1.0 / 8.0, 0.0);
  ASSERT_EQ(f.size(), 2u);
  expectwedge(f[0], 0.0, 30.0, "t=0");
  expectwedge(f[1], 45.0, 75.0, "t=8");
}

TEST_F(WedgeFrames, FlickerReversesTheChecksEveryHalfSecond) {
  // One full flicker cycle per second: reversals at 0.5, 1.0, 1.5 s.
  std::vector<std::string> a = wedgeargs("inf");
  a.insert(a.end(), {"-flickerfreq", "1", "-polwidth", "90"});
  const std::vector<Image> f = savedframes(*x, a, 4, 2.0, 0.25);
  ASSERT_EQ(f.size(), 4u);
  for (double r : {0.2, 0.45, 0.7}) {  // inside the straight outer edge of a 90-degree check
    for (double deg : {-30.0, 10.0, 35.0}) {
      const Px p0 = polarpx(f[0], r, deg);
      ASSERT_TRUE(ischeck(p0)) << "r " << r << " deg " << deg << " " << str(p0);
      for (int k = 1; k < 4; k++) {
        const Px p = polarpx(f[k], r, deg);
        const int want = k % 2 ? 255 - p0.r : p0.r;
        EXPECT_TRUE(isgrey(p, want)) << "frame " << k << " r " << r << " deg " << deg << " " << str(p);
      }
    }
  }
}

TEST_F(WedgeFrames, HemifieldBlocksSwitchAtTheBlockBoundary) {
  // Type 2: right hemifield for the first 16 s block, left for the next.
  const std::vector<Image> f = savedframes(
      *x, {"-s", "2", "-coltype", "0", "-bwcontrast", "1", "-bgwingray", "0.5"}, 3, 5.0, 15.9);
  ASSERT_EQ(f.size(), 3u);  // t = 15.9, 16.1, 16.3
  for (double r : {0.4, 0.9}) {
    EXPECT_TRUE(ischeck(polarpx(f[0], r, 0.0))) << str(polarpx(f[0], r, 0.0));
    EXPECT_TRUE(isgrey(polarpx(f[0], r, 180.0), 128)) << str(polarpx(f[0], r, 180.0));
    for (int k = 1; k < 3; k++) {
      EXPECT_TRUE(isgrey(polarpx(f[k], r, 0.0), 128)) << k << str(polarpx(f[k], r, 0.0));
      EXPECT_TRUE(ischeck(polarpx(f[k], r, 180.0))) << k << str(polarpx(f[k], r, 180.0));
    }
  }
}

TEST_F(WedgeFrames, TargetsAreLoggedInTheirFormats) {
  // A one-second period keeps every gap short: a check target and a jerk at
  // once, fixation targets within 60 calls.
  const std::string log = loggedrun(*x, {"-s", "10", "-polperiod", "1", "-chktarg", "2", "1.0", "-oritarg", "2", "5",
                                         "-fixtarg", "2", "0.5", "-minfrms2nexttg", "5"}, 2.0);
  const struct {
    const char* kind;
    const char* form;
  } kinds[] = {{"ChkEvent:", "ChkEvent: +[0-9]+\\.[0-9]{3}   r=0\\.[0-9]{3}"},
               {"OriEvent:", "OriEvent: +[0-9]+\\.[0-9]{3}   -?5\\.0 deg"},
               {"FixEvent:", "FixEvent: +[0-9]+\\.[0-9]{3}   targ offset \\(1 frames\\)"}};
  for (const auto& k : kinds) {
    const std::vector<std::string> lines = loglines(log, k.kind);
    EXPECT_FALSE(lines.empty()) << k.kind << "\n" << log;
    for (const std::string& l : lines) EXPECT_TRUE(std::regex_match(l, std::regex(k.form))) << l;
  }
}

TEST_F(WedgeFrames, OneAngularCheckFillsTheWholeHemifield) {
  // Type 2 with a single angular check: the right half-disc, round, not a
  // sliver between the chord's ends.
  const std::vector<Image> f = savedframes(
      *x, {"-s", "2", "-numtheta", "2", "-coltype", "0", "-bwcontrast", "1", "-bgwingray", "0.5"}, 1, 1.0, 1.0);
  ASSERT_EQ(f.size(), 1u);
  for (double r : {0.3, 0.7, 1.0})
    for (double deg : {-80.0, -45.0, 0.0, 45.0, 80.0}) {
      EXPECT_TRUE(ischeck(polarpx(f[0], r, deg))) << "r " << r << " deg " << deg << " " << str(polarpx(f[0], r, deg));
      EXPECT_TRUE(isgrey(polarpx(f[0], r, 180.0 - deg), 128)) << "left half at r " << r << " deg " << 180.0 - deg;
    }
}
