// Rectangle (pgi) files: small text files of coloured, optionally rotated
// rectangles that scenario items draw.
#pragma once

#include "scenario/scenariofile.h"

#include <cstdio>
#include <string>

constexpr int PGILINELEN = 199;  // line buffer: 198 characters + NUL

// Rotates (x, y) about the origin by `deg` degrees counter-clockwise.
void my2rot(float x, float y, float deg, float* x2, float* y2);
// One rectangle record: lower-left corner (x, y), size w x h (display units),
// rotated by `rotdeg` about its centre; colour from the palette index
// (`colorindex`, -1: the item's colour, then white) unless r is not -1.
void saverect(PgiRect* rect, int colorindex, int itemcolor, int r, int g, int b, float x, float y, float w, float h,
              float rotdeg, int filled);
// Reads one pgi file (open as `f`, called `name`) into the item's rectangles;
// false with the message in `err` for a bad line.
bool parsepgi(FILE* f, const char* name, ExptItem* item, std::string& err);
// Reads every pgi item of one slot; false with the message for a missing or bad file.
bool readloadpgifiles(int slot, std::string& err);
