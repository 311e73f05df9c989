#include "dots/pursuit.h"

#include "config/condseq.h"
#include "config/params.h"
#include "core/angles.h"
#include "core/mouse.h"
#include "core/runstate.h"
#include "core/window.h"
#include "core/xit.h"
#include "dots/dotfield.h"
#include "draw/centre.h"
#include "draw/drawimg.h"
#include "draw/fixation.h"
#include "draw/masks.h"
#include "draw/palette.h"
#include "draw/primitives.h"
#include "draw/tiffio.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr float RAD2DEG = static_cast<float>(180.0 / M_PI);
// Bounds that keep the start-up allocations and the per-sweep work sane.
constexpr int MAXSWEEPSPERBLOCK = 100000;
constexpr int MAXGRIDSIZE = 1001;

// The dots of these types sit still in the square +-maxrad; only the view
// of them moves.
void placesquaredots(int count) {
  const float m = par.maxrad;
  for (int j = 0; j < count; j++) {
    dotx[j] = dotrand() * 2.0f * m - m;
    doty[j] = dotrand() * 2.0f * m - m;
  }
}

int dotsheld(int ndots) {
  const int have = dotcount();
  return ndots < have ? ndots : (have > 0 ? have : 0);
}

// The round window of the wander and pursuit types, open out to
// circwidth/2 around (cx, cy) (a null window: everything is drawn).
struct DotWindow {
  bool on;
  float cx, cy, reach;
};

// Half the diagonal of a dot square: how far a dot reaches past its centre.
float dotreach() { return std::fabs(par.dotsize) * 0.7072f; }

DotWindow roundwindow(float cx, float cy) { return DotWindow{true, cx, cy, std::fabs(par.circwidth) / 2.0f + dotreach()}; }

// A dot of side dotsize at (x, y) moved by (sx, sy) and wrapped into the
// square, unless it lies wholly outside the window; then, with wiggle, the
// stored position takes this frame's Brownian step (the frame shows the
// position before it).
void drawshifteddot(int j, float sx, float sy, bool wiggle, const DotWindow& w) {
  const float m = par.maxrad;
  const float x = wrapsquare(dotx[j] + sx, m), y = wrapsquare(doty[j] + sy, m);
  if (!w.on || std::hypot(x - w.cx, y - w.cy) < w.reach) drawdotquad(x, y, par.dotsize / 2.0f, nullptr);
  if (wiggle) {
    const float a = par.wiggledotamp;
    dotx[j] = wrapsquare(dotx[j] + dotrand() * 2.0f * a - a, m);
    doty[j] = wrapsquare(doty[j] + dotrand() * 2.0f * a - a, m);
  }
}

// The cover of the window: open out to circwidth/2, a small disk at the
// centre. With the dots wholly outside left undrawn, a thin ring that trims
// the dots reaching across the edge hides all the full cover would (whose
// fill, the whole window, would cost the software renderer more than all the
// dots); without that culling the cover reaches far enough out to hide the
// whole dot square from any centre.
MaskPlan aperturemask(bool culled) {
  MaskPlan p;
  const float a = std::fabs(par.circwidth) / 2.0f;
  const float M = std::sqrt(2.0f) * (par.maxgrid + par.maxrad + par.dotsize);
  maskplanadd(p, a, culled ? a + 2.0f * dotreach() + 0.002f : M / run.currstimscale);
  if (par.minrad != 0.0f) maskplanadd(p, 0.0f, std::fabs(par.minrad), 0.0f, 360.0f, 50);
  return p;
}

// A fixation mesh or grid drawn before the stimulus would show through
// wherever a trimmed cover leaves the background: then the whole cover.
bool furniturebehind() {
  return (par.drawfixmeshflag && !par.fixmeshlastflag) || par.drawfixgridflag || par.drawfixdotsflag;
}

void drawaperture(float cx, float cy) {
  const MaskPlan plan = aperturemask(!furniturebehind());
  glPushMatrix();
  glTranslatef(cx, cy, 0.0f);
  drawmaskplan(plan);
  glPopMatrix();
}

