#include "dots/smoothflow.h"

#include "config/params.h"
#include "core/angles.h"
#include "core/eventlog.h"
#include "core/mouse.h"
#include "core/timer.h"
#include "core/xit.h"
#include "dots/dotfield.h"
#include "draw/fixation.h"
#include "draw/palette.h"
#include "draw/ring.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr float NEGSTEP = 0.01667f;  // age step when the clock went back (restart)

// The field's own dot store, sized at start-up and kept for the run.
struct SmoothDots {
  int capacity = 0;
  float *ra0 = nullptr, *th0 = nullptr, *age = nullptr;
  float *r = nullptr, *g = nullptr, *b = nullptr;
  float* offsetfracs = nullptr;  // four corner offsets per dot
};
SmoothDots store;

float* floats(int n) {
  float* p = static_cast<float*>(std::calloc(n > 0 ? n : 1, sizeof(float)));
  if (p == nullptr) fatal("vistrum: ### malloc dot arrays failed\n");
  return p;
}

SmoothFlowState smoothflow;

// A new base position: uniform in radius with scaled dots (their size
// grows with eccentricity), else uniform over the disk's area.
float newbaseradius() {
  if (par.scaledotsflag) return dotrand() * (par.maxrad - par.minrad) + par.minrad;
  return std::sqrt(dotrand()) * par.maxrad;
}

void newcolour(int j) {
  makecolorf(par.coltype, static_cast<int>(random() % 2), &store.r[j], &store.g[j], &store.b[j]);
}

void initfield(int count) {
  const float twopi = static_cast<float>(TWOPI);
  for (int j = 0; j < count; j++) {
    // The first placement without scaled dots may pass maxrad: the
    // per-frame fold brings it back.
    store.ra0[j] = par.scaledotsflag ? dotrand() * (par.maxrad - par.minrad) + par.minrad
                                     : std::sqrt(dotrand() * (par.maxrad - par.minrad) + par.minrad) * par.maxrad;
    store.th0[j] = dotrand() * twopi;
    store.age[j] = dotrand() * par.dotlife;  // deaths spread evenly from the start
    newcolour(j);
    if (par.dotcornerjitt != 0.0f)
      for (int k = 0; k < 4; k++) store.offsetfracs[4 * j + k] = dotrand() * 2.0f * par.dotcornerjitt - par.dotcornerjitt;
  }
}

}  // namespace

SmoothFlowSetup smoothflowsetup() {
  SmoothFlowSetup s;
  s.flowtype = par.smoothflowtype;
  if (par.flowfreq < 0.0f && s.flowtype == 4) s.flowtype = 6;
  if (par.flowfreq < 0.0f && s.flowtype == 5) s.flowtype = 7;
  const double f = par.flowfreq != 0.0f ? par.flowfreq : 1.0e-9;
  s.secsperrad = static_cast<float>(1.0 / (TWOPI * f));
  s.a = expbase(par.minrad, par.maxrad);
  // Without a usable exponential map (minrad 0, or no width) radii stay
  // linear, and so does the displacement.
  const bool expok = par.minrad > 0.0f && par.maxrad > par.minrad && std::isfinite(s.a);
  s.dexptrans = expok ? std::log(s.a) * std::pow(s.a, par.maxrad - par.minrad) * par.minrad : 1.0f;
  return s;
}

void smoothflowfactors(int flowtype, float phi, float* E, float* F) {
  const float c = std::cos(phi), s = std::sin(phi);
  switch (flowtype) {
    case 1: *E = -c, *F = 0.0f; break;
    case 2: *E = 0.0f, *F = -c; break;
    case 3: *E = s, *F = -c; break;
    case 4: *E = s, *F = s; break;
    case 5: *E = -s, *F = s; break;
    case 6: *E = -s, *F = -s; break;
    case 7: *E = s, *F = -s; break;
    default: *E = 0.0f, *F = 0.0f; break;
  }
}

void smoothflowdisplacement(const SmoothFlowSetup& s, double t, float* dr, float* dth) {
  const float phi = static_cast<float>(std::fmod(TWOPI * par.flowfreq * t, TWOPI));
  float E, F;
  smoothflowfactors(s.flowtype, phi, &E, &F);
  float r = F * s.secsperrad * par.dilspeed * par.maxrad;
  if (par.exptransflag) r /= s.dexptrans;
  *dr = r;
  *dth = E * par.rotspeed * s.secsperrad;
}

float smoothfold(float r, float lo, float hi) {
  const float w = hi - lo;
  if (!(w > 0.0f) || !std::isfinite(r)) return lo;
  // A huge displacement (a near-zero flow rate) would take ages to fold one
  // width at a time: whole widths come off at once first.
  if (r > hi + 64.0f * w || r < lo - 64.0f * w) {
    r = lo + std::fmod(r - lo, w);
    if (r < lo) r += w;
  }
  // Bounded: a width below the radius's precision cannot move it.
  for (int k = 0; r > hi && k < 128; k++) r -= w;
  for (int k = 0; r < lo && k < 128; k++) r += w;
  return r > hi || r < lo ? lo : r;
}

