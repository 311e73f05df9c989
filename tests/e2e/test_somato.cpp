// The digital I/O layer through the simulated box: trigger pulses, response
// buttons, air valves, the laser bit and code bytes, checked against the
// frame times of the same run.
#include "harness.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {

class Somato : public XServerSuite<> {
 protected:
  static std::string newcwd() {
    const std::string d = maketempdir("somato");
    mkdir((d + "/logs").c_str(), 0755);
    mkdir((d + "/frames").c_str(), 0755);
    return d;
  }
};

// The test's side of the box: it writes the inputs and reads the outputs.
struct Box {
  std::string dir;
  int fd = -1;
  explicit Box(const std::string& cwd) : dir(cwd + "/box") {
    mkdir(dir.c_str(), 0755);
    mkfifo((dir + "/in").c_str(), 0666);
    fd = open((dir + "/in").c_str(), O_RDWR | O_NONBLOCK);
  }
  ~Box() { close(fd); }
  std::string env() const { return "VISTRUM_DIO=sim:" + dir; }
  void send(const std::string& line) const {
    const std::string l = line + "\n";
    EXPECT_EQ(write(fd, l.data(), l.size()), static_cast<ssize_t>(l.size()));
  }
  bool opened() const { return readfile(dir + "/out").find("# open") != std::string::npos; }
  bool waiting() const { return readfile(dir + "/out").find("# wait") != std::string::npos; }
  // Every value `port` took, with the frame time (the initial switch-off too).
  std::vector<std::pair<double, int>> values(char port) const { return simportvalues(dir + "/out", port); }
  // Frame times at which `bit` of `port` went on (true) or off (false).
  std::vector<std::pair<double, bool>> edges(char port, int bit) const {
    std::vector<std::pair<double, bool>> out;
    int last = 0;
    for (const auto& [t, value] : values(port)) {
      if (((value ^ last) >> bit) & 1) out.push_back({t, ((value >> bit) & 1) != 0});
      last = value;
    }
    return out;
  }
};

std::string logof(const Vistrum& v) {
  const std::string f = findfile(v.cwd() + "/logs", ".log");
  return f.empty() ? "" : readfile(f);
}

// A sound player that only records its arguments.
std::string recordingplayer(const std::string& cwd) {
  const std::string path = cwd + "/recplay";
  std::ofstream(path) << "#!/bin/sh\nprintf '%s\\n' \"$1\" >> " << cwd << "/played\n";
  chmod(path.c_str(), 0755);
  return path;
}

constexpr double FRAME = 1.0 / 60;

// F1 starts the saving run; a press that reached no window (the run still
// setting up under load) is repeated once the first frame fails to appear.
void startsaving(Vistrum& v, const std::string& frames) {
  for (int k = 0; k < 4; k++) {
    v.key("F1");
    if (waituntil([&] { return !findfile(frames, "f00000.tiff").empty() || !v.running(); }, 5.0)) return;
  }
}

// A saving run of `type` (160 x 120) with the box's ports A and B as the
// output group; its status.
int boxrun(const XServer& x, const Box& box, const std::string& cwd, const std::string& type, int frames,
           std::vector<std::string> extra, int hz = 60) {
  std::vector<std::string> args = {"-s", type, "-nofullscreen", "-setupusb", "-addport2set", "0", "A", "-addport2set",
                                   "0", "B", "-winxy", "160", "120", "-saveframes", std::to_string(frames), std::to_string(hz),
                                   "-tiffoutdir", cwd + "/frames"};
  args.insert(args.end(), extra.begin(), extra.end());
  Vistrum v(x, args, cwd, {box.env()});
  if (!v.waitforwindow()) return -1;
  startsaving(v, cwd + "/frames");
  return v.wait(120).status;
}

}  // namespace

