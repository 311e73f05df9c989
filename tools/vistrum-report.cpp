// vistrum-report: one self-contained HTML page per run, from its event log
// and the frame record beside it.
#include "core/frametiming.h"
#include "report/runreport.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

void usage(FILE* f) {
  std::fprintf(f,
               "use: vistrum-report [-o <page>.html] <logfile>\n"
               "  writes <name>_report.html for the run in a vistrum event log: frame intervals\n"
               "  (from <name>_frames.tsv beside the log) as a histogram and over the run, with\n"
               "  the dropped frames marked; per start the condition blocks, targets, answers,\n"
               "  hits and misses on a timeline; and the score. The plots need gnuplot.\n");
}

bool readall(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *text = s.str();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string log, out;
  for (int i = 1; i < argc; i++) {
    const std::string a = argv[i];
    if (a == "-h" || a == "-help" || a == "--help") {
      usage(stdout);
      return 0;
    } else if (a == "-o" && i + 1 < argc) {
      out = argv[++i];
    } else if (!a.empty() && a[0] != '-' && log.empty()) {
      log = a;
    } else {
      usage(stderr);
      return 2;
    }
  }
  if (log.empty()) {
    usage(stderr);
    return 2;
  }
  std::string logtext, frames;
  if (!readall(log, &logtext)) {
    std::fprintf(stderr, "vistrum-report: ### can't read %s\n", log.c_str());
    return 1;
  }
  readall(logsibling(log, "_frames.tsv"), &frames);  // a run without one still has its events
  if (out.empty()) out = logsibling(log, "_report.html");
  const RunReport r = makereport(log, logtext, frames);
  std::ofstream page(out);
  writereporthtml(page, r);
  page.close();
  if (!page) {
    std::fprintf(stderr, "vistrum-report: ### can't write %s\n", out.c_str());
    return 1;
  }
  if (r.stepped.empty())
    std::printf("vistrum-report: wrote %s (frames %zu, dropped %d, starts %zu, targets %d, hits %d)\n", out.c_str(),
                r.frames.size(), r.dropped, r.starts.size(), r.targets, r.hits);
  else
    std::printf("vistrum-report: wrote %s (frames %zu stepped, %s; starts %zu, targets %d, hits %d)\n", out.c_str(),
                r.frames.size(), r.stepped.c_str(), r.starts.size(), r.targets, r.hits);
  return 0;
}
