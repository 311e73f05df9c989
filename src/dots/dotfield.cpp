#include "dots/dotfield.h"

#include "config/params.h"
#include "core/angles.h"
#include "core/runstate.h"
#include "core/stimulus.h"
#include "core/window.h"
#include "core/xit.h"
#include "draw/primitives.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

float *dotx = nullptr, *doty = nullptr, *dotz = nullptr, *dotdx = nullptr, *dotdy = nullptr, *dotrotang = nullptr,
      *dotdilscale = nullptr;
float* dotdisps = nullptr;

namespace {

constexpr int MAXDOTS = 1000000;
// Placement keeping fewer than one draw in this many cannot fill a field in
// reasonable time: such settings are refused at start-up.
constexpr double MINPLACEFRACTION = 1.0e-3;
constexpr float WINHALF = 1.56f;  // half the window width in display units

int currnrd = -1;  // dots asked for last
int capacity = 0;  // entries allocated per array

// The collected squares: centre, half-side, corner pushes and colour each.
// Fixed size, so drawing never allocates; a full batch is drawn and
// started again. The corner and colour arrays of the quads are filled at
// the flush, and only when the batch cannot go out as points.
constexpr int BATCHQUADS = 4096;
float batchcentre[BATCHQUADS * 2];
float batchhalfs[BATCHQUADS];
float batchoff[BATCHQUADS * 4];
float batchpcol[BATCHQUADS * 3];
float batchvert[BATCHQUADS * 8];
float batchcol[BATCHQUADS * 12];
int batchn = 0;
// Whether every square in the batch is plain (no pushed corners) with the
// half-side batchhalf: such a batch can go out as one point per square.
bool batchplain = true;
float batchhalf = 0.0f;
float currcol[3] = {1.0f, 1.0f, 1.0f};

// A square of half-side h at (x, y) whose corners (lower-left, lower-right,
// upper-right, upper-left) are pushed out along the diagonals by off[k]
// half-sides when `off` is given.
// A plain batch keeps only centres and colours: the half-sides and corner
// pushes are written once a square that is not plain joins it.
void emitquad(float x, float y, float h, const float* off) {
  if (batchn == BATCHQUADS) dotbatchflush();
  if (batchn == 0) {
    batchplain = true;
    batchhalf = h;
  }
  if (batchplain && (off || h != batchhalf)) {
    std::fill(batchhalfs, batchhalfs + batchn, batchhalf);
    std::fill(batchoff, batchoff + 4 * batchn, 0.0f);
    batchplain = false;
  }
  batchcentre[2 * batchn] = x;
  batchcentre[2 * batchn + 1] = y;
  if (!batchplain) {
    batchhalfs[batchn] = h;
    for (int k = 0; k < 4; k++) batchoff[4 * batchn + k] = off ? off[k] : 0.0f;
  }
  for (int k = 0; k < 3; k++) batchpcol[3 * batchn + k] = currcol[k];
  batchn++;
}

// The corners and per-corner colours of the first batchn squares.
void expandquads() {
  static const float dirx[4] = {-1.0f, 1.0f, 1.0f, -1.0f}, diry[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
  static const float none[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  for (int q = 0; q < batchn; q++) {
    const float x = batchcentre[2 * q], y = batchcentre[2 * q + 1], h = batchplain ? batchhalf : batchhalfs[q];
    const float* off = batchplain ? none : batchoff + 4 * q;
    float* v = batchvert + 8 * q;
    float* c = batchcol + 12 * q;
    for (int k = 0; k < 4; k++) {
      const float d = h + off[k] * h;
      v[2 * k] = x + dirx[k] * d;
      v[2 * k + 1] = y + diry[k] * d;
      for (int i = 0; i < 3; i++) c[3 * k + i] = batchpcol[3 * q + i];
    }
  }
}

void emitsquare(float x, float y) { emitquad(x, y, par.dotsize, nullptr); }

// Area of the disk of radius r inside the square [-m, m]^2.
double diskinsquare(double r, double m) {
  if (r <= 0.0) return 0.0;
  if (r <= m) return M_PI * r * r;
  if (r >= std::sqrt(2.0) * m) return 4.0 * m * m;
  const double seg = r * r * std::acos(m / r) - m * std::sqrt(r * r - m * m);
  return M_PI * r * r - 4.0 * seg;
}

DotXY polarstore(float r, float th) {
  return DotXY{static_cast<float>(r * std::cos(static_cast<double>(th))),
               static_cast<float>(r * std::sin(static_cast<double>(th)))};
}

// The radial bounce: a dot pushed inside minrad or beyond maxrad is
// reflected back by twice the jitter range.
float bounce(float r, float range) {
  if (r < par.minrad) r += 2.0f * range;
  if (r > par.maxrad) r -= 2.0f * range;
  return r;
}

}  // namespace

float dotrand() { return static_cast<float>(random() * (1.0 / 2147483648.0)); }

void mkdotarrays(int n) {
  if (n == currnrd) return;
  if (n < 0) n = 0;
  const int need = (n + 3) / 4 * 4;
  if (need > capacity || dotx == nullptr) {
    float** arrays[7] = {&dotx, &doty, &dotz, &dotdx, &dotdy, &dotrotang, &dotdilscale};
    bool failed = false;
    for (float** a : arrays) {
      std::free(*a);
      *a = static_cast<float*>(std::calloc(need > 0 ? need : 1, sizeof(float)));
      if (*a == nullptr) failed = true;
    }
    if (failed) fatal("vistrum: ### malloc dot arrays failed\n");
    capacity = need;
  }
  currnrd = n;
}

int dotcount() { return currnrd; }

bool dotplaceable(float x, float y) {
  const float r2 = x * x + y * y;
  if (!(r2 >= par.minrad * par.minrad)) return false;
  if (par.usemaxrad && !(r2 <= par.maxrad * par.maxrad)) return false;
  return true;
}

double placementfraction(float minrad, float maxrad, int usemaxrad, float maxdotxy) {
  const double m = std::fabs(static_cast<double>(maxdotxy));
  const double lo = std::fabs(static_cast<double>(minrad));
  if (m == 0.0) return lo == 0.0 && (!usemaxrad || maxrad >= 0.0f) ? 1.0 : 0.0;
  const double sq = 4.0 * m * m;
  const double outer = usemaxrad ? diskinsquare(std::fabs(static_cast<double>(maxrad)), m) : sq;
  if (usemaxrad && std::fabs(static_cast<double>(maxrad)) < lo) return 0.0;
  const double f = (outer - diskinsquare(lo, m)) / sq;
  return f < 0.0 ? 0.0 : (f > 1.0 ? 1.0 : f);
}

void computedots(int n) {
  mkdotarrays(n);
  const float m = par.maxdotxy;
  // Start-up has refused fields that placement can hardly fill; this bound
  // only keeps an unforeseen case from hanging the run.
  const double limit = 100000.0 * (n + 1.0);
  double tries = 0.0;
  for (int j = 0; j < n;) {
    const float x = dotrand() * 2.0f * m - m;
    const float y = dotrand() * 2.0f * m - m;
    if (++tries > limit) fatal("vistrum: ### dot placement found no room for %d dots (check -minrad, -maxrad, -maxdotxy)\n", n);
    if (!dotplaceable(x, y)) continue;
    dotx[j] = x;
    doty[j] = y;
    dotdx[j] = dotdy[j] = dotrotang[j] = dotdilscale[j] = 0.0f;
    j++;
  }
}

void randflowparms(float* dx, float* dy, float* rot, float* dil) {
  const float c = par.dotjittcent;
  *dx = (dotrand() * 2.0f * c - c) * par.dotspeed;
  *dy = (dotrand() * 2.0f * c - c) * par.dotspeed;
  *rot = 0.0f;
  *dil = 1.0f;
  if (par.dotrotflag) *rot = static_cast<float>((dotrand() * 20.0 - 10.0) * par.dotspeed * M_PI / 180.0);
  if (par.dotdilflag) *dil = static_cast<float>((dotrand() * 0.28 + 0.87 - 1.0) * par.dotspeed + 1.0);
}

void randmove(float* dx, float* dy, float range) {
  *dx = (dotrand() * 2.0f * range - range) * par.dotjspeed;
  *dy = (dotrand() * 2.0f * range - range) * par.dotjspeed;
}

DotXY flowtransform(float x, float y, float dx, float dy, float rot, float dil) {
  const float X = x * dil, Y = y * dil;
  // A coherent field turns every dot by the same angle: its cosine and sine
  // are worked out once, not once per dot.
  static float lastrot = 0.0f, c = 1.0f, s = 0.0f;
  if (rot != lastrot) {
    lastrot = rot;
    c = std::cos(rot);
    s = std::sin(rot);
  }
  return DotXY{X * c - Y * s + dx, X * s + Y * c + dy};
}

void wedgeorder(float edge1, float edge2, float* lo, float* hi) {
  if (par.polfreq >= 0.0f) {
    *lo = edge1;
    *hi = edge2;
  } else {
    *lo = edge2;
    *hi = edge1;
  }
}

float wedgeangle(float x, float y, float lo, float hi) {
  float th = static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x)));
  if (th < 0.0f) th += static_cast<float>(TWOPI);
  if (hi >= static_cast<float>(TWOPI) && th < lo) th += static_cast<float>(TWOPI);
  if (lo < 0.0f && th > hi) th -= static_cast<float>(TWOPI);
  // A clockwise wedge's low edge passes -2pi near the end of each turn: one
  // more turn down brings its dots back into [lo, hi].
  if (th > hi && th - static_cast<float>(TWOPI) >= lo) th -= static_cast<float>(TWOPI);
  return th;
}

