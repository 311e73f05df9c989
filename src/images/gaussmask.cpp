#include "images/gaussmask.h"

// Not drawn yet: these types show background and fixation only.
void drawtiffgausstranspar(double) {}
