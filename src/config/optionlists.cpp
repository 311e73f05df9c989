#include "config/optionlists.h"

#include "config/help.h"
#include "config/readers.h"
#include "core/xit.h"

int parsestimtype(int i, int argc, char** argv) {
  par.stimtype = geti(i + 1, argc, argv);
  return i + 1;
}

void printstimtype(FILE* out, const OptionDef&) { std::fprintf(out, "   -stimtype %d\n", par.stimtype); }

int parsesaveframes(int i, int argc, char** argv) {
  par.saveframes = geti(i + 1, argc, argv);
  par.framedur = 1.0 / static_cast<double>(getf2(i + 2, argc, argv));
  return i + 2;
}

void printsaveframes(FILE* out, const OptionDef&) {
  std::fprintf(out, "   -saveframes %d %2.0f\n", par.saveframes, 1.0 / par.framedur);
}

int parseprintdefs(int, int, char**) {
  printdefs(par.stimtype);
  xit(0);
}

int parsehelp(int, int, char**) {
  usage();
  xit(0);
}
