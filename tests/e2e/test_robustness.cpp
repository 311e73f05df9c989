// Bad input a researcher may type ends in a message and status 1, or in a
// normal run; nothing crashes, hangs or leaves half-written files; the frame
// loop allocates nothing.
#include "harness.h"
#include "stimuli/catalogue.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <regex>

namespace {

class Robustness : public XServerSuite<> {};

struct Refusal {
  std::vector<std::string> args;
  std::string line;  // the message the run must print
};

}  // namespace

TEST_F(Robustness, ValuesThatCannotWorkAreRefusedWithAMessage) {
  const std::string dir = maketempdir("snd");
  for (const char* f : {"a.wav", "b.wav"}) std::ofstream(dir + "/" + f) << "x";
  const std::string a = dir + "/a.wav", b = dir + "/b.wav";
  std::vector<Refusal> cases = {
      {{"-s", "10", "-fixlett", "60", "ABC", "-fixfontsize", "100000"},
       "vistrum: ### bad -fixfontsize 100000 (OK:0-1000)"},
      {{"-s", "10", "-exptfontsize", "100000"}, "vistrum: ### bad -exptfontsize 100000 (OK:0-1000)"},
      {{"-s", "10", "-numtheta", "65536", "-numrad", "65537"}, "vistrum: ### bad -numrad 65537 (OK:0-65536)"},
      {{"-s", "10", "-numtheta", "60000", "-numrad", "60000"},
       "vistrum: ### -numtheta 60000 x -numrad 60000: 3600060000 checks (max 1048576)"},
      {{"-s", "10", "-fixdots", "0.5", "-numdots", "-4"}, "vistrum: ### bad -numdots -4 (OK:0-1000000)"},
      {{"-s", "10", "-numdots", "99999999999"}, "vistrum: ### -numdots value out of range: 99999999999"},
      {{"-s", "10", "-s", "-7"}, "vistrum: ### -s -7 repeats the type as another (10): give the type once, as the first option"},
      {{"-s", "10", "-stimtype", "116"},
       "vistrum: ### -stimtype 116 repeats the type as another (10): give the type once, as the first option"},
      {{"-s", "10", "-sndfilenames", "1", a, "-sndsoalist", "2", "-sndfilenames", "2", a, b},
       "vistrum: ### -sndsoalist count doesn't match -sndfilenames count"},
      {{"-s", "10", "-startstimscale", "nan"}, "vistrum: ### -startstimscale needs a finite number: nan"},
      {{"-s", "10", "-fixrad", "inf"}, "vistrum: ### -fixrad needs a finite number: inf"},
      {{"-s", "10", "-polperiod", "0"}, "vistrum: ### -polperiod needs a non-zero finite period or inf: 0"},
      {{"-s", "10", "-exptend", "nan"}, "vistrum: ### -exptend needs a finite number: nan"},
      {{"-s", "10", "-targtimes", "1", "nan"}, "vistrum: ### -targtimes needs a finite number: nan"},
  };
  for (const Refusal& c : cases) {
    const std::string cwd = maketempdir("refuse");
    const RunResult r = runvistrum(*x, c.args, 30, cwd);
    EXPECT_EQ(r.status, 1) << c.line << "\n" << r.out;
    EXPECT_TRUE(hasline(r, c.line)) << r.out;
    EXPECT_TRUE(listdir(cwd).empty()) << c.line;  // nothing written by a refused run
  }
}

TEST_F(Robustness, AnOverlongLogPathLeavesNoFileBehind) {
  // Deep enough that the log's full path passes the 199-character limit.
  std::string dir = maketempdir("longlog");
  const std::string top = dir;
  while (dir.size() < 180) {
    dir += "/dddddddddddddddddddd";
    mkdir(dir.c_str(), 0755);
  }
  const RunResult r = runvistrum(*x, {"-s", "24", "-logfile", "-logfiledir", dir, "-saveframes", "1", "30", "-framerate", "30"}, 30);
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("vistrum: ### can't create " + dir + "/"), std::string::npos) << r.out;
  EXPECT_TRUE(listdir(dir).empty());
}

TEST_F(Robustness, HugeCountsAndSizesAreTamedAndEscStillEndsTheRun) {
  // A 2147483647-wide fixation array is clamped, so a frame is quick and Esc
  // on the Ready screen ends the run at once.
  Vistrum v(*x, {"-s", "10", "-fixtype", "5", "-fixarr", "2147483647", "0.05"});
  ASSERT_TRUE(v.waitforwindow());
  v.key("Escape");
  RunResult r = v.wait(10);
  EXPECT_FALSE(r.timedout);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: ### clamp -fixarr rad 2147483647 -> 50")) << r.out;

  // Text scaled beyond any window is skipped with a note, not rendered into a
  // multi-gigabyte glyph; the run ends normally with its frames.
  const std::string frames = maketempdir("bigtext");
  Vistrum w(*x, {"-s", "10", "-fixlett", "60", "ABC", "-fixfontsize", "1000", "-startstimscale", "10",
                 "-winxy", "256", "192", "-saveframes", "300", "60", "-tiffoutdir", frames});
  ASSERT_TRUE(w.waitforwindow());
  w.key("F1");
  r = w.wait(60);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: ### text size 10000 pixels over 4096: not drawn")) << r.out;
  EXPECT_EQ(listdir(frames).size(), 300u);
  removetree(frames);
}

#ifdef VISTRUM_ALLOC_BINARY
TEST_F(Robustness, TheFrameLoopAllocatesNothing) {
  // The program's own heap calls counted at saved frames 100 and 400 of one
  // run: whatever the 300 frames between allocated shows as a difference.
  static const std::regex at100("heap allocations at frame 100: ([0-9]+)");
  static const std::regex at400("heap allocations at frame 400: ([0-9]+)");
  // Every type takes about 1.5 s here: the fast tier counts a sample.
  int count = 0;
  const StimTypeInfo* table = stimtable(&count);
  std::vector<int> built;
  for (int k = 0; k < count; k++)
    if (validstimtype(table[k].num)) built.push_back(table[k].num);
  for (int type : sampletypes(built, 12, "allocation test")) {
    const std::string out = maketempdir("alloc");
    Vistrum v(*x, {"-s", std::to_string(type), "-winxy", "160", "120", "-saveframes", "401", "60",
                   "-tiffoutdir", out},
              "", {}, VISTRUM_ALLOC_BINARY);
    if (v.waitforwindow()) v.key("F1");
    const RunResult r = v.wait(120);
    removetree(out);
    std::smatch m100, m400;
    const bool looped = std::regex_search(r.out, m100, at100);
    // Types that end before their loop (61, 99) or need more than their
    // defaults (76 wants a sound file) have no frames to count.
    if (!looped && !r.timedout && (r.status == 0 || r.status == 1)) continue;
    if (!looped || r.status != 0 || !std::regex_search(r.out, m400, at400)) {
      ADD_FAILURE() << "type " << type << "\n" << r.out.substr(r.out.size() > 2000 ? r.out.size() - 2000 : 0);
      continue;
    }
    EXPECT_EQ(m400[1], m100[1]) << "type " << type << " allocates in its frame loop";
  }
}
#endif
