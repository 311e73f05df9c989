// The Debian package of this build: made with cpack, installed with dpkg,
// run from a folder outside the project without VISTRUM_DIR, removed again.
#include "core/version.h"
#include "harness.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <regex>

namespace {

class Install : public XServerSuite<640, 480> {};

// Output and status of a shell command.
int sh(const std::string& cmd, std::string* out = nullptr) {
  const std::string file = maketempdir("sh") + "/out";
  const int status = std::system((cmd + " >'" + file + "' 2>&1").c_str());
  if (out) *out = readfile(file);
  removetree(file.substr(0, file.size() - 4));
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool packageinstalled() {
  std::string s;
  sh("dpkg-query -W -f='${Status}' vistrum", &s);
  return s.find("install ok installed") != std::string::npos;
}

// Removes the package when the test ends, however it ends.
struct Removal {
  bool armed = false;
  ~Removal() {
    if (armed) sh("dpkg -r vistrum");
  }
};

}  // namespace

TEST_F(Install, DebianPackageInstallsRunsFromOutsideAndRemoves) {
  if (geteuid() != 0) GTEST_SKIP() << "installing the package needs root (dpkg -i); run the tests as root to check it";
  if (packageinstalled()) GTEST_SKIP() << "a vistrum package is installed on this machine already; left untouched";
  const std::string pkg = maketempdir("deb");
  std::string out;
  ASSERT_EQ(sh("cd '" VISTRUM_BUILD_DIR "' && cpack -G DEB -B '" + pkg + "'", &out), 0) << out;
  std::string deb;
  for (const std::string& f : listdir(pkg))
    if (f.size() > 4 && f.compare(f.size() - 4, 4, ".deb") == 0) deb = f;
  // Named with the version the program prints (src/core/version.h).
  ASSERT_TRUE(std::regex_match(deb, std::regex("vistrum_" VISTRUM_VERSION "_[a-z0-9]+\\.deb"))) << deb;
  deb = pkg + "/" + deb;

  std::string depends, files;
  ASSERT_EQ(sh("dpkg-deb -f '" + deb + "' Depends", &depends), 0);
  for (const char* d : {"libx11-6", "libgl1", "libglu1-mesa", "libgl1-mesa-dri", "libftgl2", "libfreetype6", "libtiff6",
                        "sox", "x11-utils"})
    EXPECT_NE(depends.find(d), std::string::npos) << d << " not in " << depends;
  ASSERT_EQ(sh("dpkg-deb -c '" + deb + "'", &files), 0);
  for (const char* f : {"./usr/bin/vistrum", "./usr/bin/vistrum-events", "./usr/share/man/man1/vistrum.1.gz",
                        "./usr/share/doc/vistrum/copyright", "./usr/share/doc/vistrum/licences/LICENSE-DejaVu.txt",
                        "./usr/share/doc/vistrum/licences/photos-README.md",
                        "./usr/share/doc/vistrum/licences/objects-README.md",
                        "./usr/share/doc/vistrum/licences/animals-README.md",
                        "./usr/share/doc/vistrum/licences/scenes-README.md",
                        "./usr/share/doc/vistrum/licences/pairs-README.md",
                        "./usr/share/doc/vistrum/licences/COPYRIGHT-lomiri-wallpapers.txt",
                        "./usr/share/doc/vistrum/licences/LICENSE-GPL-2.txt",
                        "./usr/share/vistrum/lib/imagefiles/scenes/0bg1-aitzgorri.tif",
                        "./usr/share/doc/vistrum/licences/sounds-README.md", "./usr/share/vistrum/lib/help/s10",
                        "./usr/share/vistrum/lib/fonts/luxisb.ttf", "./usr/share/vistrum/lib/imagefiles/splash/star.tif",
                        "./usr/share/vistrum/lib/wordfiles/test/words.txt", "./usr/share/vistrum/lib/scenarios/codes.scn",
                        "./usr/share/vistrum/lib/soundfiles/test/beep.wav"})
    EXPECT_NE(files.find(std::string(" ") + f + "\n"), std::string::npos) << f;

  Removal removal;
  removal.armed = true;
  ASSERT_EQ(sh("dpkg -i '" + deb + "'", &out), 0) << out;

  // Outside the project, with no VISTRUM_DIR: the installed library is found.
  const std::string cwd = maketempdir("outside");
  Vistrum help(*x, {"-h", "10"}, cwd, {"VISTRUM_DIR"}, "/usr/bin/vistrum");
  const RunResult h = help.wait();
  EXPECT_EQ(h.status, 0) << h.out;
  EXPECT_NE(h.out.find(readfile(sourcedir() + "/lib/help/s10")), std::string::npos) << h.out;
  EXPECT_TRUE(hasline(h, "vistrum: env var VISTRUM_DIR undef'd: using installed library /usr/share/vistrum")) << h.out;

  // A short saved-frames run of the wedge draws exactly what the program of
  // the build tree draws with the project's library, and draws a wedge.
  const std::vector<std::string> args = {"-s", "10", "-chktarg", "2", "1", "-winxy", "320", "240", "-logfile"};
  const SavedRun ref = saverun(*x, args, 2, 1);
  const SavedRun run = saverun(*x, args, 2, 1, 180.0, {"VISTRUM_DIR"}, "/usr/bin/vistrum");
  EXPECT_EQ(run.result.status, 0) << run.result.out;
  for (int k = 0; k < 2; k++) {
    const std::string name = "/f0000" + std::to_string(k) + ".tiff";
    const Image want = readimage(ref.dir + name), f = readimage(run.dir + name);
    ASSERT_TRUE(want.ok()) << ref.result.out;
    ASSERT_TRUE(f.ok()) << run.result.out;
    ASSERT_EQ(f.width, want.width);
    ASSERT_EQ(f.height, want.height);
    EXPECT_TRUE(f.rgba == want.rgba) << "frame " << k << " differs from the build tree's";
    int drawn = 0;
    for (uint32_t p : f.rgba) drawn += (p & 0xffffff) != (f.rgba[0] & 0xffffff);
    EXPECT_GT(drawn, 100) << "frame " << k << " shows only background";
  }
  removetree(ref.dir);
  // The installed converter reads the installed program's log.
  const std::string log = findfile(run.dir + "/logs", ".log");
  ASSERT_FALSE(log.empty()) << run.result.out;
  EXPECT_EQ(sh("cd '" + run.dir + "' && vistrum-events '" + log + "'", &out), 0) << out;
  EXPECT_NE(out.find(", 0 lines not mapped"), std::string::npos) << out;

  ASSERT_EQ(sh("dpkg -r vistrum", &out), 0) << out;
  removal.armed = false;
  EXPECT_FALSE(packageinstalled());
  EXPECT_NE(access("/usr/bin/vistrum", F_OK), 0);
  EXPECT_NE(access("/usr/share/vistrum/lib/help/s10", F_OK), 0);
  removetree(cwd);
  removetree(run.dir);
  removetree(pkg);
}

TEST(Gallery, RendersTypesAndFailsOnOneThatDrawsNothing) {
  if (sh("command -v xdotool && command -v pnmtopng && command -v python3") != 0) {
    if (std::getenv("CI")) FAIL() << "xdotool, netpbm or python3 missing (scripts/install-deps.sh installs them)";
    GTEST_SKIP() << "the gallery needs xdotool, netpbm and python3";
  }
  const std::string out = maketempdir("gallery");
  const std::string script = sourcedir() + "/scripts/gallery.sh -b '" VISTRUM_BUILD_DIR "' -o '" + out + "'";
  std::string log;
  ASSERT_EQ(sh(script + " 10 21", &log), 0) << log;
  const std::string index = readfile(out + "/index.md");
  EXPECT_NE(index.find("| 10 | chktargpolar | basic rotating wedge"), std::string::npos) << index;
  EXPECT_NE(index.find("| 21 |  | unassigned number"), std::string::npos) << index;
  // The rotating wedge moves: three frames side by side in one picture.
  std::string size;
  ASSERT_EQ(sh("pngtopnm '" + out + "/s10.png' | head -c 20", &size), 0);
  EXPECT_NE(size.find("576 144"), std::string::npos) << size;
  // A wedge shrunk inside the fixation mark leaves only background.
  EXPECT_EQ(sh(script + " -x '-maxrad 0.05' 10", &log), 1) << log;
  EXPECT_NE(log.find("gallery: ### type 10 renders nothing but background"), std::string::npos) << log;
  removetree(out);
}
