// Air-puff and laser schedules.
#include "config/condseq.h"
#include "keepglobals.h"
#include "somato/airout.h"
#include "somato/airpuff.h"
#include "somato/laser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

TEST(AirSchedules, RotatingPuffSlots) {
  // Default: 64 s over 12 tubes = 5.33 s per position, 10 slots of 0.533 s,
  // a 0.1 s puff in the middle of each (no jitter).
  const double pos = 64.0 / 12, frac = 0.1 / pos;
  const std::vector<float> nojitt(10, 0.0f);
  auto on = [&](double t) { return polarpuffon(std::fmod(t, pos) / pos, nojitt.data(), 10, frac); };
  EXPECT_FALSE(on(0.2));
  EXPECT_TRUE(on(0.2667));
  EXPECT_TRUE(on(0.31));
  EXPECT_FALSE(on(0.32));
  EXPECT_TRUE(on(0.8));
  EXPECT_TRUE(on(pos + 0.2667));
  // A jitter moves the slot's puff.
  std::vector<float> jitt(10, 0.0f);
  jitt[0] = static_cast<float>(0.1 / pos);
  EXPECT_FALSE(polarpuffon(0.2667 / pos, jitt.data(), 10, frac));
  EXPECT_TRUE(polarpuffon(0.3667 / pos, jitt.data(), 10, frac));
}

TEST(AirSchedules, RotatingTubeOrder) {
  // Positive period: the outputs start a quarter round and count down.
  EXPECT_EQ(rotpufftube(0, 1.0f / 64, 12, true), 2);
  EXPECT_EQ(rotpufftube(2, 1.0f / 64, 12, true), 0);
  EXPECT_EQ(rotpufftube(3, 1.0f / 64, 12, true), 11);
  // Negative period: the position is negative and the outputs count up.
  EXPECT_EQ(rotpufftube(0, -1.0f / 64, 12, true), 3);
  EXPECT_EQ(rotpufftube(-1, -1.0f / 64, 12, true), 4);
  EXPECT_EQ(rotpufftube(0, 1.0f / 64, 12, false), 0);
  EXPECT_EQ(rotpufftube(0, -1.0f / 64, 12, false), -1);
}

