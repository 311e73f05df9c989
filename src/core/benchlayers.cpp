#include "core/benchlayers.h"

#include "core/runstate.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

#include <cstdio>
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

namespace {

struct FillCount {
  int on = -1;  // -1: the variable not read yet
  GLuint query[2] = {0, 0};
  PFNGLBEGINQUERYPROC begin = nullptr;
  PFNGLENDQUERYPROC end = nullptr;
  PFNGLGETQUERYOBJECTUIVPROC result = nullptr;
  double primitives = 0.0, pixels = 0.0;
  long pictures = 0, lastpicture = -1;
};
FillCount fill;

void printfillcount() {
  if (fill.pictures == 0) return;
  std::printf("vistrum: fill: %.1f primitives, %.0f pixels per picture over %ld pictures\n",
              fill.primitives / static_cast<double>(fill.pictures), fill.pixels / static_cast<double>(fill.pictures),
              fill.pictures);
}

bool fillcounting() {
  if (fill.on < 0) {
    const char* v = std::getenv("VISTRUM_COUNT_FILL");
    fill.on = 0;
    if (!(v && std::strcmp(v, "1") == 0) || !glXGetCurrentContext()) return false;
    const auto get = [](const char* name) { return glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)); };
    auto gen = reinterpret_cast<PFNGLGENQUERIESPROC>(get("glGenQueries"));
    fill.begin = reinterpret_cast<PFNGLBEGINQUERYPROC>(get("glBeginQuery"));
    fill.end = reinterpret_cast<PFNGLENDQUERYPROC>(get("glEndQuery"));
    fill.result = reinterpret_cast<PFNGLGETQUERYOBJECTUIVPROC>(get("glGetQueryObjectuiv"));
    if (!gen || !fill.begin || !fill.end || !fill.result) return false;
    gen(2, fill.query);
    fill.on = 1;
    std::atexit(printfillcount);
  }
  return fill.on == 1;
}

}  // namespace

void fillcountbegin() {
  if (!fillcounting()) return;
  fill.begin(GL_PRIMITIVES_GENERATED, fill.query[0]);
  fill.begin(GL_SAMPLES_PASSED, fill.query[1]);
}

void fillcountend() {
  if (fill.on != 1) return;
  fill.end(GL_SAMPLES_PASSED);
  fill.end(GL_PRIMITIVES_GENERATED);
  GLuint prims = 0, pixels = 0;
  fill.result(fill.query[0], GL_QUERY_RESULT, &prims);
  fill.result(fill.query[1], GL_QUERY_RESULT, &pixels);
  if (fill.lastpicture != run.picturecnt) fill.pictures++, fill.lastpicture = run.picturecnt;
  fill.primitives += prims;
  fill.pixels += pixels;
}
