#include "draw/primitives.h"

#include <GL/gl.h>

#include <cmath>

void drawsquare(float x, float y, float size) {
  const float e = size / 2.0f;
  drawquadvrt(x - e, y - e, x + e, y - e, x + e, y + e, x - e, y + e);
}

void drawrect(float x, float y, float w, float h) { drawquadvrt(x, y, x + w, y, x + w, y + h, x, y + h); }

void drawquadoff(float x, float y, float size, const float off[4]) {
  const float e = size / 2.0f;
  drawquadvrt(x - e - off[0] * e, y - e - off[0] * e, x + e + off[1] * e, y - e - off[1] * e,
              x + e + off[2] * e, y + e + off[2] * e, x - e - off[3] * e, y + e + off[3] * e);
}

void drawquadvrt(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4) {
  glBegin(GL_QUADS);
  glVertex2f(x1, y1);
  glVertex2f(x2, y2);
  glVertex2f(x3, y3);
  glVertex2f(x4, y4);
  glEnd();
}

void drawtrivrt(float x1, float y1, float x2, float y2, float x3, float y3) {
  glBegin(GL_TRIANGLES);
  glVertex2f(x1, y1);
  glVertex2f(x2, y2);
  glVertex2f(x3, y3);
  glEnd();
}

void drawsector(float rin, float rout, float a, float b) {
  drawsectorspan(rin, rout, a, b, std::cos(a), std::sin(a), std::cos(b), std::sin(b));
}

void drawsectorcs(float rin, float rout, float ca, float sa, float cb, float sb, float dx, bool inbatch) {
  if (!inbatch)
    return drawquadvrt(rin * ca + dx, rin * sa, rout * ca + dx, rout * sa, rout * cb + dx, rout * sb, rin * cb + dx,
                       rin * sb);
  glVertex2f(rin * ca + dx, rin * sa);
  glVertex2f(rout * ca + dx, rout * sa);
  glVertex2f(rout * cb + dx, rout * sb);
  glVertex2f(rin * cb + dx, rin * sb);
}

int sectorpieces(float span) {
  const float w = std::fabs(span);
  if (!(w > SECTORQUADMAX)) return 1;  // also NaN: nothing sensible to split
  const float n = std::ceil(w / (SECTORQUADMAX / 2.0f) - 1e-4f);
  return n > 4096.0f ? 4096 : static_cast<int>(n);
}

void drawsectorspan(float rin, float rout, float a, float b, float ca, float sa, float cb, float sb, float dx,
                    bool inbatch) {
  const int n = sectorpieces(b - a);
  if (n == 1) return drawsectorcs(rin, rout, ca, sa, cb, sb, dx, inbatch);
  float c0 = ca, s0 = sa;
  for (int k = 1; k <= n; k++) {
    float c1 = cb, s1 = sb;
    if (k < n) {
      const float e = a + (b - a) * static_cast<float>(k) / static_cast<float>(n);
      c1 = std::cos(e);
      s1 = std::sin(e);
    }
    drawsectorcs(rin, rout, c0, s0, c1, s1, dx, inbatch);
    c0 = c1;
    s0 = s1;
  }
}

int opaquefillbegin() {
  if (!glIsEnabled(GL_ALPHA_TEST)) return 0;
  glDisable(GL_ALPHA_TEST);
  return 1;
}

void opaquefillend(int wason) {
  if (wason) glEnable(GL_ALPHA_TEST);
}