DotXY moveoutpos(float x, float y, float dx, float dy, float edge1, float edge2) {
  const float px = x + dx, py = y + dy;
  const float r = bounce(std::sqrt(px * px + py * py), par.dotjrange);
  float lo, hi;
  wedgeorder(edge1, edge2, &lo, &hi);
  float d = wedgeangle(px, py, lo, hi) - lo;
  const float w = hi - lo;
  if (d > 0.0f && d < w) d += d < w / 2.0f ? w : -w;  // jumped into the wedge: across it
  return polarstore(r, lo + d);
}

DotXY movewedgepos(float x, float y, float dx, float dy, float rot, float dil, float edge1, float edge2) {
  const DotXY p = flowtransform(x, y, dx, dy, rot, dil);
  const float r = bounce(std::sqrt(p.x * p.x + p.y * p.y), par.wdotjrange);
  float lo, hi;
  wedgeorder(edge1, edge2, &lo, &hi);
  float d = wedgeangle(p.x, p.y, lo, hi) - lo;
  const float w = hi - lo;
  if (d < 0.0f || d > w) {  // left the wedge: in again from the other side
    const float pi = static_cast<float>(M_PI);
    if (d > pi)
      d += w;
    else if (d < -pi)
      d -= w;
    else if (d < 0.0f)
      d += w;
    else
      d -= w;
  }
  return polarstore(r, lo + d);
}

