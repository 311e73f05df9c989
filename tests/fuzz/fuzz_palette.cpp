// Palette-file reader: every input must end in a palette or an error.
#include "scenario/palfile.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string err;
  const size_t len = size < PALFILEWORDS * 2 ? size : PALFILEWORDS * 2;
  const bool ok = parsepalette(data, len, size, "fuzz.pal", err);
  if (!ok && err.empty()) __builtin_trap();
  for (int i = 0; ok && i < PALCOLS; i++)
    if (rpalette[i] > 252 || gpalette[i] > 252 || bpalette[i] > 252) __builtin_trap();
  return 0;
}
