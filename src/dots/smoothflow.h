// Smooth flow and smooth glass patterns: a field of limited-lifetime dots on
// a polar grid whose displacement oscillates sinusoidally (rotation,
// dilation, spiral or a mix), or still dot triplets aligned with that flow.
#pragma once

// The still-target schedule: frames to the next target, frames left of the
// current one, and where it is.
struct FlowTarg {
  int countdown = 0, left = 0;
  float rho = 0.0f, alpha = 0.0f;
};
// One frame of the still-target schedule: 1 and the target's radius and
// angle while a target is on, else 0 and zeros.
int getflowtarg(FlowTarg& targ, float* r, float* th);
// Start-up: sizes the field's own dot store for numdots (types 51, 52).
void preparesmoothflow();

// The field's constants for the run's parameters.
struct SmoothFlowSetup {
  int flowtype = 0;        // smoothflowtype, with 4/5 turned into 6/7 by a negative rate
  float secsperrad = 0.0f; // 1/(2 pi flowfreq)
  float a = 0.0f;          // base of the exponential radius map
  float dexptrans = 1.0f;  // slope of that map at maxrad (1 when it is linear)
};

// What the smooth flow carries from frame to frame besides its dot store
// (sized at start-up, placed afresh on the first frame).
struct SmoothFlowState {
  bool started = false;
  SmoothFlowSetup setup;
  FlowTarg targ;
  int lasttargflag = 0, targdot = 0;  // the dot a target replaces
};
void resetsmoothflow(SmoothFlowState& s);
// The instance the stimulus types draw with.
SmoothFlowState& smoothflowstate();
void drawsmoothflow(SmoothFlowState& s, double t, double tprev, int ndots, int glassflag);
void drawsmoothflow(double t, double tprev, int ndots, int glassflag);
SmoothFlowSetup smoothflowsetup();
// Angular (E) and radial (F) factors of the flow at phase phi.
void smoothflowfactors(int flowtype, float phi, float* E, float* F);
// Radial and angular displacement at time t.
void smoothflowdisplacement(const SmoothFlowSetup& s, double t, float* dr, float* dth);
// A linear radius folded into [minrad, maxrad] (what leaves at one edge
// comes back at the other).
float smoothfold(float r, float minrad, float maxrad);
// Where a dot of base radius and angle (ra0, th0) is drawn after the
// displacement (dr, dth): radius R in display units and angle th.
void smoothdotplace(const SmoothFlowSetup& s, float ra0, float th0, float dr, float dth, float* R, float* th);
// Frames until the next still target for uniform u.
int flowtarggap(float u);
