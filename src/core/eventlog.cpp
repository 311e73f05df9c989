#include "core/eventlog.h"

#include "core/photodiode.h"

#include "config/params.h"
#include "config/visangle.h"
#include "core/frametiming.h"
#include "core/runstate.h"
#include "core/stimulus.h"
#include "core/xit.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>

bool logging() { return par.logfileflag && run.fplogfile; }

bool writewhole(int fd, const char* buf, size_t n) {
  const off_t before = lseek(fd, 0, SEEK_CUR);
  size_t done = 0;
  while (done < n) {
    const ssize_t k = write(fd, buf + done, n - done);
    if (k > 0) {
      done += static_cast<size_t>(k);
      continue;
    }
    if (k < 0 && errno == EINTR) continue;
    const int err = k < 0 ? errno : ENOSPC;  // a write of 0 bytes: no room
    // A half line would read as a different event (or none): cut back.
    if (done > 0 && before >= 0 && ftruncate(fd, before) == 0) lseek(fd, before, SEEK_SET);
    errno = err;
    return false;
  }
  return true;
}

namespace {

// A log that could not take a line stops there, whole up to its last line:
// later lines would leave a gap no one could see in the file.
struct LogHealth {
  bool opened = false;   // a log was opened this run
  bool cut = false;      // a write failed: the file ends early
  long lost = 0;         // lines not written
  int err = 0;           // the first failure's errno
  bool begun = false;    // the run got past its set-up
};
LogHealth health;

char linebuf[8192];  // one event line; static, so that logging allocates nothing

void logfailed(int err) {
  health.cut = true;
  health.err = err;
  std::printf("vistrum: ### can't write log %s: %s (log incomplete from here on; the run goes on)\n",
              run.logfilename, std::strerror(err));
}

}  // namespace

void logevent(const char* fmt, ...) {
  if (!par.logfileflag) return;
  if (!run.fplogfile) {
    // Scoring reopens the log; when that failed the lines would vanish.
    if (health.opened) {
      if (!health.cut) logfailed(errno ? errno : EBADF);
      health.lost++;
    }
    return;
  }
  if (health.cut) {
    health.lost++;
    return;
  }
  va_list ap;
  va_start(ap, fmt);
  const int n = std::vsnprintf(linebuf, sizeof linebuf, fmt, ap);
  va_end(ap);
  if (n <= 0) return;
  const size_t len = std::min(static_cast<size_t>(n), sizeof linebuf - 1);
  notelogline(linebuf);
  // Straight to the file, past the stream's buffer: a failed write is seen
  // here and then, and nothing half-written waits in a buffer.
  if (std::fflush(run.fplogfile) != 0 || !writewhole(fileno(run.fplogfile), linebuf, len)) {
    logfailed(errno);
    health.lost++;
  }
}

bool logincomplete() { return health.cut; }
long loglostlines() { return health.lost; }

namespace {

void localdate(char* out, size_t size, const char* fmt) {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  if (size == 0) return;
  if (std::strftime(out, size, fmt, &tm) == 0) out[0] = '\0';
}

bool readable(const char* path) { return access(path, R_OK) == 0; }

// The -logfiledir default, the one folder a run creates when it is missing.
constexpr const char* kDefaultLogDir = "logs";

LogDirCheck checkexisting(const char* dir) {
  struct stat st {};
  if (stat(dir, &st) != 0 || !S_ISDIR(st.st_mode)) return LogDirCheck::notadir;
  DIR* d = opendir(dir);
  if (!d) return LogDirCheck::unopenable;
  closedir(d);
  return LogDirCheck::usable;
}

// Creates the file only if it is new, so that a log is never overwritten.
FILE* createnew(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) return nullptr;
  FILE* f = fdopen(fd, "w");
  if (!f) close(fd);
  return f;
}

}  // namespace

void mygetdate_sort(char* out, size_t size) { localdate(out, size, "%y%m%d-%H%M%S"); }

// The same text as the date command prints in the C locale.
void mygetdate_read(char* out, size_t size) { localdate(out, size, "%a %b %e %H:%M:%S %Z %Y"); }

LogDirCheck checklogdir(const char* dir) {
  if (readable(dir)) {
    const LogDirCheck c = checkexisting(dir);
    return c;
  }
  if (!readable(".")) return LogDirCheck::notfound;
  const LogDirCheck c = checkexisting(".");
  return c == LogDirCheck::usable ? LogDirCheck::fallback : c;
}

std::string logfilepath(const char* dir, const char* stamp, const char* logname, int copy) {
  std::string p = std::string(dir) + "/" + stamp + "_" + logname;
  if (copy > 1) p += "-" + std::to_string(copy);
  return p + ".log";
}

