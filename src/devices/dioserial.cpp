// A serial-port box: scanner trigger converters and response boxes that
// reach the computer as a (USB) serial port and send one byte per volume
// pulse and one byte per button press.
//
//   VISTRUM_DIO=serial:<device>[,<baud>][,pulse=<byte>][,buttons=<b1>:<b2>...][,codes]
//
// Defaults: 115200 baud, pulse byte 0x35 ("5"), buttons 0x31:0x32:0x33:0x34
// ("1" to "4"); bytes are written decimal or 0x... The box is box 0: a pulse
// byte is one pulse of the trigger bit (-trigbit; it counts for
// -waitforpulse), button k sets bit k-1 of the response port (-respport)
// and is logged as key k. With "codes" every change of the code port
// (-codeport) is written to the device as one byte.
//
// The port is opened raw and non-blocking, locked against a second user,
// and its settings are restored at every exit (normal, fatal message or a
// terminating signal).
#include "devices/dioserial.h"

#include "devices/diobackend.h"

#include "config/params.h"
#include "config/readers.h"
#include "core/eventlog.h"
#include "core/timer.h"
#include "core/xit.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Speed {
  long baud;
  speed_t code;
};
constexpr Speed kSpeeds[] = {{1200, B1200},     {2400, B2400},     {4800, B4800},   {9600, B9600},
                             {19200, B19200},   {38400, B38400},   {57600, B57600}, {115200, B115200},
                             {230400, B230400}, {460800, B460800}, {921600, B921600}};

int fd = -1;
struct termios saved {};
bool restore = false;
SerialConfig cfg;
unsigned char triggerport = 0, responseport = 0;
DioInputQueue pending;  // changes made from bytes, handed out one at a time

bool speedcode(long baud, speed_t* code) {
  for (const Speed& s : kSpeeds)
    if (s.baud == baud) {
      *code = s.code;
      return true;
    }
  return false;
}

int bytevalue(const std::string& w, const char* what) {
  // Decimal or 0x..: a leading zero is no octal mark ("053" is 53).
  long v = 0;
  if (!readdecorhex(w.c_str(), 0, 255, &v))
    fatal("vistrum: ### VISTRUM_DIO serial: %s \"%s\" is not a byte (0-255 or 0x00-0xff)\n", what, w.c_str());
  return static_cast<int>(v);
}

}  // namespace

// Reads "<device>[,<baud>][,pulse=..][,buttons=..][,codes]"; refuses what
// cannot work (an unknown speed, one byte mapped twice).
SerialConfig parseserialconfig(const char* arg) {
  SerialConfig c;
  std::string rest = arg ? arg : "";
  size_t comma = rest.find(',');
  c.device = rest.substr(0, comma);
  if (c.device.empty()) fatal("vistrum: ### VISTRUM_DIO=serial:<device>: no device named\n");
  bool speedgiven = false;
  while (comma != std::string::npos) {
    const size_t next = rest.find(',', comma + 1);
    const std::string w = rest.substr(comma + 1, next == std::string::npos ? std::string::npos : next - comma - 1);
    comma = next;
    if (w == "codes") {
      c.codes = true;
    } else if (w.rfind("pulse=", 0) == 0) {
      c.pulse = bytevalue(w.substr(6), "pulse byte");
    } else if (w.rfind("buttons=", 0) == 0) {
      c.buttoncnt = 0;
      std::string list = w.substr(8);
      size_t a = 0;
      for (;;) {
        const size_t b = list.find(':', a);
        if (c.buttoncnt == 8) fatal("vistrum: ### VISTRUM_DIO serial: at most 8 buttons\n");
        c.buttons[c.buttoncnt++] = bytevalue(list.substr(a, b == std::string::npos ? b : b - a), "button byte");
        if (b == std::string::npos) break;
        a = b + 1;
      }
    } else {
      char* end = nullptr;
      const long baud = std::strtol(w.c_str(), &end, 10);
      speed_t code;
      if (w.empty() || *end != '\0' || !speedcode(baud, &code))
        fatal("vistrum: ### VISTRUM_DIO serial: unsupported speed or option \"%s\" (speeds 1200 to 921600)\n",
              w.c_str());
      // Which of two speeds the box runs at is not for the reader to guess.
      if (speedgiven)
        fatal("vistrum: ### VISTRUM_DIO serial: two speeds given (%ld and %ld): name one\n", c.baud, baud);
      speedgiven = true;
      c.baud = baud;
    }
  }
  int seen[256] = {};
  seen[c.pulse] = 1;
  for (int k = 0; k < c.buttoncnt; k++)
    if (seen[c.buttons[k]]++)
      fatal("vistrum: ### VISTRUM_DIO serial: byte 0x%02x is mapped twice (pulse and buttons must differ)\n",
            c.buttons[k]);
  return c;
}

