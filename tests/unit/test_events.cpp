// The event log to events table conversion (vistrum-events), the installed
// program's library folder, and the generated manual page.
#include "config/options.h"
#include "core/installdir.h"
#include "core/scoring.h"
#include "eventstable/logevents.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

EventsTable convert(const std::string& log, EventsOptions opt = {}) {
  std::istringstream in(log);
  return convertlog(in, opt);
}

const EventRow* find(const EventsTable& t, const std::string& type, int nth = 0) {
  for (const EventRow& r : t.rows)
    if (r.trialtype == type && nth-- == 0) return &r;
  return nullptr;
}

std::string fmt(const char* f, double a, double b = 0) {
  char buf[256];
  std::snprintf(buf, sizeof buf, f, a, b);
  return buf;
}

const char* const kHeader =
    "###############################\n"
    "Vistrum logfile for stimtype=54\n"
    "###############################\n\n"
    "Mon Dec  8 18:47:00 UTC 2025\n\n"
    "pwd = /home/scan\n\n"
    "vistrum -s 54 -logfile -fivekeytrigger -waitforpulse 1 -maxcorrectRT 1.5 \n\n";

}  // namespace

TEST(LogEvents, OnsetsDurationsResponsesAndLeftOverLines) {
  const std::string log = std::string(kHeader) +
                          "KeyEvent: 1796899450.055   k3\n"            // before any reset: left out
                          "F1-reset:           0.000 #####\n"      // the counted trigger
                          "StartPulse(00):     0.000 #####\n"
                          "EndPrePer:    10.000 #####\n"
                          "PrePerReset:  0.000\n"                  // pre-period folded into onsets
                          "InitRndBlk:    0.001   CondCnt=3\n"
                          "StimEvent:    0.002   off (0)\n"
                          "FixEvent:     2.000   targ offset (3 frames)\n"
                          "KeyEvent:     2.400   k5\n"             // a volume pulse, not an answer
                          "KeyEvent:     2.500   k1\n"
                          "StimEvent:   16.002   dilatefront (1)\n"
                          "ChkEvent:    20.000   r=0.250\n"
                          "KeyEvent:    22.000   k2\n"             // later than -maxcorrectRT
                          "SndFile: /lib/snd/a b.wav    21.000\n"
                          "SXCdeEvent:  22.500   7\n"
                          "angle:  90.0 deg.    start:   24.000    stop:   26.000    (hit)\n"
                          "delay period (4.000 sec)\n"
                          "NumEvent:    28.000   7\n"              // a digit of the number task is a target
                          "KeyEvent:    28.300   k4\n"
                          "what is this line\n"
                          "Interrupt:   32.000 #####\n"
                          "Feedback:    \"You scored 50% !\"\n";
  const EventsTable t = convert(log);
  EXPECT_EQ(t.stimtype, 54);
  EXPECT_DOUBLE_EQ(t.maxrt, 1.5);
  ASSERT_EQ(t.chosen, 1);
  ASSERT_EQ(t.segments.size(), 1u);
  ASSERT_NE(find(t, "start"), nullptr);
  EXPECT_DOUBLE_EQ(find(t, "start")->onset, 0.0);
  EXPECT_DOUBLE_EQ(find(t, "prestim_end")->onset, 10.0);

  const EventRow* off = find(t, "off");
  ASSERT_NE(off, nullptr);
  EXPECT_NEAR(off->onset, 10.002, 1e-9);
  EXPECT_NEAR(off->duration, 16.0, 1e-9);  // to the next condition
  EXPECT_EQ(off->value, "0");
  const EventRow* front = find(t, "dilatefront");
  ASSERT_NE(front, nullptr);
  EXPECT_NEAR(front->duration, 32.0 - 16.002, 1e-9);  // to the Esc line

  const EventRow* fix = find(t, "fixation_target");
  ASSERT_NE(fix, nullptr);
  EXPECT_EQ(fix->response, "1");
  // Logged on its last dimmed frame: it began two frames earlier.
  EXPECT_NEAR(fix->onset, 12.0 - 2.0 / 60.0, 1e-9);
  EXPECT_NEAR(fix->duration, 3.0 / 60.0, 1e-9);
  EXPECT_NEAR(fix->responsetime, 0.5 + 2.0 / 60.0, 1e-9);
  EXPECT_EQ(fix->value, "targ");
  ASSERT_NE(find(t, "trigger"), nullptr);
  EXPECT_EQ(find(t, "trigger")->response, "");
  const EventRow* chk = find(t, "check_target");
  ASSERT_NE(chk, nullptr);
  EXPECT_EQ(chk->value, "0.250");
  EXPECT_EQ(chk->response, "");  // 2 s late
  EXPECT_TRUE(std::isnan(chk->responsetime));
  EXPECT_EQ(find(t, "response", 1)->response, "2");

  const EventRow* snd = find(t, "sound");
  ASSERT_NE(snd, nullptr);
  EXPECT_EQ(snd->value, "/lib/snd/a b.wav");
  EXPECT_NEAR(snd->onset, 31.0, 1e-9);
  EXPECT_TRUE(std::isnan(snd->duration));
  ASSERT_NE(find(t, "code_7"), nullptr);
  const EventRow* wedge = find(t, "wedge_90.0");
  ASSERT_NE(wedge, nullptr);
  EXPECT_NEAR(wedge->onset, 34.0, 1e-9);
  EXPECT_NEAR(wedge->duration, 2.0, 1e-9);
  EXPECT_EQ(wedge->detail, "nback_repeat");
  const EventRow* delay = find(t, "delay");
  ASSERT_NE(delay, nullptr);
  EXPECT_NEAR(delay->onset, 36.0, 1e-9);
  EXPECT_NEAR(delay->duration, 4.0, 1e-9);
  const EventRow* digit = find(t, "number");
  ASSERT_NE(digit, nullptr);
  EXPECT_EQ(digit->value, "7");
  EXPECT_EQ(digit->response, "4");
  EXPECT_NEAR(digit->responsetime, 0.3, 1e-6);

  for (size_t k = 1; k < t.rows.size(); k++) EXPECT_LE(t.rows[k - 1].onset, t.rows[k].onset);
  ASSERT_EQ(t.unmapped.size(), 3u);
  EXPECT_EQ(t.unmapped[0].text, "KeyEvent: 1796899450.055   k3");
  EXPECT_EQ(t.unmapped[1].text, "what is this line");
  EXPECT_EQ(t.feedback, "\"You scored 50% !\"");
}

