// Wedge and ring variants: time shifts, jitter table, gaps between rings,
// the event-related schedule, group on/off and the radial bars.
#include "keepglobals.h"
#include "draw/fixation.h"
#include "retino/variants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

TEST(Variants, LaterWedgesShiftTimeOrTurnAStillWedge) {
  KeepGlobals keep;
  par.polfreq = 1.0f / 64.0f;
  EXPECT_DOUBLE_EQ(polarlater(0.25, 1.0f).dt, 16.0);
  EXPECT_DOUBLE_EQ(polarlaterabs(0.5, 1.0f).dt, 32.0);
  par.polfreq = -1.0f / 64.0f;
  EXPECT_DOUBLE_EQ(polarlater(0.25, 1.0f).dt, -16.0);   // a quadrant ahead in the wedge's own direction
  EXPECT_DOUBLE_EQ(polarlaterabs(0.75, -1.0f).dt, 48.0);  // the pairs always shift forwards in time
  par.polfreq = 0.0f;  // no time puts a still wedge elsewhere: it is turned
  const Later l = polarlaterabs(0.75, -1.0f);
  EXPECT_EQ(l.dt, 0.0);
  EXPECT_FLOAT_EQ(l.phase, static_cast<float>(-1.5 * M_PI));
  EXPECT_FLOAT_EQ(polarlater(0.5, 1.0f).phase, static_cast<float>(M_PI));
}

TEST(Variants, JitterTableIsSmoothBoundedAndRepeatable) {
  float a[JITTSTEPS], b[JITTSTEPS];
  srandom(3);
  makejitttable(a, JITTSTEPS);
  srandom(3);
  makejitttable(b, JITTSTEPS);
  EXPECT_EQ(a[0], 0.0f);
  EXPECT_EQ(a[JITTSTEPS - 1], 0.0f);
  float spread = 0.0f;
  for (int k = 0; k < JITTSTEPS; k++) {
    EXPECT_EQ(a[k], b[k]);
    EXPECT_LE(std::fabs(a[k]), 20.0f);
    if (k > 0) {
      EXPECT_LT(std::fabs(a[k] - a[k - 1]), 3.0f) << "step " << k;  // raw draws jump up to 40
    }
    spread = std::fmax(spread, std::fabs(a[k]));
  }
  EXPECT_GT(spread, 0.5f);
}

TEST(Variants, QuadrantOrders) {
  const int want1[4][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}}, want0[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
  for (int q = 0; q < 4; q++) {
    int x, y;
    quadrantcorner(q, 1, &x, &y);
    EXPECT_EQ(x, want1[q][0]);
    EXPECT_EQ(y, want1[q][1]);
    quadrantcorner(q, 0, &x, &y);
    EXPECT_EQ(x, want0[q][0]);
    EXPECT_EQ(y, want0[q][1]);
  }
}

TEST(Variants, GapsBetweenRings) {
  float from[2], to[2];
  // Plain gap from one ring's outer edge (widened) to the next one's inner edge.
  ASSERT_EQ(ringgap({true, 0.2f, 0.3f}, {true, 0.6f, 0.7f}, 0.01f, 0.0f, 1.0f, from, to), 1);
  EXPECT_FLOAT_EQ(from[0], 0.31f);
  EXPECT_FLOAT_EQ(to[0], 0.59f);
  // The ring ahead has wrapped to the centre: the gap runs out to maxrad
  // and on from minrad.
  ASSERT_EQ(ringgap({true, 0.6f, 0.7f}, {true, 0.2f, 0.3f}, 0.0f, 0.1f, 1.0f, from, to), 2);
  EXPECT_FLOAT_EQ(from[0], 0.7f);
  EXPECT_FLOAT_EQ(to[0], 1.0f);
  EXPECT_FLOAT_EQ(from[1], 0.1f);
  EXPECT_FLOAT_EQ(to[1], 0.2f);
  // A ring straddling maxrad: the gap starts at its wrapped outer edge.
  ASSERT_EQ(ringgap({true, 0.9f, 1.05f}, {true, 0.5f, 0.6f}, 0.0f, 0.1f, 1.0f, from, to), 1);
  EXPECT_NEAR(from[0], 0.15f, 1e-6);
  EXPECT_FLOAT_EQ(to[0], 0.5f);
  // Overlapping rings leave no gap; a single ring leaves everything else.
  EXPECT_EQ(ringgap({true, 0.2f, 0.5f}, {true, 0.4f, 0.7f}, 0.0f, 0.0f, 1.0f, from, to), 0);
  ASSERT_EQ(ringgap({true, 0.4f, 0.5f}, {true, 0.4f, 0.5f}, 0.0f, 0.0f, 1.0f, from, to), 2);
  EXPECT_FLOAT_EQ(from[0], 0.5f);
  EXPECT_FLOAT_EQ(to[1], 0.4f);
  // A ring that is off hides nothing: the gaps on both sides meet at it.
  ASSERT_EQ(ringgap({false, 0.4f, 0.5f}, {true, 0.8f, 0.9f}, 0.05f, 0.0f, 1.0f, from, to), 1);
  EXPECT_FLOAT_EQ(from[0], 0.4f);
  EXPECT_FLOAT_EQ(to[0], 0.75f);
}

