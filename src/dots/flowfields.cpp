#include "dots/flowfields.h"

#include "config/params.h"
#include "core/benchlayers.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/timer.h"
#include "dots/dotfield.h"
#include "draw/centre.h"
#include "draw/fixation.h"
#include "draw/masks.h"
#include "draw/palette.h"
#include "draw/ring.h"
#include "draw/wedge.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>

namespace {

// A rate that is used as a divisor: zero would stop every clock with a NaN.
double nonzero(float rate) { return rate != 0.0f ? rate : 1.0e-9; }

// Flow parameters of dot j under the condition: its own when scrambled,
// the common ones when coherent.
Flow dotflow(int j, bool scrambled, const Flow& common) {
  if (!scrambled) return common;
  return Flow{dotdx[j], dotdy[j], dotrotang[j], dotdilscale[j]};
}

// The same scaled by the time (or fraction) tau into the flow.
Flow scaled(const Flow& f, float tau) { return Flow{f.dx * tau, f.dy * tau, f.rot * tau, (f.dil - 1.0f) * tau + 1.0f}; }

// New parameters of the condition: one flow per dot when scrambled, one
// common flow when coherent.
void drawflows(int count, bool scrambled, Flow& common) {
  if (scrambled) {
    for (int j = 0; j < count; j++) randflowparms(&dotdx[j], &dotdy[j], &dotrotang[j], &dotdilscale[j]);
  } else {
    randflowparms(&common.dx, &common.dy, &common.rot, &common.dil);
  }
}

// Notes a new coherent/scrambled block: true when `cond` differs from
// `last` (which it then becomes), and the change goes to the event log
// when `logit` (the flow's own blocks; a flow layer of a composite has
// none that the run's design knows of).
bool newcondition(int cond, int& last, bool logit = true) {
  static const char* const names[2] = {"coherent", "scrambled"};
  if (cond == last) return false;
  if (logit && logging()) logevent("StimEvent: %8.3lf   %s (%d)\n", logtime(), names[cond], cond);
  last = cond;
  return true;
}

// The dot grey with the active smooth-wrap dimming of the ring or wedge.
float dimmedgrey(float g, double t) {
  if (par.smoothwrapdim >= 1.0f) return g;
  const int type = smoothwraptype();
  const float dim = type == 1 ? eccwrapdim(t) : (type == 2 ? polipsiwrapdim(t) : 1.0f);
  return dim * g + (1.0f - dim) * par.bgwingray;
}

}  // namespace

// Type 28 opens wedge and ring as one.
unsigned flowmaskkinds(DotAperture a) {
  const bool pol = a.wedge && par.polwidth != 0.0f, ecc = a.ring && par.eccwidth != 0.0f;
  if (par.stimtype == 28 && pol && ecc) return kBothMask;
  return (pol ? kPolarMask : 0u) | (ecc ? kEccenMask : 0u) | (a.circle && par.circwidth != 0.0f ? kCircMask : 0u);
}

namespace {

void fixationmark(double t) { drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t); }

