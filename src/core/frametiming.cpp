#include "core/frametiming.h"

#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/stepping.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
std::vector<double> intervals;  // reserved once; never grows in the loop
size_t used = 0;
int framecount = 0;
double lastswap = -1.0;
// The record is written line by line straight to its file (no stream
// buffer), each line whole or not at all, so a full disk is seen at once.
int record = -1;
char recordpath[4096] = "";
char recordline[512];
bool recordcut = false;  // a write failed: the file ends at its last whole line
long recordlost = 0;     // lines not written since
int recorderr = 0;

void recordwrite(int n) {
  if (record < 0) return;
  if (recordcut) {
    recordlost++;
    return;
  }
  const size_t len = n < 0 ? 0 : std::min(static_cast<size_t>(n), sizeof recordline - 1);
  if (writewhole(record, recordline, len)) return;
  recordcut = true;
  recorderr = errno;
  recordlost++;
  std::printf("vistrum: ### can't write frame record %s: %s (record incomplete from here on; the run goes on)\n",
              recordpath, std::strerror(recorderr));
}
}  // namespace

std::string logsibling(const std::string& logpath, const char* suffix) {
  const bool log = logpath.size() > 4 && logpath.compare(logpath.size() - 4, 4, ".log") == 0;
  return (log ? logpath.substr(0, logpath.size() - 4) : logpath) + suffix;
}

bool openframerecord(const char* logpath) {
  const std::string path = logsibling(logpath, "_frames.tsv");
  recordcut = false;
  recordlost = 0;
  record = path.size() < sizeof recordpath ? open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644) : -1;
  if (record < 0) {
    std::printf("vistrum: ### can't create frame record %s: %s (the run goes on without it)\n", path.c_str(),
                path.size() < sizeof recordpath ? std::strerror(errno) : "path too long");
    return false;
  }
  std::strcpy(recordpath, path.c_str());
  recordwrite(std::snprintf(recordline, sizeof recordline, "# vistrum frame record of %s\n", logpath));
  recordwrite(std::snprintf(recordline, sizeof recordline, "frame\tt\tswap\tinterval\n"));
  return true;
}

void noteframerecord(const char* line) {
  recordwrite(std::snprintf(recordline, sizeof recordline, "# %s\n", line));
}

void closeframerecord() {
  if (record >= 0 && close(record) != 0 && !recordcut) {
    recordcut = true;
    recorderr = errno;
  }
  record = -1;
}

void discardframerecord() {
  closeframerecord();
  if (recordpath[0]) unlink(recordpath);
  recordpath[0] = '\0';
  recordcut = false;
}

bool framerecordincomplete() {
  if (recordcut)
    std::printf("vistrum: ### frame record incomplete: %s (%ld lines not written: %s)\n", recordpath, recordlost,
                std::strerror(recorderr));
  return recordcut;
}

void initframetiming(size_t capacity) {
  intervals.assign(capacity, 0.0);
  used = 0;
  framecount = 0;
  lastswap = -1.0;
}

void noteframe(double swaptime, double t) {
  framecount++;
  // A restart resets the clock; an interval across it is meaningless.
  const bool timed = lastswap >= 0.0 && swaptime >= lastswap;
  if (timed && !intervals.empty()) {
    intervals[used % intervals.size()] = swaptime - lastswap;  // ring: keeps the latest
    used++;
  }
  if (record >= 0) {  // as the log: a killed run keeps every frame
    if (timed)
      recordwrite(std::snprintf(recordline, sizeof recordline, "%d\t%.4f\t%.6f\t%.6f\n", framecount, t, swaptime,
                                swaptime - lastswap));
    else
      recordwrite(std::snprintf(recordline, sizeof recordline, "%d\t%.4f\t%.6f\tn/a\n", framecount, t, swaptime));
  }
  lastswap = swaptime;
}

FrameStats computeframestats(const double* iv, int count, int frames) {
  FrameStats s{frames, 0.0, 0.0, 0, 0.0};
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
  s.medianms = median * 1000.0;
  return s;
}

FrameStats currentframestats() {
  const int n = static_cast<int>(std::min(used, intervals.size()));
  return computeframestats(intervals.data(), n, framecount);
}

void printframetiming() {
  if (framecount == 0) return;
  // A stepped run's frames take as long as drawing and saving take: their
  // intervals say how fast saving went, not whether frames were dropped.
  if (run.frameclock) return printsteppedrun();
  const FrameStats s = currentframestats();
  std::printf("vistrum: frames: %d, mean interval %.3f ms, max %.3f ms, dropped %d (over 1.5 x median)\n",
              s.frames, s.meanms, s.maxms, s.dropped);
}