TEST_F(Somato, RunStartsOnTheThirdTriggerPulseAndLogsButtons) {
  const std::string cwd = newcwd();
  Box box(cwd);
  Vistrum v(*x, {"-s", "0", "-nofullscreen", "-logfile", "-waitforpulse", "3", "-logrespbits", "-exptend", "30"}, cwd,
            {box.env()});
  ASSERT_TRUE(v.waitforwindow());
  ASSERT_TRUE(waituntil([&] { return box.waiting(); }));
  for (int k = 0; k < 2; k++) {
    box.send("0 B 1");
    box.send("0 B 0");
  }
  usleep(300000);
  EXPECT_EQ(loglines(logof(v), "StartPulse").size(), 0u) << "started before the third pulse";
  box.send("0 B 1");
  ASSERT_TRUE(waituntil([&] { return loglines(logof(v), "StartPulse(03):").size() == 1; })) << logof(v);
  box.send("0 B 0");
  box.send("0 D 5");  // buttons 1 and 3, then released
  box.send("0 D 0");
  ASSERT_TRUE(waituntil([&] { return loglines(logof(v), "RespBits:").size() == 2; })) << logof(v);
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
  const std::vector<std::string> resp = loglines(logof(v), "RespBits:");
  EXPECT_NE(resp[0].find("   00000101"), std::string::npos) << resp[0];
  EXPECT_NE(resp[1].find("   00000000"), std::string::npos) << resp[1];
}

TEST_F(Somato, AirValveFollowsThePuffsOfTheFrames) {
  // Type 100 without jitter: 5.33 s per tube, ten 0.1 s puffs centred at
  // (j + 0.5) x 0.533 s; the valve follows 0.035 s after the screen. The
  // first tube is 3 (a quarter round, counting down): port A bit 2.
  const std::string cwd = newcwd();
  Box box(cwd);
  ASSERT_EQ(boxrun(*x, box, cwd, "100", 130, {"-puffjitt", "0"}), 0);
  const auto e = box.edges('A', 2);
  ASSERT_EQ(e.size(), 8u) << readfile(box.dir + "/out");
  for (int j = 0; j < 4; j++) {
    const double centre = (j + 0.5) * 64.0 / 12 / 10 + 0.035;
    EXPECT_TRUE(e[2 * j].second);
    EXPECT_NEAR(e[2 * j].first, centre - 0.05 + FRAME / 2, FRAME / 2 + 1e-6) << j;
    EXPECT_FALSE(e[2 * j + 1].second);
    EXPECT_NEAR(e[2 * j + 1].first, centre + 0.05 + FRAME / 2, FRAME / 2 + 1e-6) << j;
  }
  for (int bit = 0; bit < 8; bit++) {
    if (bit == 2) continue;
    EXPECT_TRUE(box.edges('A', bit).empty()) << bit;
  }
  EXPECT_TRUE(box.edges('B', 0).empty());
  // The screen shows the puff at the first angle slot (15 degrees, radius 1).
  const Image on = readimage(cwd + "/frames/f00016.tiff"), off = readimage(cwd + "/frames/f00005.tiff");
  ASSERT_TRUE(on.ok() && off.ok());
  const int px = unitpixx(std::cos(M_PI / 12), 160), py = unitpixy(std::sin(M_PI / 12), 160, 120);
  EXPECT_GT(on.r(px, py), 240);
  EXPECT_NEAR(off.r(px, py), 64, 2);
}

TEST_F(Somato, AirPuffsAsCodeBytes) {
  // Rotation vs. random, 1.5 s per round of 12 tubes: tube n's number goes
  // to the code port for 0.07 s from (n - 1) x 0.125 s, 0.035 s late.
  const std::string cwd = newcwd();
  Box box(cwd);
  ASSERT_EQ(boxrun(*x, box, cwd, "103", 40, {"-airpuffbyte"}), 0);
  const auto c = box.values('C');
  std::vector<std::pair<double, int>> puffs;
  for (const auto& p : c)
    if (p.first > 0.0 || p.second != 0) puffs.push_back(p);
  ASSERT_GE(puffs.size(), 8u) << readfile(box.dir + "/out");
  for (int n = 0; n < 4; n++) {
    EXPECT_EQ(puffs[2 * n].second, n + 1);
    EXPECT_NEAR(puffs[2 * n].first, n * 0.125 + 0.035 + FRAME / 2, FRAME / 2 + 1e-6) << n;
    EXPECT_EQ(puffs[2 * n + 1].second, 0);
    EXPECT_NEAR(puffs[2 * n + 1].first, n * 0.125 + 0.105 + FRAME / 2, FRAME / 2 + 1e-6) << n;
  }
}

