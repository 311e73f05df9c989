// A rehearsal is the run: saved frames at a low rate and a rehearsal (log
// only, no window, no display) log, line for line with their times, what
// the same run saved at every frame logs, for types whose drawing carries
// history from frame to frame; and every such run ends by itself after one
// start.
#include "eventstable/logevents.h"
#include "harness.h"

#include <sys/stat.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

class Rehearsal : public XServerSuite<> {};

// The event lines of a log: everything after its header.
std::vector<std::string> eventlines(const std::string& log) {
  std::vector<std::string> v;
  std::istringstream in(log);
  bool events = false;
  for (std::string l; std::getline(in, l);) {
    if (!events) {
      // The header ends with the command line, then a blank line.
      if (l.find(" -s ") != std::string::npos && l.rfind("pwd = ", 0) != 0) events = true;
      continue;
    }
    if (!l.empty()) v.push_back(l);
  }
  return v;
}

// A rehearsal of `seconds`, run as a lab would before a scan: no display.
std::string rehearse(const XServer& x, std::vector<std::string> args, double seconds, RunResult* result) {
  const std::string dir = maketempdir("rehearse");
  mkdir((dir + "/logs").c_str(), 0755);
  char s[32];
  std::snprintf(s, sizeof s, "%g", seconds);
  args.insert(args.end(), {"-rehearse", s});
  Vistrum v(x, args, dir, {"DISPLAY="});
  *result = v.wait(120.0);
  const std::string log = readfile(findfile(dir + "/logs", ".log"));
  removetree(dir);
  return log;
}

std::string joined(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& l : v) s += l + "\n";
  return s;
}

}  // namespace

// Pictures, words, dot lifetimes, fixation targets, random blocks and a
// scenario: 20 s each at 60 frames a second, saved at every frame, saved at
// 1 Hz, and rehearsed. The 1 Hz frames are the every-frame run's frames at
// whole seconds, pixel for pixel.
TEST_F(Rehearsal, SavedAtOneHertzAndRehearsedIsTheRunSavedAtEveryFrame) {
  const std::vector<std::vector<std::string>> runs = {
      {"-s", "83", "-tiffdir", "objects", "-tiffdur", "0.25"},
      {"-s", "67"},
      {"-s", "51"},
      {"-s", "10", "-polperiod", "8", "-fixtarg", "16", "0.5"},
      {"-s", "54", "-tiffdir", "objects", "-blockperiod", "4", "-condlist", "0", "1", "2", "0", "1", "2"},
      {"-s", "60", "-exptfile", "codes.scn", "-sxcode"},
  };
  const int seconds = 20;
  for (std::vector<std::string> args : runs) {
    args.insert(args.end(), {"-srseed", "3", "-logfile", "-winxy", "64", "48", "-framerate", "60"});
    const SavedRun every = saverun(*x, args, 60 * seconds + 1, 60.0);
    const SavedRun preview = saverun(*x, args, seconds + 1, 1.0);
    RunResult rr;
    const std::string rehearsed = rehearse(*x, args, seconds, &rr);
    EXPECT_EQ(rr.status, 0) << args[1] << rr.out;
    const std::vector<std::string> lines = eventlines(every.log);
    ASSERT_FALSE(every.log.empty()) << args[1] << every.result.out;
    EXPECT_EQ(joined(eventlines(preview.log)), joined(lines)) << args[1] << ": the 1 Hz preview";
    EXPECT_EQ(joined(eventlines(rehearsed)), joined(lines)) << args[1] << ": the rehearsal";
    for (size_t k = 0; k < preview.frames.size() && 60 * k < every.frames.size(); k++)
      EXPECT_TRUE(preview.frames[k].rgba == every.frames[60 * k].rgba) << args[1] << " at " << k << " s";
  }
}

// A saved-frame run needs one F1 and logs one start; it ends by itself
// after its last frame, past a post-period's "Done" too; its closing line,
// frame record and report tell frames saved and how fast, not dropped ones.
TEST_F(Rehearsal, SavedRunsStartOnceEndByThemselvesAndSayWhatTheySaved) {
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{}, std::vector<std::string>{"-prepostfix", "1", "-runperiod", "2"}}) {
    std::vector<std::string> args = {"-s", "10", "-waitforpulse", "-1", "-logfile", "-winxy", "64", "48",
                                     "-framerate", "60", "-fixtarg", "16", "0.5"};
    args.insert(args.end(), extra.begin(), extra.end());
    const SavedRun r = saverun(*x, args, 300, 60.0);
    const std::string what = extra.empty() ? "plain" : "with a post-period";
    EXPECT_EQ(loglines(r.log, "F1-reset:").size(), 1u) << what << "\n" << r.log;
    EXPECT_EQ(loglines(r.log, "StartPulse(").size(), 1u) << what << "\n" << r.log;
    std::istringstream in(r.log);
    EXPECT_EQ(convertlog(in).segments.size(), 1u) << what;
    if (!extra.empty()) {
      EXPECT_EQ(loglines(r.log, "EndPostPer:").size(), 1u) << r.log;
    }
    EXPECT_NE(r.result.out.find("vistrum: saved 300 of 300 frames (300 frames stepped at 60 frames/s, one in 1 saved)"),
              std::string::npos)
        << r.result.out;
    EXPECT_EQ(r.result.out.find("dropped"), std::string::npos) << r.result.out;
    const std::string log = findfile(r.dir + "/logs", ".log");
    EXPECT_NE(readfile(log.substr(0, log.size() - 4) + "_frames.tsv").find("# stepped run: 60 frames/s"),
              std::string::npos);
    const std::string cmd = std::string(VISTRUM_REPORT_BINARY) + " " + log + " >/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string page = readfile(log.substr(0, log.size() - 4) + "_report.html");
    EXPECT_NE(page.find("<td id=\"stepped\">stepped run: 60 frames/s"), std::string::npos) << page;
    EXPECT_EQ(page.find("id=\"dropped\""), std::string::npos);
    removetree(r.dir);
  }
}
