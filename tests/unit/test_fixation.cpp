// Fixation targets (dimming and letters) and the wander tour.
#include "config/params.h"
#include "draw/fixation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

class Fixation : public ::testing::Test {
 protected:
  void SetUp() override {
    par = Params{};
    par.polfreq = 1.0f / 64.0f;
    par.eccfreq = 0.0f;
    par.fixtargprob = 2.0f;
    srandom(1);
  }
  void TearDown() override { par = Params{}; }
};

}  // namespace

TEST_F(Fixation, GapIsTwiceTheCommonGapOverTheFastestRate) {
  par.minfrms2nexttg = 120;
  for (float u : {0.0f, 0.3f, 0.999f}) {
    const int g = fixtarggap(u);
    EXPECT_EQ(g, static_cast<int>(2.0 * (120 + u * (60.0 / (1.0 / 64.0 * 2.0) - 120)))) << u;
  }
  par.blockfreq = -1.0f / 16.0f;  // faster, and its sign does not matter
  EXPECT_EQ(fixtarggap(0.999f), static_cast<int>(2.0 * (120 + 0.999 * (60.0 * 16.0 / 2.0 - 120))));
  par.polfreq = par.blockfreq = 0.0f;
  EXPECT_EQ(fixtarggap(0.5f), 240) << "a still display keeps the shortest gap";
  par.minfrms2nexttg = 0;
  EXPECT_GE(fixtarggap(0.0f), 1);
}

TEST_F(Fixation, TargetsLastTargframesCallsAndScheduleOnTheLast) {
  par.targframes = 3;
  FixTargState s;
  int on = 0, starts = 0, lastschedule = -1;
  std::vector<int> runs;
  int runlen = 0;
  for (int call = 0; call < 40000; call++) {
    const FixTargCall c = fixtargstep(s);
    if (c.on) {
      on++;
      runlen++;
    } else if (runlen) {
      runs.push_back(runlen);
      runlen = 0;
    }
    if (c.scheduled) {
      EXPECT_TRUE(c.on);
      if (lastschedule >= 0) {
        const int gap = call - lastschedule;
        EXPECT_GE(gap, 240);
        EXPECT_LE(gap, 3840);
      }
      lastschedule = call;
      starts++;
    }
  }
  ASSERT_GT(runs.size(), 5u);
  EXPECT_EQ(runs[0], 1) << "the first call shows the target state once";
  for (size_t k = 1; k < runs.size(); k++) EXPECT_EQ(runs[k], 3) << k;
  EXPECT_GT(starts, 10);
}

TEST_F(Fixation, LettersCycleInOrderAndWrap) {
  par.fixlettflag = 1;
  std::strcpy(par.fixlettstr, "XYZ");
  par.minfrms2nexttg = 5;
  par.polfreq = 6.0f;  // short gaps
  FixTargState s;
  std::string shown;
  bool wason = false;
  for (int call = 0; call < 2000 && shown.size() < 8; call++) {
    const FixTargCall c = fixtargstep(s);
    if (c.on && !wason) shown += c.shown[0] ? c.shown[0] : '-';
    wason = c.on;
  }
  EXPECT_EQ(shown, "-XYZXYZX") << "empty at the first call, then the string in order";
}

TEST_F(Fixation, WanderOverOneCellStaysAtTheCentre) {
  par.gridsize = 1;
  par.maxgrid = 0.7f;
  par.blockfreq = 0.1f;
  WanderTour w;
  wanderinit(w);
  for (double t : {0.0, 2.5, 7.0, 12.0}) {
    float x = 1, y = 1;
    wanderstep(w, t, &x, &y);
    EXPECT_FLOAT_EQ(x, 0.0f) << t;
    EXPECT_FLOAT_EQ(y, 0.0f) << t;
  }
}