float dotdisparity(float X, float Y, float dx, float dy, float disp) {
  return dotdisparity(X, Y, dx, dy, disp, par.dotstereotype);
}

StereoLook stereolook() {
  return StereoLook{{par.stereoLred, par.stereoLgrn, par.stereoLblu, par.stereoRred, par.stereoRgrn, par.stereoRblu},
                    par.dotstereotype};
}

float dotdisparity(float X, float Y, float dx, float dy, float disp, int type) {
  const float rc = std::sqrt(X * X + Y * Y);
  const float rt = std::sqrt((X + dx) * (X + dx) + (Y + dy) * (Y + dy));
  const float pi = static_cast<float>(M_PI);
  switch (type) {
    case 0: return disp * rc;
    case 1: return disp * rt;
    case 2: return disp * std::cos(rc * par.depthripples * pi);
    case 3: return disp * std::cos(rt * par.depthripples * pi);
    case 5: return (disp > 0.0f ? 0.01f : (disp < 0.0f ? -0.01f : 0.0f)) + disp * rc;
    default: return disp;
  }
}

void drawdot(float x, float y, float dx, float dy, float rot, float dil) {
  const DotXY p = flowtransform(x, y, dx, dy, rot, dil);
  emitsquare(p.x, p.y);
}

void drawstilldot(float x, float y) { emitsquare(x, y); }

