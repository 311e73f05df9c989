// Post-parse conversions and cross-checks.
#pragma once

// Type 61 conversion, then convertparams, crosschecks and airpuffchecks.
void postparsechecks();
// Rates doubled, zero rates made tiny, degrees to radians, clamps.
void convertparams();
// The consistency checks (messages, warnings and fatal ends).
void crosschecks();
// Limits of the counts that size arrays and per-frame loops.
void countchecks();
void airpuffchecks();
