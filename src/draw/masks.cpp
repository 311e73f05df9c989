#include "draw/masks.h"

#include "config/params.h"
#include "core/benchlayers.h"
#include "core/runstate.h"
#include "core/stimulus.h"
#include "core/window.h"
#include "draw/primitives.h"
#include "draw/ring.h"
#include "draw/wedge.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

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
  // A widening factor below 1 must not pull the mask in from the window's
  // corners, where the masked layers would show.
  float outer = std::max(1.0f, std::fabs(fac)) * maxmask / run.currstimscale;
  if (mouseseen()) outer *= std::hypot(par.maxgrid + dsp.iwinxgl, par.maxgrid + dsp.iwinygl) / r;
  return outer;
}

namespace {

// The polar mask; as a stencil cover its sectors reach from the centre to
// past the window in a few triangles instead of a hundred slivers: only
// their straight edges border the opening (the rest lies under the centre
// disk and the outer band, or off the window), and those keep their lines.
MaskPlan polarplan(double t, bool cover) {
  MaskPlan p;
  const float e = maskwedgecentre(t), w = maskwedgewidth(), outer = maskouter(1.0f);
  constexpr float kFanStep = 45.0f;
  const float far = 1.1f * std::max(par.maxrad, outer) / std::cos(kFanStep / 2.0f / DEG);
  const auto sector = [&](float start, float sweep) {
    if (!cover) return add(p, par.minrad, par.maxrad, start, sweep);
    add(p, 0.0f, far, start, sweep, std::max(1, static_cast<int>(std::ceil(sweep / kFanStep))));
  };
  addcentre(p);
  if (par.polVvsHflag) {
    sector(90.0f - e + w / 2.0f, 180.0f - w);
    sector(270.0f - e + w / 2.0f, 180.0f - w);
  } else {
    sector(90.0f - e + w / 2.0f, 360.0f - w);
  }
  add(p, par.maxrad - 0.001f, outer);
  return p;
}

}  // namespace

MaskPlan polarmaskplan(double t) { return polarplan(t, false); }

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

