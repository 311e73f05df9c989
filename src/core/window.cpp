#include "core/window.h"

#include "config/params.h"
#include "core/projection.h"
#include "core/runstate.h"
#include "core/stimulus.h"
#include "core/timer.h"
#include "core/trigger.h"
#include "core/xit.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <string>
#include <vector>
#include <unistd.h>

DisplayState dsp;

std::vector<MonitorBox> listmonitors() {
  std::vector<MonitorBox> v;
  if (!dsp.display) return v;
  // RandR 1.5 monitors carry their output names; Xinerama's heads are
  // numbered only.
  int ev = 0, er = 0, n = 0;
  if (XRRQueryExtension(dsp.display, &ev, &er)) {
    if (XRRMonitorInfo* m = XRRGetMonitors(dsp.display, dsp.rootwindow, True, &n)) {
      for (int k = 0; k < n; k++) {
        char* name = m[k].name ? XGetAtomName(dsp.display, m[k].name) : nullptr;
        v.push_back({m[k].x, m[k].y, m[k].width, m[k].height, name ? name : std::to_string(k)});
        if (name) XFree(name);
      }
      XRRFreeMonitors(m);
    }
  }
  // Screens joined by Xinerama: RandR sees only one of them.
  if (XineramaIsActive(dsp.display)) {
    std::vector<MonitorBox> heads;
    if (XineramaScreenInfo* s = XineramaQueryScreens(dsp.display, &n)) {
      for (int k = 0; k < n; k++) heads.push_back({s[k].x_org, s[k].y_org, s[k].width, s[k].height, std::to_string(k)});
      XFree(s);
    }
    if (heads.size() > v.size()) return heads;
  }
  return v;
}

void getxydsp(int* width, int* height) {
  // The screen size comes straight from the server: no shell pipeline.
  const int scr = DefaultScreen(dsp.display);
  *width = DisplayWidth(dsp.display, scr);
  *height = DisplayHeight(dsp.display, scr);
  dsp.monx = dsp.mony = 0;
  if (par.monitor[0]) {
    // One monitor of several (the projector beside the operator's screen):
    // full screen is that monitor, by its number or its RandR name.
    const std::vector<MonitorBox> mons = listmonitors();
    const MonitorBox* chosen = nullptr;
    for (size_t k = 0; k < mons.size(); k++)
      if (mons[k].name == par.monitor || std::to_string(k) == par.monitor) chosen = &mons[k];
    if (!chosen) {
      std::string names;
      for (size_t k = 0; k < mons.size(); k++) names += " " + std::to_string(k) + " (" + mons[k].name + ")";
      std::printf("vistrum: ### -monitor %s: no such monitor; the display has%s\n", par.monitor,
                  names.empty() ? " no monitor list" : names.c_str());
      xit(1);
    }
    *width = chosen->w;
    *height = chosen->h;
    dsp.monx = chosen->x;
    dsp.mony = chosen->y;
    std::printf("vistrum: monitor %s: %d x %d at %d,%d\n", chosen->name.c_str(), chosen->w, chosen->h, chosen->x,
                chosen->y);
  }
  if (*width <= 0 || *height <= 0) {
    std::printf("vistrum: ### bad (zero) display size from xdpyinfo: %d by %d\n", *width, *height);
    xit(1);
  }
  if (*width > 4000 || *height > 3000) {
    std::printf("vistrum: ### display size from xdpyinfo: %d by %d\n", *width, *height);
    std::printf("vistrum: ...continuing with display larger than 4000x3000\n");
  }
}

void blankcursor(Window w) {
  static char zeros[32] = {0};  // 16 x 16 bits, all clear
  Pixmap bits = XCreateBitmapFromData(dsp.display, w, zeros, 16, 16);
  XColor black{};
  Cursor c = XCreatePixmapCursor(dsp.display, bits, bits, &black, &black, 0, 0);
  XDefineCursor(dsp.display, w, c);
  XFreePixmap(dsp.display, bits);
}

