// Frame-interval record: lets the user trust that every frame was on time.
#pragma once

#include <cstddef>

struct FrameStats {
  int frames;        // frames drawn
  double meanms;     // mean interval
  double maxms;      // longest interval
  int dropped;       // intervals above 1.5 x the median
};

// Sizes the record before the first frame; the loop then allocates nothing.
void initframetiming(size_t capacity);
// Records the swap time of one frame (seconds on the stimulus clock).
void noteframe(double swaptime);
// Statistics over recorded intervals (pure: also used by the tests).
FrameStats computeframestats(const double* intervals, int count, int frames);
FrameStats currentframestats();
// "vistrum: frames: ..." at an orderly exit after frames were drawn.
void printframetiming();
