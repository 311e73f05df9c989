#include "retino/stereowedge.h"

// Not drawn yet: these types show background and fixation only.
void drawpolarstereodiv(double, int, int) {}
void drawpolarstereoline(double, int, int) {}
