// Block designs: which condition holds at time t, recorded as it changes,
// and the random permutations the whole program uses.
#pragma once

// Permute n values in place from the random() stream (n <= 1: unchanged).
void shuffle(int* values, int n);
void fshuffle(float* values, int n);

// The condition number at time t for a design of n conditions, or -1 once
// a -condlist order is exhausted (then "Done" is shown). Starts the design
// on its first call of a run, and logs each change.
int getlogcondition(double t, int n);
// The condition sequence starts again at the next call (every run start).
void restartcondseq();

// The block phase rule shared by the block designs: the phase is the
// fractional part of blockfreq * t (computed in double, kept as float), and
// a new block starts when it is smaller than at the previous call.
float blockphase(double t, float blockfreq);
inline bool isnewblock(float phase, float lastphase) { return phase < lastphase; }
// The phase to start from, so that the first call never starts a block.
constexpr float FIRSTBLOCKPHASE = -0.001f;