TEST(LogEvents, RestartsBeginNewStartsAndTheLastWithEventsIsConverted) {
  const std::string log =
      "FixEvent:     1.000   targ offset (0 frames)\n"   // started at once: no start line
      "F2-resetwait:      5.000 #####\n"
      "KeyEvent:     6.000   k1\n"                       // while waiting
      "StartPulse(-1):     0.000 #####\n"
      "ChkEvent:     3.000   r=0.100\n"
      "F1-reset:           4.000 #####\n"                // restart at once
      "EndPostPer:    1.000 #####\n";
  EventsTable t = convert(log);
  ASSERT_EQ(t.segments.size(), 3u);
  EXPECT_EQ(t.chosen, 2);  // the third start holds only its end line
  ASSERT_EQ(t.rows.size(), 3u);
  EXPECT_EQ(t.rows[0].trialtype, "start");
  EXPECT_EQ(t.rows[0].value, "start");
  EXPECT_EQ(t.rows[0].detail, "start mode -1");
  EXPECT_EQ(t.rows[1].trialtype, "check_target");
  EXPECT_EQ(t.rows[2].trialtype, "restart");
  EXPECT_DOUBLE_EQ(t.rows[2].onset, 4.0);

  t = convert(log, EventsOptions{3, -1});
  ASSERT_EQ(t.rows.size(), 2u);
  EXPECT_EQ(t.rows[0].trialtype, "start");
  EXPECT_EQ(t.rows[1].trialtype, "poststim_end");

  t = convert(log, EventsOptions{1, -1});
  ASSERT_EQ(t.rows.size(), 2u);
  EXPECT_EQ(t.rows[0].trialtype, "fixation_target");
  EXPECT_EQ(t.rows[1].trialtype, "restart_wait");
  ASSERT_EQ(t.unmapped.size(), 1u);
  EXPECT_EQ(t.unmapped[0].reason, "while waiting for a start");

  EXPECT_EQ(convert(log, EventsOptions{4, -1}).chosen, 0);
}

