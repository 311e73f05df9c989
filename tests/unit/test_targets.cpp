// Attention-target generators: schedule, duration, values.
#include "config/params.h"
#include "core/runstate.h"
#include "draw/targets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

class Targets : public ::testing::Test {
 protected:
  void SetUp() override {
    par = Params{};
    par.polfreq = 1.0f / 64.0f;
    srandom(1);
    resettargets(targetstate());  // every test starts as a run does
  }
  void TearDown() override { par = Params{}; }
};

// The generators step once per picture: a test's call is a picture of its own.
void nextpicture() { run.picturecnt++; }

// Start calls and lengths of the runs where pred(value) holds.
struct Runs {
  std::vector<int> starts, lengths;
};
template <typename F>
Runs findruns(int calls, F next) {
  Runs r;
  bool on = false;
  for (int c = 0; c < calls; c++) {
    nextpicture();
    const bool now = next();
    if (now && !on) {
      r.starts.push_back(c);
      r.lengths.push_back(0);
    }
    if (now) r.lengths.back()++;
    on = now;
  }
  return r;
}

}  // namespace

TEST_F(Targets, GapFormulaAndGuards) {
  EXPECT_EQ(targetgap(120, 2.0f, 1.0f / 64.0f, 0.0f), 120);
  EXPECT_EQ(targetgap(120, 2.0f, 1.0f / 64.0f, 0.5f), 1020);
  EXPECT_EQ(targetgap(120, 2.0f, -1.0f / 64.0f, 0.999999f), 1919) << "the cycle rate counts by its size";
  EXPECT_EQ(targetgap(120, 2.0f, 0.0f, 0.7f), 120) << "a still stimulus: the minimum gap";
  EXPECT_EQ(targetgap(0, 2.0f, 1000.0f, 0.0f), 1) << "never zero, or the countdown would never end";
  EXPECT_GT(targetgap(120, 2.0f, 1e-9f, 0.5f), 1000000);
}

TEST_F(Targets, ClockArmsDurationAndCountsDown) {
  par.targframes = 2;
  par.minfrms2nexttg = 10;
  TargetClock c;
  EXPECT_TRUE(targetdue(c, 2.0f, 0.0f));
  EXPECT_EQ(targettick(c), 2);
  EXPECT_FALSE(targetdue(c, 2.0f, 0.0f));
  EXPECT_EQ(targettick(c), 1);
  for (int k = 0; k < 8; k++) {
    EXPECT_FALSE(targetdue(c, 2.0f, 0.0f));
    EXPECT_EQ(targettick(c), 0);
  }
  EXPECT_TRUE(targetdue(c, 2.0f, 0.0f)) << "the next target ten calls after the first";
}

TEST_F(Targets, PolarJerkSizeDurationAndGaps) {
  EXPECT_FLOAT_EQ(getunipoljerk(), 0.0f) << "off at rate 0";
  par.oritargprob = 2.0f;
  par.oritargoff = 5.0f;
  par.targframes = 3;
  float value = 0.0f;
  bool plus = false, minus = false;
  const Runs r = findruns(40000, [&] {
    value = getunipoljerk();
    if (value != 0.0f) {
      EXPECT_FLOAT_EQ(std::fabs(value), 5.0f);
      plus |= value > 0, minus |= value < 0;
    }
    return value != 0.0f;
  });
  ASSERT_GT(r.starts.size(), 10u);
  EXPECT_EQ(r.starts[0], 0) << "the first jerk appears at once";
  for (size_t k = 0; k < r.starts.size(); k++) EXPECT_EQ(r.lengths[k], 3);
  for (size_t k = 1; k < r.starts.size(); k++) {
    EXPECT_GE(r.starts[k] - r.starts[k - 1], 120);
    EXPECT_LE(r.starts[k] - r.starts[k - 1], 1920);
  }
  EXPECT_TRUE(plus && minus);
}