void drawdot(float x, float y, float dx, float dy, float rot, float dil, float half) {
  const DotXY p = flowtransform(x, y, dx, dy, rot, dil);
  emitquad(p.x, p.y, half, nullptr);
}

void drawstilldot(float x, float y, float half) { emitquad(x, y, half, nullptr); }

void drawdotquad(float x, float y, float half, const float* off) { emitquad(x, y, half, off); }

void movedot(float* x, float* y, float dx, float dy, float rot, float dil) {
  const DotXY p = flowtransform(*x, *y, dx, dy, rot, dil);
  *x = p.x;
  *y = p.y;
  emitsquare(p.x, p.y);
}

void moveoutdot(float* x, float* y, float dx, float dy, float edge1, float edge2) {
  const DotXY p = moveoutpos(*x, *y, dx, dy, edge1, edge2);
  *x = p.x;
  *y = p.y;
  emitsquare(p.x, p.y);
}

void movewedgedot(float* x, float* y, float dx, float dy, float rot, float dil, float edge1, float edge2) {
  const DotXY p = movewedgepos(*x, *y, dx, dy, rot, dil, edge1, edge2);
  *x = p.x;
  *y = p.y;
  emitsquare(p.x, p.y);
}

void drawstdot(float x, float y, float dx, float dy, float rot, float dil, float disp, const StereoLook& k) {
  const float X = x * dil, Y = y * dil;
  const float D = dotdisparity(X, Y, dx, dy, disp, k.type);
  const DotXY p = flowtransform(X, Y, dx, dy, rot, 1.0f);
  const float xl = p.x - D / 2.0f;
  dotcolour(k.eyes[0], k.eyes[1], k.eyes[2]);
  emitsquare(xl, p.y);
  dotcolour(k.eyes[3], k.eyes[4], k.eyes[5]);
  emitsquare(xl + D, p.y);
}

void dotcolour(float r, float g, float b) {
  currcol[0] = r;
  currcol[1] = g;
  currcol[2] = b;
}

