#include "retino/gratings.h"

#include "config/params.h"
#include "core/angles.h"
#include "core/runstate.h"
#include "core/window.h"
#include "core/xit.h"
#include "draw/fixation.h"
#include "draw/palette.h"
#include "draw/ring.h"
#include "draw/targets.h"
#include "draw/wedge.h"
#include "retino/variants.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {


float uniform() { return static_cast<float>(random() * (1.0 / 2147483648.0)); }

// The temporal ramp's checks: made once, on the program's first ramp frame.
QuadList rampquads = nullptr;

// Accumulates frame time and remakes the bars when 1/gratfreq has passed
// (and on the first call of a run).
void refreshbars(GratingState& s, double t, double tprev) {
  const bool first = !s.started;
  if (first) {
    s.started = true;
    // Room for the most bars a set can have, so later sets refill the
    // palette without allocating in the frame loop (sized, not filled: a
    // fill would take random draws of its own).
    const double most = par.minbar > 0.0f ? std::floor(2.0 * par.maxrad / par.minbar) + 1.0 : MAXBARS;
    reservechkcols(static_cast<int>(std::min<double>(most, MAXBARS)));
  }
  s.accum += t - tprev;
  if (!first && !(s.accum > 1.0 / par.gratfreq)) return;
  s.accum = 0.0;
  s.barcount = makebaredges(s.baredges, par.maxrad, par.minbar, par.maxbar);
  if (s.barcount < 0) fatal("vistrum: ### >%d bars\n", MAXBARS);
  makecolorsf(1, s.barcount, par.coltype);
}

float orientationnow(double t) {
  float o = gratingorientation(t);
  if (par.oritargprob != 0.0f) o += getunipoljerk();
  return o;
}

GLUquadric* quadric() {
  static GLUquadric* q = gluNewQuadric();
  return q;
}

// One batch of circle-clipped bars, bar j in colour 0 of its entry when the
// entry is odd, else colour 1.
void drawbars(const float* edges, int nbars, int q) {
  glBegin(GL_QUADS);
  for (int j = 0; j < nbars; j++) {
    const int f = barentry(j, q, nbars);
    const float* c = chkcols + 6 * f + (f % 2 == 1 ? 0 : 3);
    glColor3f(c[0], c[1], c[2]);
    const float e0 = edges[j], e1 = edges[j + 1];
    const float h0 = barhalfheight(e0, par.maxrad), h1 = barhalfheight(e1, par.maxrad);
    glVertex2f(e0, h0);
    glVertex2f(e1, h1);
    glVertex2f(e1, -h1);
    glVertex2f(e0, -h0);
  }
  glEnd();
}

}  // namespace

int makebaredges(float* edges, float maxrad, float minbar, float maxbar) {
  edges[0] = -maxrad;
  float sum = 0.0f;
  int n = 0;
  while (true) {
    if (n >= MAXBARS) return -1;
    sum += minbar + uniform() * (maxbar - minbar);
    n++;
    if (sum > 2.0f * maxrad) {
      edges[n] = maxrad;
      return n;
    }
    edges[n] = sum - maxrad;
  }
}

float barhalfheight(float e, float maxrad) { return std::sqrt(std::fabs(maxrad * maxrad - e * e)); }

float gratingorientation(double t) {
  float o = static_cast<float>(std::fmod(par.polfreq * t * 360.0, 360.0));
  if (par.wobbleflag) o += par.wobbleamp * static_cast<float>(std::sin(TWOPI * par.wobblefreq * t));
  return o + 90.0f;
}

int barentry(int j, int q, int nbars) { return q < 0 ? j : (j + 4 * (q + 1)) % nbars; }

void drawsqgrat(const float* edges, int nbars) { drawbars(edges, nbars, -1); }

void drawsqgratquadrants(const float* edges, int nbars, int quadrant) { drawbars(edges, nbars, quadrant); }

