// Start-up hooks of the stimulus families (and the calls the run makes into
// them, handed over by installstimuli): what the run's type needs
// prepared before "Ready" and the checks of the outputs it drives. Each step
// looks at the type's catalogue row and does nothing for a type without
// that need, so start-up calls them all in the same order for every type.
#pragma once

#include "core/stimulus.h"

// Word lists, pictures, dot arrays, vection, then the row's own prepare hook.
void preparestimulus();
// The check (or bar) palette of the checkerboard types.
void preparepalette();
// The output bits of the scenario file and the laser map's cue files.
void checkstimulusoutputs();
// Whether the pre-saccade fixation test claims the frame at t.
bool presaccadetestclaims(double t);
// The type's own checks after the option checks: the air tubes, then its
// row's check hook, then the tube report.
void checkstimulustype();
// The calls the run makes into the stimulus side, for installstimuli.
StimulusHooks stimulusside();
