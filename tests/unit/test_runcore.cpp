// Run core computations: fixation-only periods, time printing, display
// units, scale steps, frame statistics and the start-up argument rules.
#include "core/frametiming.h"
#include "core/prepost.h"
#include "core/projection.h"
#include "core/startup.h"
#include "core/timer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
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
  std::vector<std::vector<std::string>> quiet = {
      {"vistrum"}, {"vistrum", "-s"}, {"vistrum", "-s", "10"}, {"vistrum", "-stimtype", "130"}};
  for (auto& w : quiet) {
    auto v = argvof(w);
    EXPECT_EQ(firstargcheck(static_cast<int>(w.size()), v.data()), 1);
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
