#include "core/signals.h"
#include "core/trigger.h"

#include "config/params.h"
#include "core/eventlog.h"
#include "core/mouse.h"
#include "core/runstate.h"
#include "core/scoring.h"
#include "core/sound.h"
#include "core/stepping.h"
#include "core/stimulus.h"
#include "core/timer.h"
#include "core/window.h"
#include "core/xit.h"
#include "devices/dio.h"

#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

void logkey(int digit) {
  // A response on the first "Ready" screen belongs to no run: at time 0 it
  // would read as the start of one.
  if (!runtimeknown()) return;
  logevent("KeyEvent: %9.3lf   k%d\n", logtime(), digit);
}

namespace {

GLfloat savedmatrix[16];
bool matrixsaved = false;

// The label of the waiting screen on show, redrawn when a key changes what
// it shows (a fixed buffer: keys are handled inside the frame loop too).
char waitlabel[64] = "Ready";

// A waiting screen stays the one wait it is: a key that changes the scale
// or the eye offsets only redraws it (a wait of its own would end with the
// start key together with the outer one, each writing a start line).
void redrawwait() {
  if (!run.stimrunningflag && !run.breakwaitflag) clearready(waitlabel);
}

void scalestep(bool up) {
  up ? scalestimup() : scalestimdown();
  prscales();
  logevent("CurScale: %9.3lf   %2.3f\n", logtime(), run.currstimscale);
  redrawwait();
}

void eyeoffsetstep(float* value, float delta) {
  *value += delta;
  prscales();
  redrawwait();
}


// The current matrix, whichever stack is selected (the projection carries the scale).
GLenum currentmatrixquery(GLint* mode) {
  glGetIntegerv(GL_MATRIX_MODE, mode);
  return *mode == GL_PROJECTION ? GL_PROJECTION_MATRIX : GL_MODELVIEW_MATRIX;
}

void togglemousectrl() {
  GLint mode = 0;
  if (par.mousectrlflag) {
    glGetFloatv(currentmatrixquery(&mode), savedmatrix);
    matrixsaved = true;
    cent2mouse();
  } else if (matrixsaved) {
    currentmatrixquery(&mode);
    glLoadMatrixf(savedmatrix);
  }
  par.mousectrlflag = !par.mousectrlflag;
}

void stereopreset(float leftred) {
  par.stereoLred = leftred;
  par.stereoLgrn = par.stereoLblu = 0.0f;
  par.stereoRred = par.stereoRgrn = 0.0f;
  par.stereoRblu = 1.0f;
  prstcols();
}

void handlekey(KeySym key) {
  int digit = 0;
  switch (keyaction(key, &digit)) {
    case KeyAction::digit: logkey(digit); break;
    case KeyAction::five:
      // A response unless it is a press of the counted five-key trigger. (With
      // the apostrophe or T as the trigger the count stays at 0 after the start,
      // and testing the count alone would drop every response on the 5 key.)
      if (par.fivekeytriggerflag) countdownsomekey(gettimer());
      if (!par.fivekeytriggerflag || run.somekeytriggercnt < 0) logkey(5);
      break;
    case KeyAction::apostrophe:
      if (par.apostrophetriggerflag) countdownsomekey(gettimer());
      break;
    case KeyAction::capitalT:
      if (par.captkeytriggerflag) countdownsomekey(gettimer());
      break;
    case KeyAction::f1:
      if (!run.quietf1) logf1reset();
      restartsequence();
      startclock();
      spendtrigger();
      run.breakwaitflag = 1;
      break;
    case KeyAction::f2:
      logevent("F2-resetwait:   %9.3lf #####\n", logtime());
      run.somekeytriggercnt = run.somekeytriggerstart;
      restartsequence();
      // On a waiting screen that wait goes on, now for a new start: a wait
      // of its own would end together with it, each writing a start line.
      if (!run.stimrunningflag) {
        clearready("Ready");
        break;
      }
      clearreadywaitsett(par.startpulse, "Ready");
      run.breakwaitflag = 1;
      break;
    case KeyAction::f3: run.mousectrlresetflag = !run.mousectrlresetflag; break;
    case KeyAction::f5: run.F5keytoggleflag = !run.F5keytoggleflag; break;
    case KeyAction::f6: run.F6keytoggleflag = !run.F6keytoggleflag; break;
    case KeyAction::f7: run.F7keytoggleflag = !run.F7keytoggleflag; break;
    case KeyAction::f8: run.F8keytoggleflag = !run.F8keytoggleflag; break;
    case KeyAction::escape:
      logevent("Interrupt: %8.3lf #####\n", logtime());
      killsnd();
      xit(0);
    case KeyAction::up: scalestep(true); break;
    case KeyAction::down: scalestep(false); break;
    case KeyAction::mousetoggle: togglemousectrl(); break;
    case KeyAction::bordertoggle: run.bordertoggleflag = !run.bordertoggleflag; break;
    case KeyAction::interocdown: eyeoffsetstep(&par.interocdist, -0.01f); break;
    case KeyAction::interocup: eyeoffsetstep(&par.interocdist, 0.01f); break;
    case KeyAction::vertdown: eyeoffsetstep(&par.vertdisp, -0.01f); break;
    case KeyAction::vertup: eyeoffsetstep(&par.vertdisp, 0.01f); break;
    case KeyAction::leftreddown: par.stereoLred = stepcolour(par.stereoLred, -0.01f); prstcols(); break;
    case KeyAction::leftgrnup: par.stereoLgrn = stepcolour(par.stereoLgrn, 0.01f); prstcols(); break;
    case KeyAction::leftbluup: par.stereoLblu = stepcolour(par.stereoLblu, 0.01f); prstcols(); break;
    case KeyAction::rightredup: par.stereoRred = stepcolour(par.stereoRred, 0.01f); prstcols(); break;
    case KeyAction::rightgrnup: par.stereoRgrn = stepcolour(par.stereoRgrn, 0.01f); prstcols(); break;
    case KeyAction::rightbludown: par.stereoRblu = stepcolour(par.stereoRblu, -0.01f); prstcols(); break;
    case KeyAction::stereopreset1: stereopreset(0.8f); break;
    case KeyAction::stereopreset2: stereopreset(1.0f); break;
    case KeyAction::none: break;
  }
}

// --- the waiting screen -------------------------------------------------

float labelsize() { return 24.0f * static_cast<float>(par.winxgl) / 1024.0f; }

void readyplain(const char* text) {
  const bool relative = par.mousectrlflag && !run.mousectrlresetflag;
  if (relative) {
    glPushMatrix();
    cent2mouse();
  }
  // The final image comes first so that the labels stay readable on it.
  if (!std::strcmp(text, "Done") && par.finaltiff[0]) drawscorescreen();
  // Above the fixation mark, which stays at the centre: the subject looks
  // there from the first moment, and a label through it hides the mark.
  if (text[0]) {
    glColor3f(0.4f, 0.4f, 0.4f);
    stimulushooks().text(text, 0.0f, waitlabelclearance(), labelsize(), 3);
  }
  // The fixation mark moves to the pointer (and along the orbit) by itself:
  // drawn inside the pointer translation it would land twice as far out.
  if (relative) glPopMatrix();
  // A second mark where the orbit is centred.
  if (stimneeds(par.stimtype, kWanderCentre) && par.orbrad != 0.0f)
    stimulushooks().fixation(par.fixbright, 0.0, true);
  stimulushooks().fixation(par.fixbright, 0.0, false);
}

}  // namespace

