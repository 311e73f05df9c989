#include "somato/diotest.h"

#include "config/params.h"
#include "devices/dio.h"
#include "draw/fonts.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

int testDIO32interval(double t, double puffdur) {
  const long d = static_cast<long>(std::floor(t / puffdur)) % 68;
  return static_cast<int>(d < 0 ? d + 68 : d);
}

int testDIO32bit(int interval) { return interval / 2 <= 31 && interval % 2 == 0 ? interval / 2 : -1; }

namespace {
DioTestState diotest;
}  // namespace

void resetdiotest(DioTestState& s) { s = DioTestState{}; }

DioTestState& dioteststate() { return diotest; }

void drawtestDIO32(double t) { drawtestDIO32(diotest, t); }

void drawtestDIO32(DioTestState& s, double t) {
  int& lastbit = s.lastbit;
  if (!s.started) {
    usboutbytesoff();
    s.started = true;
  }
  const int d = testDIO32interval(t, par.puffdur);
  const int bit = testDIO32bit(d);
  // The bit shown is the bit driven (bit numbers of the array start at 1).
  if (bit != lastbit) {
    if (lastbit >= 0) setusbarraybit(lastbit + 1, 0);
    if (bit >= 0) setusbarraybit(bit + 1, 1);
    lastbit = bit;
  }
  if (d / 2 <= 31) glColor3f(0.0f, 0.0f, 0.0f);
  if (bit >= 0) {
    char num[8];
    std::snprintf(num, sizeof num, "%d", bit);
    drawstr(num, 0.03f * bit + 0.03f, 0.0f, par.avgfontsize, 0, 0);
  }
  drawstr("test USB-DIO-32 output bits", 0.0f, 0.25f, par.avgfontsize, 0, 0);
}
