#include "dots/dotfield.h"

// Nothing to prepare yet.
void preparedots() {}
