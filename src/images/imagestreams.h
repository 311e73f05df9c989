// Periodic picture streams.
#pragma once

void drawperiodictiffs(double t);
