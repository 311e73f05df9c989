#include "core/timer.h"

#include "config/params.h"
#include "core/runstate.h"

#include <cstdio>
#include <ctime>

namespace {
double clocknow() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  run.timesec = ts.tv_sec;
  run.timeusec = ts.tv_nsec / 1000;
  return static_cast<double>(run.timesec) + static_cast<double>(run.timeusec) * 1e-6;
}
}  // namespace

void settimer() {
  if (run.frameclock) {
    run.stepzero = run.steps;
    run.stepphase = 0.0;
    return;
  }
  run.starttime = clocknow();
}

double wallclock() { return clocknow(); }

bool runtimeknown() { return run.frameclock || run.starttime != 0.0; }

double gettimer() {
  if (run.frameclock) return static_cast<double>(run.steps - run.stepzero) * par.framedur + run.stepphase;
  const double now = clocknow();
  // Before the first reset there is no run time yet. Lines written then (a
  // key or Esc on the first "Ready" screen) carry the wall clock's seconds
  // since the epoch, which no run reaches, instead of the monotonic clock's
  // uptime, which reads like a plausible time within the run.
  if (run.starttime == 0.0) {
    timespec wall{};
    clock_gettime(CLOCK_REALTIME, &wall);
    return static_cast<double>(wall.tv_sec) + static_cast<double>(wall.tv_nsec) * 1e-9;
  }
  return now - run.starttime;
}

double logtime() {
  // A line written before the first reset (a key on the first "Ready"
  // screen) is at run time 0, as F1-reset writes it there: the raw reading
  // is no time of the run.
  if (!runtimeknown()) return 0.0;
  return gettimer();
}

void formattime(char* buf, int size, double seconds) {
  const int min = static_cast<int>(seconds / 60.0);
  if (min > 0)
    std::snprintf(buf, size, " %d min, %4.3lf sec\n", min, seconds - 60.0 * min);
  else
    std::snprintf(buf, size, " %4.3lf sec\n", seconds);
}

void printtime(double seconds) {
  char buf[64];
  formattime(buf, sizeof buf, seconds);
  std::fputs(buf, stdout);
}
