#include "draw/targets.h"

#include "config/params.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/timer.h"
#include "draw/palette.h"
#include "draw/primitives.h"
#include "draw/ring.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>

namespace {

float uniform() { return static_cast<float>(random() * (1.0 / 2147483648.0)); }

// True for the first call of a generator in this picture (it steps then).
bool newpicture(long& stamp) {
  if (stamp == run.picturecnt) return false;
  stamp = run.picturecnt;
  return true;
}

}  // namespace

int targetgap(int minframes, float rate, float cyclerate, float u) {
  const double cycle = std::fabs(static_cast<double>(rate) * cyclerate);
  double gap = minframes;
  if (cycle > 0.0) gap = minframes + u * (60.0 / cycle - minframes);
  if (!(gap < 2147483647.0)) gap = 2147483647.0;  // a vanishing rate: practically never
  const int g = static_cast<int>(gap);
  return g < 1 ? 1 : g;
}

bool targetdue(TargetClock& c, float rate, float cyclerate) {
  if (c.gap > 0) return false;
  c.gap = targetgap(par.minfrms2nexttg, rate, cyclerate, uniform());
  c.dur = par.targframes;
  return true;
}

int targettick(TargetClock& c) {
  c.gap--;
  const int k = c.dur;
  if (c.dur > 0) c.dur--;
  return k;
}

void resettargets(TargetState& s) { s = TargetState{}; }

TargetState& targetstate() {
  static TargetState s;
  return s;
}

float getunipoljerk() {
  TargetState& s = targetstate();
  if (par.oritargprob == 0.0f) return 0.0f;
  if (!newpicture(s.polpicture)) return s.polnow;
  if (targetdue(s.pol, par.oritargprob, par.polfreq)) {
    s.poloffset = (random() & 1) ? par.oritargoff : -par.oritargoff;
    logevent("OriEvent: %9.3lf   %2.1f deg\n", logtime(), s.poloffset);
  }
  s.polnow = targettick(s.pol) > 0 ? s.poloffset : 0.0f;
  return s.polnow;
}

void get4orijerk(double out[4]) {
  TargetState& s = targetstate();
  int& framecnt = s.quadframes;
  double& lastjoff = s.quadlast;
  int& randorijerkquad = s.quad;
  for (int q = 0; q < 4; q++) out[q] = 0.0;
  if (par.oritargprob == 0.0f) return;
  if (!newpicture(s.quadpicture)) {
    for (int q = 0; q < 4; q++) out[q] = s.quadnow[q];
    return;
  }
  auto put = [&](double v) {
    if (par.oritargquad >= 0 && par.oritargquad <= 3)
      out[par.oritargquad] = v;
    else if (par.oritargquad == -1)
      for (int q = 0; q < 4; q++) out[q] = v;
    else
      out[randorijerkquad] = v;
  };
  if (framecnt == 1) {
    const double c = (random() & 1) ? par.oritargoff / 360.0 : -par.oritargoff / 360.0;
    randorijerkquad = static_cast<int>(random() % 4);
    put(c);
    lastjoff = c;
  }
  if (framecnt <= 0) {
    // At least two calls, so the jerk of the next gap is always undone.
    const int g = targetgap(par.minfrms2nexttg, par.oritargprob, par.polfreq, uniform());
    framecnt = g < 2 ? 2 : g;
    put(-lastjoff);
    logevent("ShiftEvent: %7.3lf   %2.1f deg\n", logtime(), par.oritargoff);
  }
  framecnt--;
  for (int q = 0; q < 4; q++) s.quadnow[q] = out[q];
}

float dispbumpvalue(float maxbump, int k, int frames) {
  if (k <= 0 || frames <= 0) return 0.0f;
  return maxbump * static_cast<float>(1.0 - std::cos(2.0 * M_PI * k / frames)) / 2.0f;
}

float getunidispbump() {
  TargetState& s = targetstate();
  if (par.disptargprob == 0.0f) return 0.0f;
  if (!newpicture(s.disppicture)) return s.dispnow;
  if (targetdue(s.disp, par.disptargprob, par.stereofreq)) {
    s.maxbump = (random() & 1) ? par.disptargoff : -par.disptargoff;
    logevent("DispEvent: %8.3lf   %2.1f\n", logtime(), s.maxbump);
  }
  s.dispnow = dispbumpvalue(s.maxbump, targettick(s.disp), par.targframes);
  return s.dispnow;
}

float getunisfjerk() {
  TargetState& s = targetstate();
  if (par.sftargprob == 0.0f) return 1.0f;
  if (!newpicture(s.sfpicture)) return s.sfnow;
  if (targetdue(s.sf, par.sftargprob, par.polfreq)) {
    s.sfmultiplier = (random() & 1) ? par.sftargmult : 1.0f / par.sftargmult;
    logevent("SfChgEvent: %9.3lf   x%2.1f\n", logtime(), s.sfmultiplier);
  }
  s.sfnow = targettick(s.sf) > 0 ? s.sfmultiplier : 1.0f;
  return s.sfnow;
}

ChkTarg chktargpatch(float u, const float* entry) {
  const float minr = par.minrad, maxr = par.maxrad;
  const float rc = 2.0f * minr + u * (0.9f * maxr - 2.0f * minr);
  const float hh = par.chktargfac * 0.5f * (maxr - minr) / static_cast<float>(par.numrad);
  ChkTarg c{rc - hh, rc + hh, 0.5f, 0.5f, 0.5f};
  if (par.exptransflag) {
    const float a = expbase(minr, maxr);
    c.r0 = exptrans(c.r0, minr, a);
    c.r1 = exptrans(c.r1, minr, a);
  }
  if (entry != nullptr) {
    c.r = (entry[0] + entry[3]) / 2.0f;
    c.g = (entry[1] + entry[4]) / 2.0f;
    c.b = (entry[2] + entry[5]) / 2.0f;
  }
  return c;
}

float chktarghalfangle() { return chktarghalfangle(par.polwidth); }

float chktarghalfangle(float width) {
  const int checks = par.numtheta > 1 ? par.numtheta - 1 : 1;
  return par.chktargfac * 0.5f * width / static_cast<float>(checks);
}

void getdrawpolchktarg(int index, float th0, float th1, float freq, float width) {
  TargetState& s = targetstate();
  TargetClock& clock = s.chk;
  ChkTarg& patch = s.patch;
  if (par.chktargprob == 0.0f) return;
  if (newpicture(s.chkpicture)) {
    if (targetdue(clock, par.chktargprob, freq)) {
      const float u = uniform();
      patch = chktargpatch(u, chkcols != nullptr && index >= 0 ? chkcols + 6 * index : nullptr);
      logevent("ChkEvent: %9.3lf   r=%2.3f\n", logtime(), (patch.r1 - patch.r0) / 2.0f);
    }
    s.chkon = targettick(clock) > 0;
  }
  // Every wedge of the picture shows the patch, each inside its own angles.
  if (!s.chkon) return;
  const float m = (th0 + th1) / 2.0f, h = chktarghalfangle(width);
  glColor3f(patch.r, patch.g, patch.b);
  drawsector(patch.r0, patch.r1, m - h, m + h);
}
