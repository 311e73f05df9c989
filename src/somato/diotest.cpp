#include "somato/diotest.h"

// Not drawn yet: these types show background and fixation only.
void drawtestDIO32(double) {}
