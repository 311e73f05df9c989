// vistrum-events on the logs of real runs of several types: every line is
// mapped, the table is well formed, and a dataset assembled from the tables
// passes the BIDS validator (from npm; scripts/test.sh installs it).
#include "eventstable/logevents.h"
#include "harness.h"
#include "stimuli/catalogue.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace {

class Events : public XServerSuite<> {};

std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> out;
  std::stringstream in(s);
  std::string x;
  while (std::getline(in, x, sep)) out.push_back(x);
  return out;
}

void writefile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// A tiny 4D NIfTI-1 series (4x4x4 voxels, 10 volumes, TR 2 s), so that the
// events tables sit next to the scan they describe.
void writebold(const std::string& path) {
  unsigned char h[352] = {};
  auto put32 = [&](int off, const void* v) { std::memcpy(h + off, v, 4); };
  auto put16 = [&](int off, short v) { std::memcpy(h + off, &v, 2); };
  const int hdr = 348;
  put32(0, &hdr);
  const short dim[8] = {4, 4, 4, 4, 10, 1, 1, 1};
  std::memcpy(h + 40, dim, sizeof dim);
  put16(70, 2);  // unsigned char voxels
  put16(72, 8);
  const float pixdim[8] = {1, 3, 3, 3, 2, 0, 0, 0};
  std::memcpy(h + 76, pixdim, sizeof pixdim);
  const float voxoffset = 352;
  put32(108, &voxoffset);
  h[123] = 2 | 8;  // millimetres, seconds
  put16(254, 1);   // sform
  const float srow[12] = {3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 3, 0};
  std::memcpy(h + 280, srow, sizeof srow);
  std::memcpy(h + 344, "n+1", 4);
  std::string data(reinterpret_cast<char*>(h), sizeof h);
  unsigned x = 1;
  for (int k = 0; k < 640; k++) data += static_cast<char>((x = x * 1103515245u + 12345u) >> 16);
  const std::string raw = path.substr(0, path.size() - 3);
  writefile(raw, data);
  ASSERT_EQ(std::system(("gzip -n -f '" + raw + "'").c_str()), 0);
}

std::string validator() {
  if (const char* v = std::getenv("VISTRUM_BIDS_VALIDATOR")) return v;
  return std::system("command -v bids-validator >/dev/null 2>&1") == 0 ? "bids-validator" : "";
}

struct Case {
  const char* task;
  std::vector<std::string> args;
  int frames;
  double hz;
  std::vector<std::string> types;  // trial types the table must hold
};

}  // namespace