TEST(LogEvents, EveryLineFormatTheProgramWritesIsMapped) {
  // One line of each format, written with the program's own formats.
  const std::string log = std::string("StartPulse(00):     0.000 #####\n") + fmt("F1-reset:       %9.3lf #####\n", 0) +
                          fmt("StartPulse(%02.0f):  %8.3lf #####\n", -1, 0.0) +
                          fmt("KeyEvent: %9.3lf   k%.0f\n", 0.5, 7) + fmt("CurScale: %9.3lf   %2.3f\n", 0.6, 1.1) +
                          fmt("EndPrePer: %8.3lf #####\n", 1) + fmt("PrePerReset: %6.3lf\n", 0) +
                          fmt("EndPrePrePer: %8.3lf #####\n", 1) + fmt("PrePrePerReset: %6.3lf\n", 0) +
                          fmt("TgRetEvent: %7.3lf\n", 0.1) + fmt("FixEvent: %9.3lf   targ offset (%.0f frames)\n", 0.2, 2) +
                          fmt("OriEvent: %9.3lf   %2.1f deg\n", 0.3, 5) + fmt("ShiftEvent: %7.3lf   %2.1f deg\n", 0.4, 5) +
                          fmt("ChkEvent: %9.3lf   r=%2.3f\n", 0.5, 0.3) + fmt("SfChgEvent: %9.3lf   x%2.1f\n", 0.6, 2) +
                          fmt("DispEvent: %8.3lf   %2.1f\n", 0.7, 0.2) + fmt("LetEvent: %9.3lf   A\n", 0.8) +
                          fmt("LetEvent: %9.3lf   lett=A r=%.3f th=10.0 x=0.100 y=0.200\n", 0.8, 0.5) +
                          fmt("NumEvent: %9.3lf   7\n", 0.9) + fmt("StimEvent: %8.3lf   off\n", 1.0) +
                          fmt("StimEvent: %8.3lf   peri\n", 1.1) +
                          fmt("angle: %5.1f deg.    start: %8.3lf    stop: 2.000\n", 45, 1.2) +
                          "delay period (0.500 sec):  clearing nbacks\n" +
                          fmt("FlowEvent: %9.3lf   r=%1.2f (glwin), th=45.0 (deg)\n", 1.3, 0.5) +
                          fmt("RedEvent: %9.3lf\n", 1.4) + fmt("DimEvent: %9.3lf    frac=%2.2f,frms=3\n", 1.5, 0.5) +
                          fmt("RealMotEvent: %7.3lf   imend=%.0f imbeg=1\n", 1.6, 2) +
                          fmt("ImgColEvent: %7.3lf   targim=%.0f\n", 1.7, 2) +
                          fmt("ImgZoomEvent: %7.3lf   targim=%.0f\n", 1.8, 2) + fmt("TiffEvent: %8.3lf   targ0   (%.3f sec)\n", 1.9, 0.5) +
                          fmt("1BakEvent: %8.3lf\n", 2.0) + fmt("FontEvent: %8.3lf   red\n", 2.1) +
                          fmt("FontEvent: %9.3lf    frms=%.0f\n", 2.2, 3) +
                          fmt("InitRndBlk: %8.3lf   CondCount=%.0f\n", 2.3, 3) +
                          fmt("StimEvent: %8.3lf   full (%.0f)\n", 2.4, 1) + fmt("RndBlkExptDone: %9.3lf\n", 2.5) +
                          fmt("SXCdeEvent: %7.3lf   %.0f\n", 2.6, 12) + fmt("SXExptDone: %9.3lf\n", 2.7) +
                          fmt("SndFile: cue.wav %8.3lf\n", 2.8) + fmt("PainEvent: %9.3lf   fing=%.0f, pos=3\n", 2.9, 2) +
                          fmt("RespBits: %9.3lf   00000010\n", 3.0) + fmt("BoxFlood: %9.3lf   serial box /dev/ttyUSB0 sent more than 64 bytes in one frame\n", 3.0) +
                          fmt("BoxLost: %9.3lf   serial box /dev/ttyUSB0 vanished (input/output error)\n", 3.0) +
                          fmt("PuffHeld: %9.3lf   tube=3   due=2.983\n", 3.0) + fmt("EndPeriod: %8.3lf #####\n", 3.1) +
                          fmt("ExptEnd: %8.3lf #####\n", 3.2) + fmt("Interrupt: %8.3lf #####\n", 3.3) +
                          fmt("EndPostPer: %7.3lf #####\n", 3.4) + fmt("F2-resetwait:   %9.3lf #####\n", 3.5);
  const EventsTable t = convert(log);
  EXPECT_TRUE(t.unmapped.empty()) << t.unmapped[0].text;
  EXPECT_EQ(t.rows.size(), 44u);
  for (const EventRow& r : t.rows) EXPECT_FALSE(r.trialtype.empty()) << r.line;
  std::ostringstream tsv, json;
  writeeventstsv(tsv, t);
  writeeventsjson(json, t, "1.0");
  std::istringstream lines(tsv.str());
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line, "onset\tduration\ttrial_type\tresponse\tresponse_time\tvalue\tdetail\tlog_event\tlog_time\tlog_line");
  while (std::getline(lines, line)) {
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 9) << line;
    EXPECT_EQ(line.find("\t\t"), std::string::npos) << line;  // empty cells are n/a
  }
  for (const char* level : {"\"check_target\":", "\"full\":", "\"code_12\":", "\"wedge_45.0\":", "\"response\":"})
    EXPECT_NE(json.str().find(level), std::string::npos) << level;
}

