// The delayed-saccade trials.
#pragma once

// One trial's absolute times and target positions.
struct SaccTrial {
  double initend, targ1beg, targ1end, targ2beg, targ2end, dimend, trialend, distbeg, distend;
  float t1x, t1y, t2x, t2y;
  int retflag;  // type 92: this trial shows target 1 again as the return
};

// Per-run state of the delayed-saccade trials.
struct SaccadeState {
  SaccTrial trial{};
  bool trialdone = true;  // the next frame starts a trial
  int framecnt = 0;       // frames drawn: the distractors' hold count
  int distseed = 0;
};
void resetsaccade(SaccadeState& s);
SaccadeState& saccadestate();
void drawdelsacc(SaccadeState& s, double t);
void drawdelsacc(double t);  // with the module's own state

// The calibration path that opens the program (-presaccadedur): claims
// the frames until it is over, once per program, not once per run.
int ispresaccadeper(double t);
// While it runs the frame loop draws neither its mesh nor its mark.
bool presaccaderunning();

// Starts a trial of stimulus type `type` at t (draws from random() in the
// trial's fixed order); prevret is the previous trial's return flag.
SaccTrial startsacctrial(int type, double t, int prevret);
// Fixation-mark position of the calibration path at t (period p).
void presaccadepos(double t, double p, float* x, float* y);
