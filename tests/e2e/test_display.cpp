// The scanner display: the gamma table loaded into the server's RandR ramps
// and put back at each kind of exit, and the swap-sync check before a start.
#include "harness.h"

#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that gtest uses as names.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <csignal>
#include <cmath>
#include <fstream>
#include <regex>

namespace {

struct Ramp {
  std::vector<unsigned short> r, g, b;
  bool operator==(const Ramp& o) const { return r == o.r && g == o.g && b == o.b; }
};

// The test's own connection to the server: reads and sets the ramp of the
// first CRTC. It stays open for the test, so that the server keeps its state.
class RampReader {
 public:
  explicit RampReader(const XServer& x) : d_(XOpenDisplay(x.display().c_str())) {
    if (!d_) return;
    XRRScreenResources* res = XRRGetScreenResources(d_, DefaultRootWindow(d_));
    if (res && res->ncrtc > 0) crtc_ = res->crtcs[0];
    if (res) XRRFreeScreenResources(res);
  }
  ~RampReader() {
    if (d_) XCloseDisplay(d_);
  }
  bool ok() const { return d_ && crtc_ && XRRGetCrtcGammaSize(d_, crtc_) > 1; }
  Ramp read() const {
    Ramp out;
    XRRCrtcGamma* g = XRRGetCrtcGamma(d_, crtc_);
    if (!g) return out;
    out.r.assign(g->red, g->red + g->size);
    out.g.assign(g->green, g->green + g->size);
    out.b.assign(g->blue, g->blue + g->size);
    XRRFreeGamma(g);
    return out;
  }
  // A ramp no gamma file of these tests makes: what the operator had.
  Ramp setknown() {
    const int n = XRRGetCrtcGammaSize(d_, crtc_);
    XRRCrtcGamma* g = XRRAllocGamma(n);
    for (int k = 0; k < n; k++) {
      g->red[k] = static_cast<unsigned short>(k * 200);
      g->green[k] = static_cast<unsigned short>(k * 100 + 7);
      g->blue[k] = static_cast<unsigned short>(60000 - k * 50);
    }
    XRRSetCrtcGamma(d_, crtc_, g);
    XRRFreeGamma(g);
    XSync(d_, False);
    return read();
  }

 private:
  Display* d_ = nullptr;
  RRCrtc crtc_ = 0;
};

class DisplayE2E : public XServerSuite<> {
 protected:
  void SetUp() override {
    XServerSuite<>::SetUp();
    dir = maketempdir("display");
    gammafile = dir + "/scanner.gamma";
    std::ofstream(gammafile) << "# measured at the scanner\ngamma 2.0 1.0 0.5\n";
  }
  void TearDown() override { removetree(dir); }
  std::string dir, gammafile;
};

bool says(const Vistrum& v, const std::string& text) { return v.output().find(text) != std::string::npos; }

// The ramp a "gamma 2.0 1.0 0.5" file gives, checked at one input level.
void expectloaded(const Ramp& got) {
  ASSERT_EQ(got.r.size(), 256u);
  const double x = 64.0 / 255;
  EXPECT_NEAR(got.r[64], 65535 * std::sqrt(x), 1);
  EXPECT_NEAR(got.g[64], 65535 * x, 1);
  EXPECT_NEAR(got.b[64], 65535 * x * x, 1);
  EXPECT_EQ(got.r[255], 65535);
}

const std::regex kSyncLine("vistrum: display: [0-9.]+ Hz measured over 61 swaps, swaps not synchronised to it\n");

}  // namespace

TEST_F(DisplayE2E, GammaLoadedForTheRunAndPutBackOnEsc) {
  RampReader rr(*x);
  ASSERT_TRUE(rr.ok()) << "Xvfb has no RandR gamma ramp";
  const Ramp before = rr.setknown();
  Vistrum v(*x, {"-s", "0", "-nofullscreen", "-gammafile", gammafile}, dir);
  // The sync check comes after the ramp is loaded: the run is on "Ready".
  ASSERT_TRUE(waituntil([&] { return says(v, "vistrum: display: ") || !v.running(); }, 30)) << v.output();
  EXPECT_TRUE(says(v, "vistrum: gamma: " + gammafile + " (exponents 2.00 1.00 0.50) loaded into 1 CRTC ramp(s) of 256 entries\n"))
      << v.output();
  expectloaded(rr.read());
  v.key("Escape");
  EXPECT_EQ(v.wait(30).status, 0);
  EXPECT_TRUE(rr.read() == before);
}

