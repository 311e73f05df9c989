// Restores the run parameters and run state a test changed, so tests that
// touch the process-wide globals stay independent of their order.
#pragma once

#include "config/params.h"
#include "core/runstate.h"

struct KeepGlobals {
  Params p = par;
  RunState r = run;
  ~KeepGlobals() {
    par = p;
    run = r;
  }
};
