// Pointer-controlled stimulus centre and the orbiting centre.
#pragma once

typedef union _XEvent XEvent;  // Xlib's event, without Xlib's macros

struct UnitPoint {
  float x, y;
};
struct PixelPoint {
  int x, y;
};

// Display pixels (background-window coordinates) to display units over the
// pointer range +-maxgrid.
UnitPoint mouse2units(int mx, int my, int wdsp, int hdsp, float maxgrid);
// Display units to display pixels; `square` uses the shorter display side.
PixelPoint units2mouse(float x, float y, int wdsp, int hdsp, float maxgrid, bool square);
// In square mode the pointer is clamped to the centred square along the
// display's longer axis.
PixelPoint clamptosquare(int mx, int my, int wdsp, int hdsp);
// Orbit angle in [0, 2pi) at time t.
float orbangle(double t, float orbfreq);

// Translates the current matrix to the pointer position (full screen only).
void cent2mouse();
void interngl2mouse(float x, float y, int* px, int* py);
// Translates the current matrix to the orbiting centre.
void cent2polorb(double t);
// Start-up: warp to -mousestart when given (pointer control only).
void setstartmouse();
// Restart: put the pointer back at the display centre.
void recentremouse();
// A pointer-motion event; the motion events directly following it are merged in.
void notepointermotion(const XEvent& ev);
