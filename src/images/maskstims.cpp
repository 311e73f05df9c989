#include "images/maskstims.h"

// Not drawn yet: these types show background and fixation only.
void drawpolartiffmask(double) {}
void draweccentiffmask(double) {}
void draweccpoltiffmask(double) {}
