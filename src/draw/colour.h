// Colour-space conversions used by the check palettes (hue in turns, 0..1).
#pragma once

// One channel of the lightness/saturation conversion; hue in degrees.
float value(float lo, float hi, float hue);
void hls_to_rgb(float h, float l, float s, float* r, float* g, float* b);
void hsv_to_rgb(float h, float s, float v, float* r, float* g, float* b);
