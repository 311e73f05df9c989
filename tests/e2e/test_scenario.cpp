// Scenario experiments on the real binary: each event's items in exactly the
// saved frames whose t lies in its interval, its code logged at its onset,
// runs that repeat bit for bit, the shipped examples, and every bad input
// stopped before "Ready" with the file and line.
#include "harness.h"

#include <algorithm>
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace {

class ScenarioFrames : public XServerSuite<> {};

constexpr int W = 256, H = 192;  // small window: quick frame saving
constexpr double DT = 0.05;      // 20 frames per second

void writefile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// Pixel of the saved frame at (px, py) pixels from the centre, +y up.
int colourat(const Image& im, int px, int py) { return static_cast<int>(im.at(W / 2 + px, H / 2 - py) & 0xffffff); }

int countcolour(const Image& im, int rgb, int y0, int y1) {
  int n = 0;
  for (int y = y0; y < y1; y++)
    for (int x = 0; x < W; x++) n += static_cast<int>(im.at(x, y) & 0xffffff) == rgb;
  return n;
}

std::vector<Image> runframes(const XServer& x, const std::string& cwd, int n, const std::vector<std::string>& extra,
                             RunResult* r) {
  std::vector<std::string> args = {"-s", "60", "-winxy", std::to_string(W), std::to_string(H),
                                   "-saveframes", std::to_string(n), "20", "-framerate", "20", "-tiffoutdir", cwd};
  args.insert(args.end(), extra.begin(), extra.end());
  Vistrum v(x, args, cwd);
  EXPECT_TRUE(v.waitforwindow());
  v.key("F1");
  *r = v.wait(120);
  std::vector<Image> frames;
  for (int k = 0; k < n; k++) {
    char name[32];
    std::snprintf(name, sizeof name, "/f%05d.tiff", k);
    frames.push_back(readimage(cwd + name));
  }
  return frames;
}

// Blue square left, green square right (palette blue, explicit green).
const char* const kPgiA = "moveto -80 20\nsetfgcolor 11\nfrect 40 40\n";
const char* const kPgiB = "# right\nmoveto 40 20\nsetrgbcolor 0 200 0\nfrect 40 40\n";
constexpr int BLUE = 252 << 16, GREEN = 200 << 8, PALGREEN = 252 << 8, DISCRED = 230 | 60 << 8 | 40 << 16;

struct Event {
  double soa, dur;
  int code;
  bool a, b, disc;  // which items it shows
};
// Interval ends fall between frames; event 3 is shorter than a frame.
const std::vector<Event> kEvents = {
    {130, 130, 11, true, false, false}, {230, 110, 12, false, true, false}, {10, 10, 13, true, false, false},
    {300, 200, 99, false, false, true}, {120, 120, 14, true, true, false},  {120, 120, 14, false, true, false},
    {1000, 1000, 15, false, false, false},
};
const char* const kScenario =
    "# onsets\n"
    "130 130 11 pgi=a.pgi\n"
    "230 110 12 pgi=b.pgi\n"
    "10 10 13 pgi=a.pgi\n"
    "300 200 99 rgb=./disc.tif size=64 yoff=-50 lblo=5 +\n"
    "text=MMM color=8 yoff=60 size=24\n"
    "f2.4 120 14 pgi=a.pgi +\n"
    "pgi=b.pgi\n"
    "120 120 14 pgi=b.pgi\n"
    "1000 1000 15 text=end\n";

TEST_F(ScenarioFrames, EventsShowInTheirIntervalsAndLogTheirOnsets) {
  const std::string dir = maketempdir("scn");
  writefile(dir + "/t.scn", kScenario);
  writefile(dir + "/a.pgi", kPgiA);
  writefile(dir + "/b.pgi", kPgiB);
  std::ifstream src(sourcedir() + "/lib/imagefiles/test/disc.tif", std::ios::binary);
  std::ofstream(dir + "/disc.tif", std::ios::binary) << src.rdbuf();
  const int n = 24;
  RunResult r;
  const std::vector<Image> frames = runframes(*x, dir, n, {"-exptfile", "t.scn", "-sxcode"}, &r);
  ASSERT_EQ(r.status, 0) << r.out;

  // Each event is shown while the previous end < t <= its own end.
  std::vector<double> start, end;
  double T = 0.0;
  for (const Event& e : kEvents) {
    start.push_back(T);
    end.push_back(T + e.dur / 1000.0);
    T += std::max(e.soa, e.dur) / 1000.0;
  }
  std::vector<std::string> expectedlog;
  std::vector<double> firstframe(kEvents.size(), -1.0);
  for (int k = 0; k < n; k++) {
    ASSERT_TRUE(frames[k].ok()) << k;
    const double t = k * DT;
    int on = -1;
    for (size_t e = 0; e < kEvents.size(); e++)
      if (t > (e ? start[e] : -1.0) && t <= end[e]) on = static_cast<int>(e);
    const Event* e = on >= 0 ? &kEvents[on] : nullptr;
    const Image& im = frames[k];
    EXPECT_EQ(colourat(im, -60, 40) == BLUE, e && e->a) << "frame " << k;
    EXPECT_EQ(colourat(im, 60, 40) == GREEN, e && e->b) << "frame " << k;
    EXPECT_EQ(colourat(im, 0, -50) == DISCRED, e && e->disc) << "frame " << k;
    EXPECT_EQ(countcolour(im, PALGREEN, 10, 60) > 20, e && e->disc) << "frame " << k;
    if (on >= 0 && firstframe[on] < 0) firstframe[on] = t;
  }
  // Codes at each event's first frame, within one frame of its onset; the
  // event shorter than a frame and code 99 are never logged.
  EXPECT_LT(firstframe[2], 0.0);
  const std::vector<std::string> lines = loglines(readfile(findfile(dir + "/logs", ".log")), "SXCdeEvent:");
  std::vector<std::pair<double, int>> logged;
  for (const std::string& l : lines) {
    double lt = 0;
    int code = 0;
    ASSERT_EQ(std::sscanf(l.c_str(), "SXCdeEvent: %lf %d", &lt, &code), 2) << l;
    logged.emplace_back(lt, code);
  }
  std::vector<std::pair<double, int>> want;
  for (size_t e = 0; e < kEvents.size(); e++)
    if (firstframe[e] >= 0 && kEvents[e].code != 99) want.emplace_back(firstframe[e], kEvents[e].code);
  ASSERT_EQ(logged.size(), want.size()) << r.out;
  for (size_t k = 0; k < want.size(); k++) {
    EXPECT_EQ(logged[k].second, want[k].second);
    EXPECT_NEAR(logged[k].first, want[k].first, 0.0005);
  }
  for (size_t e = 0; e < kEvents.size(); e++) {
    if (firstframe[e] >= 0) {
      EXPECT_LT(firstframe[e] - start[e], DT + 1e-9) << "event " << e;
    }
  }

  // The same run again gives the same frames and code lines.
  const std::string dir2 = maketempdir("scn2");
  for (const char* f : {"/t.scn", "/a.pgi", "/b.pgi", "/disc.tif"}) {
    std::ifstream in(dir + f, std::ios::binary);
    std::ofstream(dir2 + f, std::ios::binary) << in.rdbuf();
  }
  RunResult r2;
  const std::vector<Image> again = runframes(*x, dir2, n, {"-exptfile", "t.scn", "-sxcode"}, &r2);
  ASSERT_EQ(r2.status, 0) << r2.out;
  for (int k = 0; k < n; k++) EXPECT_TRUE(again[k].rgba == frames[k].rgba) << "frame " << k;
  EXPECT_EQ(loglines(readfile(findfile(dir2 + "/logs", ".log")), "SXCdeEvent:"), lines);
}

// Sounds start once per item at the event's first frame; the event's output
// bit is on while it is shown and its code sits on the code port.
TEST_F(ScenarioFrames, SoundsOutputBitsAndCodesFollowTheEvents) {
  const std::string dir = maketempdir("scnio");
  writefile(dir + "/t.scn",
            "130 130 11 text=a +\nttl=1 +\nsnd=./a.wav\n"
            "230 110 12 text=b\n"
            "10 10 13 text=c +\nsnd=./c.wav\n"
            "300 200 99 text=d +\nttl=3\n"
            "1000 1000 15 text=e +\nsnd=./a.wav\n");
  for (const char* f : {"/a.wav", "/c.wav"}) writefile(dir + f, "");
  // The player notes what it was asked to play.
  writefile(dir + "/player.sh", "#!/bin/sh\necho \"$1\" >> " + dir + "/played.txt\n");
  chmod((dir + "/player.sh").c_str(), 0755);
  mkdir((dir + "/box").c_str(), 0755);
  mkfifo((dir + "/box/in").c_str(), 0666);
  std::vector<std::string> args = {"-s", "60", "-winxy", "64", "48", "-saveframes", "24", "20", "-framerate", "20", "-tiffoutdir", dir,
                                   "-exptfile", "t.scn", "-sxcode", "-sxcode2ttl", "-addport2set", "0", "A",
                                   "-sndprog", dir + "/player.sh"};
  Vistrum v(*x, args, dir, {"VISTRUM_DIO=sim:" + dir + "/box"});
  ASSERT_TRUE(v.waitforwindow());
  v.key("F1");
  const RunResult r = v.wait(120);
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(waituntil([&] { return readfile(dir + "/played.txt").size() >= 16; }, 5.0));
  EXPECT_EQ(readfile(dir + "/played.txt"), "./a.wav\n./a.wav\n");

  // Each port's changes of value, with their frame times.
  std::map<char, std::vector<std::pair<double, int>>> ports;
  for (const char port : {'A', 'C'})
    for (const auto& e : simportvalues(dir + "/box/out", port))
      if (ports[port].empty() || ports[port].back().second != e.second) ports[port].push_back(e);
  // Bit 1 during the first event (t 0-0.1), bit 3 during the fourth (0.4-0.55).
  const std::vector<std::pair<double, int>> bits = {{0.0, 1}, {0.15, 0}, {0.4, 4}, {0.6, 0}};
  std::vector<std::pair<double, int>> a(ports['A'].begin() + (ports['A'].front().second == 0), ports['A'].end());
  EXPECT_EQ(a, bits);
  const std::vector<std::pair<double, int>> codes = {{0.0, 11}, {0.15, 12}, {0.7, 15}};
  std::vector<std::pair<double, int>> c;
  for (const auto& e : ports['C'])
    if (e.second) c.push_back(e);
  EXPECT_EQ(c, codes) << readfile(dir + "/box/out");
}

// Two events in a row with the same code and bit: a frame of zero between
// them, so the receiver sees two onsets. A bit the box does not have is refused.
TEST_F(ScenarioFrames, RepeatedCodesAndBitsShowEachOnsetOnThePort) {
  const std::string dir = maketempdir("scnrep");
  writefile(dir + "/t.scn", "100 100 5 text=a +\nttl=2\n100 100 5 text=b +\nttl=2\n100 100 6 text=c\n1000 1000 7 text=d\n");
  mkdir((dir + "/box").c_str(), 0755);
  mkfifo((dir + "/box/in").c_str(), 0666);
  // Nine frames: the outputs go off when the run ends, after 0.4 s.
  const std::vector<std::string> args = {"-s", "60", "-winxy", "64", "48", "-saveframes", "9", "20", "-framerate", "20", "-firstframetime",
                                         "0.025", "-tiffoutdir", dir, "-exptfile", "t.scn", "-sxcode", "-sxcode2ttl",
                                         "-addport2set", "0", "A"};
  Vistrum v(*x, args, dir, {"VISTRUM_DIO=sim:" + dir + "/box"});
  ASSERT_TRUE(v.waitforwindow());
  v.key("F1");
  const RunResult r = v.wait(120);
  ASSERT_EQ(r.status, 0) << r.out;
  std::map<char, std::vector<std::pair<double, int>>> ports;
  for (const char port : {'A', 'C'})
    for (const auto& e : simportvalues(dir + "/box/out", port))
      if (e.first > 0.0 && e.first < 0.4 && (ports[port].empty() || ports[port].back().second != e.second))
        ports[port].push_back(e);
  // Frames at 0.025, 0.075, ... 0.375: the second event begins at 0.125 with a zero.
  const std::vector<std::pair<double, int>> codes = {{0.025, 5}, {0.125, 0}, {0.175, 5}, {0.225, 6}, {0.325, 7}};
  EXPECT_EQ(ports['C'], codes) << readfile(dir + "/box/out");
  const std::vector<std::pair<double, int>> bits = {{0.025, 2}, {0.125, 0}, {0.175, 2}, {0.225, 0}};
  EXPECT_EQ(ports['A'], bits) << readfile(dir + "/box/out");

  writefile(dir + "/u.scn", "100 100 5 text=a +\nttl=9\n");
  Vistrum b(*x, {"-s", "60", "-nofullscreen", "-exptfile", dir + "/u.scn", "-setupusb", "-addport2set", "0", "A"}, dir,
            {"VISTRUM_DIO=sim:" + dir + "/box"});
  const RunResult bad = b.wait(30);
  EXPECT_EQ(bad.status, 1) << bad.out;
  EXPECT_NE(bad.out.find("ttl=9 but the output bits (-addport2set) are 1-8"), std::string::npos) << bad.out;
}

// The shipped examples start from any folder, found by name in the library.
TEST_F(ScenarioFrames, ShippedExamplesRunAsTheyAre) {
  for (const std::vector<std::string>& extra : std::vector<std::vector<std::string>>{
           {}, {"-exptfile", "codes.scn", "-sxcode"}, {"-exptfile", "colours.scn", "-palfile", "demo.pal"}}) {
    const std::string dir = maketempdir("scnx");
    RunResult r;
    const std::vector<Image> frames = runframes(*x, dir, 12, extra, &r);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(frames.back().ok()) << r.out;
  }
}

// Bad input stops before "Ready" with status 1, naming the file and line.
TEST_F(ScenarioFrames, BadInputStopsBeforeReadyNamingFileAndLine) {
  struct Case {
    std::string scn, pgi, args, want;
  };
  const std::vector<Case> cases = {
      {"100 100 text=a\n200 100 pgi=r.pgi\n", "moveto 1 x\n", "",
       "vistrum: ### bad number in pgi file r.pgi line 1:|named at line 2 of t.scn"},
      {"# c\n100 100 pgi=none.pgi\n", "", "", "pgifile \\(none.pgi\\) not found|named at line 2 of t.scn"},
      {"100 100 rgb=./none.tif\n", "", "", "image file ./none.tif not found|named at line 1 of t.scn"},
      {"100 100 text=a\n100 100 words\n", "", "", "unrecognized line:|at line 2 of t.scn"},
      {"100 100 text=a\n", "", "-palfile short.pal", "read 4 \\(not 448\\) pal shorts|bad magic \\(0\\) in palette"},
      {"100 100 text=a\n", "", "-exptfile none.scn", "exptfile none.scn not found"},
  };
  for (const Case& c : cases) {
    const std::string dir = maketempdir("scnbad");
    writefile(dir + "/t.scn", c.scn);
    if (!c.pgi.empty()) writefile(dir + "/r.pgi", c.pgi);
    writefile(dir + "/short.pal", std::string(8, '\0'));
    std::vector<std::string> args = {"-s", "60", "-nofullscreen", "-exptfile", "t.scn"};
    std::istringstream extra(c.args);
    for (std::string w; extra >> w;) args.push_back(w);
    const RunResult r = runvistrum(*x, args, 30.0, dir);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_EQ(r.out.find("Ready"), std::string::npos);
    std::istringstream wants(c.want);
    for (std::string w; std::getline(wants, w, '|');) EXPECT_TRUE(std::regex_search(r.out, std::regex(w))) << w << "\n" << r.out;
  }
}

}  // namespace
