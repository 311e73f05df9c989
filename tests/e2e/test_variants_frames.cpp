// The wedge and ring variants on the real binary: where the wedges, rings
// and bars are at given times, computed here from the options, checked on
// saved frames; the event-related wedge's schedule in its log.
#include "test_wedge_frames.h"

#include <sys/stat.h>

#include <map>
#include <regex>

using namespace chk;

namespace {

class VariantFrames : public XServerSuite<> {};

// Black and white checks on mid grey.
std::vector<std::string> bw(std::vector<std::string> a) {
  a.insert(a.end(), {"-coltype", "0", "-bwcontrast", "1", "-bgwingray", "0.5"});
  return a;
}

Px pxat(const Image& img, double x, double y) {
  const int px = unitpixx(x, img.width), py = unitpixy(y, img.width, img.height);
  return {img.r(px, py), img.g(px, py), img.b(px, py)};
}

// A wedge of `width` degrees centred on `deg` around (cx, cy): checks just
// inside its edges, grey just outside, at radii `radii` (scaled by s).
void expectwedge(const Image& img, double cx, double cy, double deg, double width, std::vector<double> radii,
                 const std::string& what, double s = 1.0) {
  for (double r : radii) {
    for (double d : {-width / 2 + 3, 0.0, width / 2 - 3}) {
      const double a = (deg + d) * M_PI / 180.0;
      const Px p = pxat(img, cx + s * r * std::cos(a), cy + s * r * std::sin(a));
      EXPECT_TRUE(ischeck(p)) << what << ": inside at r " << r << " deg " << deg + d << " " << str(p);
    }
    for (double d : {-width / 2 - 5, width / 2 + 5}) {
      const double a = (deg + d) * M_PI / 180.0;
      const Px p = pxat(img, cx + s * r * std::cos(a), cy + s * r * std::sin(a));
      EXPECT_TRUE(isgrey(p, 128)) << what << ": outside at r " << r << " deg " << deg + d << " " << str(p);
    }
  }
}

void expectnowedge(const Image& img, double deg, std::vector<double> radii, const std::string& what) {
  for (double r : radii) {
    const Px p = polarpx(img, r, deg);
    EXPECT_TRUE(isgrey(p, 128)) << what << ": no wedge at r " << r << " deg " << deg << " " << str(p);
  }
}

// Whether a wedge of `width` degrees centred on `deg` around (cx, cy) shows:
// checks just inside its edges and grey just outside, at radii `radii`.
bool wedgeat(const Image& img, double cx, double cy, double deg, double width, std::vector<double> radii,
             double s = 1.0) {
  bool all = true;
  for (double r : radii) {
    auto at = [&](double d) {
      const double a = (deg + d) * M_PI / 180.0;
      return pxat(img, cx + s * r * std::cos(a), cy + s * r * std::sin(a));
    };
    for (double d : {-width / 2 + 3, 0.0, width / 2 - 3}) all = all && ischeck(at(d));
    for (double d : {-width / 2 - 5, width / 2 + 5}) all = all && isgrey(at(d), 128);
  }
  return all;
}

// The times of the log lines of one kind.
std::vector<double> eventtimes(const std::string& log, const std::string& kind) {
  std::vector<double> t;
  for (const std::string& l : loglines(log, kind)) t.push_back(std::stod(l.substr(kind.size())));
  return t;
}

// The log from its first event on (the header holds the date).
std::string events(const std::string& log) {
  const size_t k = log.find("angle:");
  return k == std::string::npos ? "" : log.substr(k);
}

}  // namespace

// --- several wedges and rings ---

TEST_F(VariantFrames, DiametricWedgesStayHalfATurnApart) {
  const auto f = savedframes(*x, bw({"-s", "13", "-polperiod", "64", "-polwidth", "30"}), 2, 1.0 / 20.0, 4.0);
  ASSERT_EQ(f.size(), 2u);
  for (int k = 0; k < 2; k++) {
    const double deg = (4.0 + 20.0 * k) / 64.0 * 360.0;
    expectwedge(f[k], 0, 0, deg, 30, {0.3, 0.8}, "first wedge t=" + std::to_string(4 + 20 * k));
    expectwedge(f[k], 0, 0, deg + 180, 30, {0.3, 0.8}, "second wedge t=" + std::to_string(4 + 20 * k));
  }
}