TEST(AirSchedules, BlocksSweepsAndGrid) {
  KeepGlobals keep;
  // twofreq is doubled at start-up: 32 s blocks give 0.0625 here.
  EXPECT_EQ(rotrandblock(10.0, 0.0625f), 0);
  EXPECT_EQ(rotrandblock(17.0, 0.0625f), 1);
  EXPECT_EQ(rotrandblock(10.0, -0.0625f), 1);
  EXPECT_EQ(sweepposition(0.7, 1.0f / 1.5f, 12), 5);
  EXPECT_EQ(sweepposition(0.7, -1.0f / 1.5f, 12), 5);
  // Row by row over a 4 x 3 grid: every index once, inside the map.
  std::set<int> rows, cols;
  for (int line = 0; line < 4; line++)
    for (int w = 0; w < 3; w++) rows.insert(lineairindex(104, line, w, 3));
  for (int line = 0; line < 3; line++)
    for (int w = 0; w < 4; w++) cols.insert(lineairindex(105, line, w, 3));
  EXPECT_EQ(rows.size(), 12u);
  EXPECT_EQ(cols, rows);
  EXPECT_EQ(*cols.rbegin(), 11);
  EXPECT_EQ(lineairindex(105, 2, 1, 3), 5);  // column 2, row 1
  // A shuffled sweep: a puff at each new position, a new order at each wrap.
  par.puffdur = 0.07f;
  srandom(1);
  PuffSweep s;
  puffsweepreset(s, 6);
  EXPECT_TRUE(puffsweepstep(s, 0, 0.0, 0.0, true));
  EXPECT_FALSE(puffsweepstep(s, 0, 0.1, 0.0, true));
  // A frame late: the puff keeps the time its position began.
  EXPECT_TRUE(puffsweepstep(s, 1, 0.3, 0.25, true));
  EXPECT_FALSE(puffsweepstep(s, 1, 0.33, 0.25, true));
  EXPECT_NEAR(sweepstart(0.3, 1.0f / 1.5f, 6), 0.25, 1e-6);
  for (int i = 2; i < 6; i++) puffsweepstep(s, i, 0.25 * i, 0.25 * i, true);
  puffsweepstep(s, 0, 1.5, 1.5, true);
  std::vector<int> order(s.order, s.order + 6);
  std::sort(order.begin(), order.end());
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST(AirSchedules, AShuffledSweepIsShuffledFromItsFirstPass) {
  par.puffdur = 0.07f;
  const std::vector<int> identity = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  int shuffledfirst = 0;
  for (int seed = 1; seed <= 5; seed++) {
    srandom(seed);
    PuffSweep s;
    puffsweepreset(s, 12);
    puffsweepstep(s, 0, 0.0, 0.0, true);
    shuffledfirst += std::vector<int>(s.order, s.order + 12) != identity;
    PuffSweep rot;  // the rotation keeps its order
    puffsweepreset(rot, 12);
    puffsweepstep(rot, 0, 0.0, 0.0, false);
    EXPECT_EQ(std::vector<int>(rot.order, rot.order + 12), identity);
  }
  EXPECT_EQ(shuffledfirst, 5);
}

TEST(AirSchedules, Type100DisplayShowsTheSlotOfTheRealTube) {
  // Twelve tubes: the first output tube (3, a quarter round counting down)
  // is shown at the first slot, whatever position of the map drives it.
  for (int i = 0; i < 12; i++) {
    const int k = rotpufftube(i, 1.0f, 12, true);
    EXPECT_EQ(rotpuffslot(k + 1, 12), rotpufftube(i, 1.0f, 12, false) - 12 * (i > 2)) << i;
  }
  EXPECT_EQ(rotpuffslot(3, 12), 0);
  EXPECT_EQ(rotpuffslot(7, 12), -4);
}

TEST(AirSchedules, AResetStartsTheRotationVsRandomSweepAgain) {
  KeepGlobals keep;
  par.stimtype = 103;
  par.airtubes = par.mapairtubes = 8;
  par.airtubemap = {1, 2, 3, 4, 5, 6, 7, 8};
  par.aflowfreq = 0.25f;
  par.twofreq = 0.1f;
  par.puffdur = 0.1f;
  AirState s;
  auto drawrun = [&s](std::vector<int>& seen) {
    srandom(4);
    for (double t = 0.0; t < 30.0; t += 0.2) {
      drawrotrandair(s, t);
      seen.insert(seen.end(), s.sweep.order, s.sweep.order + 8);
      seen.push_back(s.preve);
    }
  };
  std::vector<int> first, again;
  drawrun(first);
  resetair(s);
  EXPECT_EQ(s.preve, -1);  // the first frame orders the sweep afresh
  drawrun(again);
  EXPECT_EQ(first, again);
}

TEST(LaserSchedules, NamesFingersAndPlans) {
  char name[32];
  paincuename(name, sizeof name, 2, 2);
  EXPECT_STREQ(name, "ring-3.wav");
  EXPECT_EQ(painfinger(0.5, 4), 0);
  EXPECT_EQ(painfinger(3.9, 4), 3);
  EXPECT_EQ(painfinger(0.0, -4), 3);  // a negative count starts with "little"
  EXPECT_EQ(painfinger(3.5, -4), 0);
  // Each position of each finger gets one pulse number; each pass of
  // fingers x perblock pulses visits perblock positions of every finger.
  srandom(7);
  int plan[24], order[8];
  painplan(plan, 4, 6, 2, order);
  std::vector<int> all(plan, plan + 24);
  std::sort(all.begin(), all.end());
  for (int k = 0; k < 24; k++) EXPECT_EQ(all[k], k);
  for (int pass = 0; pass < 3; pass++)
    for (int f = 0; f < 4; f++) {
      int n = 0;
      for (int p = 0; p < 6; p++) n += plan[f * 6 + p] / 8 == pass;
      EXPECT_EQ(n, 2) << "pass " << pass << " finger " << f;
    }
}

TEST(AirSchedules, TouchingJitteredSlotsAreTwoPuffs) {
  // Two slots of half a position with puffs as long as a slot, jittered
  // towards each other until they overlap: each fraction belongs to one
  // slot or the other, so a change of slot shows where a new puff begins.
  std::vector<float> jitt = {0.01f, -0.01f};
  const int slots = 2;
  const double frac = 0.5;
  EXPECT_EQ(polarpuffslot(0.24, jitt.data(), slots, frac), 0);
  EXPECT_EQ(polarpuffslot(0.49, jitt.data(), slots, frac), 0);
  EXPECT_EQ(polarpuffslot(0.51, jitt.data(), slots, frac), 1);
  EXPECT_EQ(polarpuffslot(0.74, jitt.data(), slots, frac), 1);
  EXPECT_EQ(polarpuffslot(0.995, jitt.data(), slots, frac), -1);
  EXPECT_TRUE(polarpuffon(0.51, jitt.data(), slots, frac));
  EXPECT_FALSE(polarpuffon(0.995, jitt.data(), slots, frac));
}