// The open wedge of the wobbling field: from angle a1 over w radians.
struct OpenWedge {
  bool on;
  float a1, w;
  float u1x, u1y, u2x, u2y;  // directions of its two edges
};

OpenWedge openwedge(double t) {
  float start, sweep;
  wobblewedgecover(t, &start, &sweep);
  if (!(par.polwidth >= 0.0f) || !(sweep > 0.0f)) return OpenWedge{false, 0, 0, 0, 0, 0, 0};
  const float d2r = static_cast<float>(M_PI / 180.0);
  const float a1 = (90.0f - start) * d2r, w = (360.0f - sweep) * d2r;
  return OpenWedge{true, a1, w, std::cos(a1), std::sin(a1), std::cos(a1 + w), std::sin(a1 + w)};
}

// Whether a dot at (x, y) reaching m past its centre can show in the wedge.
bool nearwedge(const OpenWedge& k, float x, float y, float m) {
  float d = std::fmod(std::atan2(y, x) - k.a1, static_cast<float>(TWOPI));
  if (d < 0.0f) d += static_cast<float>(TWOPI);
  if (d <= k.w) return true;
  const float ux[2] = {k.u1x, k.u2x}, uy[2] = {k.u1y, k.u2y};
  for (int e = 0; e < 2; e++) {
    const float along = x * ux[e] + y * uy[e];
    const float dist = along <= 0.0f ? std::hypot(x, y) : std::fabs(x * uy[e] - y * ux[e]);
    if (dist < m) return true;
  }
  return false;
}

// The cover outside the wedge, where it can hide anything: the dots that
// cannot show in the wedge are not drawn, so two thin bands along the edges
// and the cover's part near the centre trim the rest exactly as the whole
// cover would (whose fill would cost the software renderer more than all
// the dots).
void drawwedgetrim(const OpenWedge& k, double t, float m) {
  float start, sweep;
  wobblewedgecover(t, &start, &sweep);
  MaskPlan plan;
  maskplanadd(plan, 0.0f, par.minrad);
  maskplanadd(plan, par.minrad, std::min(par.minrad + 3.0f * m, par.maxrad + par.dotsize), start, sweep);
  drawmaskplan(plan);
  const float R = par.maxrad + par.dotsize, W = 2.0f * m + 0.002f;
  const float n1x = k.u1y, n1y = -k.u1x, n2x = -k.u2y, n2y = k.u2x;  // away from the opening
  const int opaque = opaquefillbegin();
  glColor3f(par.bgwingray, par.bgwingray, par.bgwingray);
  drawquadvrt(0.0f, 0.0f, R * k.u1x, R * k.u1y, R * k.u1x + W * n1x, R * k.u1y + W * n1y, W * n1x, W * n1y);
  drawquadvrt(0.0f, 0.0f, W * n2x, W * n2y, R * k.u2x + W * n2x, R * k.u2y + W * n2y, R * k.u2x, R * k.u2y);
  opaquefillend(opaque);
}

// The centre and the random stops in between.
void drawstops(PursuitPath& p) {
  const float m = par.maxgrid;
  p.x[0] = p.y[0] = 0.0f;
  for (int k = 1; k < p.n - 1; k++) {
    p.x[k] = dotrand() * 2.0f * m - m;
    p.y[k] = dotrand() * 2.0f * m - m;
  }
  p.x[p.n - 1] = p.y[p.n - 1] = 0.0f;
}

PursuitState pursuit;

void pursuitreset(PursuitPath& p) {
  for (int k = 0; k < p.n; k++) p.x[k] = p.y[k] = 0.0f;
  p.lastk = -1;
  p.drawnblock = -1;
  p.index = 1;
  p.pair = -2;
}

}  // namespace

float wrapsquare(float v, float m) {
  if (!(m > 0.0f)) return 0.0f;
  if (!std::isfinite(v)) return v;
  const float w = 2.0f * m;
  if (v > m || v < -m) {
    v = std::fmod(v + m, w);
    v += v < 0.0f ? m : -m;
    if (v > m) v -= w;  // rounding at the edge
  }
  return v;
}

