// Laser finger maps: a spoken cue names the finger and position to target,
// the laser fires a fixed delay later through the digital output.
#pragma once

#include <vector>

// The pulse that follows a cue, and its record.
struct Pulse {
  double begin = -1.0, end = -1.0;
  int finger = 0, pos = 0;
  bool enabled = true;
};

// What the laser maps carry from frame to frame (one of them draws in a run).
struct LaserState {
  bool started = false;
  double handfreq = 0.0, fingerfreq = 0.0, blockfreq = 0.0;
  double prevfinger = 1.001, prevlaser = 1.001;
  int counter = 0;
  bool wasenabled = true;
  std::vector<int> order, plan, blockorder;
  Pulse pulse;
};
void resetlaser(LaserState& s);
// The instance the stimulus types draw with.
LaserState& laserstate();

void drawpainmap(LaserState& s, double t, int randflag);
void drawpainrand(LaserState& s, double t);
void drawpainmap(double t, int randflag);
void drawpainrand(double t);
// Start-up: finger count, positions and every cue file the run will play.
void checkpaincues();

// Schedule pieces, computable without a window.
// Cue file name of finger f (0..3) and 0-based position.
void paincuename(char* out, int size, int finger, int pos);
// Finger at hand phase h for `fingercnt` fingers (negative: from the last).
int painfinger(double h, int fingercnt);
// Type 110's plan: for each finger f and position p the number of its pulse
// (plan[f * positions + p]), built in passes of fingers x perblock pulses.
void painplan(int* plan, int fingers, int positions, int perblock, int* blockorder);
