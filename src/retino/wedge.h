// The rotating checkerboard wedge.
#pragma once

void drawpolar(double t, int nrad, int ntheta, float freqmul, int wctype, float disp, float phaseoff);
