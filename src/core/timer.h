// The stimulus timer: seconds since the last reset.
#pragma once

// Monotonic: a stepped wall clock must not shift t in the middle of a run.
// Saved-frame and rehearsal runs count it in frames instead (run.frameclock):
// the frames since the last reset times -framerate's frame.
void settimer();
double gettimer();
// The time an event-log line carries: a fresh timer reading, which in a
// saved-frame or rehearsal run is the t of the frame being drawn; 0 before
// the first reset.
double logtime();
// Whether the run's timer has been reset (a run has started): inputs
// before that belong to no run.
bool runtimeknown();
// The monotonic clock in seconds, whatever the run's clock counts.
double wallclock();

// " %d min, %4.3lf sec\n", or " %4.3lf sec\n" under one minute.
void printtime(double seconds);
// The same text into a buffer (what printtime prints).
void formattime(char* buf, int size, double seconds);
