// The stimulus-type catalogue: log names, who may log, who draws its own
// fixation, and the per-frame call of every type.
#pragma once

using DrawFn = void (*)(double t, double tprev);

struct StimTypeInfo {
  int num;
  const char* logname;  // nullptr: the type writes no own-named log
  const char* desc;     // short description (usage text)
  DrawFn draw;          // nullptr: background and fixation only
};

// Entry of a type, or nullptr for a number with no entry.
const StimTypeInfo* stiminfo(int stimtype);
// All entries in increasing type order.
const StimTypeInfo* stimtable(int* count);

// The first-argument type check: false for reserved, negative and >129 numbers.
bool validstimtype(int stimtype);
// Whether the type's drawing is built (a valid type that is not is refused).
bool stimbuilt(int stimtype);
// Whether a type may write an event log, given the two target probabilities.
bool stimmaylog(int stimtype, float chktargprob, float fixtargprob);
// Suffix of the event-log file name.
const char* stimlogname(int stimtype, float chktargprob, float fixtargprob);
// Types that draw their own fixation (or none).
bool stimskipsfixation(int stimtype);

// Calls the drawing operation(s) of the run's type.
void drawstimulus(int stimtype, double t, double tprev);

// Test pattern: its square colours for a frame, computable without GL.
// Returns 1 (white) or 0 (black) for column c, row r at inversion phase `inv`.
int zzzzsquarewhite(int c, int r, int inv);
void drawzzzz(double t);