TEST_F(Somato, LaserCuesInOrderAndPulseAfterEach) {
  // Type 108: a cue every 2.5 s, ind-1 .. ind-6 then mid-1; each pulse
  // 2.375 s after its cue for 0.045 s on the first output bit.
  const std::string cwd = newcwd();
  Box box(cwd);
  ASSERT_EQ(boxrun(*x, box, cwd, "108", 1080, {"-sndprog", recordingplayer(cwd), "-logfile"}), 0);
  std::istringstream played(readfile(cwd + "/played"));
  std::vector<std::string> names;
  for (std::string l; std::getline(played, l);) names.push_back(l.substr(l.rfind('/') + 1));
  const std::vector<std::string> want = {"ind-1.wav", "ind-2.wav", "ind-3.wav", "ind-4.wav",
                                         "ind-5.wav", "ind-6.wav", "mid-1.wav", "mid-2.wav"};
  EXPECT_EQ(names, want);
  const auto e = box.edges('A', 0);
  ASSERT_EQ(e.size(), 14u) << readfile(box.dir + "/out");
  for (int k = 0; k < 7; k++) {
    EXPECT_NEAR(e[2 * k].first, 2.375 + 2.5 * k + FRAME / 2, FRAME / 2 + 1e-6) << k;
    EXPECT_NEAR(e[2 * k + 1].first, 2.42 + 2.5 * k + FRAME / 2, FRAME / 2 + 1e-6) << k;
  }
  const std::string log = readfile(findfile(cwd + "/logs", ".log"));
  const std::vector<std::string> pain = loglines(log, "PainEvent:");
  ASSERT_EQ(pain.size(), 7u) << log;
  EXPECT_NE(pain[5].find("fing=0, pos=5"), std::string::npos) << pain[5];
  EXPECT_NE(pain[6].find("fing=1, pos=0"), std::string::npos) << pain[6];
}

TEST_F(Somato, LaserBlocksOpeningWithOffCueEveryFingerOfThePlan) {
  // Type 110 with -fingercnt -4 opens with the off block: its eight cues
  // (0.5 s apart) visit two positions of each finger, as an on block does.
  const std::string cwd = newcwd();
  Box box(cwd);
  ASSERT_EQ(boxrun(*x, box, cwd, "110", 250, {"-sndprog", recordingplayer(cwd), "-fingercnt", "-4", "-fingerstimISI",
                                               "0.5"}),
            0);
  std::istringstream played(readfile(cwd + "/played"));
  std::map<std::string, int> perfinger;
  std::set<std::string> cues;
  int n = 0;
  for (std::string l; std::getline(played, l) && n < 8; n++) {
    const std::string name = l.substr(l.rfind('/') + 1);
    cues.insert(name);
    perfinger[name.substr(0, name.find('-'))]++;
  }
  ASSERT_EQ(n, 8) << readfile(cwd + "/played");
  EXPECT_EQ(cues.size(), 8u) << readfile(cwd + "/played");
  for (const char* f : {"ind", "mid", "ring", "little"}) EXPECT_EQ(perfinger[f], 2) << f;
}

TEST_F(Somato, TheVisualBlockOfTheAirBlocksLogsNoFlowBlocksOfItsOwn) {
  const SavedRun r = loggedrun(*x, {"-s", "111", "-condlist", "1", "2", "-blockperiod", "1", "-winxy", "160", "120"},
                               20, 10.0);
  ASSERT_EQ(r.result.status, 0) << r.result.out;
  const std::vector<std::string> blocks = loglines(r.log, "StimEvent:");
  ASSERT_EQ(blocks.size(), 2u) << r.log;
  EXPECT_NE(blocks[0].find("   fullvis (1)"), std::string::npos) << blocks[0];
  EXPECT_NE(blocks[1].find("   randair (2)"), std::string::npos) << blocks[1];
  EXPECT_EQ(loglines(r.log, "InitRndBlk:").size(), 1u) << r.log;
  removetree(r.dir);
}

