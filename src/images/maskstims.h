// Picture stimuli seen through wedge and ring masks.
#pragma once

#include "draw/imagestreams.h"

// What the masked picture stimuli carry from frame to frame: one gapless
// stream of pictures, each shown for -tiffdur, the frame count that -test
// alternates the mask by, and the drift of the current picture.
struct MaskStimState {
  bool started = false;
  PicOrder order;
  int index = 0;
  double lastphase = 1.0001;  // the first frame starts a picture
  long frame = 0;
  float xs = 0.0f, ys = 0.0f;
};
// Back to before the first frame; the picture order keeps its array.
void resetmaskstims(MaskStimState& s);
// The instance the stimulus types draw with.
MaskStimState& maskstimstate();

void drawpolartiffmask(MaskStimState& s, double t);
void draweccentiffmask(MaskStimState& s, double t);
void draweccpoltiffmask(MaskStimState& s, double t);
void drawpolartiffmask(double t);
void draweccentiffmask(double t);
void draweccpoltiffmask(double t);

// Outer edge of the ring the ring-masked pictures grow with, at time t.
float tiffmaskringouter(double t);
// Whether frame number `frame` (0 = first after a start) is masked: every
// frame, or with -test every second one starting unmasked.
bool maskthisframe(long frame, bool test);
