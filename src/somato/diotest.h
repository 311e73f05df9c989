// Test of the digital output bits.
#pragma once

void drawtestDIO32(double t);
