#include "retino/variants.h"

// Not drawn yet: these types show background and fixation only.
void drawwanderpol(double, int, int, int) {}
void drawpolar4shift(double, int, int) {}
void drawpolarjitt(double, int, int, int) {}
void drawpol2dia(double, int, int) {}
void drawpol2opp(double, int, int) {}
void drawpol2opplet(double, int, int) {}
void drawpolrand(double, int, int) {}
void drawlcms1(double) {}
void drawmultifreqpolar(double, int, int) {}
void draweccpol(double, int, int, int, int) {}
void draweccens(double, int, int, int, int, int) {}
void drawpolars(double, int, int, int, int, int) {}