// The flow field: a new random field and flow every flow period, each frame
// showing the flow applied for tau seconds to the flow's starting dots. An
// orbiting field has one coherent flow whose centre walks at random.
void flowfield(FlowFieldState& s, double t, int count, bool orbiting, bool logblocks, DotAperture aperture = {}) {
  if (!layeron(kLayerDots)) {
    if (aperture.opened) endmasks(*aperture.opened, t);
    return;
  }
  if (!s.started) {
    s.grey = getbwdotcolor();
    s.prevtau = 1.0 / nonzero(par.flowfreq) + 0.001;
    s.started = true;
  }
  const int pushed = pushstimcentre(t);
  const double tau = flowtime(t, par.flowfreq);
  const bool newflow = tau < s.prevtau;
  s.prevtau = tau;
  if (newflow) {
    computedots(count);
    s.target = par.flowspertarg != 0 && random() % par.flowspertarg == 0;
    if (s.target) logevent("RedEvent: %9.3lf\n", logtime());
  }
  const int cond = orbiting ? 0 : scrambledblock(t);
  const bool switched = !orbiting && newcondition(cond, s.lastcond, logblocks);
  if (orbiting && newflow) {
    Flow step;
    randflowparms(&step.dx, &step.dy, &step.rot, &step.dil);
    s.common = Flow{s.common.dx + step.dx, s.common.dy + step.dy, step.rot, step.dil};
  } else if (newflow || switched) {
    // A block that turns scrambled in mid-flow gets its per-dot flows at
    // once, rather than running on the cleared entries of the placement.
    drawflows(count, cond == 1, s.common);
  }

  const MaskSpan own = aperture.opened ? MaskSpan{} : beginmasks(t, flowmaskkinds(aperture));
  const MaskSpan& masks = aperture.opened ? *aperture.opened : own;
  const float g = dimmedgrey(s.grey, t);
  if (s.target)
    dotcolour(g, par.greenbluedim * g, par.greenbluedim * g);
  else
    dotcolour(g, g, g);
  for (int j = 0; j < count; j++) {
    const Flow f = scaled(dotflow(j, cond == 1, s.common), static_cast<float>(tau));
    drawdot(dotx[j], doty[j], f.dx, f.dy, f.rot, f.dil);
  }
  dotbatchflush();
  endmasks(masks, t);
  popstimcentre(pushed);
  if (par.drawfixmeshflag) drawfixmesh(par.fixbgbright);
  // An orbiting field's mark stays at the screen centre.
  drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t, FixMark{orbiting ? Centre::screen : Centre::orbit});
}

// Start of a new stepped pattern (glass patterns and the stepped field):
// when a flow period has passed since the last one, or at the start.
bool newpattern(double t) {
  const double period = 1.0 / nonzero(par.flowfreq);
  if (!(run.oldt < 0.0f) && !(t - run.oldt > period)) return false;
  run.oldt = static_cast<float>(periodstart(t, par.flowfreq));
  return true;
}

// One frame's set-up of a stepped variant: a new field and flows at each
// pattern period, new flows when the block changes; returns the condition
// (1 scrambled) and leaves the dot colour set.
int steppedframe(SteppedFlowState& s, double t, int ndots) {
  if (!s.started) {
    s.grey = getbwdotcolor();
    s.lastcond = -1;
    s.started = true;
  }
  const int cond = scrambledblock(t);
  const bool fresh = newpattern(t);
  if (fresh) computedots(ndots);
  const bool switched = newcondition(cond, s.lastcond);
  if (fresh || switched) drawflows(ndots, cond == 1, s.common);
  dotcolour(s.grey, s.grey, s.grey);
  return cond;
}

}  // namespace

int scrambledblock(double t) {
  const double k = std::trunc(static_cast<double>(par.twofreq) * t);
  const bool odd = std::fmod(k, 2.0) != 0.0;
  return (par.twofreq >= 0.0f ? odd : !odd) ? 1 : 0;
}

double flowtime(double t, float flowfreq) {
  const double f = nonzero(flowfreq);
  return std::fmod(f * t, 1.0) / f;
}

double periodstart(double t, float rate) {
  const double r = nonzero(rate);
  return std::trunc(r * t) / r;
}

double stepped(double x, float steprate) {
  const double r = nonzero(steprate);
  return std::trunc(x * r) / r;
}

void dotwedgeedges(double t, float* edge1, float* edge2) {
  const double twopi = 2.0 * M_PI;
  const float a = static_cast<float>(std::fmod(twopi * par.polfreq * t, twopi));
  const float w = par.polwidth;
  if (par.polfreq >= 0.0f) {
    *edge1 = par.centerpolflag ? a - w / 2.0f : a;
    *edge2 = *edge1 + w;
  } else {
    *edge1 = par.centerpolflag ? a + w / 2.0f : a;
    *edge2 = *edge1 - w;
  }
}

namespace {
FlowFieldsState flowfields;
}  // namespace

void resetflowfields(FlowFieldsState& s) { s = FlowFieldsState{}; }

FlowFieldsState& flowfieldsstate() { return flowfields; }

