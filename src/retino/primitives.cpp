#include "retino/primitives.h"

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
  drawsectorcs(rin, rout, std::cos(a), std::sin(a), std::cos(b), std::sin(b));
}

void drawsectorcs(float rin, float rout, float ca, float sa, float cb, float sb) {
  drawquadvrt(rin * ca, rin * sa, rout * ca, rout * sa, rout * cb, rout * sb, rin * cb, rin * sb);
}

int opaquefillbegin() {
  if (!glIsEnabled(GL_ALPHA_TEST)) return 0;
  glDisable(GL_ALPHA_TEST);
  return 1;
}

void opaquefillend(int wason) {
  if (wason) glEnable(GL_ALPHA_TEST);
}
