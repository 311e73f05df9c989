// A calibrated gamma table loaded into the display's RandR gamma ramps for
// the run; the ramps found there are put back at every exit.
#pragma once

#include <X11/Xlib.h>

#include <string>
#include <vector>

// What a gamma file holds: one exponent per channel (the display's measured
// gamma, corrected by x^(1/g)), or a table of rows "r g b" that is the ramp
// itself (row k is the output for input k/(rows-1)).
struct GammaTable {
  bool exponents = false;
  double gamma[3] = {1.0, 1.0, 1.0};
  std::vector<double> rows[3];
};

// Parses the text of a gamma file. False on a malformed file, with the
// line (1-based) and the reason.
bool parsegammatable(const std::string& text, GammaTable* out, int* line, std::string* why);
// Channel `c` (0 red, 1 green, 2 blue) of `t` as a ramp of `size` 16-bit entries.
void gammaramp(const GammaTable& t, int c, int size, unsigned short* out);

// Reads -gammafile when given; a malformed or unreadable file is fatal.
// Called before the window opens.
void readgammafile();
// Loads the table into the ramps of the CRTCs the window is on (all active
// ones when it is on none); fatal when the display has no gamma ramp.
void applygamma(Display* d, Window w);
// Puts back the ramps applygamma found (xit calls it; harmless when none).
void restoregamma();
