#include "retino/gratings.h"

// Not drawn yet: these types show background and fixation only.
void drawsingratramp(double) {}
void drawtempfreqrampsq(double) {}
void drawtempfreqrampsin(double) {}
void draworient(double, double) {}
void draworientquadrants(double, double) {}
