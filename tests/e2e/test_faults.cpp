// Faults that must never lose data silently: a full disk under the log,
// the frame record or saved frames, the run ended by a signal, earlier
// frames in the output folder, and starts refused before "Ready".
#include "harness.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <regex>

namespace {

class Fault : public XServerSuite<> {};

// A 64 KiB tmpfs at a fresh folder with only `freekb` KiB left free;
// unmounted when it goes. ok() is false where mounting is not permitted.
class SmallDisk {
 public:
  explicit SmallDisk(int freekb, bool readonly = false) : dir_(maketempdir("smalldisk")) {
    mounted_ = mount("tmpfs", dir_.c_str(), "tmpfs", readonly ? MS_RDONLY : 0, "size=64k") == 0;
    if (!mounted_ || readonly) return;
    std::ofstream fill(dir_ + "/fill", std::ios::binary);
    const std::string block(1024, 'x');
    for (int k = 0; k < 64 - freekb; k++) fill << block;
  }
  ~SmallDisk() {
    if (mounted_) umount2(dir_.c_str(), MNT_DETACH);
    removetree(dir_);
  }
  bool ok() const { return mounted_; }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
  bool mounted_ = false;
};

bool hasmatch(const RunResult& r, const std::string& pattern) {
  for (const std::string& l : r.lines())
    if (std::regex_match(l, std::regex(pattern))) return true;
  return false;
}

std::vector<std::string> named(const std::string& dir, const std::string& suffix) {
  std::vector<std::string> out;
  for (const std::string& n : listdir(dir))
    if (n.size() >= suffix.size() && n.compare(n.size() - suffix.size(), suffix.size(), suffix) == 0) out.push_back(n);
  return out;
}

// Saves frames into `dir` (the run's working folder too), pressing F1 on
// the wait screen until the first frame shows; returns the running program.
std::unique_ptr<Vistrum> startsaving(const XServer& x, const std::string& dir, std::vector<std::string> args) {
  args.insert(args.end(), {"-nofullscreen", "-tiffoutdir", dir});
  auto v = std::make_unique<Vistrum>(x, args, dir);
  if (!v->waitforwindow()) return v;
  for (int k = 0; k < 10 && v->running(); k++) {
    v->key("F1");
    if (waituntil([&] { return !named(dir, ".tiff").empty() || !v->running(); }, 5.0)) break;
  }
  return v;
}

}  // namespace

