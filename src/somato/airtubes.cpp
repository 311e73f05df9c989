#include "somato/airtubes.h"

#include "somato/laser.h"

// The air-tube checks run with the other post-parse checks; what is left
// for this start-up step is the laser map's cue files.
void checkairtubes() { checkpaincues(); }
