// Vection and depth stimuli on the real binary: the field's speed and
// direction measured between saved frames, the ring aperture, the eyes'
// disparity and dim targets of the stereo flow blocks, the logged canal
// blocks, the 120 Hz double-frame window and its two half-frame times, and
// bit-for-bit repetition under a seed.
#include "test_dot_blobs.h"
#include "test_wedge_frames.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <regex>

using namespace chk;
using blobs::Pt;

namespace {

class VectionFrames : public XServerSuite<> {};

constexpr double kPx = 3.12 / 1024;  // one pixel of a 1024-wide window, in units

// Median offset from each dot of `a` to its nearest dot of `b` (within
// `reach` units): the motion (or disparity) the field shows.
Pt medianshift(const std::vector<Pt>& a, const std::vector<Pt>& b, double reach, size_t* matched) {
  std::vector<double> dx, dy;
  for (const Pt& p : a) {
    double d;
    const Pt q = blobs::nearest(b, p, &d);
    if (d < reach) dx.push_back(q.x - p.x), dy.push_back(q.y - p.y);
  }
  *matched = dx.size();
  if (dx.empty()) return {1e9, 1e9};
  std::nth_element(dx.begin(), dx.begin() + dx.size() / 2, dx.end());
  std::nth_element(dy.begin(), dy.begin() + dy.size() / 2, dy.end());
  return {dx[dx.size() / 2], dy[dy.size() / 2]};
}

// White dots (the red fixation cross has no green), any size.
std::vector<Pt> whitedots(const Image& f) { return blobs::find(f, blobs::white(f), 1, 1 << 20); }

// A saved-frames run at 60 Hz with the event log on; returns the log (and
// the first frame through `frames`).
std::string loggedframes(const XServer& x, std::vector<std::string> args, int n, std::vector<Image>* frames = nullptr) {
  SavedRun run = loggedrun(x, std::move(args), n, 60.0, 120.0);
  if (frames && !run.frames.empty()) frames->push_back(std::move(run.frames[0]));
  removetree(run.dir);
  return run.log;
}

// The log's event lines without their times.
std::string untimed(const std::string& log) {
  static const std::regex time(R"(^(\w+:)\s+[0-9.]+\s+)");
  std::string out;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);)
    if (std::regex_search(line, std::regex(R"(^\w+Event:|^RndBlk)"))) out += std::regex_replace(line, time, "$1 ") + "\n";
  return out;
}

}  // namespace

TEST_F(VectionFrames, FieldMovesAtTheProfileSpeedThenTurnsVertical) {
  // Constant speed: 2 pi dotspeed units a second, so 2 pi 0.4 / 60 a frame;
  // horizontal in the first half of each 4 s period, vertical after.
  const std::vector<std::string> args = {"-s", "48", "-srseed", "4", "-numdots", "300", "-sinusoidtype", "0",
                                         "-dotspeed", "0.4", "-twoperiod", "4", "-flowperiod", "4"};
  const double step = 2 * M_PI * 0.4 / 60;
  const std::vector<Image> h = savedframes(*x, args, 2, 60, 1.0);
  const std::vector<Image> v = savedframes(*x, args, 2, 60, 3.0);
  ASSERT_EQ(h.size(), 2u);
  ASSERT_EQ(v.size(), 2u);
  size_t n = 0;
  const Pt mh = medianshift(whitedots(h[0]), whitedots(h[1]), 0.12, &n);
  EXPECT_GT(n, 30u);
  EXPECT_NEAR(mh.x, step, kPx);  // to the right
  EXPECT_NEAR(mh.y, 0.0, kPx / 2);
  const Pt mv = medianshift(whitedots(v[0]), whitedots(v[1]), 0.12, &n);
  EXPECT_GT(n, 30u);
  EXPECT_NEAR(mv.x, 0.0, kPx / 2);
  EXPECT_NEAR(mv.y, step, kPx);  // upwards
}

TEST_F(VectionFrames, RingApertureShowsDotsOnlyBetweenItsRadii) {
  // -eccperiod 64 at t = 40: q = 0.625 of the travel; radii from the
  // exponential scale between minrad 0.01 and maxrad 1.1.
  const std::vector<Image> f =
      savedframes(*x, {"-s", "45", "-numdots", "20000", "-fixtype", "-1", "-srseed", "2"}, 1, 60, 40.0);
  ASSERT_EQ(f.size(), 1u);
  const double lo = 0.01, hi = 1.1, q = 0.625, ew = 0.14;
  const double b = std::pow(hi / lo, 1 / (hi - lo));
  const double v = lo * std::pow(b, q * hi), w = lo * std::pow(b, (q + ew) * hi + lo - lo);
  const double slack = 0.015 * M_SQRT1_2 + 2.5 * kPx;  // half a dot's diagonal and rounding
  long lit = 0, outside = 0;
  for (int y = 0; y < f[0].height; y++)
    for (int xx = 0; xx < f[0].width; xx++) {
      if (f[0].g(xx, y) < 128) continue;
      lit++;
      const double r = std::hypot((xx + 0.5) * kPx - 1.56, 1.17 - (y + 0.5) * kPx);
      outside += r < v - slack || r > w + slack;
    }
  EXPECT_GT(lit, 2000);
  EXPECT_EQ(outside, 0) << "ring " << v << " to " << w;
  // No ring at all without a positive inner radius: refused, not blank.
  const RunResult r = runvistrum(*x, {"-s", "45", "-nofullscreen", "-minrad", "0"});
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: ### -stimtype 45 needs 0 < -minrad < -maxrad for its ring (got 0, 1.1)")) << r.out;
}