namespace {

// Whether the GL draws points as exact squares (point sprites: GL 2.0, or
// the extension on 1.x); without them the squares go out as quads.
bool havepointsprites() {
  const char* v = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  const char* e = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  return (v != nullptr && v[0] >= '2' && v[0] <= '9' && v[1] == '.') ||
         (e != nullptr && std::strstr(e, "GL_ARB_point_sprite") != nullptr);
}

// Drops the squares that lie wholly outside the viewport, which produce no
// pixel: a field spread over +-maxdotxy has most of its dots off screen, and
// the software rasteriser pays for every square it is given. Only for the
// flat (affine) projections; anything else is drawn whole. Returns the side
// of a square in window pixels when the batch can go out as points (plain
// squares of one size under a transform that keeps them axis-aligned
// squares), else 0.
float cullbatch() {
  // Zero when no context answers (a rehearsal): not affine, drawn whole, to nowhere.
  float mv[16] = {}, pr[16] = {};
  glGetFloatv(GL_MODELVIEW_MATRIX, mv);
  glGetFloatv(GL_PROJECTION_MATRIX, pr);
  const auto affine = [](const float* m) { return m[3] == 0.0f && m[7] == 0.0f && m[11] == 0.0f && m[15] == 1.0f; };
  if (!affine(mv) || !affine(pr)) return 0.0f;
  float m[16];  // pr * mv, column-major
  for (int c = 0; c < 4; c++)
    for (int r = 0; r < 4; r++) {
      float v = 0.0f;
      for (int k = 0; k < 4; k++) v += pr[4 * k + r] * mv[4 * c + k];
      m[4 * c + r] = v;
    }
  constexpr float LIM = 1.01f;  // a margin against rounding at the window edge
  const float mx = std::fabs(m[0]) + std::fabs(m[4]), my = std::fabs(m[1]) + std::fabs(m[5]);
  int kept = 0;
  for (int q = 0; q < batchn; q++) {
    // A bound on the square's corners: its half-side times the largest push
    // (a plain batch keeps neither: every square has batchhalf).
    const float* off = batchoff + 4 * q;
    float reach = 0.0f;
    if (batchplain) {
      reach = std::fabs(batchhalf);
    } else {
      for (int k = 0; k < 4; k++) reach = std::max(reach, std::fabs(1.0f + off[k]));
      reach *= std::fabs(batchhalfs[q]);
    }
    const float* c = batchcentre + 2 * q;
    const float x = m[0] * c[0] + m[4] * c[1] + m[12], y = m[1] * c[0] + m[5] * c[1] + m[13];
    // NaN positions fail every comparison and are kept: GL decides about them.
    if (x + mx * reach < -LIM || x - mx * reach > LIM || y + my * reach < -LIM || y - my * reach > LIM) continue;
    if (kept != q) {
      batchcentre[2 * kept] = c[0];
      batchcentre[2 * kept + 1] = c[1];
      for (int k = 0; k < 3; k++) batchpcol[3 * kept + k] = batchpcol[3 * q + k];
      if (!batchplain) {
        batchhalfs[kept] = batchhalfs[q];
        for (int k = 0; k < 4; k++) batchoff[4 * kept + k] = off[k];
      }
    }
    kept++;
  }
  batchn = kept;
  static const bool sprites = havepointsprites();
  if (!sprites || !batchplain || m[1] != 0.0f || m[4] != 0.0f) return 0.0f;
  GLint vp[4] = {};
  glGetIntegerv(GL_VIEWPORT, vp);
  const float sx = std::fabs(m[0]) * 0.5f * static_cast<float>(vp[2]);
  const float sy = std::fabs(m[5]) * 0.5f * static_cast<float>(vp[3]);
  const float side = 2.0f * batchhalf * sx;
  // Squares stay squares only with equal pixel scales; points are limited
  // in size, and a sub-pixel square is left to the polygon rules.
  if (std::fabs(sx - sy) > 1.0e-5f * sx || !(side >= 1.0f && side <= 64.0f)) return 0.0f;
  return side;
}

// For the benchmark that sets each dot type against the cost of plain
// squares (VISTRUM_COUNT_SQUARES=1): squares drawn per picture and their
// side in pixels, printed when the program ends.
struct SquareCount {
  int on = -1;  // -1: the variable not read yet
  long squares = 0, pictures = 0, lastpicture = -1, sided = 0;
  double sidesum = 0.0;
};
SquareCount squarecount;

void printsquarecount() {
  const SquareCount& c = squarecount;
  if (c.pictures == 0) return;
  std::printf("vistrum: squares: %.1f per picture over %ld pictures, %s side %.2f px\n",
              static_cast<double>(c.squares) / c.pictures, c.pictures, c.sided == c.squares ? "point" : "mixed",
              c.sided ? c.sidesum / c.sided : 0.0);
}

void countsquares(float pointside) {
  SquareCount& c = squarecount;
  if (c.on < 0) {
    const char* v = std::getenv("VISTRUM_COUNT_SQUARES");
    c.on = v && std::strcmp(v, "1") == 0;
    if (c.on) std::atexit(printsquarecount);
  }
  if (!c.on) return;
  if (c.lastpicture != run.picturecnt) c.pictures++, c.lastpicture = run.picturecnt;
  c.squares += batchn;
  if (pointside > 0.0f) c.sided += batchn, c.sidesum += static_cast<double>(pointside) * batchn;
}

}  // namespace

