// Paragraph reading blocks: the words of a paragraph appear one at a time in
// their places on the page, every other word shown as a grey box.
#pragma once

#include <string>
#include <vector>

// Start-up, after the paragraph tables are built: sizes the layout tables and
// checks that every line fits the window and a second font is loaded.
void preparereading();

// --- the geometry, computable without GL ---

struct ReadingAverages {
  float avgwordwidth = 0;      // word width plus one space, mean over all words
  float avglinewidth = 0;      // the same sum per line
  float avgwordsperblock = 0;
  float avglinesperblock = 0;
  float minwidth = 0;          // avgwordwidth * minwidthfrac
  int words = 0;
};
// Averages over the paragraph tables (block-end markers are not words).
ReadingAverages readingaverages(const std::vector<std::vector<std::string>>& tokens,
                                const std::vector<std::vector<float>>& widths, const std::vector<int>& blockwords,
                                float xspace, float minwidthfrac);

// One word of a block's page: its place, width and text.
struct PageWord {
  float x, y, w;
  const char* text;
};
// Lays out `nb` words from line `firstline` on (wrapping to line 0 at the end
// of the file) into `out` (room for nb); returns the last line used.
int layoutpage(const std::vector<std::vector<std::string>>& tokens, const std::vector<std::vector<float>>& widths,
               int firstline, int nb, float x0, float y0, float linespacing, float xspace, PageWord* out);
// Block phase at which each of the nb laid-out words ends when slots follow
// word width (`modfrac` 0: equal slots).
void wordendphases(const PageWord* words, int nb, float minwidth, float avgwordwidth, float xspace, float modfrac,
                   float* out);
// The current word and its phase E at block phase Y, with end phases (or
// equal slots when `ends` is null, Z the word phase).
struct CurrentWord {
  int o;
  float e;
};
CurrentWord currentword(const float* ends, int nb, float Y, float Z);

// --- the reading stimulus ---

constexpr int READINGKINDS = 5;  // block kinds: off, para, font, dot, blank

// What the reading stimulus carries from frame to frame.
struct ReadingState {
  bool started = false;
  float winscale = 1.0f, blockperiod = 0.0f, ilinespacing = 0.0f, ifontsize = 0.0f, xspace = 0.0f;
  float lastY = 2.0f;  // the first frame starts a block
  ReadingAverages avg;
  int lastline[READINGKINDS] = {-1, -1, -1, -1, -1};  // last line shown per kind
  int currline = -1, nb = 1;
  int framespertarg = 1, targon = 0, targframesleft = 0, nexttarg = 0, timedon = 0;
  double targendtime = 0.0;
};
void resetreading(ReadingState& s);
// The instance the stimulus type draws with.
ReadingState& readingstate();
void drawparafontoffrndblk(ReadingState& s, double t);
void drawparafontoffrndblk(double t);