namespace {

// A double-buffered RGBA visual with an 8-bit stencil and, where the server
// has one, no alpha channel: frames saved from an alpha visual would carry
// the drawing's alpha, and a compositing window manager may show such a
// window translucent. Among those, the one with the least depth buffer.
// nullptr: none (the window then has no stencil).
XVisualInfo* stencilvisual(int scr) {
  XVisualInfo want{};
  want.screen = scr;
  want.c_class = TrueColor;
  int n = 0;
  XVisualInfo* all = XGetVisualInfo(dsp.display, VisualScreenMask | VisualClassMask, &want, &n);
  int best = -1, bestscore = 0;
  for (int k = 0; k < n; k++) {
    int gl = 0, rgba = 0, dbl = 0, level = 0, sten = 0, alpha = 0, depth = 0, samples = 0;
    glXGetConfig(dsp.display, &all[k], GLX_USE_GL, &gl);
    glXGetConfig(dsp.display, &all[k], GLX_RGBA, &rgba);
    glXGetConfig(dsp.display, &all[k], GLX_DOUBLEBUFFER, &dbl);
    glXGetConfig(dsp.display, &all[k], GLX_LEVEL, &level);
    glXGetConfig(dsp.display, &all[k], GLX_STENCIL_SIZE, &sten);
    glXGetConfig(dsp.display, &all[k], GLX_ALPHA_SIZE, &alpha);
    glXGetConfig(dsp.display, &all[k], GLX_DEPTH_SIZE, &depth);
    if (glXGetConfig(dsp.display, &all[k], GLX_SAMPLES, &samples) != 0) samples = 0;
    if (!gl || !rgba || !dbl || level != 0 || sten < 8 || samples > 0) continue;
    const int score = (alpha == 0 ? 1000 : 0) - depth;
    if (best < 0 || score > bestscore) best = k, bestscore = score;
  }
  XVisualInfo* vi = nullptr;
  if (best >= 0) {
    int got = 0;
    want.visualid = all[best].visualid;
    vi = XGetVisualInfo(dsp.display, VisualIDMask | VisualScreenMask, &want, &got);
  }
  if (all) XFree(all);
  return vi;
}

}  // namespace