void wobbleoffset(double t, float* ox, float* oy) {
  float a = static_cast<float>(std::fmod(TWOPI * par.wobblefreq * t, TWOPI));
  if (par.wobblefreq < 0.0f) a += static_cast<float>(M_PI);
  const float amp = par.wobbleamp * par.maxrad;
  float x = amp * std::sin(a), y = -amp * std::cos(a);
  if (par.wobbleedgeflag) {
    const float s = std::sin(a * par.wobbleedgefreq);
    x += y * par.wobbleedgeamp * s;
    y -= x * par.wobbleedgeamp * s;
  }
  *ox = x;
  *oy = y;
}

void wobblewedgecover(double t, float* start, float* sweep) {
  const float e = static_cast<float>(std::fmod(360.0 * par.polfreq * t, 360.0));
  const float w = par.polwidth * RAD2DEG;
  *start = 90.0f - e + w / 2.0f;
  *sweep = 360.0f - w;
}

Sweep sweepat(double t, double freq) {
  const double x = std::fabs(freq) * t;
  const double k = std::floor(x);
  return Sweep{static_cast<long long>(k), static_cast<float>(TWOPI * (x - k))};
}

long long pursuitblock(long long k) {
  const long long f = par.flowsperblock > 0 ? par.flowsperblock : 1;
  return k >= 0 ? k / f : -((-k + f - 1) / f);
}

bool pursuitplayback(long long block) {
  const bool odd = block % 2 != 0;
  return par.twofreq >= 0.0f ? odd : !odd;
}

bool pursuitstep(PursuitPath& p, double t, float* px, float* py, float* theta) {
  const int f = par.flowsperblock > 0 ? par.flowsperblock : 1;
  // The sweeps and the blocks come from one count, so a block boundary can
  // never fall between a sweep's start and the block that owns it.
  const Sweep s = sweepat(t, static_cast<double>(f) * std::fabs(static_cast<double>(par.twofreq)));
  bool redrawn = false;
  if (s.k != p.lastk) {
    const long long b = pursuitblock(s.k);
    p.index = static_cast<int>(((s.k % f) + f) % f) + 1;
    // Even blocks draw a new path, odd blocks replay it; a run that starts
    // inside a replaying block draws one first.
    if ((b % 2 == 0 && b != p.drawnblock) || p.drawnblock < 0) {
      drawstops(p);
      p.drawnblock = b;
      redrawn = true;
    }
    p.lastk = s.k;
  }
  const int i = p.index < p.n ? p.index : p.n - 1;
  const float fr = wanderfraction(s.theta);
  *px = p.x[i - 1] + (p.x[i] - p.x[i - 1]) * fr;
  *py = p.y[i - 1] + (p.y[i] - p.y[i - 1]) * fr;
  *theta = s.theta;
  return redrawn;
}

float pursuitgrey(bool playback, float theta, float leg, float g) {
  if (par.vbwfrac == 1.0f) return g;
  const float s = par.vbwfrac * g;
  if (!playback || !(par.maxgrid > 0.0f)) return s;
  const float speed = (1.0f - std::cos(theta)) / 2.0f * leg / (2.0f * std::sqrt(2.0f) * par.maxgrid);
  return s + speed * (g - s);
}

int nextpicturepair(int pair, int count) {
  pair += 2;
  return pair < 0 || pair + 1 >= count ? 0 : pair;
}

void wanderreset(WanderGrid& w) {
  for (int k = 0; k < w.n; k++) w.order[k] = k;
  const int g = par.gridsize;
  w.pos = w.n;  // used up: the first sweep shuffles
  w.lastend = (g + 1) * (g / 2);
  w.lastk = -1;
  w.p1 = w.p2 = w.lastend;
}

void wandergridstep(WanderGrid& w, double t, float* cx, float* cy) {
  const Sweep s = sweepat(t, par.flowfreq);
  if (s.k != w.lastk && w.n >= 2) {
    if (w.pos >= w.n) {
      // A new order that goes on from where the last one stopped.
      shuffle(w.order, w.n);
      for (int k = 0; k < w.n; k++)
        if (w.order[k] == w.lastend) {
          w.order[k] = w.order[0];
          w.order[0] = w.lastend;
          break;
        }
      w.pos = 1;
    }
    w.p1 = w.order[w.pos - 1];
    w.p2 = w.order[w.pos];
    w.lastend = w.p2;
    w.pos++;
  }
  w.lastk = s.k;
  float x1, y1, x2, y2;
  wandercell(w.p1, &x1, &y1);
  wandercell(w.p2, &x2, &y2);
  const float f = wanderfraction(s.theta);
  *cx = x1 + (x2 - x1) * f;
  *cy = y1 + (y2 - y1) * f;
}

