// The serial-port box on a real pseudo-terminal pair: the test holds the
// box's end (the master) and the program opens the device end by name.
#include "harness.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <fstream>

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
  Vistrum v(*x, {"-s", "60", "-nofullscreen", "-winxy", "64", "48", "-saveframes", "24", "20", "-tiffoutdir", dir,
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
  removetree(dir);
}
