// The time-stamped event log.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Exit status of a run that completed but whose log or frame record could
// not be written whole (a full disk): the data of the run is not all there.
constexpr int kExitLogIncomplete = 2;

// Writes one event line (printf form) to the file at once, so that a
// crashed or killed run keeps every event it logged. A line that cannot be
// written is said on the terminal; the log then ends at its last whole line.
void logevent(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// True when an event log is open.
bool logging();
// Decides whether this run logs, picks the directory and opens the file.
void openlog();
void closelog();
// From here on the run counts as begun: a later failure keeps its log.
void markrunbegun();
// At an exit before the run began (a refused start): removes the log and
// its frame record, so that no header-only files are left; else closelog.
void discardunbegunlog();
// Whether a write to the log failed, and how many lines were lost.
bool logincomplete();
long loglostlines();
// Says what a full disk cost (log, frame record) and gives the exit status:
// `status`, or kExitLogIncomplete for an otherwise orderly end.
int closingstatus(int status);
// Writes n bytes whole or not at all (cut back to where it began); false
// with errno set when the file would not take them.
bool writewhole(int fd, const char* buf, size_t n);

// Local time as "yymmdd-HHMMSS" (file names) and as the full date line.
void mygetdate_sort(char* out, size_t size);
void mygetdate_read(char* out, size_t size);

// Outcome of the log-directory checks.
enum class LogDirCheck { usable, fallback, notfound, notadir, unopenable };
// Checks `dir`; on `fallback` the caller uses "." (which was checked too).
LogDirCheck checklogdir(const char* dir);
// "<dir>/<stamp>_<logname>.log"; `copy` > 1 adds "-<copy>" before ".log"
// for a second run within the same second.
std::string logfilepath(const char* dir, const char* stamp, const char* logname, int copy = 1);
// The header: title, date, working directory (when known), command line.
// False when the file would not take it.
bool writelogheader(FILE* f, int stimtype, const char* date, const char* pwd, int argc, char** argv);