void smoothdotplace(const SmoothFlowSetup& s, float ra0, float th0, float dr, float dth, float* R, float* th) {
  const float r = smoothfold(ra0 + dr, par.minrad, par.maxrad);
  if (par.exptransflag) {
    *R = exptrans(r, par.minrad, s.a);  // every radius turns by the same angle
    *th = th0 + dth;
  } else {
    *R = r;  // every radius moves the same distance along its circle
    *th = r > 0.0f ? th0 + dth * par.maxrad / r : th0;
  }
}

int flowtarggap(float u) {
  const double f = std::fabs(static_cast<double>(par.flowfreq));
  const double span = 60.0 / (par.flowtargprob * (f > 0.0 ? f : 1.0e-9)) - par.minfrms2nexttg;
  const double n = u * span + par.minfrms2nexttg;
  // At least one frame, and no overflow for a vanishing flow rate.
  return n < 1.0 ? 1 : (n > 1.0e9 ? 1000000000 : static_cast<int>(n));
}

int getflowtarg(FlowTarg& targ, float* r, float* th) {
  *r = *th = 0.0f;
  if (par.flowtargprob == 0.0f) return 0;
  if (targ.countdown == 0) {
    targ.countdown = flowtarggap(dotrand());
    targ.left = par.targframes;
    targ.rho = dotrand() * (1.0f - par.flowtargmin) + par.flowtargmin;
    targ.alpha = dotrand() * static_cast<float>(TWOPI);
    if (logging())
      logevent("FlowEvent: %9.3lf   r=%1.2f (glwin), th=%2.1f (deg)\n", logtime(), targ.rho,
               targ.alpha * 180.0 / M_PI);
  }
  targ.countdown--;
  const int on = targ.left > 0;
  if (on) *r = targ.rho, *th = targ.alpha;
  targ.left--;
  return on;
}

void preparesmoothflow() {
  if (!(par.dotlife > 0.0f))
    fatal("vistrum: ### -dotlife %g: dots must live longer than 0 s\n", static_cast<double>(par.dotlife));
  // A smooth-flow dot's side is dotsize, grown with eccentricity up to
  // maxrad and by its corner jitter.
  const float R = par.scaledotsflag ? std::fabs(par.maxrad) : 1.0f;
  refusewidedots(std::fabs(par.dotsize) * R * (1.0f + std::fabs(par.dotcornerjitt)) / 2.0f, "");
  const int n = par.numdots;
  store.ra0 = floats(n);
  store.th0 = floats(n);
  store.age = floats(n);
  store.r = floats(n);
  store.g = floats(n);
  store.b = floats(n);
  store.offsetfracs = floats(4 * n);
  store.capacity = n;
}

void resetsmoothflow(SmoothFlowState& s) { s = SmoothFlowState{}; }

SmoothFlowState& smoothflowstate() { return smoothflow; }

void drawsmoothflow(double t, double tprev, int ndots, int glass) {
  drawsmoothflow(smoothflow, t, tprev, ndots, glass);
}

void drawsmoothflow(SmoothFlowState& s, double t, double tprev, int ndots, int glass) {
  const int count = ndots < store.capacity ? ndots : store.capacity;
  if (!s.started) {
    initfield(count);
    s.setup = smoothflowsetup();
    s.started = true;
  }
  const bool orbit = par.orbrad != 0.0f;
  if (orbit) {
    glPushMatrix();
    cent2polorb(t);
  }
  float dr, dth;
  smoothflowdisplacement(s.setup, t, &dr, &dth);
  float targr, targth;
  const int targflag = getflowtarg(s.targ, &targr, &targth);
  if (targflag && !s.lasttargflag && count > 0) s.targdot = static_cast<int>(random() % count);
  s.lasttargflag = targflag;

  const float step = t - tprev < 0.0 ? NEGSTEP : static_cast<float>(t - tprev);
  const float twopi = static_cast<float>(TWOPI);
  const int copies = glass ? 3 : 1;
  for (int j = 0; j < count; j++) {
    if (store.age[j] >= par.dotlife) {  // reborn elsewhere, shown from the next frame
      store.age[j] = 0.0f;
      newcolour(j);
      store.ra0[j] = newbaseradius();
      store.th0[j] = dotrand() * twopi;
      continue;
    }
    dotcolour(store.r[j], store.g[j], store.b[j]);
    const float* off = par.dotcornerjitt != 0.0f ? store.offsetfracs + 4 * j : nullptr;
    for (int c = 0; c < copies; c++) {
      // A glass triplet: three short steps of the current flow around the
      // dot's base position, which itself does not travel.
      const float k = glass ? 0.01f * static_cast<float>(c - 1) : 1.0f;
      float R, th;
      smoothdotplace(s.setup, store.ra0[j], store.th0[j], k * dr, k * dth, &R, &th);
      if (targflag && j == s.targdot) R = targr, th = targth;
      const float side = par.scaledotsflag ? par.dotsize * R : par.dotsize;
      drawdotquad(R * std::cos(th), R * std::sin(th), side / 2.0f, off);
    }
    store.age[j] += step;
  }
  dotbatchflush();
  if (orbit) glPopMatrix();
  // Both types' own mark sits at the screen centre, also on an orbit: the
  // only mark the subject sees (a second one riding the orbit would be a
  // second fixation target).
  drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t, FixMark{Centre::screen});
}
