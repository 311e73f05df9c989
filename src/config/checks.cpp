#include "config/checks.h"

#include "config/params.h"
#include "core/xit.h"
#include "images/tiffio.h"

#include <cstdio>

void postparsechecks() {
  if (par.exptend != -1.0 && par.prepostfix != 0.0f)
    fatal("vistrum: ### can't use -exptend with -prepostfix!=0.0\n");
  if (par.saveframes) {
    par.prepostfix = 0.0f;  // saved frames follow frame numbers, not the clock
    checktiffoutdir();
  }
  if (par.startpulse < 0) par.startpulse = -1;
  if (par.startpulse > 0 && !par.setupusbflag) fatal("vistrum: ### -waitforpulse>0 requires -setupusb (def)\n");
  if (par.startstimscale > 10.0f) {
    std::printf("vistrum: ### clamp huge startstimscale %f -> 10.0\n", par.startstimscale);
    par.startstimscale = 10.0f;
  }
}
