#include "scenario/playback.h"

// Not drawn yet: these types show background and fixation only.
void drawexpt(double) {}
