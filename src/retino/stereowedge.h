// Stereo wedges.
#pragma once

void drawpolarstereodiv(double t, int nrad, int ntheta);
void drawpolarstereoline(double t, int nrad, int ntheta);