void resetpursuit(PursuitState& s) {
  s.started = false;
  s.grey = 1.0f;
}

PursuitState& pursuitstate() { return pursuit; }

void drawpursuepassimgs(double t) { drawpursuepassimgs(pursuit, t); }
void drawpursuepasscirc(double t, int ndots) { drawpursuepasscirc(pursuit, t, ndots); }
void drawpoldots(double t, int ndots) { drawpoldots(pursuit, t, ndots); }
void drawwandercircdots(double t, int ndots) { drawwandercircdots(pursuit, t, ndots); }

void preparepursuitpath() {
  PursuitPath& path = pursuit.path;
  if (par.flowsperblock < 1 || par.flowsperblock > MAXSWEEPSPERBLOCK)
    fatal("vistrum: ### bad -flowsperblock %d (OK:1-%d)\n", par.flowsperblock, MAXSWEEPSPERBLOCK);
  path.n = par.flowsperblock + 1;
  path.x = static_cast<float*>(std::calloc(path.n, sizeof(float)));
  path.y = static_cast<float*>(std::calloc(path.n, sizeof(float)));
  if (!path.x || !path.y) fatal("vistrum: ### malloc pursuit path failed\n");
}

void preparepursuitimages() {
  preparepursuitpath();
  if (tiffcnt < 2) fatal("vistrum: ### too few tiffs (%d) for background/target pairs\n", tiffcnt);
}

void preparewandergrid() {
  WanderGrid& grid = pursuit.grid;
  if (par.gridsize < 1 || par.gridsize > MAXGRIDSIZE)
    fatal("vistrum: ### bad -gridsize %d (OK:1-%d)\n", par.gridsize, MAXGRIDSIZE);
  grid.n = par.gridsize * par.gridsize;
  grid.order = static_cast<int*>(std::calloc(grid.n, sizeof(int)));
  if (!grid.order) fatal("vistrum: ### malloc grid order failed\n");
}

void drawpoldots(PursuitState& s, double t, int ndots) {
  const int count = dotsheld(ndots);
  if (!s.started) {
    s.grey = getbwdotcolor();
    placesquaredots(count);
    s.started = true;
  }
  const bool annulus = par.polwidth >= static_cast<float>(-TWOPI);
  const OpenWedge wedge = openwedge(t);
  const float reach = dotreach();
  float ox, oy;
  wobbleoffset(t, &ox, &oy);
  const float m = par.maxrad, lo2 = par.minrad * par.minrad, hi2 = par.maxrad * par.maxrad;
  dotcolour(s.grey, s.grey, s.grey);
  for (int j = 0; j < count; j++) {
    const float x = wrapsquare(dotx[j] + ox, m), y = wrapsquare(doty[j] + oy, m);
    const float r2 = x * x + y * y;
    if (annulus && !(r2 >= lo2 && r2 <= hi2)) continue;
    if (wedge.on && !nearwedge(wedge, x, y, reach)) continue;
    drawdotquad(x, y, par.dotsize / 2.0f, nullptr);
  }
  dotbatchflush();
  if (wedge.on && furniturebehind()) {
    float start, sweep;
    wobblewedgecover(t, &start, &sweep);
    MaskPlan plan;
    maskplanadd(plan, 0.0f, par.minrad);
    maskplanadd(plan, par.minrad, par.maxrad + par.dotsize, start, sweep);
    drawmaskplan(plan);
  } else if (wedge.on) {
    drawwedgetrim(wedge, t, reach);
  } else if (annulus) {
    MaskPlan plan;
    maskplanadd(plan, 0.0f, par.minrad);
    drawmaskplan(plan);
  }
  // The frame loop draws the fixation mark over it.
}

