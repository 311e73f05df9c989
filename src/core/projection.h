// Display units and stimulus scale: pure computations, no GL.
#pragma once

// The visible area is always 3.12 units wide; its height follows the aspect.
constexpr float HALFWIDTHUNITS = 1.56f;

struct Extents {
  float iwinxgl;  // half width in units
  float iwinygl;  // half height in units
};
Extents windowextents(int winxgl, int winygl);
// Largest window side in pixels: X11 sizes are 16-bit and GL viewports stop
// at 16384 on common drivers.
constexpr int MAXWINSIDE = 16384;
// A window size the server and GL can take (a zero or negative side makes no
// window, and no unit scale).
bool windowsizeok(long winxgl, long winygl);
float pixelsperunit(int winxgl);

constexpr float SCALEUPINCR = 1.02f;
constexpr float SCALEDOWNINCR = 0.980392158f;  // 1/1.02, so up and down cancel

// Equivalent arrow-key step count of an accumulated scale (what prscales prints).
int scalesteps(float currstimscale);
// Clamps a start scale as the start-up does (above 10 -> 10).
float clampstartscale(float s);
