// Wobble, wander and pursuit geometry: the square wrap, the wobble offset
// and wedge cover, the smooth sweeps, pursuit paths and their replay, the
// dot grey of playback, the wander tour of the grid, and the object ring's
// jitter smoothing.
#include <gtest/gtest.h>

#include "config/params.h"
#include "dots/dotfield.h"
#include "dots/pursuit.h"
#include "keepglobals.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

class Pursuit : public ::testing::Test {
 protected:
  KeepGlobals keep;
  void SetUp() override { par = Params{}; }
};

struct Path {
  std::vector<float> x, y;
  PursuitPath p;
  explicit Path(int sweeps) : x(sweeps + 1), y(sweeps + 1) {
    p.x = x.data();
    p.y = y.data();
    p.n = sweeps + 1;
  }
};

}  // namespace

TEST_F(Pursuit, WrapAndWobbleMoveTheFieldOnACircle) {
  EXPECT_FLOAT_EQ(wrapsquare(0.3f, 1.0f), 0.3f);
  EXPECT_NEAR(wrapsquare(1.2f, 1.0f), -0.8f, 1e-6);
  EXPECT_NEAR(wrapsquare(-5.5f, 1.0f), 0.5f, 1e-6);
  EXPECT_NEAR(wrapsquare(1.0f, 1.0f), 1.0f, 1e-6);
  par.wobblefreq = 1.0f;
  par.wobbleamp = 0.1f;
  par.maxrad = 1.1f;
  float x, y;
  wobbleoffset(0.0, &x, &y);
  EXPECT_NEAR(x, 0.0f, 1e-6);
  EXPECT_NEAR(y, -0.11f, 1e-6);
  wobbleoffset(0.25, &x, &y);
  EXPECT_NEAR(x, 0.11f, 1e-6);
  EXPECT_NEAR(y, 0.0f, 1e-6);
  par.wobblefreq = -1.0f;  // the other way round, half a turn on
  wobbleoffset(0.0, &x, &y);
  EXPECT_NEAR(y, 0.11f, 1e-6);
  // The cover leaves open the wedge of polwidth centred on 360 polfreq t.
  par.polfreq = 1.0f / 64.0f;
  par.polwidth = static_cast<float>(M_PI / 4.0);
  float start, sweep;
  wobblewedgecover(16.0, &start, &sweep);
  EXPECT_NEAR(start, 90.0f - 90.0f + 22.5f, 1e-4);
  EXPECT_NEAR(sweep, 315.0f, 1e-4);
}

TEST_F(Pursuit, PathsStartAndEndAtTheCentreAndPlaybackReplaysThem) {
  par.flowsperblock = 4;
  par.twofreq = 1.0f / 8.0f;  // blocks of 8 s, sweeps of 2 s
  par.maxgrid = 0.5f;
  Path a(4);
  srandom(11);
  float px, py, th;
  std::vector<std::pair<float, float>> pursued;
  for (int f = 0; f < 960; f++) {  // 16 s at 60 frames a second
    const double t = f / 60.0;
    const bool fresh = pursuitstep(a.p, t, &px, &py, &th);
    EXPECT_EQ(fresh, f == 0) << "a path is drawn by the pursuit block only, at its start";
    const bool playback = pursuitplayback(pursuitblock(a.p.lastk));
    EXPECT_EQ(playback, t >= 8.0) << t;
    EXPECT_LE(std::fabs(px), 0.5f);
    EXPECT_LE(std::fabs(py), 0.5f);
    if (f < 480) {
      pursued.push_back({px, py});
    } else {
      EXPECT_NEAR(px, pursued[f - 480].first, 1e-5) << "playback repeats the path at " << t;
      EXPECT_NEAR(py, pursued[f - 480].second, 1e-5);
    }
  }
  EXPECT_EQ(pursued[0].first, 0.0f);
  EXPECT_NEAR(pursued[479].first, 0.0f, 1e-3) << "ends at the centre";
  EXPECT_NEAR(pursued[120].first, a.x[1], 1e-6) << "a sweep ends at rest on its stop";
  // The next pursuit block draws a new path; a negative rate starts with
  // playback (which then draws it).
  EXPECT_TRUE(pursuitstep(a.p, 16.0, &px, &py, &th));
  par.twofreq = -1.0f / 8.0f;
  EXPECT_TRUE(pursuitplayback(pursuitblock(0)));
  EXPECT_FALSE(pursuitplayback(pursuitblock(4)));
}

