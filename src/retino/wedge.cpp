#include "retino/wedge.h"

// Not drawn yet: these types show background and fixation only.
void drawpolar(double, int, int, float, int, float, float) {}
