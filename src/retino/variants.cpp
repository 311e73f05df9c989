// Several wedges, wedge pairs, and wedges shifted in time or space.
#include "retino/variants.h"

#include "config/condseq.h"
#include "config/params.h"
#include "core/angles.h"
#include "core/runstate.h"
#include "draw/centre.h"
#include "draw/fixation.h"
#include "draw/letters.h"
#include "draw/masks.h"
#include "draw/primitives.h"
#include "draw/targets.h"
#include "draw/wedge.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int QUADORDERTYPE = 1;  // quadrant placement order (no option)

void drawpolarat(double t, int nrad, int ntheta, const Later& l, float freqmul, int wctype,
                 const WedgeShape* shape = nullptr) {
  drawpolar(t + l.dt, nrad, ntheta, freqmul, wctype, 0.0f, l.phase, shape);
}

float uniform() { return static_cast<float>(random() * (1.0 / 2147483648.0)); }

GLUquadric* quadric() {
  static GLUquadric* q = gluNewQuadric();
  return q;
}

}  // namespace

Later polarlater(double cycles, float freqmul) {
  if (par.polfreq != 0.0f) return {cycles / par.polfreq, 0.0f};
  return {0.0, static_cast<float>(freqmul * TWOPI * cycles)};
}

Later polarlaterabs(double cycles, float freqmul) {
  return polarlater(par.polfreq < 0.0f ? -cycles : cycles, freqmul);
}

void drawpol2dia(double t, int nrad, int ntheta) {
  drawpolar(t, nrad, ntheta, 1.0f, PLAINCOLS, 0.0f, 0.0f);
  drawpolarat(t, nrad, ntheta, polarlaterabs(0.5, 1.0f), 1.0f, SHIFTCOLS);
}

void drawpol2opp(double t, int nrad, int ntheta) {
  drawpolarat(t, nrad, ntheta, polarlaterabs(0.25, 1.0f), 1.0f, PLAINCOLS);
  drawpolarat(t, nrad, ntheta, polarlaterabs(0.75, -1.0f), -1.0f, SHIFTCOLS);
}

void drawpol2opplet(double t, int nrad, int ntheta) {
  drawpol2opp(t, nrad, ntheta);
  const Later l = polarlaterabs(0.25, 1.0f);
  drawpolletter(t + l.dt, l.phase);
}

void makejitttable(float* deg, int n) {
  for (int k = 0; k < n; k++) deg[k] = uniform() * 40.0f - 20.0f;
  if (n < 2) return;
  deg[0] = deg[n - 1] = 0.0f;
  for (int pass = 0; pass < 20; pass++)
    for (int k = 1; k < n - 1; k++) deg[k] = (deg[k - 1] + deg[k] + deg[k + 1]) / 3.0f;
}

void resetvariants(VariantsState& s) {
  s.jittstarted = s.wanderstarted = s.randstarted = s.multistarted = s.spokestarted = false;
}

VariantsState& variantsstate() {
  static VariantsState s;
  return s;
}

void drawpolarjitt(double t, int nrad, int ntheta, int lettflag) { drawpolarjitt(variantsstate(), t, nrad, ntheta, lettflag); }
void drawwanderpol(double t, int nrad, int ntheta, int lettflag) { drawwanderpol(variantsstate(), t, nrad, ntheta, lettflag); }
void drawpolrand(double t, int nrad, int ntheta) { drawpolrand(variantsstate(), t, nrad, ntheta); }
void drawmultifreqpolar(double t, int nrad, int ntheta) { drawmultifreqpolar(variantsstate(), t, nrad, ntheta); }
void drawlcms1(double t) { drawlcms1(variantsstate(), t); }

void drawpolarjitt(VariantsState& s, double t, int nrad, int ntheta, int lettflag) {
  float* table = s.jitter;
  int& step = s.jittstep;
  if (!s.jittstarted) step = JITTSTEPS;  // every run starts with a table of its own
  s.jittstarted = true;
  if (step >= JITTSTEPS) {
    makejitttable(table, JITTSTEPS);
    step = 0;
  }
  glPushMatrix();
  glRotatef(table[step], 0.0f, 0.0f, 1.0f);
  drawpolar(t, nrad, ntheta, 1.0f, PLAINCOLS, 0.0f, 0.0f);
  if (lettflag) drawpolletter(t, 0.0f);
  glPopMatrix();
  step++;
}

void quadrantcorner(int q, int type, int* x, int* y) {
  static const int order1[4][2] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}};
  static const int order0[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
  const int(*o)[2] = type == 1 ? order1 : order0;
  *x = o[q & 3][0];
  *y = o[q & 3][1];
}

void drawpolar4shift(double t, int nrad, int ntheta) {
  double jerk[4];
  get4orijerk(jerk);
  const float half = par.interocdist / 2.0f, s = par.stereoscaleeye;
  for (int q = 0; q < 4; q++) {
    int x, y;
    quadrantcorner(q, QUADORDERTYPE, &x, &y);
    glPushMatrix();
    glTranslatef(x * half, y * half, 0.0f);
    glScalef(s, s, 1.0f);
    drawpolarat(t, nrad, ntheta, polarlater(q / 4.0 + par.pol4toffset + jerk[q], 1.0f), 1.0f, SHIFTCOLS);
    FixMark m;
    if (s != 0.0f) m.shrink = s;  // the mark keeps its size under the scale
    drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t, m);
    glPopMatrix();
  }
}

