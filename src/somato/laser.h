// Laser finger maps: a spoken cue names the finger and position to target,
// the laser fires a fixed delay later through the digital output.
#pragma once

void drawpainmap(double t, int randflag);
void drawpainrand(double t);
// Start-up: finger count, positions and every cue file the run will play.
void checkpaincues();
// The on/off blocks' pulses per finger (catalogue row).
void checklaserrepeats();

// Schedule pieces, computable without a window.
// Cue file name of finger f (0..3) and 0-based position.
void paincuename(char* out, int size, int finger, int pos);
// Finger at hand phase h for `fingercnt` fingers (negative: from the last).
int painfinger(double h, int fingercnt);
// Type 110's plan: for each finger f and position p the number of its pulse
// (plan[f * positions + p]), built in passes of fingers x perblock pulses.
void painplan(int* plan, int fingers, int positions, int perblock, int* blockorder);
