// Colour-space conversions behind the check palettes.
#include "draw/colour.h"

#include <gtest/gtest.h>

namespace {

struct Rgb {
  float r, g, b;
};
Rgb hls(float h, float l, float s) {
  Rgb c{};
  hls_to_rgb(h, l, s, &c.r, &c.g, &c.b);
  return c;
}
Rgb hsv(float h, float s, float v) {
  Rgb c{};
  hsv_to_rgb(h, s, v, &c.r, &c.g, &c.b);
  return c;
}
void expectrgb(Rgb c, float r, float g, float b, const char* what) {
  EXPECT_NEAR(c.r, r, 1e-5) << what;
  EXPECT_NEAR(c.g, g, 1e-5) << what;
  EXPECT_NEAR(c.b, b, 1e-5) << what;
}

}  // namespace

TEST(Colour, HlsPrimariesGreysAndExtremes) {
  expectrgb(hls(0.0f, 0.5f, 1.0f), 1, 0, 0, "red");
  expectrgb(hls(1.0f / 3.0f, 0.5f, 1.0f), 0, 1, 0, "green");
  expectrgb(hls(2.0f / 3.0f, 0.5f, 1.0f), 0, 0, 1, "blue");
  expectrgb(hls(0.5f, 0.5f, 1.0f), 0, 1, 1, "cyan");
  expectrgb(hls(0.3f, 0.42f, 0.0f), 0.42f, 0.42f, 0.42f, "no saturation is grey");
  for (float h : {0.0f, 0.17f, 0.5f, 0.93f}) {
    expectrgb(hls(h, 0.0f, 1.0f), 0, 0, 0, "lightness 0 is black whatever the hue");
    expectrgb(hls(h, 1.0f, 1.0f), 1, 1, 1, "lightness 1 is white whatever the hue");
  }
  // Above half lightness the upper level is l + s - l*s.
  expectrgb(hls(0.0f, 0.75f, 1.0f), 1.0f, 0.5f, 0.5f, "light red");
}

TEST(Colour, ValueWrapsHueOnceAndRamps) {
  EXPECT_FLOAT_EQ(value(0.2f, 0.8f, 370.0f), value(0.2f, 0.8f, 10.0f));
  EXPECT_FLOAT_EQ(value(0.2f, 0.8f, -10.0f), value(0.2f, 0.8f, 350.0f));
  EXPECT_FLOAT_EQ(value(0.2f, 0.8f, 30.0f), 0.5f);
  EXPECT_FLOAT_EQ(value(0.2f, 0.8f, 120.0f), 0.8f);
  EXPECT_FLOAT_EQ(value(0.2f, 0.8f, 210.0f), 0.5f);
  EXPECT_FLOAT_EQ(value(0.2f, 0.8f, 300.0f), 0.2f);
}

TEST(Colour, HsvSixSectorsAndFullTurn) {
  expectrgb(hsv(0.0f, 1.0f, 1.0f), 1, 0, 0, "red");
  expectrgb(hsv(1.0f / 6.0f, 1.0f, 1.0f), 1, 1, 0, "yellow");
  expectrgb(hsv(2.0f / 6.0f, 1.0f, 1.0f), 0, 1, 0, "green");
  expectrgb(hsv(0.5f, 1.0f, 1.0f), 0, 1, 1, "cyan");
  expectrgb(hsv(4.0f / 6.0f, 1.0f, 1.0f), 0, 0, 1, "blue");
  expectrgb(hsv(5.0f / 6.0f, 1.0f, 1.0f), 1, 0, 1, "magenta");
  expectrgb(hsv(1.0f, 1.0f, 0.6f), 0.6f, 0, 0, "a full turn is red again");
  expectrgb(hsv(1.0f / 12.0f, 1.0f, 1.0f), 1.0f, 0.5f, 0.0f, "orange");
  expectrgb(hsv(0.7f, 0.0f, 0.3f), 0.3f, 0.3f, 0.3f, "no saturation is grey");
}
