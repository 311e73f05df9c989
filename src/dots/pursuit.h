// Wobbling, wandering and pursuit stimuli: the viewpoint moves rather than
// the dots. A still dot field seen through a rotating wedge that wobbles on
// a circle; a circular aperture wandering over a grid with the fixation mark
// in it; pursuit blocks (the eyes follow a moving mark over a still scene)
// against playback blocks (the same retinal motion, eyes still), with dots
// or pictures; and a ring of object pictures over a jittering background.
#pragma once

// Start-up hooks: check these types' parameters and size their paths,
// orders and jitter sequences, so that no frame allocates.
void preparepursuitpath();    // the pursuit path of the dot pursuit
void preparepursuitimages();  // the same, and the image pairs of the image pursuit
void preparewandergrid();     // the shuffled grid of the wandering mask
void preparerealmot();        // the object ring of the real-motion stimulus

// A coordinate moved by 2m until it lies in [-m, m].
float wrapsquare(float v, float m);
// Offset of the wobbling field at time t.
void wobbleoffset(double t, float* ox, float* oy);
// Start angle and sweep (GLU degrees) of the wobbling wedge's cover.
void wobblewedgecover(double t, float* start, float* sweep);

// A sweep of the smooth path: number k since t = 0 and phase theta.
struct Sweep {
  long long k;
  float theta;
};
Sweep sweepat(double t, double freq);

// The stops of a pursuit path and the sweep along them.
struct PursuitPath {
  float* x = nullptr;  // n stops: the centre, n - 2 random stops, the centre
  float* y = nullptr;
  int n = 0;
  long long lastk = -1;       // sweep of the previous frame
  long long drawnblock = -1;  // block that drew the stops
  int index = 0;              // stop the sweep goes to
  int pair = -2;              // picture pair (background, target) of the path
};
// Block number at sweep k (flowsperblock sweeps a block) and its kind.
long long pursuitblock(long long k);
bool pursuitplayback(long long block);
// Advances the path to time t: sets the point P on it and the sweep phase;
// true when the stops were drawn anew on this frame.
bool pursuitstep(PursuitPath& p, double t, float* px, float* py, float* theta);
// The (background, target) pair after `pair` among `count` pictures:
// (0, 1), (2, 3), ... and round again when a pair would run past the end.
int nextpicturepair(int pair, int count);
// Grey of the dots in a playback block at sweep phase theta over a leg of
// length `leg` (the brightness follows the speed), and in a pursuit block.
float pursuitgrey(bool playback, float theta, float leg, float g);

// The wandering aperture's tour of the grid.
struct WanderGrid {
  int* order = nullptr;  // gridsize^2 cell indices
  int n = 0;
  int pos = 0;           // position in the order of the sweep's end point
  int lastend = 0;       // end point of the previous sweep
  long long lastk = -1;
  int p1 = 0, p2 = 0;    // cells of the current sweep
};
void wanderreset(WanderGrid& w);
// Advances the tour to time t and gives the aperture centre.
void wandergridstep(WanderGrid& w, double t, float* cx, float* cy);

// Step count of one slot of the object ring, and the smoothed jitter
// sequences (in place, s entries).
int realmotsteps();
void smoothjitter(float* a, int s);

// What the wobbling, wandering and pursuit stimuli carry from frame to frame
// (one of them draws in a run). The path's stops and the grid's order are
// sized at start-up and put back on the first frame.
struct PursuitState {
  bool started = false;
  float grey = 1.0f;
  PursuitPath path;
  WanderGrid grid;
};
// Back to before the first frame; the path and grid keep their arrays.
void resetpursuit(PursuitState& s);
// The instance the stimulus types draw with.
PursuitState& pursuitstate();
void drawpursuepassimgs(PursuitState& s, double t);
void drawpursuepasscirc(PursuitState& s, double t, int ndots);
void drawpoldots(PursuitState& s, double t, int ndots);
void drawwandercircdots(PursuitState& s, double t, int ndots);
void drawpursuepassimgs(double t);
void drawpursuepasscirc(double t, int ndots);
void drawpoldots(double t, int ndots);
void drawwandercircdots(double t, int ndots);

constexpr int REALMOTSLOTS = 25;   // objects on the ring at most
constexpr int REALMOTJITTERS = 4;  // background x, y and object x, y

// The object ring: its jitter paths and object order (sized at start-up)
// and what it carries from frame to frame.
struct RealMotState {
  bool started = false;
  int steps = 0;                        // S
  float* jitter[REALMOTJITTERS] = {};   // S steps each
  int* order = nullptr;                 // shuffled object numbers
  int slotobj[REALMOTSLOTS] = {};       // object on show in each slot
  float slotx[REALMOTSLOTS] = {}, sloty[REALMOTSLOTS] = {};
  int newest = 0;
  double slotstart = 0.0;
  int lastslot = -1;
  bool newpaths = false;
  float lastimphase = 0.0f, lastbgphase = 0.0f;
  int bg = 0;
  int countdown = 0, shown = 0;  // target: frames to the next, frames left
  int targobj = -1, targdir = 0;
};
// Back to before the first frame; the paths and order keep their arrays.
void resetrealmot(RealMotState& s);
// The instance the stimulus type draws with.
RealMotState& realmotstate();
void drawrealmotpolimgs(RealMotState& rm, double t);
void drawrealmotpolimgs(double t);