TEST_F(Targets, QuadrantJerksJumpForOneCallAndAreUndone) {
  double out[4];
  get4orijerk(out);
  for (double v : out) EXPECT_EQ(v, 0.0);
  par.oritargprob = 4.0f;
  par.oritargoff = 9.0f;
  par.oritargquad = -1;
  par.targframes = 5;  // quadrant jerks ignore it
  int jumps = 0;
  double pending = 0.0;
  for (int call = 0; call < 20000; call++) {
    nextpicture();
    get4orijerk(out);
    if (pending != 0.0) {
      for (double v : out) EXPECT_DOUBLE_EQ(v, -pending) << "undone at the next call";
      pending = 0.0;
      continue;
    }
    if (out[0] != 0.0) {
      EXPECT_DOUBLE_EQ(std::fabs(out[0]), 9.0 / 360.0);
      for (double v : out) EXPECT_DOUBLE_EQ(v, out[0]) << "all four together";
      pending = out[0];
      jumps++;
    }
  }
  EXPECT_GT(jumps, 10);
}

TEST_F(Targets, DisparityBumpIsARaisedCosine) {
  EXPECT_FLOAT_EQ(dispbumpvalue(0.02f, 1, 1), 0.0f) << "one frame: zero on its only call";
  EXPECT_NEAR(dispbumpvalue(0.02f, 5, 10), 0.02f, 1e-7);
  EXPECT_FLOAT_EQ(dispbumpvalue(0.02f, 0, 10), 0.0f);
  EXPECT_FLOAT_EQ(getunidispbump(), 0.0f);
  par.disptargprob = 2.0f;
  par.stereofreq = 1.0f / 32.0f;
  par.targframes = 10;
  std::vector<float> vals;
  for (int call = 0; call < 11; call++) {
    nextpicture();
    vals.push_back(getunidispbump());
  }
  EXPECT_FLOAT_EQ(vals[0], 0.0f) << "k = 10 is a full period";
  EXPECT_NEAR(std::fabs(vals[5]), 0.02f, 1e-6) << "peak on the sixth active call";
  for (int k = 1; k < 10; k++) EXPECT_NE(vals[k], 0.0f);
  EXPECT_FLOAT_EQ(vals[10], 0.0f);
}

TEST_F(Targets, SpatialFrequencyJump) {
  EXPECT_FLOAT_EQ(getunisfjerk(), 1.0f);
  par.sftargprob = 2.0f;
  par.sftargmult = 2.0f;
  par.targframes = 4;
  const Runs r = findruns(20000, [] {
    const float m = getunisfjerk();
    EXPECT_TRUE(m == 1.0f || m == 2.0f || m == 0.5f) << m;
    return m != 1.0f;
  });
  ASSERT_GT(r.starts.size(), 5u);
  for (int len : r.lengths) EXPECT_EQ(len, 4);
}

TEST_F(Targets, CheckTargetPatchRadiiColourAndWidth) {
  par.minrad = 0.05f;
  par.maxrad = 2.0f;
  par.numrad = 26;
  par.chktargfac = 1.0f;
  par.exptransflag = 0;
  const float entry[6] = {0.0f, 0.2f, 1.0f, 1.0f, 0.6f, 0.0f};
  ChkTarg c = chktargpatch(0.0f, entry);
  EXPECT_NEAR((c.r0 + c.r1) / 2.0f, 0.1f, 1e-6) << "nearest centre: twice minrad";
  EXPECT_NEAR(c.r1 - c.r0, 0.075f, 1e-6) << "one check of the untransformed board";
  EXPECT_FLOAT_EQ(c.r, 0.5f);
  EXPECT_FLOAT_EQ(c.g, 0.4f);
  EXPECT_FLOAT_EQ(c.b, 0.5f) << "the mean of the entry's two colours";
  c = chktargpatch(0.999999f, nullptr);
  EXPECT_NEAR((c.r0 + c.r1) / 2.0f, 1.8f, 1e-5) << "farthest centre: 0.9 maxrad";
  EXPECT_FLOAT_EQ(c.r, 0.5f) << "no palette: mid grey";

  par.exptransflag = 1;
  par.chktargfac = 2.0f;
  const ChkTarg e = chktargpatch(0.5f, entry);
  const float base = std::pow(2.0f / 0.05f, 1.0f / 1.95f);
  const float rc = 0.1f + 0.5f * (1.8f - 0.1f), hh = 0.075f;
  EXPECT_NEAR(e.r0, 0.05f * std::pow(base, rc - hh - 0.05f), 1e-5);
  EXPECT_NEAR(e.r1, 0.05f * std::pow(base, rc + hh - 0.05f), 1e-5);

  par.polwidth = 0.4f;
  par.numtheta = 5;
  EXPECT_FLOAT_EQ(chktarghalfangle(), 0.1f) << "twice half a check of the 4-check wedge";
  par.numtheta = 1;
  EXPECT_FLOAT_EQ(chktarghalfangle(), 0.4f) << "a wedge with no angular edges counts as one check";
}

