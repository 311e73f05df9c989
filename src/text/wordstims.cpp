#include "text/wordstims.h"

// Not drawn yet: these types show background and fixation only.
void drawpolword(double) {}
void drawwordshemiaudrndblk(double) {}
void drawnumdil(double) {}
void drawwordspacelett(double, int) {}
void drawwordsfont0font1(double, int) {}
void drawwordsfontoffrndblk(double) {}
