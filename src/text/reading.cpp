#include "text/reading.h"

// Not drawn yet: these types show background and fixation only.
void drawparafontoffrndblk(double) {}
