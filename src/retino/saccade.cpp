#include "retino/saccade.h"

// Not drawn yet: these types show background and fixation only.
void drawdelsacc(double) {}
int ispresaccadeper(double) { return 0; }