void dotbatchflush() {
  const float pointside = batchn > 0 ? cullbatch() : 0.0f;
  if (batchn > 0) countsquares(pointside);
  if (batchn > 0) {
    // One colour for the whole batch needs no colour array.
    bool onecolour = true;
    for (int k = 3; k < 3 * batchn && onecolour; k++) onecolour = batchpcol[k] == batchpcol[k % 3];
    // Dots are opaque: no alpha test, so the rasteriser skips no work.
    const int opaque = opaquefillbegin();
    // Plain squares go out as point sprites: a sprite is the same square
    // (no rounding of size or position, unlike plain GL points) at a third
    // less of the software rasteriser's cost than two triangles. Only a
    // pixel centre lying exactly on an edge may fall to the other side than
    // with the quad's tie rule (about one edge in 500).
    const bool points = pointside > 0.0f;
    glEnableClientState(GL_VERTEX_ARRAY);
    if (points) {
      glEnable(GL_POINT_SPRITE);
      glPointSize(pointside);
      glVertexPointer(2, GL_FLOAT, 0, batchcentre);
    } else {
      expandquads();
      glVertexPointer(2, GL_FLOAT, 0, batchvert);
    }
    if (onecolour) {
      glColor3f(batchpcol[0], batchpcol[1], batchpcol[2]);
    } else {
      glEnableClientState(GL_COLOR_ARRAY);
      glColorPointer(3, GL_FLOAT, 0, points ? batchpcol : batchcol);
    }
    if (points) {
      glDrawArrays(GL_POINTS, 0, batchn);
      glPointSize(1.0f);
      glDisable(GL_POINT_SPRITE);
    } else {
      glDrawArrays(GL_QUADS, 0, 4 * batchn);
    }
    if (!onecolour) glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    opaquefillend(opaque);
  }
  batchn = 0;
  glColor3f(currcol[0], currcol[1], currcol[2]);
}

void rotate_x(float* v, float a) {
  const float c = std::cos(a), s = std::sin(a);
  const float y = v[1] * c + v[2] * s, z = v[2] * c - v[1] * s;
  v[1] = y;
  v[2] = z;
}

void rotate_y(float* v, float a) {
  const float c = std::cos(a), s = std::sin(a);
  const float x = v[0] * c - v[2] * s, z = v[0] * s + v[2] * c;
  v[0] = x;
  v[2] = z;
}

void rotate_z(float* v, float a) {
  const float c = std::cos(a), s = std::sin(a);
  const float x = v[0] * c + v[1] * s, y = v[1] * c - v[0] * s;
  v[0] = x;
  v[1] = y;
}

void randsphpoint(float* x, float* y, float* z) {
  float v[3] = {1.0f, 0.0f, 0.0f};
  const float twopi = static_cast<float>(TWOPI);
  float a = dotrand() * twopi;
  rotate_z(v, a);
  a = dotrand() * twopi;
  rotate_y(v, a);
  a = dotrand() * twopi;
  rotate_x(v, a);
  *x = v[0];
  *y = v[1];
  *z = v[2];
}

