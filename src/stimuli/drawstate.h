// Per-run drawing state. Each drawing module keeps what it carries from one
// frame to the next in one struct of its own, with a reset that puts it back
// to where it was before the first frame; a composite owns the states of its
// layers and resets them together. The loop makes one call on start, F1, F2
// and at the end of the pre-period, so the next frame draws as the first
// frame of a run, whichever layer happens to draw first.
#pragma once

void resetdrawingstate();
