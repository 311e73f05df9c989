// The delayed-saccade trials.
#pragma once

void drawdelsacc(double t);
int ispresaccadeper(double t);

// One trial's absolute times and target positions.
struct SaccTrial {
  double initend, targ1beg, targ1end, targ2beg, targ2end, dimend, trialend, distbeg, distend;
  float t1x, t1y, t2x, t2y;
  int retflag;  // type 92: this trial shows target 1 again as the return
};
// Starts a trial of stimulus type `type` at t (draws from random() in the
// trial's fixed order); prevret is the previous trial's return flag.
SaccTrial startsacctrial(int type, double t, int prevret);
// Fixation-mark position of the calibration path at t (period p).
void presaccadepos(double t, double p, float* x, float* y);
