// Vection, depth and ring-aperture dot stimuli: a flat field translating
// left/right or up/down, clouds of patches on a sphere rotating as a whole
// or patch by patch, the three canal-plane rotations, the random-block
// stereo flow experiment with dimming targets, and a wobbling field seen
// through an expanding ring.
#pragma once

#include "dots/flowfields.h"

// What the vection and depth stimuli carry from frame to frame (one of them
// draws in a run).
struct VectionState {
  bool started = false;
  float grey = 1.0f;
  double prevrand = 1.001, prevflow = 1.001;  // the first frame places the dots
  // patch clouds
  float common[3] = {1.0f, 0.0f, 0.0f};  // the coherent rotation axis
  int scrambled = 0;
  int plainmark = 0;  // the mark type drawn without stereo
  // random-block stereo flow: the user's eye colours (dimmed for targets),
  // the dim-target schedule, and the flow field it draws
  float normL = 0.0f, normR = 0.0f;
  int stereotype = 0;  // the disparity rule of the last block that named one
  int framespertarg = 0, targleft = 0;
  StereoFlowState stereo;
};
void resetvection(VectionState& s);
// The instance the stimulus types draw with.
VectionState& vectionstate();

void draweccdots(VectionState& s, double t, int ndots);
void drawvecvsscram(VectionState& s, double t, int ndots);
void drawvechorver(VectionState& s, double t, int ndots);
void drawvec3canal(VectionState& s, double t, int ndots);
void drawflowscramsurfvolrndblk(VectionState& s, double t, int ndots, float disp);
void draweccdots(double t, int ndots);
void drawvecvsscram(double t, int ndots);
void drawvechorver(double t, int ndots);
void drawvec3canal(double t, int ndots);
void drawflowscramsurfvolrndblk(double t, int ndots, float disp);

// Start-up checks (catalogue rows): settings that would draw nothing.
void checkvectionring();     // the ring aperture needs 0 < minrad < maxrad
void checkcanalconds();      // canal-plane condition names
void checkflowblockconds();  // stereo flow block condition names
// Sizes the patch axes and vertex buffers of the patch clouds.
void preparevectionpatches();

// Displacement of the velocity profile `type` at phase u (cycles):
// 0 constant speed (2 pi u), 1 sin, 2 1 - cos, 3 back and forth, other 0.
double sinusoidprofile(double u, int type);
// Shift of the horizontal/vertical vection field at time t (display units).
double vectionshift(double t);
// Whether the field moves vertically at time t (else horizontally).
bool vectionvertical(double t);
// x wrapped into [-m, m] by steps of 2m.
float wrapinto(double x, float m);

// Radii of the ring aperture at time t; v > w when the ring has wrapped.
struct EccRing {
  float v, w;  // inner and outer radius
};
EccRing eccdotring(double t);
// Whether a dot at squared distance r2 from the centre shows in the ring.
bool inring(float r2, const EccRing& ring);
// Offset of the wobbling field at time t.
void eccdotoffset(double t, float* x, float* y);

// Rotation (degrees) of the patch cloud at flow phase p.
float patchrotation(double p);
// Rotation axis and motion of a canal-plane condition; false for a name
// that is none of them.
bool canalaxis(const char* name, float axis[3], bool* moves);
// Coherent (0) or scrambled (1) flow and stereo type of a stereo-flow block
// condition; false for an unknown name. "off" reports nodraw.
bool flowblockcondition(const char* name, int* scrambled, int* stereotype, bool* nodraw);
// Frames per dim target of the stereo-flow blocks (0: no targets).
int dimtargframes();

// Rotates v (3 floats) in place by `deg` degrees about `axis` (need not be
// unit length), counter-clockwise seen from the axis tip.
void rotateaxis(float* v, const float axis[3], float deg);
// The same rotation as a row-major 3x3 matrix (identity for a zero axis).
void axismatrix(const float axis[3], float deg, float* r);
