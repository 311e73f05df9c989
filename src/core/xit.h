// The single orderly exit path of a run.
#pragma once

// Restores the pointer, tears down the window, closes the event log and
// ends the process with `status` (0 orderly end, 1 set-up error; an orderly
// end whose log or frame record could not be written whole gives 2).
[[noreturn]] void xit(int status);

// Prints a fatal "vistrum: ### ..." line (printf form) and calls xit(1).
[[noreturn]] void fatal(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
