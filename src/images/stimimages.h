// Pictures the picture stimuli load before the run.
#pragma once

// Loads the picture set of -tiffdir (falling back to the library's "test"
// folder when it is no directory) for the types that show pictures.
void loadstimimages();
