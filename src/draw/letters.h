// Letters in wedges and rings: the number task's letter streams.
#pragma once

#include "draw/centre.h"

// State of one letter stream between frames.
struct LetterStream {
  bool started = false;      // the run's first letter is drawn
  char lett[2] = {'A', 0};  // the character shown
  float pos = 0.0f;          // wedge: radius; ring: angle (radians)
  float jitt = 0.0f;         // wedge: angular, ring: radial jitter
  float lo = 0.0f, hi = 0.0f;  // the letter radius range after the clip
  double lastphase = 0.0;
  bool firstunlogged = true;  // the first character shows before any new cycle
};
// The wedge's and the ring's streams (the calls of one frame share them).
struct LettersState {
  LetterStream pol, ecc;
};
void resetletters(LettersState& s);
// The instance the stimulus types draw with (a composite has its own).
LettersState& lettersstate();

// The letter streams: a random capital every textdur + gapdur seconds,
// now and then a digit (the subject's target), inside the wedge turned by
// dth or inside the ring of time offset toff.
void drawpolletter(LetterStream& s, double t, float dth, Centre c = Centre::orbit);
// In a wedge `width` wide instead of -polwidth (the orbital composites' disk).
void drawpolletter(LetterStream& s, double t, float dth, Centre c, float width);
void draweccletter(LetterStream& s, double t, double toff);
void drawpolletter(double t, float dth, Centre c = Centre::orbit);
void draweccletter(double t, double toff);

// A wedge or ring with its letter stream.
void drawpollet(double t, int nrad, int ntheta);
void drawecclet(double t, int nrad, int ntheta);

// --- the letter geometry and schedule, computable without GL ---

// Ring letters jitter in radius only when the ring is wider than this.
constexpr float ECCJITTMIN = 0.1f;
// Draws of a letter position before the screen clamp gives up.
constexpr int LETTCLAMPTRIES = 26;

// Where a stream is at t: a new character starts (new), or the current one
// shows (visible); neither during the gap. Advances the stored phase.
struct LetterTick {
  bool fresh;
  bool visible;
};
LetterTick lettertick(LetterStream& s, double t);
// The next character: a digit 1..9 once in `lettspernum` draws on average
// (always for 1 or less), else a capital other than 'O'. Draws random().
char nextlettchar(int lettspernum);
// The letter radius range: [minlett, maxlett] clipped to [minrad, maxrad]
// (to truncmaxrad for a truncated wedge).
void letterrange(float* lo, float* hi, bool wedge);
// Angle of the wedge's middle at t for a wedge turned by dth (radians).
float polletterangle(double t, float dth);
float polletterangle(double t, float dth, float width);
// A new letter's angular jitter (radians, one random draw): uniform over
// the wedge width less poljittmin.
float newpolletterjitter();
float newpolletterjitter(float width);
// Offset of a wedge letter from the wedge's middle for its drawn jitter
// (radians): the jitter counts only in a wedge wider than poljittmin.
float polletteroffset(float jitt);
float polletteroffset(float jitt, float width);
// Radius of the ring letter at time T (the ring's middle over the letter
// range, wrapped, jittered by jitt and transformed).
float eccletterradius(double T, float lo, float hi, float jitt);
// Whether (x, y) lies strictly inside the window.
bool insidewindow(float x, float y);

