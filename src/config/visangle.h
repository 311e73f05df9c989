// Sizes in degrees of visual angle. The window is 3.12 display units wide
// whatever its pixels, so the viewing distance and the width of the visible
// image (both in cm) fix how large a unit looks to the subject.
#pragma once

#include <cstdio>

// Degrees of visual angle of one display unit at fixation.
double degperunit(double viewdist, double screenwidth);
// Eccentricity in degrees of a radius of `rad` display units.
double eccdeg(double rad, double viewdist, double screenwidth);
// The radius in display units that lies at `deg` degrees eccentricity.
double radforecc(double deg, double viewdist, double screenwidth);

// Checks -viewdist and -screenwidth and prints the sizes in degrees when
// both are given.
void checkviewgeometry();
// The same sizes as a log-header line (nothing without the two options).
void writeviewgeometry(FILE* f);
