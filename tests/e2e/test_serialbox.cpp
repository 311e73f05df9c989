// The serial-port box on a real pseudo-terminal pair: the test holds the
// box's end (the master) and the program opens the device end by name.
#include "harness.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

class SerialBox : public XServerSuite<> {};

struct Pty {
  int master = -1, slave = -1;
  std::string name;
  Pty() {
    char n[128];
    if (openpty(&master, &slave, n, nullptr, nullptr) != 0) return;
    name = n;
    // Not inherited by the program: closing the box's end must hang it up.
    fcntl(master, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
  }
  ~Pty() {
    if (master >= 0) close(master);
    if (slave >= 0) close(slave);
  }
  void send(const char* bytes) const { EXPECT_EQ(write(master, bytes, std::strlen(bytes)), static_cast<ssize_t>(std::strlen(bytes))); }
  // What the program wrote to the box so far.
  std::string received() const {
    std::string s;
    const int flags = fcntl(master, F_GETFL);
    fcntl(master, F_SETFL, flags | O_NONBLOCK);
    char buf[256];
    for (ssize_t n; (n = read(master, buf, sizeof buf)) > 0;) s.append(buf, static_cast<size_t>(n));
    fcntl(master, F_SETFL, flags);
    return s;
  }
};

std::string logof(const std::string& dir) {
  const std::string f = findfile(dir + "/logs", ".log");
  return f.empty() ? "" : readfile(f);
}

bool haslines(const std::string& dir, const std::string& kind, size_t n) {
  return loglines(logof(dir), kind).size() >= n;
}

// True once the run has opened the box (after its trigger wait's flush:
// bytes sent from then on count).
bool boxopen(const Vistrum& v, const Pty& p) {
  return waituntil([&] { return v.output().find("vistrum: serial box " + p.name) != std::string::npos; });
}

// A run that ends by itself (a refusal at start-up).
RunResult runwithbox(const XServer& x, const std::string& dio) {
  Vistrum v(x, {"-s", "10", "-nofullscreen", "-winxy", "64", "48"}, "", {"VISTRUM_DIO=" + dio});
  return v.wait(30);
}

}  // namespace

TEST_F(SerialBox, PulsesStartTheRunOnTheCountedPulsePressesAreLoggedAndThePortIsRestored) {
  Pty p;
  ASSERT_FALSE(p.name.empty());
  struct termios before {};
  ASSERT_EQ(tcgetattr(p.slave, &before), 0);
  const std::string dir = maketempdir("serial");
  mkdir((dir + "/logs").c_str(), 0755);
  Vistrum v(*x, {"-s", "0", "-nofullscreen", "-winxy", "160", "120", "-waitforpulse", "3", "-logfile"}, dir,
            {"VISTRUM_DIO=serial:" + p.name});
  ASSERT_TRUE(v.waitforwindow()) << v.output();
  ASSERT_TRUE(boxopen(v, p)) << v.output();
  p.send("555");
  ASSERT_TRUE(waituntil([&] { return haslines(dir, "StartPulse", 1); }, 20.0)) << v.output();
  p.send("5x1");  // a stray byte between them is ignored
  p.send("53");
  ASSERT_TRUE(waituntil([&] { return haslines(dir, "TrigPulse", 2) && haslines(dir, "KeyEvent", 2); }, 20.0))
      << logof(dir);
  v.key("Escape");
  const RunResult r = v.wait(30);
  EXPECT_EQ(r.status, 0) << r.out;
  const std::string log = logof(dir);
  EXPECT_EQ(loglines(log, "StartPulse").size(), 1u) << log;
  // Pulses 1-3 were the start; the run logs the ones after it, by count.
  const std::vector<std::string> pulses = loglines(log, "TrigPulse");
  ASSERT_EQ(pulses.size(), 2u) << log;
  EXPECT_NE(pulses[0].find("   4"), std::string::npos) << pulses[0];
  EXPECT_NE(pulses[1].find("   5"), std::string::npos) << pulses[1];
  const std::vector<std::string> keys = loglines(log, "KeyEvent");
  ASSERT_EQ(keys.size(), 2u) << log;
  EXPECT_NE(keys[0].find("k1"), std::string::npos);
  EXPECT_NE(keys[1].find("k3"), std::string::npos);
  struct termios after {};
  ASSERT_EQ(tcgetattr(p.slave, &after), 0);
  EXPECT_EQ(after.c_lflag, before.c_lflag) << "the port's settings are restored at exit";
  EXPECT_EQ(after.c_iflag, before.c_iflag);
  EXPECT_EQ(after.c_oflag, before.c_oflag);
  // Also when the run is ended by a signal.
  Vistrum w(*x, {"-s", "0", "-nofullscreen", "-winxy", "160", "120"}, dir, {"VISTRUM_DIO=serial:" + p.name});
  ASSERT_TRUE(w.waitforwindow());
  ASSERT_TRUE(boxopen(w, p));
  kill(w.pid(), SIGTERM);
  w.wait();
  ASSERT_EQ(tcgetattr(p.slave, &after), 0);
  EXPECT_EQ(after.c_lflag, before.c_lflag) << "restored after SIGTERM";
  removetree(dir);
}

