// The expanding checkerboard ring, and the exponential radial transform
// shared by wedge, ring, letters and images.
#pragma once

// base = (maxrad/minrad)^(1/(maxrad - minrad)).
float expbase(float minrad, float maxrad);
// E(r) = minrad*base^(r - minrad): keeps minrad and maxrad, spaces steps
// geometrically. r itself when minrad is not positive (no geometric start).
float exptrans(float r, float minrad, float base);
// (1 - frac)*r + frac*E(r); exactly E(r) for frac 1.
float exptransblend(float r, float minrad, float base, float frac);

// The travelling ring, or with `periphery` the two-condition runs'
// alternating peripheral annulus (the 4-argument form: as -twocondperiphdriver asks).
void draweccen(double t, int nrad, int ntheta, double toff);
void draweccen(double t, int nrad, int ntheta, double toff, bool periphery);

// True while the blank intervals per run or per cycle hide the ring.
bool eccblank(double t);
// Inner radius of the ring at time T before the wrap: travel, smooth wrap,
// condition designs, TR steps and the no-gap compression.
float eccinnerradius(double T);
// The same without the three-condition design, whose draws and log lines
// belong to the ring's own call (a mask follows the travelling ring).
float eccinnerradius(double T, bool design);

// Per-run state of the ring: its three-condition design and the flicker
// phase its palette was made for.
struct RingState {
  bool started = false;  // the design has logged its opening "off"
  int cond = 0;
  float lastblockphase = 1.001f;
  int lastflickerphase = 0;
};
void resetring(RingState& s);
RingState& ringstate();
// What the ring covers at time T: nothing while -noeccwrap hides it or the
// peripheral driver's off half-cycle runs; `minrad` is the inner travel
// limit the wrap and the transform use (minrad2 under the peripheral driver).
struct RingExtent {
  bool visible;
  float r0, r1, minrad;
};
RingExtent ringextent(double T);
RingExtent ringextent(double T, bool periphery);
float geteccwidth(float r);
float getsmootheccwrap(float r);
void setsmootheccwrapdimcolor(double t, float r, float g, float b);
// Dimming factor of the ring's smooth return at time t (1 outside it).
float eccwrapdim(double t);
// The same for a ring whose travel starts at minr; the peripheral annulus's (minrad2).
float eccwrapdimfrom(double t, float minr);
float periphwrapdim(double t);
// Three-condition design (off, centre, periphery): inner radius, with logging.
float getlogcentperioff(double t);
// One draw of the three-condition rule for uniform u: 0 off, 1 centre, 2 periphery.
int centperioffdraw(float proboffcond, float u);
// Whether some u in [0, 1) draws a condition other than `cond` (the
// no-repeat rule redraws only then).
bool centperioffcanchange(float proboffcond, int cond);

// The parts of one ring check after the wrap at maxrad, untransformed.
struct RingPieces {
  int count;  // 1 or 2
  float rin[2], rout[2];
};
RingPieces ringcheckpieces(float rin, float rout, float minrad, float maxrad);
