// Air-puff stimuli: the schedules decide frame by frame which tube puffs,
// open its valve through the digital I/O layer and show the tube as a
// square on the screen.
#pragma once

void drawpolarair(double t);
void drawrotrandair(double t);
void drawphaselineair(double t);
void drawphasehalfpointsair(double t, int half);
void drawoffvisair(double t, int nrad, int ntheta, int ndots);
void drawoff2airrndblk(double t);
void drawoff3airrndblk(double t);

// Schedule pieces, computable without a window.
// Rotating puffs: whether fraction f of a position's time lies within a
// puff of one of `slots` slots (jitters as fractions of a position).
bool polarpuffon(double f, const float* jitt, int slots, double puffdurfrac);
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