TEST_F(SerialBox, ScenarioCodesArriveAsBytes) {
  Pty p;
  ASSERT_FALSE(p.name.empty());
  const std::string dir = maketempdir("serialcodes");
  std::ofstream(dir + "/t.scn") << "130 130 11 text=a\n230 110 12 text=b\n10 10 13 text=c\n1000 1000 15 text=e\n";
  Vistrum v(*x, {"-s", "60", "-nofullscreen", "-winxy", "64", "48", "-saveframes", "24", "20", "-framerate", "20", "-tiffoutdir", dir,
                 "-exptfile", "t.scn", "-sxcode", "-sxcode2ttl"},
            dir, {"VISTRUM_DIO=serial:" + p.name + ",codes"});
  ASSERT_TRUE(v.waitforwindow()) << v.output();
  v.key("F1");
  const RunResult r = v.wait(120);
  ASSERT_EQ(r.status, 0) << r.out;
  std::string codes;
  for (char c : p.received())
    if (c != 0) codes += std::to_string(static_cast<unsigned char>(c)) + " ";
  // 13 lasts 10 ms, under one saved frame: it never reaches the port.
  EXPECT_EQ(codes, "11 12 15 ") << r.out;
  removetree(dir);
}

TEST_F(SerialBox, AVanishedBoxEndsTheRunWithAMessageAndAWholeLog) {
  Pty p;
  ASSERT_FALSE(p.name.empty());
  const std::string dir = maketempdir("serialgone");
  mkdir((dir + "/logs").c_str(), 0755);
  Vistrum v(*x, {"-s", "0", "-nofullscreen", "-winxy", "160", "120", "-waitforpulse", "1", "-logfile"}, dir,
            {"VISTRUM_DIO=serial:" + p.name});
  ASSERT_TRUE(v.waitforwindow()) << v.output();
  ASSERT_TRUE(boxopen(v, p)) << v.output();
  p.send("5");
  ASSERT_TRUE(waituntil([&] { return haslines(dir, "StartPulse", 1); }, 20.0)) << v.output();
  p.send("2");
  ASSERT_TRUE(waituntil([&] { return haslines(dir, "KeyEvent", 1); }, 20.0)) << logof(dir);
  close(p.master), close(p.slave);
  p.master = p.slave = -1;
  const RunResult r = v.wait(30);
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: ### serial box " + p.name + " vanished during the run (hung up)") ||
              hasline(r, "vistrum: ### serial box " + p.name + " vanished during the run (Input/output error)"))
      << r.out;
  const std::string log = logof(dir);
  EXPECT_EQ(loglines(log, "KeyEvent").size(), 1u) << log;
  EXPECT_EQ(log.back(), '\n') << "the log ends with a whole line";
  // Its last line says why it stops there.
  const std::string last = log.substr(log.rfind('\n', log.size() - 2) + 1);
  EXPECT_TRUE(std::regex_match(last, std::regex("BoxLost: +[0-9]+\\.[0-9]{3}   serial box " + p.name +
                                                " vanished \\((hung up|Input/output error)\\)\n")))
      << last;
  removetree(dir);
}

