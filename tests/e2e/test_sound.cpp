// Sound players started by the real binary: order, argument vectors (no
// shell), restarts with F1 stopping and reaping this run's players.
#include "harness.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

namespace {

class Sound : public XServerSuite<> {};

// A player that records "<pid> <file>" and then, with `linger`, stays alive
// as a long sound would.
std::string recordingplayer(const std::string& cwd, bool linger) {
  const std::string path = cwd + "/recplay";
  std::ofstream(path) << "#!/bin/sh\nprintf '%s %s\\n' \"$$\" \"$1\" >> " << cwd << "/played\n"
                      << (linger ? "exec sleep 60\n" : "");
  chmod(path.c_str(), 0755);
  return path;
}

std::vector<std::pair<pid_t, std::string>> played(const std::string& cwd) {
  std::vector<std::pair<pid_t, std::string>> out;
  std::istringstream in(readfile(cwd + "/played"));
  for (std::string line; std::getline(in, line);) {
    const size_t sp = line.find(' ');
    if (sp != std::string::npos) out.push_back({std::stoi(line.substr(0, sp)), line.substr(sp + 1)});
  }
  return out;
}

// Gone, not even a zombie waiting to be reaped.
bool gone(pid_t pid) { return kill(pid, 0) != 0 && errno == ESRCH; }

}  // namespace

TEST_F(Sound, CountDownPlaysTheTwelveFilesInOrder) {
  const std::string cwd = maketempdir("sound");
  Vistrum v(*x, {"-s", "69", "-nofullscreen", "-polperiod", "1.2", "-sndprog", recordingplayer(cwd, false)}, cwd);
  ASSERT_TRUE(v.waitforwindow());
  ASSERT_TRUE(waituntil([&] { return played(cwd).size() >= 12; }));
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
  const auto p = played(cwd);
  const char* want[] = {"03", "02", "01", "12", "11", "10", "09", "08", "07", "06", "05", "04"};
  for (int k = 0; k < 12; k++)
    EXPECT_EQ(p[k].second, std::string(VISTRUM_SOURCE_DIR) + "/lib/soundfiles/one2twelve/" + want[k] + ".wav");
}

TEST_F(Sound, NamesAreNeverShellTextAndRestartsStopOwnPlayers) {
  const std::string cwd = maketempdir("sound");
  mkdir((cwd + "/snd").c_str(), 0755);
  const std::string odd = "a b;touch pwned.wav";
  std::ofstream(cwd + "/snd/" + odd) << "x";
  std::ofstream(cwd + "/snd/x.wav") << "x";
  Vistrum v(*x,
            {"-s", "69", "-nofullscreen", "-waitforpulse", "-1", "-polperiod", "60", "-sndprog",
             recordingplayer(cwd, true), "-sndfiledir", cwd + "/snd", "-sndfilenames", "2", odd, "x.wav"},
            cwd);
  ASSERT_TRUE(v.waitforwindow());
  v.key("F1");
  ASSERT_TRUE(waituntil([&] { return played(cwd).size() == 1; }));
  const pid_t first = played(cwd)[0].first;
  EXPECT_FALSE(gone(first));
  v.key("F1");  // restart: the sequence begins again with its first file
  ASSERT_TRUE(waituntil([&] { return played(cwd).size() == 2; }));
  EXPECT_TRUE(waituntil([&] { return gone(first); }, 3.0)) << "player of the first run left behind";
  const auto p = played(cwd);
  EXPECT_EQ(p[1].second, cwd + "/snd/" + odd);
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
  EXPECT_TRUE(waituntil([&] { return gone(p[1].first); }, 3.0)) << "player outlived the run";
  EXPECT_NE(access((cwd + "/snd/" + odd).c_str(), R_OK), -1);
  EXPECT_EQ(access((cwd + "/pwned.wav").c_str(), F_OK), -1);
}
