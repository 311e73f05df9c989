// The frame record's cost per frame: noteframe() with the record open, as
// the frame loop calls it once per frame (one line written and flushed).
#include "core/frametiming.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
double cpuseconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}
}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 2 ? std::atoi(argv[2]) : 200000;
  const std::string log = std::string(argc > 1 ? argv[1] : "/tmp") + "/bench.log";
  initframetiming(frames);
  const double c0 = cpuseconds();
  for (int k = 0; k < frames; k++) noteframe(k / 60.0, k / 60.0);  // no record: the statistics only
  const double c1 = cpuseconds();
  if (!openframerecord(log.c_str())) return 1;
  initframetiming(frames);
  const double c2 = cpuseconds();
  for (int k = 0; k < frames; k++) noteframe(k / 60.0, k / 60.0);
  const double c3 = cpuseconds();
  closeframerecord();
  std::printf("%.3f\n", ((c3 - c2) - (c1 - c0)) / frames * 1e6);  // microseconds per frame
  return 0;
}
