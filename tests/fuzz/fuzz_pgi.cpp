// Rectangle-file reader: every input must end in rectangles or an error.
#include "scenario/pgifile.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "r");
  if (!f) return 0;
  ExptItem item{};
  item.kind = KPGI;
  item.color = size % 2 ? -1 : 7;
  std::string err;
  const bool ok = parsepgi(f, "fuzz.pgi", &item, err);
  std::fclose(f);
  if (!ok && err.empty()) __builtin_trap();
  for (int k = 0; ok && k < item.rectcnt; k++)
    if (item.rects[k].r > 255 || item.rects[k].g > 255 || item.rects[k].b > 255) __builtin_trap();
  std::free(item.rects);
  return 0;
}
