// vistrum-events: an event log to an analysis events table and its sidecar.
#include "core/version.h"
#include "eventstable/logevents.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

void usage(FILE* f) {
  std::fprintf(f,
               "use: vistrum-events [options] <logfile>\n"
               "  writes <name>_events.tsv and <name>_events.json (an events table and its\n"
               "  column description) for the run in a vistrum event log\n"
               "options:\n"
               "  -o <file>_events.tsv  output table (the sidecar gets .json in place of .tsv);\n"
               "                        default: the log's name with _events.tsv\n"
               "  -segment <n>          convert the n-th start of the log (default: the last\n"
               "                        start with events; restarts begin new starts)\n"
               "  -maxrt <sec>          latest answer after a target (default: the log's\n"
               "                        -maxcorrectRT, else 2)\n"
               "  -q                    do not list the lines left out\n");
}

bool endswith(const std::string& s, const char* tail) {
  const size_t n = std::strlen(tail);
  return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

bool number(const char* s, double* v) {
  char* end = nullptr;
  *v = std::strtod(s, &end);
  return end != s && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  EventsOptions opt;
  std::string log, out;
  bool quiet = false;
  for (int i = 1; i < argc; i++) {
    const std::string a = argv[i];
    double v;
    if (a == "-h" || a == "-help" || a == "--help") {
      usage(stdout);
      return 0;
    } else if (a == "-o" && i + 1 < argc) {
      out = argv[++i];
    } else if (a == "-segment" && i + 1 < argc && number(argv[i + 1], &v) && v >= 1 && v == static_cast<int>(v)) {
      opt.segment = static_cast<int>(v);
      i++;
    } else if (a == "-maxrt" && i + 1 < argc && number(argv[i + 1], &v) && v >= 0) {
      opt.maxrt = v;
      i++;
    } else if (a == "-q") {
      quiet = true;
    } else if (!a.empty() && a[0] != '-' && log.empty()) {
      log = a;
    } else {
      std::printf("vistrum-events: ### bad argument \"%s\"\n", a.c_str());
      usage(stdout);
      return 1;
    }
  }
  if (log.empty()) {
    usage(stdout);
    return 1;
  }
  std::ifstream in(log);
  if (!in) {
    std::printf("vistrum-events: ### can't open %s\n", log.c_str());
    return 1;
  }
  if (out.empty()) out = (endswith(log, ".log") ? log.substr(0, log.size() - 4) : log) + "_events.tsv";
  if (!endswith(out, ".tsv")) {
    std::printf("vistrum-events: ### output %s must end in .tsv\n", out.c_str());
    return 1;
  }
  const std::string json = out.substr(0, out.size() - 4) + ".json";

  const EventsTable t = convertlog(in, opt);
  if (t.chosen == 0) {
    std::printf("vistrum-events: ### %s has no start %d (it has %zu)\n", log.c_str(), opt.segment, t.segments.size());
    return 1;
  }
  std::ofstream tsv(out), js(json);
  if (!tsv || !js) {
    std::printf("vistrum-events: ### can't write %s\n", !tsv ? out.c_str() : json.c_str());
    return 1;
  }
  writeeventstsv(tsv, t);
  writeeventsjson(js, t, VISTRUM_VERSION);
  tsv.close();
  js.close();
  if (!tsv || !js) {
    std::printf("vistrum-events: ### writing %s failed\n", !tsv ? out.c_str() : json.c_str());
    return 1;
  }
  if (!quiet)
    for (const UnmappedLine& u : t.unmapped)
      std::printf("vistrum-events: line %d not mapped (%s): %s\n", u.line, u.reason.c_str(), u.text.c_str());
  if (t.segments.size() > 1)
    std::printf("vistrum-events: the log has %zu starts; converted start %d (-segment chooses)\n", t.segments.size(),
                t.chosen);
  std::printf("vistrum-events: %zu events to %s (+ .json), %zu lines not mapped\n", t.rows.size(), out.c_str(),
              t.unmapped.size());
  return 0;
}
