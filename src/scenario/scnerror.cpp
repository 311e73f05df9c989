#include "scenario/scnerror.h"

#include "config/textfile.h"

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

FILE* openfile(const char* path, const char* mode, const char** why) {
  const char* reason = nullptr;
  FILE* f = path[0] ? openregular(path, mode, &reason) : nullptr;
  if (why) *why = reason;
  return f;
}
