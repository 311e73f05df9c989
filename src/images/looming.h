// Looming pictures and barrier stimuli.
#pragma once

constexpr int MAXSETPICS = 100;  // pictures per looming set

// The pictures of one cycle: `count` slots from the shuffled order, the
// position advanced before each take, at most one target per set (further
// targets skipped). Reshuffles once the order has been passed. Returns
// whether the set holds a target.
struct LoomOrder {
  int* idx = nullptr;
  int n = 0;
  int pos = 0, lastpos = 0;
};
bool chooseloomset(LoomOrder& o, int count, int* slots, bool (*istarget)(int));

// The turning set of the barrier stimuli: base angle and turn per cycle.
struct BarrierSet {
  int slots[MAXSETPICS] = {};
  float theta0 = 0.0f, turn = 0.0f;
};

// What the looming and barrier stimuli carry from frame to frame (one of
// them draws in a run).
struct LoomingState {
  bool started = false;
  LoomOrder order;
  BarrierSet set;
  int slots[MAXSETPICS] = {};
  double lastphase = 1.001;
  float theta0 = 0.0f;
};
// Back to before the first frame; the picture order keeps its array.
void resetlooming(LoomingState& s);
// The instance the stimulus types draw with.
LoomingState& loomingstate();

void drawimdil(LoomingState& s, double t);
void drawbarrierdil(LoomingState& s, double t);
void drawbarrierrndblk(LoomingState& s, double t);
void drawimdil(double t);
void drawbarrierdil(double t);
void drawbarrierrndblk(double t);

// Radius of the plain looming pictures at cycle phase q (0..1).
float imdilradius(float q);
// Picture height of the plain looming pictures at radius R.
float imdilheight(float R);
// Radius of the barrier pictures at phase p.
float barrierradius(float p);
// Barrier conditions by name: 0 off, 1 dilate front, 2 dilate back,
// 3 contract front, 4 contract back, -1 unknown.
int barriercondition(const char* name);
// Set-up checks of the looming types (exits when unusable).
void checklooming();