void drawrotdil0stereo(double t, int ndots, float disp, int cond, int nodraw) {
  drawrotdil0stereo(flowfields.stereo, t, ndots, disp, cond, nodraw);
}
void drawrotdil0(double t, int ndots, DotAperture a) { drawrotdil0(flowfields.field, t, ndots, a); }
void drawrotdil0layer(double t, int ndots, DotAperture a) { drawrotdil0layer(flowfields.field, t, ndots, a); }
void draworbrotdil(double t, int ndots) { draworbrotdil(flowfields.field, t, ndots); }
void drawrotdil1(double t, int ndots) { drawrotdil1(flowfields.stepped, t, ndots); }
void drawrotdil2(double t, int ndots) { drawrotdil2(flowfields.stepped, t, ndots); }
void drawglass1(double t, int ndots) { drawglass1(flowfields.stepped, t, ndots); }
void drawpoldotbg(double t, int ndots) { drawpoldotbg(flowfields.dotwedge, t, ndots); }

void drawrotdil0(FlowFieldState& s, double t, int ndots, DotAperture a) { flowfield(s, t, ndots, false, true, a); }

void drawrotdil0layer(FlowFieldState& s, double t, int ndots, DotAperture a) {
  flowfield(s, t, ndots, false, false, a);
}

void draworbrotdil(FlowFieldState& s, double t, int ndots) { flowfield(s, t, ndots, true, false); }

void drawrotdil0stereo(StereoFlowState& s, double t, int ndots, float disp, int cond, int nodraw) {
  drawrotdil0stereo(s, t, ndots, disp, cond, nodraw, stereolook());
}

void drawrotdil0stereo(StereoFlowState& s, double t, int ndots, float disp, int cond, int nodraw, const StereoLook& k) {
  // The random-block stimulus that passes its own condition restarts the
  // block sequence itself.
  if (!s.started) {
    s.prevtau = 1.0 / nonzero(par.flowfreq) + 0.001;
    s.started = true;
  }
  // The disparities are sized once at start-up for numdots.
  const int count = dotdisps == nullptr ? 0 : (ndots < par.numdots ? ndots : par.numdots);
  const double tau = flowtime(t, par.flowfreq);
  const bool newflow = tau < s.prevtau;
  s.prevtau = tau;
  if (newflow) {
    computedots(count);
    const bool spread = k.type == 4 || k.type == 5;
    for (int j = 0; j < count; j++) dotdisps[j] = spread ? dotrand() * 2.0f * disp - disp : disp;
  }
  // The caller's own condition, or the two-condition blocks (logged).
  const int c = cond < 0 ? scrambledblock(t) : (cond == 1 ? 1 : 0);
  const bool switched = c != s.lastcond;
  if (cond < 0)
    newcondition(c, s.lastcond);
  else
    s.lastcond = c;
  if (newflow || switched) drawflows(count, c == 1, s.common);
  if (!nodraw) {
    for (int j = 0; j < count; j++) {
      const Flow f = scaled(dotflow(j, c == 1, s.common), static_cast<float>(tau));
      drawstdot(dotx[j], doty[j], f.dx, f.dy, f.rot, f.dil, dotdisps[j], k);
    }
    dotbatchflush();
  }
  // The marks in the dots' eye colours (dimmed with them for a target).
  FixMark m = fixmarkoftype(5);
  m.eyes = k.eyes;
  if (par.fixdisp != 0.0f) {
    m.type = 6;
    drawfixation(-par.fixdisp / 2.0f, 0.0f, 0.0f, par.fixbright, t, m);
    m.type = 7;
    drawfixation(par.fixdisp / 2.0f, 0.0f, 0.0f, par.fixbright, t, m);
  } else {
    drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t, m);
  }
}

void drawglass1(SteppedFlowState& s, double t, int ndots) {
  const int cond = steppedframe(s, t, ndots);
  const float size = par.dotsize;
  for (int j = 0; j < ndots; j++) {
    const Flow f = dotflow(j, cond == 1, s.common);
    const float x = dotx[j], y = doty[j];
    const float half = par.scaledotsflag ? size * (1.0f - par.scalefrac * (1.0f - std::sqrt(x * x + y * y))) : size;
    // A still triplet along the flow: the dot and two short flow steps.
    drawdot(x, y, 0.05f * f.dx, 0.05f * f.dy, 0.0f, 1.0f, half);
    drawdot(x, y, 0.05f * f.dx, 0.05f * f.dy, 0.05f * f.rot, 1.0f + 0.05f * (f.dil - 1.0f), half);
    drawdot(x, y, 0.05f * f.dx, 0.05f * f.dy, 0.1f * f.rot, 1.0f + 0.1f * (f.dil - 1.0f), half);
  }
  dotbatchflush();
  fixationmark(t);
}

