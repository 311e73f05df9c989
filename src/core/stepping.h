// Saved-frame and rehearsal runs step the run frame by frame at the
// display's rate (-framerate), whatever rate frames are saved at, so that
// they show and log what a live run at that rate shows and logs. A
// saved-frame run writes every so many of its steps; a rehearsal writes
// none and opens no window.
#pragma once

// The steps whose frames are saved: `first`, then every `stride` steps.
// The steps lie at phase + j x framedur: from t = 0, unless the first saved
// frame's time is off that grid, which is then shifted to meet it (a run
// stepping at its saving rate: t = firstframetime + k / rate, as always).
struct SavePlan {
  long first = 0, stride = 1;
  double phase = 0.0;
};
// Whether frames saved every savedur seconds fall on every n-th step of
// framedur (else the run steps at the saving rate).
bool savesonthegrid(double savedur, double framedur);
// Frames at firstframetime + k x savedur, the run stepping at framedur.
SavePlan saveplan(double firstframetime, double savedur, double framedur);
// The step at which saved frame k is written.
long savestepof(const SavePlan& p, int k);

// Whether this run steps by frames (-saveframes or -rehearse).
bool steppedrun();
// The one start of a stepped run: with a window the operator's F1 ("[fn]-F1
// to start save frames"), without one at once. The log gets the start
// lines of a live run started by F1 from "Ready" in the run's start mode.
void beginsteppedrun();
// After a step is drawn (before the swap): whether its frame is to be saved.
bool savethisstep();
// After the step's frame went out: writes it when due; ends the run after
// its last saved frame, or after the rehearsed seconds.
void endstep(bool saved);
// A waiting screen ("Done") reached after the start: a live run would show
// it until a key; the rest of the saved frames show it, then the run ends.
void steppedwait();
// Whether a stepped run has had its start (its waits end the run).
bool steppedstarted();
// The closing line of a stepped run (frames written or stepped, how fast).
void printsteppedrun();
