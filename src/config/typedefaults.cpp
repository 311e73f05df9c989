#include "config/typedefaults.h"

// Nothing to prepare yet.
void applytypedefaults(int) {}
