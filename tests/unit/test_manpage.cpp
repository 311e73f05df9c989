// The manual pages state facts that live elsewhere: each type's log name
// (the catalogue), the shipped picture folders (lib/imagefiles), the
// digital I/O backends and the version. They are written from those places;
// these tests read the rendered pages back and compare.
#include "core/version.h"
#include "devices/dio.h"
#include "stimuli/catalogue.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool haveman() { return std::system("command -v man >/dev/null 2>&1") == 0; }

// The page as man shows it, whitespace runs folded to one blank (the
// formatter wraps and pads where it likes); warnings into *warnings.
std::string rendered(const std::string& page, std::string* warnings) {
  char tmpl[] = "/tmp/vistrum-man-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  const std::string cmd = "LC_ALL=C MANWIDTH=120 man --warnings -E ascii -l '" + page + "' >" + dir + "/text 2>" +
                          dir + "/warnings";
  const int rc = std::system(cmd.c_str());
  std::ifstream tin(dir + "/text"), win(dir + "/warnings");
  std::stringstream text, warn;
  text << tin.rdbuf();
  warn << win.rdbuf();
  std::system(("rm -rf " + dir).c_str());
  if (warnings) *warnings = rc == 0 ? warn.str() : "man failed: " + warn.str();
  std::string out;
  for (char c : text.str()) {
    const bool blank = c == ' ' || c == '\n' || c == '\t';
    if (blank && (out.empty() || out.back() == ' ')) continue;
    out += blank ? ' ' : c;
  }
  return out;
}

std::vector<std::string> shippedfolders() {
  std::vector<std::string> out;
  const std::string root = std::string(VISTRUM_SOURCE_DIR) + "/lib/imagefiles";
  DIR* d = opendir(root.c_str());
  if (!d) return out;
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name[0] == '.') continue;
    if (DIR* sub = opendir((root + "/" + name).c_str())) {
      closedir(sub);
      out.push_back(name);
    }
  }
  closedir(d);
  return out;
}

// The ManPage suite's other test skips the same way without man.
#define REQUIRE_MAN()                                                                              \
  do {                                                                                             \
    if (!haveman()) {                                                                              \
      if (std::getenv("CI")) FAIL() << "man is not installed (scripts/install-deps.sh installs man-db)"; \
      GTEST_SKIP() << "man is not installed (apt-get install man-db)";                            \
    }                                                                                              \
  } while (0)

TEST(ManPage, StatesEveryTypesLogNameFoldersBackendsAndVersion) {
  REQUIRE_MAN();
  std::string warnings;
  const std::string text = rendered(std::string(VISTRUM_BUILD_DIR) + "/man/vistrum.1", &warnings);
  ASSERT_EQ(warnings, "");
  int n = 0;
  const StimTypeInfo* t = stimtable(&n);
  int logging = 0;
  for (int k = 0; k < n; k++) {
    const int num = t[k].num;
    if (num == 9999 || !validstimtype(num)) continue;
    const std::string entry = std::to_string(num) + " " + t[k].desc + ". Log: ";
    const size_t at = text.find(entry);
    ASSERT_NE(at, std::string::npos) << "no entry for type " << num;
    const std::string rest = text.substr(at + entry.size(), 60);
    if (stimmaylog(num, num == 10 ? 1.0f : 0, 0)) {
      const std::string name = std::string("_") + stimlogname(num, num == 10 ? 1.0f : 0, 0) + ".log";
      EXPECT_EQ(rest.rfind(name, 0), 0u) << "type " << num << ": " << rest;
      logging++;
    } else {
      EXPECT_EQ(rest.rfind("none", 0), 0u) << "type " << num << ": " << rest;
    }
  }
  EXPECT_GT(logging, 50);
  EXPECT_NE(text.find("_fixationtarg.log"), std::string::npos);
  const std::vector<std::string> folders = shippedfolders();
  EXPECT_GE(folders.size(), 7u);
  const size_t files = text.find("FILES");
  ASSERT_NE(files, std::string::npos);
  for (const std::string& f : folders) {
    const std::string word = f == "splash" ? "splash for the final screen" : f;
    EXPECT_NE(text.find(word, files), std::string::npos) << "picture folder " << f << " not listed";
  }
  EXPECT_NE(text.find("VISTRUM_DIO Digital I/O backend: " + diobackendforms()), std::string::npos);
  for (const char* form : {"none", "sim:<dir>", "serial:<device>"})
    EXPECT_NE(diobackendforms().find(form), std::string::npos) << form;
  EXPECT_NE(text.find(std::string("vistrum ") + VISTRUM_VERSION), std::string::npos) << "version in the footer";
  EXPECT_NE(text.find("vistrum-report(1)"), std::string::npos);
}

TEST(ManPage, CompanionPagesRenderAndAreInstalled) {
  REQUIRE_MAN();
  for (const char* name : {"vistrum-events", "vistrum-report"}) {
    std::string warnings;
    const std::string text = rendered(std::string(VISTRUM_SOURCE_DIR) + "/tools/" + name + ".1", &warnings);
    EXPECT_EQ(warnings, "") << name;
    EXPECT_NE(text.find(std::string(name) + " - "), std::string::npos) << name << ": no NAME line";
    const std::string gz = std::string(VISTRUM_BUILD_DIR) + "/man/" + name + ".1.gz";
    EXPECT_EQ(access(gz.c_str(), R_OK), 0) << gz;
  }
  std::string warnings;
  const std::string report = rendered(std::string(VISTRUM_SOURCE_DIR) + "/tools/vistrum-report.1", &warnings);
  for (const char* s : {"-o page.html", "_frames.tsv", "_report.html", "gnuplot"})
    EXPECT_NE(report.find(s), std::string::npos) << s;
}

}  // namespace
