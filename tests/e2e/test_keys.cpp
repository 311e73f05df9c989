// Start trigger, restart keys, responses and scale keys on the real binary,
// with the event log as the record of what happened.
#include "harness.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <regex>
#include <sstream>

namespace {

class Keys : public XServerSuite<> {
 protected:
  // A background-only run that logs into <cwd>/logs.
  static std::vector<std::string> logged(std::vector<std::string> extra) {
    std::vector<std::string> a = {"-s", "0", "-nofullscreen", "-logfile"};
    a.insert(a.end(), extra.begin(), extra.end());
    return a;
  }
  static std::string newcwd() {
    const std::string d = maketempdir("keys");
    mkdir((d + "/logs").c_str(), 0755);
    return d;
  }
};

std::string logof(const Vistrum& v) {
  const std::string f = findfile(v.cwd() + "/logs", ".log");
  return f.empty() ? "" : readfile(f);
}

size_t count(const Vistrum& v, const std::string& kind) { return loglines(logof(v), kind).size(); }

double timeof(const std::string& line) {
  std::istringstream in(line);
  std::string word;
  double t = -1;
  in >> word >> t;
  return t;
}

void settle() { waituntil([] { return false; }, 0.3); }

}  // namespace

TEST_F(Keys, CountedFiveKeyTriggerStartsOnTheThirdPressThenLogsResponses) {
  Vistrum v(*x, logged({"-fivekeytrigger", "-waitforpulse", "3"}), newcwd());
  ASSERT_TRUE(v.waitforwindow());
  v.key("5");
  v.key("5");
  settle();
  EXPECT_EQ(count(v, "F1-reset:"), 0u);
  EXPECT_EQ(count(v, "KeyEvent:"), 0u);
  v.key("5");
  ASSERT_TRUE(waituntil([&] { return count(v, "StartPulse(-1):") == 1; })) << logof(v);
  EXPECT_EQ(count(v, "F1-reset:"), 1u);
  EXPECT_EQ(count(v, "KeyEvent:"), 0u);  // the counted presses are not responses
  v.key("5");
  v.key("5");
  ASSERT_TRUE(waituntil([&] { return count(v, "KeyEvent:") == 2; })) << logof(v);
  for (const std::string& l : loglines(logof(v), "KeyEvent:"))
    EXPECT_TRUE(std::regex_match(l, std::regex("KeyEvent: +[0-9]+\\.[0-9]{3}   k5"))) << l;
  EXPECT_EQ(count(v, "F1-reset:"), 1u);
  v.key("Escape");
  const RunResult r = v.wait();
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(hasline(r, "vistrum: ### -fivekeytriggerflag: 5-key triggers, logged after")) << r.out;
}

TEST_F(Keys, ScannerPulsesAfterAnF1StartAreLoggedAndRestartNothing) {
  Vistrum v(*x, logged({"-fivekeytrigger", "-waitforpulse", "3"}), newcwd());
  ASSERT_TRUE(v.waitforwindow());
  v.key("F1");
  ASSERT_TRUE(waituntil([&] { return count(v, "StartPulse(-1):") == 1; })) << logof(v);
  sendkeys(*x, {"5", "5", "5", "5"});
  ASSERT_TRUE(waituntil([&] { return count(v, "KeyEvent:") == 4; })) << logof(v);
  EXPECT_EQ(count(v, "F1-reset:"), 1u) << logof(v);
  EXPECT_EQ(count(v, "StartPulse("), 1u) << logof(v);
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
}

TEST_F(Keys, ScaleKeysOnReadyLogTheirOwnScalesAndOneStart) {
  Vistrum v(*x, logged({"-waitforpulse", "-1"}), newcwd());
  ASSERT_TRUE(v.waitforwindow());
  sendkeys(*x, {"Up", "Up", "Up"});
  ASSERT_TRUE(waituntil([&] { return count(v, "CurScale:") == 3; })) << logof(v);
  v.key("F1");
  ASSERT_TRUE(waituntil([&] { return count(v, "StartPulse(-1):") >= 1; })) << logof(v);
  settle();
  const std::string log = logof(v);
  EXPECT_EQ(loglines(log, "StartPulse(").size(), 1u) << log;
  const std::vector<std::string> s = loglines(log, "CurScale:");
  const char* want[] = {"   1.020", "   1.040", "   1.061"};
  for (int k = 0; k < 3; k++) EXPECT_EQ(s[k].substr(s[k].size() - 8), want[k]) << s[k];
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
}

