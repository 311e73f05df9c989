// The look and the log of every stimulus type against stored hashes: a
// change to what any type draws or logs fails here until tests/golden/
// hashes.txt is rewritten (scripts/golden.sh --update) in the same commit,
// with the reason in its message.
#include "harness.h"

#include "stimuli/catalogue.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace {

class Golden : public XServerSuite<> {};

struct Hashes {
  std::string frames, log;
  bool operator==(const Hashes& o) const { return frames == o.frames && log == o.log; }
};

uint64_t fnv(uint64_t h, const void* data, size_t n) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < n; i++) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

std::string hex(uint64_t h) {
  char s[17];
  std::snprintf(s, sizeof s, "%016llx", static_cast<unsigned long long>(h));
  return s;
}

constexpr uint64_t kFnvStart = 1469598103934665603ull;

// The log without its header (date, folder, command line) and with its
// times masked: what happened, not when the run's timer read it.
std::string maskedlog(const std::string& log) {
  std::istringstream in(log);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  size_t from = 0;
  for (size_t i = 0; i < lines.size(); i++)
    if (lines[i].rfind("pwd = ", 0) == 0) {
      from = i + 1;
      while (from < lines.size() && lines[from].empty()) from++;
      from++;  // the command line
      break;
    }
  // The log writes its times with three decimals in a field width (%8.3lf
  // and the like): the padding goes with the time.
  static const std::regex timed(R"( *-?\b[0-9]+\.[0-9]{3}\b)");
  std::string out;
  for (size_t i = from; i < lines.size(); i++) out += std::regex_replace(lines[i], timed, " <t>") + "\n";
  return out;
}

// Four frames at t = 0, 4, 8, 12 s in a small window with a fixed seed. A
// type that its defaults do not let start (it wants a file or a mode)
// keeps the hash of its refusal.
Hashes render(const XServer& x, int type) {
  const SavedRun r = framesrun(x, {"-s", std::to_string(type), "-srseed", "1", "-winxy", "320", "240", "-logfile"},
                                 4, 0.25, 180.0, {"LP_NATIVE_VECTOR_WIDTH=128"});
  removetree(r.dir);
  if (!r.windowed || (r.frames.empty() && r.result.status != 0)) {
    std::string refusal;
    for (const std::string& l : r.result.lines())
      if (l.find("###") != std::string::npos) refusal += l + "\n";
    return {"refused", hex(fnv(kFnvStart, refusal.data(), refusal.size()))};
  }
  EXPECT_EQ(r.result.status, 0) << "type " << type << "\n" << r.result.out;
  uint64_t h = kFnvStart;
  for (const Image& f : r.frames) h = fnv(h, f.rgba.data(), f.rgba.size() * sizeof(uint32_t));
  const std::string log = maskedlog(r.log);
  // VISTRUM_GOLDEN_LOGS=<dir>: the masked logs kept, to see what changed.
  if (const char* keep = std::getenv("VISTRUM_GOLDEN_LOGS"); keep && *keep)
    std::ofstream(std::string(keep) + "/" + std::to_string(type) + ".log") << log;
  return {std::to_string(r.frames.size()) + ":" + hex(h), r.log.empty() ? "nolog" : hex(fnv(kFnvStart, log.data(), log.size()))};
}

std::map<int, Hashes> storedhashes() {
  std::map<int, Hashes> m;
  std::ifstream in(sourcedir() + "/tests/golden/hashes.txt");
  for (std::string l; std::getline(in, l);) {
    if (l.empty() || l[0] == '#') continue;
    std::istringstream w(l);
    int type = 0;
    Hashes h;
    if (w >> type >> h.frames >> h.log) m[type] = h;
  }
  return m;
}

}  // namespace

TEST_F(Golden, EveryTypeDrawsAndLogsWhatItsStoredHashesSay) {
  // VISTRUM_GOLDEN_OUT=<file>: write the hashes there instead of comparing
  // (scripts/golden.sh); VISTRUM_GOLDEN_TYPES="5 6": only those types.
  const char* outpath = std::getenv("VISTRUM_GOLDEN_OUT");
  const char* only = std::getenv("VISTRUM_GOLDEN_TYPES");
  std::vector<int> types;
  if (only && *only) {
    std::istringstream w(only);
    for (int t; w >> t;) types.push_back(t);
  } else {
    int count = 0;
    const StimTypeInfo* table = stimtable(&count);
    std::vector<int> built;
    for (int k = 0; k < count; k++)
      if (validstimtype(table[k].num)) built.push_back(table[k].num);
    types = outpath ? built : sampletypes(built, 10, "golden hashes");
  }
  const std::map<int, Hashes> stored = storedhashes();
  std::ofstream out;
  if (outpath) out.open(outpath);
  for (int type : types) {
    const Hashes h = render(*x, type);
    if (outpath) {
      out << type << " " << h.frames << " " << h.log << "\n" << std::flush;
      continue;
    }
    const auto s = stored.find(type);
    if (s == stored.end()) {
      ADD_FAILURE() << "type " << type << " has no stored hashes: scripts/golden.sh --update";
      continue;
    }
    EXPECT_EQ(h.frames, s->second.frames) << "type " << type << " draws something else now (scripts/golden.sh)";
    EXPECT_EQ(h.log, s->second.log) << "type " << type << " logs something else now (scripts/golden.sh)";
  }
}
