#include "draw/ring.h"

#include "config/condseq.h"
#include "config/params.h"
#include "core/benchlayers.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/timer.h"
#include "core/window.h"
#include "draw/centre.h"
#include "draw/palette.h"
#include "draw/primitives.h"
#include "draw/targets.h"
#include "draw/wedge.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

float expbase(float minrad, float maxrad) { return std::pow(maxrad / minrad, 1.0f / (maxrad - minrad)); }

float exptrans(float r, float minrad, float base) {
  // At a zero inner radius the geometric spacing has no start: keep r, or
  // every check would become NaN and the board vanish without a word.
  if (!(minrad > 0.0f) || !std::isfinite(base)) return r;
  return minrad * std::pow(base, r - minrad);
}

float exptransblend(float r, float minrad, float base, float frac) {
  const float e = exptrans(r, minrad, base);
  return frac == 1.0f ? e : (1.0f - frac) * r + frac * e;
}

bool eccblank(double t) {
  if (par.offsperrun != 0 && std::fmod(par.offsperrun * std::fabs(par.runfreq) * t, 1.0) < par.offsfrac) return true;
  if (par.offspercyc != 0 && std::fmod(par.offspercyc * std::fabs(par.eccfreq) * t, 1.0) < par.offsfrac) return true;
  return false;
}

float eccinnerradius(double T) { return eccinnerradius(T, true); }

float eccinnerradius(double T, bool design) {
  const float minr = par.minrad, maxr = par.maxrad;
  const float span = maxr - minr;
  const float start = par.eccfreq > 0.0f ? minr : maxr;
  float r0 = start + static_cast<float>(std::fmod(par.eccfreq * T, 1.0)) * span;
  if (par.smoothwrapfrac != 0.0f) r0 = getsmootheccwrap(r0);
  if (par.ecc2condflag) {
    const bool even = static_cast<long long>(par.twofreq * T) % 2 == 0;
    const bool cent = par.twofreq > 0.0f ? even : !even;
    r0 = cent ? par.ecc2condcent : par.ecc2condperi;
  }
  if (par.ecc3condflag && design) r0 = getlogcentperioff(T);
  if (par.trbased != 0.0f) {
    const double tr = static_cast<long long>(T / par.trbased) * static_cast<double>(par.trbased);
    r0 = start + static_cast<float>(std::fmod(par.eccfreq * tr, 1.0)) * span;
  }
  if (par.skipeccwrapnogapflag) r0 = minr + (1.0f - par.eccwidth / span - 0.00001f) * (r0 - minr);
  return r0;
}

float geteccwidth(float r) {
  if (par.smoothwrapfrac == 0.0f || par.skipeccwrapflag || par.skipeccwrapnogapflag) return par.eccwidth;
  return (r * par.eccfracslope + par.eccfracmin) * par.eccwidth;
}

float getsmootheccwrap(float r) {
  const float minr = par.minrad, maxr = par.maxrad;
  const float f = maxr - (maxr - minr) * par.smoothwrapfrac;
  if (r > f && maxr > f) {
    const float h = std::tanh(SMOOTHWRAPSLOPE * (2.0f * (r - f) / (maxr - f) - 1.0f));
    return (f - (f - minr) * (h + 1.0f) / 2.0f - minr) * par.smoothwrapshri + minr;
  }
  return (r - minr) * par.smoothwrapshri + minr;
}

float eccwrapdim(double t) { return eccwrapdimfrom(t, par.minrad); }

float periphwrapdim(double t) { return eccwrapdimfrom(t, par.minrad2); }

float eccwrapdimfrom(double t, float minr) {
  const float maxr = par.maxrad;
  const float b0 = par.eccfreq > 0.0f ? minr : maxr;
  const float l = b0 + static_cast<float>(std::fmod(par.eccfreq * t, 1.0)) * (maxr - minr);
  const float h = maxr - (maxr - minr) * par.smoothwrapfrac;
  if (!(l > h) || !(maxr > h)) return 1.0f;
  const float q = std::cosh(SMOOTHWRAPSLOPE * (2.0f * (l - h) / (maxr - h) - 1.0f));
  return 1.0f - (1.0f - par.smoothwrapdim) / (q * q);
}

void setsmootheccwrapdimcolor(double t, float r, float g, float b) { setwrapdimcolor(t, eccwrapdim, r, g, b); }

int centperioffdraw(float proboffcond, float u) {
  if (proboffcond > u) return 0;
  if ((proboffcond + 1.0f) / 2.0f > u) return 1;
  return 2;
}

bool centperioffcanchange(float p, int cond) {
  const bool can[3] = {p > 0.0f, p > -1.0f && p < 1.0f, p < 1.0f};
  for (int e = 0; e < 3; e++)
    if (e != cond && can[e]) return true;
  return false;
}

void resetring(RingState& s) { s = RingState{}; }

RingState& ringstate() {
  static RingState s;
  return s;
}

