// Multiple, shifted and random wedge and ring variants: compositions of the
// wedge and the ring, drawn with their own building blocks.
#pragma once

void drawwanderpol(double t, int nrad, int ntheta, int lettflag);
void drawpolar4shift(double t, int nrad, int ntheta);
void drawpolarjitt(double t, int nrad, int ntheta, int lettflag);
void drawpol2dia(double t, int nrad, int ntheta);
void drawpol2opp(double t, int nrad, int ntheta);
void drawpol2opplet(double t, int nrad, int ntheta);
void drawpolrand(double t, int nrad, int ntheta);
void drawlcms1(double t);
void drawmultifreqpolar(double t, int nrad, int ntheta);
void draweccpol(double t, int nrad, int ntheta, int nrad2, int ntheta2);
void draweccens(double t, int nrad, int ntheta, int cnt, int lettflag, int dotsflag);
void drawpolars(double t, int nrad, int ntheta, int cnt, int lettflag, int dotsflag);
// Radial bars moving along the radius inside the sector a0..a1, split into
// ntheta-1 angular sectors; polarity swaps the bar colours.
void drawrectspoke(double t, float r0, float r1, float a0, float a1, int nrad, int ntheta, int polarity);

// A wedge `cycles` of a turn later than the one at t: a time shift while the
// wedge turns; a still wedge (polfreq 0) has no such time, so it is turned
// by the angle instead. freqmul is the wedge's own direction factor.
struct Later {
  double dt;    // seconds added to t
  float phase;  // radians added to the start angle
};
Later polarlater(double cycles, float freqmul);
// The same with the absolute time shift |cycles/polfreq| (pairs of wedges).
Later polarlaterabs(double cycles, float freqmul);
