// Radial bars moving along the radius: the low-contrast moving-ring
// stimulus and the square-wave flicker ramp's pattern.
#include "retino/variants.h"

#include "config/params.h"
#include "core/runstate.h"
#include "draw/palette.h"
#include "draw/primitives.h"
#include "draw/ring.h"
#include "draw/wedge.h"

#include <GL/gl.h>

#include <cmath>

RingPieces spokebar(int j, double shift, float r0, float r1, float w, float D, float L) {
  const float span = r1 - r0;
  auto wrap = [&](double x) {
    double v = std::fmod(x - r0, static_cast<double>(span));
    if (v < 0.0) v += span;
    return static_cast<float>(v + r0);
  };
  float start, len;
  if (j % 2 == 1) {
    start = wrap((j + shift) * w + r0);
    len = D * w;
  } else {
    start = wrap((j - 1 + shift) * w + r0 + D * w);
    len = L * w;
  }
  return ringcheckpieces(start, start + len, r0, r1);
}

void drawrectspoke(double t, float r0, float r1, float a0, float a1, int nrad, int ntheta, int polarity, float dilfreq) {
  if (nrad < 2 || ntheta < 2 || !(r1 > r0)) return;
  const float w = (r1 - r0) / (nrad - 1);
  // A width ratio must be positive: anything else draws equal bars.
  const float ratio = par.light2dark > 0.0f ? par.light2dark : 1.0f;
  const float L = 2.0f / (1.0f + ratio), D = 2.0f - L;
  const float minr = par.minrad, base = expbase(minr, par.maxrad);
  auto tr = [&](float r) { return par.exptransflag ? exptrans(r, minr, base) : r; };
  const int opaque = opaquefillbegin();
  glBegin(GL_QUADS);
  for (int i = 0; i < ntheta - 1; i++) {
    const float A = a0 + (a1 - a0) * i / (ntheta - 1), B = a0 + (a1 - a0) * (i + 1) / (ntheta - 1);
    const float cA = std::cos(A), sA = std::sin(A), cB = std::cos(B), sB = std::sin(B);
    const int k = par.oppwedgewidth;
    const int s = k > 0 ? 2 * ((i / k) % 2) - 1 : 1;
    const double shift = s * dilfreq * t;
    for (int j = 0; j <= nrad; j++) {
      setchkcolor(i * (nrad + 1) + j, (j % 2) ^ (polarity ? 0 : 1), t);
      const RingPieces p = spokebar(j, shift, r0, r1, w, D, L);
      for (int m = 0; m < p.count; m++) drawsectorspan(tr(p.rin[m]), tr(p.rout[m]), A, B, cA, sA, cB, sB, 0.0f, true);
    }
  }
  glEnd();
  opaquefillend(opaque);
}

int lcmsmotion(double t) {
  const long long two = static_cast<long long>(par.twofreq * t);
  const bool odd = two % 2 != 0;
  if (par.twofreq >= 0.0f ? odd : !odd) return 0;
  return static_cast<long long>(par.flowfreq * t) % 2 == 1 ? -1 : 1;
}

void drawlcms1(VariantsState& s, double t) {
  if (!s.spokestarted) {
    makecolorsf(par.numrad + 1, par.numtheta, par.coltype);
    s.spokestarted = true;
  }
  float e = static_cast<float>(std::fmod(par.polfreq * t * 2.0 * M_PI, 2.0 * M_PI));
  if (par.centerpolflag) e -= par.polwidth / 2.0f;
  e += par.polstartoffset;
  if (par.wobbleflag)
    e += static_cast<float>(par.wobbleamp * (M_PI / 180.0) * std::sin(2.0 * M_PI * par.wobblefreq * t));
  const float dilfreq = par.dilfreq * static_cast<float>(lcmsmotion(t));
  drawrectspoke(t, par.minrad, par.maxrad, e, e + par.polwidth, par.numrad, par.numtheta, 0, dilfreq);
}
