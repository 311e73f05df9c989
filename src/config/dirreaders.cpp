#include "config/dirreaders.h"

// Nothing to prepare yet.
void setdefaultlibdirs() {}
