// Letter streams and the composites on saved frames: where the wedge, ring
// or disk is, where the letter is and when it changes, which layer is on
// top, repeatability under a seed, and the scored number task.
#include "harness.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

class LetterFrames : public XServerSuite<> {};

struct Shot {
  std::vector<Image> frames;
  std::string log;  // the event lines without their times
};

// Frame k of n drawn at t0 + k/hz, after F1 on the wait screen.
Shot shoot(const XServer& x, std::vector<std::string> args, int n, double hz, double t0) {
  char tbuf[32];
  std::snprintf(tbuf, sizeof tbuf, "%.9g", t0);
  args.insert(args.end(), {"-firstframetime", tbuf});
  SavedRun run = loggedrun(x, args, n, hz, 120.0);
  Shot s;
  s.frames = std::move(run.frames);
  std::istringstream in(run.log);
  for (std::string l; std::getline(in, l);) {
    std::istringstream w(l);
    std::string word, time, rest;
    w >> word >> time;
    std::getline(w, rest);
    if (word == "LetEvent:" || word == "NumEvent:" || word == "TiffEvent:" || word == "StimEvent:") s.log += word + rest + "\n";
  }
  removetree(run.dir);
  return s;
}

// Display units of the centre of pixel (px, py).
double unitx(const Image& im, int px) { return (px + 0.5 - im.width / 2.0) * 3.12 / im.width; }
double unity(const Image& im, int py) { return (im.height / 2.0 - py - 0.5) * 3.12 / im.width; }

// Bounding box of the pixels that pass `is`, in display units.
struct Ink {
  int n = 0;
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
  double cx() const { return (x0 + x1) / 2.0; }
  double cy() const { return (y0 + y1) / 2.0; }
  double r() const { return std::hypot(cx(), cy()); }
  double deg() const { return std::atan2(cy(), cx()) * 180.0 / M_PI; }
};
Ink ink(const Image& im, const std::function<bool(int, int, int)>& is) {
  Ink k;
  for (int y = 0; y < im.height; y++)
    for (int x = 0; x < im.width; x++)
      if (is(im.r(x, y), im.g(x, y), im.b(x, y))) {
        k.n++;
        k.x0 = std::min(k.x0, unitx(im, x));
        k.x1 = std::max(k.x1, unitx(im, x));
        k.y0 = std::min(k.y0, unity(im, y));
        k.y1 = std::max(k.y1, unity(im, y));
      }
  return k;
}
bool grey(int r, int g, int b, int v, int tol = 3) {
  return std::abs(r - v) <= tol && std::abs(g - v) <= tol && std::abs(b - v) <= tol;
}
bool white(int r, int g, int b) { return r > 250 && g > 250 && b > 250; }

// Difference of two angles in degrees, folded into [-180, 180).
double angdiff(double a, double b) { return std::remainder(a - b, 360.0); }

// The pixel at (u, v) display units.
struct Px {
  int r, g, b;
};
Px at(const Image& im, double u, double v) {
  const int x = unitpixx(u, im.width), y = unitpixy(v, im.width, im.height);
  return {im.r(x, y), im.g(x, y), im.b(x, y)};
}

bool samepixels(const Image& a, const Image& b) { return a.ok() && b.ok() && a.rgba == b.rgba; }

}  // namespace

