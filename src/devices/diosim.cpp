// The simulated box: one 32-bit box (four 8-bit ports) in a directory, for
// rehearsing an experiment and for tests without the scanner's hardware.
//
//   <dir>/in   a FIFO (made here when missing). Another process writes one
//              line per input change: "<box> <port> <value>", port A-D (or
//              0-3), value 0-255 (decimal or 0x..). Lines starting with '#'
//              are ignored. Changes are taken in order, so a pulse shorter
//              than a frame is never lost.
//   <dir>/out  written here, one line per output port change:
//              "<frame t> <timer> <box> <port> <value>", after a header of
//              '#' lines; "# open <pid>" first, "# wait <n>" when the run
//              starts waiting for n trigger pulses, "# close" at the end.
//
// scripts/vistrum-dio drives the FIFO (trigger pulse trains, buttons) and
// turns the out file into per-bit on/off times.
#include "devices/diobackend.h"

#include "core/xit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int infd = -1;
FILE* out = nullptr;
char linebuf[512];
size_t linelen = 0;
DioInputQueue pending;  // parsed lines not yet handed out

bool parseport(const char* w, int* port) {
  if (w[0] >= 'A' && w[0] <= 'D' && !w[1]) *port = w[0] - 'A';
  else if (w[0] >= '0' && w[0] <= '3' && !w[1]) *port = w[0] - '0';
  else return false;
  return true;
}

void parseline(char* line) {
  while (*line == ' ' || *line == '\t') line++;
  if (!*line || *line == '#') return;
  char boxw[16], portw[16], valw[32];
  if (std::sscanf(line, "%15s %15s %31s", boxw, portw, valw) != 3) {
    std::printf("vistrum: ### simulated box: bad input line ignored: %s\n", line);
    return;
  }
  char* end = nullptr;
  const long box = std::strtol(boxw, &end, 10);
  int port = 0;
  const bool boxok = *end == '\0' && box == 0;
  const long value = std::strtol(valw, &end, 0);
  if (!boxok || !parseport(portw, &port) || *end != '\0' || value < 0 || value > 255) {
    std::printf("vistrum: ### simulated box: bad input line ignored: %s\n", line);
    return;
  }
  pending.push(0, port, static_cast<unsigned char>(value));
}

void readfifo() {
  char buf[256];
  // A byte makes at most one change: read only while the queue holds a
  // whole read, the rest waits in the FIFO.
  while (pending.room() >= static_cast<int>(sizeof buf)) {
    const ssize_t n = read(infd, buf, sizeof buf);
    if (n <= 0) return;  // EAGAIN: nothing more for now
    for (ssize_t k = 0; k < n; k++) {
      if (buf[k] == '\n' || linelen == sizeof linebuf - 1) {
        linebuf[linelen] = '\0';
        parseline(linebuf);
        linelen = 0;
      } else {
        linebuf[linelen++] = buf[k];
      }
    }
  }
}

int simopen(const char* arg) {
  const std::string dir = arg && arg[0] ? arg : "vistrum-dio";
  struct stat st{};
  if (stat(dir.c_str(), &st) != 0 && mkdir(dir.c_str(), 0777) != 0)
    fatal("vistrum: ### simulated box: can't make directory %s: %s\n", dir.c_str(), std::strerror(errno));
  const std::string in = dir + "/in", outpath = dir + "/out";
  if (mkfifo(in.c_str(), 0666) != 0 && errno != EEXIST)
    fatal("vistrum: ### simulated box: can't make FIFO %s: %s\n", in.c_str(), std::strerror(errno));
  if (stat(in.c_str(), &st) != 0 || !S_ISFIFO(st.st_mode))
    fatal("vistrum: ### simulated box: %s is not a FIFO\n", in.c_str());
  // Read and write: the FIFO then always has a writer, so reads say "empty"
  // instead of end-of-file between the other process's writes.
  infd = open(in.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (infd < 0) fatal("vistrum: ### simulated box: can't open %s: %s\n", in.c_str(), std::strerror(errno));
  out = std::fopen(outpath.c_str(), "we");
  if (!out) fatal("vistrum: ### simulated box: can't write %s: %s\n", outpath.c_str(), std::strerror(errno));
  std::fprintf(out, "# vistrum simulated digital I/O box: output port changes\n");
  std::fprintf(out, "# <frame t> <timer> <box> <port> <value>\n");
  std::fprintf(out, "# open %d\n", static_cast<int>(getpid()));
  std::fflush(out);
  std::printf("vistrum: simulated box: inputs %s, outputs %s\n", in.c_str(), outpath.c_str());
  return 1;
}

int simprobe(const char*) { return 1; }

void simsetdirection(int, int, int) {}

void simwriteport(int box, int port, unsigned char value, double frametime, double clock) {
  if (!out) return;
  std::fprintf(out, "%.4f %.4f %d %c %d\n", frametime, clock, box, 'A' + port, value);
  std::fflush(out);  // the other process follows the file as it grows
}

int simnextinput(int* box, int* port, unsigned char* value) {
  if (infd < 0) return 0;
  if (pending.empty()) readfifo();
  return pending.pop(box, port, value);
}

void simclose() {
  if (out) {
    std::fprintf(out, "# close\n");
    std::fclose(out);
    out = nullptr;
  }
  if (infd >= 0) close(infd);
  infd = -1;
}

void simnote(const char* text) {
  if (!out) return;
  std::fprintf(out, "# %s\n", text);
  std::fflush(out);
}

}  // namespace

const DioBackend diosimbackend = {"sim",        simprobe, simopen,  simsetdirection, simwriteport,
                                  simnextinput, simclose, simnote,  false, nullptr, "<dir>"};
