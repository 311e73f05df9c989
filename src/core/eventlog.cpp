#include "core/eventlog.h"

#include "config/params.h"
#include "core/runstate.h"

#include <cstdarg>
#include <cstdio>

bool logging() { return par.logfileflag && run.fplogfile; }

void logevent(const char* fmt, ...) {
  if (!logging()) return;
  va_list ap;
  va_start(ap, fmt);
  std::vfprintf(run.fplogfile, fmt, ap);
  va_end(ap);
  std::fflush(run.fplogfile);
}

void openlog() {}

void closelog() {
  if (run.fplogfile) std::fclose(run.fplogfile);
  run.fplogfile = nullptr;
}
