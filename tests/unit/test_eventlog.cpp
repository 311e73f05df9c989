// Event-log naming, header, directory checks and the flushing of lines.
#include "keepglobals.h"
#include "config/params.h"
#include "core/eventlog.h"
#include "core/runstate.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string tempdir() {
  char tmpl[] = "/tmp/vistrum-logtest-XXXXXX";
  return mkdtemp(tmpl);
}

}  // namespace

TEST(LogName, DateStampAndPathPattern) {
  char stamp[100];
  mygetdate_sort(stamp, sizeof stamp);
  EXPECT_TRUE(std::regex_match(stamp, std::regex("[0-9]{6}-[0-9]{6}"))) << stamp;
  EXPECT_EQ(logfilepath("logs", "251208-184700", "chktargpolar"), "logs/251208-184700_chktargpolar.log");
  EXPECT_EQ(logfilepath("logs", "251208-184700", "chktargpolar", 2), "logs/251208-184700_chktargpolar-2.log");
  char date[100];
  mygetdate_read(date, sizeof date);
  EXPECT_TRUE(std::regex_match(date, std::regex("[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} .+ [0-9]{4}")))
      << date;
}

TEST(LogHeader, TitleDateDirectoryAndCommandLine) {
  const std::string dir = tempdir();
  const std::string path = dir + "/h.log";
  FILE* f = std::fopen(path.c_str(), "w");
  char a0[] = "vistrum", a1[] = "-s", a2[] = "10", a3[] = "-logfile";
  char* argv[] = {a0, a1, a2, a3};
  writelogheader(f, 10, "Mon Dec  8 18:47:00 UTC 2025", "/home/scan", 4, argv);
  std::fclose(f);
  EXPECT_EQ(slurp(path),
            "###############################\n"
            "Vistrum logfile for stimtype=10\n"
            "###############################\n\n"
            "Mon Dec  8 18:47:00 UTC 2025\n\n"
            "pwd = /home/scan\n\n"
            "vistrum -s 10 -logfile \n\n");
  f = std::fopen(path.c_str(), "w");
  writelogheader(f, 10, "d", nullptr, 1, argv);
  std::fclose(f);
  EXPECT_EQ(slurp(path).find("pwd"), std::string::npos);
}

TEST(LogDirectory, MissingFileAndUsableDirectories) {
  const std::string dir = tempdir();
  EXPECT_EQ(checklogdir(dir.c_str()), LogDirCheck::usable);
  EXPECT_EQ(checklogdir((dir + "/nosuch").c_str()), LogDirCheck::fallback);
  const std::string file = dir + "/plain";
  std::fclose(std::fopen(file.c_str(), "w"));
  EXPECT_EQ(checklogdir(file.c_str()), LogDirCheck::notadir);
}

TEST(LogLines, EveryLineReachesTheFileAtOnceAndOnlyWhenLogging) {
  const KeepGlobals keep;
  const std::string dir = tempdir();
  const std::string path = dir + "/e.log";
  run.fplogfile = std::fopen(path.c_str(), "w");
  par.logfileflag = 0;
  logevent("KeyEvent: %9.3lf   k%d\n", 1.5, 3);
  EXPECT_EQ(slurp(path), "");
  par.logfileflag = 1;
  logevent("KeyEvent: %9.3lf   k%d\n", 1.5, 3);
  EXPECT_EQ(slurp(path), "KeyEvent:     1.500   k3\n");  // read back before any close
  closelog();
  EXPECT_EQ(run.fplogfile, nullptr);
  logevent("KeyEvent: %9.3lf   k%d\n", 2.5, 4);  // closed: ignored, no crash
  par.logfileflag = 0;
}
