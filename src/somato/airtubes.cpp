#include "somato/airtubes.h"

// Nothing to prepare yet.
void checkairtubes() {}
