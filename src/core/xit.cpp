#include "core/xit.h"

#include "core/eventlog.h"
#include "core/framesave.h"
#include "core/frametiming.h"
#include "core/gamma.h"
#include "core/runstate.h"
#include "core/window.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void xit(int status) {
  // Frames handed to the writers are finished before the run's files close;
  // one that failed makes the end a failure.
  if (!stopframesaves() && status == 0) status = 1;
  if (status == 0) printframetiming();
  restoregamma();  // the display is shared: leave its ramps as found
  closeglxwindow();
  // A refused start leaves no header-only log behind; a begun run keeps it.
  if (status != 0)
    discardunbegunlog();
  else
    closelog();
  status = closingstatus(status);
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