TEST_F(Somato, F1StartsTheBlockDesignOfTheAirBlocksAgain) {
  for (const char* type : {"111", "112", "119"}) {
    SCOPED_TRACE(type);
    const std::string cwd = newcwd();
    Vistrum v(*x, {"-s", type, "-nofullscreen", "-logfile", "-winxy", "160", "120", "-saveframes", "3000", "60",
                   "-tiffoutdir", cwd + "/frames"},
              cwd);
    ASSERT_TRUE(v.waitforwindow());
    startsaving(v, cwd + "/frames");
    ASSERT_TRUE(waituntil([&] { return !findfile(cwd + "/frames", "f00005.tiff").empty(); }));
    const size_t before = loglines(logof(v), "F1-reset:").size();
    const size_t designs = loglines(logof(v), "InitRndBlk:").size();
    ASSERT_EQ(designs, 1u) << logof(v);
    v.key("F1");
    ASSERT_TRUE(waituntil([&] { return loglines(logof(v), "F1-reset:").size() > before; })) << logof(v);
    EXPECT_TRUE(waituntil([&] { return loglines(logof(v), "InitRndBlk:").size() == designs + 1; })) << logof(v);
    v.key("Escape");
    EXPECT_EQ(v.wait(60).status, 0);
  }
}

TEST_F(Somato, ALinePuffKeepsItsTubeWhenTheSweepMovesOn) {
  // Lines change every 0.1 s, puffs of 0.1 s with 0.05 s gaps: most puffs
  // span a change of line, and each must still open one valve only.
  const std::string cwd = newcwd();
  Box box(cwd);
  ASSERT_EQ(boxrun(*x, box, cwd, "104", 60, {"-lineperiod", "0.4", "-puffdur", "0.1"}), 0);
  std::vector<std::pair<double, bool>> edges;  // every valve's on and off
  for (const char port : {'A', 'B'})
    for (int bit = 0; bit < 8; bit++)
      for (const auto& e : box.edges(port, bit)) edges.push_back(e);
  std::stable_sort(edges.begin(), edges.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  int ons = 0;
  double lastoff = -1.0;
  for (const auto& [t, on] : edges) {
    if (!on) {
      lastoff = t;
      continue;
    }
    ons++;
    if (lastoff >= 0.0) {
      EXPECT_GT(t - lastoff, 0.04) << "a valve opened at " << t << " as another closed";
    }
  }
  EXPECT_EQ(ons, 7) << readfile(box.dir + "/out");  // puffs at 0, 0.15, ..., 0.9
}

TEST_F(Somato, HalfTubeGapJitterDoesNotDependOnTheFrameRate) {
  // The same seed at 60 and 30 frames per second: the same puffs, each
  // valve opening within a frame of the slower rate.
  std::vector<std::vector<double>> ons;
  for (const int hz : {60, 30}) {
    const std::string cwd = newcwd();
    Box box(cwd);
    ASSERT_EQ(boxrun(*x, box, cwd, "106", 2 * hz, {"-puffjitt", "0.04", "-gapdur", "0.15", "-srseed", "3"}, hz), 0);
    std::vector<double> t;
    for (const char port : {'A', 'B'})
      for (int bit = 0; bit < 8; bit++)
        for (const auto& e : box.edges(port, bit))
          if (e.second) t.push_back(e.first);
    std::sort(t.begin(), t.end());
    ons.push_back(t);
  }
  // (The last puff may open after the last frame of the slower rate.)
  const size_t n = std::min(ons[0].size(), ons[1].size());
  ASSERT_GE(n, 8u);
  EXPECT_LE(std::max(ons[0].size(), ons[1].size()) - n, 1u);
  for (size_t k = 0; k < n; k++) EXPECT_NEAR(ons[0][k], ons[1][k], 1.0 / 30 + 1e-6) << "puff " << k;
}

TEST_F(Somato, RandomPuffsRepeatWithTheSeed) {
  // Random vs. off puffs (the display draws its own random tubes): the same
  // seed gives the same valves at the same frames, and the same pictures.
  std::vector<std::vector<std::pair<double, int>>> valves;
  std::vector<std::string> frames;
  for (int run = 0; run < 2; run++) {
    const std::string cwd = newcwd();
    Box box(cwd);
    ASSERT_EQ(boxrun(*x, box, cwd, "102", 150, {"-srseed", "7"}), 0);
    auto a = box.values('A'), b = box.values('B');
    a.insert(a.end(), b.begin(), b.end());
    valves.push_back(a);
    frames.push_back(readfile(cwd + "/frames/f00120.tiff"));
  }
  EXPECT_GT(valves[0].size(), 8u);
  EXPECT_EQ(valves[0], valves[1]);
  EXPECT_FALSE(frames[0].empty());
  EXPECT_EQ(frames[0], frames[1]);
}

TEST_F(Somato, ScreenShowsTheTubeAndTheBitNumber) {
  // 104 without random order: the first puff is the grid's upper-left cell
  // (row 0, column 0 of 4 x 3 cells of 0.5 units: at (-0.5, 0.75)).
  const std::string cwd = newcwd();
  Vistrum grid(*x, {"-s", "104", "-nofullscreen", "-norandline", "-winxy", "160", "120", "-saveframes", "2", "60",
                    "-tiffoutdir", cwd + "/frames"},
               cwd);
  ASSERT_TRUE(grid.waitforwindow());
  startsaving(grid, cwd + "/frames");
  ASSERT_EQ(grid.wait(60).status, 0);
  const Image g = readimage(cwd + "/frames/f00000.tiff");
  ASSERT_TRUE(g.ok());
  EXPECT_GT(g.r(unitpixx(-0.5, 160), unitpixy(0.75, 160, 120)), 240);
  EXPECT_NEAR(g.r(unitpixx(0.5, 160), unitpixy(0.75, 160, 120)), 64, 2);  // another cell: background
  // 113 in its first interval: bit number 0 in black right of (0.03, 0).
  const std::string cwd2 = newcwd();
  Vistrum test(*x, {"-s", "113", "-nofullscreen", "-winxy", "320", "240", "-saveframes", "2", "60", "-tiffoutdir",
                    cwd2 + "/frames"},
               cwd2);
  ASSERT_TRUE(test.waitforwindow());
  startsaving(test, cwd2 + "/frames");
  ASSERT_EQ(test.wait(60).status, 0);
  const Image b = readimage(cwd2 + "/frames/f00001.tiff");
  ASSERT_TRUE(b.ok());
  int dark = 0;
  for (int px = unitpixx(0.03, 320); px < unitpixx(0.03, 320) + 12; px++)
    for (int py = unitpixy(0.0, 320, 240) - 14; py < unitpixy(0.0, 320, 240); py++) dark += b.r(px, py) < 40;
  EXPECT_GT(dark, 5);
}

TEST_F(Somato, CompanionSendsTheTriggerTrainAndRecordsTheValves) {
  // The rehearsal set-up of the README: the companion command plays the
  // scanner (a pulse train once the run waits) and records the valve bits.
  const std::string cwd = newcwd();
  const std::string companion = std::string(VISTRUM_SOURCE_DIR) + "/scripts/vistrum-dio";
  const std::string boxdir = cwd + "/box", rec = cwd + "/bits.txt";
  const pid_t pid = fork();
  if (pid == 0) {
    execl(companion.c_str(), companion.c_str(), boxdir.c_str(), "--tr", "0.3", "--pulses", "4", "--delay", "0.2",
          "--record", rec.c_str(), "--timeout", "60", static_cast<char*>(nullptr));
    _exit(127);
  }
  ASSERT_GT(pid, 0);
  // The trigger's port B stays an input: the valves use ports A and C.
  Vistrum v(*x, {"-s", "100", "-nofullscreen", "-setupusb", "-addport2set", "0", "A", "-addport2set", "0", "C",
                 "-puffjitt", "0", "-waitforpulse", "3", "-exptend", "1.2", "-winxy", "160", "120"},
            cwd, {"VISTRUM_DIO=sim:" + boxdir});
  const RunResult r = v.wait(90);
  int status = -1;
  waitpid(pid, &status, 0);
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const std::string bits = readfile(rec);
  EXPECT_NE(bits.find(" 0 A 2 on\n"), std::string::npos) << bits;
  EXPECT_NE(bits.find(" 0 A 2 off\n"), std::string::npos) << bits;
}

namespace {

// Each valve opening of the box's ports A and B: tube (bit number + 1),
// open time, how long it stayed open, and how long that tube had been
// closed before it (-1 for its first opening).
struct Opening {
  int tube;
  double at, length, closedbefore;
};
std::vector<Opening> openings(const Box& box) {
  std::vector<Opening> out;
  for (const char port : {'A', 'B'})
    for (int bit = 0; bit < 8; bit++) {
      const auto e = box.edges(port, bit);
      double lastoff = -1.0;
      for (size_t k = 0; k + 1 < e.size(); k += 2) {
        out.push_back({(port - 'A') * 8 + bit + 1, e[k].first, e[k + 1].first - e[k].first,
                       lastoff < 0.0 ? -1.0 : e[k].first - lastoff});
        lastoff = e[k + 1].first;
      }
    }
  return out;
}

}  // namespace

TEST_F(Somato, TwoPuffsOfOneTubeCloserThanAFrameStayTwoPuffs) {
  // Half-tube points with gaps of 0.05 s +- 0.04 s: some gaps fall between
  // two frames at 60 Hz, and the valve must still close between the puffs.
  {
    const std::string cwd = newcwd();
    Box box(cwd);
    ASSERT_EQ(boxrun(*x, box, cwd, "106", 300,
                     {"-lineperiod", "4", "-puffjitt", "0.04", "-gapdur", "0.05", "-srseed", "7"}),
              0);
    const std::vector<Opening> o = openings(box);
    ASSERT_GE(o.size(), 25u) << readfile(box.dir + "/out");
    int close = 0;
    for (const Opening& p : o) {
      EXPECT_LE(p.length, 0.1 + FRAME / 2) << "tube " << p.tube << " at " << p.at << ": two puffs as one";
      if (p.closedbefore >= 0.0 && p.closedbefore < 1.5 * FRAME) close++;
    }
    EXPECT_GE(close, 1) << "no gap under a frame: the settings no longer test the case";
  }
  // A type that logs says where a puff was delivered a frame late: random
  // halves of 4 tubes, 0.1 s puffs 0.11 s apart, the same tube now and then
  // twice in a row across a reshuffle.
  {
    const std::string cwd = newcwd();
    Box box(cwd);
    ASSERT_EQ(boxrun(*x, box, cwd, "112", 240,
                     {"-airtubes", "4", "-airtubemap", "1", "2", "3", "4", "-aflowperiod", "0.22", "-puffdur", "0.1",
                      "-srseed", "7", "-logfile"}),
              0);
    const std::vector<Opening> o = openings(box);
    for (const Opening& p : o) EXPECT_LE(p.length, 0.1 + FRAME / 2) << "tube " << p.tube << " at " << p.at;
    const std::string f = findfile(cwd + "/logs", ".log");
    ASSERT_FALSE(f.empty());
    const std::vector<std::string> held = loglines(readfile(f), "PuffHeld:");
    ASSERT_GE(held.size(), 1u) << readfile(f);
    for (const std::string& l : held) {
      double t = 0, due = 0;
      int tube = 0;
      ASSERT_EQ(std::sscanf(l.c_str(), "PuffHeld: %lf tube=%d due=%lf", &t, &tube, &due), 3) << l;
      EXPECT_GT(t, due) << l;
      EXPECT_LE(t - due, 2 * FRAME + 1e-3) << l;
      // The box's record has that tube opening then, a frame after it closed.
      const bool found = std::any_of(o.begin(), o.end(), [&](const Opening& p) {
        return p.tube == tube && std::fabs(p.at - t) < 1e-3 && p.closedbefore > 0.0 && p.closedbefore < 1.5 * FRAME;
      });
      EXPECT_TRUE(found) << l << "\n" << readfile(box.dir + "/out");
    }
  }
}
