// The check before a live start that buffer swaps follow the display's
// refresh, at the rate the run's frame counts assume.
#pragma once

// Median swap interval below this: the swap waits for no refresh.
constexpr double kMinSyncedInterval = 0.005;
// Spread (10th to 90th percentile) above this fraction of the median: irregular.
constexpr double kMaxSyncedSpread = 0.20;
// Measured rate further than this fraction from the assumed one: mismatch.
constexpr double kMaxRateMismatch = 0.03;
// Intervals measured at most.
constexpr int kMaxSyncIntervals = 120;

struct SyncVerdict {
  int swaps = 0;            // swaps timed (intervals + 1)
  double median = 0.0;      // s
  double spread = 0.0;      // fraction of the median
  double rate = 0.0;        // Hz, 1 / median
  double assumedrate = 0.0; // Hz, 1 / framedur
  bool synchronised = false;
  bool ratemismatch = false;  // only judged when synchronised
};

// The verdict over `n` swap intervals (seconds; at most kMaxSyncIntervals
// are used) for a run whose frame-counted durations assume `framedur`.
SyncVerdict syncverdict(const double* intervals, int n, double framedur);

// Live runs: swaps the "Ready" screen for about a second, prints and logs
// the verdict, warns, and with -requiresync refuses a bad display.
void checkdisplaysync();
