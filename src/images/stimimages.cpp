#include "images/stimimages.h"

// Nothing to prepare yet.
void loadstimimages() {}
