// The one-off Gaussian transparency mask writer.
#pragma once

void drawtiffgausstranspar(double t);
