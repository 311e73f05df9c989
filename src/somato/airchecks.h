// Start-up checks of the air-puff types: the tube map against the outputs,
// then each type's own timing limits (its row's check), then the tube map
// is printed for the operator.
#pragma once

// The checks every air-puff type shares (map, tube count, output bits).
void airpuffchecks();
// Printed after the type's own checks: whether puffs are on, and the map.
void reportairtubes();

// The types' own checks (catalogue rows).
void checkrotatingpuffs();   // rotating puffs: puffs per position fit a position's time
void checkrightleftpuffs();  // right/left halves: even tubes, a half-period fits the puffs
void checkrandoffpuffs();    // random/off one-back: a half-period fits, the target rate is reachable
void checkflowpuffs();       // sweeps over all the tubes fit the sweep period
void checkhalfflowpuffs();   // sweeps over half the tubes (period taken with its sign)
void checkthirdflowpuffs();  // sweeps over a third of the tubes (period taken with its sign)
void checkairgrid();         // the line sweeps' grid holds every tube