void drawwandercircdots(PursuitState& s, double t, int ndots) {
  const int count = dotsheld(ndots);
  if (!s.started) {
    placesquaredots(count);
    if (s.grid.order) wanderreset(s.grid);
    s.grey = getbwdotcolor();
    s.started = true;
  }
  float cx = 0.0f, cy = 0.0f;
  if (s.grid.order) wandergridstep(s.grid, t, &cx, &cy);
  const bool wiggle = par.wiggledotamp != 0.0f;
  dotcolour(s.grey, s.grey, s.grey);
  // Under the pointer the window is wherever the pointer is: all dots go
  // out, under the full cover.
  const DotWindow w = par.mousectrlflag ? DotWindow{false, 0.0f, 0.0f, 0.0f} : roundwindow(cx, cy);
  for (int j = 0; j < count; j++) drawshifteddot(j, 0.0f, 0.0f, wiggle, w);
  dotbatchflush();
  if (par.mousectrlflag) {
    // The pointer carries the window, and the mark with it.
    glPushMatrix();
    const int pushed = pushstimcentre(t);
    drawmaskplan(aperturemask(false));
    popstimcentre(pushed);
    glPopMatrix();
    drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t);
  } else {
    drawaperture(cx, cy);
    drawfixation(cx, cy, 0.0f, par.fixbright, t);
  }
}

void drawpursuepasscirc(PursuitState& s, double t, int ndots) {
  const int count = dotsheld(ndots);
  if (!s.started) {
    placesquaredots(count);
    if (s.path.x) pursuitreset(s.path);
    s.grey = getbwdotcolor();
    run.bordertoggleflag = 0;
    s.started = true;
  }
  float px = 0.0f, py = 0.0f, theta = 0.0f;
  if (s.path.x) pursuitstep(s.path, t, &px, &py, &theta);
  const bool playback = pursuitplayback(pursuitblock(s.path.lastk));
  const int i = s.path.x ? s.path.index : 0;
  const float leg = s.path.x ? std::hypot(s.path.x[i] - s.path.x[i - 1], s.path.y[i] - s.path.y[i - 1]) : 0.0f;
  const float g = pursuitgrey(playback, theta, leg, s.grey);
  // Pursuit: the scene stands and the mark moves along the path. Playback:
  // the mark stands and the scene moves by the reverse of the path.
  const float sx = playback ? -px : 0.0f, sy = playback ? -py : 0.0f;
  const bool wiggle = par.wiggledotamp != 0.0f;
  dotcolour(g, g, g);
  const DotWindow w = roundwindow(sx, sy);
  for (int j = 0; j < count; j++) drawshifteddot(j, sx, sy, wiggle, w);
  dotbatchflush();
  drawaperture(sx, sy);
  if (playback)
    drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, 1.0);
  else
    drawfixation(px, py, 0.0f, par.fixbright, t);
  if (run.bordertoggleflag) drawscreenborder();
}

void drawpursuepassimgs(PursuitState& s, double t) {
  if (!s.started) {
    if (s.path.x) pursuitreset(s.path);
    run.bordertoggleflag = 0;
    s.started = true;
  }
  if (!s.path.x || tiffcnt < 2) return;
  float px, py, theta;
  if (pursuitstep(s.path, t, &px, &py, &theta)) {
    // Each new path shows the next background/target pair.
    s.path.pair = nextpicturepair(s.path.pair, tiffcnt);
  }
  const bool playback = pursuitplayback(pursuitblock(s.path.lastk));
  const int bg = s.path.pair, target = s.path.pair + 1;
  if (playback) {
    drawimg(bg, -px, -py, par.bgheight, ANCHOR_CENTRE);
    drawimg(target, 0.0f, 0.0f, par.imheight, ANCHOR_CENTRE);
    drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, 1.0);
  } else {
    drawimg(bg, 0.0f, 0.0f, par.bgheight, ANCHOR_CENTRE);
    drawimg(target, px, py, par.imheight, ANCHOR_CENTRE);
    drawfixation(px, py, 0.0f, par.fixbright, t);
  }
  if (run.bordertoggleflag) drawscreenborder();
}