// Frames at t = 2.1, 2.2, ... 3.2 of a wedge turning once in 8 s, letters
// shown 0.5 s of every second: the letter rides at its own radius in the
// wedge, keeps its offset from the wedge middle during one showing,
// vanishes in the gap and comes back as another letter.
TEST_F(LetterFrames, WedgeLetterRidesTheWedgeAndChangesEachCycle) {
  const Shot s = shoot(*x, {"-s", "12", "-polperiod", "8", "-polwidth", "40", "-coltype", "0", "-bwcontrast", "0.3",
                            "-textcol", "1", "-textdur", "0.5", "-gapdur", "0.5", "-minlett", "0.4", "-maxlett", "0.9",
                            "-srseed", "3"},
                       12, 10.0, 2.1);
  ASSERT_EQ(s.frames.size(), 12u);
  auto middle = [](double t) { return std::remainder(t / 8.0 * 360.0, 360.0); };
  const Ink a = ink(s.frames[0], white), b = ink(s.frames[2], white);  // t 2.1 and 2.3
  ASSERT_GT(a.n, 30);
  ASSERT_GT(b.n, 30);
  EXPECT_NEAR(a.r(), b.r(), 0.02) << "the radius holds while the wedge turns";
  EXPECT_GT(a.r(), 0.4 - 0.05);
  EXPECT_LT(a.r(), 0.9 + 0.05);
  const double offa = angdiff(a.deg(), middle(2.1)), offb = angdiff(b.deg(), middle(2.3));
  EXPECT_NEAR(offa, offb, 2.0) << "the letter turns with the wedge";
  EXPECT_LE(std::fabs(offa), (40.0 - 12.0) / 2.0 + 3.0) << "jitter stays inside the wedge";
  // The letter is drawn over the checks: the board surrounds it.
  const Px board = at(s.frames[0], 0.2 * std::cos(middle(2.1) * M_PI / 180.0), 0.2 * std::sin(middle(2.1) * M_PI / 180.0));
  EXPECT_FALSE(grey(board.r, board.g, board.b, 127, 2)) << "the wedge is at its angle";
  EXPECT_EQ(ink(s.frames[6], white).n, 0) << "gap at t = 2.7";
  const Ink c = ink(s.frames[11], white);  // t 3.2: the next letter
  ASSERT_GT(c.n, 30);
  EXPECT_LE(std::fabs(angdiff(c.deg(), middle(3.2))), 17.0);
  EXPECT_FALSE(samepixels(s.frames[0], s.frames[1]));
  EXPECT_TRUE(std::fabs(c.r() - a.r()) > 0.01 || c.n != a.n) << "a new letter at a new radius";
  EXPECT_NE(s.log.find("LetEvent:"), std::string::npos) << s.log;
}

// A ring of width 0.1 expanding in 16 s: the letter sits at the ring's
// middle (exponential transform included) and moves outwards with it.
TEST_F(LetterFrames, RingLetterSitsInTheRingMiddle) {
  const Shot s = shoot(*x, {"-s", "22", "-eccperiod", "16", "-eccwidth", "0.1", "-minrad", "0.05", "-maxrad", "2",
                            "-minlett", "0.05", "-maxlett", "2", "-coltype", "0", "-bwcontrast", "0.3", "-textcol", "1",
                            "-textdur", "0.5", "-gapdur", "0.5", "-avgfontsize", "12", "-srseed", "4"},
                       12, 10.0, 8.1);
  ASSERT_EQ(s.frames.size(), 12u);
  auto mid = [](double t) {
    const double r0 = 0.05 + std::fmod(t / 16.0, 1.0) * 1.95;
    const double base = std::pow(2.0 / 0.05, 1.0 / 1.95);
    return 0.05 * std::pow(base, r0 + 0.05 - 0.05);
  };
  const Ink a = ink(s.frames[0], white), b = ink(s.frames[3], white);  // t 8.1 and 8.4
  ASSERT_GT(a.n, 10);
  ASSERT_GT(b.n, 10);
  EXPECT_NEAR(a.r(), mid(8.1), 0.02);
  EXPECT_NEAR(b.r(), mid(8.4), 0.02);
  EXPECT_GT(b.r(), a.r() + 0.01) << "moves outwards with the ring";
  EXPECT_NEAR(angdiff(a.deg(), b.deg()), 0.0, 3.0) << "one angle per letter";
  EXPECT_EQ(ink(s.frames[7], white).n, 0) << "gap at t = 8.8";
  const Ink c = ink(s.frames[11], white);
  ASSERT_GT(c.n, 10);
  EXPECT_NEAR(c.r(), mid(9.2), 0.02);
  // The ring itself: checks at its middle, background just inside it.
  const double th = a.deg() * M_PI / 180.0 + 0.5;
  const Px ring = at(s.frames[0], mid(8.1) * std::cos(th), mid(8.1) * std::sin(th));
  const Px inside = at(s.frames[0], 0.6 * mid(8.1) * std::cos(th), 0.6 * mid(8.1) * std::sin(th));
  EXPECT_FALSE(grey(ring.r, ring.g, ring.b, 127, 2));
  EXPECT_TRUE(grey(inside.r, inside.g, inside.b, 127, 2));
}