void drawquadrantstencils() {
  // Drawn in plain display units whatever scale the stimulus has: the
  // quadrants are the window's.
  glPushMatrix();
  glLoadIdentity();
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glEnable(GL_STENCIL_TEST);
  glClearStencil(0);
  glClear(GL_STENCIL_BUFFER_BIT);
  glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
  const float sq[4][2] = {{0, 0}, {-2, 0}, {-2, -2}, {0, -2}};
  for (int q = 0; q < 4; q++) {
    glStencilFunc(q == 0 ? GL_NEVER : GL_ALWAYS, 1 << q, 1 << q);
    glRectf(sq[q][0], sq[q][1], sq[q][0] + 2.0f, sq[q][1] + 2.0f);
  }
  glDisable(GL_STENCIL_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glPopMatrix();
}

void resetgratings(GratingState& s) { s = GratingState{}; }

GratingState& gratingstate() {
  static GratingState s;
  return s;
}

void drawsingratramp(double t) { drawsingratramp(gratingstate(), t); }
void drawtempfreqrampsq(double t) { drawtempfreqrampsq(gratingstate(), t); }
void drawtempfreqrampsin(double t) { drawtempfreqrampsin(gratingstate(), t); }
void draworient(double t, double tprev) { draworient(gratingstate(), t, tprev); }
void draworientquadrants(double t, double tprev) { draworientquadrants(gratingstate(), t, tprev); }

void draworient(GratingState& s, double t, double tprev) {
  refreshbars(s, t, tprev);
  glPushMatrix();
  glRotatef(orientationnow(t), 0.0f, 0.0f, 1.0f);
  drawsqgrat(s.baredges, s.barcount);
  glPopMatrix();
  // The bars' corners make a ragged circle: a background ring hides it.
  const float w = par.wobbleedgeflag
                      ? par.wobbleedgeamp * static_cast<float>(std::sin(TWOPI * par.wobbleedgefreq * t))
                      : 0.0f;
  glColor3f(par.bgwingray, par.bgwingray, par.bgwingray);
  gluDisk(quadric(), par.maxrad - 0.02f - w, par.maxrad + 0.02f, 50, 10);
  if (par.centmaskrad != 0.0f) gluDisk(quadric(), 0.0, par.centmaskrad + w, 50, 10);
}

void draworientquadrants(GratingState& s, double t, double tprev) {
  if (!s.started) drawquadrantstencils();
  refreshbars(s, t, tprev);
  const float o = orientationnow(t);
  // The scissor box keeps the rasteriser to each quadrant's quarter of the
  // window (the stencil alone would have every quadrant's bars filled over
  // the whole aperture and then discarded, four times the fill).
  GLint vp[4] = {};
  glGetIntegerv(GL_VIEWPORT, vp);
  const int hw = vp[2] / 2, hh = vp[3] / 2;
  const int sx[4] = {hw, 0, 0, hw}, sy[4] = {hh, hh, 0, 0};
  glEnable(GL_SCISSOR_TEST);
  glEnable(GL_STENCIL_TEST);
  glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  for (int q = 0; q < 4; q++) {
    glScissor(vp[0] + sx[q], vp[1] + sy[q], vp[2] - hw, vp[3] - hh);
    glStencilFunc(GL_EQUAL, 1 << q, 1 << q);
    glPushMatrix();
    glRotatef(o + par.pol4toffset + q * par.angleoff, 0.0f, 0.0f, 1.0f);
    drawsqgratquadrants(s.baredges, s.barcount, q);
    glPopMatrix();
  }
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_SCISSOR_TEST);
}

int sframpstep(double t) {
  const float p = static_cast<float>(std::fmod(std::fabs(par.rampfreq) * t, 1.0));
  if (p < par.initblankfrac) return -1;
  const float s = (1.0f - par.initblankfrac) / static_cast<float>(par.numfsamples);
  return static_cast<int>((p - par.initblankfrac) / s);
}

float sframpcycles(int step) {
  // Worked out from the step number rather than multiplied up frame by
  // frame, so a skipped frame or a late first frame cannot leave the ramp
  // behind.
  const double q = std::log(static_cast<double>(par.maxcycles) / par.mincycles) / par.numfsamples;
  const double k = step + 1.0;
  return static_cast<float>(par.rampfreq >= 0.0f ? par.mincycles * std::exp(q * k) : par.maxcycles * std::exp(-q * k));
}

void rendersingrat(float cycles, float phase) {
  float X = dsp.iwinxgl, Y = dsp.iwinygl;
  float N = static_cast<float>(par.numcycsamples);
  if (par.stimtype == 71) {  // the rotated grating must still cover the window
    const float s = std::hypot(dsp.iwinxgl, dsp.iwinygl);
    X *= s, Y *= s, cycles *= s, N = std::floor(N * s);
  }
  const int n = static_cast<int>(N);
  if (n < 1) return;
  const float dy = 2.0f * Y / N;
  auto level = [&](int k) {
    return par.bgwingray + static_cast<float>(std::sin(k / N * cycles * TWOPI + phase)) / 2.5f;
  };
  glBegin(GL_QUADS);  // one batch, shaded smoothly between samples
  float lo = level(0);
  for (int k = 1; k <= n; k++) {
    const float hi = level(k), y0 = -Y + (k - 1) * dy, y1 = -Y + k * dy;
    glColor3f(lo, lo, lo);
    glVertex2f(-X, y0);
    glVertex2f(X, y0);
    glColor3f(hi, hi, hi);
    glVertex2f(X, y1);
    glVertex2f(-X, y1);
    lo = hi;
  }
  glEnd();
}

void drawsingratramp(GratingState& g, double t) {
  int& laststep = g.laststep;
  int& lastrev = g.lastrev;
  float& orient = g.orient;
  float& phase = g.phase;
  const int step = sframpstep(t);
  if (step < 0) {  // the blank start of each ramp
    laststep = lastrev = -1;
    drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t);
    return;
  }
  const float p = static_cast<float>(std::fmod(std::fabs(par.rampfreq) * t, 1.0));
  const float e = p - par.initblankfrac;
  const float s = (1.0f - par.initblankfrac) / static_cast<float>(par.numfsamples);
  const int rev = static_cast<int>(e / (s / (2.0f * par.numflikperfreq)));
  if (step != laststep) {
    laststep = step;
    orient = uniform() * 360.0f;
    phase = uniform() * static_cast<float>(M_PI);
  }
  if (rev != lastrev) {  // counter-phase reversal
    lastrev = rev;
    phase += static_cast<float>(M_PI);
  }
  glPushMatrix();
  if (par.stimtype == 71) glRotatef(orient, 0.0f, 0.0f, 1.0f);
  rendersingrat(getunisfjerk() * sframpcycles(step), phase);
  glPopMatrix();
  drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t);
}