TEST_F(VectionFrames, StereoFlowEyesLieTheDisparityApartAndDimTargetsDimRedAndBlue) {
  // flowsurf with depthripples 0: every dot's blue image is stereodisp
  // units right of its red one.
  const std::vector<std::string> base = {"-s", "56", "-condlist", "1", "-depthripples", "0", "-numdots", "500",
                                         "-dotsize", "0.01", "-stereodisp", "-0.08", "-srseed", "3"};
  std::vector<std::string> plain = base;
  plain.insert(plain.end(), {"-dimtarg", "0", "0.8"});
  const std::vector<Image> f = savedframes(*x, plain, 1, 60, 0.5);
  ASSERT_EQ(f.size(), 1u);
  const Image& img = f[0];
  const auto red = blobs::find(img, [&](int x, int y) { return img.r(x, y) > 60 && img.b(x, y) < 30; }, 1, 1 << 20);
  const auto blue = blobs::find(img, [&](int x, int y) { return img.b(x, y) > 60 && img.r(x, y) < 30; }, 1, 1 << 20);
  size_t n = 0;
  const Pt d = medianshift(red, blue, 0.12, &n);
  EXPECT_GT(n, 30u);
  EXPECT_NEAR(d.x, -0.08, kPx);
  EXPECT_NEAR(d.y, 0.0, kPx / 2);
  int maxr = 0, maxb = 0;
  for (int y = 0; y < img.height; y++)
    for (int xx = 0; xx < img.width; xx++)
      if (img.g(xx, y) == 0) maxr = std::max(maxr, img.b(xx, y) == 0 ? img.r(xx, y) : 0), maxb = std::max(maxb, img.r(xx, y) == 0 ? img.b(xx, y) : 0);
  EXPECT_NEAR(maxr, 102, 1);  // stereoLred 0.4 of this type
  EXPECT_NEAR(maxb, 255, 1);

  // One target a frame at most (60 per 1 s block) lasting 10 frames: three
  // in 25 frames, and only the left red and right blue are dimmed.
  std::vector<std::string> dim = base;
  dim.insert(dim.end(), {"-dimtarg", "60", "0.5", "-blockperiod", "1", "-targframes", "10"});
  std::vector<Image> dimmed;
  const std::string log = loggedframes(*x, dim, 25, &dimmed);
  const std::vector<std::string> ev = loglines(log, "DimEvent:");
  ASSERT_EQ(ev.size(), 3u) << log;
  EXPECT_TRUE(std::regex_search(ev[0], std::regex(R"(^DimEvent: +[0-9]+\.[0-9]{3}    frac=0\.50,frms=10$)"))) << ev[0];
  ASSERT_EQ(dimmed.size(), 1u);
  maxr = maxb = 0;
  for (int y = 0; y < dimmed[0].height; y++)
    for (int xx = 0; xx < dimmed[0].width; xx++)
      if (dimmed[0].g(xx, y) == 0) {
        if (dimmed[0].b(xx, y) == 0) maxr = std::max(maxr, dimmed[0].r(xx, y));
        if (dimmed[0].r(xx, y) == 0) maxb = std::max(maxb, dimmed[0].b(xx, y));
      }
  EXPECT_NEAR(maxr, 51, 1);
  EXPECT_NEAR(maxb, 128, 1);
}

TEST_F(VectionFrames, CanalBlocksAreLoggedInOrderAndUnknownNamesRefused) {
  const std::string log =
      loggedframes(*x, {"-s", "49", "-numdots", "400", "-condlist", "1", "2", "0", "-blockperiod", "1"}, 150);
  const std::string ev = untimed(log);
  EXPECT_NE(ev.find("StimEvent: horiz (1)\nStimEvent: left (2)\nStimEvent: still (0)\n"), std::string::npos) << log;
  const RunResult r = runvistrum(*x, {"-s", "49", "-nofullscreen", "-condnames", "4", "still", "horiz", "up", "right"});
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: ### bad condition: up")) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: [still,horiz,left,right]")) << r.out;
}

