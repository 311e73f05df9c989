#include "retino/letters.h"

// Not drawn yet: these types show background and fixation only.
void drawpolletter(double, float) {}
void drawpollet(double, int, int) {}
void drawecclet(double, int, int) {}
void drawhemiletdilimg(double, int, int, int) {}
void drawpolletdilimg(double, int, int, int) {}
void drawpolletdil(double, int, int, int) {}
void draweccletdil(double, int, int, int) {}
void draweccletdilimg(double, int, int, int) {}
void draweccpoldilimg(double, int, int, int, int, int) {}
void drawmeriddilimg(double, int, int, int) {}
void draworbletdilimgaud(double, int, int, int) {}
void drawpoldilimg(double, int, int, int) {}
void draworbletdilimg(double, int, int, int) {}
void draworbletdil(double, int, int, int) {}
void drawpolworddilimg(double, int, int, int) {}
void draworbdilimg(double, int, int, int) {}
