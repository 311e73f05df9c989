#include "core/signals.h"

#include "core/eventlog.h"
#include "core/sound.h"
#include "core/timer.h"
#include "core/xit.h"

#include <csignal>
#include <cstdio>

namespace {

volatile sig_atomic_t caught = 0;

void note(int sig) {
  // A second signal while the first is still being handled (a run stuck
  // in its set-up, say) ends the process the usual way.
  if (caught) {
    std::signal(sig, SIG_DFL);
    std::raise(sig);
    return;
  }
  caught = sig;
}

const char* signame(int sig) {
  switch (sig) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "signal";
  }
}

}  // namespace

void catchendsignals() {
  struct sigaction sa {};
  sa.sa_handler = note;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;  // the run goes on until the loop looks
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
}

void endonsignal() {
  if (!caught) return;
  const int sig = caught;
  std::printf("vistrum: ### %s: run ended as by Esc (\"Interrupt\" logged)\n", signame(sig));
  logevent("Interrupt: %8.3lf #####\n", logtime());
  killsnd();
  xit(0);
}
