#include "core/mouse.h"

#include "config/params.h"
#include "core/runstate.h"
#include "core/window.h"

#include <GL/gl.h>
#include <X11/Xlib.h>

#include <cmath>

UnitPoint mouse2units(int mx, int my, int wdsp, int hdsp, float maxgrid) {
  UnitPoint u;
  u.x = static_cast<float>(mx) / static_cast<float>(wdsp) * 2.0f * maxgrid - maxgrid;
  u.y = static_cast<float>(hdsp - my) / static_cast<float>(hdsp) * 2.0f * maxgrid - maxgrid;
  return u;
}

PixelPoint units2mouse(float x, float y, int wdsp, int hdsp, float maxgrid, bool square) {
  const int side = wdsp < hdsp ? wdsp : hdsp;
  const float xsize = static_cast<float>(square ? side : wdsp);
  const float ysize = static_cast<float>(square ? side : hdsp);
  PixelPoint p;
  p.x = static_cast<int>(xsize * (x + maxgrid) / (2.0f * maxgrid));
  p.y = static_cast<int>(static_cast<float>(hdsp) - (y + maxgrid) * ysize / (2.0f * maxgrid));
  return p;
}

PixelPoint clamptosquare(int mx, int my, int wdsp, int hdsp) {
  PixelPoint p{mx, my};
  if (wdsp > hdsp) {
    const int h = (wdsp - hdsp) / 2;
    if (p.x < h) p.x = h;
    if (p.x > wdsp - h) p.x = wdsp - h;
  } else if (hdsp > wdsp) {
    const int h = (hdsp - wdsp) / 2;
    if (p.y < h) p.y = h;
    if (p.y > hdsp - h) p.y = hdsp - h;
  }
  return p;
}

float orbangle(double t, float orbfreq) {
  const double twopi = 2.0 * M_PI;
  double a = std::fmod(twopi * orbfreq * t, twopi);
  if (a < 0.0) a += twopi;
  return static_cast<float>(a);
}

void cent2mouse() {
  if (!par.fullscreenflag || dsp.winxdsp <= 0 || dsp.winydsp <= 0) return;
  if (run.isomouseflag) {
    const PixelPoint c = clamptosquare(run.mousex, run.mousey, dsp.winxdsp, dsp.winydsp);
    if (run.sqclampmouseflag && (c.x != run.mousex || c.y != run.mousey) && dsp.display)
      XWarpPointer(dsp.display, None, dsp.bgwindow, 0, 0, 0, 0, c.x, c.y);
    run.mousex = c.x;
    run.mousey = c.y;
  }
  const UnitPoint u = mouse2units(run.mousex, run.mousey, dsp.winxdsp, dsp.winydsp, par.maxgrid);
  run.mousexgl = u.x;
  run.mouseygl = u.y;
  glTranslatef(run.mousexgl, run.mouseygl, 0.0f);
}

void interngl2mouse(float x, float y, int* px, int* py) {
  const PixelPoint p = units2mouse(x, y, dsp.winxdsp, dsp.winydsp, par.maxgrid, run.isomouseflag != 0);
  *px = p.x;
  *py = p.y;
}

void cent2polorb(double t) {
  const float a = orbangle(t, par.orbfreq);
  glTranslatef(par.orbrad * std::cos(a), par.orbrad * std::sin(a), 0.0f);
}

void setstartmouse() {
  run.mousex = dsp.winxdsp / 2;
  run.mousey = dsp.winydsp / 2;
  if (!par.mousectrlflag || par.mousestartx == 999.0f || par.mousestarty == 999.0f) return;
  int px = 0, py = 0;
  interngl2mouse(par.mousestartx, par.mousestarty, &px, &py);
  if (dsp.display && dsp.bgwindow) {
    XWarpPointer(dsp.display, None, dsp.bgwindow, 0, 0, 0, 0, px, py);
    XFlush(dsp.display);
  }
  run.mousex = px;
  run.mousey = py;
  run.mousectrlresetflag = 0;
}

void recentremouse() {
  if (!dsp.display || !dsp.bgwindow) return;
  run.mousex = dsp.winxdsp / 2;
  run.mousey = dsp.winydsp / 2;
  XWarpPointer(dsp.display, None, dsp.bgwindow, 0, 0, 0, 0, run.mousex, run.mousey);
  XFlush(dsp.display);
}

void notepointermotion(const XEvent& first) {
  XEvent ev = first;
  // Merge every queued motion event that directly follows: the newest
  // position is where the pointer is now. A moving pointer sends more events
  // than there are frames, and the frame loop takes one event per frame, so
  // unmerged they would pile up and hold back the key presses behind them
  // (whose times would then be logged late).
  while (dsp.display && XPending(dsp.display)) {
    XEvent next;
    XPeekEvent(dsp.display, &next);
    if (next.type != MotionNotify) break;
    XNextEvent(dsp.display, &ev);
  }
  if (!par.fullscreenflag) return;
  run.mousex = ev.xmotion.x;
  run.mousey = ev.xmotion.y;
  if (ev.xmotion.window == dsp.glxwindow) {
    run.mousex += dsp.winxoff;
    run.mousey += dsp.winyoff;
  }
}
