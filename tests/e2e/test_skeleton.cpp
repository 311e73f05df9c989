// The run skeleton end to end: start-up rules, the frame loop, frame saving
// and the test pattern, checked on the real binary in a private X server.
#include "harness.h"

#include <signal.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <sstream>

namespace {

class Skeleton : public XServerSuite<> {
 protected:

  // Runs with frame saving, pressing F1 on the save-frames wait screen.
  static RunResult saveframes(const std::vector<std::string>& args, const std::string& outdir) {
    std::vector<std::string> a = args;
    a.insert(a.end(), {"-tiffoutdir", outdir});
    Vistrum v(*x, a);
    EXPECT_TRUE(v.waitforwindow());
    v.key("F1");
    return v.wait(60);
  }
};
int pixx(double u) { return unitpixx(u); }
int pixy(double v) { return unitpixy(v); }

}  // namespace

TEST_F(Skeleton, RejectedTypesExitWithStatusOneAndNoWindow) {
  for (const char* n : {"116", "121", "129", "130", "-3"}) {
    RunResult r = runvistrum(*x, {"-s", n, "-nofullscreen", "-exptend", "1"});
    EXPECT_EQ(r.status, 1) << n;
    EXPECT_TRUE(hasline(r, std::string("vistrum: ### no -stimtype ") + n)) << r.out;
  }
}

