// The per-type help files in lib/help (printed by -helpstim N / -h N): one
// for every valid stimulus type and none for the rejected numbers; each starts
// with its title, shows a runnable example, names only real options, and
// states the same event-log name as the catalogue.
#include "config/options.h"
#include "stimuli/catalogue.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include "test_files_util.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string helpdir() {
  const char* d = std::getenv("VISTRUM_DIR");
  return std::string(d ? d : ".") + "/lib/help";
}

std::string helppath(int n) { return helpdir() + "/s" + std::to_string(n); }

bool readfile(const std::string& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  *out = ss.str();
  return true;
}

std::vector<int> validtypes() {
  std::vector<int> v;
  for (int n = 0; n <= 130; n++)
    if (validstimtype(n)) v.push_back(n);
  v.push_back(9999);
  return v;
}

std::vector<std::string> splitlines(const std::string& s) {
  std::vector<std::string> out;
  std::istringstream in(s);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

// A word that looks like an option: "-" followed by a letter. Prose may wrap
// it in brackets or follow it with punctuation, which is stripped.
bool optionlike(const std::string& w) { return w.size() >= 2 && w[0] == '-' && std::isalpha((unsigned char)w[1]); }

std::string stripoption(std::string w) {
  size_t k = 1;
  while (k < w.size() && (std::isalnum((unsigned char)w[k]))) k++;
  return w.substr(0, k);
}

std::vector<std::string> optionwordsin(const std::string& line) {
  std::vector<std::string> out;
  for (std::string w : splitwords(line)) {
    while (!w.empty() && (w[0] == '(' || w[0] == '[' || w[0] == '"' || w[0] == '\'')) w.erase(0, 1);
    if (optionlike(w)) out.push_back(stripoption(w));
  }
  return out;
}

bool isexample(const std::string& line) { return line.rfind("vistrum -s ", 0) == 0; }

std::set<std::string> keywordset() {
  std::set<std::string> keys;
  for (const char* k : optionkeywords()) keys.insert(k);
  return keys;
}

class HelpFilesEachType : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    n = GetParam();
    ASSERT_TRUE(readfile(helppath(n), &text)) << "missing " << helppath(n);
    lines = splitlines(text);
  }
  int n = 0;
  std::string text;
  std::vector<std::string> lines;
};

TEST_P(HelpFilesEachType, StartsWithItsTitle) {
  ASSERT_FALSE(lines.empty());
  std::string prefix = "stimtype " + std::to_string(n) + ": ";
  ASSERT_EQ(lines[0].rfind(prefix, 0), 0u) << lines[0];
  EXPECT_GT(lines[0].size(), prefix.size() + 3) << "title without a description";
  EXPECT_EQ(text.back(), '\n');
}

TEST_P(HelpFilesEachType, IsPlainAsciiOfModestLength) {
  for (unsigned char c : text) EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7f)) << "byte " << (int)c;
  EXPECT_GE(lines.size(), 4u);
  EXPECT_LE(lines.size(), 45u);
  for (const std::string& l : lines) EXPECT_LE(l.size(), 100u) << l;
}

TEST_P(HelpFilesEachType, HasAnExampleForItsOwnType) {
  std::string own = "vistrum -s " + std::to_string(n);
  bool found = false;
  for (const std::string& l : lines)
    if (l == own || l.rfind(own + " ", 0) == 0) found = true;
  EXPECT_TRUE(found) << "no line starting \"" << own << "\"";
}

