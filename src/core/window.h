// The X11/GLX stimulus window, its projection and the stimulus scale.
#pragma once

#include <string>
#include <vector>

#include "core/drawfn.h"

#include <X11/Xlib.h>
#include <GL/glx.h>

struct DisplayState {
  Display* display = nullptr;
  Window rootwindow = 0;
  GLXContext glxcontext = nullptr;
  Window glxwindow = 0;
  Window bgwindow = 0;  // full-screen black background (full-screen mode only)
  int winxdsp = 0, winydsp = 0;
  int winxoff = 0, winyoff = 0;
  int stencilflag = 0;
  // Mirror image for rear projection and mirror boxes (-mirror): the
  // finished picture is copied into `mirrortex` and drawn back flipped.
  bool mirrorx = false, mirrory = false;
  int monx = 0, mony = 0;  // the chosen monitor's origin on the display (-monitor)
  unsigned mirrortex = 0;
  float iwinxgl = 1.56f, iwinygl = 1.17f;
  int mousex0 = 0, mousey0 = 0;  // pointer at start, restored at exit
  float scaleupincr = 1.02f;
  float scaledownincr = 0.980392158f;
};

extern DisplayState dsp;

void openglxwindow(const char* name, int width, int height, int fullscreen, int stencil);
void getxydsp(int* width, int* height);
void blankcursor(Window w);
void printclearglerr(const char* label);
void prstcols();
void prscales();

// Sets the orthographic 3.12-unit projection for the run's type.
void setprojection();
// One stimulus scale step (up or down) composed onto the projection.
void scalestimup();
void scalestimdown();
// The start-up scale: `arrowkeyhits` steps, then `startstimscale`.
void applystartscale();

// Divergent stereo: pushes the matrix and moves to eye 0 (left) or 1 (right),
// scaled by the eye scale; glPopMatrix() leaves the eye again.
void entereye(int eye);

// The 120 Hz double-frame-rate window set-up (before the window opens).
void setupdoubleframerate();
// Draws `draw` into both halves of the doubled window: the first eye at t,
// the second half a frame later.
void drawtwoframes(DrawFn draw, double t, double tprev);

// Restores the pointer and tears everything down (used by xit).
void closeglxwindow();

// Reads -mirror ("none", "h", "v" or "hv"); refuses anything else.
void checkmirror();
// Flips the finished picture in the drawing buffer as -mirror asks, before
// it is saved or shown; nothing without a mirror.
void mirrorframe();

// The display's monitors: origin and size in display pixels, name.
struct MonitorBox {
  int x, y, w, h;
  std::string name;
};
std::vector<MonitorBox> listmonitors();

// Sets the raster position to (x, y) in the current matrix, also when that
// point lies outside the window (where plain glRasterPos would drop it), so
// that text and pictures starting off-screen are drawn clipped.
void rasterpos(float x, float y);