namespace {

void restoreport() {
  if (fd >= 0 && restore) tcsetattr(fd, TCSANOW, &saved);
  if (fd >= 0) ioctl(fd, TIOCNXCL);
}

// The number of a pseudo-terminal's device end (/dev/pts/<n>), or -1.
int ptsindex(const char* dev) {
  char real[PATH_MAX];
  if (!realpath(dev, real) || std::strncmp(real, "/dev/pts/", 9) != 0) return -1;
  char* end = nullptr;
  const long n = std::strtol(real + 9, &end, 10);
  return *end || n < 0 || n > INT_MAX ? -1 : static_cast<int>(n);
}

// True when fd `fdpath` of a process is the master end of pty `index`.
bool ismaster(const std::string& fdpath, const std::string& infopath, int index) {
  char link[64];
  const ssize_t n = readlink(fdpath.c_str(), link, sizeof link - 1);
  if (n <= 0) return false;
  link[n] = '\0';
  if (std::strcmp(link, "/dev/ptmx") != 0 && std::strcmp(link, "/dev/pts/ptmx") != 0) return false;
  FILE* f = std::fopen(infopath.c_str(), "r");
  if (!f) return false;
  char line[128];
  int found = -1;
  while (std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "tty-index: %d", &found) == 1) break;
  std::fclose(f);
  return found == index;
}

// The other programs that have the device open ("cat (pid 1234)"): a
// second reader takes bytes away from this one, so pulses and presses go
// missing without a word. A program that also holds the master end of the
// same pseudo-terminal is the box itself (a rehearsal), not a reader.
std::string otheropeners(const char* dev) {
  struct stat me {};
  if (stat(dev, &me) != 0 || !S_ISCHR(me.st_mode)) return "";
  const int pts = ptsindex(dev);
  std::string who;
  DIR* proc = opendir("/proc");
  if (!proc) return "";
  const pid_t self = getpid();
  while (const dirent* e = readdir(proc)) {
    char* end = nullptr;
    const long pid = std::strtol(e->d_name, &end, 10);
    if (*end || pid <= 0 || pid == self) continue;
    const std::string base = std::string("/proc/") + e->d_name;
    DIR* fds = opendir((base + "/fd").c_str());
    if (!fds) continue;
    bool holds = false, box = false;
    while (const dirent* d = readdir(fds)) {
      if (d->d_name[0] == '.') continue;
      const std::string fdpath = base + "/fd/" + d->d_name;
      struct stat st {};
      if (stat(fdpath.c_str(), &st) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == me.st_rdev) holds = true;
      if (pts >= 0 && ismaster(fdpath, base + "/fdinfo/" + d->d_name, pts)) box = true;
    }
    closedir(fds);
    if (!holds || box) continue;
    char comm[64] = "?";
    if (FILE* f = std::fopen((base + "/comm").c_str(), "r")) {
      if (std::fgets(comm, sizeof comm, f)) comm[std::strcspn(comm, "\n")] = '\0';
      std::fclose(f);
    }
    if (!who.empty()) who += ", ";
    who += std::string(comm) + " (pid " + std::to_string(pid) + ")";
  }
  closedir(proc);
  return who;
}