TEST_F(VariantFrames, MirroredWedgesMeetOnTheVerticalMeridian) {
  // Both on the upper meridian at t = 0, mirrored about it at t = 8 (45
  // degrees each way), both on the lower meridian half a cycle later.
  const auto f = savedframes(*x, bw({"-s", "14", "-polperiod", "64", "-polwidth", "30"}), 3, 1.0 / 8.0, 0.0);
  ASSERT_EQ(f.size(), 3u);
  expectwedge(f[0], 0, 0, 90, 30, {0.3, 0.8}, "t=0");
  expectwedge(f[1], 0, 0, 135, 30, {0.3, 0.8}, "t=8 counter-clockwise");
  expectwedge(f[1], 0, 0, 45, 30, {0.3, 0.8}, "t=8 clockwise");
  const auto g = savedframes(*x, bw({"-s", "14", "-polperiod", "64", "-polwidth", "30"}), 1, 1.0, 32.0);
  ASSERT_EQ(g.size(), 1u);
  expectwedge(g[0], 0, 0, 270, 30, {0.3, 0.8}, "t=32");
  expectnowedge(g[0], 90, {0.3, 0.8}, "t=32 upper meridian");
}

TEST_F(VariantFrames, SeveralWedgesAreEvenlySpaced) {
  const auto f =
      savedframes(*x, bw({"-s", "88", "-polcnt", "3", "-polperiod", "60", "-polwidth", "30"}), 2, 1.0 / 10.0, 0.0);
  ASSERT_EQ(f.size(), 2u);
  for (int k = 0; k < 2; k++)
    for (int j = 0; j < 3; j++) {
      const double deg = 10.0 * k / 60.0 * 360.0 + 120.0 * j;
      expectwedge(f[k], 0, 0, deg, 30, {0.3, 0.8}, "t=" + std::to_string(10 * k) + " wedge " + std::to_string(j));
      expectnowedge(f[k], deg + 60, {0.3, 0.8}, "between wedges");
    }
}

TEST_F(VariantFrames, SeveralRingsAreEvenlySpacedInPhase) {
  // Two rings half a cycle apart: inner edges at minrad + frac(t/64 + j/2)*span.
  const double minr = 0.05, maxr = 1.05, w = 0.12;
  const auto f = savedframes(*x,
                             bw({"-s", "87", "-ecccnt", "2", "-eccperiod", "64", "-eccwidth", "0.12", "-minrad",
                                 "0.05", "-maxrad", "1.05", "-noexptrans"}),
                             2, 1.0 / 32.0, 8.0);
  ASSERT_EQ(f.size(), 2u);
  for (int k = 0; k < 2; k++) {
    const double t = 8.0 + 32.0 * k;
    for (int j = 0; j < 2; j++) {
      const double r0 = minr + std::fmod(t / 64.0 + j / 2.0, 1.0) * (maxr - minr);
      for (double deg : {5.0, 100.0, 200.0}) {
        EXPECT_TRUE(ischeck(polarpx(f[k], r0 + w / 2, deg))) << "t " << t << " ring " << j << " at " << r0 + w / 2;
        EXPECT_TRUE(isgrey(polarpx(f[k], r0 - 0.02, deg), 128)) << "t " << t << " inside ring " << j;
        EXPECT_TRUE(isgrey(polarpx(f[k], r0 + w + 0.02, deg), 128)) << "t " << t << " outside ring " << j;
      }
    }
  }
}

