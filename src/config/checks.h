// Post-parse conversions and cross-checks.
#pragma once

// The code conversion (it ends there), then convertparams, crosschecks,
// countchecks, the air-puff checks and the type's own checks (its row).
void postparsechecks();
// Rates doubled, zero rates made tiny, degrees to radians, clamps.
void convertparams();
// The consistency checks (messages, warnings and fatal ends).
void crosschecks();
// Limits of the counts that size arrays and per-frame loops.
void countchecks();
