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
  long trialno = -1;   // the trial shown (-1: the next frame starts the run's first)
  double first = 0.0;  // the first trial's onset: the run's first frame
  int framecnt = 0;    // frames drawn: the distractors' hold count
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

// The trial running at t when trials of `len` seconds follow each other
// without a gap from `first` on: trial n starts at exactly first + n*len,
// on the frame whose t reaches it (a frame's t rounded just short of it
// counts as reaching it), so onsets never drift by the frames a trial
// boundary falls between. A trial of no length lasts one frame.
long saccadetrialat(double first, double len, double t);
double saccadeonset(double first, double len, long n);

// Starts a trial of stimulus type `type` at t (draws from random() in the
// trial's fixed order); prevret is the previous trial's return flag.
SaccTrial startsacctrial(int type, double t, int prevret);
// Fixation-mark position of the calibration path at t (period p).
void presaccadepos(double t, double p, float* x, float* y);