TEST_F(Keys, F2OnTheReadyScreenKeepsWaitingForOneStart) {
  Vistrum v(*x, logged({"-waitforpulse", "-1"}), newcwd());
  ASSERT_TRUE(v.waitforwindow());
  v.key("F2");
  ASSERT_TRUE(waituntil([&] { return count(v, "F2-resetwait:") == 1; })) << logof(v);
  v.key("F1");
  ASSERT_TRUE(waituntil([&] { return count(v, "StartPulse(-1):") >= 1; })) << logof(v);
  settle();
  EXPECT_EQ(count(v, "StartPulse("), 1u) << logof(v);
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
}

TEST_F(Keys, F2ShowsReadyAgainAndTheTriggerCountStartsOver) {
  Vistrum v(*x, logged({"-fivekeytrigger", "-waitforpulse", "2"}), newcwd());
  ASSERT_TRUE(v.waitforwindow());
  // The "Ready" screen is grey 0.25 (the window may be mapped a moment before it is drawn).
  ASSERT_TRUE(waituntil([&] { Image im = grabscreen(*x); return im.ok() && std::abs(im.r(50, 50) - 64) <= 2; }))
      << "no Ready screen";
  v.key("5");
  v.key("5");
  ASSERT_TRUE(waituntil([&] { return count(v, "StartPulse(-1):") == 1; })) << logof(v);
  int seen = -1;
  ASSERT_TRUE(waituntil([&] { Image im = grabscreen(*x); seen = im.ok() ? im.r(50, 50) : -1; return seen >= 0 && std::abs(seen - 64) > 5; }))
      << "running frames show the run's own background, not the Ready grey: " << seen;
  v.key("F2");
  ASSERT_TRUE(waituntil([&] { return count(v, "F2-resetwait:") == 1; })) << logof(v);
  ASSERT_TRUE(waituntil([&] { Image im = grabscreen(*x); return im.ok() && std::abs(im.r(50, 50) - 64) <= 2; }))
      << "F2 shows the Ready screen again";
  v.key("5");
  settle();
  EXPECT_EQ(count(v, "StartPulse(-1):"), 1u);  // one press of two: still waiting
  EXPECT_EQ(count(v, "KeyEvent:"), 0u);
  v.key("5");
  ASSERT_TRUE(waituntil([&] { return count(v, "StartPulse(-1):") == 2; })) << logof(v);
  EXPECT_EQ(count(v, "F1-reset:"), 2u);
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
}

TEST_F(Keys, F1FromReadyLogsAResetAtZeroThenAStartNearZero) {
  Vistrum v(*x, logged({"-waitforpulse", "-1"}), newcwd());
  ASSERT_TRUE(v.waitforwindow());
  v.key("F1");
  ASSERT_TRUE(waituntil([&] { return count(v, "StartPulse(-1):") == 1; })) << logof(v);
  const std::string log = logof(v);
  const std::vector<std::string> reset = loglines(log, "F1-reset:");
  ASSERT_EQ(reset.size(), 1u);
  EXPECT_EQ(reset[0], "F1-reset:           0.000 #####");
  const std::vector<std::string> start = loglines(log, "StartPulse(-1):");
  EXPECT_LT(timeof(start[0]), 0.05) << start[0];
  EXPECT_LT(log.find("F1-reset:"), log.find("StartPulse(-1):"));
  // F1 while running restarts at t = 0: the reset line carries the run time.
  settle();
  v.key("F1");
  ASSERT_TRUE(waituntil([&] { return count(v, "F1-reset:") == 2; }));
  EXPECT_GT(timeof(loglines(logof(v), "F1-reset:")[1]), 0.2);
  v.key("Escape");
  const RunResult r = v.wait();
  EXPECT_EQ(r.status, 0);
  const std::vector<std::string> intr = loglines(logof(v), "Interrupt:");
  ASSERT_EQ(intr.size(), 1u);
  EXPECT_TRUE(std::regex_match(intr[0], std::regex("Interrupt: +[0-9]+\\.[0-9]{3} #####"))) << intr[0];
}