TEST(InstallDir, InstalledProgramFindsItsShareFolder) {
  char tmpl[] = "/tmp/vistrum-inst-XXXXXX";
  const std::string root = mkdtemp(tmpl);
  for (const char* d : {"/bin", "/share", "/share/vistrum", "/share/vistrum/lib", "/share/vistrum/lib/help"})
    mkdir((root + d).c_str(), 0755);
  EXPECT_EQ(installedvistrumdir(root + "/bin/vistrum"), root + "/share/vistrum");
  EXPECT_EQ(installedvistrumdir(root + "/share/vistrum"), "");  // not in a bin folder
  EXPECT_EQ(installedvistrumdir("/nonexistent/bin/vistrum"), "");
  EXPECT_EQ(installedvistrumdir("vistrum"), "");
  std::system(("rm -rf " + root).c_str());
}

TEST(ManPage, ListsEveryKeywordAndRendersWithoutWarnings) {
  const std::string page = std::string(VISTRUM_BUILD_DIR) + "/man/vistrum.1";
  ASSERT_EQ(access(page.c_str(), R_OK), 0) << page;
  if (std::system("command -v man >/dev/null 2>&1") != 0) {
    if (std::getenv("CI")) FAIL() << "man is not installed (scripts/install-deps.sh installs man-db)";
    GTEST_SKIP() << "man is not installed (apt-get install man-db)";
  }
  char tmpl[] = "/tmp/vistrum-man-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  const std::string cmd = "LC_ALL=C MANWIDTH=200 man --warnings -E ascii -l '" + page + "' >" + dir + "/text 2>" +
                          dir + "/warnings";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::ifstream tin(dir + "/text"), win(dir + "/warnings");
  std::stringstream text, warnings;
  text << tin.rdbuf();
  warnings << win.rdbuf();
  std::system(("rm -rf " + dir).c_str());
  EXPECT_EQ(warnings.str(), "");
  const std::string events = std::string(VISTRUM_SOURCE_DIR) + "/tools/vistrum-events.1";
  EXPECT_EQ(std::system(("LC_ALL=C man --warnings -E ascii -l '" + events + "' 2>&1 >/dev/null | grep -q .").c_str()),
            256)
      << "warnings in " << events;
  // Every keyword as a word of its own (not as the tail of a longer one).
  std::string words = " ";
  for (char c : text.str()) words += (c == ',' || c == '\n' || c == '\t' || c == '|') ? ' ' : c;
  for (const char* k : optionkeywords())
    EXPECT_NE(words.find(std::string(" ") + k + " "), std::string::npos) << k;
  for (const char* s : {"STIMULUS TYPES", "HOTKEYS", "ENVIRONMENT", "VISTRUM_DIR", "FILES", "basic rotating wedge"})
    EXPECT_NE(text.str().find(s), std::string::npos) << s;
}

