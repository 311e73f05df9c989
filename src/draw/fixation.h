// Fixation marks and screen furniture.
#pragma once

#include "draw/centre.h"

// Passed as FixMark::type: the run's own -fixtype.
constexpr int RUNFIXTYPE = -2;
// How one call draws the mark beyond the run's options.
struct FixMark {
  Centre centre = Centre::orbit;
  bool targets = true;    // takes part in the dimming/letter task
  int type = RUNFIXTYPE;  // a type of its own: the stereo eyes' marks
  float shrink = 1.0f;    // -fixrad is divided by this: a mark under a scale keeps its size
  const float* eyes = nullptr;  // the stereo marks' left and right eye colours (r, g, b each); nullptr: the run's
};
void drawfixation(float x, float y, float z, float bright, double t, const FixMark& m = FixMark{});
// A mark of type `type` (the stereo eyes' marks, a waiting screen's), the rest as the run asks.
inline FixMark fixmarkoftype(int type) {
  FixMark m;
  m.type = type;
  return m;
}
void drawfixmesh(float bright);
void drawfixgrid(float bright);
void drawfixdots(float bright);
void drawscreenborder();
// Zero-disparity border: 1 square, 2 ring, anything else nothing.
void drawstereoborder(float r, float width, float offset, float bright, int type);

// One call of the target step: what a mark shows.
struct FixTargCall {
  bool on;         // a target shows this call
  bool scheduled;  // this call ended a target and drew the next gap
  char shown[2];   // the letter to show (when on, with letters)
};
// Fixation-target countdown (dimming and letters).
struct FixTargState {
  int framecnt = 0;      // pictures until the next target; on while below targframes
  int fixlett = 0;       // next letter of fixlettstr
  char lett[2] = {0, 0}; // letter shown during the current target
  long picture = -1;     // the picture the last step was made for
  FixTargCall last{false, false, {0, 0}};
};
// Pictures until the next fixation target for uniform u: twice the common
// gap, over the fastest of the polar, ring and block rates.
int fixtarggap(float u);
// One call of the target step (draws a uniform only when scheduling).
FixTargCall fixtargstep(FixTargState& s);
// The target step for a mark of picture `picture` (run.picturecnt): the
// first mark of a picture takes the step, every further mark of the same
// picture shows the same state and schedules nothing, so a type that draws
// several marks a frame (two eyes, four quadrants) dims them all together
// and for targframes frames.
FixTargCall fixtargforpicture(FixTargState& s, long picture);

// The wander tour: a shuffled order of all grid cells that starts and ends
// at the centre cell, one smooth sweep per cell.
struct WanderTour {
  int* gis = nullptr;  // gridsize^2 + 1 cell indices, allocated once
  int n = 0;
  int gi = 0;
  int gistart = 0, giend = 0;
  float x1 = 0, y1 = 0, dx = 0, dy = 0;
  float pflowfreq = 0;
  float lastsweepth = 0;
};
void wanderinit(WanderTour& w);
// Advances the tour to time t and returns the mark's offset.
void wanderstep(WanderTour& w, double t, float* x, float* y);
// Centre of grid cell i in display units.
void wandercell(int i, float* x, float* y);
// Travelled fraction of a sweep at phase theta: (theta - sin theta)/2pi.
float wanderfraction(float theta);

// The fixation mark's state between frames. The target countdown and the
// wiggle carry on from run to run, as the waiting screens' marks step them
// too; the wander tour starts over with each run.
struct FixationState {
  bool wanderstarted = false;
  FixTargState targ;
  float lastxjitt = 0.0f, lastyjitt = 0.0f;
  WanderTour tour;
};
void resetfixation(FixationState& s);
FixationState& fixationstate();
