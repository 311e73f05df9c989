// Laser finger maps.
#pragma once

void drawpainmap(double t, int randflag);
void drawpainrand(double t);
