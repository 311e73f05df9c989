// Scenario reader: every input must end in a table or an error message.
#include "scenario/scenariofile.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool once = [] {
    std::strcpy(par.vistrumlocale, "C.UTF-8");
    std::strcpy(par.tiffdir, "/lib/imagefiles/test");
    return true;
  }();
  (void)once;
  // The input's length picks the reading: plain, with event codes, or with
  // codes sent as bytes and a background image.
  {
    const int mode = static_cast<int>(size % 3);
    par.usesxcodeflag = mode > 0;
    par.sxcode2ttlflag = mode == 2;
    par.bgimgfileflag = mode == 2;
    FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (!f) return 0;
    std::string err;
    const int n = parseexpt(f, "fuzz.scn", err);
    std::fclose(f);
    if (n < 0 && err.empty()) __builtin_trap();  // a failure must say why
    if (n >= 0) {
      // The table must be consistent: end times never fall, items are filled.
      for (int s = 1; s < n; s++) {
        if (exptframes[s].endtime < exptframes[s - 1].endtime && s > 1) __builtin_trap();
        for (int k = 0; k < exptframes[s].subframecnt; k++)
          if (std::strlen(exptframes[s].subframes[k]->name) >= TEXTLEN) __builtin_trap();
      }
    }
    freeexpt();
  }
  return 0;
}
