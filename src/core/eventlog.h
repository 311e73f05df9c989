// The time-stamped event log.
#pragma once

// Writes one event line (printf form) and flushes it to the file at once,
// so that a crashed or killed run keeps every event it logged.
void logevent(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// True when an event log is open.
bool logging();
void openlog();
void closelog();
