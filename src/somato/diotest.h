// Test of the digital output bits.
#pragma once

// What the output test carries from frame to frame.
struct DioTestState {
  bool started = false;
  int lastbit = -1;  // the bit driven now (-1: none)
};
void resetdiotest(DioTestState& s);
// The instance the stimulus type draws with.
DioTestState& dioteststate();
// Type 113: the 32 output bits in turn, their numbers on the screen.
void drawtestDIO32(DioTestState& s, double t);
void drawtestDIO32(double t);
// Interval of the output test at time t (0..67) and the bit it drives
// (0..31, or -1 in the odd intervals and the closing pause).
int testDIO32interval(double t, double puffdur);
int testDIO32bit(int interval);