TEST_F(VariantFrames, RingPlusWedgeAndDotsOnlyInsideTheWedges) {
  // Ring plus wedge (86, the ring stepping once per 2 s TR).
  const auto f = savedframes(*x,
                             bw({"-s", "86", "-polperiod", "64", "-polwidth", "30", "-eccperiod", "32", "-noexptrans",
                                 "-minrad", "0.05", "-maxrad", "1.05", "-eccwidth", "0.1", "-numtheta2", "9"}),
                             1, 1.0, 9.0);
  ASSERT_EQ(f.size(), 1u);
  const double r0 = 0.05 + 8.0 / 32.0 * 1.0;  // the TR step of t = 9
  expectwedge(f[0], 0, 0, 8.0 / 64.0 * 360.0, 30, {0.6, 0.9}, "wedge (also stepping per TR)");
  for (double deg : {120.0, 200.0, 300.0}) {
    EXPECT_TRUE(ischeck(polarpx(f[0], r0 + 0.05, deg))) << "ring at " << deg;
    EXPECT_TRUE(isgrey(polarpx(f[0], r0 + 0.13, deg), 128)) << "outside the ring at " << deg;
  }
  // Several wedges over dots (118 without letters' digits in the way):
  // outside the wedges only background grey, however many dots there are.
  const auto g = savedframes(*x,
                             {"-s", "118", "-polcnt", "2", "-polperiod", "64", "-polwidth", "40", "-bgwingray", "0.5",
                              "-numdots", "20000", "-textdur", "0"},
                             1, 1.0, 16.0);
  ASSERT_EQ(g.size(), 1u);
  for (double r = 0.2; r < 1.4; r += 0.1)
    for (double deg : {0.0, 45.0, 135.0, 180.0, 225.0, 315.0})
      EXPECT_TRUE(isgrey(polarpx(g[0], r, deg), 128)) << "dots outside the wedges at r " << r << " deg " << deg;
}

// --- shifted, jittered and wandering wedges ---

TEST_F(VariantFrames, QuadrantWedgesAreAQuarterCycleApart) {
  // Quadrants upper right, upper left, lower left, lower right, each a
  // quarter cycle ahead of the one before; centres at (+-1, +-1)*0.9/2.
  const auto f = savedframes(*x,
                             bw({"-s", "7", "-oritarg", "0", "10", "-polperiod", "64", "-polwidth", "40", "-maxrad",
                                 "1", "-interocdist", "0.9", "-stereoscaleeye", "0.45"}),
                             2, 1.0 / 8.0, 0.0);
  ASSERT_EQ(f.size(), 2u);
  const int corner[4][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}};
  for (int k = 0; k < 2; k++)
    for (int q = 0; q < 4; q++) {
      const double deg = (8.0 * k / 64.0 + q / 4.0) * 360.0;
      expectwedge(f[k], corner[q][0] * 0.45, corner[q][1] * 0.45, deg, 40, {0.4, 0.8},
                  "t=" + std::to_string(8 * k) + " quadrant " + std::to_string(q), 0.45);
    }
}

TEST_F(VariantFrames, EveryCopyTurnsWithOneJerkForItsWholeLength) {
  // The angle jerk steps once a frame, however many copies the frame draws:
  // type 7's four quadrant wedges and type 13's two diametric ones all turn
  // by the one logged or drawn offset for -targframes frames, then return.
  const std::vector<std::string> quad = bw({"-s", "7", "-oritarg", "6", "30", "-targframes", "3", "-polperiod", "64",
                                            "-polwidth", "40", "-maxrad", "1", "-interocdist", "0.9",
                                            "-stereoscaleeye", "0.45"});
  const SavedRun r = loggedrun(*x, quad, 4, 60.0, 120.0);
  ASSERT_EQ(r.frames.size(), 4u);
  const std::vector<std::string> ori = loglines(r.log, "OriEvent:");
  ASSERT_EQ(ori.size(), 1u) << r.log;
  const double off = ori[0].find("-30.0") != std::string::npos ? -30.0 : 30.0;
  const int corner[4][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}};
  for (int k = 0; k < 4; k++)
    for (int q = 0; q < 4; q++) {
      const double deg = (k / 60.0 / 64.0 + q / 4.0) * 360.0 + (k < 3 ? off : 0.0);
      expectwedge(r.frames[k], corner[q][0] * 0.45, corner[q][1] * 0.45, deg, 40, {0.4, 0.8},
                  "frame " + std::to_string(k) + " quadrant " + std::to_string(q), 0.45);
    }
  const auto dia = savedframes(*x, bw({"-s", "13", "-oritarg", "6", "30", "-targframes", "3", "-polperiod", "64",
                                       "-polwidth", "40"}),
                               4, 60.0, 0.0);
  ASSERT_EQ(dia.size(), 4u);
  for (int k = 0; k < 4; k++) {
    const double deg = k / 60.0 / 64.0 * 360.0;
    int both = 0;
    for (double d : k < 3 ? std::vector<double>{30.0, -30.0} : std::vector<double>{0.0})
      both += wedgeat(dia[k], 0, 0, deg + d, 40, {0.5, 1.0}) && wedgeat(dia[k], 0, 0, deg + d + 180, 40, {0.5, 1.0});
    EXPECT_EQ(both, 1) << "frame " << k << ": both wedges at the same offset";
  }
}

