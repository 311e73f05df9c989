// The stimulus-type catalogue: every type's row (log name, needs, calls),
// the type numbers and log names, and the hand-over of the rows and the
// stimulus side's calls to the run.
#pragma once

#include "core/stimulus.h"

// Hands the rows and the stimulus side's calls (fonts, preparation, the
// fixation mark, the calibration, waiting-screen text) to the run. main, the
// tests and the tools call it once, before anything reads a row.
void installstimuli();

// The first-argument type check: false for reserved, negative and >129 numbers.
bool validstimtype(int stimtype);
// Whether a type may write an event log (its row names one), given the two
// target probabilities.
bool stimmaylog(int stimtype, float chktargprob, float fixtargprob);
// Suffix of the event-log file name.
const char* stimlogname(int stimtype, float chktargprob, float fixtargprob);
// Test pattern: its square colours for a frame, computable without GL.
// Returns 1 (white) or 0 (black) for column c, row r at inversion phase `inv`.
int zzzzsquarewhite(int c, int r, int inv);
void drawzzzz(double t);
