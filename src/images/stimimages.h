// Pictures the picture stimuli load before the run.
#pragma once

// Whether a stimulus type shows pictures of the start-up picture set.
bool preloadsimages(int stimtype);
// Loads the picture set of -tiffdir (falling back to the library's "test"
// folder when it is no directory) for the types that show pictures.
void loadstimimages();
