// Picture streams: the sequencing every picture stream shares, and the
// periodic slide show of the whole picture set.
#pragma once

// One uniform draw U = random() * 2^-31 in [0, 1).
double urand();
// lo + U*(hi - lo).
float urange(float lo, float hi);
// fmod(x, 1): keeps the sign of x.
double fracphase(double x);

// A reshuffled pass over all n pictures: each picture once per pass, a new
// random order for each pass.
struct PicOrder {
  int* idx = nullptr;
  int n = 0;
  int pos = 0;
};
// Puts the order back to 0..n-1 with the pass used up (the next picture
// shuffles first). The array is allocated once, at the first reset.
void resetpicorder(PicOrder& o, int n);
// The next picture of the pass, shuffling when a pass is used up.
int nextpic(PicOrder& o);
// A random picture of 0..n-1 other than `prev` (the only one when n is 1).
int randomotherpic(int prev, int n);

// Whether picture `index` is a target (its name holds -targtiffinfix;
// an empty infix marks none).
bool istargetpic(int index);
// Logs "TiffEvent" when a stream starts a target picture, with the seconds
// it is shown (the events table gives targets their length).
void logtiffevent(double shown);
void logiftarget(int index, double shown);

// Slide-show step: the picture after (forward) or before `index` in 0..n-1.
int stepslide(int index, int n, bool forward);

// What the slide show carries from frame to frame.
struct SlideShowState {
  bool started = false;
  int n = 0, index = 0;
  double rate = 0.0, lastphase = 1.001;  // the first frame steps onto picture 0 (or n-1 backward)
};
void resetslideshow(SlideShowState& s);
// The instance the stimulus type draws with.
SlideShowState& slideshowstate();
void drawperiodictiffs(SlideShowState& s, double t);
void drawperiodictiffs(double t);
