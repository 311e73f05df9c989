// The expanding checkerboard ring.
#pragma once

void draweccen(double t, int nrad, int ntheta, double toff);