TEST_F(Fixation, WanderTourStartsAndEndsAtTheCentre) {
  par.gridsize = 5;
  par.maxgrid = 0.7f;
  par.blockfreq = 1.0f / 50.0f;  // 2 s per sweep
  WanderTour w;
  wanderinit(w);
  ASSERT_EQ(w.n, 25);
  EXPECT_EQ(w.gis[0], 12);
  EXPECT_EQ(w.gis[25], 12);
  std::set<int> cells(w.gis, w.gis + 25);
  EXPECT_EQ(cells.size(), 25u) << "every cell once";
  float cx = 0, cy = 0;
  wandercell(12, &cx, &cy);
  EXPECT_FLOAT_EQ(cx, 0.0f);
  EXPECT_FLOAT_EQ(cy, 0.0f);
  wandercell(4, &cx, &cy);
  EXPECT_FLOAT_EQ(cx, 0.7f);
  EXPECT_FLOAT_EQ(cy, -0.7f);

  // Sweep k runs from cell gis[k] to gis[k+1] during [2k, 2k+2) s.
  for (int k = 0; k < 25; k++) {
    float x = 0, y = 0, ex = 0, ey = 0;
    wanderstep(w, 2.0 * k + 0.001, &x, &y);
    wandercell(w.gis[k], &ex, &ey);
    EXPECT_NEAR(x, ex, 1e-3) << "sweep " << k;
    EXPECT_NEAR(y, ey, 1e-3) << "sweep " << k;
    wanderstep(w, 2.0 * k + 1.0, &x, &y);
    float nx = 0, ny = 0;
    wandercell(w.gis[k + 1], &nx, &ny);
    EXPECT_NEAR(x, (ex + nx) / 2.0f, 1e-3) << "halfway at mid-sweep";
    wanderstep(w, 2.0 * k + 1.999, &x, &y);
    EXPECT_NEAR(x, nx, 1e-3);
    EXPECT_NEAR(y, ny, 1e-3);
  }
  float x = 1, y = 1;
  wanderstep(w, 50.001, &x, &y);
  EXPECT_NEAR(x, 0.0f, 1e-3) << "the tour repeats from the centre";
  EXPECT_NEAR(y, 0.0f, 1e-3);
}

TEST_F(Fixation, WanderWithoutBlockPeriodStaysAtTheCentre) {
  par.gridsize = 5;
  par.blockfreq = 0.0f;
  WanderTour w;
  wanderinit(w);
  for (double t : {0.0, 3.0, 100.0}) {
    float x = 1, y = 1;
    wanderstep(w, t, &x, &y);
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(y, 0.0f);
  }
  EXPECT_FLOAT_EQ(wanderfraction(0.0f), 0.0f);
  EXPECT_NEAR(wanderfraction(static_cast<float>(2.0 * M_PI)), 1.0f, 1e-6);
}

// Types that draw the mark more than once a frame (two eyes, four quadrants)
// see the targets of a single mark: each picture takes one step, its other
// marks show the same state and schedule nothing.
TEST_F(Fixation, MarksOfOnePictureShareOneTargetStep) {
  par.targframes = 3;
  par.minfrms2nexttg = 5;
  par.polfreq = 2.0f;  // short gaps: many targets
  std::vector<int> once;
  FixTargState a, b;
  srandom(5);
  for (long p = 0; p < 5000; p++) {
    const FixTargCall c = fixtargforpicture(a, p);
    once.push_back(c.on * 2 + c.scheduled);
  }
  srandom(5);
  int on = 0;
  for (long p = 0; p < 5000; p++) {
    const FixTargCall c = fixtargforpicture(b, p);
    for (int mark = 1; mark < 4; mark++) {
      const FixTargCall d = fixtargforpicture(b, p);
      EXPECT_EQ(d.on, c.on) << p;
      EXPECT_FALSE(d.scheduled) << p;
    }
    ASSERT_EQ(c.on * 2 + c.scheduled, once[p]) << "picture " << p;
    on += c.on;
  }
  EXPECT_GT(on, 100);
}