// The timer reset of a start (F1, the counted trigger, the end of a wait):
// the box's pulses are numbered within the start from here.
void startclock() {
  settimer();
  dionewstart();
}

// Once a run has started, trigger presses start nothing until F2 waits
// again: a scanner pulse must never restart a running experiment.
void spendtrigger() {
  if (run.somekeytriggercnt > 0) run.somekeytriggercnt = -1;
}

KeyAction keyaction(unsigned long key, int* digit) {
  if (key >= XK_0 && key <= XK_9 && key != XK_5) {
    *digit = static_cast<int>(key - XK_0);
    return KeyAction::digit;
  }
  switch (key) {
    case XK_5: *digit = 5; return KeyAction::five;
    case XK_apostrophe: return KeyAction::apostrophe;
    case XK_T: return KeyAction::capitalT;
    case XK_F1: return KeyAction::f1;
    case XK_F2: return KeyAction::f2;
    case XK_F3: return KeyAction::f3;
    case XK_F5: return KeyAction::f5;
    case XK_F6: return KeyAction::f6;
    case XK_F7: return KeyAction::f7;
    case XK_F8: return KeyAction::f8;
    case XK_Escape: return KeyAction::escape;
    case XK_Up: return KeyAction::up;
    case XK_Down: return KeyAction::down;
    case XK_m: return KeyAction::mousetoggle;
    case XK_D: return KeyAction::bordertoggle;
    case XK_o: return KeyAction::interocdown;
    case XK_O: return KeyAction::interocup;
    case XK_v: return KeyAction::vertdown;
    case XK_V: return KeyAction::vertup;
    case XK_r: return KeyAction::leftreddown;
    case XK_g: return KeyAction::leftgrnup;
    case XK_b: return KeyAction::leftbluup;
    case XK_R: return KeyAction::rightredup;
    case XK_G: return KeyAction::rightgrnup;
    case XK_B: return KeyAction::rightbludown;
    case XK_z: return KeyAction::stereopreset1;
    case XK_Z: return KeyAction::stereopreset2;
    default: return KeyAction::none;
  }
}

