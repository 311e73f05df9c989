#include "config/params.h"
#include "core/benchlayers.h"
#include "core/eventlog.h"
#include "core/framesave.h"
#include "core/frametiming.h"
#include "core/photodiode.h"
#include "core/prepost.h"
#include "core/runstate.h"
#include "core/sound.h"
#include "core/startup.h"
#include "core/stepping.h"
#include "core/stimulus.h"
#include "core/timer.h"
#include "core/trigger.h"
#include "core/window.h"
#include "core/xit.h"
#include "devices/dio.h"

#include <GL/gl.h>
#include <GL/glx.h>

int isprepostper(double t) {
  const StimulusHooks& stim = stimulushooks();
  const int a = prepostactions(run.predoneflag, run.endperiodlogged, t, par.prepostfix, par.runfreq);
  if (a & PP_ENDPRE) {
    stim.reset();
    logevent("EndPrePer: %8.3lf #####\n", logtime());
    settimer();
    logevent("PrePerReset: %6.3lf\n", logtime());
  }
  if (a & PP_ENDPERIOD) logevent("EndPeriod: %8.3lf #####\n", logtime());
  if (a & PP_ENDPOST) {
    logevent("EndPostPer: %7.3lf #####\n", logtime());
    run.stimrunningflag = 0;
    clearready("Done");
    waitforF1orF2key();
    clearready("Ready");
  }
  return (a & PP_FIXONLY) ? 1 : 0;
}

void frameloop() {
  double t = 0.0, tprev = 0.0;
  // The type's row facts the loop needs, looked up once.
  const bool outputsoff = stimneeds(par.stimtype, kOutputsOff), soundonly = stimneeds(par.stimtype, kSoundOnly);
  const StimulusHooks& stim = stimulushooks();
  for (;;) {
    run.stimrunningflag = 1;
    run.picturecnt++;
    glClearColor(par.bgwingray, par.bgwingray, par.bgwingray, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    // The fill count takes the fixation furniture with the stimulus: a type
    // whose row switches on the grid draws it as part of its picture.
    fillcountbegin();
    // The calibration path shows its moving mark alone.
    if (par.drawfixmeshflag && !par.fixmeshlastflag && !stim.calibrating()) stim.fixmesh(par.fixbgbright);
    if (par.drawfixgridflag) stim.fixgrid(par.fixbgbright);
    if (par.drawfixdotsflag) stim.fixdots(par.fixbgbright);
    // In a saved-frame or rehearsal run the timer counts frames.
    t = gettimer();
    dioframe(t, outputsoff);

    const bool fixationonly = (par.presaccadedur != 0.0f && stim.calibrationclaims(t)) ||
                              (par.prepostfix != 0.0f && isprepostper(t));
    if (!fixationonly) {
      if (!run.bgtrackdoneflag) playbgtrack();
      bool sounddrawn = false;
      if (par.sndfilecnt > 0) {
        if (soundonly) {
          drawaudfileonce();
          sounddrawn = true;
        } else {
          drawperiodicaudcue(t);
        }
      }
      if (!sounddrawn) drawstimulus(par.stimtype, t, tprev);
    }

    const bool calibrated = !stim.calibrating();
    if (par.drawfixmeshflag && par.fixmeshlastflag && calibrated) stim.fixmesh(par.fixbgbright);
    fillcountend();
    if (!run.skipfixationflag && calibrated) stim.fixation(par.fixbright, t, false);
    // A stepped run shows only the frames it saves (a rehearsal has no window).
    const bool saved = run.frameclock && savethisstep();
    const bool shown = saved || !run.frameclock;
    if (shown) mirrorframe();  // before it is saved or shown
    drawphotodiode(shown);     // on the screen's own corner
    if (saved) grabframe();
    if (dsp.display && shown) glXSwapBuffers(dsp.display, dsp.glxwindow);
    glFlush();
    noteframe(run.frameclock ? wallclock() : gettimer(), t);

    if (run.frameclock) endstep(saved);
    if (par.exptend > -1.0 && t > par.exptend) {
      logevent("ExptEnd: %8.3lf #####\n", logtime());
      xit(0);
    }
    checkkeyinput();
    tprev = t;
    if (run.frameclock) run.steps++;
  }
}
