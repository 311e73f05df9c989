#include "text/wordlists.h"

// Nothing to prepare yet.
void loadwordlists() {}
