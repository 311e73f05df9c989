#include "draw/wedge.h"

#include "config/params.h"
#include "core/angles.h"
#include "core/benchlayers.h"
#include "core/runstate.h"
#include "core/stimulus.h"
#include "core/xit.h"
#include "draw/centre.h"
#include "draw/palette.h"
#include "draw/primitives.h"
#include "draw/ring.h"
#include "draw/targets.h"

#include <GL/gl.h>

#include <cmath>

float truncmaxrad = 4.0f;

namespace {


// Whether the last fill holds the n entries a wedge reads; the right-eye
// half is only where the wedge looks for it when that fill had exactly n.
bool palettecovers(int wctype, int n) {
  if (chkcols == nullptr) return false;
  return wctype == SECONDCOLS ? chkcolsfilled() == n : chkcolsfilled() >= n;
}

}  // namespace

int hemiblock(double t) { return static_cast<int>(par.blockfreq * t) % 2; }

float polarstartangle(double t, float freqmul, float phaseoff) {
  return polarstartangle(t, freqmul, phaseoff, par.polwidth);
}

float polarstartangle(double t, float freqmul, float phaseoff, float width) {
  float th0 = static_cast<float>(std::fmod(freqmul * par.polfreq * t * TWOPI, TWOPI));
  if (par.ipsirange != 0.0f) th0 = getpolipsith0(t);
  if (par.polRvsLflag) {
    const int b = hemiblock(t);
    if (par.blockfreq >= 0.0f)
      th0 = b == 0 ? 0.0f : static_cast<float>(M_PI);
    else
      th0 = b == 0 ? static_cast<float>(M_PI) : 0.0f;
  }
  if (par.polVvsHflag) {
    const int b = hemiblock(t);
    if (par.blockfreq >= 0.0f)
      th0 = b == 0 ? static_cast<float>(M_PI / 2.0) : 0.0f;
    else
      th0 = b == 0 ? 0.0f : static_cast<float>(M_PI / 2.0);
  }
  if (par.trbased != 0.0f) {
    const double tr = static_cast<int>(t / par.trbased) * static_cast<double>(par.trbased);
    th0 = static_cast<float>(std::fmod(freqmul * par.polfreq * tr * TWOPI, TWOPI));
  }
  th0 += phaseoff;
  if (par.centerpolflag) th0 -= width / 2.0f;
  if (par.wobbleflag)
    th0 += static_cast<float>(par.wobbleamp * (M_PI / 180.0) * std::sin(TWOPI * par.wobblefreq * t));
  return th0;
}

int flickersign(double t) {
  return static_cast<long long>(std::fabs(par.flickerfreq * t)) % 2 == 1 ? 1 : -1;
}

Dilation dilation(double t) {
  // Phase and half-cycle counted from the floor, not by truncation: for a
  // contracting board (negative rate) a truncated phase would leave the
  // outer slot short of maxrad, and a truncated count would never flip the
  // parity, so the checks would jump colour at every wrap of the phase.
  const double d = par.dilfreq * t;
  double whole = std::floor(d);
  Dilation dl;
  dl.phase = static_cast<float>(d - whole);
  if (dl.phase >= 1.0f) {  // float rounding just below a whole number
    dl.phase = 0.0f;
    whole += 1.0;
  }
  const long long odd = static_cast<long long>(whole) % 2;
  dl.sign = odd != 0 ? 1 : -1;
  return dl;
}

Radii wedgeslot(int j, int nrad, float phase) { return wedgeslot(j, nrad, phase, expbase(par.minrad, par.maxrad)); }

Radii wedgeslot(int j, int nrad, float phase, float base) {
  const float minr = par.minrad, maxr = par.maxrad;
  const float w = (maxr - minr) / static_cast<float>(nrad - 1);
  auto clamp = [&](float r) { return r < minr ? minr : (r > maxr ? maxr : r); };
  Radii r{clamp((j - 1 + phase) * w + minr), clamp((j + phase) * w + minr)};
  if (par.exptransflag) {
    r.rin = exptrans(r.rin, minr, base);
    r.rout = exptrans(r.rout, minr, base);
  }
  return r;
}

