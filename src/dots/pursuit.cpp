#include "dots/pursuit.h"

// Not drawn yet: these types show background and fixation only.
void drawrealmotpolimgs(double) {}
void drawpursuepassimgs(double) {}
void drawpursuepasscirc(double, int) {}
void drawpoldots(double, int) {}
void drawwandercircdots(double, int) {}
