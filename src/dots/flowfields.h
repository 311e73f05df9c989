// Random-dot flow fields, glass patterns and Brownian wedges.
#pragma once

#include "dots/dotfield.h"

// One flow: translation, rotation and dilation.
struct Flow {
  float dx = 0.0f, dy = 0.0f, rot = 0.0f, dil = 1.0f;
};

// What a flow field carries from frame to frame (a composite owns one for
// its dot layer).
struct FlowFieldState {
  bool started = false;
  float grey = 1.0f;
  Flow common;
  double prevtau = 0.0;
  bool target = false;
  int lastcond = -1;
};
// The stepped variants (glass patterns, stepped and jittered flow).
struct SteppedFlowState {
  bool started = false;
  float grey = 1.0f;
  Flow common;
  int lastcond = -1;
  float oldtflow = 0.0f;
};
// The stereo flow field of the random-block stereo experiment.
struct StereoFlowState {
  bool started = false;
  double prevtau = 0.0;
  Flow common;
  int lastcond = -1;
};
// The Brownian dot wedge (it starts with the run's pattern clock).
struct DotWedgeState {
  float grey = 1.0f;
  Flow common;
};
// Which of the run's apertures (-polwidth, -eccwidth, -circwidth) a dot
// field cuts around itself: a composite that masks dots and pictures
// together, or cuts its own gaps, leaves some open.
struct MaskSpan;
struct DotAperture {
  bool wedge = true, ring = true, circle = true;
  // A span of the field's own masks that the caller opened before the
  // layers beneath the dots (the board they accompany, which the masks
  // cover too): the field closes it where it would close its own.
  const MaskSpan* opened = nullptr;
};
// The masks the field's own widths open where its aperture leaves them to it.
unsigned flowmaskkinds(DotAperture a);

// The instances the stimulus types draw with (one of them in a run).
struct FlowFieldsState {
  FlowFieldState field;
  SteppedFlowState stepped;
  StereoFlowState stereo;
  DotWedgeState dotwedge;
};
void resetflowfields(FlowFieldsState& s);
FlowFieldsState& flowfieldsstate();

void drawrotdil0stereo(StereoFlowState& s, double t, int ndots, float disp, int cond, int flag);
// The same in colours and a disparity rule of the caller's (the random-block experiment's).
void drawrotdil0stereo(StereoFlowState& s, double t, int ndots, float disp, int cond, int flag, const StereoLook& k);
void drawrotdil0(FlowFieldState& s, double t, int ndots, DotAperture a = DotAperture{});
// The same field as a layer of a composite: its coherent/scrambled blocks
// are not the run's blocks and are not logged.
void drawrotdil0layer(FlowFieldState& s, double t, int ndots, DotAperture a = DotAperture{});
void draworbrotdil(FlowFieldState& s, double t, int ndots);
void drawrotdil1(SteppedFlowState& s, double t, int ndots);
void drawrotdil2(SteppedFlowState& s, double t, int ndots);
void drawglass1(SteppedFlowState& s, double t, int ndots);
void drawpoldotbg(DotWedgeState& s, double t, int ndots);
void drawrotdil0stereo(double t, int ndots, float disp, int cond, int flag);
void drawrotdil0(double t, int ndots, DotAperture a = DotAperture{});
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
