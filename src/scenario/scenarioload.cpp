#include "scenario/scenariofile.h"

#include "config/params.h"
#include "core/timer.h"
#include "core/xit.h"
#include "scenario/palfile.h"
#include "scenario/playback.h"
#include "scenario/scnerror.h"

#include <cstdio>
#include <string>

namespace {
const char* const kDashes = "------------------------------------------------------";
}  // namespace

int readexpt(const char* path) {
  std::snprintf(exptpath, sizeof exptpath, "%s", path);
  const char* why = nullptr;
  FILE* f = openfile(path, "r", &why);
  if (why) fatal("vistrum: ### exptfile %s is not a regular file (%s)\nvistrum: ### use: -exptfile <filename>\n", path, why);
  if (!f) {
    // Shipped examples are found by name in the library.
    std::snprintf(exptpath, sizeof exptpath, "%s/lib/scenarios/%s", par.vistrumdir, path);
    if (path[0] != '/' && path[0] != '.') f = openfile(exptpath, "r", &why);
    if (why) fatal("vistrum: ### exptfile %s is not a regular file (%s)\n", exptpath, why);
    if (!f) fatal("vistrum: ### exptfile %s not found\nvistrum: ### use: -exptfile <filename>\n", path);
  }
  std::printf("vistrum: reading exptfile: %s\n", exptpath);
  std::string err;
  char pal[2 * TEXTLEN];
  exptrelative(par.palfile, pal, sizeof pal);
  if (!mkpalette(pal, err)) {
    std::fclose(f);
    fatal("%s", err.c_str());
  }
  if (par.bgimgfileflag) std::printf("vistrum: using background image: %s\n", par.bgimgfile);
  const int n = parseexpt(f, exptpath, err);
  std::fclose(f);
  if (n < 0) fatal("%s", err.c_str());
  std::printf("vistrum: done reading exptfile: %s\n", exptpath);
  std::printf("%s\n", kDashes);
  // Slots: the events and the fixation records between them, not video frames.
  std::printf("vistrum: total expttime (%d slots):", n - 1);
  printtime(exptframes[n - 1].endtime);
  std::printf("%s\n", kDashes);
  return n;
}

void loadscenario() {
  exptframecnt = readexpt(par.exptfile);
  loadexpt(exptframecnt);
}