void drawrotdil1(SteppedFlowState& s, double t, int ndots) {
  const int cond = steppedframe(s, t, ndots);
  // The fraction of the flow period, advancing in flickerfreq steps.
  const float tau = static_cast<float>(stepped((t - run.oldt) * nonzero(par.flowfreq), par.flickerfreq));
  for (int j = 0; j < ndots; j++) {
    const Flow f = scaled(dotflow(j, cond == 1, s.common), tau);
    drawdot(dotx[j], doty[j], f.dx, f.dy, f.rot, f.dil);
  }
  dotbatchflush();
  fixationmark(t);
}

void drawrotdil2(SteppedFlowState& s, double t, int ndots) {
  const bool first = !s.started;
  if (first) {
    s.grey = getbwdotcolor();
    s.lastcond = -1;
    s.started = true;
  }
  const int cond = scrambledblock(t);
  const double delta = first ? 0.0 : t - run.oldt;
  const double dilperiod = 1.0 / nonzero(par.dilfreq);
  bool fresh = false;
  if (first || t - s.oldtflow > 1.0 / nonzero(par.flowfreq)) {
    s.grey = getbwdotcolor();
    computedots(ndots);
    s.oldtflow = run.oldt = static_cast<float>(periodstart(t, par.flowfreq));
    fresh = true;
  } else if (t - run.oldt > dilperiod) {
    run.oldt = static_cast<float>(periodstart(t, par.dilfreq));
    fresh = true;
  }
  const bool switched = newcondition(cond, s.lastcond);
  if (fresh) randflowparms(&s.common.dx, &s.common.dy, &s.common.rot, &s.common.dil);
  if ((fresh || switched) && cond == 1) drawflows(ndots, true, s.common);
  const float f = static_cast<float>(stepped(delta * nonzero(par.dilfreq), par.flickerfreq));
  const float range = cond == 1 ? par.dotjrange : par.wdotjrange;
  dotcolour(s.grey, s.grey, s.grey);
  for (int j = 0; j < ndots; j++) {
    // The jitter step takes the place of the flow's translation.
    randmove(&dotdx[j], &dotdy[j], range);
    const Flow p = dotflow(j, cond == 1, s.common);
    movedot(&dotx[j], &doty[j], dotdx[j], dotdy[j], f * p.rot, (p.dil - 1.0f) * f + 1.0f);
  }
  dotbatchflush();
  fixationmark(t);
}

void drawpoldotbg(DotWedgeState& s, double t, int ndots) {
  float edge1, edge2, lo, hi;
  dotwedgeedges(t, &edge1, &edge2);
  wedgeorder(edge1, edge2, &lo, &hi);
  const bool first = run.oldt < 0.0f;
  if (first) {
    s.grey = getbwdotcolor();
    computedots(ndots);
  }
  const double delta = first ? 0.0 : t - run.oldt;
  if (first || t - run.oldt > 1.0 / nonzero(par.dilfreq)) {
    run.oldt = static_cast<float>(periodstart(t, par.dilfreq));
    randflowparms(&s.common.dx, &s.common.dy, &s.common.rot, &s.common.dil);
  }
  const float f = static_cast<float>(stepped(delta * nonzero(par.dilfreq), par.flickerfreq));
  const float rot = f * s.common.rot, dil = (s.common.dil - 1.0f) * f + 1.0f;
  dotcolour(s.grey, s.grey, s.grey);
  for (int j = 0; j < ndots; j++) {
    const float d = wedgeangle(dotx[j], doty[j], lo, hi) - lo;
    if (d > 0.0f && d < hi - lo) {
      randmove(&dotdx[j], &dotdy[j], par.wdotjrange);
      movewedgedot(&dotx[j], &doty[j], dotdx[j], dotdy[j], rot, dil, edge1, edge2);
    } else {
      randmove(&dotdx[j], &dotdy[j], par.dotjrange);
      moveoutdot(&dotx[j], &doty[j], dotdx[j], dotdy[j], edge1, edge2);
    }
  }
  dotbatchflush();
  // The frame loop draws the fixation mark over it.
}