namespace {

// The band painted at the outer edge: from the mask's own inner edge to a
// little past maxrad; the openings reach into it, not past it.
constexpr float kBand = 0.01f;
float openreach() { return par.maxrad + kBand / 2.0f; }

// A wedge opening from the centre into the band: its arcs lie under the
// painted pieces, so it needs only the mask's angular step (3.6 degrees),
// not a hundred long slivers each crossing the whole radius.
void addwedgeopening(MaskPlan& p, float start, float sweep) {
  add(p, 0.0f, openreach(), start, sweep, std::max(1, static_cast<int>(std::ceil(sweep / 3.6f))));
}

// The open ring between minrad and maxrad within the sector (start, sweep),
// the complement of addringcover's pieces on the same vertices.
void addringopening(MaskPlan& p, const MaskRing& ring, float start, float sweep) {
  if (ring.closed) return;
  if (ring.rin < ring.rout) {
    add(p, par.peripheccmask ? 0.0f : ring.rin, ring.rout, start, sweep);
  } else if (!par.peripheccmask) {
    add(p, 0.0f, ring.rout, start, sweep);
    add(p, ring.rin, openreach(), start, sweep);
  } else {
    add(p, 0.0f, openreach(), start, sweep);
  }
}

// The centre disk and the band at maxrad, painted over the opening's ends.
void addtrims(MaskPlan& p) {
  addcentre(p);
  add(p, par.maxrad - 0.001f, par.maxrad + kBand);
}

int stencilmasks = -1;    // decided at the first mask, once the window is open
unsigned activebits = 0;    // bits of the open spans
unsigned activecovers = 0;  // those of them holding covers
// Bits left set by closed spans (all of them until the first clear): the
// whole stencil is cleared at the next picture's first span.
unsigned dirtybits = 0xffu;
long dirtyframe = -1;       // the picture in which dirtybits were left

// A stencil bit no open span holds and none left set (0: none free).
unsigned takebit(unsigned taken) {
  if (dirtybits && dirtyframe != run.picturecnt && activebits == 0) {
    glStencilMask(0xffu);
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    dirtybits = 0;
  }
  for (unsigned b = 1u; b < 0x100u; b <<= 1)
    if (!((activebits | taken | dirtybits) & b)) return b;
  return 0;
}

// Sets stencil bit `bit` over the pieces.
void writebit(const MaskPlan& p, unsigned bit) {
  glStencilMask(bit);
  glStencilFunc(GL_ALWAYS, static_cast<GLint>(bit), bit);
  drawplan(p);
}

// Layers draw where every active opening bit is set and every active
// cover bit is clear.
void testactivebits() {
  glStencilMask(0u);
  glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
  if (activebits == 0) {
    glDisable(GL_STENCIL_TEST);
    return;
  }
  glEnable(GL_STENCIL_TEST);
  glStencilFunc(GL_EQUAL, static_cast<GLint>(activebits & ~activecovers), activebits);
}

// The share of the window an opening covers (its pieces' areas, each at
// most the window's): a wide opening is written into the stencil and
// zeroed again at more cost than painting the little the mask covers.
float openshare(const MaskPlan& p) {
  const float window = 4.0f * dsp.iwinxgl * dsp.iwinygl;
  const float scale = run.currstimscale * run.currstimscale;
  float a = 0.0f;
  for (int k = 0; k < p.count; k++) {
    const MaskPiece& m = p.piece[k];
    const float piece = static_cast<float>(M_PI) * (m.outer * m.outer - m.inner * m.inner) * m.sweep / 360.0f * scale;
    a += std::min(piece, window);
  }
  return window > 0.0f ? a / window : 1.0f;
}

// Slot i of a span holds the mask whose kind is bit i.
int kindindex(MaskKind k) { return k == kPolarMask ? 0 : k == kEccenMask ? 1 : k == kBothMask ? 2 : k == kCircMask ? 3 : 4; }

void paintmask(MaskKind k, double t) {
  if (k == kPolarMask) drawplan(polarmaskplan(t));
  if (k == kEccenMask) drawplan(eccenmaskplan(t));
  if (k == kBothMask) drawplan(bothmaskplan(t));
  if (k == kCircMask) drawplan(circmaskplan());
}

constexpr MaskKind kKinds[] = {kPolarMask, kEccenMask, kBothMask, kCircMask};

}  // namespace

MaskOpening maskopening(MaskKind kind, double t) {
  MaskOpening o;
  // Only the wedge's cover is cheaper than painting: a ring's or a disk's
  // edge is all arcs, and writing those into the stencil and testing the
  // layers against them cost the software rasteriser more than the paint.
  if (kind == kPolarMask) {
    o.covered = true;
    o.cover = polarplan(t, true);
  }
  if (kind == kCircMask) {
    float c = std::fabs(par.circwidth) / 2.0f;
    if (widened()) c *= par.rotdilextrafac;
    add(o.open, 0.0f, c);
    if (par.minrad != 0.0f) add(o.trim, 0.0f, std::fabs(par.minrad), 0.0f, 360.0f, 50);
    return o;
  }
  addtrims(o.trim);
  if (kind == kEccenMask) {
    addringopening(o.open, maskring(t, ringwidening()), 0.0f, 360.0f);
    return o;
  }
  const float e = maskwedgecentre(t), w = maskwedgewidth();
  if (kind == kBothMask) {
    // The ring shows where the mask's ring cover would lie: outside the wedge.
    if (360.0f - w > 0.0f) addringopening(o.open, maskring(t, ringwidening()), 90.0f - e + w / 2.0f, 360.0f - w);
    addwedgeopening(o.open, 90.0f - e - w / 2.0f, w);
    return o;
  }
  if (par.polVvsHflag && 180.0f - w > 0.0f) {
    addwedgeopening(o.open, 90.0f - e - w / 2.0f, w);
    addwedgeopening(o.open, 270.0f - e - w / 2.0f, w);
  } else if (!par.polVvsHflag && 360.0f - w > 0.0f) {
    addwedgeopening(o.open, 90.0f - e - w / 2.0f, w);
  } else {
    add(o.open, 0.0f, openreach());
  }
  return o;
}

