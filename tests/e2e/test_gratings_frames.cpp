// Rotating random-bar gratings on the real binary: the bars' orientation on
// saved frames (whole field and per quadrant), new bars at the grating
// rate, jerk targets in the log, and repeatable frames under a fixed seed.
#include "test_wedge_frames.h"

#include <regex>

using namespace chk;

namespace {

class GratingFrames : public XServerSuite<> {};

// Share of sample points p (on a grid within radii 0.3..0.9 of the centre,
// inside quadrant q or anywhere when q < 0) whose colour equals that at
// p + 0.15 units along direction `deg`: near 1 along the bars, far lower
// across them.
double alongshare(const Image& img, double deg, int q) {
  const double a = deg * M_PI / 180.0;
  int n = 0, same = 0;
  for (double x = -0.9; x <= 0.9; x += 0.031)
    for (double y = -0.9; y <= 0.9; y += 0.029) {
      const double x2 = x + 0.15 * std::cos(a), y2 = y + 0.15 * std::sin(a);
      const double r1 = std::hypot(x, y), r2 = std::hypot(x2, y2);
      if (r1 < 0.3 || r1 > 0.9 || r2 < 0.3 || r2 > 0.9) continue;
      if (q >= 0) {
        const int q1 = y >= 0 ? (x >= 0 ? 0 : 1) : (x < 0 ? 2 : 3), q2 = y2 >= 0 ? (x2 >= 0 ? 0 : 1) : (x2 < 0 ? 2 : 3);
        if (q1 != q || q2 != q || std::fabs(x) < 0.02 || std::fabs(y) < 0.02) continue;
      }
      const int px1 = unitpixx(x, img.width), py1 = unitpixy(y, img.width, img.height);
      const int px2 = unitpixx(x2, img.width), py2 = unitpixy(y2, img.width, img.height);
      n++;
      if (img.at(px1, py1) == img.at(px2, py2)) same++;
    }
  return n ? static_cast<double>(same) / n : 0.0;
}

std::vector<std::string> gratargs(const char* type, std::vector<std::string> more = {}) {
  std::vector<std::string> a = {"-s", type, "-polperiod", "64", "-coltype", "0", "-bwcontrast", "1", "-maxrad", "1.1",
                                "-centmaskrad", "0", "-oritarg", "0", "5", "-nologfile"};
  a.insert(a.end(), more.begin(), more.end());
  return a;
}

}  // namespace

TEST_F(GratingFrames, BarsTurnOncePerPolarPeriod) {
  // t = 0: bars across the horizontal (edges along 0 degrees); t = 8: the
  // edges along 45 degrees; t = 16: along 90 degrees.
  const std::vector<Image> f = savedframes(*x, gratargs("80"), 3, 0.125, 0.0);
  ASSERT_EQ(f.size(), 3u);
  for (int k = 0; k < 3; k++) {
    const double along = 45.0 * k;
    EXPECT_GT(alongshare(f[k], along, -1), 0.95) << "frame " << k;
    EXPECT_LT(alongshare(f[k], along + 90.0, -1), 0.75) << "frame " << k;
  }
}

TEST_F(GratingFrames, NewBarsAtTheGratingRateOnly) {
  // gratfreq 2: the bars of t = 0.1 and 0.3 are the same set, those of 0.7 new.
  const std::vector<Image> f = savedframes(*x, gratargs("80", {"-gratfreq", "2", "-polperiod", "inf"}), 4, 5.0, 0.1);
  ASSERT_EQ(f.size(), 4u);  // t = 0.1, 0.3, 0.5, 0.7
  EXPECT_TRUE(f[0].rgba == f[1].rgba);
  EXPECT_FALSE(f[0].rgba == f[3].rgba);
}

TEST_F(GratingFrames, QuadrantsKeepTheirOwnOrientation) {
  // angleoff 45, pol4toffset 0: at t = 0 the edges run along 0, 45, 90 and
  // 135 degrees in the upper right, upper left, lower left, lower right.
  const std::vector<Image> f =
      savedframes(*x, gratargs("81", {"-angleoff", "45", "-pol4toffset", "0"}), 1, 1.0, 0.0);
  ASSERT_EQ(f.size(), 1u);
  for (int q = 0; q < 4; q++) {
    EXPECT_GT(alongshare(f[0], 45.0 * q, q), 0.95) << "quadrant " << q;
    EXPECT_LT(alongshare(f[0], 45.0 * q + 90.0, q), 0.75) << "quadrant " << q;
  }
}

TEST_F(GratingFrames, JerksAreLoggedAndSeedsRepeatFrames) {
  const std::string log = loggedrun(*x, {"-s", "80", "-oritarg", "40", "5", "-minfrms2nexttg", "10"}, 2.0);
  const std::vector<std::string> ev = loglines(log, "OriEvent:");
  ASSERT_GE(ev.size(), 1u) << log;
  for (const std::string& l : ev) EXPECT_TRUE(std::regex_match(l, std::regex("OriEvent: +[0-9]+\\.[0-9]{3}   -?5\\.0 deg"))) << l;

  const std::vector<std::string> a = {"-s", "81", "-srseed", "11", "-gratfreq", "16", "-oritarg", "40", "5"};
  const std::vector<Image> f1 = savedframes(*x, a, 3, 10.0, 0.0), f2 = savedframes(*x, a, 3, 10.0, 0.0);
  ASSERT_EQ(f1.size(), 3u);
  ASSERT_EQ(f2.size(), 3u);
  for (int k = 0; k < 3; k++) EXPECT_TRUE(f1[k].rgba == f2[k].rgba) << "frame " << k;
}

