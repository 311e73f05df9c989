#include "dots/vection.h"

// Not drawn yet: these types show background and fixation only.
void draweccdots(double, int) {}
void drawvecvsscram(double, int) {}
void drawvechorver(double, int) {}
void drawvec3canal(double, int) {}
void drawflowscramsurfvolrndblk(double, int, float) {}
