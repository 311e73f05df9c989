#include "retino/rivalry.h"

// Not drawn yet: these types show background and fixation only.
void drawmonbinrivoffrndblk(double, int, int) {}
void drawdivgmonbinrivoffrndblk(double, int, int) {}
