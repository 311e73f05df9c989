#include "images/imagestreams.h"

// Not drawn yet: these types show background and fixation only.
void drawperiodictiffs(double) {}
