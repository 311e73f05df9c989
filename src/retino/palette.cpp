#include "retino/palette.h"

// Nothing to prepare yet.
void makechkcols() {}
