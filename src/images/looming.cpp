#include "images/looming.h"

#include "config/condseq.h"
#include "config/params.h"
#include "core/runstate.h"
#include "core/xit.h"
#include "draw/drawimg.h"
#include "draw/fixation.h"
#include "draw/imagestreams.h"
#include "draw/ring.h"
#include "draw/tiffio.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr float SIN24 = 0.4067366430758002f;
const char* const kBarrierConds[] = {"off", "dilatefront", "dilateback", "contractfront", "contractback"};

void loomorderinit(LoomOrder& o) {
  PicOrder p{o.idx, o.n, 0};
  resetpicorder(p, tiffcnt);
  shuffle(p.idx, p.n);
  o.idx = p.idx;
  o.n = p.n;
  o.pos = 0;
  o.lastpos = 0;
}

void turnset(BarrierSet& b) {
  b.theta0 = urange(0.0f, static_cast<float>(2.0 * M_PI));
  b.turn = static_cast<float>(urand()) * 4.1887903f - 2.0943952f;
}

void drawbarrierset(const BarrierSet& b, float p) {
  const float R = barrierradius(p);
  const int n = par.simulcnt;
  for (int k = 0; k < n; k++) {
    const float a = static_cast<float>(2.0 * M_PI * k / n) + b.theta0 + p * b.turn;
    drawimg(b.slots[k], R * std::cos(a), R * std::sin(a), R * par.tiffscale * SIN24, ANCHOR_CENTRE);
  }
}

// Grid behind (front) or over (back) the pictures.
void drawwithgrid(const BarrierSet& b, float p, bool back) {
  if (!back) drawfixgrid(par.fixbright);
  drawbarrierset(b, p);
  if (back) drawfixgrid(par.fixbright);
}

LoomingState looming;

}  // namespace

bool chooseloomset(LoomOrder& o, int count, int* slots, bool (*istarget)(int)) {
  bool target = false;
  for (int k = 0; k < count; k++) {
    o.pos = (o.pos + 1) % o.n;
    // One target per set: step past further targets (all of them at most once).
    for (int tries = 0; target && istarget(o.idx[o.pos]) && tries < o.n; tries++) o.pos = (o.pos + 1) % o.n;
    slots[k] = o.idx[o.pos];
    if (istarget(slots[k])) target = true;
  }
  if (o.pos < o.lastpos) shuffle(o.idx, o.n);
  o.lastpos = o.pos;
  return target;
}

float imdilradius(float q) {
  const float d = (par.maxrad - par.minrad) * q + par.minrad;
  if (!par.exptransflag) return d;
  return exptransblend(d, par.minrad, expbase(par.minrad, par.maxrad), par.expfrac);
}

float imdilheight(float R) {
  const float s = par.scalefrac != 1.0f ? (1.0f - par.scalefrac) * (par.maxrad - par.minrad) + par.scalefrac * R : R;
  return s * par.tiffscale;
}

float barrierradius(float p) {
  const float R = p * par.maxrad;
  return par.exptransflag ? exptrans(R, par.minrad, expbase(par.minrad, par.maxrad)) : R;
}

int barriercondition(const char* name) {
  for (int k = 0; k < 5; k++)
    if (std::strcmp(name, kBarrierConds[k]) == 0) return k;
  return -1;
}

void checklooming() {
  if (par.simulcnt < 1 || par.simulcnt > MAXSETPICS)
    fatal("vistrum: ### -simulcnt must be 1 to %d pictures per set (got %d)\n", MAXSETPICS, par.simulcnt);
}

void checkbarrierconds() {
  for (const std::string& c : par.condnames) {
    if (barriercondition(c.c_str()) >= 0) continue;
    std::printf("vistrum: ### bad condition: %s\n", c.c_str());
    std::printf("vistrum: [off,dilatefront,dilateback]\n");
    fatal("vistrum: [off,dilatefront,dilateback,contractfront,contractback]\n");
  }
}

void resetlooming(LoomingState& s) {
  const LoomOrder order = s.order;
  s = LoomingState{};
  s.order = order;
}

LoomingState& loomingstate() { return looming; }

void drawimdil(double t) { drawimdil(loomingstate(), t); }
void drawbarrierdil(double t) { drawbarrierdil(loomingstate(), t); }
void drawbarrierrndblk(double t) { drawbarrierrndblk(loomingstate(), t); }

void drawimdil(LoomingState& s, double t) {
  if (!s.started) {
    loomorderinit(s.order);
    s.theta0 = static_cast<float>(M_PI / par.simulcnt);
    s.started = true;
  }
  const double p = fracphase(std::fabs(par.flowfreq) * t);
  if (p < s.lastphase) chooseloomset(s.order, par.simulcnt, s.slots, istargetpic);  // logs nothing
  s.lastphase = p;
  if (p > par.onfrac) return;
  const float q = static_cast<float>(par.flowfreq < 0.0f ? 1.0 - p : p);
  const float R = imdilradius(q);
  const float height = imdilheight(R);
  const int n = par.simulcnt;
  for (int k = 0; k < n; k++) {
    const float a = static_cast<float>(2.0 * M_PI * k / n) + s.theta0;
    drawimg(s.slots[k], R * std::cos(a), R * std::sin(a), height, ANCHOR_CENTRE);
  }
}

void drawbarrierdil(LoomingState& s, double t) {
  if (!s.started) {
    for (int& slot : s.set.slots) slot = -1;  // no previous picture yet
    s.started = true;
  }
  const double p = fracphase(par.flowfreq * t);
  if (p < s.lastphase) {
    for (int k = 0; k < par.simulcnt; k++) s.set.slots[k] = randomotherpic(s.set.slots[k], tiffcnt);
    turnset(s.set);
  }
  s.lastphase = p;
  const bool odd = static_cast<long long>(par.twofreq * t) % 2 != 0;
  const bool back = par.twofreq >= 0.0f ? odd : !odd;
  drawwithgrid(s.set, static_cast<float>(p), back);
}

void drawbarrierrndblk(LoomingState& s, double t) {
  if (!s.started) {
    loomorderinit(s.order);
    restartcondseq();  // the condition sequence starts again
    s.started = true;
  }
  const int cond = getlogcondition(t, par.condcnt);
  // Once the design is over ("Done" is shown) no set is chosen or logged.
  if (cond < 0 || cond >= static_cast<int>(par.condnames.size())) return;
  const int kind = barriercondition(par.condnames[cond].c_str());
  const double p = fracphase(par.flowfreq * t);
  if (p < s.lastphase) {
    // A target set is logged where it is shown: not in an "off" block.
    if (chooseloomset(s.order, par.simulcnt, s.set.slots, istargetpic) && kind > 0) logtiffevent(1.0 / std::fabs(par.flowfreq));
    turnset(s.set);
  }
  s.lastphase = p;
  if (kind <= 0) {
    if (kind == 0) drawfixgrid(par.fixbright);
    return;
  }
  const bool contract = kind >= 3;
  const bool back = kind == 2 || kind == 4;
  drawwithgrid(s.set, static_cast<float>(contract ? 1.0 - p : p), back);
}