TEST_F(DisplayE2E, GammaPutBackOnSigtermSavedFramesEndAndRefusedStart) {
  RampReader rr(*x);
  ASSERT_TRUE(rr.ok());
  const Ramp before = rr.setknown();
  {
    // A measured table of three rows, spread over the ramp.
    std::ofstream(gammafile) << "0 0 0\n0.25 0.5 0.75\n1 1 1\n";
    Vistrum v(*x, {"-s", "0", "-nofullscreen", "-gammafile", gammafile}, dir);
    ASSERT_TRUE(waituntil([&] { return says(v, "vistrum: display: ") || !v.running(); }, 30)) << v.output();
    const Ramp during = rr.read();
    ASSERT_EQ(during.g.size(), 256u);
    EXPECT_NEAR(during.g[51], 65535 * 0.2, 1);  // 0.4 of the way to row 1 (0.5)
    kill(v.pid(), SIGTERM);
    const RunResult r = v.wait(30);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(rr.read() == before) << "after SIGTERM";
  }
  std::ofstream(gammafile) << "gamma 2.0 1.0 0.5\n";
  {
    // Frames saved: no sync check (the run steps its own time), ramp put back at the end.
    const SavedRun s = saverun(*x, {"-s", "0", "-nofullscreen", "-gammafile", gammafile}, 2, 60);
    EXPECT_EQ(s.result.status, 0) << s.result.out;
    EXPECT_NE(s.result.out.find("vistrum: gamma: "), std::string::npos) << s.result.out;
    EXPECT_EQ(s.result.out.find("vistrum: display: "), std::string::npos) << s.result.out;
    EXPECT_TRUE(rr.read() == before) << "after saved frames";
  }
  {
    // Xvfb has no vblank: -requiresync refuses, after the ramp was loaded.
    const RunResult r = runvistrum(*x, {"-s", "0", "-nofullscreen", "-gammafile", gammafile, "-requiresync"}, 30, dir);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("vistrum: gamma: "), std::string::npos) << r.out;
    EXPECT_TRUE(hasline(r, "vistrum: ### -requiresync: start refused: swaps not synchronised")) << r.out;
    EXPECT_TRUE(rr.read() == before) << "after a refused start";
  }
}

TEST_F(DisplayE2E, MalformedGammaFileRefusedBeforeTheWindow) {
  std::ofstream(gammafile) << "# r g b\n0 0 0\n0.5 0.5\n1 1 1\n";
  const RunResult r = runvistrum(*x, {"-s", "0", "-nofullscreen", "-gammafile", gammafile}, 30, dir);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(hasline(r, "vistrum: ### " + gammafile + " line 3: expected 3 values r g b, found 2")) << r.out;
  EXPECT_EQ(r.out.find("vistrum: display: "), std::string::npos) << r.out;
  const RunResult none = runvistrum(*x, {"-s", "0", "-nofullscreen", "-gammafile", dir + "/absent"}, 30, dir);
  EXPECT_EQ(none.status, 1);
  EXPECT_TRUE(hasline(none, "vistrum: ### can't read -gammafile " + dir + "/absent: No such file or directory"))
      << none.out;
}

TEST_F(DisplayE2E, SyncCheckPrintedWarnedAndInTheLogHeader) {
  const RunResult r =
      runvistrum(*x, {"-s", "0", "-nofullscreen", "-logfile", "-waitforpulse", "0", "-exptend", "0.2"}, 30, dir);
  ASSERT_EQ(r.status, 0) << r.out;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(r.out, m, kSyncLine)) << r.out;
  EXPECT_NE(r.out.find("vistrum: ### swaps not synchronised to the display refresh (median interval "),
            std::string::npos)
      << r.out;
  const std::string log = readfile(findfile(dir + "/logs", ".log"));
  const std::string header = m.str().substr(std::string("vistrum: ").size());
  const size_t at = log.find(header);
  ASSERT_NE(at, std::string::npos) << log;
  // Before the first event line of the run.
  EXPECT_LT(at, log.find("ExptEnd:")) << log;
}
