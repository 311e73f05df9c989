// The fixation-only periods before and after the stimulus, as a pure state
// machine so that its transitions can be checked without a window.
#pragma once

enum PrePostAction : int {
  PP_FIXONLY = 1,    // the frame shows fixation only
  PP_ENDPRE = 2,     // the pre-period just ended: log, reset the timer
  PP_ENDPERIOD = 4,  // the stimulus period just ended: log it once
  PP_ENDPOST = 8,    // the post-period is over: "Done" screen and wait
};

// Advances the state for the frame at t and returns the PrePostAction bits.
// `predone` is the run's predoneflag; `endlogged` is kept across frames.
int prepostactions(int& predone, int& endlogged, double t, float prepostfix, float runfreq);