namespace {

// Whether masks may go through the stencil now: the window has one, the
// painted masks were not asked for, and no furniture the loop drew under
// the stimulus (a painted mask covers it; it would show around an opening).
bool stencilusable() {
  if (stencilmasks < 0) {
    GLint sbits = 0;
    glGetIntegerv(GL_STENCIL_BITS, &sbits);
    const char* painted = std::getenv("VISTRUM_PAINTED_MASKS");
    stencilmasks = sbits >= 8 && !(painted && std::strcmp(painted, "1") == 0);
  }
  return stencilmasks && !((par.drawfixmeshflag && !par.fixmeshlastflag) || par.drawfixgridflag || par.drawfixdotsflag);
}

// Writes the span's openings (those of `kinds`, already in span.opening)
// into fresh stencil bits, or the covers of those too wide to write; leaves
// the span painted (bits 0) when a wide one has no cover or the bits run out.
void writeopenings(MaskSpan& span, unsigned kinds) {
  constexpr float kWideOpening = 0.3f;
  unsigned bits[kMaskSlots] = {}, taken = 0, covers = 0, coverslots = 0;
  for (int i = 0; i < kMaskSlots; i++) {
    if (!(kinds & (1u << i))) continue;
    const bool wide = openshare(span.opening[i].open) > kWideOpening;
    if (wide && !span.opening[i].covered) return;
    bits[i] = takebit(taken);
    if (!bits[i]) return;  // out of bits: paint them all at the end
    taken |= bits[i];
    if (wide) covers |= bits[i], coverslots |= 1u << i;
  }
  const int opaque = opaquefillbegin();
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glEnable(GL_STENCIL_TEST);
  glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
  for (int i = 0; i < kMaskSlots; i++) {
    if (!(kinds & (1u << i))) continue;
    writebit((covers & bits[i]) ? span.opening[i].cover : span.opening[i].open, bits[i]);
    span.bits |= bits[i];
  }
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  opaquefillend(opaque);
  span.coverslots = coverslots;
  activebits |= span.bits;
  activecovers |= covers;
  testactivebits();
}

// Closes the span's test and paints its trims; its bits stay set until the
// next picture's first span clears the whole stencil (a fast clear: drawing
// the openings again to zero them cost as much or more).
void closeopenings(const MaskSpan& span) {
  dirtybits |= span.bits;
  dirtyframe = run.picturecnt;
  activebits &= ~span.bits;
  activecovers &= ~span.bits;
  testactivebits();
  // A cover is the whole mask: it leaves nothing to trim.
  for (int i = 0; i < kMaskSlots; i++)
    if ((span.kinds & (1u << i)) && !(span.coverslots & (1u << i))) drawplan(span.opening[i].trim);
}

}  // namespace

MaskSpan beginmasks(double t, unsigned kinds) {
  MaskSpan span;
  span.kinds = layeron(kLayerMasks) ? kinds : 0u;
  if (!span.kinds || !stencilusable()) return span;
  for (MaskKind k : kKinds)
    if (span.kinds & k) span.opening[kindindex(k)] = maskopening(k, t);
  writeopenings(span, span.kinds);
  return span;
}

void endmasks(const MaskSpan& span, double t) {
  if (span.bits) return closeopenings(span);
  for (MaskKind k : kKinds)
    if (span.kinds & k) paintmask(k, t);
}

void maskaddtrims(MaskPlan& p) { addtrims(p); }
float maskopenreach() { return openreach(); }
void maskaddwedge(MaskPlan& p, float start, float sweep) { addwedgeopening(p, start, sweep); }

MaskSpan beginopening(const MaskOpening* opening) {
  MaskSpan span;
  span.kinds = layeron(kLayerMasks) ? kCustomMask : 0u;
  if (!span.kinds || !opening || !stencilusable()) return span;
  span.opening[kindindex(kCustomMask)] = *opening;
  writeopenings(span, span.kinds);
  return span;
}

bool endopening(const MaskSpan& span) {
  if (span.bits) closeopenings(span);
  return span.bits != 0 || !span.kinds;
}

void polarmask(double t) { paintmask(kPolarMask, t); }
void eccenmask(double t) { paintmask(kEccenMask, t); }
void bothmask(double t) { paintmask(kBothMask, t); }
void circmask(double t) { paintmask(kCircMask, t); }
