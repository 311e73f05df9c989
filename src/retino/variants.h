// Multiple, shifted and random wedge and ring variants: compositions of the
// wedge and the ring, drawn with their own building blocks.
#pragma once

#include "draw/fixation.h"
#include "draw/ring.h"

#include <vector>

void drawwanderpol(double t, int nrad, int ntheta, int lettflag);
// The wandering wedge's tour over the grid at flowfreq sweeps per second:
// a new shuffled tour, from and back to the centre cell, after each one.
void wanderpolinit(WanderTour& w);
void wanderpolstep(WanderTour& w, double t, float* x, float* y);
void drawpolar4shift(double t, int nrad, int ntheta);
void drawpolarjitt(double t, int nrad, int ntheta, int lettflag);
void drawpol2dia(double t, int nrad, int ntheta);
void drawpol2opp(double t, int nrad, int ntheta);
void drawpol2opplet(double t, int nrad, int ntheta);
void drawpolrand(double t, int nrad, int ntheta);
void drawlcms1(double t);
void drawmultifreqpolar(double t, int nrad, int ntheta);
void draweccpol(double t, int nrad, int ntheta, int nrad2, int ntheta2);
// `cnt` rings or wedges, with their letters; `under` (nullptr: none) is a
// layer drawn over them and masked to them (the flow composites' dots).
using UnderLayer = void (*)(double t);
void draweccens(double t, int nrad, int ntheta, int cnt, int lettflag, UnderLayer under);
void drawpolars(double t, int nrad, int ntheta, int cnt, int lettflag, UnderLayer under);
// Radial bars moving along the radius inside the sector a0..a1, split into
// ntheta-1 angular sectors; polarity swaps the bar colours; the bars travel
// dilfreq bar pairs a second.
void drawrectspoke(double t, float r0, float r1, float a0, float a1, int nrad, int ntheta, int polarity, float dilfreq);

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

// The multiple wedges' and rings' masks: background-grey annuli (the
// centre disk and the ring beyond maxrad; outerfac scales the outer reach).
void drawmaskannulus(float inner, float outer);
void drawmaskframe(float outerfac);

// Smooth random jitter of the jittered wedge: n angles in degrees, each
// uniform in [-20, 20) from the random stream, the ends 0, then 20 passes of
// a running three-point smoother over the inner entries.
constexpr int JITTSTEPS = 300;
void makejitttable(float* deg, int n);

// Corner (x, y) of quadrant wedge q (0..3) for placement order `type`:
// 1 upper right, upper left, lower left, lower right; 0 the other order.
void quadrantcorner(int q, int type, int* x, int* y);

// Open gaps between two neighbouring rings in linear radii: from the ring
// behind (`inner`, the one the other runs ahead of) to the ring ahead,
// each widened by d, wrapped at maxrad back to minrad. A ring that is off
// counts as a ring of no width at its inner radius. Returns 0-2 pieces
// [from[k], to[k]].
struct RingSpan {
  bool visible;
  float rin, rout;
};
int ringgap(RingSpan inner, RingSpan ahead, float d, float minr, float maxr, float from[2], float to[2]);

// The stencil openings of the several-rings and several-wedges composites:
// what their painted masks leave open, on the masks' own radii and angles.
// false: more pieces than an opening holds (the mask is painted).
struct MaskOpening;
bool ringsopening(double t, int cnt, MaskOpening* o);
bool wedgesopening(double t, int cnt, MaskOpening* o);

// Multi-frequency wedge: whether a group with on/off rate `freq` shows at t:
// the first onfrac of each cycle, or for onfrac <= 0 from -onfrac on.
bool multifreqon(float freq, double t, float onfrac);
// Start angle of the multi-frequency wedge: rotation (or the ipsilateral
// sweep) and centring only.
float multifreqstart(double t);

// Event-related wedge: trial schedule and n-back history.
struct PolRand {
  int angles[24];
  int nangles = 0, angi = 0;
  int gaps[6];
  int gapi = 0;
  float lags[3], durs[3];
  int lagi = 0, duri = 0;
  int trialcnt = 0, eventsperlag = 0;
  int trial = 0, lastnback = -1;
  int back[3] = {-1, -1, -1};  // angles 1, 2, 3 trials back
  double nextevent = 0.0, endevent = 100.0;
  int angle = 0;
  bool hit = false;
};
// The seed of an event-related run's trial order: -srseed when given, else
// drawn from the clock (and the stream), so runs differ.
long polrandseed(int srseed, bool srseedgiven, long clock);
void polrandinit(PolRand& s);
// Starts the trial due at t (t >= nextevent), logging it; returns false
// when none is due.
bool polrandstep(PolRand& s, double t);

// Per-run state of the variants that carry any from frame to frame. A run's
// first frame makes them anew; the reset leaves the buffers allocated so
// the frame loop allocates nothing.
struct VariantsState {
  bool jittstarted = false, wanderstarted = false, randstarted = false, multistarted = false, spokestarted = false;
  float jitter[JITTSTEPS] = {};  // jittered wedge: the run's table and step
  int jittstep = JITTSTEPS;
  WanderTour tour;               // wandering wedge
  bool border = true;
  PolRand polrand;               // event-related wedge
  std::vector<unsigned char> shown;  // multi-frequency wedge: columns on
};
void resetvariants(VariantsState& s);
VariantsState& variantsstate();
void drawpolarjitt(VariantsState& s, double t, int nrad, int ntheta, int lettflag);
void drawwanderpol(VariantsState& s, double t, int nrad, int ntheta, int lettflag);
void drawpolrand(VariantsState& s, double t, int nrad, int ntheta);
void drawmultifreqpolar(VariantsState& s, double t, int nrad, int ntheta);
void drawlcms1(VariantsState& s, double t);

// Radial-bar pieces: bar j (odd dark, even light) at radial shift `shift`
// slots inside [r0, r1) with slot width w, dark and light shares D and L
// (in slots); a bar passing r1 continues from r0.
RingPieces spokebar(int j, double shift, float r0, float r1, float w, float D, float L);
// Bar motion of the low-contrast stimulus at t: 0 still, 1 outwards, -1 reversed.
int lcmsmotion(double t);