TEST(Variants, MultiFrequencyGroupsAndStart) {
  EXPECT_TRUE(multifreqon(0.25f, 1.0, 0.5f));    // phase 0.25
  EXPECT_FALSE(multifreqon(0.25f, 3.0, 0.5f));   // phase 0.75
  EXPECT_TRUE(multifreqon(0.25f, 3.0, -0.5f));   // onfrac <= 0: off first, on for the last part
  EXPECT_FALSE(multifreqon(0.25f, 1.0, -0.5f));
  EXPECT_FALSE(multifreqon(0.25f, 1.0, 0.2f));
  KeepGlobals keep;
  par.polfreq = 0.25f;
  par.polwidth = 1.0f;
  par.ipsirange = 0.0f;
  par.centerpolflag = 1;
  EXPECT_NEAR(multifreqstart(1.0), M_PI / 2 - 0.5, 1e-6);
  par.centerpolflag = 0;
  par.oritargprob = 5;  // no jerk, no wobble: only turn and centring
  par.wobbleflag = 1;
  EXPECT_NEAR(multifreqstart(1.0), M_PI / 2, 1e-6);
}

TEST(Variants, EventRelatedScheduleAndTwoBackTask) {
  KeepGlobals keep;
  par.numangles = 8;
  par.angleoff = 10.0f;
  par.polrandnback = 2;
  const int gaps[6] = {3, 3, 4, 4, 5, 6};
  for (int k = 0; k < 6; k++) par.nbackgaps[k] = gaps[k];
  for (int k = 0; k < 3; k++) par.eventlags[k] = par.eventdurs[k] = static_cast<float>(k + 1);
  par.eventsperlag_min = 7;
  par.eventsperlag_rang = 2;
  srandom(11);
  PolRand s;
  polrandinit(s);
  std::vector<int> hist;  // angles since the last delay
  double t = 0.0;
  int hits = 0, delays = 0, sincedelay = 0;
  for (int trial = 0; trial < 400; trial++) {
    ASSERT_TRUE(polrandstep(s, t));
    EXPECT_FALSE(polrandstep(s, t)) << "one trial per start";
    EXPECT_EQ((s.angle - 10) % 45, 0) << s.angle;
    const double dur = s.endevent - t;
    EXPECT_TRUE(dur == 1.0 || dur == 2.0 || dur == 3.0) << dur;
    const size_t n = hist.size();
    if (s.hit) {
      hits++;
      ASSERT_GE(n, 2u);
      EXPECT_EQ(s.angle, hist[n - 2]);
    } else {
      for (size_t b = 1; b <= 3 && b <= n; b++) EXPECT_NE(s.angle, hist[n - b]) << "accidental repeat, trial " << trial;
    }
    sincedelay++;
    const double delay = s.nextevent - s.endevent;
    if (delay > 0.0) {
      delays++;
      EXPECT_TRUE(delay == 1.0 || delay == 2.0 || delay == 3.0) << delay;
      EXPECT_GE(sincedelay, 7);
      EXPECT_LE(sincedelay, 9);
      sincedelay = 0;
      hist.clear();
    } else {
      hist.push_back(s.angle);
    }
    t = s.nextevent;
  }
  EXPECT_GT(hits, 40);
  EXPECT_GT(delays, 30);
}

TEST(Variants, EventRelatedTrialsStartWhenTheLastEndsNotAFrameLater) {
  // Stepped by 60 Hz frames, whose times seldom land on a trial's end: each
  // trial still starts at the end of the one before (plus its delay) and
  // lasts its duration from there, not from the frame that first shows it.
  KeepGlobals keep;
  par.numangles = 8;
  par.polrandnback = 2;
  for (int k = 0; k < 3; k++) {
    par.eventlags[k] = 0.505f * static_cast<float>(k + 1);
    par.eventdurs[k] = 0.71f + 0.61f * static_cast<float>(k);
  }
  srandom(4);
  PolRand s;
  polrandinit(s);
  double lastnext = 0.0;
  int trials = 0;
  for (int k = 0; trials < 300; k++) {
    const double t = k * (1.0 / 60.0);
    if (!polrandstep(s, t)) continue;
    const double onset = trials == 0 ? 0.0 : lastnext;
    EXPECT_NEAR(s.endevent - onset, s.durs[s.duri - 1], 1e-6) << "trial " << trials;
    EXPECT_GE(t, onset - 1e-9);
    EXPECT_LT(t, onset + 1.0 / 60.0) << "shown from the first frame of its time";
    lastnext = s.nextevent;
    trials++;
  }
  EXPECT_GT(lastnext, 300 * 0.71);
  // A display stalled past a whole trial starts the next one when it shows.
  PolRand late;
  polrandinit(late);
  ASSERT_TRUE(polrandstep(late, 0.0));
  const double shown = late.nextevent + 10.0;
  ASSERT_TRUE(polrandstep(late, shown));
  EXPECT_NEAR(late.endevent - shown, late.durs[late.duri - 1], 1e-6);
}

