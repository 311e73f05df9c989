// Run core computations: fixation-only periods, time printing, display
// units, scale steps, frame statistics and the start-up argument rules.
#include "config/params.h"
#include "core/frametiming.h"
#include "core/prepost.h"
#include "core/projection.h"
#include "core/runstate.h"
#include "core/startup.h"
#include "core/timer.h"
#include "keepglobals.h"
#include "draw/ring.h"
#include "stimuli/catalogue.h"

#include <gtest/gtest.h>
// After gtest: Xlib defines macros (None, Bool) that gtest uses as names.
#include "core/window.h"
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

std::string timetext(double s) {
  char buf[64];
  formattime(buf, sizeof buf, s);
  return buf;
}

std::vector<char*> argvof(std::vector<std::string>& words) {
  std::vector<char*> v;
  for (std::string& w : words) v.push_back(w.data());
  v.push_back(nullptr);
  return v;
}

}  // namespace

TEST(PrePostPeriods, WalkThroughPreStimulusPostAndRestart) {
  int predone = 0, endlogged = 0;
  const float fix = 10.0f, rate = 0.01f;  // 10 s fixation, 100 s stimulus
  EXPECT_EQ(prepostactions(predone, endlogged, 0.0, fix, rate), PP_FIXONLY);
  EXPECT_EQ(prepostactions(predone, endlogged, 10.0, fix, rate), PP_FIXONLY);  // inclusive
  EXPECT_EQ(prepostactions(predone, endlogged, 10.01, fix, rate), PP_FIXONLY | PP_ENDPRE);
  EXPECT_EQ(predone, 1);
  // The timer restarts after the pre-period: stimulus drawn for t in (0, 100].
  EXPECT_EQ(prepostactions(predone, endlogged, 0.001, fix, rate), 0);
  EXPECT_EQ(prepostactions(predone, endlogged, 100.0, fix, rate), 0);
  EXPECT_EQ(prepostactions(predone, endlogged, 100.02, fix, rate), PP_FIXONLY | PP_ENDPERIOD);
  EXPECT_EQ(prepostactions(predone, endlogged, 105.0, fix, rate), PP_FIXONLY);  // logged only once
  EXPECT_EQ(prepostactions(predone, endlogged, 110.01, fix, rate), PP_FIXONLY | PP_ENDPOST);
  // A start key clears predone: the next run begins with its pre-period again.
  predone = 0;
  EXPECT_EQ(prepostactions(predone, endlogged, 0.5, fix, rate), PP_FIXONLY);
  EXPECT_EQ(endlogged, 0);
  EXPECT_EQ(prepostactions(predone, endlogged, 10.5, fix, rate), PP_FIXONLY | PP_ENDPRE);
  EXPECT_EQ(prepostactions(predone, endlogged, 100.5, fix, rate), PP_FIXONLY | PP_ENDPERIOD);
}

TEST(PrePostPeriods, PostPeriodEndsAtOnceWhenItIsShorterThanAFrame) {
  int predone = 1, endlogged = 0;
  EXPECT_EQ(prepostactions(predone, endlogged, 20.5, 0.1f, 0.05f), PP_FIXONLY | PP_ENDPERIOD | PP_ENDPOST);
}

TEST(PrintTime, MinutesOnlyFromOneMinuteOn) {
  EXPECT_EQ(timetext(0.0), " 0.000 sec\n");
  EXPECT_EQ(timetext(59.9994), " 59.999 sec\n");
  EXPECT_EQ(timetext(60.0), " 1 min, 0.000 sec\n");
  EXPECT_EQ(timetext(125.25), " 2 min, 5.250 sec\n");
  EXPECT_EQ(timetext(3600.5), " 60 min, 0.500 sec\n");
}

TEST(DisplayUnits, WidthIsFixedHeightFollowsAspect) {
  const Extents e43 = windowextents(1024, 768);
  EXPECT_FLOAT_EQ(e43.iwinxgl, 1.56f);
  EXPECT_FLOAT_EQ(2 * e43.iwinygl, 2.34f);
  const Extents e169 = windowextents(1920, 1080);
  EXPECT_FLOAT_EQ(2 * e169.iwinxgl, 3.12f);
  EXPECT_FLOAT_EQ(2 * e169.iwinygl, 1.755f);
  EXPECT_GT(e43.iwinygl, 1.0f);   // a unit circle fits on 4:3
  EXPECT_LT(e169.iwinygl, 1.0f);  // and is clipped on 16:9
  EXPECT_NEAR(pixelsperunit(1024), 328.205, 0.001);
}