TEST_F(Events, RealRunLogsBecomeValidEventsTables) {
  const std::vector<Case> cases = {
      {"wedge", {"-s", "10", "-chktarg", "4", "1", "-polperiod", "8"}, 20, 2, {"start", "check_target"}},
      {"blocks", {"-s", "54", "-blockperiod", "2"}, 20, 2, {"start", "random_blocks_start", "off"}},
      {"eventwedge", {"-s", "15", "-srseed", "1"}, 30, 1, {"start", "wedge_0.0", "delay"}},
      {"codes", {"-s", "60", "-exptfile", "codes.scn", "-sxcode"}, 80, 10, {"start", "code_1", "code_2"}},
  };
  const std::string ds = maketempdir("bids");
  const std::string func = ds + "/sub-01/func";
  mkdir((ds + "/sub-01").c_str(), 0755);
  mkdir(func.c_str(), 0755);
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    // Started by F1 from "Ready", as a scan is: the log holds its start.
    args.insert(args.end(), {"-logfile", "-winxy", "160", "120", "-waitforpulse", "-1"});
    const SavedRun run = saverun(*x, args, c.frames, c.hz);
    ASSERT_EQ(run.result.status, 0) << c.task << "\n" << run.result.out;
    ASSERT_FALSE(run.log.empty()) << c.task << "\n" << run.result.out;
    removetree(run.dir);
    const std::string base = func + "/sub-01_task-" + c.task;
    writefile(base + ".log", run.log);
    const std::string cmd = std::string(VISTRUM_EVENTS_BINARY) + " " + base + ".log -o " + base +
                            "_events.tsv >" + base + ".out 2>&1";
    const int status = std::system(cmd.c_str());
    const std::string out = readfile(base + ".out");
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find(", 0 lines not mapped"), std::string::npos) << c.task << "\n" << out << run.log;

    // Well formed: ten columns, numeric onsets in order, durations numbers >= 0 or n/a.
    const std::vector<std::string> lines = split(readfile(base + "_events.tsv"), '\n');
    ASSERT_GT(lines.size(), 2u) << c.task;
    EXPECT_EQ(lines[0].rfind("onset\tduration\ttrial_type\tresponse\tresponse_time\t", 0), 0u);
    std::set<std::string> types;
    double last = 0;
    for (size_t k = 1; k < lines.size(); k++) {
      const std::vector<std::string> f = split(lines[k], '\t');
      ASSERT_EQ(f.size(), 10u) << lines[k];
      const double onset = std::stod(f[0]);
      EXPECT_GE(onset, last) << lines[k];
      last = onset;
      if (f[1] != "n/a") {
        EXPECT_GE(std::stod(f[1]), 0.0) << lines[k];
      }
      types.insert(f[2]);
    }
    for (const std::string& t : c.types) EXPECT_TRUE(types.count(t)) << c.task << " lacks " << t << "\n" << run.log;
    std::remove((base + ".log").c_str());
    std::remove((base + ".out").c_str());
    writebold(base + "_bold.nii.gz");
    writefile(base + "_bold.json", std::string("{\"RepetitionTime\": 2.0, \"TaskName\": \"") + c.task + "\"}\n");
  }
  // The event-related wedge's times are frame times, so its table repeats exactly.
  const std::string wedge = readfile(func + "/sub-01_task-eventwedge_events.tsv");
  EXPECT_NE(wedge.find("\n3.000\t2.000\twedge_"), std::string::npos) << wedge;

  writefile(ds + "/dataset_description.json",
            "{\"Name\": \"vistrum events tables of test runs\", \"BIDSVersion\": \"1.8.0\", \"Authors\": [\"vistrum\"]}\n");
  writefile(ds + "/README", "Events tables written by vistrum-events from the logs of saved-frame runs of four "
                            "stimulus types, with stand-in scans, assembled by the end-to-end tests.\n");
  const std::string v = validator();
  if (v.empty()) {
    removetree(ds);
    if (std::getenv("CI")) FAIL() << "bids-validator not found (scripts/test.sh installs it with npm)";
    GTEST_SKIP() << "bids-validator not installed: npm install bids-validator@1.15.0, then set "
                    "VISTRUM_BIDS_VALIDATOR to its node_modules/.bin/bids-validator";
  }
  const std::string report = ds + ".report";
  const int status = std::system((v + " --no-color " + ds + " >" + report + " 2>&1").c_str());
  const std::string text = readfile(report);
  std::remove(report.c_str());
  EXPECT_EQ(status, 0) << text;
  EXPECT_EQ(text.find("[ERR]"), std::string::npos) << text;
  EXPECT_EQ(text.find("events.json"), std::string::npos) << text;  // no remark on the sidecars
  removetree(ds);
}

