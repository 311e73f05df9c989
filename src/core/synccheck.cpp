#include "core/synccheck.h"

#include "config/params.h"
#include "core/eventlog.h"
#include "core/trigger.h"
#include "core/window.h"
#include "core/xit.h"

#include <GL/gl.h>
#include <GL/glx.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

double monotonicnow() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec + ts.tv_nsec * 1e-9;
}

// The value at fraction q of the sorted list (nearest rank).
double quantile(const double* sorted, int n, double q) {
  const int k = std::clamp(static_cast<int>(std::lround(q * (n - 1))), 0, n - 1);
  return sorted[k];
}

}  // namespace

SyncVerdict syncverdict(const double* intervals, int n, double framedur) {
  SyncVerdict v;
  n = std::clamp(n, 0, kMaxSyncIntervals);
  v.swaps = n > 0 ? n + 1 : 0;
  v.assumedrate = framedur > 0.0 ? 1.0 / framedur : 0.0;
  if (n == 0) return v;
  double s[kMaxSyncIntervals];
  std::copy(intervals, intervals + n, s);
  std::sort(s, s + n);
  v.median = n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2.0;
  if (v.median <= 0.0) return v;
  v.rate = 1.0 / v.median;
  v.spread = (quantile(s, n, 0.9) - quantile(s, n, 0.1)) / v.median;
  v.synchronised = v.median >= kMinSyncedInterval && v.spread <= kMaxSyncedSpread;
  // An unsynchronised loop's rate is no refresh rate: nothing to compare.
  v.ratemismatch = v.synchronised && v.assumedrate > 0.0 &&
                   std::fabs(v.rate / v.assumedrate - 1.0) > kMaxRateMismatch;
  return v;
}

void checkdisplaysync() {
  // Saved-frame and rehearsal runs step their own time: the display's pace
  // does not matter to them.
  if (par.saveframes || par.rehearse > 0.0 || !dsp.display) return;
  double t[kMaxSyncIntervals + 1];
  int n = 0;
  // About a second at 60 Hz; a slow renderer stops at two seconds.
  const int want = 60;
  clearready("Ready");
  glFinish();
  t[0] = monotonicnow();
  while (n < want && t[n] - t[0] < 2.0) {
    clearready("Ready");
    glFinish();  // a swap is done when the buffers have flipped, not when queued
    t[n + 1] = monotonicnow();
    n++;
  }
  double iv[kMaxSyncIntervals];
  for (int k = 0; k < n; k++) iv[k] = t[k + 1] - t[k];
  const SyncVerdict v = syncverdict(iv, n, par.framedur);
  char line[160];
  std::snprintf(line, sizeof line, "display: %.2f Hz measured over %d swaps, swaps %s to it", v.rate, v.swaps,
                v.synchronised ? "synchronised" : "not synchronised");
  std::printf("vistrum: %s\n", line);
  logevent("%s\n\n", line);
  if (!v.synchronised)
    std::printf(
        "vistrum: ### swaps not synchronised to the display refresh (median interval %.2f ms, spread %.0f %%): "
        "frame times will not hold; turn on sync to vblank in the graphics driver\n",
        v.median * 1000.0, v.spread * 100.0);
  if (v.ratemismatch)
    std::printf("vistrum: ### display refreshes at %.2f Hz, but frame counts assume %.2f Hz (-framerate): "
                "30 frames last %.3f s, not %.3f s\n",
                v.rate, v.assumedrate, 30.0 / v.rate, 30.0 / v.assumedrate);
  if (par.requiresyncflag && !v.synchronised) fatal("vistrum: ### -requiresync: start refused: swaps not synchronised\n");
  if (par.requiresyncflag && v.ratemismatch)
    fatal("vistrum: ### -requiresync: start refused: display at %.2f Hz, not %.2f Hz\n", v.rate, v.assumedrate);
}
