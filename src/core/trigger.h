// Start trigger, waiting screens and the keyboard.
#pragma once


// Draws a waiting screen with `text` ("Ready", "Done" or "") and swaps.
void clearready(const char* text);
// The same screen drawn into the frame being built, for the frame loop's
// own swap (a second swap in one frame would show a stale buffer every
// other frame where swaps flip the buffers).
void drawwaitscreen(const char* text);
// A label of the waiting screen (grey level `grey`, centred at x, y).
void drawwaitlabel(const char* text, float x, float y, float grey);
// Height (display units) above the centre at which the plain waiting
// screen's label starts, clear of the fixation mark.
float waitlabelclearance();
// Shows `text`, waits for a start event, resets the timer, logs the start.
void clearreadywaitsett(int n, const char* text);
void waitforF1orF2key();
// A digit key or a response button: the KeyEvent line that scoring reads.
void logkey(int digit);
// Handles at most one pending window event; never blocks.
void checkkeyinput();
// Clears the first-call flags and stops sounds (F1, F2, trigger keys).
void restartsequence();
// The start of a run: wait on "Ready" or start at once.
void startrun();
// The start lines: "F1-reset" (F1 or the counted trigger; 0 before the
// timer was ever reset) and "StartPulse" with the start mode.
void logf1reset();
void logstartpulse(int n);
// A started run's trigger presses start nothing more.
void spendtrigger();
// The timer reset of a start: the box's pulses are numbered from here.
void startclock();
// The waiting screen last shown, drawn again into the frame being built.
void redrawwaitscreen();
// One press of the counted trigger key; the press that takes the count
// from 1 to 0 starts the run.
void countdownsomekey(double t);

// What a key does (the key table), computable without a window.
enum class KeyAction {
  none, digit, five, apostrophe, capitalT, f1, f2, f3, f5, f6, f7, f8, escape, up, down,
  mousetoggle, bordertoggle, interocdown, interocup, vertdown, vertup,
  leftreddown, leftgrnup, leftbluup, rightredup, rightgrnup, rightbludown, stereopreset1, stereopreset2,
};
// `digit` receives the number for digit keys (0-9 except 5).
// `key` is an X keysym; kept as its plain type so that this header pulls in no X macros.
KeyAction keyaction(unsigned long key, int* digit);
// One 0.01 colour step, kept inside [0, 1] (moves only while inside).
float stepcolour(float value, float delta);
// A timer reading taken before the first reset (none yet, or a reading
// above 100000 s) logs as 0.
double resettime(double timerreading);
