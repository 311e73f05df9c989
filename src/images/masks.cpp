#include "images/masks.h"

#include "config/params.h"
#include "core/runstate.h"
#include "core/window.h"
#include "retino/primitives.h"
#include "retino/ring.h"
#include "retino/wedge.h"
#include "stimuli/catalogue.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace {

constexpr float DEG = static_cast<float>(180.0 / M_PI);
constexpr int SLICES = 100;

// The masked flow composites widen the opening by -rotdilextrafac, so the
// flow shows over the whole checkerboard band it accompanies.
bool widened() { return stimneeds(par.stimtype, kWidenedMask); }

// Once the pointer has moved the pattern the masks must reach past the
// window by the pointer's range as well, for the rest of the run.
bool mouseseen() {
  static bool seen = false;
  if (par.mousectrlflag) seen = true;
  return seen;
}

void add(MaskPlan& p, float inner, float outer, float start = 0.0f, float sweep = 360.0f, int slices = SLICES) {
  // An empty band or sweep covers nothing: leaving it out also keeps GLU
  // from drawing a reversed (negative) sweep over the opening.
  if (!(inner < outer) || !(sweep > 0.0f) || p.count >= 8) return;
  p.piece[p.count++] = MaskPiece{inner, outer, start, sweep > 360.0f ? 360.0f : sweep, slices};
}

// Everything between minrad and maxrad except the open ring, within the
// GLU sector (start, sweep).
void addringcover(MaskPlan& p, const MaskRing& ring, float start, float sweep) {
  const float minr = par.minrad, maxr = par.maxrad;
  if (ring.closed) {
    add(p, minr, maxr, start, sweep);
  } else if (ring.rin < ring.rout) {
    if (!par.peripheccmask) add(p, minr, ring.rin, start, sweep);
    add(p, ring.rout, maxr, start, sweep);
  } else if (!par.peripheccmask) {
    add(p, ring.rout, ring.rin, start, sweep);
  }
}

void addcentre(MaskPlan& p) { add(p, 0.0f, par.minrad + 0.001f); }

float ringwidening() { return widened() ? (par.rotdilextrafac - 1.0f) * 0.5f * par.eccwidth : 0.0f; }

void drawplan(const MaskPlan& p) {
  static GLUquadric* quad = gluNewQuadric();
  const int opaque = opaquefillbegin();
  glColor3f(par.bgwingray, par.bgwingray, par.bgwingray);
  for (int k = 0; k < p.count; k++) {
    const MaskPiece& m = p.piece[k];
    gluPartialDisk(quad, m.inner, m.outer, m.slices, 1, m.start, m.sweep);
  }
  opaquefillend(opaque);
}

}  // namespace

float maskwedgecentre(double t) {
  // The checkerboard wedge spans [start, start + polwidth] whether or not it
  // is centred on its nominal angle, so its middle is the mask's centre.
  return (polarstartangle(t, 1.0f, 0.0f) + par.polwidth / 2.0f) * DEG;
}

float maskwedgewidth() {
  float w = std::fabs(par.polwidth) * DEG;
  if (widened()) w *= par.rotdilextrafac;
  return w;
}

MaskRing maskring(double t, float d) {
  MaskRing m{true, 0.0f, 0.0f};
  // While the ring is blanked the checkerboard shows nothing, so neither
  // may the masked pattern.
  if (eccblank(t)) return m;
  // The random centre/periphery/off design logs and draws from the random
  // stream: only the ring's own call may run it.
  float rin = eccinnerradius(t, false);
  float rout = rin + geteccwidth(rin);
  const float minr = par.minrad, maxr = par.maxrad;
  if (par.skipeccwrapflag && rout > maxr) return m;  // the ring is off until the next cycle
  rin -= d;
  rout += d;
  if (rout > maxr) rout -= maxr - minr;
  if (par.exptransflag) {
    const float base = expbase(minr, maxr);
    rin = exptransblend(rin, minr, base, par.expfrac);
    rout = exptransblend(rout, minr, base, par.expfrac);
  }
  m.closed = false;
  m.rin = rin;
  m.rout = rout;
  return m;
}

float maskouter(float fac) {
  float r = std::hypot(dsp.iwinxgl, dsp.iwinygl);
  const float maxmask = r + std::fabs(par.orbrad) + std::fabs(par.dotsize);
  float outer = std::fabs(fac) * maxmask / run.currstimscale;
  if (mouseseen()) outer *= std::hypot(par.maxgrid + dsp.iwinxgl, par.maxgrid + dsp.iwinygl) / r;
  return outer;
}

MaskPlan polarmaskplan(double t) {
  MaskPlan p;
  const float e = maskwedgecentre(t), w = maskwedgewidth();
  addcentre(p);
  if (par.polVvsHflag) {
    add(p, par.minrad, par.maxrad, 90.0f - e + w / 2.0f, 180.0f - w);
    add(p, par.minrad, par.maxrad, 270.0f - e + w / 2.0f, 180.0f - w);
  } else {
    add(p, par.minrad, par.maxrad, 90.0f - e + w / 2.0f, 360.0f - w);
  }
  add(p, par.maxrad - 0.001f, maskouter(1.0f));
  return p;
}

MaskPlan eccenmaskplan(double t) {
  MaskPlan p;
  addcentre(p);
  addringcover(p, maskring(t, ringwidening()), 0.0f, 360.0f);
  add(p, par.maxrad - 0.001f, maskouter(par.rotdilextrafac));
  return p;
}

MaskPlan bothmaskplan(double t) {
  MaskPlan p;
  const float e = maskwedgecentre(t), w = maskwedgewidth();
  // The ring cover leaves the wedge sector out: the opening is their union.
  addringcover(p, maskring(t, ringwidening()), 90.0f - e + w / 2.0f, 360.0f - w);
  addcentre(p);
  add(p, par.maxrad - 0.001f, maskouter(par.rotdilextrafac));
  return p;
}

MaskPlan circmaskplan() {
  MaskPlan p;
  float c = std::fabs(par.circwidth) / 2.0f;
  if (widened()) c *= par.rotdilextrafac;
  add(p, c, maskouter(par.rotdilextrafac));
  if (par.minrad != 0.0f) add(p, 0.0f, std::fabs(par.minrad), 0.0f, 360.0f, 50);
  return p;
}

void maskplanadd(MaskPlan& p, float inner, float outer, float start, float sweep, int slices) {
  add(p, inner, outer, start, sweep, slices);
}
void drawmaskplan(const MaskPlan& p) { drawplan(p); }

void polarmask(double t) { drawplan(polarmaskplan(t)); }
void eccenmask(double t) { drawplan(eccenmaskplan(t)); }
void bothmask(double t) { drawplan(bothmaskplan(t)); }
void circmask(double) { drawplan(circmaskplan()); }
