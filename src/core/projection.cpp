#include "core/projection.h"

Extents windowextents(int winxgl, int winygl) {
  return {HALFWIDTHUNITS, HALFWIDTHUNITS * static_cast<float>(winygl) / static_cast<float>(winxgl)};
}

bool windowsizeok(long winxgl, long winygl) {
  return winxgl > 0 && winygl > 0 && winxgl <= MAXWINSIDE && winygl <= MAXWINSIDE;
}

float pixelsperunit(int winxgl) { return static_cast<float>(winxgl) / (2.0f * HALFWIDTHUNITS); }

int scalesteps(float s) {
  int n = 0;
  if (s > 1.00001f) {
    while (s > 1.00001f) {
      s *= SCALEDOWNINCR;
      n++;
    }
  } else if (s < 0.99999f) {
    while (s < 0.99999f) {
      s *= SCALEUPINCR;
      n--;
    }
  }
  return n;
}

float clampstartscale(float s) { return s > 10.0f ? 10.0f : s; }