namespace {

// Crossings of the background grey along the column at x (units) over the
// window height: two per cycle of a horizontal grating.
int greycrossings(const Image& img, double x, int grey) {
  const int px = unitpixx(x, img.width);
  int n = 0, last = 0;
  for (int y = 0; y < img.height; y++) {
    const int d = img.r(px, y) - grey;
    if (std::abs(d) < 6) continue;
    const int sgn = d > 0 ? 1 : -1;
    if (last != 0 && sgn != last) n++;
    last = sgn;
  }
  return n;
}

}  // namespace

TEST_F(GratingFrames, SpatialFrequencyRampStepsGeometrically) {
  // Period 64 s, blank 0.5 %, 106 steps from 2 to 96 cycles: at t the step
  // is k = int((t/64 - 0.005)/s) with s = 0.995/106, and the grating shows
  // 2*q^(k+1) cycles over the window height (q = 48^(1/106)).
  const double s = 0.995 / 106.0, q = std::pow(48.0, 1.0 / 106.0);
  const std::vector<Image> f =
      savedframes(*x, {"-s", "70", "-rampperiod", "64", "-sftarg", "0", "1"}, 3, 1.0 / 13.0, 0.1);
  ASSERT_EQ(f.size(), 3u);  // t = 0.1 (blank), 13.1, 26.1
  EXPECT_EQ(greycrossings(f[0], 0.5, 102), 0) << "blank start";
  for (int k = 1; k < 3; k++) {
    const double t = 0.1 + 13.0 * k;
    const int step = static_cast<int>((t / 64.0 - 0.005) / s);
    const double cycles = 2.0 * std::pow(q, step + 1);
    EXPECT_NEAR(greycrossings(f[k], 0.5, 102), 2.0 * cycles, 1.5) << "t=" << t;
    EXPECT_EQ(greycrossings(f[k], 0.5, 102), greycrossings(f[k], -0.9, 102)) << "horizontal bars";
  }
}

TEST_F(GratingFrames, RotatedRampCoversTheWindowAndLogsFrequencyTargets) {
  const std::vector<Image> f =
      savedframes(*x, {"-s", "71", "-rampperiod", "64", "-sftarg", "0", "1"}, 1, 1.0, 26.1);
  ASSERT_EQ(f.size(), 1u);
  int grey = 0;  // the corners are grating too, not background
  for (int px : {2, f[0].width - 3})
    for (int py : {2, f[0].height - 3}) grey += std::abs(f[0].r(px, py) - 102) < 2;
  EXPECT_LT(grey, 4);
  const std::string log = loggedrun(*x, {"-s", "70", "-sftarg", "40", "2", "-minfrms2nexttg", "10"}, 2.0);
  const std::vector<std::string> ev = loglines(log, "SfChgEvent:");
  ASSERT_GE(ev.size(), 1u) << log;
  for (const std::string& l : ev) EXPECT_TRUE(std::regex_match(l, std::regex("SfChgEvent: +[0-9]+\\.[0-9]{3}   x(2\\.0|0\\.5)"))) << l;
}

TEST_F(GratingFrames, SinusoidalFlickerRampFollowsItsPeriod) {
  // The first flicker period is 1/mintfreq = 2 s from t = 0: the checks
  // are black and white at 0.5 s, grey at 1 s, reversed at 1.5 s.
  const std::string dir = maketempdir("tframp");
  Vistrum v(*x, {"-s", "73", "-rampperiod", "64", "-mintfreq", "0.5", "-maxtfreq", "30", "-bwcontrast", "1",
                 "-nofullscreen", "-saveframes", "4", "2", "-framerate", "2", "-tiffoutdir", dir});
  ASSERT_TRUE(v.waitforwindow());
  v.key("F1");
  const RunResult r = v.wait(90);
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: flicker periods (bright-to-bright) for one ramp cycle")) << r.out;
  std::vector<Image> f;
  for (int k = 0; k < 4; k++) f.push_back(readimage(dir + "/f0000" + std::to_string(k) + ".tiff"));
  const double mid = 360.0 / 28.0 / 2.0;  // middle of the first angular check
  const Px a = polarpx(f[1], 0.6, mid), b = polarpx(f[1], 0.6, 3.0 * mid);
  EXPECT_TRUE(ischeck(a) && ischeck(b) && a.r != b.r) << str(a) << str(b);
  EXPECT_TRUE(isgrey(polarpx(f[2], 0.6, mid), 128, 3)) << str(polarpx(f[2], 0.6, mid));
  EXPECT_EQ(polarpx(f[3], 0.6, mid).r, 255 - a.r);
  removetree(dir);
}
