#include "core/sound.h"

// Not drawn yet: these types show background and fixation only.
void drawaudfileonce() {}
void drawperiodicaudcue(double) {}
void playbgtrack() {}
void stopsounds() {}
