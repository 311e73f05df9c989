// Error text of the scenario readers: they return false with the message
// instead of ending the process, so start-up turns it into the fatal exit
// and the fuzz targets and tests can go on.
#pragma once

#include <cstdio>
#include <string>

// Appends one printf-formatted message to `err` and returns false.
bool scnfail(std::string& err, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// fopen for reading that also fails for a directory (which Linux opens, to
// read nothing from it): a folder named as a file is "not found".
FILE* openfile(const char* path, const char* mode);