// Ring digits are glyphs, not boxes: their white ink fills only part of
// their bounding box, and digits of other shapes fill other parts.
TEST_F(LetterFrames, RingDigitsAreGlyphsNotBoxes) {
  const Shot s = shoot(*x, {"-s", "22", "-eccperiod", "64", "-eccwidth", "0.1", "-minrad", "0.05", "-maxrad", "2",
                            "-minlett", "0.05", "-maxlett", "2", "-coltype", "0", "-bwcontrast", "0.3", "-textcol",
                            "1", "-textdur", "0.5", "-gapdur", "0.5", "-avgfontsize", "60", "-lettspernum", "1",
                            "-srseed", "4"},
                       8, 1.0 / 0.95, 20.4);  // a new digit each frame, at phases 0.35 .. 0.05 of its second
  ASSERT_EQ(s.frames.size(), 8u);
  double lo = 1.0, hi = 0.0;
  for (int k = 1; k < 8; k++) {  // frame 0 shows the stream's first letter, the later ones digits
    const Ink l = ink(s.frames[k], white);
    ASSERT_GT(l.n, 50) << "frame " << k;
    const double upp = 3.12 / s.frames[k].width;
    const double box = ((l.x1 - l.x0) / upp + 1.0) * ((l.y1 - l.y0) / upp + 1.0);
    const double share = l.n / box;
    EXPECT_LT(share, 0.8) << "frame " << k << ": a digit, not a filled box";
    lo = std::min(lo, share);
    hi = std::max(hi, share);
  }
  EXPECT_GT(hi - lo, 0.05) << "different digits, different shapes";
}

// Wedge + masked dots + letters: the (grey 112) dots only inside the
// opening, the black letter on top of board and dots in the wedge middle,
// nothing outside.
TEST_F(LetterFrames, WedgeCompositeStacksBoardDotsLetterAndMask) {
  const Shot s = shoot(*x, {"-s", "4", "-polperiod", "8", "-polwidth", "40", "-coltype", "0", "-bwcontrast", "0.3",
                            "-textdur", "0.5", "-gapdur", "0.5", "-minlett", "0.5", "-maxlett", "0.5", "-numdots",
                            "3000", "-srseed", "5"},
                       2, 1.0 / 0.6, 2.1);
  ASSERT_EQ(s.frames.size(), 2u);
  const Image& f = s.frames[0];  // t 2.1: a letter shows
  const double mid = 2.1 / 8.0 * 360.0;
  int outside = 0, dotsin = 0;
  for (int y = 0; y < f.height; y += 2)
    for (int xx = 0; xx < f.width; xx += 2) {
      const double u = unitx(f, xx), v = unity(f, y), r = std::hypot(u, v);
      const double off = std::fabs(angdiff(std::atan2(v, u) * 180.0 / M_PI, mid));
      const bool bg = grey(f.r(xx, y), f.g(xx, y), f.b(xx, y), 51, 3);
      if ((off > 40.0 * 1.2 / 2.0 + 2.0 || r > 1.6) && r > 0.05) outside += !bg;  // beside the fixation mark
      if (off < 15.0 && r > 0.8 && r < 1.4) dotsin += grey(f.r(xx, y), f.g(xx, y), f.b(xx, y), 112, 2);
    }
  EXPECT_EQ(outside, 0) << "the mask closes everything but the wedge";
  EXPECT_GT(dotsin, 5) << "dots flow inside the wedge";
  const Ink l = ink(f, [](int r, int g, int b) { return grey(r, g, b, 0, 2); });
  ASSERT_GT(l.n, 20) << "the black letter is not covered";
  EXPECT_NEAR(l.r(), 0.5, 0.04);
  EXPECT_LE(std::fabs(angdiff(l.deg(), mid)), (40.0 - 12.0) / 2.0 + 4.0);
  EXPECT_EQ(ink(s.frames[1], [](int r, int g, int b) { return grey(r, g, b, 0, 2); }).n, 0) << "gap at t = 2.7";
}