TEST_F(VariantFrames, JerkGapsAreCountedInFramesNotCopies) {
  // Gaps of 5 to 10 frames (-minfrms2nexttg 5, six a 1-s cycle): each kind
  // of jerk keeps them in types 5 and 7, whatever the copies drawn a frame.
  for (const char* type : {"5", "7"}) {
    const SavedRun r = loggedrun(*x,
                                 {"-s", type, "-srseed", "3", "-polperiod", "1", "-minfrms2nexttg", "5", "-oritarg",
                                  "6", "10", "-winxy", "320", "240"},
                                 180, 60.0, 120.0);
    ASSERT_EQ(r.frames.size(), 180u);
    for (const char* kind : {"OriEvent:", "ShiftEvent:"}) {
      const std::vector<double> t = eventtimes(r.log, kind);
      EXPECT_GE(t.size(), 16u) << type << " " << kind << "\n" << r.log;
      EXPECT_LE(t.size(), 37u) << type << " " << kind << "\n" << r.log;
      for (size_t k = 1; k < t.size(); k++) {
        EXPECT_GE(t[k] - t[k - 1], 5.0 / 60.0 - 0.002) << "type " << type << " " << kind << " at " << t[k];
        EXPECT_LE(t[k] - t[k - 1], 10.0 / 60.0 + 0.002) << "type " << type << " " << kind << " at " << t[k];
      }
    }
  }
}

TEST_F(VariantFrames, JitteredWedgeStaysWithinItsJitter) {
  // The jitter is a smoothed uniform draw in [-20, 20) degrees: a 70-degree
  // wedge always covers its nominal angle +-10 and never its nominal +-60.
  const auto f = savedframes(*x, bw({"-s", "9", "-polperiod", "64", "-polwidth", "70"}), 2, 1.0 / 16.0, 8.0);
  ASSERT_EQ(f.size(), 2u);
  for (int k = 0; k < 2; k++) {
    const double deg = (8.0 + 16.0 * k) / 64.0 * 360.0;
    for (double r : {0.4, 0.9}) {
      for (double d : {-10.0, 0.0, 10.0}) EXPECT_TRUE(ischeck(polarpx(f[k], r, deg + d))) << k << " " << d;
      for (double d : {-60.0, 60.0}) EXPECT_TRUE(isgrey(polarpx(f[k], r, deg + d), 128)) << k << " " << d;
    }
  }
}

TEST_F(VariantFrames, WanderingWedgeMovesBetweenGridCells) {
  // 2 s per sweep on a 3 x 3 grid of spacing 0.5: at every sweep start the
  // wedge's apex sits on a grid cell, the centre first, then one of the
  // eight others, found here as the one cell whose wedge the frame shows.
  const std::vector<std::string> a = bw({"-s", "5", "-oritarg", "0", "10", "-nowandpolbalance", "-gridsize", "3",
                                         "-maxgrid", "0.5", "-flowperiod", "2", "-polperiod", "64", "-polwidth", "40"});
  const auto f = savedframes(*x, a, 9, 4.0, 0.0);  // t = 0 .. 2
  ASSERT_EQ(f.size(), 9u);
  expectwedge(f[0], 0, 0, 0, 40, {0.2, 0.4}, "t=0 at the centre");
  int found = 0;
  for (int cx = -1; cx <= 1; cx++)
    for (int cy = -1; cy <= 1; cy++) {
      if (cx == 0 && cy == 0) continue;
      bool all = true;
      for (double r : {0.15, 0.3, 0.42})
        for (double d : {-12.0, 0.0, 12.0}) {
          const double ang = (2.0 / 64.0 * 360.0 + d) * M_PI / 180.0;
          all = all && ischeck(pxat(f[8], 0.5 * cx + r * std::cos(ang), 0.5 * cy + r * std::sin(ang)));
        }
      found += all;
    }
  EXPECT_EQ(found, 1) << "the wedge at t = 2 sits on exactly one outer grid cell";
  // With the balance on and a single cell the wedge's apex is pushed back
  // against the wedge: 0.6 maxrad opposite its angle.
  const auto g = savedframes(*x,
                             bw({"-s", "5", "-oritarg", "0", "10", "-gridsize", "1", "-polperiod", "64", "-polwidth",
                                 "40"}),
                             2, 1.0 / 16.0, 0.0);
  ASSERT_EQ(g.size(), 2u);
  for (int k = 0; k < 2; k++) {
    const double deg = 16.0 * k / 64.0 * 360.0, a0 = deg * M_PI / 180.0;
    expectwedge(g[k], -0.3 * std::cos(a0), -0.3 * std::sin(a0), deg, 40, {0.2, 0.4}, "balanced " + std::to_string(k));
  }
}