TEST_F(Keys, LinesBeforeTheFirstStartCarryNoRunTime) {
  // A response and Esc on the first "Ready" screen come before any timer
  // reset: no line may carry the unreset clock (it read like 1796899450.055).
  // The response belongs to no run and is left out; Esc is at time 0.
  Vistrum v(*x, logged({"-waitforpulse", "-1"}), newcwd());
  ASSERT_TRUE(v.waitforwindow());
  v.key("3");
  v.key("Escape");  // handled after the "3", in order
  EXPECT_EQ(v.wait().status, 0);
  const std::string log = logof(v);
  const std::vector<std::string> key = loglines(log, "KeyEvent:");
  const std::vector<std::string> intr = loglines(log, "Interrupt:");
  EXPECT_TRUE(key.empty()) << log;
  ASSERT_EQ(intr.size(), 1u) << log;
  EXPECT_EQ(timeof(intr[0]), 0.0) << intr[0];
}

TEST_F(Keys, AMovingPointerDoesNotHoldBackKeyPresses) {
  // Saving frames makes each frame slow, as a real display's refresh does.
  // 400 motion events ahead of a key press: taken one or two per frame they
  // would delay the key by 200 frames, past the end of this 150-frame run.
  const std::string frames = maketempdir("motion");
  Vistrum v(*x, logged({"-saveframes", "150", "60", "-tiffoutdir", frames}), newcwd());
  ASSERT_TRUE(v.waitforwindow());
  v.key("F1");
  ASSERT_TRUE(waituntil([&] { return !findfile(frames, "f00002.tiff").empty(); }));
  std::vector<std::pair<int, int>> path;
  for (int k = 0; k < 400; k++) path.push_back({100 + k % 300, 100 + (k * 7) % 300});
  movesthenkeys(*x, path, {"1", "2"});
  const RunResult r = v.wait(60);
  EXPECT_EQ(r.status, 0);
  const std::vector<std::string> keys = loglines(logof(v), "KeyEvent:");
  ASSERT_EQ(keys.size(), 2u) << logof(v);
  EXPECT_NE(keys[0].find("k1"), std::string::npos);
  EXPECT_NE(keys[1].find("k2"), std::string::npos);
  EXPECT_LT(listdir(frames).size(), 200u);
}

TEST_F(Keys, NoFixationTargetIsLoggedWhileWaiting) {
  // The first call of the target countdown falls on the "Ready" screen, before
  // any timer reset; the log must start its targets with the run.
  // A one-second period keeps the target gaps under 60 frames whatever the
  // random draws before them.
  Vistrum v(*x, logged({"-waitforpulse", "-1", "-fixtarg", "2", "0.5", "-minfrms2nexttg", "3", "-polperiod", "1"}),
            newcwd());
  ASSERT_TRUE(v.waitforwindow());
  settle();
  v.key("F1");
  ASSERT_TRUE(waituntil([&] { return count(v, "FixEvent:") >= 2; })) << logof(v);
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
  const std::string log = logof(v);
  EXPECT_LT(log.find("StartPulse(-1):"), log.find("FixEvent:")) << log;
  for (const std::string& line : loglines(log, "FixEvent:")) EXPECT_LT(timeof(line), 30.0) << line;
}

