// Picture stimuli seen through wedge and ring masks.
#pragma once

void drawpolartiffmask(double t);
void draweccentiffmask(double t);
void draweccpoltiffmask(double t);

// Outer edge of the ring the ring-masked pictures grow with, at time t.
float tiffmaskringouter(double t);
// Whether frame number `frame` (0 = first after a start) is masked: every
// frame, or with -test every second one starting unmasked.
bool maskthisframe(long frame, bool test);