void openglxwindow(const char* name, int width, int height, int fullscreen, int stencil) {
  dsp.display = XOpenDisplay(nullptr);
  if (!dsp.display) {
    std::printf("vistrum: ### can't open Xdisplay\n");
    xit(1);
  }
  const int scr = DefaultScreen(dsp.display);
  dsp.rootwindow = RootWindow(dsp.display, scr);
  // Without the extension no visual can be had: say what is really missing.
  int glxerr = 0, glxevent = 0;
  if (!glXQueryExtension(dsp.display, &glxerr, &glxevent)) {
    std::printf("vistrum: ### no RGBA,DEPTH24 glXVisual: display %s has no GLX extension\n", DisplayString(dsp.display));
    xit(1);
  }

  XVisualInfo* vi = stencil ? stencilvisual(scr) : nullptr;

  if (!vi) {
    int attrs[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
    vi = glXChooseVisual(dsp.display, scr, attrs);
  }
  if (!vi) {
    std::printf("vistrum: ### no RGBA,DEPTH24 glXVisual\n");
    xit(1);
  }
  dsp.glxcontext = glXCreateContext(dsp.display, vi, nullptr, True);
  if (!dsp.glxcontext) {
    std::printf("vistrum: ### can't create GLX context\n");
    xit(1);
  }
  if (!glXIsDirect(dsp.display, dsp.glxcontext)) std::printf("### indirect GLX rendering!\n");

  XSetWindowAttributes swa{};
  swa.colormap = XCreateColormap(dsp.display, dsp.rootwindow, vi->visual, AllocNone);
  swa.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                   ExposureMask | StructureNotifyMask;
  swa.border_pixel = 0;
  {
    Window r, c;
    int wx, wy;
    unsigned int mask;
    XQueryPointer(dsp.display, dsp.rootwindow, &r, &c, &dsp.mousex0, &dsp.mousey0, &wx, &wy, &mask);
  }

  if (fullscreen) {
    getxydsp(&dsp.winxdsp, &dsp.winydsp);
    XSetWindowAttributes bga{};
    bga.override_redirect = True;
    bga.background_pixel = BlackPixel(dsp.display, scr);
    // The pointer may roam over the black border around a smaller stimulus window.
    bga.event_mask = PointerMotionMask | ButtonPressMask | ButtonReleaseMask;
    dsp.bgwindow = XCreateWindow(dsp.display, dsp.rootwindow, dsp.monx, dsp.mony, dsp.winxdsp, dsp.winydsp, 0,
                                 CopyFromParent, InputOutput, CopyFromParent,
                                 CWOverrideRedirect | CWBackPixel | CWEventMask, &bga);
    XMapWindow(dsp.display, dsp.bgwindow);
    XClearWindow(dsp.display, dsp.bgwindow);
    XWarpPointer(dsp.display, None, dsp.bgwindow, 0, 0, 0, 0, dsp.winxdsp / 2, dsp.winydsp / 2);
  }

  unsigned long mask = CWBorderPixel | CWColormap | CWEventMask;
  if (fullscreen) {
    swa.override_redirect = True;
    mask |= CWOverrideRedirect;
  }
  dsp.glxwindow = XCreateWindow(dsp.display, dsp.rootwindow, 0, 0, width, height, 0, vi->depth, InputOutput,
                                vi->visual, mask, &swa);
  XMapWindow(dsp.display, dsp.glxwindow);
  glXMakeCurrent(dsp.display, dsp.glxwindow, dsp.glxcontext);
  XStoreName(dsp.display, dsp.glxwindow, name);
  XSizeHints hints{};
  hints.flags = USPosition | USSize;
  hints.width = width;
  hints.height = height;
  XSetNormalHints(dsp.display, dsp.glxwindow, &hints);

  if (fullscreen) {
    dsp.winxoff = (dsp.winxdsp - width) / 2;
    dsp.winyoff = (dsp.winydsp - height) / 2;
    XMoveWindow(dsp.display, dsp.glxwindow, dsp.monx + dsp.winxoff, dsp.mony + dsp.winyoff);
  }
  XFlush(dsp.display);
  // The map request may not have been served yet: wait briefly for it.
  XWindowAttributes wa{};
  for (int k = 0; k < 200; k++) {
    XGetWindowAttributes(dsp.display, dsp.glxwindow, &wa);
    if (wa.map_state == IsViewable) break;
    usleep(5000);
  }
  if (wa.map_state == IsViewable)
    XSetInputFocus(dsp.display, dsp.glxwindow, RevertToParent, CurrentTime);
  else
    std::printf("vistrum: ### can't XSetInputFocus, win not yet viewable\n");
  if (run.debugflag) {
    int sbits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &sbits);
    std::printf("vistrum: VisID=%d,stencilbits=%d\n", static_cast<int>(vi->visualid), sbits);
  }
  XFree(vi);
  printclearglerr("openglxwindow");
}

void printclearglerr(const char* label) {
  GLenum err;
  while ((err = glGetError()) != GL_NO_ERROR) {
    std::printf("vistrum: ### %s: ", label);
    switch (err) {
      case GL_INVALID_ENUM: std::printf("GL_INVALID_ENUM\n"); break;
      case GL_INVALID_VALUE: std::printf("GL_INVALID_VALUE\n"); break;
      case GL_INVALID_OPERATION: std::printf("GL_INVALID_OPERATION\n"); break;
      case GL_STACK_OVERFLOW: std::printf("GL_STACK_OVERFLOW\n"); break;
      case GL_STACK_UNDERFLOW: std::printf("GL_STACK_UNDERFLOW\n"); break;
      case GL_OUT_OF_MEMORY: std::printf("GL_OUT_OF_MEMORY\n"); break;
      case GL_TABLE_TOO_LARGE: std::printf("GL_TABLE_TOO_LARGE\n"); break;
      default: std::printf("glGetError()=%d\n", static_cast<int>(err)); break;
    }
    std::fflush(stdout);
  }
}

