// Wobble, wander and pursuit types on the real binary: repetition under a
// seed, the wobbling field and its wedge, the wandering aperture on its
// grid and under the pointer (XTEST), playback reproducing the retinal
// motion of pursuit, and the object ring's log lines and start-up check.
#include "test_dot_blobs.h"

#include <regex>
#include <set>

using namespace chk;
using blobs::Pt;

namespace {

class PursuitFrames : public XServerSuite<> {};

std::string photos() { return sourcedir() + "/lib/imagefiles/photos"; }

// Saved frames of a full-screen run (pointer control needs full screen);
// `beforestart` runs on the waiting screen, before F1.
std::vector<Image> fullscreenframes(const XServer& x, std::vector<std::string> args, double t0,
                                    const std::function<void()>& beforestart) {
  const std::string dir = maketempdir("pursuit");
  char tbuf[32];
  std::snprintf(tbuf, sizeof tbuf, "%.9g", t0);
  args.insert(args.end(), {"-saveframes", "1", "1", "-framerate", "1", "-firstframetime", tbuf, "-tiffoutdir", dir});
  Vistrum v(x, args);
  EXPECT_TRUE(v.waitforwindow());
  beforestart();
  v.key("F1");
  const RunResult r = v.wait(90);
  EXPECT_EQ(r.status, 0) << r.out;
  std::vector<Image> f = {readimage(dir + "/f00000.tiff")};
  EXPECT_TRUE(f[0].ok()) << r.out;
  removetree(dir);
  return f;
}

Pt mark(const Image& img) {
  const std::vector<Pt> m = blobs::find(img, blobs::red(img), 3, 2000);
  EXPECT_EQ(m.size(), 1u) << "one fixation mark";
  return m.empty() ? Pt{99, 99} : m[0];
}

std::vector<Pt> whitedots(const Image& img, int lo = 9, int hi = 40) {
  return blobs::find(img, blobs::white(img), lo, hi);
}

bool ongrid(double v) { return std::fabs(std::remainder(v + 0.7, 0.35)) < 0.01 && std::fabs(v) <= 0.71; }

}  // namespace

TEST_F(PursuitFrames, EveryTypeRepeatsBitForBitUnderASeed) {
  const std::vector<std::vector<std::string>> runs = {
      {"-s", "44", "-numdots", "600"},
      {"-s", "46", "-numdots", "600"},
      {"-s", "37", "-numdots", "600", "-twoperiod", "2"},
      {"-s", "33", "-tiffdir", photos(), "-twoperiod", "2"},
      {"-s", "32", "-tiffdir", photos(), "-bgcnt", "1", "-imcnt", "5", "-simulcnt", "5", "-polperiod", "1",
       "-imtarg", "300", "0.35"}};
  for (std::vector<std::string> args : runs) {
    args.insert(args.end(), {"-srseed", "7"});
    const auto a = savedframes(*x, args, 3, 7.0, 0.9), b = savedframes(*x, args, 3, 7.0, 0.9);
    ASSERT_EQ(a.size(), 3u);
    ASSERT_EQ(b.size(), 3u);
    for (int k = 0; k < 3; k++) EXPECT_TRUE(a[k].rgba == b[k].rgba) << "type " << args[1] << " frame " << k;
    EXPECT_FALSE(a[0].rgba == a[2].rgba) << "type " << args[1] << ": the view moves";
  }
}

TEST_F(PursuitFrames, WobbleCarriesTheWholeFieldRoundACircleUnderARotatingWedge) {
  // No masks (-polwidth below -360 degrees): a quarter wobble period moves
  // every dot by wobbleamp * maxrad in x and y (0.11 with the defaults).
  const auto f = savedframes(*x, {"-s", "44", "-polwidth", "-400", "-numdots", "150", "-fixtype", "-1"}, 2, 4.0, 0.0);
  ASSERT_EQ(f.size(), 2u);
  int n = 0;
  const double hit = blobs::matched(
      whitedots(f[0]), whitedots(f[1]), [](Pt p) { return Pt{p.x + 0.11, p.y + 0.11}; }, 0.006,
      [](Pt q) { return std::fabs(q.x) < 1.05 && std::fabs(q.y) < 1.05; }, &n);
  EXPECT_GT(n, 60);
  EXPECT_GT(hit, 0.9) << "all dots move alike";
  // A 90 degree wedge turning once in 4 s is centred on +y at t = 1.
  const auto w = savedframes(*x, {"-s", "44", "-polwidth", "90", "-polperiod", "4", "-numdots", "4000"}, 1, 1.0, 1.0);
  ASSERT_EQ(w.size(), 1u);
  long inside = 0, outside = 0;
  for (int y = 0; y < w[0].height; y++)
    for (int xx = 0; xx < w[0].width; xx++) {
      if (!blobs::white(w[0])(xx, y)) continue;
      const Pt p = blobs::units(xx, y, w[0]);
      const double deg = std::atan2(p.y, p.x) * 180.0 / M_PI, r = std::hypot(p.x, p.y);
      const bool in = deg > 43.0 && deg < 137.0 && r < 1.1 + 0.015 + 0.006;
      (in ? inside : outside)++;
    }
  EXPECT_EQ(outside, 0) << "dots show only in the wedge";
  EXPECT_GT(inside, 2000);
}

