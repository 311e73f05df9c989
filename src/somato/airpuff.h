// Air-puff stimuli.
#pragma once

void drawpolarair(double t);
void drawrotrandair(double t);
void drawphaselineair(double t);
void drawphasehalfpointsair(double t, int half);
void drawoffvisair(double t, int nrad, int ntheta, int ndots);
void drawoff2airrndblk(double t);
void drawoff3airrndblk(double t);