TEST_F(SerialBox, DevicesThatCannotWorkAreRefusedAtStartUp) {
  Pty p;
  ASSERT_FALSE(p.name.empty());
  const std::string dir = maketempdir("serialbad");
  std::ofstream(dir + "/plain") << "x";
  struct Case {
    std::string dio, message;
  } cases[] = {
      {"serial:/dev/no-such-box", "vistrum: ### serial box /dev/no-such-box: no such device"},
      {"serial:" + dir + "/plain", "vistrum: ### serial box " + dir + "/plain: not a terminal (a serial device is)"},
      {"serial:" + p.name + ",31250", "vistrum: ### VISTRUM_DIO serial: unsupported speed or option \"31250\" (speeds 1200 to 921600)"},
      {"serial:" + p.name + ",buttons=0x31:0x35", "vistrum: ### VISTRUM_DIO serial: byte 0x35 is mapped twice (pulse and buttons must differ)"},
  };
  for (const Case& c : cases) {
    const RunResult r = runwithbox(*x, c.dio);
    EXPECT_EQ(r.status, 1) << c.dio << "\n" << r.out;
    EXPECT_TRUE(hasline(r, c.message)) << r.out;
  }
  // Another program holding the device.
  const int held = open(p.name.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  const RunResult r = runwithbox(*x, "serial:" + p.name);
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: ### serial box " + p.name + ": busy (another program has it open)")) << r.out;
  close(held);
  // A serial box has no output bits: what needs them says so by name.
  std::ofstream(dir + "/t.scn") << "130 130 11 text=a +\nttl=3\n1000 1000 15 text=e\n";
  const std::string none =
      "the serial box has no output bits (it writes code bytes only: VISTRUM_DIO=serial:<device>,codes)";
  Vistrum ttl(*x, {"-s", "60", "-nofullscreen", "-winxy", "64", "48", "-exptfile", "t.scn", "-sxcode"}, dir,
              {"VISTRUM_DIO=serial:" + p.name});
  const RunResult t = ttl.wait(30);
  EXPECT_EQ(t.status, 1) << t.out;
  EXPECT_TRUE(hasline(t, "vistrum: ### t.scn line 2: ttl=3 but " + none)) << t.out;
  Vistrum air(*x, {"-s", "106", "-nofullscreen", "-winxy", "64", "48", "-setupusb", "-addport2set", "0", "A",
                   "-addport2set", "0", "C"},
              dir, {"VISTRUM_DIO=serial:" + p.name});
  const RunResult a = air.wait(30);
  EXPECT_EQ(a.status, 1) << a.out;
  EXPECT_TRUE(hasline(a, "vistrum: ### " + none)) << a.out;
  EXPECT_TRUE(hasline(a, "vistrum: ### not enough outport bits (0) for 12 airtubes")) << a.out;
  removetree(dir);
}

namespace {

// The time of an event line (its second word).
double linetime(const std::string& line) {
  const size_t colon = line.find(':');
  return std::stod(line.substr(colon + 1));
}

// The lines of `kind` after the n-th (1-based) line that begins with
// `from`, up to the next line that begins with `to` ("": to the end).
std::vector<std::string> between(const std::string& log, const std::string& from, size_t n, const std::string& to,
                                 const std::string& kind) {
  std::vector<std::string> out;
  size_t seen = 0;
  std::istringstream in(log);
  for (std::string l; std::getline(in, l);) {
    if (l.rfind(from, 0) == 0 && ++seen == n) continue;
    if (seen < n) continue;
    if (!to.empty() && l.rfind(to, 0) == 0) break;
    if (l.rfind(kind, 0) == 0) out.push_back(l);
  }
  return out;
}

}  // namespace

TEST_F(SerialBox, BytesOnAWaitingScreenAreLoggedWhenTheyArriveNotAtTheNextStart) {
  Pty p;
  ASSERT_FALSE(p.name.empty());
  const std::string dir = maketempdir("serialwait");
  mkdir((dir + "/logs").c_str(), 0755);
  Vistrum v(*x, {"-s", "0", "-nofullscreen", "-winxy", "160", "120", "-waitforpulse", "-1", "-prepostfix", "0.3",
                 "-runperiod", "0.5", "-logfile"},
            dir, {"VISTRUM_DIO=serial:" + p.name});
  ASSERT_TRUE(v.waitforwindow()) << v.output();
  ASSERT_TRUE(boxopen(v, p)) << v.output();
  // On the first "Ready" they belong to no run: shown on the terminal (the
  // trigger test), not logged, as a key there is not.
  p.send("52");
  ASSERT_TRUE(waituntil([&] {
    return v.output().find("vistrum: box before the first start: pulse (not logged)") != std::string::npos &&
           v.output().find("vistrum: box before the first start: button 2 (not logged)") != std::string::npos;
  }, 20.0)) << v.output();
  EXPECT_EQ(loglines(logof(dir), "TrigPulse").size(), 0u) << logof(dir);
  EXPECT_EQ(loglines(logof(dir), "KeyEvent").size(), 0u) << logof(dir);
  v.key("F1");
  // On the post-period's "Done": logged there, after the run's end.
  ASSERT_TRUE(waituntil([&] { return haslines(dir, "EndPostPer", 1); }, 20.0)) << logof(dir);
  p.send("553");
  ASSERT_TRUE(waituntil([&] { return haslines(dir, "TrigPulse", 2) && haslines(dir, "KeyEvent", 1); }, 20.0))
      << logof(dir);
  v.key("F1");
  ASSERT_TRUE(waituntil([&] { return loglines(logof(dir), "F1-reset").size() == 2; }, 20.0)) << logof(dir);
  p.send("5");
  ASSERT_TRUE(waituntil([&] { return haslines(dir, "TrigPulse", 3); }, 20.0)) << logof(dir);
  v.key("Escape");
  EXPECT_EQ(v.wait(30).status, 0);
  const std::string log = logof(dir);
  // The first start holds no byte: none came while it ran.
  EXPECT_EQ(between(log, "F1-reset", 1, "EndPostPer", "TrigPulse").size(), 0u) << log;
  EXPECT_EQ(between(log, "F1-reset", 1, "EndPostPer", "KeyEvent").size(), 0u) << log;
  const std::vector<std::string> done = between(log, "EndPostPer", 1, "F1-reset", "TrigPulse");
  ASSERT_EQ(done.size(), 2u) << log;
  for (size_t k = 0; k < 2; k++) {
    EXPECT_GE(linetime(done[k]), 0.5) << "a pulse on \"Done\" keeps the run's time: " << done[k];
    EXPECT_NE(done[k].find("vol=" + std::to_string(k + 1)), std::string::npos) << done[k];
  }
  const std::vector<std::string> keys = between(log, "EndPostPer", 1, "F1-reset", "KeyEvent");
  ASSERT_EQ(keys.size(), 1u) << log;
  EXPECT_GE(linetime(keys[0]), 0.5) << keys[0];
  // The next start logs only what came after it: the one pulse, its first.
  const std::vector<std::string> second = between(log, "F1-reset", 2, "", "TrigPulse");
  ASSERT_EQ(second.size(), 1u) << log;
  EXPECT_TRUE(std::regex_search(second[0], std::regex("TrigPulse: +[0-9.]+   4   vol=1$"))) << second[0];
  EXPECT_EQ(between(log, "F1-reset", 2, "", "KeyEvent").size(), 0u) << log;
  removetree(dir);
}

TEST_F(SerialBox, BurstsAreTakenWholeAndPulsesAreNumberedWithinEachStart) {
  Pty p;
  ASSERT_FALSE(p.name.empty());
  const std::string dir = maketempdir("serialburst");
  mkdir((dir + "/logs").c_str(), 0755);
  Vistrum v(*x, {"-s", "0", "-nofullscreen", "-winxy", "160", "120", "-waitforpulse", "3", "-logfile"}, dir,
            {"VISTRUM_DIO=serial:" + p.name});
  ASSERT_TRUE(v.waitforwindow()) << v.output();
  ASSERT_TRUE(boxopen(v, p)) << v.output();
  // Four pulses in one write while waiting for three: the fourth is the run's.
  p.send("5555");
  ASSERT_TRUE(waituntil([&] { return haslines(dir, "TrigPulse", 1); }, 20.0)) << logof(dir);
  // 300 presses and a pulse in one write: every one of them is logged.
  const std::string presses(300, '1');
  p.send((presses + "5").c_str());
  ASSERT_TRUE(waituntil([&] { return haslines(dir, "TrigPulse", 2); }, 20.0)) << logof(dir);
  ASSERT_TRUE(waituntil([&] { return haslines(dir, "KeyEvent", 300); }, 20.0)) << loglines(logof(dir), "KeyEvent").size();
  v.key("F1");
  ASSERT_TRUE(waituntil([&] { return haslines(dir, "F1-reset", 1); }, 20.0)) << logof(dir);
  p.send("5");
  ASSERT_TRUE(waituntil([&] { return haslines(dir, "TrigPulse", 3); }, 20.0)) << logof(dir);
  v.key("Escape");
  EXPECT_EQ(v.wait(30).status, 0);
  const std::string log = logof(dir);
  EXPECT_EQ(loglines(log, "KeyEvent").size(), 300u);
  const std::vector<std::string> pulses = loglines(log, "TrigPulse");
  ASSERT_EQ(pulses.size(), 3u) << log;
  // The running count (as before), then the pulse's number within its start.
  const char* const want[] = {"   4   vol=1", "   5   vol=2", "   6   vol=1"};
  for (size_t k = 0; k < 3; k++) {
    EXPECT_TRUE(std::regex_match(pulses[k], std::regex("TrigPulse: +[0-9]+\\.[0-9]{3}" + std::string(want[k]))))
        << pulses[k];
  }
  EXPECT_LT(linetime(pulses[0]), 0.5) << "the burst's fourth pulse came with the start";
  removetree(dir);
}

// A second program reading the port (a `cat` left running from checking
// the box) would take pulses and presses away: the run is refused, naming
// it, and starts once it is closed.
TEST_F(SerialBox, ASecondReaderOnThePortIsRefusedByName) {
  Pty p;
  ASSERT_FALSE(p.name.empty());
  const pid_t cat = fork();
  ASSERT_GE(cat, 0);
  if (cat == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    execlp("cat", "cat", p.name.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  // Its own signal that it reads: the device among its descriptors.
  struct stat dev {};
  ASSERT_EQ(stat(p.name.c_str(), &dev), 0);
  const std::string fds = "/proc/" + std::to_string(cat) + "/fd";
  const bool reading = waituntil([&] {
    for (const std::string& fd : listdir(fds)) {
      struct stat st {};
      if (stat((fds + "/" + fd).c_str(), &st) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == dev.st_rdev) return true;
    }
    return false;
  });
  EXPECT_TRUE(reading);
  const RunResult r = runwithbox(*x, "serial:" + p.name);
  kill(cat, SIGTERM);
  waitpid(cat, nullptr, 0);
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(std::regex_search(r.out, std::regex("vistrum: ### serial box " + p.name + ": also open in cat \\(pid " +
                                                  std::to_string(cat) + "\\): close it first")))
      << r.out;
  EXPECT_EQ(r.out.find("Ready"), std::string::npos);
  // Closed, the same port is taken (the test's own ends are the box's).
  Vistrum v(*x, {"-s", "10", "-nofullscreen", "-winxy", "64", "48"}, "", {"VISTRUM_DIO=serial:" + p.name});
  EXPECT_TRUE(boxopen(v, p)) << v.output();
  ASSERT_TRUE(v.waitforwindow()) << v.output();
  v.key("Escape");
  EXPECT_EQ(v.wait(30).status, 0);
}

// A device without a baud limit that never stops sending: each frame takes
// a bounded share, the frames go on (Esc ends the run at once), the flood
// is said once, and what was read is logged.
TEST_F(SerialBox, AFloodIsTakenInBoundedSharesPerFrameAndSaidOnce) {
  Pty p;
  ASSERT_FALSE(p.name.empty());
  const std::string dir = maketempdir("serialflood");
  mkdir((dir + "/logs").c_str(), 0755);
  Vistrum v(*x, {"-s", "0", "-nofullscreen", "-winxy", "160", "120", "-logfile"}, dir, {"VISTRUM_DIO=serial:" + p.name});
  ASSERT_TRUE(v.waitforwindow()) << v.output();
  ASSERT_TRUE(boxopen(v, p)) << v.output();
  v.key("F1");
  ASSERT_TRUE(waituntil([&] { return logof(dir).find("F1-reset") != std::string::npos; }, 20.0)) << logof(dir);
  const int flags = fcntl(p.master, F_GETFL);
  fcntl(p.master, F_SETFL, flags | O_NONBLOCK);
  const std::string chunk(4096, '1');
  long sent = 0;
  auto fill = [&] {
    for (ssize_t n; (n = write(p.master, chunk.data(), chunk.size())) > 0;) sent += n;
  };
  // The port kept full until the program says so.
  const bool told = waituntil(
      [&] {
        fill();
        return v.output().find("vistrum: ### serial box " + p.name + " sends more than") != std::string::npos;
      },
      20.0);
  EXPECT_TRUE(told) << v.output();
  const size_t before = loglines(logof(dir), "KeyEvent").size();
  // Frames go on under the flood: more presses are logged as it goes.
  EXPECT_TRUE(waituntil([&] {
    fill();
    return loglines(logof(dir), "KeyEvent").size() > before + 200;
  }));
  v.key("Escape");
  const RunResult r = v.wait(10);
  EXPECT_FALSE(r.timedout);
  EXPECT_EQ(r.status, 0) << r.out;
  size_t says = 0;
  for (size_t at = 0; (at = r.out.find("sends more than", at)) != std::string::npos; at++) says++;
  EXPECT_EQ(says, 1u) << r.out;
  const std::string log = logof(dir);
  EXPECT_EQ(loglines(log, "BoxFlood").size(), 1u) << log.substr(0, 2000);
  EXPECT_LE(static_cast<long>(loglines(log, "KeyEvent").size()), sent);
  removetree(dir);
}
