// Static furniture behind the stimulus: polar mesh, stereo grid, zero-disparity
// dots, and the screen and stereo borders.
#include "config/params.h"
#include "core/runstate.h"
#include "core/window.h"
#include "draw/fixation.h"
#include "draw/primitives.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

float uniform() { return static_cast<float>(random() * (1.0 / 2147483648.0)); }

void line(float x1, float y1, float x2, float y2) {
  glVertex2f(x1, y1);
  glVertex2f(x2, y2);
}

// One dot of the zero-disparity field: a point of the half-ellipse band
// around fixation. The band is empty for odd geometries (minrad beyond the
// ellipse), so the search gives up after a bounded number of tries.
void fixdotpoint(float half, float full, float* u, float* v) {
  const float iod = par.interocdist;
  for (int tries = 0; tries < 10000; tries++) {
    *u = uniform() * 2.0f * half - half;
    *v = uniform() * 2.0f * full - full;
    const float wide = half < full ? *v : *u, narrow = half < full ? *u : *v;
    if (narrow * narrow + wide * wide / 4.0f <= iod * iod / 4.0f &&
        *u * *u + *v * *v >= par.minrad * par.minrad / 4.0f)
      return;
  }
}

}  // namespace

void drawfixmesh(float bright) {
  if (bright >= 0.0f)
    glColor3f(bright, bright, bright);
  else
    glColor3f(-bright, 0.0f, -bright);  // magenta for red/blue glasses
  const float s = run.currstimscale;
  glLineWidth(par.fixline);
  glBegin(GL_LINES);
  line(-1.6f / s, 0.0f, 1.6f / s, 0.0f);
  line(0.0f, -1.6f / s, 0.0f, 1.6f / s);
  line(-2.0f / s, -2.0f / s, 2.0f / s, 2.0f / s);
  line(-2.0f / s, 2.0f / s, 2.0f / s, -2.0f / s);
  glEnd();
  for (int k = 0; 0.4f * k < 2.0f / s; k++) {
    const float r = 0.4f * k;
    glBegin(GL_LINE_LOOP);
    for (int d = 0; d < 72; d++) {
      const double a = d * 5.0 * M_PI / 180.0;
      glVertex2f(r * static_cast<float>(std::cos(a)), r * static_cast<float>(std::sin(a)));
    }
    glEnd();
  }
}

void drawfixgrid(float bright) {
  const float s = run.currstimscale, iod = par.interocdist, mr = par.maxrad;
  glColor3f(bright, bright, bright);
  glLineWidth(par.fixline);
  glPushMatrix();
  const float angle = std::atan2(par.vertdisp, iod);
  glRotatef(angle * 180.0f / static_cast<float>(M_PI), iod / 2.0f, 0.0f, 1.0f);
  const float h = 2.5f / s, sp = 1.0f / static_cast<float>(par.gridperinteroc);
  const float sh = iod - std::cos(angle) * iod;
  const int n = static_cast<int>(2.5f * par.gridperinteroc / s);
  glBegin(GL_LINES);
  for (int j = -n; j <= n; j++) {
    const float o = j * sp * iod;
    line(-h * mr, o + h * mr + sh, h * mr, o - h * mr + sh);
    line(o - h * mr, -h * mr, o + h * mr, h * mr);
  }
  glEnd();
  glPopMatrix();
  const float xw = dsp.iwinxgl / s, yw = dsp.iwinygl / s;
  if (par.fixgridmaskflag) {
    glColor3f(par.bgwingray, par.bgwingray, par.bgwingray);
    drawrect(-xw, -yw, xw - iod, 2.0f * yw);
    drawrect(iod, -yw, xw - iod, 2.0f * yw);
  }
  if (par.fixcornertriflag) {
    const float g = par.fixbgbright, a = par.startstimscale * 0.87f * par.stereobdrad, l = 0.25f;
    glColor3f(g, g, g);
    for (int eye = 0; eye < 2; eye++) {
      glPushMatrix();
      glTranslatef(eye == 0 ? -iod / 2.0f : iod / 2.0f, eye == 0 ? 0.0f : par.vertdisp, 0.0f);
      glScalef(par.stereoscaleeye, par.stereoscaleeye, 1.0f);
      drawtrivrt(a, a, a - l, a, a, a - l);
      drawtrivrt(-a, a, -a + l, a, -a, a - l);
      drawtrivrt(-a, -a, -a + l, -a, -a, -a + l);
      drawtrivrt(a, -a, a - l, -a, a, -a + l);
      glPopMatrix();
    }
  }
}

namespace {

// The fusion-lock dots: made once for the program (the waiting screens show
// them too), again when a key changes the eye separation or offset.
struct FixDots {
  std::vector<float> dotx, doty;
  bool made = false;
  float lastinterocdist = 0.0f, lastvertdisp = 0.0f;
};
FixDots fixdots;

}  // namespace

void drawfixdots(float bright) {
  std::vector<float>& dotx = fixdots.dotx;
  std::vector<float>& doty = fixdots.doty;
  bool& made = fixdots.made;
  float& lastinterocdist = fixdots.lastinterocdist;
  float& lastvertdisp = fixdots.lastvertdisp;
  const float iod = par.interocdist;
  if (!made || iod != lastinterocdist || par.vertdisp != lastvertdisp) {
    const int n = par.numdots - par.numdots % 2;
    dotx.assign(n, 0.0f);
    doty.assign(n, 0.0f);
    for (int j = 0; j + 1 < n; j += 2) {
      float u = 0.0f, v = 0.0f;
      if (par.packstereoupdownflag) {
        fixdotpoint(iod, iod / 2.0f, &u, &v);
        dotx[j] = u, doty[j] = v + iod / 2.0f + par.vertdisp;
        dotx[j + 1] = u, doty[j + 1] = v - iod / 2.0f;
      } else {
        fixdotpoint(iod / 2.0f, iod, &u, &v);
        dotx[j] = u - iod / 2.0f, doty[j] = v;
        dotx[j + 1] = u + iod / 2.0f, doty[j + 1] = v + par.vertdisp;
      }
    }
    made = true;
    lastinterocdist = iod;
    lastvertdisp = par.vertdisp;
  }
  glColor3f(bright, bright, bright);
  for (size_t k = 0; k < dotx.size(); k++) drawsquare(dotx[k], doty[k], par.dotsize);
}

void drawscreenborder() {
  const float x = 1.56f, y = 1.56f * static_cast<float>(par.winygl) / static_cast<float>(par.winxgl);
  glColor3f(0.0f, 1.0f, 0.0f);
  glLineWidth(10.0f);
  glBegin(GL_LINE_LOOP);
  glVertex2f(-x, -y);
  glVertex2f(x, -y);
  glVertex2f(x, y);
  glVertex2f(-x, y);
  glEnd();
  glLineWidth(1.0f);
}

void drawstereoborder(float r, float width, float offset, float bright, int type) {
  glColor3f(bright, bright, bright);
  if (type == 1) {
    glLineWidth(par.stereoscaleeye * (static_cast<float>(par.winxgl) / (2.0f * dsp.iwinxgl)) * width);
    glBegin(GL_LINES);
    line(-r, -r, -r, r);
    line(r, r, r, -r);
    line(-r - width / 2.0f + offset, -r, r + width / 2.0f + offset, -r);
    line(-r - width / 2.0f + offset, r, r + width / 2.0f + offset, r);
    glEnd();
    glLineWidth(1.0f);
  } else if (type == 2) {
    static GLUquadric* q = gluNewQuadric();
    gluDisk(q, r - width / 2.0f + offset, r + width / 2.0f + offset, 100, 1);
  }
}
