// Pictures the picture stimuli load before the run.
#pragma once

void loadstimimages();
