// Gamma files, the ramps made from them, and the swap-sync verdict.
#include "core/gamma.h"
#include "core/synccheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Parsed {
  bool ok;
  int line;
  std::string why;
  GammaTable t;
};

Parsed parse(const std::string& text) {
  Parsed p{};
  p.line = -1;
  p.ok = parsegammatable(text, &p.t, &p.line, &p.why);
  return p;
}

std::vector<unsigned short> ramp(const GammaTable& t, int c, int size) {
  std::vector<unsigned short> r(size);
  gammaramp(t, c, size, r.data());
  return r;
}

}  // namespace

TEST(GammaFile, ExponentsOnePerChannelOrOneForAll) {
  Parsed p = parse("# measured 2024-05-01\n\ngamma 2.2 2.0 1.8   # r g b\n");
  ASSERT_TRUE(p.ok) << p.why;
  EXPECT_TRUE(p.t.exponents);
  EXPECT_DOUBLE_EQ(p.t.gamma[0], 2.2);
  EXPECT_DOUBLE_EQ(p.t.gamma[1], 2.0);
  EXPECT_DOUBLE_EQ(p.t.gamma[2], 1.8);
  p = parse("gamma 2.4");
  ASSERT_TRUE(p.ok) << p.why;
  EXPECT_DOUBLE_EQ(p.t.gamma[2], 2.4);
}

TEST(GammaFile, TableRowsPerChannel) {
  const Parsed p = parse("0 0 0\n0.25 0.5 0.75 # mid\n1 1 1\n");
  ASSERT_TRUE(p.ok) << p.why;
  EXPECT_FALSE(p.t.exponents);
  ASSERT_EQ(p.t.rows[0].size(), 3u);
  EXPECT_DOUBLE_EQ(p.t.rows[0][1], 0.25);
  EXPECT_DOUBLE_EQ(p.t.rows[1][1], 0.5);
  EXPECT_DOUBLE_EQ(p.t.rows[2][1], 0.75);
}

TEST(GammaFile, MalformedFilesNameTheirLine) {
  const struct {
    const char* text;
    int line;
    const char* why;
  } cases[] = {
      {"0 0 0\n0.5 0.5\n1 1 1\n", 2, "expected 3 values r g b, found 2"},
      {"0 0 0\n# c\n0.5 x 0.5\n", 3, "value \"x\" not a number"},
      {"0 0 0\n1 1 1.5\n", 2, "value 1.5 outside 0..1"},
      {"0 0 0\n-0.1 0 0\n", 2, "value -0.1 outside 0..1"},
      {"0 0 0\n0.5nan 0 0\n", 2, "value \"0.5nan\" not a number"},
      {"gamma 2.2 2.2\n", 1, "gamma needs 1 or 3 exponents (r g b)"},
      {"gamma 0\n", 1, "exponent 0 outside 0.1..10"},
      {"gamma 2.2\ngamma 2.2\n", 2, "second gamma line"},
      {"gamma 2.2\n0 0 0\n", 2, "table row after a gamma line"},
      {"0 0 0\n1 1 1\ngamma 2.2\n", 3, "gamma line in a table of rows"},
      {"0.5 0.5 0.5\n", 1, "a table needs at least 2 rows"},
      {"# only a comment\n\n", 2, "no gamma line and no table rows"},
      {"", 1, "no gamma line and no table rows"},
  };
  for (const auto& c : cases) {
    const Parsed p = parse(c.text);
    EXPECT_FALSE(p.ok) << c.text;
    EXPECT_EQ(p.line, c.line) << c.text;
    EXPECT_EQ(p.why, c.why) << c.text;
  }
}

