#include "somato/laser.h"

// Not drawn yet: these types show background and fixation only.
void drawpainmap(double, int) {}
void drawpainrand(double) {}
