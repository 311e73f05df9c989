// The stimulus timer: seconds since the last reset.
#pragma once

// Monotonic: a stepped wall clock must not shift t in the middle of a run.
void settimer();
double gettimer();

// " %d min, %4.3lf sec\n", or " %4.3lf sec\n" under one minute.
void printtime(double seconds);
// The same text into a buffer (what printtime prints).
void formattime(char* buf, int size, double seconds);