TEST_F(Pursuit, PicturePairsGoRoundAndAnOddLastPictureIsNeverShown) {
  int pair = -2;  // before the first path
  std::vector<int> seen;
  for (int k = 0; k < 5; k++) seen.push_back(pair = nextpicturepair(pair, 9));
  EXPECT_EQ(seen, (std::vector<int>{0, 2, 4, 6, 0}));
  EXPECT_EQ(nextpicturepair(-2, 2), 0);
  EXPECT_EQ(nextpicturepair(0, 2), 0);
}

TEST_F(Pursuit, PlaybackGreyFollowsTheSpeedUnlessVbwfracIsOne) {
  par.maxgrid = 0.5f;
  EXPECT_EQ(pursuitgrey(true, 3.0f, 0.7f, 0.8f), 0.8f);
  par.vbwfrac = 0.25f;
  EXPECT_FLOAT_EQ(pursuitgrey(false, 3.0f, 0.7f, 0.8f), 0.2f);
  EXPECT_FLOAT_EQ(pursuitgrey(true, 0.0f, 0.7f, 0.8f), 0.2f);  // at rest
  const float leg = 2.0f * std::sqrt(2.0f) * 0.5f;             // corner to corner
  EXPECT_NEAR(pursuitgrey(true, static_cast<float>(M_PI), leg, 0.8f), 0.8f, 1e-5);
}

TEST_F(Pursuit, WanderTourStartsAtTheCentreAndGoesOnFromWhereItStopped) {
  par.gridsize = 5;
  par.maxgrid = 0.7f;
  par.flowfreq = 0.5f;
  std::vector<int> order(25);
  WanderGrid w;
  w.order = order.data();
  w.n = 25;
  wanderreset(w);
  srandom(5);
  float cx, cy;
  wandergridstep(w, 0.0, &cx, &cy);
  EXPECT_EQ(w.p1, 12);
  EXPECT_EQ(cx, 0.0f);
  EXPECT_EQ(cy, 0.0f);
  std::vector<int> seen = {w.p2};
  int end = w.p2;
  for (int k = 1; k < 60; k++) {
    wandergridstep(w, 2.0 * k, &cx, &cy);
    EXPECT_EQ(w.p1, end) << "the path goes on without a jump";
    end = w.p2;
    if (k < 24) seen.push_back(w.p2);
  }
  // One sweep to each grid point of a shuffled order, ending at rest there.
  seen.push_back(12);
  std::sort(seen.begin(), seen.end());
  for (int k = 0; k < 24; k++) EXPECT_NE(seen[k], seen[k + 1]);
  wandergridstep(w, 2.0 * 60 - 1e-4, &cx, &cy);
  const float s = 2.0f * 0.7f / 4.0f;
  EXPECT_NEAR(cx, (w.p2 % 5) * s - 0.7f, 1e-3);
  EXPECT_NEAR(cy, (w.p2 / 5) * s - 0.7f, 1e-3);
}

TEST_F(Pursuit, ObjectRingJitterRestsAtBothEndsOfASlot) {
  par.polfreq = 1.0f / 64.0f;
  par.simulcnt = 10;
  EXPECT_EQ(realmotsteps(), 384);
  std::vector<float> a(30, 0.0f);
  for (int i = 6; i < 24; i++) a[i] = (i % 2) ? 0.1f : -0.1f;
  smoothjitter(a.data(), 30);
  EXPECT_EQ(a[0], 0.0f);
  EXPECT_EQ(a[29], 0.0f);
  for (float v : a) EXPECT_LT(std::fabs(v), 0.05f) << "smoothed";
}

TEST_F(Pursuit, AResetStartsThePursuitRunAgainOnTheSamePathArrays) {
  par.flowsperblock = 3;
  par.twofreq = 1.0f / 6.0f;
  par.maxgrid = par.maxrad = par.maxdotxy = 0.5f;
  par.numdots = 20;
  par.circwidth = 0.4f;
  mkdotarrays(par.numdots);
  Path a(3);
  PursuitState s;
  s.path = a.p;
  auto drawrun = [&s](std::vector<float>& seen) {
    srandom(2);
    for (int f = 0; f < 900; f += 7) {
      drawpursuepasscirc(s, f / 60.0, par.numdots);
      seen.insert(seen.end(), {s.path.x[1], s.path.y[2], static_cast<float>(s.path.lastk), s.grey, dotx[3]});
    }
  };
  std::vector<float> first, again;
  drawrun(first);
  resetpursuit(s);
  EXPECT_EQ(s.path.x, a.x.data());
  drawrun(again);
  EXPECT_EQ(first, again);
}
