#include "scenario/scnerror.h"

#include <cstdarg>
#include <cstdio>

bool scnfail(std::string& err, const char* fmt, ...) {
  char buf[1024];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  err += buf;
  return false;
}
