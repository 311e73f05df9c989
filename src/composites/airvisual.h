// Type 111: air-puff blocks alternating with the full visual composite.
#pragma once

#include "somato/airpuff.h"

void drawoffvisair(AirState& s, double t, int nrad, int ntheta, int ndots);
void drawoffvisair(double t, int nrad, int ntheta, int ndots);  // with the air types' state