int checkparity(int i, int j, int p) { return (2 * (j % 2) - 1) * (2 * (i % 2) - 1) * p; }

int wedgecolourindex(int wctype, int i, int j, int nrad, int ntheta, int k) {
  const int n = nrad * ntheta;
  const int idx = i * nrad + j;
  if (wctype == SHIFTCOLS) {
    int s = idx + 4 * k;
    while (s >= n && n > 0) s -= n;
    return s;
  }
  if (wctype == SECONDCOLS) return n + idx;
  return idx;
}

float wedgedispshift(float disp, float rin) {
  const float base = expbase(par.minrad, par.maxrad);
  if (!par.taperdispflag || !std::isfinite(base)) return disp / 2.0f;  // no taper without a geometric start
  return disp / 2.0f *
         (par.maxrad - par.minrad * std::pow(par.stereocent * base, par.maxrad - par.stereosteep * rin - par.minrad));
}

namespace {
bool ringwrapdim = false;  // set once at start-up from the type's row
}  // namespace

void setringwrapdim(bool on) { ringwrapdim = on; }

int smoothwraptype() {
  if (ringwrapdim) return 1;
  return par.ipsirange != 0.0f ? 2 : 0;
}

void setchkcolor(int index, int sign, double t, float (*ringdim)(double)) {
  const float* e = chkcols + 6 * index + (sign >= 1 ? 0 : 3);
  if (par.smoothwrapdim < 1.0f) {
    const int type = smoothwraptype();
    if (type == 1) return setwrapdimcolor(t, ringdim != nullptr ? ringdim : eccwrapdim, e[0], e[1], e[2]);
    if (type == 2) return setsmoothpolipsiwrapdimcolor(t, e[0], e[1], e[2]);
  }
  glColor3f(e[0], e[1], e[2]);
}

float getsmoothpolipsiwrap(float a) {
  const float R = std::fabs(par.ipsirange), f = par.smoothwrapfrac;
  float d = std::fabs(a);
  const float h = (1.0f - f) * R;
  if (d > h && R > h)
    d = h - h * (std::tanh(SMOOTHWRAPSLOPE * (2.0f * (d - h) / (R - h) - 1.0f)) + 1.0f) / 2.0f;
  const float res = d + f * R / 2.0f;
  return a < 0.0f ? -res : res;
}

float getpolipsith0(double t) {
  const float R = std::fabs(par.ipsirange);
  float e = static_cast<float>(std::fmod(par.polfreq * t * R, static_cast<double>(R)));
  if (par.smoothwrapfrac != 0.0f) e = getsmoothpolipsiwrap(e);
  const float l = par.polfreq > 0.0f ? e - R / 2.0f : e + R / 2.0f;
  return par.ipsirange > 0.0f ? static_cast<float>(M_PI) + l : -l;
}

float polipsiwrapdim(double t) {
  const float R = std::fabs(par.ipsirange), f = par.smoothwrapfrac;
  const float l = std::fabs(static_cast<float>(std::fmod(par.polfreq * t * R, static_cast<double>(R))));
  const float m = (1.0f - f) * R;
  if (!(l > m) || !(R > m)) return 1.0f;
  const float q = std::cosh(SMOOTHWRAPSLOPE * (2.0f * (l - m) / (R - m) - 1.0f));
  return 1.0f - (1.0f - par.smoothwrapdim) / (q * q);
}

void resetwedge(WedgeState& s) {
  const bool drawn = s.drawn;
  s = WedgeState{};
  if (drawn) s.lastflickerphase = 0;
}

bool wedgepalettestale(const WedgeState& s, int sf) { return sf != s.lastflickerphase; }

WedgeState& wedgestate() {
  static WedgeState s;
  return s;
}

