// Stereo wedges: the rotating wedge in depth, as anaglyph outlines or as a
// side-by-side pair for a mirror stereoscope.
#pragma once

// Per-run state of the divergent pair: its palette is made on the first frame.
struct StereoWedgeState {
  bool started = false;
};
void resetstereowedge(StereoWedgeState& s);
StereoWedgeState& stereowedgestate();
void drawpolarstereodiv(StereoWedgeState& s, double t, int nrad, int ntheta);
void drawpolarstereodiv(double t, int nrad, int ntheta);  // with the module's own state
void drawpolarstereoline(double t, int nrad, int ntheta);

// Disparity at time t before wobble and targets: stereodisp when
// stereofreq is 0, else a sawtooth from +|stereodisp| (far) to
// -|stereodisp| (near) each period (the reverse for a negative rate).
float stereoramp(double t);

// One outlined check of the anaglyph wedge: the inset corners at radii e
// (inner) and o (outer) between the inset angles a and b.
struct StereoOutline {
  float e, o, a, b;
};
StereoOutline stereooutline(float rin, float rout, float a0, float a1, float wedgewidth);