// A fixation mesh behind the stimulus shows in the opening only: the
// wandering and pursuit apertures and the wobbling wedge cover it elsewhere.
TEST_F(PursuitFrames, AMeshBehindShowsOnlyThroughTheOpening) {
  const std::vector<std::vector<std::string>> runs = {
      {"-s", "46"}, {"-s", "37", "-circwidth", "0.7"}, {"-s", "44", "-polwidth", "90", "-polperiod", "4"}};
  for (std::vector<std::string> args : runs) {
    args.insert(args.end(), {"-fixmesh", "0.7", "-numdots", "300", "-srseed", "2"});
    const auto f = savedframes(*x, args, 1, 1.0, args[1] == "44" ? 1.0 : 0.0);
    ASSERT_EQ(f.size(), 1u);
    long in = 0, out = 0;
    for (int y = 0; y < f[0].height; y++)
      for (int xx = 0; xx < f[0].width; xx++) {
        if (!isgrey({f[0].r(xx, y), f[0].g(xx, y), f[0].b(xx, y)}, 178, 2)) continue;
        const Pt p = blobs::units(xx, y, f[0]);
        const double r = std::hypot(p.x, p.y), deg = std::atan2(p.y, p.x) * 180.0 / M_PI;
        const bool wedge = args[1] == "44";
        // The wedge opens over 45..135 degrees; the apertures over r < 0.35.
        if (wedge ? (r > 0.3 && r < 1.0 && deg > 55.0 && deg < 125.0) : (r > 0.06 && r < 0.3)) in++;
        if (wedge ? (r > 0.3 && r < 1.0 && (deg < 35.0 || deg > 145.0)) : (r > 0.55 && r < 1.0)) out++;
      }
    EXPECT_GT(in, 20) << "type " << args[1] << ": the mesh in the opening";
    EXPECT_EQ(out, 0) << "type " << args[1] << ": the mesh beside it";
  }
}

TEST_F(PursuitFrames, WanderingApertureStartsAtTheCentreAndComesToRestOnGridPoints) {
  // Sweeps of 2 s (defaults), aperture radius 0.35, the mark in it.
  const auto f = savedframes(*x, {"-s", "46", "-srseed", "3"}, 3, 0.5, 0.0);
  ASSERT_EQ(f.size(), 3u);
  Pt last{0, 0};
  for (int k = 0; k < 3; k++) {
    const Pt c = mark(f[k]);
    if (k == 0) {
      EXPECT_NEAR(c.x, 0.0, 0.01);
      EXPECT_NEAR(c.y, 0.0, 0.01);
    }
    EXPECT_TRUE(ongrid(c.x) && ongrid(c.y)) << "frame " << k << " at " << c.x << "," << c.y;
    if (k > 0) {
      EXPECT_GT(std::hypot(c.x - last.x, c.y - last.y), 0.3) << "on to another grid point";
    }
    last = c;
    const std::vector<Pt> d = whitedots(f[k]);
    ASSERT_GT(d.size(), 50u);
    for (const Pt& p : d) EXPECT_LT(std::hypot(p.x - c.x, p.y - c.y), 0.35 + 0.01) << "frame " << k;
  }
}

