// Window, projection and start-up scale, seen from outside the program.
#include "harness.h"

#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that gtest uses as names.
#include <X11/Xlib.h>

#include <cmath>
#include <cstring>

namespace {

class WindowE2E : public XServerSuite<1280, 1024> {};

// Saves one frame of the test board with extra options, returns it.
Image boardframe(const XServer& xs, std::vector<std::string> extra) {
  const std::string dir = maketempdir("board");
  std::vector<std::string> args = {"-s", "9999", "-saveframes", "1", "60", "-tiffoutdir", dir};
  args.insert(args.end(), extra.begin(), extra.end());
  Vistrum v(xs, args);
  EXPECT_TRUE(v.waitforwindow());
  v.key("F1");
  EXPECT_EQ(v.wait(30).status, 0);
  return readimage(dir + "/f00000.tiff");
}

// Checks board squares (c, r) drawn at scale s.
void expectboard(const Image& img, double s, std::initializer_list<int> cols, std::initializer_list<int> rows) {
  ASSERT_TRUE(img.ok());
  for (int c : cols) {
    for (int r : rows) {
      const int want = (c + r) % 2 == 0 ? 255 : 0;
      EXPECT_EQ(img.g(unitpixx(s * (0.04 * c - 1)), unitpixy(s * (0.04 * r - 1))), want) << c << "," << r;
    }
  }
}

struct Geometry {
  int x = -1, y = -1, w = 0, h = 0;
  bool overrideredirect = false;
};

// Top-level windows of the private server, by name ("" for unnamed).
std::vector<Geometry> toplevels(const XServer& xs, const char* name) {
  std::vector<Geometry> out;
  Display* d = XOpenDisplay(xs.display().c_str());
  if (!d) return out;
  ::Window root, parent, *kids = nullptr;
  unsigned int n = 0;
  XQueryTree(d, DefaultRootWindow(d), &root, &parent, &kids, &n);
  for (unsigned int k = 0; k < n; k++) {
    XWindowAttributes wa;
    if (!XGetWindowAttributes(d, kids[k], &wa) || wa.map_state != IsViewable) continue;
    char* wn = nullptr;
    XFetchName(d, kids[k], &wn);
    const bool match = name ? (wn && std::strcmp(wn, name) == 0) : !wn;
    if (wn) XFree(wn);
    if (match) out.push_back({wa.x, wa.y, wa.width, wa.height, wa.override_redirect != 0});
  }
  if (kids) XFree(kids);
  XCloseDisplay(d);
  return out;
}

}  // namespace

namespace {
void warppointer(const XServer& xs, int px, int py) {
  Display* d = XOpenDisplay(xs.display().c_str());
  XWarpPointer(d, 0, DefaultRootWindow(d), 0, 0, 0, 0, px, py);
  XSync(d, False);
  XCloseDisplay(d);
}
std::pair<int, int> pointer(const XServer& xs) {
  Display* d = XOpenDisplay(xs.display().c_str());
  ::Window r, c;
  int rx = -1, ry = -1, wx, wy;
  unsigned int m;
  XQueryPointer(d, DefaultRootWindow(d), &r, &c, &rx, &ry, &wx, &wy, &m);
  XCloseDisplay(d);
  return {rx, ry};
}
}  // namespace

TEST_F(WindowE2E, FullScreenCentresTheStimulusOnABlackBackground) {
  warppointer(*x, 100, 90);
  Vistrum v(*x, {"-s", "21", "-winxy", "640", "480", "-waitforpulse", "-1"});
  ASSERT_TRUE(v.waitforwindow());
  const auto stim = toplevels(*x, "vistrum");
  ASSERT_EQ(stim.size(), 1u);
  EXPECT_EQ(stim[0].x, (1280 - 640) / 2);
  EXPECT_EQ(stim[0].y, (1024 - 480) / 2);
  EXPECT_EQ(stim[0].w, 640);
  EXPECT_TRUE(stim[0].overrideredirect);
  bool background = false;
  for (const Geometry& g : toplevels(*x, nullptr))
    if (g.x == 0 && g.y == 0 && g.w == 1280 && g.h == 1024 && g.overrideredirect) background = true;
  EXPECT_TRUE(background);
  v.key("Escape");
  EXPECT_EQ(v.wait(20).status, 0);
  EXPECT_TRUE(toplevels(*x, "vistrum").empty());  // torn down at exit
  EXPECT_EQ(pointer(*x), std::make_pair(100, 90));  // pointer given back where it was
}

