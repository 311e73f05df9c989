#include "core/frametiming.h"

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
FILE* record = nullptr;
char recordbuf[BUFSIZ];  // the stream's buffer, so its first line allocates nothing
}  // namespace

std::string logsibling(const std::string& logpath, const char* suffix) {
  const bool log = logpath.size() > 4 && logpath.compare(logpath.size() - 4, 4, ".log") == 0;
  return (log ? logpath.substr(0, logpath.size() - 4) : logpath) + suffix;
}

bool openframerecord(const char* logpath) {
  const std::string path = logsibling(logpath, "_frames.tsv");
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  record = fd >= 0 ? fdopen(fd, "w") : nullptr;
  if (!record) {
    if (fd >= 0) close(fd);
    std::printf("vistrum: ### can't create frame record %s: %s (the run goes on without it)\n", path.c_str(),
                std::strerror(errno));
    return false;
  }
  setvbuf(record, recordbuf, _IOFBF, sizeof recordbuf);
  std::fprintf(record, "# vistrum frame record of %s\n", logpath);
  std::fprintf(record, "frame\tt\tswap\tinterval\n");
  std::fflush(record);
  return true;
}

void noteframerecord(const char* line) {
  if (!record) return;
  std::fprintf(record, "# %s\n", line);
  std::fflush(record);
}

void closeframerecord() {
  if (record) std::fclose(record);
  record = nullptr;
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
  if (record) {
    if (timed)
      std::fprintf(record, "%d\t%.4f\t%.6f\t%.6f\n", framecount, t, swaptime, swaptime - lastswap);
    else
      std::fprintf(record, "%d\t%.4f\t%.6f\tn/a\n", framecount, t, swaptime);
    std::fflush(record);  // as the log: a killed run keeps every frame
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