// What the analyst reads must be what the subject saw: one time base across
// the pre-period's timer reset (the score too), nothing past the run's end,
// one answer per press, and the header read by its fields.
TEST(LogEvents, TimesLengthsAndAnswersFollowWhatWasShown) {
  // A target late in the pre-period, the timer reset at 4.5 s, a key 1.8 s
  // after it: 2.32 s after the target, later than -maxcorrectRT.
  const std::string pre = std::string(kHeader) +
                          "F1-reset:           0.000 #####\n"
                          "StartPulse(-1):     0.000 #####\n"
                          "FixEvent:     3.976   targ offset (1 frames)\n"
                          "EndPrePer:     4.500 #####\n"
                          "PrePerReset:  0.000\n"
                          "KeyEvent:     1.800   k1\n";
  EventsOptions two;
  two.maxrt = 2.0;
  EventsTable t = convert(pre, two);
  ASSERT_NE(find(t, "fixation_target"), nullptr);
  EXPECT_EQ(find(t, "fixation_target")->response, "");
  EXPECT_NEAR(find(t, "response")->onset, 6.3, 1e-9);
  EXPECT_EQ(scorestart(t).targets, 1);
  EXPECT_EQ(scorestart(t).percent, 0);
  FILE* f = std::tmpfile();
  std::fputs(pre.c_str(), f);
  std::rewind(f);
  EXPECT_EQ(scorepercent(scorelog(f, 2.0f)), 0) << "the program scores on the same time base";
  std::fclose(f);

  // Dimmed for 30 frames up to 14.050 s: a key at 13.85 s, logged before the
  // target's line, answers it.
  t = convert(std::string(kHeader) + "StartPulse(-1):     0.000 #####\nKeyEvent:    13.850   k1\n"
                                     "FixEvent:    14.050   targ offset (30 frames)\n");
  ASSERT_NE(find(t, "fixation_target"), nullptr);
  EXPECT_NEAR(find(t, "fixation_target")->onset, 14.05 - 29.0 / 60.0, 1e-9);
  EXPECT_NEAR(find(t, "fixation_target")->duration, 0.5, 1e-9);
  EXPECT_EQ(find(t, "fixation_target")->response, "1");
  EXPECT_EQ(scorestart(t).percent, 100);

  // Esc cuts a trial short; a saved-frame run ends after its last frame.
  t = convert(std::string(kHeader) + "StartPulse(-1):     0.000 #####\n"
                                     "angle: 225.0 deg.    start:    3.013    stop:    6.013\n"
                                     "Interrupt:    4.847 #####\n");
  ASSERT_NE(find(t, "wedge_225.0"), nullptr);
  EXPECT_NEAR(find(t, "wedge_225.0")->duration, 4.847 - 3.013, 1e-9);
  t = convert("Vistrum logfile for stimtype=15\n\nvistrum -s 15 -saveframes 15 1 -framerate 1 -logfile \n\n"
              "StartPulse(00):     0.000 #####\n"
              "angle:  45.0 deg.    start:   12.000    stop:   17.000\n"
              "delay period (2.000 sec)\n"
              "angle:  90.0 deg.    start:   19.000    stop:   20.000\n");
  ASSERT_NE(find(t, "wedge_45.0"), nullptr);
  EXPECT_NEAR(find(t, "wedge_45.0")->duration, 3.0, 1e-9);
  EXPECT_EQ(find(t, "delay"), nullptr) << "the delay began after the last frame";
  EXPECT_EQ(find(t, "wedge_90.0"), nullptr);
  for (const EventRow& r : t.rows) {
    if (!std::isnan(r.duration)) {
      EXPECT_LE(r.onset + r.duration, 15.0 + 1e-9) << r.trialtype;
    }
  }

  // -logrespbits: a box press writes its bits and the button's key, its
  // release the bits again; a box without key lines answers by its bits.
  t = convert(std::string(kHeader) + "StartPulse(-1):     0.000 #####\n"
                                     "RespBits:     1.000   00000010\nKeyEvent:     1.000   k2\n"
                                     "RespBits:     1.200   00000000\n"
                                     "RespBits:     2.000   00000100\nRespBits:     2.100   00000000\n");
  int answers = 0;
  for (const EventRow& r : t.rows) answers += r.trialtype == "response";
  EXPECT_EQ(answers, 2);
  EXPECT_EQ(find(t, "response", 0)->response, "2");
  EXPECT_EQ(find(t, "response", 1)->response, "00000100");
  EXPECT_NE(find(t, "response_release"), nullptr);

  // A 1 Hz preview steps at the display's 60 frames a second: frames are
  // sixtieths, whatever the saving rate.
  t = convert("Vistrum logfile for stimtype=10\n\nvistrum -s 10 -saveframes 361 1 -logfile \n\n"
              "StartPulse(-1):     0.000 #####\nFixEvent:    14.050   targ offset (30 frames)\n");
  ASSERT_NE(find(t, "fixation_target"), nullptr);
  EXPECT_NEAR(find(t, "fixation_target")->duration, 0.5, 1e-9);

  // A target picture is a target, shown as long as its line says.
  t = convert(std::string(kHeader) + "StartPulse(-1):     0.000 #####\nTiffEvent:    1.000   targ0   (2.000 sec)\n");
  ASSERT_NE(find(t, "picture_target"), nullptr);
  EXPECT_TRUE(find(t, "picture_target")->target);
  EXPECT_EQ(find(t, "picture_target")->value, "targ0");
  EXPECT_NEAR(find(t, "picture_target")->duration, 2.0, 1e-9);

  // The start row says what started the run.
  const auto cause = [](const std::string& command, const std::string& lines, int segment) {
    EventsOptions o;
    o.segment = segment;
    const EventsTable s = convert("Vistrum logfile for stimtype=10\n\n" + command + "\n\n" + lines, o);
    const EventRow* r = find(s, "start");
    return r ? r->value : std::string("none");
  };
  const std::string f1 = "F1-reset:           0.000 #####\n";
  EXPECT_EQ(cause("vistrum -s 10", f1 + "StartPulse(-1):     0.000 #####\n", 0), "F1");
  EXPECT_EQ(cause("vistrum -s 10 -fivekeytrigger -waitforpulse 3", f1 + "StartPulse(03):     0.000 #####\n", 0),
            "trigger_key");
  EXPECT_EQ(cause("vistrum -s 10 -waitforpulse 3", "StartPulse(03):     0.000 #####\n", 0), "box_pulses");
  const std::string run = "StartPulse(-1):     0.000 #####\nEndPostPer:   9.000 #####\n";
  EXPECT_EQ(cause("vistrum -s 10", f1 + run + "F1-reset:          12.000 #####\nKeyEvent:  1.000   k1\n", 2),
            "F1_at_done");
  EXPECT_EQ(cause("vistrum -s 10", f1 + "StartPulse(-1):     0.000 #####\nF1-reset:  5.000 #####\nKeyEvent:  1.000   k1\n", 2),
            "F1_restart");

  // A line cut in mid-write is no event; a long run's times are times.
  t = convert(std::string(kHeader) + "StartPulse(-1):     0.000 #####\nKeyEvent: 100000.500   k1\nNumEvent:    5");
  EXPECT_EQ(find(t, "number"), nullptr);
  ASSERT_NE(find(t, "response"), nullptr);
  EXPECT_DOUBLE_EQ(find(t, "response")->onset, 100000.5);
  EXPECT_EQ(t.unmapped.back().reason, "cut last line (no newline)");

  // A working folder whose name holds " -s " is not the command line.
  t = convert("Vistrum logfile for stimtype=10\n\npwd = /data/run -s 3 -maxcorrectRT 9\n\n"
              "vistrum -s 10 -logfile \n\nStartPulse(-1):     0.000 #####\n");
  EXPECT_EQ(t.commandline, "vistrum -s 10 -logfile");
  EXPECT_DOUBLE_EQ(t.maxrt, 2.0);
}

