#include "dots/smoothflow.h"

// Not drawn yet: these types show background and fixation only.
void drawsmoothflow(double, double, int, int) {}
