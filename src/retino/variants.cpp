#include "retino/variants.h"

#include "config/params.h"
#include "retino/letters.h"
#include "retino/wedge.h"

#include <cmath>

namespace {

constexpr double TWOPI = 2.0 * M_PI;

void drawpolarat(double t, int nrad, int ntheta, const Later& l, float freqmul, int wctype) {
  drawpolar(t + l.dt, nrad, ntheta, freqmul, wctype, 0.0f, l.phase);
}

}  // namespace

Later polarlater(double cycles, float freqmul) {
  if (par.polfreq != 0.0f) return {cycles / par.polfreq, 0.0f};
  return {0.0, static_cast<float>(freqmul * TWOPI * cycles)};
}

Later polarlaterabs(double cycles, float freqmul) {
  return polarlater(par.polfreq < 0.0f ? -cycles : cycles, freqmul);
}

void drawpol2dia(double t, int nrad, int ntheta) {
  drawpolar(t, nrad, ntheta, 1.0f, PLAINCOLS, 0.0f, 0.0f);
  drawpolarat(t, nrad, ntheta, polarlaterabs(0.5, 1.0f), 1.0f, SHIFTCOLS);
}

void drawpol2opp(double t, int nrad, int ntheta) {
  drawpolarat(t, nrad, ntheta, polarlaterabs(0.25, 1.0f), 1.0f, PLAINCOLS);
  drawpolarat(t, nrad, ntheta, polarlaterabs(0.75, -1.0f), -1.0f, SHIFTCOLS);
}

void drawpol2opplet(double t, int nrad, int ntheta) {
  drawpol2opp(t, nrad, ntheta);
  const Later l = polarlaterabs(0.25, 1.0f);
  drawpolletter(t + l.dt, l.phase);
}

// Not drawn yet: these types show background and fixation only.
void drawwanderpol(double, int, int, int) {}
void drawpolar4shift(double, int, int) {}
void drawpolarjitt(double, int, int, int) {}
void drawpolrand(double, int, int) {}
void drawlcms1(double) {}
void drawmultifreqpolar(double, int, int) {}
void draweccpol(double, int, int, int, int) {}
void draweccens(double, int, int, int, int, int) {}
void drawpolars(double, int, int, int, int, int) {}
void drawrectspoke(double, float, float, float, float, int, int, int) {}