// A terminating signal: the port gets its settings back, then the signal
// does what it would have done.
void onsignal(int sig) {
  restoreport();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

// One byte from the box: a pulse is the trigger bit rising and falling, a
// button its response bit rising and falling; other bytes are ignored.
void takebyte(unsigned char b) {
  const unsigned char trigbit = static_cast<unsigned char>(1u << (par.trigbitnum & 7));
  if (b == cfg.pulse) {
    pending.push(0, par.trigportnum, triggerport | trigbit);
    pending.push(0, par.trigportnum, triggerport & ~trigbit);
    return;
  }
  for (int k = 0; k < cfg.buttoncnt; k++)
    if (b == cfg.buttons[k]) {
      const unsigned char bit = static_cast<unsigned char>(1u << k);
      pending.push(0, par.respportnum, responseport | bit);
      pending.push(0, par.respportnum, responseport & ~bit);
      return;
    }
}

[[noreturn]] void vanished(const char* why) {
  ioctl(fd, TIOCNXCL);
  close(fd);
  fd = -1;
  // Every log line is already on disk: the reason closes the log, so that
  // a log that stops early says why.
  logevent("BoxLost: %9.3lf   serial box %s vanished (%s)\n", logtime(), cfg.device.c_str(), why);
  fatal("vistrum: ### serial box %s vanished during the run (%s)\n", cfg.device.c_str(), why);
}

// Bytes taken in one poll (a frame, or a millisecond of a waiting screen).
// A scanner's pulses and a subject's presses come a few a second: more
// than this in one frame is a device sending something else, and reading
// all of it would stall the frames. The rest waits for the next poll.
constexpr int MAXPOLLBYTES = 64;
int pollbytes = 0;       // taken in the current poll
bool pollended = true;   // the last call found nothing more: a new poll begins
bool toldflood = false;

void flood() {
  if (toldflood) return;
  toldflood = true;
  std::printf("vistrum: ### serial box %s sends more than %d bytes in one frame (more than pulses and presses): "
              "the rest is taken in the frames after\n", cfg.device.c_str(), MAXPOLLBYTES);
  logevent("BoxFlood: %9.3lf   serial box %s sent more than %d bytes in one frame\n", logtime(), cfg.device.c_str(),
           MAXPOLLBYTES);
}

void readbytes() {
  // A raw port that polls (no minimum count, no wait) reads 0 bytes both
  // when none are there and when the far end has gone: a hang-up shows
  // only in poll(). Bytes sent before it are taken first.
  struct pollfd p = {fd, POLLIN, 0};
  const bool ready = poll(&p, 1, 0) > 0;
  const bool hungup = ready && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
  unsigned char buf[64];
  for (;;) {
    if (pollbytes >= MAXPOLLBYTES) {
      if (ready && (p.revents & POLLIN)) flood();
      return;
    }
    // A byte makes up to two changes: take no more than the queue holds and
    // leave the rest in the port for the next call (a burst of presses is
    // all logged, over as many calls as it needs).
    const size_t want = std::min({sizeof buf, static_cast<size_t>(pending.room() / 2),
                                  static_cast<size_t>(MAXPOLLBYTES - pollbytes)});
    if (want == 0) return;
    const ssize_t n = read(fd, buf, want);
    if (n > 0) {
      pollbytes += static_cast<int>(n);
      for (ssize_t k = 0; k < n; k++) takebyte(buf[k]);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) vanished(std::strerror(errno));
    if (hungup) vanished("hung up");
    return;
  }
}

int serialprobe(const char*) { return 1; }

int serialopen(const char* arg) {
  cfg = parseserialconfig(arg);
  const char* dev = cfg.device.c_str();
  fd = open(dev, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) fatal("vistrum: ### serial box %s: no such device\n", dev);
    fatal("vistrum: ### serial box %s: can't open: %s\n", dev, std::strerror(errno));
  }
  if (!isatty(fd)) fatal("vistrum: ### serial box %s: not a terminal (a serial device is)\n", dev);
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) fatal("vistrum: ### serial box %s: busy (another program has it open)\n", dev);
  const std::string others = otheropeners(dev);
  if (!others.empty())
    fatal("vistrum: ### serial box %s: also open in %s: close it first (a second reader takes pulses and presses away)\n",
          dev, others.c_str());
  // Exclusive from here on: no later open of the port (but root's) succeeds.
  if (ioctl(fd, TIOCEXCL) != 0)
    fatal("vistrum: ### serial box %s: can't open it exclusively: %s\n", dev, std::strerror(errno));
  if (tcgetattr(fd, &saved) != 0) fatal("vistrum: ### serial box %s: can't read its settings: %s\n", dev, std::strerror(errno));
  restore = true;
  std::atexit(restoreport);
  for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) std::signal(sig, onsignal);
  struct termios raw = saved;
  cfmakeraw(&raw);
  raw.c_cflag |= CLOCAL | CREAD;
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  speed_t code = B115200;
  speedcode(cfg.baud, &code);
  if (cfsetispeed(&raw, code) != 0 || cfsetospeed(&raw, code) != 0 || tcsetattr(fd, TCSANOW, &raw) != 0)
    fatal("vistrum: ### serial box %s: can't set %ld baud: %s\n", dev, cfg.baud, std::strerror(errno));
  tcflush(fd, TCIFLUSH);  // bytes from before the run are not this run's
  std::printf("vistrum: serial box %s at %ld baud: pulse byte 0x%02x, %d button byte(s)%s\n", dev, cfg.baud,
              cfg.pulse, cfg.buttoncnt, cfg.codes ? ", codes written" : "");
  return 1;
}

void serialsetdirection(int, int, int) {}

void serialwriteport(int box, int port, unsigned char value, double, double) {
  if (fd < 0 || !cfg.codes || box != par.codedevnum || port != par.codeportnum) return;
  if (write(fd, &value, 1) != 1 && errno != EAGAIN)
    std::printf("vistrum: ### serial box %s: code %d not written: %s\n", cfg.device.c_str(), value,
                std::strerror(errno));
}

int serialnextinput(int* box, int* port, unsigned char* value) {
  if (fd < 0) return 0;
  if (pollended) pollbytes = 0;
  pollended = false;
  if (pending.empty()) readbytes();
  if (!pending.pop(box, port, value)) {
    pollended = true;
    return 0;
  }
  if (*port == par.trigportnum) triggerport = *value;
  if (*port == par.respportnum) responseport = *value;
  return 1;
}

void serialclose() {
  restoreport();
  if (fd >= 0) close(fd);
  fd = -1;
  restore = false;
}

}  // namespace

const DioBackend dioserialbackend = {
    "serial",    serialprobe, serialopen, serialsetdirection, serialwriteport, serialnextinput, serialclose, nullptr, true,
    "the serial box has no output bits (it writes code bytes only: VISTRUM_DIO=serial:<device>,codes)", "<device>"};