// A type without a log name writes no event lines of its own: run with
// fixation targets (which open a log for any type), its log holds only the
// words the background-and-fixation type 21 writes too. A drawing that wrote
// events would need a log name, or its record would be lost.
TEST_F(Events, TypesWithoutALogNameWriteNoEventsOfTheirOwn) {
  auto eventwords = [&](int type, std::string* out) {
    // Each run waits for its start, so that its log holds at least the start lines.
    std::vector<std::string> args = {"-s",       std::to_string(type), "-winxy", "320", "240", "-sndprog",
                                     "/bin/true", "-fixtarg",           "2",      "0.1", "-waitforpulse", "-1"};
    const SavedRun run = loggedrun(*x, args, 40, 10.0);
    removetree(run.dir);
    std::set<std::string> words;
    if (run.result.status != 0 || run.log.empty()) {
      *out = run.result.out;
      return words;
    }
    std::istringstream in(run.log);
    for (const EventRow& r : convertlog(in).rows) words.insert(r.event);
    *out = run.log;
    return words;
  };
  std::string out;
  const std::set<std::string> plain = eventwords(21, &out);
  ASSERT_FALSE(plain.empty()) << out;
  int count = 0;
  const StimTypeInfo* table = stimtable(&count);
  std::vector<int> silent;
  for (int k = 0; k < count; k++) {
    const int n = table[k].num;
    // 10 logs with its check targets; 61 ends before the loop, 89 is internal,
    // 99 writes its picture and ends.
    if (!validstimtype(n) || table[k].logname || n == 10 || n == 61 || n == 89 || n == 99 || n == 21) continue;
    silent.push_back(n);
  }
  for (int type : sampletypes(silent, 5, "silent-types guard")) {
    SCOPED_TRACE("type " + std::to_string(type));
    const std::set<std::string> words = eventwords(type, &out);
    EXPECT_FALSE(words.empty()) << out;
    for (const std::string& w : words) EXPECT_TRUE(plain.count(w)) << "writes " << w << "\n" << out;
  }
}

// Every type that logs, run for a few seconds of saved frames: each line it
// writes is one the events tool maps, a start is one start of the tool's,
// and times never go backwards within a start.
TEST_F(Events, EveryLoggingTypeWritesLinesTheEventsToolMaps) {
  int count = 0;
  const StimTypeInfo* table = stimtable(&count);
  std::vector<int> logging;
  for (int k = 0; k < count; k++) {
    const int n = table[k].num;
    if (stimmaylog(n, 0.0f, 0.0f)) logging.push_back(n);
  }
  logging.push_back(10);  // logs with its check targets
  std::sort(logging.begin(), logging.end());
  for (int type : sampletypes(logging, 6, "events guard")) {
    SCOPED_TRACE("type " + std::to_string(type));
    // Started by F1 from "Ready": one start in the log.
    std::vector<std::string> args = {"-s", std::to_string(type), "-winxy", "320", "240", "-sndprog", "/bin/true",
                                     "-waitforpulse", "-1"};
    // What a type needs beyond its defaults to run at all.
    const std::map<int, std::vector<std::string>> extra = {
        {10, {"-chktarg", "4", "1", "-polperiod", "4"}},
        {32, {"-tiffdir", "photos", "-bgcnt", "1", "-imcnt", "5", "-simulcnt", "5"}},
        {76, {"-sndfilenames", "1", "beep.wav"}}};
    if (extra.count(type)) args.insert(args.end(), extra.at(type).begin(), extra.at(type).end());
    const SavedRun run = loggedrun(*x, args, 40, 10.0);
    removetree(run.dir);
    if (run.result.status != 0 || run.log.empty()) {
      ADD_FAILURE() << "status " << run.result.status << "\n" << run.result.out;
      continue;
    }
    std::istringstream in(run.log);
    const EventsTable t = convertlog(in);
    for (const UnmappedLine& u : t.unmapped)
      EXPECT_NE(u.reason, "not an event line this program writes") << "line " << u.line << ": " << u.text;
    // One start (F1 and its start line) is one start of the table.
    EXPECT_EQ(loglines(run.log, "StartPulse(").size(), 1u) << run.log;
    EXPECT_EQ(t.segments.size(), loglines(run.log, "F1-reset:").size()) << run.log;
    // Times in the order the lines were written (a wedge trial line carries
    // its own earlier start; a pre-period's end restarts the timer).
    std::vector<EventRow> rows = t.rows;
    std::stable_sort(rows.begin(), rows.end(), [](const EventRow& a, const EventRow& b) { return a.line < b.line; });
    double last = -1e9;
    for (const EventRow& r : rows) {
      if (r.trialtype == "start" || r.event == "angle" || r.event == "delay period") continue;
      EXPECT_GE(r.logtime, last) << "line " << r.line << " (" << r.event << ")\n" << run.log;
      last = r.event == "EndPrePer" || r.event == "EndPrePrePer" ? -1e9 : r.logtime;
    }
  }
}
