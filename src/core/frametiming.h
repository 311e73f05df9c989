// Frame-interval record: lets the user trust that every frame was on time.
#pragma once

#include <cstddef>
#include <string>

struct FrameStats {
  int frames;        // frames drawn
  double meanms;     // mean interval
  double maxms;      // longest interval
  int dropped;       // intervals above 1.5 x the median
  double medianms;   // median interval
};

// Sizes the record before the first frame; the loop then allocates nothing.
void initframetiming(size_t capacity);
// Records the swap time of one frame (seconds on the stimulus clock) and,
// with a frame record open, writes the frame's line: its number, its t
// (the stimulus time it was drawn for), the swap's return time and the
// interval since the last swap ("n/a" for the first and across a restart).
void noteframe(double swaptime, double t = 0.0);
// A file beside a run's log: "<dir>/<name>.log" -> "<dir>/<name><suffix>".
std::string logsibling(const std::string& logpath, const char* suffix);
// The frame record beside the event log (logsibling "_frames.tsv"),
// written and flushed line by line as the log is; false when it cannot be
// made (the run goes on without it, with a message).
bool openframerecord(const char* logpath);
void closeframerecord();
// Closes and removes it (a start that was refused leaves no record).
void discardframerecord();
// Whether a write to it failed (says so, with the lines lost, when it did).
bool framerecordincomplete();
// A comment line ("# ...") in the frame record: what kind of run it is.
void noteframerecord(const char* line);
// Statistics over recorded intervals (pure: also used by the tests).
FrameStats computeframestats(const double* intervals, int count, int frames);
FrameStats currentframestats();
// "vistrum: frames: ..." at an orderly exit after frames were drawn.
void printframetiming();
