#include "core/frametiming.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
std::vector<double> intervals;  // reserved once; never grows in the loop
size_t used = 0;
int framecount = 0;
double lastswap = -1.0;
}  // namespace

void initframetiming(size_t capacity) {
  intervals.assign(capacity, 0.0);
  used = 0;
  framecount = 0;
  lastswap = -1.0;
}

void noteframe(double swaptime) {
  framecount++;
  // A restart resets the clock; an interval across it is meaningless.
  if (lastswap >= 0.0 && swaptime >= lastswap && !intervals.empty()) {
    intervals[used % intervals.size()] = swaptime - lastswap;  // ring: keeps the latest
    used++;
  }
  lastswap = swaptime;
}

FrameStats computeframestats(const double* iv, int count, int frames) {
  FrameStats s{frames, 0.0, 0.0, 0};
  if (count <= 0) return s;
  std::vector<double> sorted(iv, iv + count);
  std::sort(sorted.begin(), sorted.end());
  const double median = count % 2 ? sorted[count / 2] : 0.5 * (sorted[count / 2 - 1] + sorted[count / 2]);
  double sum = 0.0;
  for (int k = 0; k < count; k++) {
    sum += iv[k];
    s.maxms = std::max(s.maxms, iv[k] * 1000.0);
    if (iv[k] > 1.5 * median) s.dropped++;
  }
  s.meanms = sum / count * 1000.0;
  return s;
}

FrameStats currentframestats() {
  const int n = static_cast<int>(std::min(used, intervals.size()));
  return computeframestats(intervals.data(), n, framecount);
}

void printframetiming() {
  if (framecount == 0) return;
  const FrameStats s = currentframestats();
  std::printf("vistrum: frames: %d, mean interval %.3f ms, max %.3f ms, dropped %d (over 1.5 x median)\n",
              s.frames, s.meanms, s.maxms, s.dropped);
}
