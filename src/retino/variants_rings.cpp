// Several rings, and the ring plus wedge.
#include "retino/variants.h"

#include "config/params.h"
#include "core/runstate.h"
#include "draw/centre.h"
#include "draw/letters.h"
#include "draw/masks.h"
#include "draw/primitives.h"
#include "draw/ring.h"
#include "draw/wedge.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

void draweccpol(double t, int nrad, int ntheta, int nrad2, int ntheta2) {
  draweccen(t, nrad2, ntheta2, 0.0);
  drawpolar(t, nrad, ntheta, 1.0f, PLAINCOLS, 0.0f, 0.0f);
}

int ringgap(RingSpan inner, RingSpan ahead, float d, float minr, float maxr, float from[2], float to[2]) {
  const float span = maxr - minr;
  float start = inner.visible ? inner.rout + d : inner.rin;
  float end = ahead.visible ? ahead.rin - d : ahead.rin;
  // The ring ahead has wrapped past maxrad when its inner edge is not
  // beyond the other's (equal: a single ring, whose gap is the whole cycle).
  if (ahead.rin <= inner.rin) end += span;
  if (!(end > start) || !(span > 0.0f)) return 0;
  while (start >= maxr) {
    start -= span;
    end -= span;
  }
  int n = 0;
  auto add = [&](float a, float b) {
    if (a < minr) a = minr;
    if (b > maxr) b = maxr;
    if (b > a) {
      from[n] = a;
      to[n] = b;
      n++;
    }
  };
  add(start, end);
  if (end > maxr) add(minr, end - span);
  return n;
}

namespace {

// Time offset of ring j of cnt: the rings are spread evenly over one cycle.
double ringoffset(int j, int cnt) {
  if (par.eccfreq == 0.0f) return 0.0;  // a still ring has no cycle to spread over
  return std::fabs(static_cast<double>(j) / cnt / par.eccfreq);
}

RingSpan ringspan(double T) {
  const RingExtent e = ringextent(T);
  return {e.visible, e.r0, e.r1};
}

// Grey between the rings so that the dots show only inside them.
constexpr int MAXRINGGAPS = 2 * 20 + 1;  // -ecccnt is at most 20

// The annuli the mask paints between the rings (the whole of minrad..maxrad
// while every ring is blank); returns how many.
int ringgaps(double t, int cnt, float* from, float* to) {
  const float minr = par.minrad, maxr = par.maxrad;
  if (eccblank(t)) {  // every ring is blank: so is the dot field
    from[0] = minr, to[0] = maxr;
    return 1;
  }
  const float d = (par.rotdilextrafac - 1.0f) / 2.0f * par.eccwidth;
  const float base = expbase(minr, maxr);
  auto tr = [&](float r) { return par.exptransflag ? exptransblend(r, minr, base, par.expfrac) : r; };
  int n = 0;
  for (int j = 0; j < cnt && n + 2 <= MAXRINGGAPS; j++) {
    const RingSpan a = ringspan(t + ringoffset(j, cnt)), b = ringspan(t + ringoffset(j + 1, cnt));
    // Expanding rings run ahead of the ring before them; contracting ones behind.
    const RingSpan& inner = par.eccfreq < 0.0f ? b : a;
    const RingSpan& ahead = par.eccfreq < 0.0f ? a : b;
    float f[2], g[2];
    const int k = ringgap(inner, ahead, d, minr, maxr, f, g);
    for (int i = 0; i < k; i++) from[n] = tr(f[i]), to[n] = tr(g[i]), n++;
  }
  return n;
}

void maskbetweenrings(double t, int cnt) {
  float from[MAXRINGGAPS], to[MAXRINGGAPS];
  const int n = ringgaps(t, cnt, from, to);
  for (int k = 0; k < n; k++) drawmaskannulus(from[k], to[k]);
}

}  // namespace

bool ringsopening(double t, int cnt, MaskOpening* o) {
  *o = MaskOpening{};
  float from[MAXRINGGAPS], to[MAXRINGGAPS];
  const int n = ringgaps(t, cnt, from, to);
  // Sorted by inner radius (a handful: insertion sort), the open annuli are
  // what lies between them, on the gaps' own radii.
  for (int i = 1; i < n; i++)
    for (int k = i; k > 0 && from[k] < from[k - 1]; k--) std::swap(from[k], from[k - 1]), std::swap(to[k], to[k - 1]);
  float r = 0.0f;
  int pieces = 0;
  for (int i = 0; i <= n; i++) {
    const float next = i < n ? from[i] : maskopenreach();
    if (next > r) {
      if (++pieces > 8) return false;
      maskplanadd(o->open, r, next);
    }
    if (i < n) r = std::max(r, to[i]);
  }
  maskaddtrims(o->trim);
  return true;
}

void draweccens(double t, int nrad, int ntheta, int cnt, int lettflag, UnderLayer under) {
  if (cnt < 1) return;  // -ecccnt 0: no rings (and no dots without them)
  // The mask between the rings covers the rings' own edges too: the
  // opening goes in before them.
  MaskOpening open;
  const bool fits = under && ringsopening(t, cnt, &open);
  int pushed = pushstimcentre(t);
  const MaskSpan masks = under ? beginopening(fits ? &open : nullptr) : MaskSpan{};
  popstimcentre(pushed);
  for (int j = 0; j < cnt; j++) draweccen(t, nrad, ntheta, ringoffset(j, cnt));
  if (under) {
    under(t);
    pushed = pushstimcentre(t);
    if (!endopening(masks)) {
      const int opaque = opaquefillbegin();
      glColor3f(par.bgwingray, par.bgwingray, par.bgwingray);
      maskbetweenrings(t, cnt);
      drawmaskframe(par.rotdilextrafac);
      opaquefillend(opaque);
    }
    popstimcentre(pushed);
  }
  if (lettflag)
    for (int j = 0; j < cnt; j++) draweccletter(t, ringoffset(j, cnt));
}
