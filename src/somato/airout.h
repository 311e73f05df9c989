// Puff outputs shared by the air-puff types: which tube's valve is open,
// through the digital I/O layer (one output bit per tube, or the tube
// number as a code byte with -airpuffbyte), and the pieces of the puff
// schedules that several types share.
#pragma once

// Opens the valve of `tube` (1-based; 0 closes every valve) now.
void airvalve(int tube);
// The display's tube at frame time t, a state that began at `since` (<= t,
// the exact time of the schedule rather than the frame's): the valve
// follows `delayttlport` after `since`, at the first frame at or after it.
// `prevend`: the end of the tube's previous puff, when known (for a second
// puff the frames saw no gap before).
void airvalvedelayed(double t, int tube, double since, double prevend = -1.0);
// The valve for a schedule evaluated frame by frame: `tube` (0: none) this
// frame, `newpuff` when a puff began since the last frame. A new puff of
// the tube still open keeps its valve closed for this frame (due at `due`)
// and opens it at the next, so that two puffs never merge into one.
// Every valve change is held for at least a frame in the same way by
// airvalvedelayed; a puff that reopens late is logged as "PuffHeld:".
void airvalvepuff(int tube, bool newpuff, double due);
// All valves closed and pending changes dropped (run start, restart).
void airvalvesreset();

// Position on a sweep of m places at `rate` sweeps per second: the integer
// part of fmod(rate * t * m, m), taken positive.
int sweepposition(double t, float rate, int m);

// One puff of `puffdur` at each change of a position (a sweep through a
// group of tubes in a shuffled order, reshuffled at each wrap).
struct PuffSweep {
  int previ = -1;       // position of the previous frame (-1: none yet)
  double puffstart = -1.0, puffend = -1.0;
  int order[128] = {};  // the group's order (0-based places)
  int n = 0;
};
// Restores the order 0..n-1 and forgets the position.
void puffsweepreset(PuffSweep& s, int n);
// Advances to position i at time t: with `shuffled` the first position and
// every wrap shuffle the order, and
// each change of position starts a puff at `start`, the time the position
// began. True while the puff is on.
bool puffsweepstep(PuffSweep& s, int i, double t, double start, bool shuffled);
// Time at which the current position of a sweep began.
double sweepstart(double t, float rate, int m);
// The valve of a sweep's puff (or none), from the puff's exact times.
void sweepvalve(const PuffSweep& s, double t, bool on, int tube);

// Grey of the demonstration squares (the one-sided dot grey).
float airsquaregrey();
// Tube of map position `index` (0 outside the map).
int airtube(int index);
// The demonstration square of side `dotsize` at (x, y) in the square grey.
void airsquare(float x, float y);
