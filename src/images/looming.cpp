#include "images/looming.h"

// Not drawn yet: these types show background and fixation only.
void drawbarrierdil(double) {}
void drawbarrierrndblk(double) {}
void drawimdil(double) {}
