// Picture layers of the composite stimuli: randomly ordered pictures riding
// in the rotating wedge, in the expanding ring, alternately in both, or at
// random places around the centre.
#pragma once

#include "draw/imagestreams.h"

constexpr int MAXSIMULTIFFS = 25;

// What a picture layer keeps per stream.
struct PicStream {
  PicOrder order;
  int index = 0;
  double lastphase = 1.001;
  float mid = 0.0f;    // radius (wedge, orbit) or angle (ring)
  float angle = 0.0f;  // orbit: angle; both: which placement
  float drift = 0.0f, adrift = 0.0f;
  int side = 0;        // orbit with hemifield blocks: 0 right, 1 left
};
// The streams' shared timing: 1/P and the visible fraction.
struct PicTiming {
  double freq = 1.0, visfrac = 1.0;
};
// What one picture layer carries from frame to frame (a composite owns one
// per picture layer). The first frame puts the streams back.
struct PicLayerState {
  bool started = false;
  PicStream streams[MAXSIMULTIFFS];
  PicTiming timing;
  bool inwedge = true;  // alternating layer: the first picture goes to the ring
};
// Back to before the first frame; the streams' orders keep their arrays.
void resetpiclayer(PicLayerState& s);
// The instances the stimulus types draw with, one per layer kind.
struct PicLayersState {
  PicLayerState wedge, ring, both, orbit;
};
void resetpiclayers(PicLayersState& s);
PicLayersState& piclayersstate();

void drawpolimg(PicLayerState& s, double t, int count);
void draweccimg(PicLayerState& s, double t);
void drawbothimg(PicLayerState& s, double t);
void draworbimgs(PicLayerState& s, double t, int count);
// The hemifield pictures spread over a wedge `width` wide instead of -polwidth.
void draworbimgs(PicLayerState& s, double t, int count, float width);
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
