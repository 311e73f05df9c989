#include "dots/flowfields.h"

// Not drawn yet: these types show background and fixation only.
void drawrotdil0stereo(double, int, float, int, int) {}
void drawrotdil0(double, int) {}
void drawrotdil1(double, int) {}
void drawrotdil2(double, int) {}
void drawpoldotbg(double, int) {}
void drawglass1(double, int) {}
void draworbrotdil(double, int) {}