TEST_F(Fault, AFullDiskCutsTheLogAtALineAndTheRunSaysSo) {
  SmallDisk disk(4);
  if (!disk.ok()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
  // A rehearsal writes a long run's log and frame record in seconds.
  const RunResult r = runvistrum(*x, {"-s", "10", "-chktarg", "20", "1.0", "-logfile", "-logfiledir", disk.dir(),
                                      "-rehearse", "1500"},
                                 120);
  EXPECT_EQ(r.status, 2) << r.out;
  EXPECT_TRUE(hasmatch(r, "vistrum: ### can't write log .*\\.log: No space left on device \\(log incomplete.*")) << r.out;
  EXPECT_TRUE(hasmatch(r, "vistrum: ### log incomplete: .*\\.log \\([0-9]+ lines not written.*")) << r.out;
  EXPECT_TRUE(hasmatch(r, "vistrum: ### frame record incomplete: .*_frames\\.tsv .*")) << r.out;
  const std::string log = findfile(disk.dir(), ".log"), rec = findfile(disk.dir(), "_frames.tsv");
  ASSERT_FALSE(log.empty()) << r.out;
  const std::string text = readfile(log);
  ASSERT_GT(text.size(), 1000u);
  EXPECT_EQ(text.back(), '\n') << "a half line was left";
  const std::vector<std::string> events = loglines(text, "ChkEvent:");
  ASSERT_FALSE(events.empty());
  for (const std::string& l : events) EXPECT_TRUE(std::regex_match(l, std::regex("ChkEvent: +[0-9.]+ +r=[0-9.]+"))) << l;
  const std::string frames = readfile(rec);
  EXPECT_TRUE(frames.empty() || frames.back() == '\n') << "a half line was left in the frame record";
}

TEST_F(Fault, AFullDiskWhileSavingEndsTheRunAndLeavesOnlyWholeFrames) {
  SmallDisk disk(20);
  if (!disk.ok()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
  auto v = startsaving(*x, disk.dir(), {"-s", "10", "-winxy", "160", "120", "-saveframes", "200", "60", "-framerate", "60"});
  const RunResult r = v->wait(60);
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(hasmatch(r, "vistrum: ### can't write: .*/f[0-9]{5}\\.tiff")) << r.out;
  EXPECT_TRUE(named(disk.dir(), ".part").empty()) << "a partial frame was left";
  const std::vector<std::string> saved = named(disk.dir(), ".tiff");
  ASSERT_FALSE(saved.empty()) << r.out;
  EXPECT_LT(saved.size(), 200u);
  for (const std::string& n : saved) {
    const Image im = readimage(disk.dir() + "/" + n);
    EXPECT_TRUE(im.ok() && im.width == 160 && im.height == 120) << n << " is not a whole frame";
  }
}

TEST_F(Fault, SignalsEndTheRunAsEscDoesAndFramesStayWhole) {
  // A live run: the log gets its "Interrupt" line, the terminal the signal.
  for (const auto& [sig, name] : std::vector<std::pair<int, std::string>>{
           {SIGINT, "SIGINT"}, {SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"}}) {
    const std::string cwd = maketempdir("sig");
    mkdir((cwd + "/logs").c_str(), 0755);
    Vistrum v(*x, {"-s", "0", "-nofullscreen", "-logfile"}, cwd);
    ASSERT_TRUE(v.waitforwindow()) << name;
    v.key("F1");
    ASSERT_TRUE(waituntil([&] { return readfile(findfile(cwd + "/logs", ".log")).find("F1-reset") != std::string::npos; }))
        << name << v.output();
    kill(v.pid(), sig);
    const RunResult r = v.wait(20);
    EXPECT_EQ(r.status, 0) << name << r.out;
    EXPECT_TRUE(hasline(r, "vistrum: ### " + name + ": run ended as by Esc (\"Interrupt\" logged)")) << r.out;
    EXPECT_EQ(loglines(readfile(findfile(cwd + "/logs", ".log")), "Interrupt:").size(), 1u) << name;
    removetree(cwd);
  }
  // While saving: the writers finish what they hold, no header-only file.
  for (int sig : {SIGINT, SIGHUP}) {
    const std::string dir = maketempdir("sigsave");
    mkdir((dir + "/logs").c_str(), 0755);
    auto v = startsaving(*x, dir, {"-s", "10", "-chktarg", "2.0", "1.0", "-logfile", "-saveframes", "100000", "60", "-framerate", "60"});
    ASSERT_TRUE(waituntil([&] { return named(dir, ".tiff").size() >= 5 || !v->running(); }, 60)) << v->output();
    kill(v->pid(), sig);
    const RunResult r = v->wait(60);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(named(dir, ".part").empty());
    for (const std::string& n : named(dir, ".tiff")) EXPECT_TRUE(readimage(dir + "/" + n).ok()) << n << " is broken";
    EXPECT_EQ(loglines(readfile(findfile(dir + "/logs", ".log")), "Interrupt:").size(), 1u);
    removetree(dir);
  }
}

TEST_F(Fault, EarlierFramesInTheFolderAreRefusedOrReplaced) {
  const std::string dir = maketempdir("oldframes");
  for (int k = 0; k < 5; k++) {
    char name[32];
    std::snprintf(name, sizeof name, "/f%05d.tiff", k);
    std::ofstream(dir + name) << "old run";
  }
  std::ofstream(dir + "/notes.txt") << "kept";
  const std::vector<std::string> args = {"-s", "21", "-winxy", "64", "48", "-saveframes", "3", "30", "-framerate", "30"};
  std::vector<std::string> refused = args;
  refused.insert(refused.end(), {"-nofullscreen", "-tiffoutdir", dir});
  const RunResult r = runvistrum(*x, refused, 30, dir);
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: ### tiffoutdir " + dir +
                             " already holds 5 saved frame file(s) (fNNNNN.tiff): use -replaceframes to replace them, "
                             "or another -tiffoutdir"))
      << r.out;
  EXPECT_EQ(readfile(dir + "/f00004.tiff"), "old run");

  std::vector<std::string> replacing = args;
  replacing.push_back("-replaceframes");
  auto v = startsaving(*x, dir, replacing);
  const RunResult ok = v->wait(60);
  EXPECT_EQ(ok.status, 0) << ok.out;
  EXPECT_TRUE(hasline(ok, "vistrum: -replaceframes: removed 5 earlier frame file(s) from " + dir)) << ok.out;
  EXPECT_EQ(named(dir, ".tiff"), (std::vector<std::string>{"f00000.tiff", "f00001.tiff", "f00002.tiff"}));
  for (const std::string& n : named(dir, ".tiff")) EXPECT_TRUE(readimage(dir + "/" + n).ok()) << n;
  EXPECT_EQ(readfile(dir + "/notes.txt"), "kept");
  removetree(dir);
}

TEST_F(Fault, AStartRefusedBeforeReadyLeavesNoLog) {
  // A bad picture, no display, a display without GLX.
  const std::string pics = maketempdir("badpic");
  std::ofstream(pics + "/a.tif") << "not a picture";
  XServer noglx(640, 480, {"-extension", "GLX"});
  ASSERT_TRUE(noglx.ok());
  struct Case {
    const XServer* server;
    std::vector<std::string> args, env;
    std::string says;
  };
  const std::vector<Case> cases = {
      {x, {"-s", "114", "-fixtarg", "0.1", "0.5", "-tiffdir", pics}, {}, "vistrum: ### can't open: " + pics + "/a.tif"},
      {x, {"-s", "0"}, {"DISPLAY"}, "vistrum: ### can't open Xdisplay"},
      {&noglx, {"-s", "0"}, {}, "vistrum: ### no RGBA,DEPTH24 glXVisual: display " + noglx.display() + " has no GLX extension"},
  };
  for (const Case& c : cases) {
    const std::string cwd = maketempdir("refused");
    mkdir((cwd + "/logs").c_str(), 0755);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-nofullscreen", "-logfile"});
    Vistrum v(*c.server, args, cwd, c.env);
    const RunResult r = v.wait(30);
    EXPECT_EQ(r.status, 1) << c.says << "\n" << r.out;
    EXPECT_TRUE(hasline(r, c.says)) << r.out;
    EXPECT_TRUE(hasline(r, "vistrum: opened logfile:")) << r.out;
    EXPECT_TRUE(listdir(cwd + "/logs").empty()) << c.says << ": a log of a run that never began was left";
    removetree(cwd);
  }
  removetree(pics);
}

TEST_F(Fault, StartUpProblemsSayWhyAndExitOne) {
  SmallDisk ro(64, true);
  if (ro.ok()) {
    const RunResult r = runvistrum(*x, {"-s", "0", "-nofullscreen", "-logfile", "-logfiledir", ro.dir(), "-exptend", "0"});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(hasmatch(r, "vistrum: ### " + ro.dir() + "/.*\\.log: Read-only file system")) << r.out;
  }
  Vistrum nodir(*x, {"-s", "0", "-nofullscreen", "-exptend", "0"}, "", {"VISTRUM_DIR=/nonexistent/vistrum"});
  const RunResult n = nodir.wait(20);
  EXPECT_EQ(n.status, 1) << n.out;
  EXPECT_TRUE(hasline(n, "vistrum: ### VISTRUM_DIR /nonexistent/vistrum not found (No such file or directory)")) << n.out;
  const std::string empty = maketempdir("nohelp");
  Vistrum nohelp(*x, {"-h", "12"}, "", {"VISTRUM_DIR=" + empty});
  const RunResult h = nohelp.wait(20);
  EXPECT_EQ(h.status, 1) << h.out;
  EXPECT_EQ(h.out, "vistrum: ### helpfile " + empty + "/lib/help/s12 not found\n");
  removetree(empty);
}