TEST_F(VectionFrames, DoubleFrameWindowHoldsTwoHalfFramesHalfAFrameApart) {
  // Side by side: the right half is the field half a frame later. (The
  // windows cover the screen centre, where the pointer gives keys focus.)
  const std::vector<std::string> args = {"-s", "48", "-doubleframerate", "-winxy", "516", "386", "-numdots", "300",
                                         "-sinusoidtype", "0", "-dotspeed", "0.4", "-srseed", "8"};
  const std::vector<Image> f = savedframes(*x, args, 1, 60, 1.0);
  ASSERT_EQ(f.size(), 1u);
  ASSERT_EQ(f[0].width, 1032);
  ASSERT_EQ(f[0].height, 386);
  // Dots are found in units of the whole image: 3.12 across all 1032
  // pixels, so each half's own units are twice those, about its centre.
  const double half = 2 * M_PI * 0.4 / 120, tol = 3.12 / 516;
  std::vector<Pt> left, right;
  for (const Pt& p : whitedots(f[0])) (p.x < 0 ? left : right).push_back({2 * (p.x + (p.x < 0 ? 0.78 : -0.78)), 2 * p.y});
  size_t n = 0;
  const Pt d = medianshift(left, right, 0.12, &n);
  EXPECT_GT(n, 15u);
  EXPECT_NEAR(d.x, half, tol);
  EXPECT_NEAR(d.y, 0.0, tol / 2);

  // Stacked: double height, the top half first (each half's centre lies
  // 193 pixels off the image centre).
  std::vector<std::string> up = args;
  up.push_back("-packstereoupdown");
  const std::vector<Image> g = savedframes(*x, up, 1, 60, 1.0);
  ASSERT_EQ(g.size(), 1u);
  ASSERT_EQ(g[0].width, 516);
  ASSERT_EQ(g[0].height, 772);
  std::vector<Pt> top, bottom;
  for (const Pt& p : whitedots(g[0])) (p.y > 0 ? top : bottom).push_back({p.x, p.y + (p.y > 0 ? -193 : 193) * tol});
  const Pt e = medianshift(top, bottom, 0.12, &n);
  EXPECT_GT(n, 15u);
  EXPECT_NEAR(e.x, half, tol);
  EXPECT_NEAR(e.y, 0.0, tol / 2);

  // Live: the window messages, and every video frame waits half a frame
  // between its halves, which the timing line shows.
  const RunResult r = runvistrum(*x, {"-s", "48", "-doubleframerate", "-nofullscreen", "-winxy", "516", "386",
                                      "-numdots", "300", "-exptend", "1"});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: make double-wide GLX window for 120 Hz stereo")) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: 120 Hz stereo window: 1032 x 386")) << r.out;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(r.out, m, std::regex(R"(vistrum: frames: ([0-9]+), mean interval ([0-9.]+) ms)")))
      << r.out;
  EXPECT_GE(std::stod(m[2]), 1000.0 / 120) << r.out;
  EXPECT_LE(std::stoi(m[1]), 121) << r.out;

  // A mode that would leave both halves empty is refused.
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"-s", "10", "-doubleframerate"}, std::vector<std::string>{"-s", "89"}}) {
    std::vector<std::string> a = bad;
    a.push_back("-nofullscreen");
    const RunResult q = runvistrum(*x, a);
    EXPECT_EQ(q.status, 1) << q.out;
    EXPECT_NE(q.out.find("vistrum: ### "), std::string::npos) << q.out;
  }
}

TEST_F(VectionFrames, EveryTypeRepeatsBitForBitUnderASeed) {
  for (const std::vector<std::string>& t :
       {std::vector<std::string>{"-s", "45", "-numdots", "20000"}, {"-s", "47", "-numdots", "800"},
        {"-s", "48", "-numdots", "400"}, {"-s", "49", "-numdots", "800", "-stereo", "-condlist", "1"},
        {"-s", "56", "-numdots", "800", "-condlist", "2"},
        {"-s", "48", "-numdots", "400", "-doubleframerate", "-winxy", "516", "386"}}) {
    std::vector<std::string> args = t;
    args.insert(args.end(), {"-srseed", "6"});
    // Within the one-block designs of 49 and 56 (the run steps from t = 0).
    const std::vector<Image> a = savedframes(*x, args, 3, 7.0, 10.3);
    const std::vector<Image> b = savedframes(*x, args, 3, 7.0, 10.3);
    ASSERT_EQ(a.size(), 3u);
    ASSERT_EQ(b.size(), 3u);
    for (int k = 0; k < 3; k++) EXPECT_TRUE(a[k].ok() && a[k].rgba == b[k].rgba) << t[1] << " frame " << k;
    EXPECT_FALSE(a[0].rgba == a[2].rgba) << t[1] << ": the stimulus moves";
  }
  // The block experiments' logs repeat too (apart from the clock times).
  const std::vector<std::string> s56 = {"-s", "56", "-numdots", "300", "-srseed", "9", "-blockperiod", "0.5",
                                        "-dimtarg", "3", "0.5"};
  const std::string l1 = untimed(loggedframes(*x, s56, 120)), l2 = untimed(loggedframes(*x, s56, 120));
  EXPECT_EQ(l1, l2);
  EXPECT_NE(l1.find("StimEvent:"), std::string::npos) << l1;
}
