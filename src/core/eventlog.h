// The time-stamped event log.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Writes one event line (printf form) and flushes it to the file at once,
// so that a crashed or killed run keeps every event it logged.
void logevent(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// True when an event log is open.
bool logging();
// Decides whether this run logs, picks the directory and opens the file.
void openlog();
void closelog();

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
void writelogheader(FILE* f, int stimtype, const char* date, const char* pwd, int argc, char** argv);
