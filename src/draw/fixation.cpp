#include "draw/fixation.h"

#include "config/condseq.h"
#include "config/params.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/timer.h"
#include "draw/centre.h"
#include "draw/fonts.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

float uniform() { return static_cast<float>(random() * (1.0 / 2147483648.0)); }

GLUquadric* quadric() {
  static GLUquadric* q = gluNewQuadric();
  return q;
}

void disk(float rad) { gluDisk(quadric(), 0.0, rad, 10, 1); }

void line(float x1, float y1, float x2, float y2, float z) {
  glVertex3f(x1, y1, z);
  glVertex3f(x2, y2, z);
}

void cross(float x, float y, float r) {
  glLineWidth(par.fixline);
  glBegin(GL_LINES);
  line(x - r, y, x + r, y, 0.0f);
  line(x, y - r, x, y + r, 0.0f);
  glEnd();
}

void diagonal(float x, float y, float r, int which, float z) {
  if (which == 0)
    line(x - r, y - r, x + r, y + r, z);
  else
    line(x - r, y + r, x + r, y - r, z);
}

void xmark(float x, float y, float r, float z) {
  glLineWidth(par.fixline);
  glBegin(GL_LINES);
  diagonal(x, y, r, 0, z);
  diagonal(x, y, r, 1, z);
  glEnd();
}

void xarray(float x, float y, float z, float r) {
  const int n = par.fixarrayrad;
  for (int j = -n; j <= n; j++)
    for (int k = -n; k <= n; k++) xmark(x + k * par.fixarraydel, y + j * par.fixarraydel, r, z);
}

// The mark of one fixation type of radius r with brightness b after the target step.
void drawfixmark(int type, float x, float y, float z, float b, float r, const float* e) {
  switch (type) {
    case 0: glColor3f(b, 0, 0); cross(x, y, r); break;
    case 1:
    case 2:
    case 3:
      glColor3f(b, b, b);
      glPushMatrix();
      glTranslatef(x, y, 0.0f);
      disk(r);
      glPopMatrix();
      break;
    case 4: glColor3f(b, b, b); cross(x, y, r); break;
    case 5:
      glColor3f(e[0] + e[3], e[1] + e[4], e[2] + e[5]);
      xarray(x, y, 0.0f, r);
      break;
    case 6: glColor3f(e[0], e[1], e[2]); xarray(x, y, z, r); break;
    case 7: glColor3f(e[3], e[4], e[5]); xarray(x, y, z, r); break;
    case 9:
    case 10:
    case 11:
    case 12:
      glColor3f(0, 0, 0);
      disk(par.minrad);
      glColor3f(b, 0, 0);
      if (type == 9) {
        cross(x, y, r);
      } else if (type == 10) {
        xmark(x, y, r, 0.0f);
      } else {
        glLineWidth(par.fixline);
        glBegin(GL_LINES);
        diagonal(x, y, r, type == 11 ? 0 : 1, 0.0f);
        glEnd();
      }
      break;
    case 13: glColor3f(b, b, b); disk(par.minrad); glColor3f(0, 0, 0); disk(r); break;
    case 14: glColor3f(0, 0, 0); disk(par.minrad); glColor3f(b, b, b); disk(r); break;
    default: break;  // 8, 15 and unknown types draw nothing
  }
}

}  // namespace

int fixtarggap(float u) {
  float f = 0.0f;
  for (float r : {par.polfreq, par.eccfreq, par.blockfreq}) f = std::fabs(r) > f ? std::fabs(r) : f;
  const double m = par.minfrms2nexttg;
  double gap = 2.0 * m;
  // A still display (no rate at all) keeps the shortest gap instead of dividing by zero.
  if (f > 0.0f && par.fixtargprob != 0.0f) gap = 2.0 * (m + u * (60.0 / (f * par.fixtargprob) - m));
  if (!(gap < 2147483647.0)) gap = 2147483647.0;
  const int g = static_cast<int>(gap);
  return g < 1 ? 1 : g;
}

FixTargCall fixtargstep(FixTargState& s) {
  FixTargCall c{s.framecnt < par.targframes, false, {s.lett[0], 0}};
  if (c.on && s.framecnt <= 0) {
    if (par.fixlettflag && par.fixlettstr[0] != '\0') {
      s.lett[0] = par.fixlettstr[s.fixlett];
      if (par.fixlettstr[++s.fixlett] == '\0') s.fixlett = 0;
    }
    s.framecnt = fixtarggap(uniform());
    c.scheduled = true;
  }
  s.framecnt--;
  return c;
}

FixTargCall fixtargforpicture(FixTargState& s, long picture) {
  if (picture == s.picture) {
    FixTargCall c = s.last;
    c.scheduled = false;
    return c;
  }
  s.picture = picture;
  s.last = fixtargstep(s);
  return s.last;
}

