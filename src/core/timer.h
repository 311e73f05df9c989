// The stimulus timer: seconds since the last reset.
#pragma once

// Monotonic: a stepped wall clock must not shift t in the middle of a run.
void settimer();
double gettimer();
// The time an event-log line carries. A saved-frame run draws frame k at
// t = k x frame duration whatever the clock says, so its lines carry the t
// of the frame being drawn: the log then tells the frames' own schedule.
// Otherwise (and before a saved run's first frame) a fresh timer reading.
double logtime();

// " %d min, %4.3lf sec\n", or " %4.3lf sec\n" under one minute.
void printtime(double seconds);
// The same text into a buffer (what printtime prints).
void formattime(char* buf, int size, double seconds);
