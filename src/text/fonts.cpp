#include "text/fonts.h"

// Nothing to prepare yet.
void loadfonts() {}
