#include "core/numbers.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

bool readint(const char* text, int* value) {
  errno = 0;
  const long n = std::strtol(text, nullptr, 10);
  if (errno == ERANGE || n < INT_MIN || n > INT_MAX) return false;
  *value = static_cast<int>(n);
  return true;
}

bool readreal(const char* text, double* value) {
  *value = std::strtod(text, nullptr);
  return std::isfinite(*value);
}

bool readwholeint(const char* text, long lo, long hi, long* value) {
  if (!*text) return false;
  char* end = nullptr;
  errno = 0;
  const long x = std::strtol(text, &end, 10);
  if (errno || *end || x < lo || x > hi) return false;
  *value = x;
  return true;
}

bool readwholereal(const char* text, double* value) {
  if (!*text) return false;
  char* end = nullptr;
  const double x = std::strtod(text, &end);
  if (*end || !std::isfinite(x)) return false;
  *value = x;
  return true;
}