TEST_F(PursuitFrames, UnderPointerControlThePointerCarriesApertureAndMark) {
  const std::vector<std::string> args = {"-s", "46", "-mousectrl", "-startmouse", "0.35", "-0.35"};
  for (int moved = 0; moved < 2; moved++) {
    // The second run moves the pointer to display pixel (256, 192), that is
    // (-0.35, 0.35) of the +-0.7 pointer range, before the start.
    const auto f = fullscreenframes(*x, args, 1.0, [&] {
      if (moved) movepointer(*x, 256, 192);
    });
    const double wx = moved ? -0.35 : 0.35, wy = moved ? 0.35 : -0.35;
    const Pt c = mark(f[0]);
    EXPECT_NEAR(c.x, wx, 0.01) << "run " << moved;
    EXPECT_NEAR(c.y, wy, 0.01) << "run " << moved;
    const std::vector<Pt> d = whitedots(f[0]);
    ASSERT_GT(d.size(), 50u);
    for (const Pt& p : d) EXPECT_LT(std::hypot(p.x - wx, p.y - wy), 0.35 + 0.01) << "run " << moved;
  }
}

TEST_F(PursuitFrames, PlaybackShowsTheRetinalMotionOfThePrecedingPursuit) {
  // Blocks of 8 s with four sweeps each: pursuit first, then playback.
  const std::vector<std::string> args = {"-s", "37", "-twoperiod", "16", "-flowsperblock", "4", "-wiggledotamp", "0",
                                         "-circwidth", "1.0", "-srseed", "3"};
  const auto ends = savedframes(*x, args, 3, 1.0 / 8.0, 0.0);
  ASSERT_EQ(ends.size(), 3u);
  for (int k = 0; k < 3; k++) {
    const Pt c = mark(ends[k]);
    EXPECT_NEAR(std::hypot(c.x, c.y), 0.0, 0.01) << "paths start and end at the centre, block " << k;
  }
  const auto f = savedframes(*x, args, 2, 1.0 / 8.0, 1.3);
  ASSERT_EQ(f.size(), 2u);
  const Pt P = mark(f[0]), still = mark(f[1]);
  EXPECT_GT(std::hypot(P.x, P.y), 0.03) << "the mark is on its way";
  EXPECT_NEAR(std::hypot(still.x, still.y), 0.0, 0.01) << "in playback the eyes stay at the centre";
  // What the pursuing eye saw relative to the mark is what playback shows
  // relative to the centre: the still dots moved by -P.
  int n = 0;
  const double hit = blobs::matched(
      whitedots(f[0]), whitedots(f[1]), [&](Pt p) { return Pt{p.x - P.x, p.y - P.y}; }, 0.007,
      [&](Pt q) {
        const double r = std::hypot(q.x + P.x, q.y + P.y);
        return r < 0.45 && std::hypot(q.x, q.y) > 0.05;
      },
      &n);
  EXPECT_GT(n, 100);
  EXPECT_GT(hit, 0.95);
}

TEST_F(PursuitFrames, ObjectRingLogsSlotChangesAndTargetsAndNeedsItsPictures) {
  // Five slots in 5 s: the moving object passes on every second; a target
  // every 5 to 10 frames.
  const std::string log = loggedrun(*x, {"-s", "32", "-tiffdir", photos(), "-bgcnt", "1", "-imcnt", "5", "-simulcnt",
                                         "5", "-polperiod", "5", "-imtarg", "30", "0.35", "-minfrms2nexttg", "5"},
                                    2.5);
  const std::vector<std::string> mot = loglines(log, "RealMotEvent:");
  ASSERT_EQ(mot.size(), 2u) << log;
  const std::regex line(R"(RealMotEvent: +([0-9.]+) +imend=([0-9]+) imbeg=([0-9]+))");
  for (int k = 0; k < 2; k++) {
    std::smatch m;
    ASSERT_TRUE(std::regex_search(mot[k], m, line)) << mot[k];
    EXPECT_NEAR(std::stod(m[1]), 1.0 + k, 0.3) << mot[k];
    EXPECT_EQ(std::stoi(m[2]), 1 + k);
    EXPECT_EQ(std::stoi(m[3]), 2 + k);
  }
  const std::vector<std::string> targ = loglines(log, "ImgColEvent:");
  ASSERT_GE(targ.size(), 1u) << log;
  for (const std::string& l : targ) {
    std::smatch m;
    ASSERT_TRUE(std::regex_search(l, m, std::regex(R"(targim=([0-9]+))"))) << l;
    EXPECT_GE(std::stoi(m[1]), 1);
    EXPECT_LE(std::stoi(m[1]), 5);
  }
  // The default set (four test pictures) cannot fill 4 backgrounds and 52
  // objects: refused before the window opens.
  const RunResult r = runvistrum(*x, {"-s", "32", "-nofullscreen"}, 20);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(hasline(r, "vistrum: ### too few tiffs (4) for bgcnt+imcnt")) << r.out;
}