TEST(Variants, RadialBarsWrapAndKeepTheirShares) {
  // Dark share 0.5 and light share 1.5 slots (light2dark 3).
  const float r0 = 0.1f, r1 = 1.1f, w = 0.05f, D = 0.5f, L = 1.5f;
  RingPieces p = spokebar(1, 0.0, r0, r1, w, D, L);
  ASSERT_EQ(p.count, 1);
  EXPECT_FLOAT_EQ(p.rin[0], 0.15f);
  EXPECT_FLOAT_EQ(p.rout[0], 0.175f);
  p = spokebar(2, 0.0, r0, r1, w, D, L);  // the light bar follows the dark one
  EXPECT_FLOAT_EQ(p.rin[0], 0.175f);
  EXPECT_NEAR(p.rout[0], 0.25f, 1e-6);
  p = spokebar(19, 0.8, r0, r1, w, D, L);  // pushed past r1: the rest starts again at r0
  ASSERT_EQ(p.count, 2);
  EXPECT_FLOAT_EQ(p.rout[0], r1);
  EXPECT_FLOAT_EQ(p.rin[1], r0);
  EXPECT_NEAR((p.rout[0] - p.rin[0]) + (p.rout[1] - p.rin[1]), D * w, 1e-6);
  p = spokebar(1, -3.0, r0, r1, w, D, L);  // moving inwards wraps the other way
  EXPECT_NEAR(p.rin[0], r1 - 2 * w, 1e-6);
}

TEST(Variants, LowContrastBarsStopAndReverse) {
  KeepGlobals keep;
  par.twofreq = 1.0f / 16.0f;
  par.flowfreq = 1.0f;
  EXPECT_EQ(lcmsmotion(0.5), 1);
  EXPECT_EQ(lcmsmotion(1.5), -1);
  EXPECT_EQ(lcmsmotion(16.5), 0);
  EXPECT_EQ(lcmsmotion(32.5), 1);
  par.twofreq = -1.0f / 16.0f;  // negative: still first
  EXPECT_EQ(lcmsmotion(0.5), 0);
}

// The wandering wedge visits every grid cell once per tour, from and back to
// the centre, and each tour is a new order.
TEST(Variants, WanderingWedgeReshufflesEveryTour) {
  KeepGlobals keep;
  par.gridsize = 5;
  par.maxgrid = 0.7f;
  par.flowfreq = 0.5f;  // 2 s per sweep, 50 s per tour
  srandom(2);
  WanderTour w;
  wanderpolinit(w);
  std::vector<std::vector<int>> tours(3);
  for (int k = 0; k < 75; k++) {
    float x, y;
    wanderpolstep(w, 2.0 * k + 0.001, &x, &y);
    tours[k / 25].push_back(w.gistart);
    EXPECT_EQ(w.gistart, w.gis[k % 25]) << "sweep " << k;
    if (k % 25 == 0) {
      EXPECT_EQ(w.gistart, 12) << "a tour starts at the centre";
    }
    wanderpolstep(w, 2.0 * k + 1.999, &x, &y);
  }
  for (const auto& tour : tours) EXPECT_EQ(std::set<int>(tour.begin(), tour.end()).size(), 25u);
  EXPECT_NE(tours[0], tours[1]);
  EXPECT_NE(tours[1], tours[2]);
}

TEST(Variants, ARestartedJitteredWedgeMakesTheFirstRunsTable) {
  KeepGlobals keep;
  VariantsState s;
  auto startrun = [&s] {
    srandom(9);
    resetvariants(s);
    drawpolarjitt(s, 0.0, 1, 1, 0);  // one slot: the table without a board
    return std::vector<float>(s.jitter, s.jitter + JITTSTEPS);
  };
  const std::vector<float> first = startrun();
  for (int k = 0; k < 5; k++) drawpolarjitt(s, 0.0, 1, 1, 0);
  EXPECT_EQ(s.jittstep, 6);
  EXPECT_EQ(startrun(), first);
  EXPECT_EQ(s.jittstep, 1) << "a restart carries on in the old table";
}

TEST(Variants, TheWanderingWedgeOnAnOrbitLeavesTheRunsOptionsAlone) {
  KeepGlobals keep;
  par.orbrad = 0.5f;
  par.gridsize = 3;
  par.fixtype = -1;
  run.skipfixationflag = 0;
  VariantsState s;
  resetvariants(s);
  for (double t = 0.0; t < 2.0; t += 0.5) drawwanderpol(s, t, 1, 1, 0);
  EXPECT_EQ(par.orbrad, 0.5f);
  EXPECT_EQ(run.skipfixationflag, 0) << "start-up decides who draws the mark";
  EXPECT_FALSE(s.border) << "no border round a wedge on an orbit";
}
