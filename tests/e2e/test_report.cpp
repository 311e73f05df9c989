// vistrum-report on logs and frame records of real runs: the numbers the
// page shows are checked against the log and the record themselves.
#include "harness.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace {

class Report : public XServerSuite<> {};

std::string logof(const std::string& dir) { return findfile(dir + "/logs", ".log"); }

// Runs vistrum-report on `log`; the page's numbers by their ids.
std::map<std::string, std::string> report(const std::string& log) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (!freopen("/dev/null", "w", stdout)) _exit(126);
    execl(VISTRUM_REPORT_BINARY, "vistrum-report", log.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log;
  const std::string page = readfile(log.substr(0, log.size() - 4) + "_report.html");
  std::map<std::string, std::string> v;
  static const std::regex cell(R"re(<td id="([^"]+)">([^<]*)</td>)re");
  for (std::sregex_iterator i(page.begin(), page.end(), cell), e; i != e; ++i) v[(*i)[1]] = (*i)[2];
  EXPECT_NE(page.find("<svg"), std::string::npos) << "the plots are in the page";
  return v;
}

// Whole frame lines of the record beside `log`.
int framelines(const std::string& log) {
  std::istringstream in(readfile(log.substr(0, log.size() - 4) + "_frames.tsv"));
  int n = 0;
  for (std::string l; std::getline(in, l) && !in.eof();) n += !l.empty() && std::isdigit(static_cast<unsigned char>(l[0]));
  return n;
}

double timeof(const std::string& line) { return std::stod(line.substr(line.find(':') + 1)); }

}  // namespace

TEST_F(Report, LiveRunWithTwoStartsShowsTheLogsTargetsHitsAndTheRecordsFrames) {
  const std::string dir = maketempdir("report");
  mkdir((dir + "/logs").c_str(), 0755);
  Vistrum v(*x, {"-s", "12", "-nofullscreen", "-winxy", "320", "240", "-logfile", "-lettspernum", "2"}, dir);
  ASSERT_TRUE(v.waitforwindow());
  // Type 12 starts at once; F1 starts it again.
  auto lines = [&](const char* kind) { return loglines(readfile(logof(dir)), kind).size(); };
  ASSERT_TRUE(waituntil([&] { return lines("NumEvent") >= 1; }, 30.0)) << readfile(logof(dir));
  v.key("1");
  ASSERT_TRUE(waituntil([&] { return lines("KeyEvent") >= 1; }));
  v.key("F1");
  ASSERT_TRUE(waituntil([&] { return lines("F1-reset") >= 1; }));
  const size_t before = lines("NumEvent");
  ASSERT_TRUE(waituntil([&] { return lines("NumEvent") > before; }, 30.0));
  v.key("2");
  ASSERT_TRUE(waituntil([&] { return lines("KeyEvent") >= 2; }));
  v.key("Escape");
  ASSERT_EQ(v.wait().status, 0);

  const std::string log = logof(dir);
  const std::string text = readfile(log);
  const std::map<std::string, std::string> r = report(log);
  EXPECT_EQ(r.at("frames"), std::to_string(framelines(log)));
  EXPECT_EQ(r.at("starts"), "2");
  // Targets and hits counted here from the log: the first key after a
  // digit, before the next one and within 2 s, in the same start.
  int targets = 0, hits = 0;
  double target = -1;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) {
    if (l.rfind("F1-reset", 0) == 0) target = -1;
    if (l.rfind("NumEvent:", 0) == 0) targets++, target = timeof(l);
    if (l.rfind("KeyEvent:", 0) == 0 && target >= 0) {
      hits += timeof(l) - target <= 2.0;
      target = -1;
    }
  }
  EXPECT_EQ(r.at("targets"), std::to_string(targets)) << text;
  EXPECT_EQ(r.at("hits"), std::to_string(hits)) << text;
  EXPECT_EQ(r.at("misses"), std::to_string(targets - hits));
  EXPECT_EQ(r.at("score"), std::to_string(targets ? hits * 100 / targets : 0)) << "truncated, as the program's";
  removetree(dir);
}