float getlogcentperioff(double t) {
  static const char* const names[3] = {"off", "cent", "peri"};
  RingState& s = ringstate();
  int& cond = s.cond;
  float& lastblockphase = s.lastblockphase;
  if (!s.started) {
    if (logging())
      logevent("StimEvent: %8.3lf   off\n", logtime());
    else
      std::printf("vistrum ### no log w/randblock stimtype!!\n");
    s.started = true;
  }
  // Blocks have no direction: a negative -blockperiod gives blocks of its
  // length, as in every other block sequence.
  const float ph = blockphase(t, std::fabs(par.blockfreq));
  if (isnewblock(ph, lastblockphase)) {
    auto draw = [] { return centperioffdraw(par.proboffcond, static_cast<float>(random() * (1.0 / 2147483648.0))); };
    int e = draw();
    // A probability outside 0..1 can leave a single possible condition:
    // redraw only when another one can come, or the run would hang.
    if (par.stoprepeatsflag && centperioffcanchange(par.proboffcond, cond))
      while (e == cond) e = draw();
    cond = e;
    logevent("StimEvent: %8.3lf   %s\n", logtime(), names[cond]);
  }
  lastblockphase = ph;
  if (cond == 1) return par.ecc2condcent;
  if (cond == 2) return par.ecc2condperi;
  return 4.0f * dsp.iwinxgl;
}

RingPieces ringcheckpieces(float rin, float rout, float minrad, float maxrad) {
  RingPieces p{1, {rin, 0.0f}, {rout, 0.0f}};
  if (rin > maxrad) {
    if (rout > maxrad) {
      p.rin[0] -= maxrad - minrad;
      p.rout[0] -= maxrad - minrad;
    }
  } else if (rout > maxrad) {
    p.count = 2;
    p.rout[0] = maxrad;
    p.rin[1] = minrad;
    p.rout[1] = rout - maxrad + minrad;
  }
  return p;
}

RingExtent ringextent(double T) { return ringextent(T, par.twocondperiphdriver != 0); }

RingExtent ringextent(double T, bool periphery) {
  RingExtent e{true, eccinnerradius(T), 0.0f, par.minrad};
  e.r1 = e.r0 + geteccwidth(e.r0);
  if (par.skipeccwrapflag && e.r1 > par.maxrad) e.visible = false;
  if (e.visible && periphery) {
    e.r0 = par.minrad2;
    e.r1 = par.maxrad;
    const bool odd = static_cast<long long>(par.twofreq2 * T) % 2 != 0;
    if (par.twofreq2 >= 0.0f ? odd : !odd) e.visible = false;
    e.minrad = par.minrad2;  // the transform base follows the annulus
  }
  return e;
}

void draweccen(double t, int nrad, int ntheta, double toff) {
  draweccen(t, nrad, ntheta, toff, par.twocondperiphdriver != 0);
}

void draweccen(double t, int nrad, int ntheta, double toff, bool periphery) {
  if (!layeron(kLayerChecks)) return;
  int& lastflickerphase = ringstate().lastflickerphase;
  if (eccblank(t)) return;
  const RingExtent ext = ringextent(t + toff, periphery);
  if (!ext.visible) return;
  const float r0 = ext.r0, r1 = ext.r1;

  float a0 = 0.0f;
  if (par.wobbleflag)
    a0 = static_cast<float>(par.wobbleamp * (M_PI / 180.0) * std::sin(2.0 * M_PI * par.wobblefreq * t));
  if (par.oritargprob != 0.0f) a0 += static_cast<float>(M_PI / 180.0) * getunipoljerk();
  const float a1 = a0 + 6.2831855f;

  const int sf = flickersign(t);
  if (sf != lastflickerphase || chkcols == nullptr || chkcolsfilled() < nrad * ntheta)
    makecolorsf(nrad, ntheta, par.coltype);
  lastflickerphase = sf;

  // The wrap, the transform and the return dimming start at the annulus's own inner limit.
  const float minr = ext.minrad, maxr = par.maxrad;
  float (*const dimof)(double) = periphery ? periphwrapdim : eccwrapdim;
  const float base = expbase(minr, maxr);
  auto transform = [&](float r) { return par.exptransflag ? exptransblend(r, minr, base, par.expfrac) : r; };
  const int pushed = pushstimcentre(t);
  const int opaque = opaquefillbegin();
  for (int i = 0; i < ntheta - 1; i++) {
    const float A = a0 + (a1 - a0) * i / (ntheta - 1);
    const float B = a0 + (a1 - a0) * (i + 1) / (ntheta - 1);
    const float cA = std::cos(A), sA = std::sin(A), cB = std::cos(B), sB = std::sin(B);
    for (int j = 0; j < nrad - 1; j++) {
      const float rin = r0 + (r1 - r0) * j / (nrad - 1);
      const float rout = r0 + (r1 - r0) * (j + 1) / (nrad - 1);
      const int c = i * nrad + j;
      const int s = checkparity(i, j, sf);
      const RingPieces p = ringcheckpieces(rin, rout, minr, maxr);
      for (int k = 0; k < p.count; k++) {
        setchkcolor(c, s, t, dimof);
        drawsectorspan(transform(p.rin[k]), transform(p.rout[k]), A, B, cA, sA, cB, sB);
      }
    }
  }
  opaquefillend(opaque);
  popstimcentre(pushed);
}