void wandercell(int i, float* x, float* y) {
  const int g = par.gridsize;
  if (g <= 1) {  // a single cell is the centre itself: the mark stays at fixation
    *x = *y = 0.0f;
    return;
  }
  const float s = 2.0f * par.maxgrid / static_cast<float>(g - 1);
  *x = static_cast<float>(i % g) * s - par.maxgrid;
  *y = static_cast<float>(i / g) * s - par.maxgrid;
}

float wanderfraction(float theta) { return static_cast<float>((theta - std::sin(theta)) / (2.0 * M_PI)); }

void wanderinit(WanderTour& w) {
  const int g = par.gridsize;
  w.n = g * g;
  if (w.gis == nullptr) w.gis = new int[w.n + 1];
  for (int k = 0; k <= w.n; k++) w.gis[k] = k;
  shuffle(w.gis, w.n);
  const int c = (g + 1) * (g / 2);
  for (int k = 0; k < w.n; k++) {
    if (w.gis[k] != c) continue;
    w.gis[k] = w.gis[0];
    w.gis[0] = c;
    break;
  }
  w.gis[w.n] = c;
  w.lastsweepth = 6.2841854f;
  w.gi = w.n + 1;
  w.pflowfreq = static_cast<float>(w.n) * par.blockfreq;
}

void wanderstep(WanderTour& w, double t, float* x, float* y) {
  const float th = static_cast<float>(std::fmod(w.pflowfreq * t * 2.0 * M_PI, 2.0 * M_PI));
  if (w.lastsweepth > th) {
    // A finished tour starts over only with its next sweep: until then the
    // wandering wedge can see that it is finished and shuffle a new one.
    if (w.gi > w.n) w.gi = 1;
    w.gistart = w.gis[w.gi - 1];
    w.giend = w.gis[w.gi];
    w.gi++;
    float x2 = 0.0f, y2 = 0.0f;
    wandercell(w.gistart, &w.x1, &w.y1);
    wandercell(w.giend, &x2, &y2);
    w.dx = x2 - w.x1;
    w.dy = y2 - w.y1;
  }
  w.lastsweepth = th;
  const float f = wanderfraction(th);
  *x = w.x1 + f * w.dx;
  *y = w.y1 + f * w.dy;
}

void resetfixation(FixationState& s) { s.wanderstarted = false; }

FixationState& fixationstate() {
  static FixationState s;
  return s;
}

void drawfixation(float x, float y, float z, float bright, double t, const FixMark& m) {
  FixationState& s = fixationstate();
  FixTargState& targ = s.targ;
  float& lastxjitt = s.lastxjitt;
  float& lastyjitt = s.lastyjitt;
  WanderTour& tour = s.tour;
  const int type = m.type == RUNFIXTYPE ? par.fixtype : m.type;
  if (type == -1) return;

  if (par.wanderfixflag && !s.wanderstarted) {
    wanderinit(tour);
    if (par.blockfreq == 0.0f) std::printf("vistrum: ### -wanderfix w/def(=Inf) -blockperiod   ...wander ignored\n");
    targ.framecnt = 0;
    s.wanderstarted = true;
  }
  const int pushed = pushstimcentre(t, m.centre);

  float b = type == 1 ? 0.0f : (type == 2 ? 1.0f : bright);
  bool drawmark = true;
  if (m.targets && par.fixtargprob != 0.0f) {
    const FixTargCall c = fixtargforpicture(targ, run.picturecnt);
    if (c.on) {
      if (par.fixlettflag) {
        glColor3f(0.0f, b, b);
        if (c.shown[0]) drawstr(c.shown, x - par.fixfontsize * 0.0001f, y, par.fixfontsize, 5, 0);
        drawmark = false;
      }
      b *= par.fixtargdimfrac;
    }
    // A mark dimmed on a waiting screen is no target of the run: only
    // targets scheduled while frames run are logged.
    if (c.scheduled && run.stimrunningflag && logtime() > 0.01667) logevent("FixEvent: %9.3lf   targ offset (%d frames)\n", logtime(), par.targframes);
  }

  int inner = 0;
  if (par.wigglefixflag) {
    const float a = par.wigglefixamp, lam = par.wigglefixlam;
    lastxjitt = (uniform() * 2.0f * a - a) * lam + (1.0f - lam) * lastxjitt;
    lastyjitt = (uniform() * 2.0f * a - a) * lam + (1.0f - lam) * lastyjitt;
    glPushMatrix();
    glTranslatef(lastxjitt, lastyjitt, 0.0f);
    inner++;
  }
  if (par.wanderfixflag) {
    float wx = 0.0f, wy = 0.0f;
    wanderstep(tour, t, &wx, &wy);
    glPushMatrix();
    glTranslatef(wx, wy, 0.0f);
    inner++;
  }
  const float runeyes[6] = {par.stereoLred, par.stereoLgrn, par.stereoLblu, par.stereoRred, par.stereoRgrn, par.stereoRblu};
  if (drawmark) drawfixmark(type, x, y, z, b, par.fixrad / m.shrink, m.eyes != nullptr ? m.eyes : runeyes);
  for (int k = 0; k < inner; k++) glPopMatrix();
  popstimcentre(pushed);
}