// Scenario codes carry the file's names and lengths into the table; a code
// the file does not name, or a log from before, keeps code_<n> and n/a. A
// reddish word is a colour target, whatever the font.
TEST(LogEvents, ScenarioCodeNamesDurationsAndRedWords) {
  std::string head = kHeader;
  head.replace(head.find("stimtype=54"), 11, "stimtype=60");
  const std::string log = head +
                          "F1-reset:           0.000 #####\n"
                          "StartPulse(-1):     0.000 #####\n"
                          "SXCdeEvent:   0.017   3   dur=0.250 name=face\n"
                          "SXCdeEvent:   0.500   4   dur=1.000\n"
                          "SXCdeEvent:   2.000   5\n"
                          "FontEvent:    3.000   red\n"
                          "FontEvent:    4.000    frms=20\n"
                          "Interrupt:    6.000 #####\n";
  const EventsTable t = convert(log);
  const EventRow* face = find(t, "face");
  ASSERT_NE(face, nullptr);
  EXPECT_EQ(face->value, "3");
  EXPECT_NEAR(face->onset, 0.017, 1e-9);
  EXPECT_NEAR(face->duration, 0.25, 1e-9);
  EXPECT_EQ(find(t, "code_3"), nullptr);
  const EventRow* four = find(t, "code_4");
  ASSERT_NE(four, nullptr);
  EXPECT_NEAR(four->duration, 1.0, 1e-9);
  ASSERT_NE(find(t, "code_5"), nullptr);
  EXPECT_TRUE(std::isnan(find(t, "code_5")->duration));
  ASSERT_NE(find(t, "red_word_target"), nullptr);
  EXPECT_TRUE(find(t, "red_word_target")->target);
  ASSERT_NE(find(t, "font_target"), nullptr);
  EXPECT_EQ(find(t, "font_target", 1), nullptr);
}