TEST_F(Keys, DigitsAreLoggedInOrderOnePerFrame) {
  // Saved frames take milliseconds each, so one key per frame shows in the
  // logged times even on a fast software renderer.
  const std::string frames = maketempdir("digits");
  Vistrum v(*x, logged({"-saveframes", "1000", "60", "-tiffoutdir", frames}), newcwd());
  ASSERT_TRUE(v.waitforwindow());
  v.key("F1");
  ASSERT_TRUE(waituntil([&] { return !findfile(frames, "f00001.tiff").empty(); }));
  sendkeys(*x, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"});
  ASSERT_TRUE(waituntil([&] { return count(v, "KeyEvent:") == 10; })) << logof(v);
  const std::vector<std::string> keys = loglines(logof(v), "KeyEvent:");
  const char* want = "1234567890";
  double last = -1;
  int distinct = 0;
  for (size_t k = 0; k < keys.size(); k++) {
    EXPECT_EQ(keys[k].substr(keys[k].size() - 5), std::string("   k") + want[k]) << keys[k];
    const double t = timeof(keys[k]);
    EXPECT_GE(t, last) << keys[k];
    distinct += t > last;
    last = t;
  }
  // Handled in one frame they would share one time stamp; one per frame
  // spreads them out.
  EXPECT_GE(distinct, 6) << logof(v);
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
}

TEST_F(Keys, UpThenDownReturnsTheScaleToOne) {
  Vistrum v(*x, logged({}), newcwd());
  ASSERT_TRUE(v.waitforwindow());
  v.key("Up");
  v.key("Up");
  v.key("Down");
  v.key("Down");
  ASSERT_TRUE(waituntil([&] { return count(v, "CurScale:") == 4; })) << logof(v);
  const std::vector<std::string> s = loglines(logof(v), "CurScale:");
  const char* want[] = {"   1.020", "   1.040", "   1.020", "   1.000"};
  for (int k = 0; k < 4; k++) EXPECT_EQ(s[k].substr(s[k].size() - 8), want[k]) << s[k];
  v.key("Escape");
  const RunResult r = v.wait();
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(hasline(r, "  -startstimscale 1.00000 \\")) << r.out;
}

TEST_F(Keys, AKilledRunKeepsEveryLoggedLine) {
  Vistrum v(*x, logged({}), newcwd());
  ASSERT_TRUE(v.waitforwindow());
  sendkeys(*x, {"1", "2", "3"});
  ASSERT_TRUE(waituntil([&] { return count(v, "KeyEvent:") == 3; })) << logof(v);
  kill(v.pid(), SIGKILL);
  const RunResult r = v.wait();
  EXPECT_EQ(r.status, -1);
  const std::string log = logof(v);
  EXPECT_EQ(loglines(log, "KeyEvent:").size(), 3u) << log;
  EXPECT_EQ(log.rfind("###############################\n", 0), 0u) << log;
  EXPECT_EQ(log.back(), '\n') << "the last line was cut: " << log;
  // The frame record beside it: every frame drawn up to the kill, whole lines.
  const std::string frames = readfile(findfile(v.cwd() + "/logs", "_frames.tsv"));
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames.back(), '\n') << "the last frame line was cut";
  std::istringstream in(frames);
  std::string line;
  std::getline(in, line);  // "# vistrum frame record of ..."
  std::getline(in, line);
  EXPECT_EQ(line, "frame\tt\tswap\tinterval");
  int frame = 0;
  while (std::getline(in, line)) {
    EXPECT_EQ(std::stoi(line), ++frame) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;
  }
  EXPECT_GT(frame, 0);
}

TEST_F(Keys, AGivenConditionOrderEndsOnDoneAndIsLoggedOnce) {
  Vistrum v(*x, {"-s", "77", "-nofullscreen", "-logfile", "-condlist", "1", "0", "-blockperiod", "0.4"}, newcwd());
  ASSERT_TRUE(v.waitforwindow());
  ASSERT_TRUE(waituntil([&] { return count(v, "RndBlkExptDone:") == 1; })) << logof(v) << v.output();
  // The "Done" screen: the waiting-screen grey with the label just above
  // the fixation mark at the centre.
  ASSERT_TRUE(waituntil([&] {
    const Image im = grabscreen(*x);
    if (!im.ok() || std::abs(im.r(20, 20) - 64) > 2) return false;
    for (int py = 320; py < 384; py++)
      for (int px = 470; px < 560; px++)
        if (std::abs(im.r(px, py) - 102) <= 3) return true;
    return false;
  })) << "no Done screen";
  settle();
  const std::string log = logof(v);
  EXPECT_EQ(loglines(log, "RndBlkExptDone:").size(), 1u) << log;
  EXPECT_EQ(loglines(log, "InitRndBlk:").size(), 1u);
  const std::vector<std::string> stim = loglines(log, "StimEvent:");
  ASSERT_EQ(stim.size(), 2u) << log;
  EXPECT_NE(stim[0].find("   monL (1)"), std::string::npos) << stim[0];
  EXPECT_NE(stim[1].find("   off (0)"), std::string::npos) << stim[1];
  // Changes also go to standard output, at once (it is the record when no log is kept).
  EXPECT_NE(v.output().find("StimEvent: "), std::string::npos) << v.output();
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
}