// --- the event-related wedge ---

TEST_F(VariantFrames, EventRelatedWedgeFollowsItsLoggedSchedule) {
  const std::vector<std::string> a =
      bw({"-s", "15", "-polwidth", "30", "-srseed", "7", "-numangles", "8"});
  const SavedRun one = loggedrun(*x, a, 60, 2.0, 120.0);  // t = 0 .. 29.5
  const SavedRun two = loggedrun(*x, a, 60, 2.0, 120.0);
  ASSERT_EQ(one.frames.size(), 60u);
  EXPECT_EQ(events(one.log), events(two.log)) << "the same seed gives the same schedule";
  for (size_t k = 0; k < one.frames.size(); k++)
    EXPECT_EQ(one.frames[k].rgba, two.frames[k].rgba) << "frame " << k << " differs between runs";

  struct Trial {
    double angle, start, stop;
    bool hit;
  };
  std::vector<Trial> trials;
  const std::regex line(R"(angle: +(-?[0-9.]+) deg\.    start: +([0-9.]+)    stop: +([0-9.]+)(    \(hit\))?)");
  const std::regex delay(R"(delay period \(([0-9.]+) sec\):  clearing nbacks)");
  std::vector<double> delays;
  std::smatch m;
  std::istringstream in(events(one.log));
  for (std::string l; std::getline(in, l);) {
    if (std::regex_match(l, m, line))
      trials.push_back({std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), m[4].matched});
    else if (std::regex_match(l, m, delay))
      delays.push_back(std::stod(m[1]));
  }
  ASSERT_GE(trials.size(), 8u) << one.log;
  EXPECT_DOUBLE_EQ(trials[0].start, 0.0);
  std::vector<double> history;
  for (size_t i = 0; i < trials.size(); i++) {
    const Trial& tr = trials[i];
    const double dur = tr.stop - tr.start;
    EXPECT_TRUE(std::fabs(dur - 1) < 1e-3 || std::fabs(dur - 2) < 1e-3 || std::fabs(dur - 3) < 1e-3) << dur;
    EXPECT_EQ(std::fmod(tr.angle, 45.0), 0.0) << tr.angle;
    if (i > 0) {
      const double gap = tr.start - trials[i - 1].stop;
      EXPECT_TRUE(gap >= 0 && gap < 3.6) << "trial " << i << " starts " << gap << " s after the last";
    }
    // 2-back: a hit repeats the angle two trials back; no other trial does.
    const bool twoback = history.size() >= 2 && history[history.size() - 2] == tr.angle;
    EXPECT_EQ(tr.hit, twoback) << "trial " << i << " angle " << tr.angle;
    if (i + 1 < trials.size() && trials[i + 1].start - tr.stop > 0.5)
      history.clear();  // a delay clears the task
    else
      history.push_back(tr.angle);
  }
  // Frames: the wedge at the trial's angle while it lasts, nothing between trials.
  for (size_t k = 0; k < one.frames.size(); k++) {
    const double t = k * 0.5;
    const Trial* on = nullptr;
    for (const Trial& tr : trials)
      if (t >= tr.start && t <= tr.stop + 1e-6) on = &tr;  // a later trial starting then wins
    if (t > trials.back().stop) break;
    if (on != nullptr) {
      expectwedge(one.frames[k], 0, 0, on->angle, 30, {0.4, 0.9}, "t=" + std::to_string(t));
    } else {
      bool empty = true;
      for (double deg = 0; deg < 360; deg += 45) empty = empty && isgrey(polarpx(one.frames[k], 0.6, deg), 128);
      EXPECT_TRUE(empty) << "no wedge between trials at t=" << t;
    }
  }
}

