// The rotating checkerboard wedge.
#pragma once

#include <cmath>

#include "draw/centre.h"

// The width of a disk drawn as a wedge (the orbital composites).
constexpr float FULLCIRCLE = static_cast<float>(2.0 * M_PI);

// Passed as WedgeShape::coltype: the run's own -coltype.
constexpr int RUNCOLTYPE = -1000;

// Colour selectors of drawpolar.
constexpr int PLAINCOLS = 0;   // entries 0..nrad*ntheta-1
constexpr int SHIFTCOLS = 1;   // offset by 4*k per wedge, wrapping (multi-wedge stimuli)
constexpr int SECONDCOLS = 2;  // right-eye half of the doubled palette (type 79)

// What a caller may set beyond the wedge's own schedule (the event-related
// and multi-frequency wedges): a start angle of its own (no rotation,
// blocks, wobble or jerk), no targets, no truncation, and which angular
// checks show.
struct WedgeShape {
  bool fixedstart = false;
  float start = 0.0f;      // radians, with fixedstart
  bool truncate = true;    // truncnumrad applies
  bool targets = true;     // jerk and check targets
  const unsigned char* columns = nullptr;  // angular check i drawn when columns[i] != 0 (nullptr: all)
  Centre centre = Centre::orbit;           // the wandering wedge carries its own centre
  int coltype = RUNCOLTYPE;                // the palette a refill makes (the rivalry blocks' own)
  bool fullcircle = false;                 // FULLCIRCLE wide instead of -polwidth
  int shift = 1;                           // SHIFTCOLS: this wedge's place among several (colours shift by 4 a place)
};

void drawpolar(double t, int nrad, int ntheta, float freqmul, int wctype, float disp, float phaseoff,
               const WedgeShape* shape = nullptr);

// Per-run state of the wedges: the flicker phase their palette was made for
// (every wedge of a frame shares the one palette).
struct WedgeState {
  // The flicker half-cycle the palette was last filled for (-1 or +1). The
  // start-up palette serves the first run's first half-cycle; a restart
  // must not show the previous run's last palette, so it sets 0, which no
  // half-cycle matches.
  int lastflickerphase = -1;
  bool drawn = false;
  // The smooth return's dimming, worked out once per frame.
  double dimt = -1.0e30;
  float (*dimof)(double) = nullptr;
  float dim = 1.0f, dimgrey = 0.0f;
};
void resetwedge(WedgeState& s);
// Whether the palette must be filled again for flicker half-cycle sf.
bool wedgepalettestale(const WedgeState& s, int sf);
WedgeState& wedgestate();

// Outer radius of the last slot drawn under truncnumrad.
extern float truncmaxrad;

// Start angle of the wedge before the jerk target (radians).
float polarstartangle(double t, float freqmul, float phaseoff);
// The same for a wedge `width` wide (-polwidth above).
float polarstartangle(double t, float freqmul, float phaseoff, float width);
// Block bit b = int(blockfreq*t) mod 2 (sign kept) of the hemifield designs.
int hemiblock(double t);
// Counter-phase flicker sign: +1 when int(|flickerfreq*t|) is odd, else -1.
int flickersign(double t);
// Dilation: radial phase F in [0, 1) and the sign s_d of the half cycle
// (-1 for an even whole number of slot steps, +1 for an odd one).
struct Dilation {
  float phase;
  int sign;
};
Dilation dilation(double t);
// Radii of slot j after the clamp to [minrad, maxrad] and, when
// exptransflag is set, the exponential transform.
struct Radii {
  float rin, rout;
};
Radii wedgeslot(int j, int nrad, float phase);
// The same with the transform base of this minrad and maxrad given.
Radii wedgeslot(int j, int nrad, float phase, float base);
// Parity sign of check (i, j) under the flicker/dilation factor p.
int checkparity(int i, int j, int p);
// Palette entry of check (i, j); k is the wedge index of SHIFTCOLS.
int wedgecolourindex(int wctype, int i, int j, int nrad, int ntheta, int k);
// Horizontal shift of a check at inner radius rin for disparity disp.
float wedgedispshift(float disp, float rin);

// Sets the GL colour of one check: colour 0 of the entry for sign >= 1, else
// colour 1, dimmed by the active smooth wrap when smoothwrapdim < 1.
// A ring check dims by ringdim (nullptr: the travelling ring's eccwrapdim).
void setchkcolor(int index, int sign, double t, float (*ringdim)(double) = nullptr);
// Which smooth wrap dims: 1 ring types, 2 ipsilateral wedge, 0 none.
int smoothwraptype();
// Start-up: whether the run's type is a ring that dims where it wraps.
void setringwrapdim(bool on);
constexpr float SMOOTHWRAPSLOPE = 2.5f;

// Ipsilateral sweep: start angle, sweep shaping, return-phase dimming.
float getpolipsith0(double t);
float getsmoothpolipsiwrap(float a);
void setsmoothpolipsiwrapdimcolor(double t, float r, float g, float b);
// The colour (r, g, b) dimmed towards the background by dimof(t), worked out
// once per frame.
void setwrapdimcolor(double t, float (*dimof)(double), float r, float g, float b);
// The dimming factor of the ipsilateral return at time t (1 outside it).
float polipsiwrapdim(double t);
