#include "retino/ring.h"

// Not drawn yet: these types show background and fixation only.
void draweccen(double, int, int, double) {}
