#include "draw/colour.h"

#include <cmath>

float value(float lo, float hi, float hue) {
  if (hue > 360.0f) hue -= 360.0f;
  if (hue < 0.0f) hue += 360.0f;
  if (hue < 60.0f) return lo + (hi - lo) * hue / 60.0f;
  if (hue < 180.0f) return hi;
  if (hue < 240.0f) return lo + (hi - lo) * (240.0f - hue) / 60.0f;
  return lo;
}

void hls_to_rgb(float h, float l, float s, float* r, float* g, float* b) {
  if (s == 0.0f) {
    *r = *g = *b = l;
    return;
  }
  const float q2 = l <= 0.5f ? l * (1.0f + s) : l + s - l * s;
  const float q1 = 2.0f * l - q2;
  *r = value(q1, q2, 360.0f * h + 120.0f);
  *g = value(q1, q2, 360.0f * h);
  *b = value(q1, q2, 360.0f * h - 120.0f);
}

void hsv_to_rgb(float h, float s, float v, float* r, float* g, float* b) {
  if (s == 0.0f) {
    *r = *g = *b = v;
    return;
  }
  float hh = 360.0f * h;
  if (hh == 360.0f) hh = 0.0f;
  hh /= 60.0f;
  const int i = static_cast<int>(std::floor(hh));
  const float f = hh - static_cast<float>(i);
  const float p = v * (1.0f - s);
  const float q = v * (1.0f - s * f);
  const float w = v * (1.0f - s * (1.0f - f));
  switch (i) {
    case 0: *r = v; *g = w; *b = p; break;
    case 1: *r = q; *g = v; *b = p; break;
    case 2: *r = p; *g = v; *b = w; break;
    case 3: *r = p; *g = q; *b = v; break;
    case 4: *r = w; *g = p; *b = v; break;
    default: *r = v; *g = p; *b = q; break;
  }
}