TEST_F(WindowE2E, WindowModeHasNoBackgroundAndIsNotMoved) {
  Vistrum v(*x, {"-s", "21", "-winxy", "640", "480", "-nofullscreen", "-waitforpulse", "-1"});
  ASSERT_TRUE(v.waitforwindow());
  const auto stim = toplevels(*x, "vistrum");
  ASSERT_EQ(stim.size(), 1u);
  EXPECT_EQ(stim[0].x, 0);
  EXPECT_EQ(stim[0].y, 0);
  EXPECT_FALSE(stim[0].overrideredirect);
  for (const Geometry& g : toplevels(*x, nullptr)) EXPECT_FALSE(g.w == 1280 && g.h == 1024);
  v.key("Escape");
  EXPECT_EQ(v.wait(20).status, 0);
}

TEST_F(WindowE2E, ExptendZeroEndsAfterTheFirstFrame) {
  RunResult r = runvistrum(*x, {"-s", "21", "-nofullscreen", "-exptend", "0"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(hasline(r, "vistrum: frames: 1, mean interval 0.000 ms, max 0.000 ms, dropped 0 (over 1.5 x median)"))
      << r.out;
}

TEST_F(WindowE2E, DoubleFrameRateDoublesTheWindow) {
  // The 120 Hz mode draws the horizontal/vertical vection dots only.
  RunResult wide = runvistrum(*x, {"-s", "48", "-nofullscreen", "-doubleframerate", "-exptend", "0.3"});
  EXPECT_EQ(wide.status, 0) << wide.out;
  EXPECT_TRUE(hasline(wide, "vistrum: make double-wide GLX window for 120 Hz stereo"));
  EXPECT_TRUE(hasline(wide, "vistrum: 120 Hz stereo window: 2048 x 768"));
  RunResult high = runvistrum(
      *x, {"-s", "48", "-nofullscreen", "-doubleframerate", "-packstereoupdown", "-winxy", "640", "400", "-exptend", "0.3"});
  EXPECT_EQ(high.status, 0) << high.out;
  EXPECT_TRUE(hasline(high, "vistrum: make double-high GLX window for 120 Hz stereo"));
  EXPECT_TRUE(hasline(high, "vistrum: 120 Hz stereo window: 640 x 800"));
}

TEST_F(WindowE2E, StartScaleEnlargesTheTestBoard) {
  // At scale 2 square (c, r) is centred at 2 * (0.04c - 1, 0.04r - 1) units.
  expectboard(boardframe(*x, {"-startstimscale", "2"}), 2.0, {20, 21, 24, 33, 40}, {16, 17, 25, 38});
}

TEST_F(WindowE2E, ArrowKeyHitsScaleByTwoPercentSteps) {
  // 35 steps of 1.02 make very nearly 2: the board grows the same way.
  expectboard(boardframe(*x, {"-arrowkeyhits", "35"}), std::pow(1.02, 35), {22, 25, 30}, {20, 26});
  expectboard(boardframe(*x, {"-arrowkeyhits", "-20"}), std::pow(1.0 / 1.02, 20), {0, 5, 49}, {2, 30, 47});
}

TEST_F(WindowE2E, NoDisplayEndsWithStatusOneAndItsMessage) {
  Vistrum v(*x, {"-s", "21", "-nofullscreen", "-exptend", "0"}, "", {"DISPLAY"});
  RunResult r = v.wait(20);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(hasline(r, "vistrum: ### can't open Xdisplay")) << r.out;
  EXPECT_EQ(r.out.find("vistrum: frames:"), std::string::npos);
}

TEST_F(WindowE2E, UnusableWindowSizeIsRefusedBeforeAnyWindow) {
  // Without the check X refused the window with a protocol error (0 x 0,
  // 100000 wide) or a negative side flipped the picture.
  for (const std::vector<std::string>& size :
       {std::vector<std::string>{"0", "0"}, {"-5", "100"}, {"100000", "100000"}}) {
    const RunResult r = runvistrum(*x, {"-s", "21", "-winxy", size[0], size[1], "-exptend", "0"}, 20);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(hasline(r, "vistrum: ### bad window size " + size[0] + " x " + size[1] +
                               " (-winxy: 1 to 16384 pixels each)"))
        << r.out;
    EXPECT_EQ(r.out.find("X Error"), std::string::npos) << r.out;
  }
  // The 120 Hz mode doubles a side: that size must fit too.
  const RunResult d = runvistrum(*x, {"-s", "21", "-winxy", "10000", "500", "-doubleframerate", "-exptend", "0"}, 20);
  EXPECT_EQ(d.status, 1) << d.out;
  EXPECT_TRUE(hasline(d, "vistrum: ### bad window size 10000 x 500 (-winxy: 1 to 16384 pixels each)")) << d.out;
}
