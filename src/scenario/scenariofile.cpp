#include "scenario/scenariofile.h"

// Nothing to prepare yet.
void loadscenario() {}
