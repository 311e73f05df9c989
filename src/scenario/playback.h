// Scenario playback: what the event table names is loaded before the run,
// then each frame shows the slot whose interval holds t.
#pragma once

#include "scenario/scenariofile.h"

// Loads the pictures and pgi files of slots 0..n-1 (and checks the sounds);
// returns the store index of the last picture loaded, -1 when none. Any
// missing or bad file ends the run with its message.
int loadexpt(int n);
// Grab-point correction (display units) for a picture of w x h pixels shown
// `size` pixels high (-1: native height), at `unitsperpix` units per pixel.
void lblo2centdxy(int lblo, int w, int h, float* dx, float* dy, float size, float unitsperpix);
// The slot on show at time t, moving forward from slot `frame`: the first
// slot whose end time is not before t; `cnt` when the table is over.
int exptslot(double t, int frame, const ExptFrame* frames, int cnt);
// Whether a new slot's code goes to the log and the code port.
bool loggablecode(int code);
// With a box attached, a ttl= bit beyond the output bits ends the run
// (it would never be driven).
void checkscenariobits();
// Draws one frame of the scenario for stimulus type 60.
void drawexpt(double t);

// Playback state of the run. The reset leaves the outputs as the box has
// them: the run's first frame turns them off and starts at the first slot.
struct PlaybackState {
  bool started = false;
  int frame = 0, lastframe = 0;
  int lastarraybitnum = -1;  // 0-based output bit of the current event, -1 none
  int portbit = -1;          // 0-based output bit now on, -1 none
  int portcode = 0;          // code now on the code port
  int heldslot = -1;         // slot whose outputs wait for one frame of zero
};
void resetplayback(PlaybackState& s);
PlaybackState& playbackstate();