TEST(GammaRamp, ExponentCorrectsTheDisplaysGamma) {
  GammaTable t = parse("gamma 2.0 1.0 0.5").t;
  const std::vector<unsigned short> r = ramp(t, 0, 256), g = ramp(t, 1, 256), b = ramp(t, 2, 256);
  EXPECT_EQ(r.front(), 0);
  EXPECT_EQ(r.back(), 65535);
  // Input 64/255 through x^(1/2), x and x^2.
  EXPECT_NEAR(r[64], 65535 * std::sqrt(64.0 / 255), 1);
  EXPECT_NEAR(g[64], 65535 * 64.0 / 255, 1);
  EXPECT_NEAR(b[64], 65535 * (64.0 / 255) * (64.0 / 255), 1);
}

TEST(GammaRamp, TableOfAnotherLengthIsInterpolated) {
  // Three rows onto a ramp of five: rows at 0, 2, 4, halfway between them.
  const GammaTable t = parse("0 1 0\n0.5 0.5 0.2\n1 0 1\n").t;
  EXPECT_EQ(ramp(t, 0, 5), (std::vector<unsigned short>{0, 16384, 32768, 49151, 65535}));
  EXPECT_EQ(ramp(t, 1, 5), (std::vector<unsigned short>{65535, 49151, 32768, 16384, 0}));
  EXPECT_EQ(ramp(t, 2, 5)[1], 6554);  // 0.1
  // The same length: the rows themselves.
  const GammaTable same = parse("0 0 0\n0.1 0.2 0.3\n0.4 0.5 0.6\n1 1 1\n").t;
  EXPECT_EQ(ramp(same, 2, 4), (std::vector<unsigned short>{0, 19661, 39321, 65535}));
}

namespace {

std::vector<double> intervals(int n, double each) { return std::vector<double>(n, each); }

SyncVerdict verdict(const std::vector<double>& iv, double framedur = 1.0 / 60) {
  return syncverdict(iv.data(), static_cast<int>(iv.size()), framedur);
}

}  // namespace

TEST(SyncVerdict, RegularSwapsAtTheAssumedRate) {
  std::vector<double> iv = intervals(60, 1.0 / 60);
  // A little jitter and one missed refresh are still a synchronised display.
  for (size_t k = 0; k < iv.size(); k += 3) iv[k] += 0.0004;
  iv[30] = 2.0 / 60;
  const SyncVerdict v = verdict(iv);
  EXPECT_EQ(v.swaps, 61);
  EXPECT_NEAR(v.rate, 60.0, 0.1);
  EXPECT_TRUE(v.synchronised);
  EXPECT_FALSE(v.ratemismatch);
  // 59.94 Hz is the same display as far as frame counts go.
  EXPECT_FALSE(verdict(intervals(60, 1.0 / 59.94)).ratemismatch);
}

TEST(SyncVerdict, FastOrIrregularSwapsAreNotSynchronised) {
  // No vblank wait: swaps as fast as the renderer draws.
  SyncVerdict v = verdict(intervals(60, 0.0012));
  EXPECT_FALSE(v.synchronised);
  EXPECT_NEAR(v.rate, 833.3, 0.1);
  EXPECT_FALSE(v.ratemismatch);  // an unsynchronised rate is no refresh rate
  // Slow enough, but every other swap comes at once.
  std::vector<double> iv;
  for (int k = 0; k < 60; k++) iv.push_back(k % 2 ? 0.010 : 0.020);
  v = verdict(iv);
  EXPECT_FALSE(v.synchronised);
  EXPECT_GT(v.spread, 0.2);
  EXPECT_FALSE(verdict({}).synchronised);
  EXPECT_EQ(verdict({}).swaps, 0);
}

TEST(SyncVerdict, RefreshRateOtherThanTheFrameCountsAssume) {
  SyncVerdict v = verdict(intervals(60, 1.0 / 120));
  EXPECT_TRUE(v.synchronised);
  EXPECT_TRUE(v.ratemismatch);
  EXPECT_NEAR(v.assumedrate, 60.0, 1e-9);
  // The same display is right for a run at -framerate 120.
  v = verdict(intervals(60, 1.0 / 120), 1.0 / 120);
  EXPECT_FALSE(v.ratemismatch);
  EXPECT_TRUE(verdict(intervals(60, 1.0 / 50)).ratemismatch);
}
