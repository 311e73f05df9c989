// Smooth flow and smooth glass patterns.
#pragma once

void drawsmoothflow(double t, double tprev, int ndots, int glassflag);
