// Full screen on one monitor of several (the operator's 640x480 beside the
// projector's 800x600): the background window covers the chosen monitor
// exactly and the stimulus window sits centred on it. Two servers: one
// screen with two RandR monitors side by side (chosen by number or name),
// and two screens joined by Xinerama (whose heads Xvfb lays at one origin).
#include "harness.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <string>
#include <vector>

namespace {

class MonitorWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { x = new XServer(1440, 600); }
  static void TearDownTestSuite() {
    delete x;
    x = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(x && x->ok()) << "Xvfb did not start"; }
  static inline XServer* x = nullptr;
};

struct Box {
  int x, y, w, h;
  bool operator==(const Box& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

// The mapped top-level windows, in root coordinates.
std::vector<Box> toplevels(const XServer& xs) {
  std::vector<Box> v;
  Display* d = XOpenDisplay(xs.display().c_str());
  if (!d) return v;
  Window root = DefaultRootWindow(d), parent, *kids = nullptr;
  unsigned n = 0;
  if (XQueryTree(d, root, &root, &parent, &kids, &n)) {
    for (unsigned k = 0; k < n; k++) {
      XWindowAttributes a{};
      if (!XGetWindowAttributes(d, kids[k], &a) || a.map_state != IsViewable) continue;
      v.push_back({a.x, a.y, a.width, a.height});
    }
    XFree(kids);
  }
  XCloseDisplay(d);
  return v;
}

bool has(const std::vector<Box>& v, const Box& b) {
  for (const Box& w : v)
    if (w == b) return true;
  return false;
}

// Two RandR monitors on the server's one screen, as a desktop with a
// projector beside its own screen has them.
void setmonitors(const XServer& xs) {
  Display* d = XOpenDisplay(xs.display().c_str());
  ASSERT_NE(d, nullptr);
  struct M {
    const char* name;
    int x, w, h;
  };
  for (const M& m : {M{"left", 0, 640, 480}, M{"right", 640, 800, 600}}) {
    XRRMonitorInfo* info = XRRAllocateMonitor(d, 0);
    info->name = XInternAtom(d, m.name, False);
    info->x = m.x;
    info->y = 0;
    info->width = m.w;
    info->height = m.h;
    info->mwidth = m.w / 4;
    info->mheight = m.h / 4;
    XRRSetMonitor(d, DefaultRootWindow(d), info);
    XRRFreeMonitors(info);
  }
  XSync(d, False);
  XCloseDisplay(d);
}

void expectcovers(const XServer& xs, const char* which, const Box& mon) {
  Vistrum v(xs, {"-s", "10", "-winxy", "400", "300", "-monitor", which});
  ASSERT_TRUE(v.waitforwindow()) << v.output();
  const Box stim{mon.x + (mon.w - 400) / 2, mon.y + (mon.h - 300) / 2, 400, 300};
  EXPECT_TRUE(waituntil([&] { return has(toplevels(xs), mon) && has(toplevels(xs), stim); }))
      << "monitor " << which << "\n" << [&] {
           std::string s;
           for (const Box& b : toplevels(xs))
             s += std::to_string(b.x) + "," + std::to_string(b.y) + " " + std::to_string(b.w) + "x" + std::to_string(b.h) + "; ";
           return s;
         }() << "\n" << v.output();
  EXPECT_NE(v.output().find(" " + std::to_string(mon.w) + " x " + std::to_string(mon.h) + " at " + std::to_string(mon.x) +
                            "," + std::to_string(mon.y)),
            std::string::npos)
      << v.output();
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
}

}  // namespace

TEST_F(MonitorWindow, FullScreenCoversTheChosenMonitorExactly) {
  setmonitors(*x);
  expectcovers(*x, "right", {640, 0, 800, 600});
  expectcovers(*x, "0", {0, 0, 640, 480});
  const RunResult bad = runvistrum(*x, {"-s", "10", "-monitor", "7"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_TRUE(hasline(bad, "vistrum: ### -monitor 7: no such monitor; the display has 0 (left) 1 (right) 2 (screen)")) << bad.out;
  // Xinerama's heads, by number.
  XServer joined(640, 480, {"-screen", "1", "800x600x24", "+xinerama"});
  ASSERT_TRUE(joined.ok());
  expectcovers(joined, "1", {0, 0, 800, 600});
}
