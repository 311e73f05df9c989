#include "retino/fixation.h"

// Not drawn yet: these types show background and fixation only.
void drawfixation(float, float, float, float, double) {}
void drawfixmesh(float) {}
void drawfixgrid(float) {}
void drawfixdots(float) {}