float stepcolour(float value, float delta) {
  if (delta < 0.0f && value > 0.0f) return value + delta < 0.0f ? 0.0f : value + delta;
  if (delta > 0.0f && value < 1.0f) return value + delta > 1.0f ? 1.0f : value + delta;
  return value;
}

// Before the first reset the timer reads seconds since the epoch: no run time.
double resettime(double timerreading) { return timerreading > 100000.0 ? 0.0 : timerreading; }

void countdownsomekey(double) {
  if (!run.somekeytriggerflag) return;
  const int before = run.somekeytriggercnt--;
  if (before != 1) return;
  logf1reset();
  restartsequence();
  startclock();
  run.breakwaitflag = 1;
}

namespace {
// No window (yet): nothing to show. A rehearsal has none but steps what a
// window would show (the fixation mark's target clock runs on it too).
bool waitscreendrawn() { return dsp.display || par.rehearse > 0.0; }
}  // namespace

void drawwaitscreen(const char* text) {
  if (!waitscreendrawn()) return;
  if (!text) text = "";
  run.picturecnt++;
  glClearColor(0.25f, 0.25f, 0.25f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  const StimTypeInfo* s = stiminfo(par.stimtype);
  if (s && s->wait) {
    s->wait(text);
    return;
  }
  restartaudcue();  // the periodic sound cue starts over after the wait
  readyplain(text);
}

void clearready(const char* text) {
  if (!waitscreendrawn()) return;
  if (text != waitlabel) std::snprintf(waitlabel, sizeof waitlabel, "%s", text ? text : "");
  drawwaitscreen(text);
  mirrorframe();
  if (dsp.display) glXSwapBuffers(dsp.display, dsp.glxwindow);
}

void waitforF1orF2key() {
  // A saved-frame or rehearsal run has no one to press a key once started.
  if (steppedstarted()) return steppedwait();
  run.breakwaitflag = 0;
  while (!run.breakwaitflag) {
    usleep(1000);
    checkkeyinput();
    diopoll();  // the box's bytes are logged when they come, as keys are
  }
}

void clearreadywaitsett(int n, const char* text) {
  run.stimrunningflag = 0;
  clearready(text);
  // A positive count waits for the scanner's pulses when a box is attached.
  if (n > 0 && dioboxopen())
    waitforusbtrigbits(n);
  else
    waitforF1orF2key();
  startclock();
  spendtrigger();
  logstartpulse(n);
}

void logf1reset() { logevent("F1-reset:       %9.3lf #####\n", resettime(logtime())); }
void logstartpulse(int n) { logevent("StartPulse(%02d):  %8.3lf #####\n", n, logtime()); }
void redrawwaitscreen() { drawwaitscreen(waitlabel); }

void checkkeyinput() {
  endonsignal();  // Ctrl-C, SIGTERM, SIGHUP: as Esc, between frames
  if (!dsp.display) return;
  // Events without an action (key releases, exposures, window changes) do
  // not use up the frame's one event: each key press would otherwise bring
  // its release along and halve the rate at which presses are taken.
  while (XPending(dsp.display)) {
    XEvent ev;
    XNextEvent(dsp.display, &ev);
    if (ev.type == KeyPress) {
      KeySym key = NoSymbol;
      char buf[8];
      XLookupString(&ev.xkey, buf, sizeof buf, &key, nullptr);  // applies Shift and Caps Lock
      handlekey(key);
      return;
    }
    if (ev.type == MotionNotify) {
      notepointermotion(ev);
      return;
    }
  }
}

void restartsequence() {
  killsnd();
  run.oldt = -1.0f;
  stimulushooks().reset();
  resetsoundcues();
  run.predoneflag = 0;
  run.prepredoneflag = 0;
  run.bgtrackdoneflag = 0;
  newscorereport();
  if (par.mousectrlflag && run.mousectrlresetflag) recentremouse();
}

void startrun() {
  if (par.startpulse == 0) {
    startclock();
    return;
  }
  clearreadywaitsett(par.startpulse, "Ready");
}

float waitlabelclearance() {
  // Marks of types 9-14 are disks of -minrad; the others reach -fixrad.
  const float mark = par.fixtype >= 9 && par.fixtype <= 14 ? std::max(par.fixrad, par.minrad) : par.fixrad;
  return mark + 0.03f;
}

void drawwaitlabel(const char* text, float x, float y, float grey) {
  if (!text[0]) return;
  glColor3f(grey, grey, grey);
  stimulushooks().text(text, x, y, labelsize(), 5);
}
