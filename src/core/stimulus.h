// What the run knows of the stimulus side: the rows of the type catalogue
// (each type's needs and calls) and the few calls the frame loop, the
// waiting screens and start-up make into the drawing layers. The catalogue
// hands both over before start-up (installstimuli), so the run itself
// includes no stimulus code.
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

// The calls of the stimulus side the run makes; each one does nothing
// until the catalogue hands its own over.
struct StimulusHooks {
  // The type numbers the first argument takes, and the event log's name.
  bool (*validtype)(int stimtype);
  bool (*maylog)(int stimtype, float chktargprob, float fixtargprob);
  const char* (*logname)(int stimtype, float chktargprob, float fixtargprob);
  // The type's own checks after the option checks (air tubes, its row's).
  void (*checktype)();
  // Start-up, in this order: the fonts; word lists, pictures, dots and the
  // row's own preparation; the check palette; the outputs it drives; once
  // the window's GL context is current, what needs it.
  void (*loadfonts)();
  void (*prepare)();
  void (*preparepalette)();
  void (*checkoutputs)();
  void (*windowready)();
  // Start, F1, F2 and the end of the pre-period: the next frame draws as
  // the first of a run.
  void (*reset)();
  // The fixation mark at the centre (at the screen's centre, not the
  // orbit's, with `screencentre`), and the fixation furniture.
  void (*fixation)(float bright, double t, bool screencentre);
  void (*fixmesh)(float bright);
  void (*fixgrid)(float bright);
  void (*fixdots)(float bright);
  // The calibration path that opens the program: whether it still runs
  // (the loop then draws neither mesh nor mark), and whether its fixation
  // test claims the frame at t.
  bool (*calibrating)();
  bool (*calibrationclaims)(double t);
  // Text in the first font: waiting-screen labels, the score, sound names
  // (grab points as the fonts take them: 3 lower-centre, 5 centre).
  void (*text)(const char* text, float x, float y, float size, int grab);
};

// The hand-over (the catalogue's installstimuli calls them).
void settyperows(const StimTypeInfo* rows, int count);
void setstimulushooks(const StimulusHooks& hooks);
const StimulusHooks& stimulushooks();

// Entry of a type, or nullptr for a number with no entry.
const StimTypeInfo* stiminfo(int stimtype);
// All entries in increasing type order.
const StimTypeInfo* stimtable(int* count);

// Whether the type's row has any of the StimNeeds bits `what`.
bool stimneeds(int stimtype, unsigned what);

// The lowest type number whose row has any of the bits `what` (-1: none),
// for messages that name the one type an option belongs to.
int firststimwith(unsigned what);

// Calls the drawing operation(s) of the run's type.
void drawstimulus(int stimtype, double t, double tprev);