TEST_F(PursuitFrames, ObjectRingRunsWithItsDefaultsOnTheShippedPhotographs) {
  // Four landscapes first, then at least 52 objects: defaults only. Slots of
  // 6.4 s: the frames at 8, 16 and 24 s each find a new slot.
  for (const char* folder : {"scenes"}) {
    const SavedRun r = loggedrun(*x, {"-s", "32", "-tiffdir", folder}, 4, 0.125);
    ASSERT_EQ(r.frames.size(), 4u) << folder << "\n" << r.result.out;
    for (int k = 0; k < 4; k++) {
      const std::regex bg("image\\[" + std::to_string(k) + "\\]: .*/" + folder + "/0bg" + std::to_string(k + 1) + "-.*");
      bool found = false;
      for (const std::string& l : r.result.lines()) found = found || std::regex_match(l, bg);
      EXPECT_TRUE(found) << folder << ": background " << k << " is not a landscape\n" << r.result.out;
    }
    const std::vector<std::string> mot = loglines(r.log, "RealMotEvent:");
    ASSERT_EQ(mot.size(), 3u) << r.log;
    for (int k = 0; k < 3; k++)
      EXPECT_NE(mot[k].find("imend=" + std::to_string(4 + k) + " imbeg=" + std::to_string(5 + k)), std::string::npos)
          << mot[k];
    // A photograph fills the middle; past the square background's edge
    // (2.2 units plus the jitter) the black ground shows.
    const Image& f = r.frames[1];
    std::set<uint32_t> colours;
    for (int y = 200; y < 568; y += 4)
      for (int px = 300; px < 724; px += 4) colours.insert(f.at(px, y) & 0xffffffu);
    EXPECT_GT(colours.size(), 2000u) << folder;
    for (int y = 0; y < 768; y += 16) EXPECT_EQ(f.at(unitpixx(-1.4), y) & 0xffffffu, 0u) << folder << " y " << y;
  }
}

TEST_F(PursuitFrames, PicturePursuitRunsWithItsDefaultsOnTheShippedPairs) {
  // Landscape and animal in turn; at t = 0 (pursuit, the path at the centre)
  // the landscape fills its 1.5-unit square round the animal, and the black
  // ground shows past it.
  const SavedRun r = saverun(*x, {"-s", "33", "-tiffdir", "pairs"}, 1, 1.0);
  ASSERT_EQ(r.frames.size(), 1u) << r.result.out;
  for (int k = 0; k < 8; k++) {
    const std::regex role("image\\[" + std::to_string(k) + "\\]: .*/pairs/" + std::to_string(k / 2 + 1) +
                          (k % 2 ? "obj-" : "bg-") + ".*");
    bool found = false;
    for (const std::string& l : r.result.lines()) found = found || std::regex_match(l, role);
    EXPECT_TRUE(found) << "picture " << k << " out of its pair role\n" << r.result.out;
  }
  const Image& f = r.frames[0];
  std::set<uint32_t> colours;
  int black = 0;
  for (double u = 0.3; u < 0.7; u += 0.02)
    for (auto [sx, sy] : {std::pair{1, 1}, {-1, 1}, {1, -1}, {-1, -1}}) {
      const uint32_t c = f.at(unitpixx(sx * u), unitpixy(sy * u)) & 0xffffffu;
      colours.insert(c);
      black += c == 0;
    }
  EXPECT_EQ(black, 0) << "the background has a hole";
  EXPECT_GT(colours.size(), 40u) << "no photograph behind the target";
  for (double u : {-1.0, -0.85, 0.85, 1.0}) EXPECT_EQ(f.at(unitpixx(u), unitpixy(0)) & 0xffffffu, 0u) << u;
}

TEST_F(PursuitFrames, KeyDTogglesTheScreenBorderDuringPursuit) {
  Vistrum v(*x, {"-s", "37", "-numdots", "200"});
  ASSERT_TRUE(v.waitforwindow());
  v.key("F1");
  const auto green = [&] {
    const Image im = grabscreen(*x);
    long n = 0;
    for (int y = 0; y < im.height; y += 2)
      for (int xx = 0; xx < im.width; xx += 2) n += im.g(xx, y) > 200 && im.r(xx, y) < 60 && im.b(xx, y) < 60;
    return n;
  };
  waituntil([] { return false; }, 0.5);
  EXPECT_EQ(green(), 0) << "no border at the start";
  v.key("D");
  EXPECT_TRUE(waituntil([&] { return green() > 500; })) << "the border shows";
  v.key("D");
  EXPECT_TRUE(waituntil([&] { return green() == 0; })) << "and goes again";
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
}
