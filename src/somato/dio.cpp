#include "somato/dio.h"

// Nothing to prepare yet.
void setupdio() {}
