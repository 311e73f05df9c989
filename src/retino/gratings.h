// Gratings and frequency ramps.
#pragma once

void drawsingratramp(double t);
void drawtempfreqrampsq(double t);
void drawtempfreqrampsin(double t);
void draworient(double t, double tprev);
void draworientquadrants(double t, double tprev);