// The disk composite: a full checkerboard disk and the number task around
// the orbiting eye position; in the off half of each block only the
// fixation mark.
TEST_F(LetterFrames, OrbitalDiskFollowsTheEyePositionAndBlocksSwitchOff) {
  const Shot s = shoot(*x, {"-s", "35", "-orbperiod", "16", "-blockperiod", "4", "-textcol", "1", "-coltype", "0",
                            "-bwcontrast", "0.3", "-numdots", "500", "-srseed", "6"},
                       2, 0.25, 2.2);  // t 2.2 (on) and 6.2 (off)
  ASSERT_EQ(s.frames.size(), 2u);
  const double psi = 2.0 * M_PI * 2.2 / 16.0;
  const double cx = 0.5 * std::cos(psi), cy = 0.5 * std::sin(psi);
  int board = 0, away = 0;
  for (double a = 0.0; a < 2.0 * M_PI; a += 0.3) {
    const Px p = at(s.frames[0], cx + 0.2 * std::cos(a), cy + 0.2 * std::sin(a));
    board += !grey(p.r, p.g, p.b, 0, 3);
    const Px q = at(s.frames[0], -cx + 0.2 * std::cos(a), -cy + 0.2 * std::sin(a));
    away += !grey(q.r, q.g, q.b, 0, 3);
  }
  EXPECT_GE(board, 20) << "the disk is round the eye position";
  EXPECT_EQ(away, 0) << "nothing on the far side";
  const Ink l = ink(s.frames[0], white);
  // Letter (and white dots) only within the disk's circular aperture.
  ASSERT_GT(l.n, 0);
  EXPECT_LE(std::hypot(l.x0 - cx, l.y0 - cy), 0.5 * 1.5 + 0.1);
  EXPECT_LE(std::hypot(l.x1 - cx, l.y1 - cy), 0.5 * 1.5 + 0.1);
  // Off block: no board anywhere near the orbit.
  const double psi2 = 2.0 * M_PI * 6.2 / 16.0;
  int offboard = 0;
  for (double a = 0.0; a < 2.0 * M_PI; a += 0.3) {
    const Px p = at(s.frames[1], 0.5 * std::cos(psi2) + 0.15 * std::cos(a), 0.5 * std::sin(psi2) + 0.15 * std::sin(a));
    offboard += !grey(p.r, p.g, p.b, 0, 3);
  }
  EXPECT_EQ(offboard, 0);
}

// Every composite and letter type draws, repeats bit for bit under a seed
// (frames and the order of its letters, pictures and blocks), and another
// seed changes it.
TEST_F(LetterFrames, EveryTypeRepeatsUnderASeed) {
  for (const char* type : {"1", "3", "4", "12", "17", "22", "25", "26", "28", "29", "31", "34", "35", "36", "57", "78"}) {
    const std::vector<std::string> args = {"-s", type, "-srseed", "5", "-numdots", "600", "-textdur", "0.3",
                                           "-gapdur", "0.2"};
    const Shot a = shoot(*x, args, 2, 1.0, 3.1);
    const Shot b = shoot(*x, args, 2, 1.0, 3.1);
    ASSERT_EQ(a.frames.size(), 2u);
    ASSERT_EQ(b.frames.size(), 2u);
    for (int k = 0; k < 2; k++) EXPECT_TRUE(samepixels(a.frames[k], b.frames[k])) << "type " << type << " frame " << k;
    EXPECT_EQ(a.log, b.log) << "type " << type;
    EXPECT_FALSE(samepixels(a.frames[0], a.frames[1])) << "type " << type << " moves";
  }
}

