// The object ring over a jittering background: the objects of a ring of
// slots move with the background picture, except the object of the current
// slot, which jitters on its own (real motion against motion of the scene).
#include "config/condseq.h"
#include "config/params.h"
#include "core/angles.h"
#include "core/eventlog.h"
#include "core/timer.h"
#include "core/xit.h"
#include "dots/dotfield.h"
#include "dots/pursuit.h"
#include "draw/drawimg.h"
#include "draw/tiffio.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr int MAXSIMUL = REALMOTSLOTS;
constexpr int EDGESTEPS = 6;  // jitter steps held still at each end of a slot
constexpr int MAXSTEPS = 60 * 3600;  // one hour a slot

enum Jitter { BGX, BGY, OBJX, OBJY, NJITTER };
static_assert(NJITTER == REALMOTJITTERS, "one jitter path per coordinate");

RealMotState realmot;

double slottime() { return 1.0 / std::fabs(static_cast<double>(par.polfreq)) / par.simulcnt; }

float uniform(float c) { return dotrand() * 2.0f * c - c; }

int targetgap(float u) {
  if (par.imtargprob == 0.0f) return 0;
  const double span = 60.0 / (par.imtargprob * std::fabs(static_cast<double>(par.polfreq))) - par.minfrms2nexttg;
  const double n = u * span + par.minfrms2nexttg;
  return n < 1.0 ? 1 : (n > 1.0e9 ? 1000000000 : static_cast<int>(n));
}

// New jitter for the background and the moving object over one slot, still
// at both ends so that a slot starts and ends at rest.
void makejitter(RealMotState& rm, double t) {
  const int S = rm.steps;
  for (int i = 0; i < S; i++)
    for (float* a : rm.jitter) a[i] = uniform(par.imjitt);
  for (float* a : rm.jitter) {
    for (int i = 0; i < EDGESTEPS && i < S; i++) a[i] = a[S - 1 - i] = 0.0f;
    smoothjitter(a, S);
  }
  rm.slotstart = t;
}

float phase(double t, float rate) {
  return static_cast<float>(std::fmod(std::fabs(static_cast<double>(par.polfreq)) * rate * t, 1.0));
}

void initring(RealMotState& rm, double t) {
  const int n = par.simulcnt;
  const double sign = par.polfreq < 0.0f ? -1.0 : 1.0;
  for (int j = 0; j < n; j++) {
    const double a = sign * j * TWOPI / n;
    rm.slotx[j] = static_cast<float>(par.maxrad * std::cos(a));
    rm.sloty[j] = static_cast<float>(par.maxrad * std::sin(a));
  }
  for (int k = 0; k < par.imcnt; k++) rm.order[k] = k;
  shuffle(rm.order, par.imcnt);
  for (int j = 0; j < n; j++) rm.slotobj[j] = rm.order[j];
  rm.newest = n - 1;
  rm.countdown = targetgap(dotrand());  // drawn whether or not targets are on
  rm.shown = 0;
  rm.targobj = -1;
  makejitter(rm, t);
  rm.newpaths = false;
  rm.lastslot = -1;
  rm.bg = 0;
  rm.lastimphase = phase(t, par.imspercyc);
  rm.lastbgphase = phase(t, par.bgspercyc);
}

// One frame of the target schedule. The target shows for imtargfrms frames
// from the frame its event is logged, so the log times what is seen.
void targetstep(RealMotState& rm) {
  if (par.imtargprob == 0.0f) return;
  if (rm.shown > 0) rm.shown--;
  if (rm.countdown > 0) rm.countdown--;
  if (rm.countdown > 0) return;
  rm.targdir = static_cast<int>(random() % 2);
  rm.countdown = targetgap(dotrand());
  rm.targobj = rm.slotobj[random() % par.simulcnt];
  rm.shown = par.imtargfrms;
  if (logging()) {
    if (par.imtargzoomorRG >= 1.0f)
      logevent("ImgZoomEvent: %7.3lf   targim=%d\n", logtime(), rm.targobj + par.bgcnt);
    else
      logevent("ImgColEvent: %7.3lf   targim=%d\n", logtime(), rm.targobj + par.bgcnt);
  }
}

void drawobject(const RealMotState& rm, int obj, float x, float y, float height) {
  const bool target = rm.shown > 0 && obj == rm.targobj;
  if (target && par.imtargzoomorRG >= 1.0f) height *= par.imtargzoomorRG;
  const bool tint = target && par.imtargzoomorRG < 1.0f;
  if (tint) {
    // A diagonal colour matrix: the pixel transfer scales do the same.
    const float v = par.imtargzoomorRG;
    glPixelTransferf(GL_RED_SCALE, rm.targdir ? 1.0f - v : 1.0f + v);
    glPixelTransferf(GL_GREEN_SCALE, rm.targdir ? 1.0f + v : 1.0f - v);
  }
  drawimg(obj + par.bgcnt, x, y, height, ANCHOR_CENTRE);
  if (tint) {
    glPixelTransferf(GL_RED_SCALE, 1.0f);
    glPixelTransferf(GL_GREEN_SCALE, 1.0f);
  }
}

}  // namespace