TEST(DisplayUnits, WindowSizeTheServerAndGLCanTake) {
  EXPECT_TRUE(windowsizeok(1024, 768));
  EXPECT_TRUE(windowsizeok(1, 1));
  EXPECT_TRUE(windowsizeok(MAXWINSIDE, 1080));
  EXPECT_FALSE(windowsizeok(0, 0));       // no window, and 0/0 units high
  EXPECT_FALSE(windowsizeok(-5, 100));    // a flipped projection
  EXPECT_FALSE(windowsizeok(1024, -768));
  EXPECT_FALSE(windowsizeok(100000, 100000));  // X11 sizes wrap at 16 bits
}

TEST(ScaleSteps, UpAndDownCancelAndCountBack) {
  float s = 1.0f;
  for (int k = 0; k < 10; k++) s *= SCALEUPINCR;
  EXPECT_EQ(scalesteps(s), 10);
  for (int k = 0; k < 10; k++) s *= SCALEDOWNINCR;
  EXPECT_NEAR(s, 1.0f, 1e-5);
  EXPECT_EQ(scalesteps(s), 0);
  EXPECT_EQ(scalesteps(SCALEUPINCR * SCALEUPINCR * SCALEUPINCR), 3);
  EXPECT_EQ(scalesteps(SCALEDOWNINCR * SCALEDOWNINCR), -2);
  EXPECT_EQ(scalesteps(1.0f), 0);
  EXPECT_FLOAT_EQ(clampstartscale(25.0f), 10.0f);
  EXPECT_FLOAT_EQ(clampstartscale(0.5f), 0.5f);
}

TEST(FrameStats, MeanMaxAndDroppedAgainstMedian) {
  const double iv[] = {0.016, 0.017, 0.016, 0.050, 0.016, 0.033, 0.016};
  const FrameStats s = computeframestats(iv, 7, 8);
  EXPECT_EQ(s.frames, 8);
  EXPECT_NEAR(s.meanms, 1000.0 * 0.164 / 7, 1e-9);
  EXPECT_NEAR(s.maxms, 50.0, 1e-9);
  EXPECT_EQ(s.dropped, 2);  // 50 and 33 ms exceed 1.5 x 16 ms
  const FrameStats none = computeframestats(iv, 0, 1);
  EXPECT_EQ(none.dropped, 0);
  EXPECT_EQ(none.meanms, 0.0);
}

TEST(FrameStats, RecordDoesNotCountIntervalsAcrossATimerReset) {
  initframetiming(16);
  noteframe(1.00);
  noteframe(1.02);
  noteframe(0.01);  // restart: the clock went back
  noteframe(0.03);
  const FrameStats s = currentframestats();
  EXPECT_EQ(s.frames, 4);
  EXPECT_NEAR(s.meanms, 20.0, 1e-6);
  EXPECT_NEAR(s.maxms, 20.0, 1e-6);
}

TEST(StartupArgs, FirstWordRuleAndQuietShortCommandLines) {
  std::vector<std::vector<std::string>> quiet = {{"vistrum"}, {"vistrum", "-s"}, {"vistrum", "-helpstim"}};
  for (auto& w : quiet) {
    auto v = argvof(w);
    EXPECT_EQ(firstargcheck(static_cast<int>(w.size()), v.data()), 1) << w.back();
  }
  // The type alone runs it with its defaults; a refused type goes on to the type check.
  for (const char* n : {"10", "9999", "x", "130", "116", "-3", "99999999999"}) {
    std::vector<std::string> w = {"vistrum", "-stimtype", n};
    auto v = argvof(w);
    EXPECT_EQ(firstargcheck(3, v.data()), 0) << n;
  }
  for (const char* first : {"-stimtype", "-s", "-helpstim", "-h"}) {
    std::vector<std::string> w = {"vistrum", first, "10", "-polperiod"};
    auto v = argvof(w);
    EXPECT_EQ(firstargcheck(4, v.data()), 0) << first;
  }
  // Help on a type takes no options.
  for (const char* first : {"-h", "-helpstim"}) {
    std::vector<std::string> w = {"vistrum", first, "10"};
    auto v = argvof(w);
    EXPECT_EQ(firstargcheck(3, v.data()), 0) << first;
  }
  std::vector<std::string> stray = {"vistrum", "-polperiod", "64"};
  auto sv = argvof(stray);
  EXPECT_EQ(firstargcheck(3, sv.data()), 2);
  for (const char* first : {"-polperiod", "--stimtype", "-S", "stimtype", "-s10"}) {
    std::vector<std::string> w = {"vistrum", first, "10", "x"};
    auto v = argvof(w);
    EXPECT_EQ(firstargcheck(4, v.data()), 2) << first;
  }
}

TEST(FoundCmd, FindsCommandsAndNeverRunsTheNameThroughAShell) {
  EXPECT_EQ(foundcmd("sh"), 1);
  EXPECT_EQ(foundcmd("no-such-command-here-xyz"), 0);
  const char* marker = "/tmp/vistrum-foundcmd-marker";
  unlink(marker);
  EXPECT_EQ(foundcmd("sh; touch /tmp/vistrum-foundcmd-marker"), 0);
  EXPECT_NE(access(marker, F_OK), 0);
}

