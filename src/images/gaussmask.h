// The one-off Gaussian transparency mask writer.
#pragma once

#include <cstddef>

// The writer's first frame shows the background grey that its second
// frame reads back and writes out.
struct GaussMaskState {
  bool started = false;
  unsigned int* raster = nullptr;  // allocated on the first frame, kept over a reset
};
void resetgaussmask(GaussMaskState& s);
// The instance the stimulus type draws with.
GaussMaskState& gaussmaskstate();
void drawtiffgausstranspar(GaussMaskState& s, double t);
void drawtiffgausstranspar(double t);

// Alpha byte of pixel (column k, row j) of a winx x winy mask: transparent
// at the centre, opaque outside, FWHM `fwhmpix` pixels across and, when
// `fwhmheight` is not 0, `fwhmheight`/`circwidth` times that high.
unsigned char gaussalpha(int k, int j, int winx, int winy, double fwhmpix, float circwidth, float fwhmheight);
// Horizontal FWHM in pixels of -circwidth display units.
double gaussfwhmpix(int winx, float halfwidthunits, float circwidth);
// The mask's file name.
void gaussmaskname(char* buf, size_t size, float bggray, double fwhmpix, float circwidth, float fwhmheight,
                   int winx, int winy);
// Set-up check of -circwidth and -fwhmheight for the mask (exits when unusable).
void checkgaussmask();