void wanderpolinit(WanderTour& w) {
  wanderinit(w);
  w.pflowfreq = par.flowfreq;
}

void wanderpolstep(WanderTour& w, double t, float* x, float* y) {
  // A finished tour is shuffled anew when its last sweep (back to the centre
  // cell) is over, so the wedge never jumps between tours.
  const float th = static_cast<float>(std::fmod(w.pflowfreq * t * TWOPI, TWOPI));
  if (w.gi > w.n && w.lastsweepth > th) wanderpolinit(w);
  wanderstep(w, t, x, y);
}

void drawwanderpol(VariantsState& s, double t, int nrad, int ntheta, int lettflag) {
  WanderTour& tour = s.tour;
  if (!s.wanderstarted) {
    wanderpolinit(tour);
    s.border = par.orbrad == 0.0f;
    s.wanderstarted = true;
  }
  float px, py;
  wanderpolstep(tour, t, &px, &py);

  const float a = static_cast<float>(std::fmod(par.polfreq * t * TWOPI, TWOPI));
  double jerk[4];
  get4orijerk(jerk);
  const Later l = polarlater(jerk[0], 1.0f);
  if (par.wandpolbalanceflag) {
    const float b = par.centerpolflag ? a : a + par.polwidth / 2.0f;
    px -= 0.6f * par.maxrad * std::cos(b);
    py -= 0.6f * par.maxrad * std::sin(b);
  }
  // The wandering centre stands in for the orbit: every layer is drawn
  // around it, and the orbit shows as a mark of its own.
  const float orbrad = par.orbrad;
  const FixMark here{Centre::screen};
  WedgeShape shape;
  shape.centre = Centre::screen;
  glPushMatrix();
  glTranslatef(px, py, 0.0f);
  drawpolarat(t, nrad, ntheta, l, 1.0f, PLAINCOLS, &shape);
  if (lettflag) drawpolletter(t + l.dt, l.phase, Centre::screen);
  drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t, here);
  if (s.border) {
    const float g = 1.2f * par.bgwingray;
    glColor3f(g, g, g);
    gluDisk(quadric(), par.maxrad - 0.0025f, par.maxrad + 0.0025f, 100, 1);
  }
  if (orbrad != 0.0f) {
    drawfixation(orbrad * std::cos(a), orbrad * std::sin(a), 0.0f, par.fixbright, t, here);
    glPopMatrix();
    drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t, here);
  } else {
    glPopMatrix();
  }
}

void drawmaskannulus(float inner, float outer) { gluDisk(quadric(), inner, outer, 100, 1); }

void drawmaskframe(float outerfac) {
  drawmaskannulus(0.0f, par.minrad + 0.001f);
  drawmaskannulus(par.maxrad - 0.001f, maskouter(outerfac));
}

namespace {
// The widened wedges' width in degrees: the mask covers the gaps between them.
float polarswidth() { return par.polwidth * static_cast<float>(180.0 / M_PI) * par.rotdilextrafac; }
}  // namespace

bool wedgesopening(double t, int cnt, MaskOpening* o) {
  *o = MaskOpening{};
  const float c = maskwedgecentre(t), l = polarswidth();
  if (360.0f / cnt - l <= 0.0f) {
    maskaddwedge(o->open, 0.0f, 360.0f);
  } else {
    if (cnt > 8) return false;
    // Wedge j lies between the gaps j + 1 and j that the painted mask draws.
    for (int j = 1; j <= cnt; j++) maskaddwedge(o->open, 90.0f - (c + j * 360.0f / cnt + l / 2.0f), l);
  }
  maskaddtrims(o->trim);
  return true;
}

void drawpolars(double t, int nrad, int ntheta, int cnt, int lettflag, UnderLayer under) {
  if (cnt < 1) return;  // -polcnt 0: no wedges (and no dots without them)
  const float step = static_cast<float>(TWOPI / cnt);
  // The mask between the wedges covers the wedges' own edges too: the
  // opening goes in before them.
  MaskOpening open;
  const bool fits = under && wedgesopening(t, cnt, &open);
  int pushed = pushstimcentre(t);
  const MaskSpan masks = under ? beginopening(fits ? &open : nullptr) : MaskSpan{};
  popstimcentre(pushed);
  WedgeShape place;
  for (int j = 0; j < cnt; j++) {
    place.shift = j;
    drawpolar(t, nrad, ntheta, 1.0f, SHIFTCOLS, 0.0f, j * step, &place);
  }
  if (under) {
    under(t);
    pushed = pushstimcentre(t);
    if (!endopening(masks)) {
      // Grey between the wedges, each gap narrowed by the widened wedges.
      const int opaque = opaquefillbegin();
      glColor3f(par.bgwingray, par.bgwingray, par.bgwingray);
      const float c = maskwedgecentre(t), l = polarswidth();
      const float sweep = 360.0f / cnt - l;
      if (sweep > 0.0f)
        for (int j = 1; j <= cnt; j++)
          gluPartialDisk(quadric(), par.minrad, par.maxrad, 100, 1, 90.0f - (c + j * 360.0f / cnt - l / 2.0f), sweep);
      drawmaskframe(1.0f);
      opaquefillend(opaque);
    }
    popstimcentre(pushed);
  }
  if (lettflag)
    for (int j = 0; j < cnt; j++) drawpolletter(t, j * step);
}
