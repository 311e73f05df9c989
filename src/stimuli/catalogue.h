// The stimulus-type catalogue: log names, who may log, who draws its own
// fixation, and the per-frame call of every type.
#pragma once

#include "core/drawfn.h"

// What a type needs prepared before "Ready" and how the frame loop treats it.
enum StimNeeds : unsigned {
  kOwnFixation = 1u << 0,     // draws its own fixation mark (or none): the loop draws none
  kPictures = 1u << 1,        // pictures loaded from -tiffdir before the run
  kPictureStreams = 1u << 2,  // timed picture streams (their timing checked at start-up)
  kLooming = 1u << 3,         // looming or barrier pictures (their sizes checked)
  kDotField = 1u << 4,        // the dot field, sized before the run
  kWordLists = 1u << 5,       // word lists read before the run
  kRandomBlocks = 1u << 6,    // random-block condition sequences (-condlist)
  kAirPuffs = 1u << 7,        // air-puff tubes (map and output bits checked)
  kStencil = 1u << 8,         // draws through the stencil: its quadrants, or its masks' openings (a window with one)
  kBarPalette = 1u << 9,      // colours bars, not checks: one start-up row of 100
  kSoundOnly = 1u << 10,      // plays its sound file once instead of drawing
  kWidenedMask = 1u << 11,    // masked flow composite: the mask opening widens by -rotdilextrafac
  kLaser = 1u << 12,          // laser pulses through the sound player (player and cue files checked)
  kDeepView = 1u << 13,       // vection sphere: the view keeps the depth in front of the screen
  kWanderCentre = 1u << 14,   // wedge round a wandering centre: the waiting screen marks the orbit's centre too
  kOwnDotPlacement = 1u << 15,  // places its dots itself (patch clouds, the whole square): no annulus check
  kGrowingDots = 1u << 16,    // Glass pattern dots grow with eccentricity (-scaledots): their largest size is checked
  kScenario = 1u << 17,       // scenario-file experiment: its fonts are numbered, its output bits checked
  kSpatialRamp = 1u << 18,    // spatial-frequency ramp: -mincycles, -maxcycles, -numfsamples above 0
  kTemporalRamp = 1u << 19,   // temporal-frequency ramp: -mintfreq, -maxtfreq above 0
  kCodeConversion = 1u << 20,  // converts between output bits and event codes, then ends: nothing else is checked
  kFixationDots = 1u << 21,   // draws the -fixdots field (the non-dot stereo wedge); others drop the option
  kSentenceBlocks = 1u << 22,  // reading blocks paced by their sentences: -wordsperblock 0 allowed, -textdur unused
  kSoundsInBlocks = 1u << 23,  // names its sounds in its blocks or file: the player starts before the window
  kRingWrapDim = 1u << 24,    // ring whose checks dim smoothly where the expansion wraps round
  kDoubleRate = 1u << 25,     // drawn in the 120 Hz stereo mode (-doubleframerate)
  kOutputsOff = 1u << 26,     // drives no output itself: its ports are switched off at each start
  kNoPrePost = 1u << 27,      // its frequency list runs from the first frame: no -prepostfix periods
  kInternalMode = 1u << 28,   // the 120 Hz mode's own number: chosen by -doubleframerate, refused as a type
  kAnaglyphPalette = 1u << 29,  // rivalry in red/green: the rivalry colour types fill anaglyph colours
  kEyePairPalette = 1u << 30,   // rivalry side by side: one palette per eye
};

struct StimTypeInfo {
  int num;
  const char* logname;  // nullptr: the type writes no own-named log
  const char* desc;     // short description (usage text)
  DrawFn draw;          // nullptr: background and fixation only
  unsigned needs = 0;   // StimNeeds bits
  // Per-type defaults as option text, read by the option parser before the
  // command line (nullptr: the built-in defaults).
  const char* defaults = nullptr;
  // The "Ready"/"Done" screen of a type with its own (stereo, rivalry);
  // nullptr: the plain screen.
  WaitFn wait = nullptr;
  // The type's own start-up preparation (paths, grids, scenario file), run
  // after the shared loaders; nullptr: none.
  void (*prepare)() = nullptr;
  // The type's own start-up checks and the values its Part derives from
  // other options, run after the shared post-parse checks; nullptr: none.
  void (*check)() = nullptr;
};

// Entry of a type, or nullptr for a number with no entry.
const StimTypeInfo* stiminfo(int stimtype);
// All entries in increasing type order.
const StimTypeInfo* stimtable(int* count);

// The first-argument type check: false for reserved, negative and >129 numbers.
bool validstimtype(int stimtype);
// Whether a type may write an event log (its row names one), given the two
// target probabilities.
bool stimmaylog(int stimtype, float chktargprob, float fixtargprob);
// Suffix of the event-log file name.
const char* stimlogname(int stimtype, float chktargprob, float fixtargprob);
// Whether the type's row has any of the StimNeeds bits `what`.
bool stimneeds(int stimtype, unsigned what);

// The lowest type number whose row has any of the bits `what` (-1: none),
// for messages that name the one type an option belongs to.
int firststimwith(unsigned what);

// Calls the drawing operation(s) of the run's type.
void drawstimulus(int stimtype, double t, double tprev);

// Test pattern: its square colours for a frame, computable without GL.
// Returns 1 (white) or 0 (black) for column c, row r at inversion phase `inv`.
int zzzzsquarewhite(int c, int r, int inv);
void drawzzzz(double t);
