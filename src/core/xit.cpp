#include "core/xit.h"

#include "core/eventlog.h"
#include "core/frametiming.h"
#include "core/runstate.h"
#include "core/window.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void xit(int status) {
  if (status == 0) printframetiming();
  closeglxwindow();
  closelog();
  std::fflush(stdout);
  std::exit(status);
}

void fatal(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::vprintf(fmt, ap);
  va_end(ap);
  xit(1);
}