QuadList savepolar(double t, int nrad, int ntheta, QuadList quads) {
  if (ntheta <= 1 || nrad <= 1) return quads;
  if (quads == nullptr) quads = new float[static_cast<size_t>(nrad) * ntheta][8];
  float a0 = static_cast<float>(std::fmod(par.polfreq * t * TWOPI, TWOPI));
  if (par.centerpolflag) a0 -= par.polwidth / 2.0f;
  const float W = par.polwidth;
  const float F = static_cast<float>(std::fmod(par.dilfreq * t, 1.0));
  const float base = expbase(par.minrad, par.maxrad);
  for (int i = 0; i < ntheta - 1; i++) {
    const float a = a0 + W * i / (ntheta - 1), b = a0 + W * (i + 1) / (ntheta - 1);
    const float ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
    for (int j = 0; j < nrad; j++) {
      const Radii r = wedgeslot(j, nrad, F, base);
      const float v[8] = {r.rin * ca, r.rin * sa, r.rout * ca, r.rout * sa, r.rout * cb, r.rout * sb, r.rin * cb, r.rin * sb};
      std::copy(v, v + 8, quads[i * nrad + j]);
    }
  }
  return quads;
}

float tempramplinear(float f) {
  float p0 = 1.0f / par.mintfreq, p1 = 1.0f / par.maxtfreq;
  if (par.rampfreq < 0.0f) std::swap(p0, p1);
  return p0 + (p1 - p0) * f;
}

float tempramperiod(float f) {
  const float bend = std::fabs(1.0f / par.mintfreq - 1.0f / par.maxtfreq) * par.sinfrac;
  return tempramplinear(f) - bend * static_cast<float>(std::sin(M_PI * f));
}

// The time after `due` that comes `step` later: counted from the due time,
// not from the frame that reached it, or every step would come up to a
// frame late and the flicker would run slower than its ramp says. A frame
// a whole step late (a stall) starts the count afresh from itself.
double nextdue(double due, double t, double step) { return t - due < step ? due + step : t + step; }

void drawtempfreqrampsq(GratingState& g, double t) {
  int& flag = g.flag;
  double& nextflip = g.nextflip;
  if (!g.started) {
    makecolorsf(par.numrad + 1, par.numtheta, par.coltype);
    g.started = true;
  }
  // The polarity flips every half period; the period runs linearly from
  // one end of the ramp to the other over each ramp cycle.
  if (t > nextflip) {
    flag = !flag;
    const float e = static_cast<float>(std::fmod(std::fabs(par.rampfreq) * t, 1.0));
    nextflip = nextdue(nextflip, t, tempramplinear(e) / 2.0);
  }
  drawrectspoke(t, par.minrad, par.maxrad, 0.0f, static_cast<float>(TWOPI), par.numrad, par.numtheta, flag, par.dilfreq);
}

void drawtempfreqrampsin(GratingState& g, double t) {
  double& nextstart = g.nextstart;
  double& period = g.period;
  int& lastprinted = g.lastprinted;
  if (rampquads == nullptr) rampquads = savepolar(0.0, par.numrad, par.numtheta, nullptr);
  const QuadList quads = rampquads;
  const int nquads = par.numtheta > 1 && par.numrad > 1 ? (par.numtheta - 1) * par.numrad : 0;
  const float f = static_cast<float>(std::fmod(std::fabs(par.rampfreq) * t, 1.0));
  if (t < 0.002 && lastprinted < 0) {
    std::printf("vistrum: flicker periods (bright-to-bright) for one ramp cycle\n");
    lastprinted = 0;
  }
  // Once a second through the first ramp, however fast the frames come.
  if (t > 1.0 && t <= 1.0 / std::fabs(par.rampfreq) && std::fmod(t, 1.0) < 0.016 &&
      static_cast<int>(t) != lastprinted) {
    std::printf("t = %2.1f sec, flicker period = %2.3f sec\n", t, period);
    lastprinted = static_cast<int>(t);
  }
  if (t > nextstart) {
    period = tempramperiod(f);
    nextstart = nextdue(nextstart, t, period);
  }
  const float v = par.bwcontrast / 2.0f * static_cast<float>(std::sin(TWOPI * (nextstart - t) / period)) + 0.5f;
  glBegin(GL_QUADS);
  for (int k = 0; k < nquads; k++) {
    const float g = k % 2 == 1 ? v : 1.0f - v;
    glColor3f(g, g, g);
    for (int m = 0; m < 4; m++) glVertex2f(quads[k][2 * m], quads[k][2 * m + 1]);
  }
  glEnd();
}