TEST_F(Keys, ApostropheAndCapitalTTriggersCountOnlyTheirOwnKey) {
  struct Case {
    const char* option;
    const char* trigger;
    std::vector<std::string> others;  // keys that must not count
  } cases[] = {{"-apostrophetrigger", "apostrophe", {"5", "T", "t"}}, {"-captkeytrigger", "T", {"5", "t", "apostrophe"}}};
  for (const Case& c : cases) {
    Vistrum v(*x, logged({c.option, "-waitforpulse", "2"}), newcwd());
    ASSERT_TRUE(v.waitforwindow()) << c.option;
    sendkeys(*x, c.others);
    v.key(c.trigger);
    settle();
    EXPECT_EQ(count(v, "StartPulse("), 0u) << c.option << "\n" << logof(v);
    v.key(c.trigger);
    ASSERT_TRUE(waituntil([&] { return count(v, "StartPulse(-1):") == 1; })) << c.option << "\n" << logof(v);
    EXPECT_EQ(count(v, "F1-reset:"), 1u) << c.option;
    // While another key is the trigger, 5 is a response like any digit once
    // the run has started (the one before the start belongs to no run).
    sendkeys(*x, {"5", "5"});
    ASSERT_TRUE(waituntil([&] { return count(v, "KeyEvent:") == 2; })) << c.option << "\n" << logof(v);
    const std::string log = logof(v);
    EXPECT_GT(log.find("KeyEvent:"), log.find("StartPulse(")) << log;
    for (const std::string& l : loglines(log, "KeyEvent:")) EXPECT_EQ(l.substr(l.size() - 5), "   k5") << l;
    v.key("Escape");
    EXPECT_EQ(v.wait().status, 0) << c.option;
  }
}

TEST_F(Keys, StereoAndEyeOffsetKeysPrintTheirNewValues) {
  Vistrum v(*x, logged({"-stereoLred", "1.0", "-stereoRblu", "0.0", "-interocdist", "0.5", "-vertdisp", "0"}), newcwd());
  ASSERT_TRUE(v.waitforwindow());
  settle();
  // r lowers left red, B leaves right blue at 0 (it only moves down while
  // above 0), g and R raise by 0.01; O and v move the eye offsets; then the
  // two presets. The keys queue up and are handled in order before Esc.
  sendkeys(*x, {"r", "B", "g", "R", "O", "v", "z"});
  settle();
  sendkeys(*x, {"Z", "Escape"});
  const RunResult r = v.wait();
  EXPECT_EQ(r.status, 0);
  // The printouts, in key order.
  std::vector<std::string> seen;
  for (const std::string& l : r.lines())
    if (l.rfind("  -stereo", 0) == 0 || l.rfind("  -interocdist", 0) == 0 || l.rfind("  -vertdisp", 0) == 0) seen.push_back(l);
  auto block = [&](size_t from, const std::vector<std::string>& want) {
    for (size_t k = 0; k < want.size(); k++)
      EXPECT_EQ(from + k < seen.size() ? seen[from + k] : "", want[k]) << "line " << from + k;
  };
  ASSERT_EQ(seen.size(), 6 * 6 + 2 * 2u) << r.out;
  block(0, {"  -stereoLred 0.99 \\", "  -stereoLgrn 0.00 \\", "  -stereoLblu 0.00 \\", "  -stereoRred 0.00 \\",
            "  -stereoRgrn 0.00 \\", "  -stereoRblu 0.00 \\"});
  block(6, {"  -stereoLred 0.99 \\", "  -stereoLgrn 0.00 \\", "  -stereoLblu 0.00 \\", "  -stereoRred 0.00 \\",
            "  -stereoRgrn 0.00 \\", "  -stereoRblu 0.00 \\"});
  block(12, {"  -stereoLred 0.99 \\", "  -stereoLgrn 0.01 \\"});
  block(18, {"  -stereoLred 0.99 \\", "  -stereoLgrn 0.01 \\", "  -stereoLblu 0.00 \\", "  -stereoRred 0.01 \\"});
  block(24, {"  -interocdist 0.51000 \\", "  -vertdisp 0.000 \\"});
  block(26, {"  -interocdist 0.51000 \\", "  -vertdisp -0.010 \\"});
  block(28, {"  -stereoLred 0.80 \\", "  -stereoLgrn 0.00 \\", "  -stereoLblu 0.00 \\", "  -stereoRred 0.00 \\",
             "  -stereoRgrn 0.00 \\", "  -stereoRblu 1.00 \\"});
  block(34, {"  -stereoLred 1.00 \\", "  -stereoLgrn 0.00 \\", "  -stereoLblu 0.00 \\", "  -stereoRred 0.00 \\",
             "  -stereoRgrn 0.00 \\", "  -stereoRblu 1.00 \\"});
}
