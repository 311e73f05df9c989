// Air-puff stimuli: the schedules decide frame by frame which tube puffs,
// open its valve through the digital I/O layer and show the tube as a
// square on the screen.
#pragma once

#include "somato/airout.h"

#include <vector>

// One evaluation of the rotating schedule (the outputs and the display
// each keep their own).
struct PolarEval {
  int previ = 0;
  bool wason = false;
  int lastslot = -1;  // slot of the puff on in the last frame
  int lastpos = 0;    // its position
  bool newpuff = false;
  int lastbase = -1;  // last random choice (types 101, 102)
  std::vector<float> jitt;
};

// Puffs of `puffdur`, each followed by a gap. A puff keeps the line (or
// point) it began on to its end: one valve per puff, even when the sweep
// moves on in the middle of it.
struct PuffTrain {
  double nextpuff = 0.0, puffstart = -1.0, puffend = -1.0;
  double prevend = -1.0;  // end of the puff before
  int within = -1;
  int line = 0;
};

// What the air-puff stimuli carry from frame to frame (one of them draws
// in a run).
struct AirState {
  bool started = false;
  // rotating puffs
  PolarEval outeval, showeval;
  double puffdurfrac = 0.0;
  long onebackevery = 100000000;  // puffs per one-back target
  // sweeps through shuffled groups, rotation vs random
  PuffSweep sweep;
  int preve = -1;        // block of the previous frame
  bool visinit = false;  // the visual block's layers have started
  // line and half sweeps
  PuffTrain train;
};
void resetair(AirState& s);
// The instance the stimulus types draw with.
AirState& airstate();

void drawpolarair(AirState& s, double t);
void drawrotrandair(AirState& s, double t);
void drawphaselineair(AirState& s, double t);
void drawphasehalfpointsair(AirState& s, double t, int half);
void drawoff2airrndblk(AirState& s, double t);
void drawoff3airrndblk(AirState& s, double t);
void drawpolarair(double t);
void drawrotrandair(double t);
void drawphaselineair(double t);
void drawphasehalfpointsair(double t, int half);
void drawoff2airrndblk(double t);
void drawoff3airrndblk(double t);

// The random blocks' pieces the visual-or-air blocks share: the block's
// index in `names` (another name ends the run, naming `list`), and one puff
// per position of a shuffled sweep over `group` tubes from map index
// `first` (the order's place while a puff is on, else -1).
int airblockkind(int cond, const char* const* names, int n, const char* list);
int airgroupsweep(PuffSweep& s, double t, int group, int first);

// Schedule pieces, computable without a window.
// Rotating puffs: whether fraction f of a position's time lies within a
// puff of one of `slots` slots (jitters as fractions of a position).
bool polarpuffon(double f, const float* jitt, int slots, double puffdurfrac);
// The slot whose puff holds fraction f (-1: none). Jittered slots may
// touch: a change of slot from one frame to the next is a new puff.
int polarpuffslot(double f, const float* jitt, int slots, double puffdurfrac);
// The rotating puff's tube (outputs: counting down from a quarter of the
// circle) or display position, for the integer position i.
int rotpufftube(int i, float polfreq, int tubes, bool output);
// The rotating puff's display slot (angle slot, negative: clockwise) of `tube` (1-based):
// where the display shows the position whose output is that tube.
int rotpuffslot(int tube, int tubes);
// Types 103, 120: the block at time t (1: the random, or off, block).
int rotrandblock(double t, float twofreq);
// Line sweeps: map index of the tube `within` the line `line` of the grid
// (104: rows, 105: columns), row by row.
int lineairindex(int type, int line, int within, int cols);
