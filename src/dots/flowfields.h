// Random-dot flow fields, glass patterns and Brownian wedges.
#pragma once

void drawrotdil0stereo(double t, int ndots, float disp, int cond, int flag);
// Which of the run's apertures (-polwidth, -eccwidth, -circwidth) a dot
// field cuts around itself: a composite that masks dots and pictures
// together, or cuts its own gaps, leaves some open.
struct DotAperture {
  bool wedge = true, ring = true, circle = true;
};
void drawrotdil0(double t, int ndots, DotAperture a = DotAperture{});
// The same field as a layer of a composite: its coherent/scrambled blocks
// are not the run's blocks and are not logged.
void drawrotdil0layer(double t, int ndots, DotAperture a = DotAperture{});
void drawrotdil1(double t, int ndots);
void drawrotdil2(double t, int ndots);
void drawpoldotbg(double t, int ndots);
void drawglass1(double t, int ndots);
void draworbrotdil(double t, int ndots);

// Scrambled (1) or coherent (0) block at time t of the two-condition design:
// scrambled while int(twofreq*t) is odd (even for a negative twofreq).
int scrambledblock(double t);
// Seconds into the current flow of period 1/flowfreq.
double flowtime(double t, float flowfreq);
// Start of the period of rate `rate` that holds t: int(rate*t)/rate.
double periodstart(double t, float rate);
// Whole steps of 1/steprate in x, as a fraction: int(x*steprate)/steprate.
double stepped(double x, float steprate);
// The two edges of the Brownian dot wedge at time t (radians).
void dotwedgeedges(double t, float* edge1, float* edge2);
