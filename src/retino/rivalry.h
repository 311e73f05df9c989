// Binocular-rivalry condition stimuli.
#pragma once

void drawmonbinrivoffrndblk(double t, int nrad, int ntheta);
void drawdivgmonbinrivoffrndblk(double t, int nrad, int ntheta);