void computespherequads(int n) {
  mkdotarrays(n);
  const float twopi = static_cast<float>(TWOPI);
  for (int k = 0; 4 * k < n; k++) {
    float c[4][3] = {};
    if (run.vectstimtype == 0) {
      const float a = par.dotsize * static_cast<float>(M_PI) / 4.0f, R = par.sphererad;
      c[0][0] = R;
      for (int i = 1; i < 4; i++)
        for (int q = 0; q < 3; q++) c[i][q] = c[0][q];
      rotate_y(c[1], a);
      rotate_y(c[2], a);
      rotate_z(c[2], a);
      rotate_z(c[3], a);
      for (int rep = 0; rep < 3; rep++) {
        void (*rot[3])(float*, float) = {rotate_z, rotate_y, rotate_x};
        for (auto r : rot) {
          const float ang = dotrand() * twopi;
          for (auto& corner : c) r(corner, ang);
        }
      }
    } else if (run.vectstimtype == 1 || run.vectstimtype == 2) {
      const float s = par.dotsize, w = dsp.iwinxgl;
      c[1][0] = s;
      c[2][0] = s, c[2][1] = s;
      c[3][1] = s;
      const float ang = dotrand() * twopi;
      for (auto& corner : c) rotate_z(corner, ang);
      const float hx = dotrand() * 4.0f * w - 2.0f * w;
      const float hy = dotrand() * 4.0f * w - 2.0f * w;
      float z = -w / 2.0f;
      if (run.vectstimtype == 2) z += dotrand() * 2.0f * w - w;
      for (auto& corner : c) {
        corner[0] += hx;
        corner[1] += hy;
        corner[2] = z;
      }
    }
    for (int i = 0; i < 4; i++) {
      dotx[4 * k + i] = c[i][0];
      doty[4 * k + i] = c[i][1];
      dotz[4 * k + i] = c[i][2];
    }
  }
}

void refusewidedots(float half, const char* with) {
  // A dot wider than the window shows nothing a smaller one would not, but
  // thousands of them a frame would stall the software rasteriser for
  // seconds.
  if (!(half <= WINHALF))
    fatal("vistrum: ### -dotsize %g%s: dots would be wider than the window\n", static_cast<double>(par.dotsize), with);
}

void preparedots() {
  if (!stimneeds(par.stimtype, kDotField)) return;
  if (par.numdots < 0) fatal("vistrum: ### -numdots %d: a dot count can't be negative\n", par.numdots);
  if (par.numdots > MAXDOTS) fatal("vistrum: ### -numdots %d: at most %d dots\n", par.numdots, MAXDOTS);
  // Patch clouds sit on a sphere or plane of their own, and the pursuit and
  // wandering types fill the square +-maxrad whole: no annulus.
  if (!stimneeds(par.stimtype, kOwnDotPlacement) && par.numdots > 0) {
    const double f = placementfraction(par.minrad, par.maxrad, par.usemaxrad, par.maxdotxy);
    if (f < MINPLACEFRACTION) {
      std::printf("vistrum: ### no room for dots: minrad %g%s leaves %.3g%% of the square +-%g (-maxdotxy)\n",
                  par.minrad, par.usemaxrad ? " to maxrad" : "", 100.0 * f, par.maxdotxy);
      fatal("vistrum: ### lower -minrad or raise -maxdotxy%s\n", par.usemaxrad ? " or -maxrad" : "");
    }
  }
  // Glass patterns grow their dots with eccentricity.
  float grow = 1.0f;
  if (stimneeds(par.stimtype, kGrowingDots) && par.scaledotsflag) {
    const float rmax = std::sqrt(2.0f) * std::fabs(par.maxdotxy);
    for (float r : {0.0f, rmax}) grow = std::max(grow, std::fabs(1.0f - par.scalefrac * (1.0f - r)));
  }
  refusewidedots(std::fabs(par.dotsize) * grow, grow > 1.0f ? " with -scalefrac" : "");
  mkdotarrays(par.numdots);
  dotdisps = static_cast<float*>(std::calloc(par.numdots > 0 ? par.numdots : 1, sizeof(float)));
  if (dotdisps == nullptr) fatal("vistrum: ### malloc dot arrays failed\n");
}
