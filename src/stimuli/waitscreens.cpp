// The waiting screens ("Ready", "Done") of the types that need their own:
// both eyes' views for the stereo types, the rivalry disks, the dot-stereo
// fixation pair. The catalogue rows name them.
#include "stimuli/waitscreens.h"

#include "config/params.h"
#include "core/runstate.h"
#include "core/sound.h"
#include "core/trigger.h"
#include "core/window.h"
#include "draw/fixation.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

namespace {

GLUquadric* quadric() {
  static GLUquadric* q = gluNewQuadric();
  return q;
}

void fixationoftype(int type, float x, float y) { drawfixation(x, y, 0.0f, par.fixbright, 0.0, fixmarkoftype(type)); }

void divergentstereo(const char* text) {
  for (int eye = 0; eye < 2; eye++) {
    entereye(eye);
    if (par.stereobdtype)
      drawstereoborder(par.stereobdrad, par.stereobdwidth, par.stereobdgap, par.stereobdbright, par.stereobdtype);
    drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, 0.0);
    glTranslatef(-0.12f, -0.12f, 0.0f);
    drawwaitlabel(text, 0.0f, 0.0f, 0.4f);
    glPopMatrix();
  }
}

void rivalry(const char* text) {
  if (par.drawfixgridflag) drawfixgrid(par.fixbgbright);
  for (int eye = 0; eye < 2; eye++) {
    entereye(eye);
    glColor3f(par.avgcolbright, par.avgcolbright, par.avgcolbright);
    gluDisk(quadric(), 0.0, par.maxrad, 100, 1);
    // At the radius the run's own frames use, so the border stays put at the start.
    if (par.stereobdtype)
      drawstereoborder(par.maxrad, par.stereobdwidth, par.stereobdgap, par.stereobdbright, par.stereobdtype);
    drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, 0.0);
    if (!std::strcmp(text, "Done")) drawwaitlabel(text, 0.0f, -0.05f, 0.2f);
    glPopMatrix();
  }
}

void dotstereo(const char* text) {
  if (par.fixdisp != 0.0f) {
    fixationoftype(6, -par.fixdisp / 2.0f, 0.0f);
    fixationoftype(7, par.fixdisp / 2.0f, 0.0f);
  } else {
    fixationoftype(5, 0.0f, 0.0f);
  }
  drawwaitlabel(text, 0.0f, 2.0f * par.fixarraydel, 0.15f);
}

}  // namespace

void waitdivergentstereo(const char* text) { divergentstereo(text); }

void waitrivalry(const char* text) {
  glClearColor(par.bgwingray, par.bgwingray, par.bgwingray, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  rivalry(text);
}

void waitdotstereo(const char* text) {
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  restartaudcue();  // the periodic sound cue starts over after the wait
  dotstereo(text);
}
