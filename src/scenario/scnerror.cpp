#include "scenario/scnerror.h"

#include <sys/stat.h>

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

FILE* openfile(const char* path, const char* mode) {
  FILE* f = path[0] ? std::fopen(path, mode) : nullptr;
  struct stat st {};
  if (f && fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(f);
    f = nullptr;
  }
  return f;
}