int realmotsteps() { return static_cast<int>(std::rint(60.0 * slottime())); }

void smoothjitter(float* a, int s) {
  for (int pass = 0; pass < 20; pass++)
    for (int i = 0; i + 2 < s; i++) a[i + 1] = (a[i] + a[i + 1] + a[i + 2]) / 3.0f;
}

void resetrealmot(RealMotState& s) { s.started = false; }

RealMotState& realmotstate() { return realmot; }

void drawrealmotpolimgs(double t) { drawrealmotpolimgs(realmot, t); }

void preparerealmot() {
  RealMotState& rm = realmot;
  if (tiffcnt < par.bgcnt + par.imcnt) fatal("vistrum: ### too few tiffs (%d) for bgcnt+imcnt\n", tiffcnt);
  if (par.bgcnt < 1 || par.imcnt < 1) fatal("vistrum: ### -bgcnt and -imcnt must be at least 1\n");
  if (par.simulcnt < 1 || par.simulcnt > MAXSIMUL || par.simulcnt > par.imcnt)
    fatal("vistrum: ### bad -simulcnt %d (OK:1-%d, at most -imcnt)\n", par.simulcnt, MAXSIMUL);
  if (par.polfreq == 0.0f) fatal("vistrum: ### -polperiod inf: the object ring needs a finite period\n");
  const double S = 60.0 * slottime();
  if (!(S >= 5.5) || S > MAXSTEPS)
    fatal("vistrum: ### object slot of %.3g s (-polperiod / -simulcnt): OK 0.1 s to 1 h\n", slottime());
  rm.steps = realmotsteps();
  for (float*& a : rm.jitter) {
    a = static_cast<float*>(std::calloc(rm.steps, sizeof(float)));
    if (!a) fatal("vistrum: ### malloc jitter paths failed\n");
  }
  rm.order = static_cast<int*>(std::calloc(par.imcnt, sizeof(int)));
  if (!rm.order) fatal("vistrum: ### malloc object order failed\n");
}

void drawrealmotpolimgs(RealMotState& rm, double t) {
  if (rm.order == nullptr) return;
  if (!rm.started) {
    initring(rm, t);
    rm.started = true;
  } else if (rm.newpaths) {
    makejitter(rm, t);
    rm.newpaths = false;
  }
  const int n = par.simulcnt;
  const float imph = phase(t, par.imspercyc);
  if (imph < rm.lastimphase) {  // the next object of the order replaces a random one
    rm.newest = (rm.newest + 1) % par.imcnt;
    rm.slotobj[random() % n] = rm.order[rm.newest];
  }
  rm.lastimphase = imph;
  targetstep(rm);
  const float bgph = phase(t, par.bgspercyc);
  if (bgph < rm.lastbgphase) rm.bg = (rm.bg + 1) % par.bgcnt;
  rm.lastbgphase = bgph;

  const int c = static_cast<int>(phase(t, 1.0f) * n) % n;
  if (rm.lastslot >= 0 && c != rm.lastslot) {
    rm.newpaths = true;
    if (logging()) logevent("RealMotEvent: %7.3lf   imend=%d imbeg=%d\n", logtime(), rm.lastslot + par.bgcnt, c + par.bgcnt);
  }
  rm.lastslot = c;
  const double f = (t - rm.slotstart) / slottime() * rm.steps;
  int step = static_cast<int>(std::rint(f));
  step = step < 0 ? 0 : (step > rm.steps - 1 ? rm.steps - 1 : step);

  const float bx = rm.jitter[BGX][step], by = rm.jitter[BGY][step];
  drawimg(rm.bg, bx, by, par.bgheight, ANCHOR_CENTRE);
  for (int j = 0; j < n; j++) {
    const bool own = j == c;
    const float jx = own ? rm.jitter[OBJX][step] : bx, jy = own ? rm.jitter[OBJY][step] : by;
    const int obj = rm.slotobj[j];
    drawobject(rm, obj, rm.slotx[j] + jx, rm.sloty[j] + jy, par.imheight);
    if (par.tworingflag)
      drawobject(rm, (obj + par.imcnt / 2) % par.imcnt, rm.slotx[j] / 2.0f + jx, rm.sloty[j] / 2.0f + jy,
                 par.imheight / 2.0f);
  }
  // The frame loop draws the fixation mark over it.
}