bool writelogheader(FILE* f, int stimtype, const char* date, const char* pwd, int argc, char** argv) {
  std::fprintf(f, "###############################\n");
  std::fprintf(f, "Vistrum logfile for stimtype=%d\n", stimtype);
  std::fprintf(f, "###############################\n\n");
  std::fprintf(f, "%s\n\n", date);
  if (pwd) std::fprintf(f, "pwd = %s\n\n", pwd);
  for (int i = 0; i < argc; i++) std::fprintf(f, "%s ", argv[i]);
  std::fprintf(f, "\n\n");
  return std::fflush(f) == 0 && !std::ferror(f);
}

void openlog() {
  if (!par.logfileflag) return;
  if (!stimulushooks().maylog(par.stimtype, par.chktargprob, par.fixtargprob)) {
    std::printf("vistrum: ### no logfile for stimtype=%d ...disabled\n", par.stimtype);
    par.logfileflag = 0;
    return;
  }
  const char* dir = par.logfiledir;
  switch (checklogdir(par.logfiledir)) {
    case LogDirCheck::usable:
      break;
    case LogDirCheck::fallback:
      // A first run has no logs folder yet: make the default one rather than
      // scatter logs over the current folder. A named -logfiledir that is
      // missing is more likely a typo, so that keeps the fallback.
      if (!std::strcmp(par.logfiledir, kDefaultLogDir) && mkdir(kDefaultLogDir, 0755) == 0) {
        char cwd[4096];
        std::printf("vistrum: created logfiledir %s/%s\n", getcwd(cwd, sizeof cwd) ? cwd : ".", kDefaultLogDir);
        break;
      }
      std::printf("vistrum: ### logfiledir %s not found\n", par.logfiledir);
      std::printf("vistrum: ### saving log instead in current directory\n");
      dir = ".";
      break;
    case LogDirCheck::notfound:
      std::printf("vistrum: ### logfiledir %s not found\n", par.logfiledir);
      std::printf("vistrum: ### saving log instead in current directory\n");
      fatal("vistrum: ### logfiledir %s not found\n", ".");
    case LogDirCheck::notadir:
      fatal("vistrum: ### %s not a dir\n", par.logfiledir);
    case LogDirCheck::unopenable:
      std::printf("vistrum: ### can't find/open logfile dir, \"%s\"\n", par.logfiledir);
      std::printf("vistrum: ### create, or use other: -logfiledir <otherdir>\n");
      std::printf("vistrum: ### logfile disabled this run\n");
      par.logfileflag = 0;
      return;
  }
  char stamp[100];
  mygetdate_sort(stamp, sizeof stamp);
  const char* logname = stimulushooks().logname(par.stimtype, par.chktargprob, par.fixtargprob);
  if (!logname) logname = "vistrum";
  std::string path;
  FILE* f = nullptr;
  for (int copy = 1; copy < 100 && !f; copy++) {
    path = logfilepath(dir, stamp, logname, copy);
    // A path the run cannot keep is refused before the file exists, so no
    // empty log is left behind.
    if (path.size() >= sizeof run.logfilename) break;
    f = createnew(path);
    if (!f && errno != EEXIST) break;
  }
  if (!f) {
    // The reason first (a read-only or full disk, no permission), then the
    // usual refusal.
    const char* why = path.size() >= sizeof run.logfilename ? "path too long" : std::strerror(errno);
    std::printf("vistrum: ### %s: %s\n", path.c_str(), why);
    fatal("vistrum: ### can't create %s ...quitting\n", path.c_str());
  }
  std::strcpy(run.logfilename, path.c_str());
  run.fplogfile = f;
  health = LogHealth{};
  health.opened = true;
  std::printf("vistrum: opened logfile:\n  %s\n", run.logfilename);
  char date[100];
  mygetdate_read(date, sizeof date);
  // A log that cannot take its header will not take the run: refuse now,
  // while no one is in the scanner waiting.
  if (!writelogheader(f, par.stimtype, date, std::getenv("PWD"), run.argc, run.argv))
    fatal("vistrum: ### can't write log %s: %s ...quitting\n", run.logfilename, std::strerror(errno));
  writeviewgeometry(f);  // still the header: the events tool skips lines before the first event
  openframerecord(run.logfilename);
}

void markrunbegun() { health.begun = true; }

void closelog() {
  if (run.fplogfile && std::fclose(run.fplogfile) != 0 && !health.cut) logfailed(errno);
  run.fplogfile = nullptr;
  closeframerecord();
}

void discardunbegunlog() {
  if (health.begun || !health.opened) return closelog();
  if (run.fplogfile) std::fclose(run.fplogfile);
  run.fplogfile = nullptr;
  discardframerecord();
  if (unlink(run.logfilename) == 0) std::printf("vistrum: start refused: removed its log %s\n", run.logfilename);
  health.opened = false;
}

int closingstatus(int status) {
  bool incomplete = false;
  if (health.cut) {
    std::printf("vistrum: ### log incomplete: %s (%ld lines not written: %s)\n", run.logfilename, health.lost,
                std::strerror(health.err));
    incomplete = true;
  }
  if (framerecordincomplete()) incomplete = true;
  return status == 0 && incomplete ? kExitLogIncomplete : status;
}