TEST(Timer, CountsFromTheLastResetAndNeverGoesBack) {
  settimer();
  const double a = gettimer();
  usleep(20000);
  const double b = gettimer();
  EXPECT_GE(a, 0.0);
  EXPECT_LT(a, 0.01);
  EXPECT_GT(b - a, 0.015);
  settimer();
  EXPECT_LT(gettimer(), b);
}

TEST(Timer, ReadingsBeforeTheFirstResetAreNoRunTime) {
  KeepGlobals keep;
  // A key or Esc on the first "Ready" screen is logged before any reset:
  // its time must not look like a time within the run (as an uptime would).
  run.starttime = 0.0;
  const double before = gettimer();
  EXPECT_GT(before, 100000.0);
  EXPECT_NEAR(before, static_cast<double>(std::time(nullptr)), 5.0);
  // No log line carries that reading: it is logged as run time 0.
  EXPECT_EQ(logtime(), 0.0);
  settimer();
  EXPECT_LT(gettimer(), 0.01);
}

TEST(StartupArgs, TypeNumberIsDecimalAndNeverWrapsIntoRange) {
  EXPECT_EQ(readstimtype("10"), 10);
  EXPECT_EQ(readstimtype("010"), 10);
  EXPECT_EQ(readstimtype("-3"), -3);
  EXPECT_EQ(readstimtype("abc"), 0);  // no number: type 0
  EXPECT_EQ(readstimtype("12abc"), 12);
  // 2^32 + 10 would wrap to 10 if narrowed; it must stay refused.
  EXPECT_FALSE(validstimtype(readstimtype("4294967306")));
  EXPECT_FALSE(validstimtype(readstimtype("-4294967286")));
}

namespace {

std::string readall(FILE* f) {
  std::string s;
  std::rewind(f);
  char buf[256];
  while (std::fgets(buf, sizeof buf, f)) s += buf;
  return s;
}

}  // namespace

TEST(PrePostPeriods, LogLinesOfTheTransitionsAndTheTimerReset) {
  FILE* log = std::tmpfile();
  ASSERT_NE(log, nullptr);
  par.logfileflag = 1;
  par.prepostfix = 0.05f;
  par.runfreq = 10.0f;  // 0.1 s stimulus
  run.fplogfile = log;
  run.predoneflag = 0;
  ringstate().started = true;
  settimer();
  EXPECT_EQ(isprepostper(0.01), 1);
  EXPECT_EQ(readall(log), "");
  EXPECT_EQ(isprepostper(0.06), 1);
  EXPECT_EQ(run.predoneflag, 1);
  EXPECT_FALSE(ringstate().started);  // the stimulus re-initialises after the pre-period
  EXPECT_LT(gettimer(), 0.05);     // and its time counts from the reset
  EXPECT_EQ(isprepostper(0.05), 0);
  EXPECT_EQ(isprepostper(0.11), 1);
  EXPECT_EQ(isprepostper(0.12), 1);  // the period end is written once
  const std::string text = readall(log);
  double a = -1, b = -1, c = -1;
  ASSERT_EQ(std::sscanf(text.c_str(), "EndPrePer: %lf #####\nPrePerReset: %lf\nEndPeriod: %lf #####\n", &a, &b, &c), 3)
      << text;
  EXPECT_GE(a, 0.0);
  EXPECT_LT(b, a + 1e-9);  // fresh reading after the reset
  EXPECT_NE(text.find("PrePerReset:  0.0"), std::string::npos) << text;  // "%6.3lf" of a near-zero time
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3) << text;
  std::fclose(log);
  run.fplogfile = nullptr;
  run.predoneflag = 0;
  par = Params{};
}

TEST(ScalePrintout, PastesBackAsOptions) {
  par.interocdist = 1.07f;
  par.vertdisp = -0.02f;
  run.currstimscale = SCALEUPINCR * SCALEUPINCR * SCALEUPINCR;
  run.stimrunningflag = 1;  // no restart of the start sequence
  testing::internal::CaptureStdout();
  prscales();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "current scale parms:\n"
            "  -interocdist 1.07000 \\\n"
            "  -vertdisp -0.020 \\\n"
            "  -startstimscale 1.06121 \\\n"
            "        or\n"
            "  -arrowkeyhits 3 \\\n"
            "\n");
  testing::internal::CaptureStdout();
  prstcols();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "current stereo color args:\n"
            "  -stereoLred 0.80 \\\n"
            "  -stereoLgrn 0.00 \\\n"
            "  -stereoLblu 0.00 \\\n"
            "  -stereoRred 0.00 \\\n"
            "  -stereoRgrn 0.00 \\\n"
            "  -stereoRblu 1.00 \\\n"
            "\n");
  run.currstimscale = 1.0f;
  run.stimrunningflag = 0;
  par = Params{};
}
