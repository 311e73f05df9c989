#include "core/benchlayers.h"

#include <cstdlib>
#include <cstring>

namespace {

unsigned readlayers() {
  const char* v = std::getenv("VISTRUM_BENCH_LAYERS");
  if (!v) return ~0u;
  const struct {
    const char* name;
    BenchLayer layer;
  } names[] = {{"checks", kLayerChecks},
               {"dots", kLayerDots},
               {"pictures", kLayerPictures},
               {"letters", kLayerLetters},
               {"masks", kLayerMasks}};
  unsigned on = 0;
  for (const auto& n : names) {
    const size_t len = std::strlen(n.name);
    for (const char* p = std::strstr(v, n.name); p; p = std::strstr(p + 1, n.name))
      if ((p == v || p[-1] == ',') && (p[len] == ',' || p[len] == '\0')) on |= n.layer;
  }
  return on;
}

}  // namespace

bool layeron(BenchLayer layer) {
  static const unsigned on = readlayers();  // the process's environment: fixed for the run
  return (on & layer) != 0;
}