// The number task is scored: every digit answered scores 100 %, none 0 %.
TEST_F(LetterFrames, NumberTaskIsScored) {
  for (bool answer : {true, false}) {
    const std::string cwd = maketempdir("lettscore");
    mkdir((cwd + "/logs").c_str(), 0755);
    Vistrum v(*x, {"-s", "12", "-nofullscreen", "-logfile", "-lettspernum", "1", "-textdur", "0.3", "-gapdur", "0.3",
                   "-prepostfix", "0.2", "-runperiod", "2.5", "-reportpercent", "star.tif", "1.0"},
              cwd);
    ASSERT_TRUE(v.waitforwindow());
    auto logtext = [&] {
      const std::string f = findfile(cwd + "/logs", ".log");
      return f.empty() ? std::string() : readfile(f);
    };
    // Key presses every 0.2 s answer each digit (shown every 0.6 s) well
    // within the two seconds allowed, whatever the load.
    const bool done = waituntil(
        [&] {
          if (answer) v.key("1");
          usleep(200000);
          return logtext().find("Feedback:") != std::string::npos;
        },
        40.0);
    ASSERT_TRUE(done) << logtext();
    v.key("Escape");
    v.wait();
    const std::string log = logtext();
    EXPECT_GE(loglines(log, "NumEvent:").size(), 3u) << log;
    // Every new character is a digit; the one letter is the stream's first
    // character, shown (and logged) before the first new cycle.
    const std::vector<std::string> letters = loglines(log, "LetEvent:");
    ASSERT_EQ(letters.size(), 1u) << log;
    EXPECT_EQ(letters[0].back(), 'A') << log;
    EXPECT_LT(log.find("LetEvent:"), log.find("NumEvent:")) << log;
    EXPECT_NE(log.find(answer ? "Feedback:    \"You scored 100% !\"" : "Feedback:    \"You scored 0% !\""),
              std::string::npos)
        << log;
    removetree(cwd);
  }
}

// Random blocks of type 111: an "off" block shows only the fixation mark,
// a "fullvis" block the centred disk composite of type 35 with its letters.
TEST_F(LetterFrames, OffVisAirShowsTheDiskCompositeInVisualBlocks) {
  const Shot s = shoot(*x, {"-s", "111", "-condlist", "0", "1", "1", "1", "-blockperiod", "4", "-numdots", "1000",
                            "-textcol", "1", "-srseed", "3"},
                       2, 0.5, 3.0);  // t 3 (off), 5 (fullvis)
  ASSERT_EQ(s.frames.size(), 2u);
  int offshown = 0, visshown = 0;
  for (double a = 0.0; a < 2.0 * M_PI; a += 0.1) {
    const Px p = at(s.frames[0], 0.5 * std::cos(a), 0.5 * std::sin(a));
    const Px q = at(s.frames[1], 0.5 * std::cos(a), 0.5 * std::sin(a));
    offshown += !grey(p.r, p.g, p.b, 64, 3);
    visshown += !grey(q.r, q.g, q.b, 64, 3);
  }
  EXPECT_EQ(offshown, 0);
  EXPECT_GT(visshown, 50);
  EXPECT_GT(ink(s.frames[1], white).n, 30) << "the letter";
  EXPECT_NE(s.log.find("StimEvent:   fullvis (1)"), std::string::npos) << s.log;
}

// Ring + masked dots + letters: nothing away from the ring, the black letter
// on top at the ring's middle, moving outwards with it.
TEST_F(LetterFrames, RingCompositeStacksRingDotsLetterAndMask) {
  const Shot s = shoot(*x, {"-s", "25", "-eccperiod", "16", "-eccwidth", "0.1", "-coltype", "0", "-bwcontrast", "0.3",
                            "-textdur", "0.5", "-gapdur", "0.5", "-numdots", "3000", "-srseed", "7"},
                       2, 1.0 / 0.3, 8.1);  // t 8.1, 8.4
  ASSERT_EQ(s.frames.size(), 2u);
  const double base = std::pow(1.2 / 0.017, 1.0 / (1.2 - 0.017));
  auto E = [&](double r) { return 0.017 * std::pow(base, r - 0.017); };
  double last = 0.0;
  for (int k = 0; k < 2; k++) {
    const Image& f = s.frames[k];
    const double r0 = 0.017 + std::fmod((8.1 + 0.3 * k) / 16.0, 1.0) * (1.2 - 0.017);
    const double rin = E(r0), rout = E(r0 + 0.1), mid = E(r0 + 0.05);
    int away = 0;
    for (int y = 0; y < f.height; y += 2)
      for (int xx = 0; xx < f.width; xx += 2) {
        const double r = std::hypot(unitx(f, xx), unity(f, y));
        if ((r > 0.05 && r < 0.6 * rin) || r > 1.5 * rout) away += !grey(f.r(xx, y), f.g(xx, y), f.b(xx, y), 51, 3);
      }
    EXPECT_EQ(away, 0) << "frame " << k;
    const Ink l = ink(f, [](int r, int g, int b) { return grey(r, g, b, 0, 2); });
    ASSERT_GT(l.n, 10) << "frame " << k;
    EXPECT_NEAR(l.r(), mid, 0.025) << "frame " << k;
    EXPECT_GT(l.r(), last);
    last = l.r();
  }
}

