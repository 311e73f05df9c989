// Vection, depth and ring-aperture dot stimuli.
#pragma once

void draweccdots(double t, int ndots);
void drawvecvsscram(double t, int ndots);
void drawvechorver(double t, int ndots);
void drawvec3canal(double t, int ndots);
void drawflowscramsurfvolrndblk(double t, int ndots, float disp);
