// Word, pseudo-word, number and font stimuli.
#pragma once

#include "text/wordlists.h"

#include <string>
#include <vector>

// What the polar word layer carries from frame to frame (a composite owns
// one for its word layer).
struct PolWordState {
  bool started = false;
  float lo = 0.0f, hi = 0.0f;  // radius range
  float r = 0.0f, randth = 0.0f, fixth = 0.0f, lastphase = 0.0f;
  int counter = 0;  // words shown
};
void resetpolword(PolWordState& s);
// The instance the stimulus types draw with.
PolWordState& polwordstate();
void drawpolword(PolWordState& s, double t);
void drawpolword(double t);

// A one-back word stream (words vs. pseudo-words, font 0 vs. font 1).
struct WordStream {
  float lastphase = 1.001f;  // the first frame starts the first word
  int index = -1;
  int perword = 0;  // words between targets
  float r = 0.0f, th = 0.0f;
  bool second = false;  // the word's condition, fixed when it starts
  int loggedcond = -1;  // the condition last written to the log
  bool previousshown = false;  // the item before this one was seen
  char current[MAXWORDLINE + 1] = "";
  char previous[MAXWORDLINE + 1] = "";
};

// What the other word and number stimuli carry from frame to frame (one of
// them draws in a run).
struct WordStimState {
  bool started = false;
  float lo = 0.0f, hi = 0.0f, r = 0.0f, th = 0.0f, lastphase = 1.001f;
  int counter = 0, lastcond = -2;
  WordStream stream;
  // word/font blocks
  double w = 0.0;  // words per block
  int word = -1, nexttarg = 0, red = 0;
  // dilating numbers
  float sweepfreq = 0.0f, rot = 0.0f;
  int targ = 0, offset = 1;
};
void resetwordstims(WordStimState& s);
// The instance the stimulus types draw with.
WordStimState& wordstimstate();
void drawwordshemiaudrndblk(WordStimState& s, double t);
void drawnumdil(WordStimState& s, double t);
void drawwordspacelett(WordStimState& s, double t, int shuffleflag);
void drawwordsfont0font1(WordStimState& s, double t, int shuffleflag);
void drawwordsfontoffrndblk(WordStimState& s, double t);
void drawwordshemiaudrndblk(double t);
void drawnumdil(double t);
void drawwordspacelett(double t, int shuffleflag);
void drawwordsfont0font1(double t, int shuffleflag);
void drawwordsfontoffrndblk(double t);
void drawrightleftcue(double t);

// Start-up, after the word list is read: sizes the per-run tables
// (`sentenceblocks`: paced by its sentences, so -textdur need not pace it).
void preparewordstims(bool sentenceblocks);
// The types' own preparation (catalogue rows): each checks that the list
// suits what the type draws.
void prepareeccwords();     // words at the letter ring's outer size
void preparehemiwords();    // as prepareeccwords, with the hemifield block names
void prepareletterwords();  // words vs. spaced letters: letter frequencies, ring size
void preparefontwords();    // font 1 vs. font 2: both fonts at the ring size
void preparewordforms();    // word-form blocks: transliterations and block length

// --- the geometry and schedules, computable without GL ---

// The second of two alternating conditions (rate `twofreq`; a negative rate
// swaps their order).
bool secondtwocond(double t, float twofreq);
// Whether a text leaves any ink (not empty, not only blanks).
bool hasink(const char* text);
// Name of condition `cond` (0 first, 1 second) of a two-condition word
// stream: the run's -condnames when it gives two, else `first`/`second`.
const char* twocondname(int cond, const char* first, const char* second);
// Words between one-back targets for a given probability (at least 1; a
// zero probability or rate gives a count so large it never comes).
int wordspertarg(float twofreq, double wordlen, float prob);
// A pseudo-word of about `avglen` + 2 characters into `out`: letters drawn
// from `freqchars` (n entries) at even positions, blanks between.
void makepseudoword(char* out, int cap, float avglen, const int* freqchars, int n);
// The dilating-number stimulus: the number shown at t (1..8, falling for a
// negative rate) and the radius at sweep phase e.
int numdilnumber(double t, float numfreq);
float numdilradius(float e);
// A word of capitals A..Z in the transliteration alphabet, UTF-8 encoded
// (at most MAXFONTWORD bytes); false when a character is not A..Z.
bool transliterate(const std::string& word, std::string* out);
// Target word numbers of the word/font blocks of a condition list (names
// `condnames`), w words per block; draws from random().
std::vector<int> fonttargetplan(const std::vector<int>& condlist, const std::vector<std::string>& names, double w,
                                bool shuffleflags);
// Words per block of the word/font design.
double fontwordsperblock(float blockfreq, double wordlen);
