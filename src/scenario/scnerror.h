// Error text of the scenario readers: they return false with the message
// instead of ending the process, so start-up turns it into the fatal exit
// and the fuzz targets and tests can go on.
#pragma once

#include <string>

// Appends one printf-formatted message to `err` and returns false.
bool scnfail(std::string& err, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
