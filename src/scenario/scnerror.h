// Error text of the scenario readers: they return false with the message
// instead of ending the process, so start-up turns it into the fatal exit
// and the fuzz targets and tests can go on.
#pragma once

#include <cstdio>
#include <string>

// Appends one printf-formatted message to `err` and returns false.
bool scnfail(std::string& err, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// fopen for reading of a regular file only: a directory (which Linux
// opens, to read nothing from it) or a FIFO (whose opening waits for a
// writer) fails, with `*why` set to the reason (nullptr: not found).
FILE* openfile(const char* path, const char* mode, const char** why = nullptr);