TEST_F(Skeleton, RefusedTypeWithoutOptionsIsStillReported) {
  RunResult r = runvistrum(*x, {"-s", "116"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "vistrum: ### no -stimtype 116\n");
  RunResult wrapped = runvistrum(*x, {"-s", "4294967306"});  // 2^32 + 10
  EXPECT_EQ(wrapped.status, 1);
}

TEST_F(Skeleton, FixationPeriodsAroundTheStimulusAndTheDoneWait) {
  const std::string cwd = maketempdir("prepost");
  mkdir((cwd + "/logs").c_str(), 0755);
  Vistrum v(*x, {"-s", "0", "-nofullscreen", "-logfile", "-prepostfix", "0.3", "-runperiod", "0.4"}, cwd);
  ASSERT_TRUE(v.waitforwindow());
  auto logtext = [&] {
    const std::string name = findfile(cwd + "/logs", ".log");
    return name.empty() ? std::string() : readfile(name);
  };
  ASSERT_TRUE(waituntil([&] { return logtext().find("EndPostPer:") != std::string::npos; }, 20)) << logtext();
  // The "Done" screen waits: nothing more happens by itself.
  const std::string waiting = logtext();
  usleep(600000);
  EXPECT_TRUE(v.running());
  EXPECT_EQ(logtext(), waiting);
  // F1 starts the run again with its pre-period.
  v.key("F1");
  ASSERT_TRUE(waituntil([&] { const std::string t = logtext(); return t.find("EndPrePer:", t.find("EndPostPer:")) != std::string::npos; }, 20))
      << logtext();
  v.key("Escape");
  RunResult r = v.wait(20);
  EXPECT_EQ(r.status, 0) << r.out;
  std::vector<std::string> order;
  std::istringstream in(logtext());
  for (std::string l; std::getline(in, l);)
    for (const char* w : {"EndPrePer:", "PrePerReset:", "EndPeriod:", "EndPostPer:", "Interrupt:"})
      if (l.rfind(w, 0) == 0) order.push_back(w);
  EXPECT_EQ(order, (std::vector<std::string>{"EndPrePer:", "PrePerReset:", "EndPeriod:", "EndPostPer:", "EndPrePer:",
                                             "PrePerReset:", "Interrupt:"}))
      << logtext();
  double pre = 0, reset = 1, end = 0;
  const std::string t = logtext();
  ASSERT_EQ(std::sscanf(t.c_str() + t.find("EndPrePer:"), "EndPrePer: %lf #####\nPrePerReset: %lf\nEndPeriod: %lf", &pre,
                        &reset, &end),
            3)
      << t;
  EXPECT_GE(pre, 0.3);
  EXPECT_LT(reset, 0.05);  // the stimulus time starts again after the pre-period
  EXPECT_GE(end, 0.4);
  EXPECT_LT(end, 0.7);
}

TEST_F(Skeleton, FirstArgumentMustBeTheType) {
  RunResult r = runvistrum(*x, {"-polperiod", "64", "-s", "10"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "vistrum: ### first arg not \"-stimtype\" (\"-s\") or \"-helpstim\" (\"-h\")\n");
}

TEST_F(Skeleton, TooFewWordsShowWhereToLookNextAndHelpHasItsGnuSpelling) {
  // A first try without a type used to print nothing at all.
  for (std::vector<std::string> args :
       {std::vector<std::string>{}, {"-s"}, {"-h"}, {"-help"}, {"--help"}}) {
    RunResult r = runvistrum(*x, args);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(hasline(r, "use: vistrum -stimtype/-s <num> [opts ...]")) << r.out;
    EXPECT_TRUE(hasline(r, "  vistrum -s 10 -help       all stimulus types, options and hotkeys")) << r.out;
    EXPECT_TRUE(hasline(r, "  man vistrum               the manual")) << r.out;
  }
  // --help is taken wherever -help is, and prints the same text.
  RunResult single = runvistrum(*x, {"-s", "10", "-help"});
  RunResult gnu = runvistrum(*x, {"-s", "10", "-polperiod", "32", "--help"});
  EXPECT_EQ(gnu.status, 0);
  EXPECT_EQ(gnu.out, single.out);
  EXPECT_TRUE(hasline(gnu, " Options:")) << gnu.out;
}

TEST_F(Skeleton, TheTypeAloneRunsItWithItsDefaults) {
  Vistrum v(*x, {"-s", "10"});
  ASSERT_TRUE(v.waitforwindow());
  v.key("Escape");
  RunResult r = v.wait(20);
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(hasline(r, "vistrum: initfont luxisb.ttf")) << r.out;
}

TEST_F(Skeleton, MessagesOfAKilledRunAreNotLost) {
  Vistrum v(*x, {"-s", "10"});
  ASSERT_TRUE(v.waitforwindow());
  ASSERT_EQ(kill(v.pid(), SIGKILL), 0);
  RunResult r = v.wait(20);
  EXPECT_TRUE(hasline(r, "vistrum: initfont luxisb.ttf")) << r.out;
}

TEST_F(Skeleton, HelpOnATypePrintsItsFileExactly) {
  RunResult r = runvistrum(*x, {"-h", "10"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, readfile(sourcedir() + "/lib/help/s10"));
  // An installation folder that does not exist is refused before any help.
  Vistrum missing(*x, {"-helpstim", "20"}, "", {"VISTRUM_DIR=/nonexistent"});
  RunResult m = missing.wait(20);
  EXPECT_EQ(m.status, 1);
  EXPECT_EQ(m.out, "vistrum: ### VISTRUM_DIR /nonexistent not found (No such file or directory)\n");
  RunResult bad = runvistrum(*x, {"-h", "116"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "vistrum: ### no -stimtype 116\n");
}

TEST_F(Skeleton, UnknownOptionIsRefused) {
  RunResult r = runvistrum(*x, {"-s", "10", "-nosuchoption"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(hasline(r, "vistrum: ### bad option: => -nosuchoption <=")) << r.out;
}

TEST_F(Skeleton, ExptendEndsTheRunWithStatusZeroAndTimingLine) {
  RunResult r = runvistrum(*x, {"-s", "21", "-nofullscreen", "-exptend", "0.5"}, 30);
  ASSERT_FALSE(r.timedout);
  EXPECT_EQ(r.status, 0) << r.out;
  bool timing = false;
  for (const std::string& l : r.lines()) {
    if (l.rfind("vistrum: frames: ", 0) != 0) continue;
    timing = true;
    int frames = 0, dropped = -1;
    double mean = 0, mx = 0;
    ASSERT_EQ(std::sscanf(l.c_str(), "vistrum: frames: %d, mean interval %lf ms, max %lf ms, dropped %d", &frames,
                          &mean, &mx, &dropped),
              4)
        << l;
    EXPECT_GT(frames, 1);
    EXPECT_GT(mean, 0.0);
    EXPECT_GE(mx, mean);
    EXPECT_GE(dropped, 0);
    EXPECT_LT(dropped, frames);
  }
  EXPECT_TRUE(timing) << r.out;
}

TEST_F(Skeleton, MissingInstallDirIsAnnouncedAndLookedUpHere) {
  Vistrum v(*x, {"-s", "21", "-nofullscreen", "-exptend", "0"}, "", {"VISTRUM_DIR"});
  RunResult r = v.wait(30);
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(hasline(r, "vistrum: env var VISTRUM_DIR undef'd: assume pwd")) << r.out;
}

TEST_F(Skeleton, SaveFramesWritesExactlyTheRequestedFiles) {
  const std::string dir = maketempdir("frames");
  RunResult r = saveframes({"-s", "21", "-saveframes", "3", "30", "-framerate", "30", "-firstframetime", "2"}, dir);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(listdir(dir), (std::vector<std::string>{"f00000.tiff", "f00001.tiff", "f00002.tiff"}));
  const Image img = readimage(dir + "/f00001.tiff");
  ASSERT_TRUE(img.ok());
  EXPECT_EQ(img.width, 1024);
  EXPECT_EQ(img.height, 768);
  EXPECT_EQ(img.samples, 4);
  EXPECT_EQ(img.stripbytes, 3145728u);
  EXPECT_EQ(img.compression, 5);  // LZW
  EXPECT_EQ(img.orientation, 1);
  // An unassigned type shows the background grey 0.5 away from fixation.
  for (auto [u, v] : {std::pair{-1.2, 0.9}, {1.3, -1.0}, {0.5, 0.5}}) {
    EXPECT_NEAR(img.r(pixx(u), pixy(v)), 128, 1);
    EXPECT_NEAR(img.g(pixx(u), pixy(v)), 128, 1);
    EXPECT_NEAR(img.b(pixx(u), pixy(v)), 128, 1);
  }
}

TEST_F(Skeleton, SavedFramesFollowFrameNumbersNotTheClock) {
  // Frame k shows t = firstframetime + k / rate: the second frame of one run
  // equals the first frame of a run that starts one frame later.
  const std::string a = maketempdir("framesA"), b = maketempdir("framesB");
  EXPECT_EQ(saveframes({"-s", "10", "-saveframes", "2", "30", "-framerate", "30", "-firstframetime", "2"}, a).status, 0);
  EXPECT_EQ(saveframes({"-s", "10", "-saveframes", "1", "30", "-framerate", "30", "-firstframetime", "2.0333333333333333"}, b).status, 0);
  const Image a0 = readimage(a + "/f00000.tiff"), a1 = readimage(a + "/f00001.tiff"), b0 = readimage(b + "/f00000.tiff");
  ASSERT_TRUE(a0.ok() && a1.ok() && b0.ok());
  EXPECT_TRUE(a1.rgba == b0.rgba);
  EXPECT_FALSE(a0.rgba == a1.rgba);  // the wedge moved between the frames
}

TEST_F(Skeleton, NoSaveTransparencyWritesThreeSamples) {
  const std::string dir = maketempdir("frames3");
  RunResult r = saveframes({"-s", "21", "-saveframes", "1", "60", "-nosavetransparency", "-bgwingray", "0.25"}, dir);
  EXPECT_EQ(r.status, 0) << r.out;
  const Image img = readimage(dir + "/f00000.tiff");
  ASSERT_TRUE(img.ok());
  EXPECT_EQ(img.samples, 3);
  EXPECT_EQ(img.stripbytes, 2359296u);
  EXPECT_NEAR(img.r(100, 100), 64, 1);
  EXPECT_EQ(img.a(100, 100), 255);
}

TEST_F(Skeleton, TestPatternBoardAndItsInversion) {
  const std::string dir = maketempdir("board");
  RunResult r = saveframes({"-s", "9999", "-saveframes", "2", "60"}, dir);
  EXPECT_EQ(r.status, 0) << r.out;
  const Image f0 = readimage(dir + "/f00000.tiff");
  const Image f1 = readimage(dir + "/f00001.tiff");
  ASSERT_TRUE(f0.ok() && f1.ok());
  // Square (c, r) is centred at (0.04c - 1, 0.04r - 1); (0, 0) starts white.
  for (int c : {0, 1, 7, 12, 30, 49}) {
    for (int rr : {0, 3, 10, 41, 49}) {
      const int px = pixx(0.04 * c - 1.0), py = pixy(0.04 * rr - 1.0);
      const int want = (c + rr) % 2 == 0 ? 255 : 0;
      EXPECT_EQ(f0.r(px, py), want) << c << "," << rr;
      EXPECT_EQ(f0.b(px, py), want) << c << "," << rr;
      EXPECT_EQ(f1.r(px, py), 255 - want) << c << "," << rr;
    }
  }
  // Outside the board (beyond 0.98 + 0.02 units) is background.
  EXPECT_NEAR(f0.r(pixx(1.3), pixy(0.0)), 128, 1);
  EXPECT_NEAR(f0.r(pixx(0.0), pixy(1.1)), 128, 1);
}

TEST_F(Skeleton, BadTiffOutDirIsFatal) {
  RunResult r = runvistrum(*x, {"-s", "21", "-saveframes", "1", "60", "-tiffoutdir", "/nonexistent/frames"});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(hasline(r, "vistrum: ### tiffoutdir /nonexistent/frames not found  ...quitting")) << r.out;
}

TEST_F(Skeleton, EscapeEndsAWaitingRun) {
  Vistrum v(*x, {"-s", "10", "-waitforpulse", "-1"});
  ASSERT_TRUE(v.waitforwindow());
  v.key("Escape");
  RunResult r = v.wait(20);
  EXPECT_FALSE(r.timedout);
  EXPECT_EQ(r.status, 0);
}
