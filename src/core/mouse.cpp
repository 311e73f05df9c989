#include "core/mouse.h"

// Nothing to prepare yet.
void setstartmouse() {}
