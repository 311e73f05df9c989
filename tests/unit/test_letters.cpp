// Letter streams: characters, timing, positions; the orbital off test.
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include "config/checks.h"
#include "config/typedefaults.h"
#include "core/scoring.h"
#include "keepglobals.h"
#include "composites/composites.h"
#include "draw/letters.h"
#include "draw/ring.h"
#include "draw/wedge.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

class Letters : public ::testing::Test {
 protected:
  KeepGlobals keep;
  void SetUp() override {
    par = Params{};
    par.minrad = 0.05f;
    par.maxrad = 2.0f;
  }
};

}  // namespace

TEST_F(Letters, CharactersAreCapitalsWithoutOAndDigitsWithoutZero) {
  srandom(7);
  for (int k = 0; k < 2000; k++) {
    const char c = nextlettchar(1);
    ASSERT_TRUE(c >= '1' && c <= '9') << c;  // one per number: only digits
  }
  int digits = 0, letters[26] = {};
  for (int k = 0; k < 20000; k++) {
    const char c = nextlettchar(20);
    ASSERT_NE(c, 'O');
    ASSERT_NE(c, '0');
    if (c >= '1' && c <= '9') {
      digits++;
    } else {
      ASSERT_TRUE(c >= 'A' && c <= 'Z') << c;
      letters[c - 'A']++;
    }
  }
  EXPECT_NEAR(digits / 20000.0, 1.0 / 20.0, 0.01);
  for (int k = 0; k < 26; k++) {
    if (k == 'O' - 'A') continue;
    EXPECT_GT(letters[k], 500) << static_cast<char>('A' + k);
  }
  for (int k = 0; k < 100; k++) {
    const char c = nextlettchar(0);  // nonsense counts give digits, never a division by zero
    EXPECT_TRUE(c >= '1' && c <= '9');
  }
}

TEST_F(Letters, NewCharacterEveryCycleVisibleForTextdur) {
  par.textdur = 0.25;
  par.gapdur = 0.1;
  LetterStream s;
  int fresh = 0;
  for (int k = 1; k < 3500; k++) {
    const double t = k * 0.001 + 0.0005;  // never exactly on a cycle edge
    const LetterTick tick = lettertick(s, t);
    const double inphase = std::fmod(t, 0.35);
    EXPECT_EQ(tick.fresh, inphase < 0.001) << t;
    EXPECT_EQ(tick.visible, inphase <= 0.25) << t;
    fresh += tick.fresh;
  }
  EXPECT_EQ(fresh, 9);  // 0.35, 0.70, ... 3.15
}

TEST_F(Letters, WedgeLetterInTheWedgeMiddle) {
  par.polfreq = 1.0f / 8.0f;
  par.polwidth = 0.4f;
  par.centerpolflag = 1;
  EXPECT_NEAR(polletterangle(2.0, 0.0f), M_PI / 2.0, 1e-5);
  EXPECT_NEAR(polletterangle(2.0, static_cast<float>(M_PI)), 1.5 * M_PI, 1e-5);
  par.centerpolflag = 0;  // the wedge starts at its nominal angle
  EXPECT_NEAR(polletterangle(2.0, 0.0f), M_PI / 2.0 + 0.2, 1e-5);
  par.polRvsLflag = 1;  // hemifield blocks: right, then left
  par.blockfreq = 0.05f;
  par.centerpolflag = 1;
  EXPECT_NEAR(polletterangle(5.0, 0.0f), 0.0, 1e-6);
  EXPECT_NEAR(polletterangle(25.0, 0.0f), M_PI, 1e-6);

  float lo, hi;
  par.minlett = 0.024f;
  par.maxlett = 1.05f;
  letterrange(&lo, &hi, true);
  EXPECT_FLOAT_EQ(lo, 0.05f);  // clipped to the stimulus
  EXPECT_FLOAT_EQ(hi, 1.05f);
  par.maxlett = 3.0f;
  par.truncnumradflag = 1;
  truncmaxrad = 0.8f;
  letterrange(&lo, &hi, true);
  EXPECT_FLOAT_EQ(hi, 0.8f);
  letterrange(&lo, &hi, false);  // the ring ignores the wedge truncation
  EXPECT_FLOAT_EQ(hi, 2.0f);
  truncmaxrad = 4.0f;
}

// Wedge letters jitter over the wedge width less 12 degrees: the default
// 11.25-degree wedge keeps its letter on the middle, a 40-degree one lets it
// stray 14 degrees at most, never onto the wedge edge.
TEST_F(Letters, WedgeLetterJitterKeepsClearOfTheEdges) {
  par = Params{};
  par.stimtype = 12;
  applytypedefaults(12);
  convertparams();
  srandom(3);
  for (int k = 0; k < 200; k++) ASSERT_EQ(polletteroffset(newpolletterjitter()), 0.0f);
  par.polwidth = static_cast<float>(40.0 * M_PI / 180.0);
  float most = 0.0f;
  for (int k = 0; k < 2000; k++) most = std::max(most, std::fabs(polletteroffset(newpolletterjitter())));
  EXPECT_LE(most * 180.0 / M_PI, 14.0 + 1e-4);
  EXPECT_GT(most * 180.0 / M_PI, 13.0);
}

