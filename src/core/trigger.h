// Start trigger, waiting screens and the keyboard.
#pragma once

// Draws a waiting screen with `text` ("Ready", "Done" or "") and swaps.
void clearready(const char* text);
// Shows `text`, waits for a start event, resets the timer, logs the start.
void clearreadywaitsett(int n, const char* text);
void waitforF1orF2key();
// Handles at most one pending window event; never blocks.
void checkkeyinput();
// Clears the first-call flags and stops sounds (F1, F2, trigger keys).
void restartsequence();
// The start of a run: wait on "Ready" or start at once.
void startrun();