TEST_P(HelpFilesEachType, ExampleOptionsAreKeywordsWithTheirValues) {
  const std::set<std::string> keys = keywordset();
  for (const std::string& l : lines) {
    if (!isexample(l)) continue;
    std::vector<std::string> w = splitwords(l);
    // w[0] "vistrum", w[1] "-s", w[2] the type; options follow.
    ASSERT_GE(w.size(), 3u) << l;
    for (size_t i = 3; i < w.size(); i++) {
      ASSERT_TRUE(optionlike(w[i])) << "value without an option: " << w[i] << " in: " << l;
      EXPECT_TRUE(keys.count(w[i])) << "not an option keyword: " << w[i] << " in: " << l;
      bool neg = false;
      const OptionDef* o = findoption(w[i].c_str(), &neg);
      if (!o) continue;
      size_t k = i + 1;
      bool novalues = o->a.kind == ValKind::None && o->b.kind == ValKind::None;
      if (o->parse || (novalues && !o->nokey && !o->flag)) {
        // Lists and multi-value shapes: the values run to the next option.
        while (k < w.size() && !optionlike(w[k])) k++;
      } else if (!neg) {
        size_t nv = (o->a.kind != ValKind::None) + (o->b.kind != ValKind::None);
        for (size_t v = 0; v < nv; v++, k++) {
          ASSERT_LT(k, w.size()) << w[i] << " lacks a value in: " << l;
          EXPECT_FALSE(optionlike(w[k])) << w[i] << " lacks a value in: " << l;
        }
      }
      i = k - 1;
    }
  }
}

TEST_P(HelpFilesEachType, OptionsNamedInTheTextAreKeywords) {
  const std::set<std::string> keys = keywordset();
  for (const std::string& l : lines)
    for (const std::string& w : optionwordsin(l)) EXPECT_TRUE(keys.count(w)) << "not an option keyword: " << w << " in: " << l;
}

// The paragraph starting "Log:" (up to the next blank line).
std::string logparagraph(const std::string& text) {
  size_t a = text.rfind("\nLog:");
  if (a == std::string::npos) return "";
  size_t b = text.find("\n\n", a + 1);
  return text.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
}

// Which types log, and under which name, comes from the catalogue; every type
// also logs as _fixationtarg with -fixtarg, so "no event log" alone is true
// only of the types that end before the frame loop or cannot be chosen.
TEST_P(HelpFilesEachType, StatesTheCataloguesLogName) {
  const std::string log = logparagraph(text);
  ASSERT_FALSE(log.empty()) << "no \"Log:\" paragraph";
  if (stimmaylog(n, 0, 0) || n == 10) {
    std::string name = "_" + std::string(stimlogname(n, n == 10 ? 1.0f : 0, 0)) + ".log";
    EXPECT_NE(log.find(name), std::string::npos) << "log name " << name << " not mentioned in: " << log;
  } else {
    EXPECT_NE(log.find("no event log"), std::string::npos) << "should say it writes no event log: " << log;
    if (!stimneeds(n, kCodeConversion | kInternalMode)) {
      EXPECT_TRUE(stimmaylog(n, 0, 0.5f));
      const std::string name = std::string("_") + stimlogname(n, 0, 0.5f) + ".log";
      EXPECT_NE(log.find(name), std::string::npos) << "-fixtarg makes it write " << name << ": " << log;
      EXPECT_NE(log.find("-fixtarg"), std::string::npos) << log;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(HelpFiles, HelpFilesEachType, ::testing::ValuesIn(validtypes()),
                         [](const ::testing::TestParamInfo<int>& i) { return "s" + std::to_string(i.param); });

TEST(HelpFiles, RejectedTypesHaveNone) {
  std::string text;
  for (int n : {116, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130})
    EXPECT_FALSE(readfile(helppath(n), &text)) << helppath(n) << " should not exist";
}

TEST(HelpFiles, DirectoryHoldsOnlyValidTypes) {
  DIR* d = opendir(helpdir().c_str());
  ASSERT_NE(d, nullptr) << helpdir();
  int count = 0;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    ASSERT_TRUE(name.size() >= 2 && name[0] == 's') << "stray file " << name;
    for (size_t k = 1; k < name.size(); k++) ASSERT_TRUE(std::isdigit((unsigned char)name[k])) << "stray file " << name;
    EXPECT_TRUE(validstimtype(std::atoi(name.c_str() + 1))) << "help for a rejected type: " << name;
    count++;
  }
  closedir(d);
  EXPECT_EQ(count, (int)validtypes().size());
}

TEST(HelpFiles, UnassignedTypesSayBackgroundAndFixationOnly) {
  for (int n : {21, 27, 43, 64}) {
    std::string text;
    ASSERT_TRUE(readfile(helppath(n), &text)) << n;
    EXPECT_NE(text.find("background and fixation only"), std::string::npos) << n;
  }
}

}  // namespace
