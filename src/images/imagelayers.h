// Picture layers of the composite stimuli: randomly ordered pictures riding
// in the rotating wedge, in the expanding ring, alternately in both, or at
// random places around the centre.
#pragma once

constexpr int MAXSIMULTIFFS = 25;

void drawpolimg(double t, int count);
void draweccimg(double t);
void drawbothimg(double t);
void draworbimgs(double t, int count);

// Time of stream j of `count`: t, then cumulative offsets 0, 1, 3, 6, ...
// times tiffdur/count when -staggertiffs is on.
double streamtime(double t, int j, int count);
// A picture radius kept in [minlett, maxlett] (minlett wins if they cross).
float clamplett(float r);
// The angle of the wedge the pictures ride in (radians).
float imgwedgeangle(double t);
// The ring the pictures ride in, after the exponential transform; not
// visible while -skipeccwrap skips the wrap.
struct ImgRing {
  bool visible;
  float rin, rout;
};
ImgRing imgringedges(double t, bool smoothwrap);
// Drift offset at phase `phase` of a picture with drift distance d
// (none with -trbased).
float driftoffset(double phase, float d);
// Set-up checks of the stream parameters (exits when unusable).
void checkimagestreams();
