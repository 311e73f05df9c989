// Puff outputs shared by the air-puff types: which tube's valve is open,
// through the digital I/O layer (one output bit per tube, or the tube
// number as a code byte with -airpuffbyte), and the pieces of the puff
// schedules that several types share.
#pragma once

// Opens the valve of `tube` (1-based; 0 closes every valve) now.
void airvalve(int tube);
// The display's tube at time t, to reach the valves `delayttlport` later
// (the valves of the air system respond after the screen).
void airvalvedelayed(double t, int tube);
// All valves closed and pending changes dropped (run start, restart).
void airvalvesreset();

// Position on a sweep of m places at `rate` sweeps per second: the integer
// part of fmod(rate * t * m, m), taken positive.
int sweepposition(double t, float rate, int m);

// One puff of `puffdur` at each change of a position (a sweep through a
// group of tubes in a shuffled order, reshuffled at each wrap).
struct PuffSweep {
  int previ = -1;       // position of the previous frame (-1: none yet)
  double puffend = -1.0;
  int order[128] = {};  // the group's order (0-based places)
  int n = 0;
};
// Restores the order 0..n-1 and forgets the position.
void puffsweepreset(PuffSweep& s, int n);
// Advances to position i at time t: a wrap reshuffles when `shuffled`, and
// each change of position starts a puff. True while the puff is on.
bool puffsweepstep(PuffSweep& s, int i, double t, bool shuffled);

// Grey of the demonstration squares (the one-sided dot grey).
float airsquaregrey();
// Tube of map position `index` (0 outside the map).
int airtube(int index);
// The demonstration square of side `dotsize` at (x, y) in the square grey.
void airsquare(float x, float y);
