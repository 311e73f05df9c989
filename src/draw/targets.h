// Attention targets carried by wedges, rings and gratings. Every generator
// steps once per picture (run.picturecnt), its counts are in pictures: a
// further call in the same picture returns what the first one did and logs
// nothing, so a type that draws several copies a frame (quadrants, eyes,
// several wedges, ring plus wedge) moves them all with one target.
#pragma once

// Calls until the next target: uniform between `minframes` and 60/(rate*|cyclerate|)
// for u in [0, 1). A zero cycle rate (a still stimulus) gives `minframes`;
// the result is never below 1 so a countdown always reaches zero again.
int targetgap(int minframes, float rate, float cyclerate, float u);

// Gap and duration countdowns shared by the generators.
struct TargetClock {
  int gap = 0;  // calls until the next target starts
  int dur = 0;  // calls the current target still shows
};
// At the end of a gap: draws the next gap, arms the duration with
// `targframes`, and returns true (a target starts with this call).
bool targetdue(TargetClock& c, float rate, float cyclerate);
// Counts the call: returns the duration countdown before it is decremented
// (above 0: the target shows this call).
int targettick(TargetClock& c);

// One check target: its radii (transformed when exptransflag is set) for
// centre draw u, and the mean of the two colours of palette entry `entry`
// (mid grey when there is none).
struct ChkTarg {
  float r0, r1;
  float r, g, b;
};

// Per-run state of the generators: a run starts with a target due at its
// first frame, as the first run of the program does. Each generator keeps
// the picture it last stepped for and what it gave then.
struct TargetState {
  TargetClock pol;  // orientation jerk
  float poloffset = 0.0f;
  long polpicture = -1;
  float polnow = 0.0f;
  int quadframes = 0;  // four-quadrant jerk: pictures until the next
  double quadlast = 0.0;
  int quad = 0;
  long quadpicture = -1;
  double quadnow[4] = {0.0, 0.0, 0.0, 0.0};
  TargetClock disp;  // disparity bump
  float maxbump = 0.0f;
  long disppicture = -1;
  float dispnow = 0.0f;
  TargetClock sf;  // spatial frequency
  float sfmultiplier = 1.0f;
  long sfpicture = -1;
  float sfnow = 1.0f;
  TargetClock chk;  // check patch
  ChkTarg patch{0.0f, 0.0f, 0.5f, 0.5f, 0.5f};
  long chkpicture = -1;
  bool chkon = false;
};
void resettargets(TargetState& s);
TargetState& targetstate();

// The generators below run on targetstate().
// Polar/orientation jerk in degrees (0 between targets).
float getunipoljerk();
// Per-quadrant phase increments in revolutions (one-call quadrant jerks).
void get4orijerk(double out[4]);
// Raised-cosine disparity bump: maxbump*(1 - cos(2*pi*k/frames))/2.
float dispbumpvalue(float maxbump, int k, int frames);
float getunidispbump();
// Spatial-frequency multiplier (1 between targets).
float getunisfjerk();
// Uniform patch inside the wedge from th0 to th1, at a random eccentricity.
// (width: the wedge's angular width, for the patch's.)
void getdrawpolchktarg(int index, float th0, float th1, float freq, float width);
ChkTarg chktargpatch(float u, const float* entry);
// Half the angular width of the patch: chktargfac halves of one check.
float chktarghalfangle();
float chktarghalfangle(float width);  // of a wedge `width` wide