TEST_F(Report, AKilledRunsCutLinesAreLeftOutAndBlocksOfAnotherTypeAreCounted) {
  // A block design (type 54) cut by SIGKILL, then its last lines cut by hand
  // as a crash in mid-write leaves them.
  const std::string dir = maketempdir("reportkill");
  mkdir((dir + "/logs").c_str(), 0755);
  Vistrum v(*x, {"-s", "54", "-nofullscreen", "-winxy", "320", "240", "-logfile", "-blockperiod", "1"}, dir);
  ASSERT_TRUE(v.waitforwindow());
  auto lines = [&](const char* kind) { return loglines(readfile(logof(dir)), kind).size(); };
  ASSERT_TRUE(waituntil([&] { return lines("StimEvent") >= 3; }, 30.0)) << readfile(logof(dir));
  kill(v.pid(), SIGKILL);
  v.wait();
  const std::string log = logof(dir);
  const size_t blocks = loglines(readfile(log), "StimEvent").size();
  const int frames = framelines(log);
  std::ofstream(log, std::ios::app) << "StimEvent:    12.3";
  std::ofstream(log.substr(0, log.size() - 4) + "_frames.tsv", std::ios::app) << "99999\t1.0";
  const std::map<std::string, std::string> r = report(log);
  EXPECT_EQ(r.at("frames"), std::to_string(frames));
  size_t shown = 0;
  for (const auto& kv : r)
    if (kv.first.size() > 7 && kv.first.compare(kv.first.size() - 7, 7, "-blocks") == 0) shown += std::stoul(kv.second);
  EXPECT_EQ(shown, blocks) << "every whole block line, none of the cut one";
  removetree(dir);
}

// What the subject was shown at "Done" is what the report and the events
// table give for that start: fixation targets (answered from their first
// dimmed frame, across the pre-period's timer reset) and number digits,
// answered now and then, for a few logging types.
TEST_F(Report, TheReportScoresEachStartAsTheProgramShowedIt) {
  const std::vector<std::vector<std::string>> runs = {
      {"-s", "10", "-polperiod", "8", "-fixtarg", "16", "0.5", "-targframes", "20"},
      {"-s", "12", "-lettspernum", "2", "-fixtarg", "0", "0.5"},
      {"-s", "54", "-blockperiod", "2", "-fixtarg", "16", "0.5"},
  };
  for (std::vector<std::string> args : runs) {
    const std::string dir = maketempdir("reportscore");
    mkdir((dir + "/logs").c_str(), 0755);
    args.insert(args.end(), {"-nofullscreen", "-winxy", "320", "240", "-logfile", "-srseed", "4", "-waitforpulse",
                             "-1", "-prepostfix", "1.5", "-runperiod", "7", "-reportpercent", "star.tif", "0.5"});
    Vistrum v(*x, args, dir);
    ASSERT_TRUE(v.waitforwindow());
    v.key("F1");
    auto log = [&] { return readfile(logof(dir)); };
    // Answer every other target right after its line, and once early.
    size_t answered = 0;
    v.key("3");
    for (;;) {
      if (!waituntil([&] { return !loglines(log(), "Feedback:").empty() ||
                                  loglines(log(), "FixEvent:").size() + loglines(log(), "NumEvent:").size() > answered; },
                     30.0))
        break;
      if (!loglines(log(), "Feedback:").empty()) break;
      if (answered++ % 2 == 0) v.key("1");
    }
    ASSERT_FALSE(loglines(log(), "Feedback:").empty()) << args[1] << "\n" << log();
    v.key("Escape");
    ASSERT_EQ(v.wait().status, 0);
    const std::string feedback = loglines(log(), "Feedback:").front();
    std::smatch m;
    ASSERT_TRUE(std::regex_search(feedback, m, std::regex("You scored ([0-9]+)% !"))) << feedback;
    const std::map<std::string, std::string> r = report(logof(dir));
    EXPECT_EQ(r.at("last-score"), std::string(m[1])) << args[1] << "\n" << log();
    EXPECT_GT(std::stoi(r.at("s1-scored")), 0) << args[1] << ": the run had targets";
    EXPECT_EQ(r.at("s1-score"), std::string(m[1])) << args[1];
    removetree(dir);
  }
}