TEST_F(Targets, StillWedgeKeepsTheShortestGapInsteadOfDividingByZero) {
  par.polfreq = 0.0f;
  par.oritargprob = 2.0f;
  par.oritargoff = 5.0f;
  par.minfrms2nexttg = 30;
  par.targframes = 2;
  const Runs r = findruns(400, [] { return getunipoljerk() != 0.0f; });
  ASSERT_GE(r.starts.size(), 10u);
  for (size_t k = 1; k < r.starts.size(); k++) EXPECT_EQ(r.starts[k] - r.starts[k - 1], 30);
  for (int len : r.lengths) EXPECT_EQ(len, 2);
}

TEST_F(Targets, ARestartedRunRepeatsItsTargetsFromTheSameSeed) {
  par.oritargprob = 2.0f;
  par.oritargoff = 5.0f;
  par.targframes = 3;
  par.chktargprob = 0.0f;
  auto run = [] {
    srandom(7);
    resettargets(targetstate());
    std::vector<double> v;
    for (int k = 0; k < 3000; k++) {
      nextpicture();
      double q[4];
      get4orijerk(q);
      v.push_back(getunipoljerk());
      v.push_back(q[0]);
    }
    return v;
  };
  const std::vector<double> first = run();
  EXPECT_EQ(run(), first) << "the second run starts mid-gap instead of as the first did";
}

TEST_F(Targets, EveryCallOfOnePictureSharesItsTarget) {
  // A type that draws four copies a frame calls each generator four times a
  // picture: the copies must all show the one target of that picture, for
  // its whole length, and the schedule must be that of one call a picture.
  par.oritargprob = 6.0f;
  par.oritargoff = 10.0f;
  par.oritargquad = -1;
  par.targframes = 3;
  par.disptargprob = 2.0f;
  par.disptargoff = 0.02f;
  par.stereofreq = 1.0f / 32.0f;
  par.sftargprob = 2.0f;
  par.sftargmult = 2.0f;
  par.minfrms2nexttg = 20;
  auto play = [](int copies) {
    srandom(3);
    resettargets(targetstate());
    std::vector<double> v;
    for (int pic = 0; pic < 6000; pic++) {
      nextpicture();
      double first[7] = {};
      for (int c = 0; c < copies; c++) {
        double q[4];
        const double now[7] = {getunipoljerk(), (get4orijerk(q), q[0]), q[3], getunidispbump(), getunisfjerk(), 0, 0};
        if (c == 0)
          for (int k = 0; k < 7; k++) first[k] = now[k];
        for (int k = 0; k < 5; k++) EXPECT_EQ(now[k], first[k]) << "picture " << pic << " copy " << c << " value " << k;
      }
      v.insert(v.end(), first, first + 5);
    }
    return v;
  };
  const std::vector<double> one = play(1), four = play(4);
  EXPECT_EQ(four, one) << "the further copies advance the schedule";
  // The jerk of one call a picture lasts targframes pictures.
  int jerks = 0;
  for (size_t k = 0; k + 5 * 3 < one.size(); k += 5)
    if (one[k] != 0.0 && (k == 0 || one[k - 5] == 0.0)) {
      jerks++;
      EXPECT_EQ(one[k + 5], one[k]);
      EXPECT_EQ(one[k + 10], one[k]);
      EXPECT_EQ(one[k + 15], 0.0);
    }
  EXPECT_GT(jerks, 10);
}
