// Scoring fixation-target responses from the event log.
#include "keepglobals.h"
#include "config/params.h"
#include "core/runstate.h"
#include "core/scoring.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int score(const std::string& log, float maxrt = 2.0f) {
  FILE* f = std::tmpfile();
  std::fputs(log.c_str(), f);
  std::rewind(f);
  const int pc = scorepercent(scorelog(f, maxrt));
  std::fclose(f);
  return pc;
}

const char* header =
    "###############################\n"
    "Vistrum logfile for stimtype=10\n"
    "###############################\n\n"
    "vistrum -s 10 -fixtargprob 1 -logfile \n\n";

}  // namespace

TEST(Scoring, OnlyTimelyFirstKeysAfterATargetCount) {
  // One answer after 0.5 s, one after 3 s: half.
  EXPECT_EQ(score(std::string(header) +
                  "StartPulse(-1):     0.000 #####\n"
                  "FixEvent:    10.000   targ offset (0 frames)\n"
                  "KeyEvent:    10.500   k1\n"
                  "FixEvent:    20.000   targ offset (0 frames)\n"
                  "KeyEvent:    23.000   k1\n"),
            50);
  // A key with no target before it is no answer; a second key is ignored.
  EXPECT_EQ(score("KeyEvent:     5.000   k1\n"
                  "FixEvent:    10.000   targ offset (0 frames)\n"
                  "KeyEvent:    13.000   k1\n"
                  "KeyEvent:    13.100   k1\n"
                  "FixEvent:    20.000   targ offset (0 frames)\n"
                  "KeyEvent:    20.400   k2\n"
                  "KeyEvent:    20.600   k2\n"),
            50);
  // Three targets, two answered in time: the integer part of 66.67.
  EXPECT_EQ(score("FixEvent: 1.0 t\nKeyEvent: 1.5 k1\nFixEvent: 5.0 t\nKeyEvent: 5.9 k1\nFixEvent: 9.0 t\n"), 66);
  EXPECT_EQ(score("FixEvent: 1.0 t\nKeyEvent: 1.5 k1\n", 0.4f), 0);  // a stricter limit
}

TEST(Scoring, RestartsStartTheCountOver) {
  const std::string before =
      "FixEvent:    10.000   targ offset (0 frames)\n"
      "FixEvent:    20.000   targ offset (0 frames)\n";
  const std::string after =
      "FixEvent:     3.000   targ offset (0 frames)\n"
      "KeyEvent:     3.400   k1\n";
  // As the program writes them: F2 waits for a new start; the pre-saccade
  // test's end resets the timer.
  for (const char* reset : {"F1-reset:          25.000 #####\n",
                            "F2-resetwait:      25.000 #####\nStartPulse(-1):     0.000 #####\n",
                            "EndPrePrePer:   25.000 #####\nPrePrePerReset:  0.000\n"})
    EXPECT_EQ(score(before + reset + after), 100) << reset;
  EXPECT_EQ(score(before + after), 33);
}

TEST(Scoring, ScannerPulsesOfTheFiveKeyTriggerAreNoAnswers) {
  // Volumes every 2 s arrive as "5": with the five-key trigger they are
  // logged as k5 but must not answer the targets for the subject.
  const std::string log =
      "FixEvent:    10.000   targ offset (0 frames)\n"
      "KeyEvent:    10.300   k5\n"
      "KeyEvent:    10.900   k2\n"
      "FixEvent:    20.000   targ offset (0 frames)\n"
      "KeyEvent:    20.300   k5\n"
      "KeyEvent:    22.300   k5\n"
      "KeyEvent:    22.600   k2\n";
  FILE* f = std::tmpfile();
  std::fputs(log.c_str(), f);
  std::rewind(f);
  EXPECT_EQ(scorepercent(scorelog(f, 2.0f, true)), 50);  // 0.9 s: hit; 2.6 s: late
  std::rewind(f);
  EXPECT_EQ(scorepercent(scorelog(f, 2.0f, false)), 100);  // without that trigger, 5 is an answer key
  std::fclose(f);
}

TEST(Scoring, NoTargetsScoresZero) {
  EXPECT_EQ(score(std::string(header) + "KeyEvent:     1.000   k1\n"), 0);
  EXPECT_EQ(scorepercent(ScoreCount{}), 0);
  ScoreCount c;
  c.targets = 2;
  c.hits = 5;  // never above 100
  EXPECT_EQ(scorepercent(c), 100);
}

TEST(Scoring, WithoutALogOrFixationTargetsTheScoreIsFull) {
  const KeepGlobals keep;
  par.logfileflag = 0;
  run.fplogfile = nullptr;
  EXPECT_EQ(targpercent(), 100);

  char tmpl[] = "/tmp/vistrum-score-XXXXXX";
  const int fd = mkstemp(tmpl);
  ASSERT_GE(fd, 0);
  close(fd);
  std::strcpy(run.logfilename, tmpl);
  run.fplogfile = std::fopen(tmpl, "w");
  par.logfileflag = 1;
  std::fputs("FixEvent:    10.000   targ offset (0 frames)\n", run.fplogfile);
  par.fixtargprob = 0.0f;
  EXPECT_EQ(targpercent(), 100);
  par.fixtargprob = 0.5f;
  EXPECT_EQ(targpercent(), 0);  // the unflushed target line was read back
  // The log is open for appending again and later lines follow.
  ASSERT_NE(run.fplogfile, nullptr);
  std::fputs("KeyEvent:    10.300   k1\n", run.fplogfile);
  EXPECT_EQ(targpercent(), 100);
  std::fclose(run.fplogfile);
  run.fplogfile = nullptr;
  par.logfileflag = 0;
  par.fixtargprob = 0.0f;
  std::remove(tmpl);
}