// Every character the subject sees is in the log once, at its cycle's
// start: the stream's first one too (shown from the first frame), while a
// stream that starts in a gap logs nothing until its first new cycle.
TEST_F(LetterFrames, EveryShownCharacterIsLoggedTheFirstToo) {
  const std::vector<std::string> wedge = {"-s", "12", "-polperiod", "8", "-polwidth", "40", "-minlett", "0.4",
                                          "-maxlett", "0.9"};
  const std::vector<std::string> ring = {"-s", "22", "-eccperiod", "16", "-eccwidth", "0.1", "-minrad", "0.05",
                                         "-maxrad", "2", "-minlett", "0.3", "-maxlett", "2"};
  for (const auto& type : {wedge, ring})
    for (double t0 : {0.0, 0.6}) {
      std::vector<std::string> args = type;
      char tbuf[32];
      std::snprintf(tbuf, sizeof tbuf, "%.9g", t0);
      // Cycles of 1 s, the character shown for its first half; 5 frames a second.
      args.insert(args.end(), {"-coltype", "0", "-bwcontrast", "0.3", "-textcol", "1", "-textdur", "0.5", "-gapdur",
                               "0.5", "-srseed", "3", "-firstframetime", tbuf});
      const SavedRun run = loggedrun(*x, args, 15, 5.0, 120.0);
      const std::string at = type[1] + " from t = " + tbuf;
      ASSERT_EQ(run.frames.size(), 15u) << at;
      std::vector<double> logged;
      std::vector<std::string> chars;
      for (const char* kind : {"LetEvent:", "NumEvent:"})
        for (const std::string& l : loglines(run.log, kind)) {
          std::istringstream w(l);
          std::string word, c;
          double t = NAN;
          w >> word >> t >> c;
          logged.push_back(t);
          chars.push_back(c);
        }
      // Which cycles showed a character on some frame. The run steps from
      // t = 0 whatever its first saved frame: the cycles before that one
      // showed their character (the first half of each cycle) unsaved.
      std::vector<int> shown(4, 0);
      for (int c = 0; c < static_cast<int>(std::floor(t0 + 1e-6)); c++) shown[c] = 1;
      if (t0 - std::floor(t0) > 0.0) shown[static_cast<int>(std::floor(t0))] = 1;
      for (int k = 0; k < 15; k++) {
        const double t = t0 + k / 5.0;
        if (ink(run.frames[k], white).n > 10) shown[static_cast<int>(std::floor(t + 1e-6))] = 1;
      }
      // The cycles that began by the last saved frame (the run may draw one more).
      for (int c = 0; c <= static_cast<int>(std::floor(t0 + 14 / 5.0 + 1e-6)); c++) {
        int n = 0;
        for (double t : logged) n += std::floor(t + 1e-6) == c;
        EXPECT_EQ(n, shown[c]) << at << ": cycle " << c << (shown[c] ? " shown" : " not shown") << "\n" << run.log;
      }
      // From t = 0 or from 0.6 (its saved frames 0.6 and 0.8 in the gap),
      // the run began at 0 with its first letter shown and logged.
      ASSERT_FALSE(logged.empty()) << at;
      EXPECT_NEAR(*std::min_element(logged.begin(), logged.end()), 0.0, 1e-9) << at;
      if (t0 == 0.0) {
        EXPECT_GT(ink(run.frames[0], white).n, 10) << at;
      }
      removetree(run.dir);
    }
}