TEST_F(Letters, RingLetterAtTheRingMiddleMovingOutwards) {
  par.eccfreq = 1.0f / 64.0f;
  par.eccwidth = 0.08f;
  par.minlett = par.minrad;
  par.maxlett = par.maxrad;
  for (int ex = 0; ex < 2; ex++) {
    par.exptransflag = ex;
    const float base = expbase(par.minrad, par.maxrad);
    float last = 0.0f;
    for (double T = 1.0; T < 60.0; T += 7.0) {
      const RingExtent e = ringextent(T);
      const float mid = (e.r0 + e.r1) / 2.0f;
      const float want = ex ? exptrans(mid, par.minrad, base) : mid;
      const float r = eccletterradius(T, par.minlett, par.maxlett, 0.0f);
      EXPECT_NEAR(r, want, 1e-4) << T;
      EXPECT_GT(r, last);
      last = r;
    }
  }
  par.exptransflag = 0;
  // Jitter counts only for a ring wider than the jitter minimum.
  EXPECT_FLOAT_EQ(eccletterradius(10.0, 0.05f, 2.0f, 0.03f), eccletterradius(10.0, 0.05f, 2.0f, 0.0f));
  par.eccwidth = 0.3f;
  EXPECT_NEAR(eccletterradius(10.0, 0.05f, 2.0f, 0.03f) - eccletterradius(10.0, 0.05f, 2.0f, 0.0f), 0.03f, 1e-5);
  // Past the letter range the wrapped letter restarts at its inner edge.
  par.wrapmaxeccletflag = 1;
  EXPECT_FLOAT_EQ(eccletterradius(63.9, 0.05f, 2.0f, 0.0f), 0.05f);
}

TEST_F(Letters, RingLettersOfType22TravelTheRingsOwnRangeByDefault) {
  par = Params{};
  par.stimtype = 22;
  applytypedefaults(22);
  const float ranges[2][2] = {{0.05f, 2.0f}, {0.01f, 3.0f}};  // the defaults, then -minrad/-maxrad
  for (const auto& range : ranges) {
    par.minrad = range[0], par.maxrad = range[1];
    float lo = 0, hi = 0;
    letterrange(&lo, &hi, false);
    EXPECT_FLOAT_EQ(lo, par.minrad);
    EXPECT_FLOAT_EQ(hi, par.maxrad);
  }
}

TEST_F(Letters, OrbitalOffTest) {
  par.blockfreq = 1.0f / 16.0f;
  par.stimtype = 35;
  EXPECT_FALSE(orbitaloff(5.0, true, true));
  EXPECT_TRUE(orbitaloff(20.0, true, true));
  EXPECT_FALSE(orbitaloff(20.0, true, false));  // the block rule skipped
  par.blockfreq = -1.0f / 16.0f;  // negative: off first
  EXPECT_TRUE(orbitaloff(5.0, true, true));
  EXPECT_FALSE(orbitaloff(20.0, true, true));
  par.rightleftcuedur = 1.0f;  // cued blocks stay on
  EXPECT_FALSE(orbitaloff(5.0, true, true));
  par.rightleftcuedur = 0.0f;
  par.stimtype = 111;  // the block design of its own
  EXPECT_FALSE(orbitaloff(5.0, true, true));
  par.stimtype = 35;
  par.trunc2offflag = 1;  // on for the first onfrac of each block
  par.blockfreq = 0.5f;
  par.onfrac = 0.5f;
  EXPECT_FALSE(orbitaloff(0.5, true, true));
  EXPECT_TRUE(orbitaloff(1.5, true, true));
  EXPECT_FALSE(orbitaloff(1.5, false, true));  // the auditory variant: block rule only
  EXPECT_TRUE(orbitaloff(2.5, false, true));
}

TEST(LetterScoring, DigitsAreTargetsLettersAreNot) {
  FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  std::fputs("F1-reset:          3.000 #####\n"
             "LetEvent:     0.350   K\n"
             "KeyEvent:     0.500   k1\n"  // no target yet: not counted
             "NumEvent:     0.700   7\n"
             "KeyEvent:     1.100   k1\n"
             "LetEvent:     1.050   B\n"
             "NumEvent:     1.400   3\n"
             "KeyEvent:     4.000   k1\n",  // too late
             f);
  std::rewind(f);
  const ScoreCount c = scorelog(f, 2.0f);
  std::fclose(f);
  EXPECT_EQ(c.targets, 2);
  EXPECT_EQ(c.numbers, 2);
  EXPECT_EQ(c.hits, 1);
  EXPECT_EQ(scorepercent(c), 50);
}

TEST_F(Letters, ARestartedCompositeStartsEveryLayerAgainAsTheFirstRunDid) {
  par.textdur = 0.0;  // the letter stream is set up but shows nothing (no font needed)
  par.fixtype = -1;
  CompositeState c;
  auto startrun = [&c] {
    srandom(11);
    resetcomposite(c);
    EXPECT_FALSE(c.dots.started || c.letters.pol.started || c.letters.ecc.started || c.words.started ||
                 c.pictures.orbit.started || c.pictures.wedge.started)
        << "a layer keeps its old run";
    draworbletdil(c, 0.0, 1, 1, 0);  // one slot: no board; no dots
    EXPECT_TRUE(c.dots.started && c.letters.pol.started);
    return c.letters.pol.pos;
  };
  const float first = startrun();
  draworbletdil(c, 3.0, 1, 1, 0);
  EXPECT_EQ(startrun(), first);
  EXPECT_EQ(par.polwidth, Params{}.polwidth) << "the disk widened the run's wedge";
}