void prstcols() {
  std::printf("current stereo color args:\n");
  std::printf("  -stereoLred %2.2f \\\n", par.stereoLred);
  std::printf("  -stereoLgrn %2.2f \\\n", par.stereoLgrn);
  std::printf("  -stereoLblu %2.2f \\\n", par.stereoLblu);
  std::printf("  -stereoRred %2.2f \\\n", par.stereoRred);
  std::printf("  -stereoRgrn %2.2f \\\n", par.stereoRgrn);
  std::printf("  -stereoRblu %2.2f \\\n", par.stereoRblu);
  std::printf("\n");
}

void prscales() {
  std::printf("current scale parms:\n");
  std::printf("  -interocdist %2.5f \\\n", par.interocdist);
  std::printf("  -vertdisp %2.3f \\\n", par.vertdisp);
  std::printf("  -startstimscale %2.5f \\\n", run.currstimscale);
  std::printf("        or\n");
  std::printf("  -arrowkeyhits %d \\\n", scalesteps(run.currstimscale));
  std::printf("\n");
}

void setprojection() {
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // In the 120 Hz mode the requested type is kept in stimtypeSAV.
  const bool sphere =
      (stimneeds(par.stimtype, kDeepView) || stimneeds(run.stimtypeSAV, kDeepView)) && run.vectstimtype == 0;
  if (sphere)
    glOrtho(-dsp.iwinxgl, dsp.iwinxgl, -dsp.iwinygl, dsp.iwinygl, -0.01, 2.0 * dsp.iwinxgl);
  else
    glOrtho(-dsp.iwinxgl, dsp.iwinxgl, -dsp.iwinygl, dsp.iwinygl, -1.0, 1.0);
}

void scalestimup() {
  glScalef(dsp.scaleupincr, dsp.scaleupincr, dsp.scaleupincr);
  run.currstimscale *= dsp.scaleupincr;
}

void scalestimdown() {
  glScalef(dsp.scaledownincr, dsp.scaledownincr, dsp.scaledownincr);
  run.currstimscale *= dsp.scaledownincr;
}

void applystartscale() {
  const int n = par.arrowkeyhits < 0 ? -par.arrowkeyhits : par.arrowkeyhits;
  for (int k = 0; k < n; k++) par.arrowkeyhits > 0 ? scalestimup() : scalestimdown();
  if (par.startstimscale != 1.0f) {
    glScalef(par.startstimscale, par.startstimscale, par.startstimscale);
    run.currstimscale = par.startstimscale;
  }
}

void entereye(int eye) {
  glPushMatrix();
  if (par.packstereoupdownflag)  // stacked copies: left eye below, right eye above
    glTranslatef(0.0f, eye == 0 ? -par.interocdist / 2.0f : par.vertdisp + par.interocdist / 2.0f, 0.0f);
  else if (eye == 0)
    glTranslatef(-par.interocdist / 2.0f, 0.0f, 0.0f);
  else
    glTranslatef(par.interocdist / 2.0f, par.vertdisp, 0.0f);
  glScalef(par.stereoscaleeye, par.stereoscaleeye, 1.0f);
}

void setupdoubleframerate() {
  run.stimtypeSAV = par.stimtype;
  par.stimtype = 89;
  if (par.packstereoupdownflag) {
    std::printf("vistrum: make double-high GLX window for 120 Hz stereo\n");
    par.winygl *= 2;
  } else {
    std::printf("vistrum: make double-wide GLX window for 120 Hz stereo\n");
    par.winxgl *= 2;
  }
  std::printf("vistrum: 120 Hz stereo window: %d x %d\n", par.winxgl, par.winygl);
}

