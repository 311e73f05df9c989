// The one full turn in radians, shared by every drawing that works in angles.
#pragma once

#include <cmath>

constexpr double TWOPI = 2.0 * M_PI;