void setwrapdimcolor(double t, float (*dimof)(double), float r, float g, float b) {
  // Once per frame: every check of the frame shares the same factor.
  WedgeState& s = wedgestate();
  double& lastt = s.dimt;
  float (*&lastdimof)(double) = s.dimof;
  float& dim = s.dim;
  float& grey = s.dimgrey;
  if (t != lastt || dimof != lastdimof) {
    dim = dimof(t);
    grey = (1.0f - dim) * par.bgwingray;
    lastt = t;
    lastdimof = dimof;
  }
  glColor3f(dim * r + grey, dim * g + grey, dim * b + grey);
}

void setsmoothpolipsiwrapdimcolor(double t, float r, float g, float b) {
  setwrapdimcolor(t, polipsiwrapdim, r, g, b);
}

void drawpolar(double t, int nrad, int ntheta, float freqmul, int wctype, float disp, float phaseoff,
               const WedgeShape* shape) {
  if (!layeron(kLayerChecks)) return;
  WedgeState& ws = wedgestate();
  static const WedgeShape wholewedge;
  const WedgeShape& sh = shape != nullptr ? *shape : wholewedge;
  if (wctype == SECONDCOLS) {
    if (!stimneeds(par.stimtype, kEyePairPalette)) fatal("vistrum: ### drawpol:bad wctype\n");
    if (chkcols == nullptr) fatal("vistrum: ### drawpolar: wctype=SECONDCOLS can't be 1st\n");
  }
  if (ntheta <= 1 || nrad <= 1) return;
  const int n = nrad * ntheta;

  const int pushed = pushstimcentre(t, sh.centre);
  const float width = sh.fullcircle ? FULLCIRCLE : par.polwidth;
  float th0 = sh.fixedstart ? sh.start : polarstartangle(t, freqmul, phaseoff, width);
  if (sh.targets && !sh.fixedstart && par.oritargprob != 0.0f) th0 += static_cast<float>(M_PI / 180.0) * getunipoljerk();
  const float th1 = th0 + width;

  const int k = sh.shift;

  const int sf = flickersign(t);
  // Also refill when the table is smaller than this wedge reads, so a caller
  // with other edge counts than the start-up fill never reads past its end.
  const int coltype = sh.coltype == RUNCOLTYPE ? par.coltype : sh.coltype;
  if (wctype != SECONDCOLS && (wedgepalettestale(ws, sf) || !palettecovers(wctype, n)))
    makecolorsf(nrad, ntheta, coltype);
  ws.lastflickerphase = sf;
  ws.drawn = true;
  if (wctype == SECONDCOLS && !palettecovers(wctype, n)) makecolorsf(nrad, ntheta, coltype);

  const Dilation dl = dilation(t);
  const int p = sf * dl.sign;
  const float W = th1 - th0;
  const float base = expbase(par.minrad, par.maxrad);
  const int opaque = opaquefillbegin();
  int index = 0;
  glBegin(GL_QUADS);  // one batch for the board: a begin/end per check costs a software renderer more
  for (int i = 0; i < ntheta - 1; i++) {
    if (sh.columns != nullptr && sh.columns[i] == 0) continue;
    const float a = th0 + W * i / (ntheta - 1);
    const float b = th0 + W * (i + 1) / (ntheta - 1);
    const float ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
    for (int j = 0; j < nrad; j++) {
      index = wedgecolourindex(wctype, i, j, nrad, ntheta, k);
      setchkcolor(index, checkparity(i, j, p), t);
      if (sh.truncate && j >= par.truncnumrad) continue;
      const Radii r = wedgeslot(j, nrad, dl.phase, base);
      truncmaxrad = r.rout;
      drawsectorspan(r.rin, r.rout, a, b, ca, sa, cb, sb, disp != 0.0f ? wedgedispshift(disp, r.rin) : 0.0f, true);
    }
  }
  glEnd();
  opaquefillend(opaque);
  if (sh.targets && par.chktargprob != 0.0f) getdrawpolchktarg(index, th0, th1, par.polfreq, width);
  popstimcentre(pushed);
}