void drawtwoframes(DrawFn draw, double t, double tprev) {
  const int w = par.packstereoupdownflag ? par.winxgl : par.winxgl / 2;
  const int h = par.packstereoupdownflag ? par.winygl / 2 : par.winygl;
  // First eye: top half (stacked) or left half (side by side).
  if (par.packstereoupdownflag)
    glViewport(0, h, w, h);
  else
    glViewport(0, 0, w, h);
  if (draw) draw(t, tprev);
  // Saved frames are a function of the frame number alone: their second
  // half is exactly half a frame later, with no waiting on the clock.
  double t2 = t + par.framedur / 2.0;
  if (!run.frameclock)
    while ((t2 = gettimer()) - t <= par.framedur / 2.0) usleep(250);
  if (par.packstereoupdownflag)
    glViewport(0, 0, w, h);
  else
    glViewport(w, 0, w, h);
  if (draw) draw(t2, t);
  glViewport(0, 0, par.winxgl, par.winygl);
}

void closeglxwindow() {
  if (!dsp.display) return;
  XWarpPointer(dsp.display, None, dsp.rootwindow, 0, 0, 0, 0, dsp.mousex0, dsp.mousey0);
  XFlush(dsp.display);
  glXMakeCurrent(dsp.display, None, nullptr);
  if (dsp.glxcontext) glXDestroyContext(dsp.display, dsp.glxcontext);
  if (dsp.glxwindow) XDestroyWindow(dsp.display, dsp.glxwindow);
  if (dsp.bgwindow) XDestroyWindow(dsp.display, dsp.bgwindow);
  XCloseDisplay(dsp.display);
  dsp = DisplayState{};
}

void checkmirror() {
  const std::string m = par.mirror;
  if (m != "none" && m != "h" && m != "v" && m != "hv" && m != "vh")
    fatal("vistrum: ### -mirror %s: use none, h (left-right), v (top-bottom) or hv (both)\n", par.mirror);
  dsp.mirrorx = m.find('h') != std::string::npos;
  dsp.mirrory = m.find('v') != std::string::npos;
}

void mirrorframe() {
  if (!dsp.display || !(dsp.mirrorx || dsp.mirrory)) return;
  const int w = par.winxgl, h = par.winygl;
  glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_VIEWPORT_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
  if (!dsp.mirrortex) {
    // Sized once, on the first mirrored picture (a window of any size).
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    dsp.mirrortex = tex;
  }
  glBindTexture(GL_TEXTURE_2D, dsp.mirrortex);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, w, h);
  // Pixel for pixel: a quad over the whole window with its texture turned,
  // nothing blended, tested or shaded on the way.
  for (GLenum cap : {GL_BLEND, GL_ALPHA_TEST, GL_STENCIL_TEST, GL_DEPTH_TEST, GL_SCISSOR_TEST, GL_LIGHTING}) glDisable(cap);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  const float s0 = dsp.mirrorx ? 1.0f : 0.0f, s1 = 1.0f - s0, t0 = dsp.mirrory ? 1.0f : 0.0f, t1 = 1.0f - t0;
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glBegin(GL_QUADS);
  glTexCoord2f(s0, t0);
  glVertex2f(-1.0f, -1.0f);
  glTexCoord2f(s1, t0);
  glVertex2f(1.0f, -1.0f);
  glTexCoord2f(s1, t1);
  glVertex2f(1.0f, 1.0f);
  glTexCoord2f(s0, t1);
  glVertex2f(-1.0f, 1.0f);
  glEnd();
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glPopAttrib();
}

void rasterpos(float x, float y) {
  glRasterPos2f(x, y);
  GLboolean valid = GL_FALSE;
  glGetBooleanv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
  if (valid) return;
  // Outside the window a raster position is invalid and nothing at all would
  // be drawn: start from the origin and move by the window-pixel difference.
  GLdouble model[16], proj[16];
  GLint view[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, proj);
  glGetIntegerv(GL_VIEWPORT, view);
  GLdouble px = 0, py = 0, pz = 0, ox = 0, oy = 0, oz = 0;
  if (!gluProject(x, y, 0.0, model, proj, view, &px, &py, &pz) || !gluProject(0.0, 0.0, 0.0, model, proj, view, &ox, &oy, &oz))
    return;
  glRasterPos2f(0.0f, 0.0f);
  glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(px - ox), static_cast<GLfloat>(py - oy), nullptr);
}
