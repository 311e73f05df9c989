#include "somato/airpuff.h"

// Not drawn yet: these types show background and fixation only.
void drawpolarair(double) {}
void drawrotrandair(double) {}
void drawphaselineair(double) {}
void drawphasehalfpointsair(double, int) {}
void drawoffvisair(double, int, int, int) {}
void drawoff2airrndblk(double) {}
void drawoff3airrndblk(double) {}
