// The readers with inputs from other systems and from things that are not
// files: line ends, FIFOs, endless devices, a German locale.
#include "harness.h"

#include <sys/stat.h>

#include <clocale>
#include <fstream>
#include <regex>
#include <string>

namespace {

class Readers : public XServerSuite<> {};

void writefile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

bool haslocale(const char* name) {
  const std::string was = std::setlocale(LC_CTYPE, nullptr);
  const bool ok = std::setlocale(LC_CTYPE, name) != nullptr;
  std::setlocale(LC_CTYPE, was.c_str());
  return ok;
}

std::string alllogs(const std::string& dir) {
  std::string s;
  for (const std::string& f : listdir(dir + "/logs")) s += readfile(dir + "/logs/" + f);
  return s;
}

// A FIFO with no writer, /dev/zero and a folder, named as a word list, a
// scenario or a font: each is refused before Ready with its name and what
// it is, instead of hanging at the open or reading forever.
TEST_F(Readers, WhatIsNotARegularFileIsRefusedBeforeReadyWithItsReason) {
  const std::string dir = maketempdir("readersfifo");
  const std::string fifo = dir + "/pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::vector<std::string> args;
    std::string want;
  };
  const std::vector<Case> cases = {
      {{"-s", "16", "-wordfile", fifo}, fifo + " is not a regular file \\(a FIFO\\)"},
      {{"-s", "16", "-wordfile", "/dev/zero"}, "/dev/zero is not a regular file \\(a character device\\)"},
      {{"-s", "60", "-exptfile", fifo}, "exptfile " + fifo + " is not a regular file \\(a FIFO\\)"},
      {{"-s", "60", "-exptfile", dir}, "is not a regular file \\(a directory\\)"},
      {{"-s", "0", "-fontfile", fifo}, "fontfile " + fifo + " is not a regular file \\(a FIFO\\)"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-nofullscreen", "-winxy", "64", "48"});
    const RunResult r = runvistrum(*x, args, 20.0, dir);
    EXPECT_FALSE(r.timedout) << c.args[3];
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(r.out.find("Ready"), std::string::npos) << r.out;
    EXPECT_TRUE(std::regex_search(r.out, std::regex("vistrum: ### .*" + c.want))) << c.want << "\n" << r.out;
  }
  removetree(dir);
}

// Files written with CR (old Mac) or CR LF (Windows) line ends read as the
// lines they hold, not as one long line.
TEST_F(Readers, CrAndCrLfLineEndsGiveTheirLines) {
  const std::string dir = maketempdir("readerscr");
  writefile(dir + "/cr.txt", "# words\rone\rtwo\rthree\r");
  writefile(dir + "/crlf.txt", "# words\r\none\r\ntwo\r\nthree\r\n");
  // What was read is said before Ready.
  auto readout = [&](const std::vector<std::string>& args) {
    std::vector<std::string> a = args;
    a.insert(a.end(), {"-nofullscreen", "-winxy", "64", "48"});
    Vistrum v(*x, a, dir);
    EXPECT_TRUE(v.waitforwindow()) << v.output();
    v.key("Escape");
    return v.wait(30).out;
  };
  for (const char* f : {"/cr.txt", "/crlf.txt"}) {
    const std::string out = readout({"-s", "16", "-wordfile", dir + f});
    EXPECT_NE(out.find("vistrum: read 3 wordlines from:"), std::string::npos) << f << "\n" << out;
  }
  // Three events, one of them continued: CR ends lines and the '+' is seen.
  writefile(dir + "/t.scn", "# cr\r100 100 text=a\r100 100 text=b +\rtext=c\r300 100 text=d\r");
  const std::string out = readout({"-s", "60", "-exptfile", "t.scn"});
  // Three events and the fixation after the last.
  EXPECT_NE(out.find("vistrum: total expttime (4 slots):"), std::string::npos) << out;
  removetree(dir);
}

// Under a German locale the log's and the frame record's numbers keep
// their decimal point (the events tool reads them), a scenario's
// size=40.5 after a utf8d= line is read as a number, and the text still
// converts; the default en_US.UTF-8, absent on a bare system, falls back to
// C.UTF-8 instead of stopping.
TEST_F(Readers, ALocaleChangesTextButNeverNumbers) {
  const std::string dir = maketempdir("readerslocale");
  writefile(dir + "/t.scn", "100 100 utf8d=252,98,101,114 +\rtext=x size=40.5\r200 100 text=y size=30.5\r");
  if (haslocale("de_DE.UTF-8")) {
    const SavedRun s = loggedrun(*x, {"-s", "60", "-exptfile", dir + "/t.scn", "-vistrumlocale", "de_DE.UTF-8",
                                      "-winxy", "128", "96", "-nofullscreen"},
                                 6, 20.0, 60.0);
    ASSERT_TRUE(s.windowed) << s.result.out;
    EXPECT_EQ(s.result.status, 0) << s.result.out;
    const std::string logs = alllogs(s.dir);
    ASSERT_FALSE(logs.empty());
    EXPECT_TRUE(std::regex_search(logs, std::regex("[0-9]\\.[0-9]{3}")));
    std::smatch m;
    EXPECT_FALSE(std::regex_search(logs, m, std::regex("[0-9],[0-9]"))) << m.str(0) << "\n" << logs;
    EXPECT_NE(s.result.out.find("vistrum: setlocale to: de_DE.UTF-8"), std::string::npos) << s.result.out;
  } else {
    std::printf("de_DE.UTF-8 not installed: the German-locale half is skipped\n");
  }
  const SavedRun d = loggedrun(*x, {"-s", "60", "-exptfile", dir + "/t.scn", "-vistrumlocale", "xx_NOWHERE.UTF-8",
                                    "-winxy", "128", "96", "-nofullscreen"},
                               2, 20.0, 60.0);
  EXPECT_TRUE(d.windowed) << d.result.out;
  EXPECT_NE(d.result.out.find("vistrum: ### setlocale to: xx_NOWHERE.UTF-8 failed, trying C.UTF-8"), std::string::npos)
      << d.result.out;
  removetree(dir);
}

}  // namespace
