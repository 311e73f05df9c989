#include "core/trigger.h"

#include "config/params.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/sound.h"
#include "core/timer.h"
#include "core/window.h"
#include "core/xit.h"

#include <GL/gl.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <unistd.h>

namespace {

// A reading taken before the first reset is meaningless: it logs as 0.
double resettime() {
  const double t = gettimer();
  return t > 100000.0 ? 0.0 : t;
}

void handlekey(KeySym key) {
  switch (key) {
    case XK_Escape:
      logevent("Interrupt: %8.3lf #####\n", gettimer());
      stopsounds();
      xit(0);
    case XK_F1:
      logevent("F1-reset:       %9.3lf #####\n", resettime());
      restartsequence();
      settimer();
      run.breakwaitflag = 1;
      break;
    case XK_F2:
      logevent("F2-resetwait:   %9.3lf #####\n", gettimer());
      restartsequence();
      clearreadywaitsett(par.startpulse, "Ready");
      run.breakwaitflag = 1;
      break;
    default:
      break;
  }
}

}  // namespace

void clearready(const char*) {
  glClearColor(0.25f, 0.25f, 0.25f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glXSwapBuffers(dsp.display, dsp.glxwindow);
}

void waitforF1orF2key() {
  run.breakwaitflag = 0;
  while (!run.breakwaitflag) {
    usleep(1000);
    checkkeyinput();
  }
}

void clearreadywaitsett(int n, const char* text) {
  run.stimrunningflag = 0;
  clearready(text);
  waitforF1orF2key();
  settimer();
  logevent("StartPulse(%02d):  %8.3lf #####\n", n, gettimer());
}

void checkkeyinput() {
  if (!dsp.display || !XPending(dsp.display)) return;
  XEvent ev;
  XNextEvent(dsp.display, &ev);
  if (ev.type == KeyPress) handlekey(XLookupKeysym(&ev.xkey, 0) == XK_Escape ? XK_Escape
                                               : XLookupKeysym(&ev.xkey, (ev.xkey.state & ShiftMask) ? 1 : 0));
}

void restartsequence() {
  stopsounds();
  run.oldt = -1.0f;
  run.initdoneflag = 0;
  run.initdonesndflag = 0;
  run.predoneflag = 0;
  run.prepredoneflag = 0;
  run.bgtrackdoneflag = 0;
}

void startrun() {
  if (par.startpulse == 0) {
    settimer();
    return;
  }
  clearreadywaitsett(par.startpulse, "Ready");
}