TEST_F(VariantFrames, EventRelatedWedgeWithoutASeedLogsTheClockSeedThatRepeatsIt) {
  const std::vector<std::string> a = bw({"-s", "15", "-polwidth", "30", "-numangles", "8"});
  const SavedRun clock = loggedrun(*x, a, 20, 2.0, 120.0);
  const std::vector<std::string> seeds = loglines(clock.log, "RandSeed:");
  ASSERT_EQ(seeds.size(), 1u) << clock.log;
  const std::string seed = seeds[0].substr(seeds[0].find("seed=") + 5);
  std::vector<std::string> again = a;
  again.insert(again.end(), {"-srseed", seed});
  const SavedRun repeat = loggedrun(*x, again, 20, 2.0, 120.0);
  EXPECT_FALSE(events(clock.log).empty());
  EXPECT_EQ(events(clock.log), events(repeat.log)) << "-srseed " << seed << " repeats the clock-seeded run";
  EXPECT_NE(repeat.log.find("RandSeed:    0.000   seed=" + seed), std::string::npos) << repeat.log;
}

// --- the multi-frequency wedge ---

TEST_F(VariantFrames, MultiFrequencyGroupsTurnOnAndOff) {
  // Two groups of two angular checks, 1 and 2 cycles per 8 s run, on for
  // the first half of each cycle: group 0 holds 0..180 degrees, group 1 the rest.
  const std::vector<std::string> a =
      bw({"-s", "58", "-numtheta", "5", "-runperiod", "8", "-cycleslist", "1", "2"});
  const auto f = savedframes(*x, a, 3, 0.5, 1.0);  // t = 1, 3, 5
  ASSERT_EQ(f.size(), 3u);
  const bool on[3][2] = {{true, true}, {true, false}, {false, true}};
  for (int k = 0; k < 3; k++)
    for (double r : {0.4, 1.0}) {
      EXPECT_EQ(ischeck(polarpx(f[k], r, 90.0)), on[k][0]) << "t=" << 1 + 2 * k << " group 0 at r " << r;
      EXPECT_EQ(ischeck(polarpx(f[k], r, 270.0)), on[k][1]) << "t=" << 1 + 2 * k << " group 1 at r " << r;
      EXPECT_EQ(isgrey(polarpx(f[k], r, 90.0), 128), !on[k][0]);
    }
  // Groups that do not divide the checks are refused before the window opens.
  const RunResult r = runvistrum(*x, {"-s", "58", "-numtheta", "10", "-cycleslist", "3", "5", "-nofullscreen"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(hasline(r, "vistrum: ### cycleslist (2) not divisble into numtheta-1 (9)")) << r.out;
}

// --- radial bars: the low-contrast moving rings and the square-wave ramp ---

namespace {

// Bar colour class along a ray: which half of the 2-slot period (dark
// share = light share) the linear radius r falls in at bar shift `shift`.
int barclass(double r, double r0, double w, double shift) {
  const double u = (r - r0) / w - shift;
  return static_cast<int>(std::floor(u)) & 1;
}

// Every sample of one class shows one colour and the other class the
// other: the bars are where the test computes them.
void expectbars(const Image& img, double r0, double r1, double w, double shift, const std::string& what) {
  int colour[2] = {-1, -1};
  for (double r = r0 + 0.013; r < r1 - 0.01; r += w / 5.0) {
    const double u = (r - r0) / w - shift;
    if (std::fabs(u - std::round(u)) < 0.15) continue;  // too near a bar edge
    const int c = barclass(r, r0, w, shift);
    for (double deg : {10.0, 130.0, 250.0}) {
      const Px p = polarpx(img, r, deg);
      if (colour[c] < 0) colour[c] = p.r;
      EXPECT_TRUE(isgrey(p, colour[c], 3)) << what << ": r " << r << " deg " << deg << " " << str(p);
    }
  }
  EXPECT_GT(std::abs(colour[0] - colour[1]), 100) << what << ": the two bar colours";
}

}  // namespace

TEST_F(VariantFrames, LowContrastBarsMoveReverseAndStop) {
  // 20 slots of 0.05 from 0.1 to 1.1; 2 slots per second outwards (-dilperiod 1,
  // stored doubled), reversed in every odd second, still in the second 16 s block.
  const std::vector<std::string> a = {"-s", "30", "-bwcontrast", "1", "-light2dark", "1", "-minrad", "0.1",
                                      "-maxrad", "1.1", "-dilperiod", "1", "-bgwingray", "0.5"};
  const auto f = savedframes(*x, a, 2, 0.5, 0.25);  // t = 0.25, 2.25
  ASSERT_EQ(f.size(), 2u);
  expectbars(f[0], 0.1, 1.1, 0.05, 0.5, "t=0.25");
  expectbars(f[1], 0.1, 1.1, 0.05, 4.5, "t=2.25");
  const auto g = savedframes(*x, a, 2, 1.0, 1.25);  // t = 1.25 reversed, 2.25 forward
  ASSERT_EQ(g.size(), 2u);
  expectbars(g[0], 0.1, 1.1, 0.05, -2.5, "t=1.25 reversed");
  const auto h = savedframes(*x, a, 2, 1.0, 16.3);  // still: shift 0
  ASSERT_EQ(h.size(), 2u);
  expectbars(h[0], 0.1, 1.1, 0.05, 0.0, "t=16.3 still");
  EXPECT_EQ(h[0].rgba, h[1].rgba) << "still bars do not move";
}

TEST_F(VariantFrames, SquareWaveRampSwapsBarColours) {
  // Still bars (exponential spacing off); the first flip at the start, the
  // next after half the 2 s period of the slow end of the ramp.
  const std::vector<std::string> a = {"-s", "72", "-bwcontrast", "1", "-noexptrans", "-minrad", "0.1",
                                      "-maxrad", "1.1", "-numrad", "21", "-bgwingray", "0.5"};
  const auto f = savedframes(*x, a, 2, 1.0, 0.5);  // t = 0.5, 1.5
  ASSERT_EQ(f.size(), 2u);
  expectbars(f[0], 0.1, 1.1, 0.05, 0.0, "t=0.5");
  expectbars(f[1], 0.1, 1.1, 0.05, 0.0, "t=1.5");
  for (double r : {0.225, 0.525, 0.875}) {
    const Px p = polarpx(f[0], r, 40.0), q = polarpx(f[1], r, 40.0);
    EXPECT_TRUE(isgrey(q, 255 - p.r, 3)) << "r " << r << " " << str(p) << " then " << str(q);
  }
}

// --- random designs repeat with the seed ---

TEST_F(VariantFrames, RandomVariantsRepeatWithTheSeed) {
  // Jitter (9), wander tour with jerks (5), quadrant jerks (7, a jerk every
  // 5 to 10 calls): the same seed gives the same frames and the same events.
  const std::vector<std::vector<std::string>> runs = {
      {"-s", "9", "-srseed", "5"},
      {"-s", "5", "-srseed", "5", "-flowperiod", "0.5", "-polperiod", "1", "-minfrms2nexttg", "5"},
      {"-s", "7", "-srseed", "5", "-polperiod", "1", "-minfrms2nexttg", "5"}};
  for (const auto& a : runs) {
    const SavedRun one = loggedrun(*x, a, 24, 30.0, 120.0), two = loggedrun(*x, a, 24, 30.0, 120.0);
    ASSERT_EQ(one.frames.size(), two.frames.size());
    int differ = 0;
    for (size_t k = 0; k < one.frames.size(); k++) {
      EXPECT_EQ(one.frames[k].rgba, two.frames[k].rgba) << "type " << a[1] << " frame " << k;
      differ += k > 0 && one.frames[k].rgba != one.frames[k - 1].rgba;
    }
    EXPECT_GT(differ, 10) << "type " << a[1] << " moves";
    if (a[1] == "9") continue;  // no event log
    // The timer stamps are wall-clock; what happened must be the same.
    auto shifts = [](const std::string& log) {
      std::vector<std::string> out;
      for (const std::string& l : loglines(log, "ShiftEvent:")) out.push_back(l.substr(l.rfind("   ")));
      return out;
    };
    EXPECT_GE(shifts(one.log).size(), 3u) << one.log;
    EXPECT_EQ(shifts(one.log), shifts(two.log));
  }
}
