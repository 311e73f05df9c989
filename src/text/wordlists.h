// Word lists loaded before the run: the word lines, the paragraph tables of
// the reading stimulus and the letter statistics of the pseudo-words.
#pragma once

#include "config/textfile.h"  // badutf8

#include <functional>
#include <string>
#include <vector>

// Longest word line in characters, line end excluded (the line buffer holds
// 600 bytes; a longer line would otherwise be cut into two entries).
constexpr int MAXWORDLINE = 597;
// Longest token of a paragraph line (tokens are kept in 200-byte strings).
constexpr int MAXWORDTOKEN = 199;
// Longest transliterated word in bytes.
constexpr int MAXFONTWORD = 196;

// The word lines: one per non-comment line, line ends removed.
extern std::vector<std::string> linelist;
extern int wordlinecnt;

// Paragraph tables: per line its tokens, their number and their widths in
// display units at the reading size; words per block (one entry per entry of
// the condition list) and the largest of them.
extern std::vector<std::vector<std::string>> paragraphs;
extern std::vector<int> wordsperlines;
extern std::vector<std::vector<float>> widthsperlines;
extern std::vector<int> wordsperblocks;
extern int maxwordsperblock;

// Letter statistics: counts of a..z (case folded), the letter indices each
// repeated by its count (a uniform pick has the list's letter frequency),
// its length and the average line length.
extern int charcnts[26];
extern std::vector<int> freqcharlist;
extern int charcnt;
extern float wordavglen;

// --- reading (the pure parts take their input and return messages) ---

struct WordFile {
  std::vector<std::string> lines;   // non-comment lines
  std::vector<int> linenos;         // their numbers in the file, from 1
  std::vector<std::string> errors;  // message lines of a fatal problem
};
// Reads a word file: '#' lines are comments, empty lines count; lines must
// be UTF-8 text no longer than MAXWORDLINE.
WordFile readwordfile(const char* path);

// Reads `path` into `linelist`; exits 1 with the file's problem. Returns the count.
int readwords(const char* path);

// Tokens of a paragraph line: split at blanks, "<pause>" and "<p>" become a blank.
std::vector<std::string> splitwordline(const std::string& line);
bool isblockend(const std::string& token);  // "<endpara>" or "<e>"

struct ParaTables {
  std::vector<std::vector<std::string>> paragraphs;
  std::vector<int> wordsperlines;
  std::vector<std::vector<float>> widthsperlines;
  std::vector<int> wordsperblocks;
  int maxwordsperblock = 0;
  int totalwords = 0;   // tokens counted as words (block ends excluded)
  int blockmarks = 0;   // block-end markers seen
  std::vector<std::string> errors;
};
// Builds the paragraph tables of `lines` (numbered by `linenos` in `file`):
// `wordsperblock` > 0 gives every one of `condlistcnt` blocks that many
// words, 0 takes the blocks from the end markers; `width` measures a token
// in display units.
ParaTables buildparatables(const std::vector<std::string>& lines, const std::vector<int>& linenos,
                           const char* file, int wordsperblock, int condlistcnt,
                           const std::function<float(const char*)>& width);
// Builds the paragraph tables from `linelist` with font 0; exits 1 on a problem.
void parsewords();

struct LetterStats {
  int counts[26] = {};
  std::vector<int> freqchars;
  int letters = 0;
  float avglen = 0.0f;
};
LetterStats letterstats(const std::vector<std::string>& lines, int words);
// Counts the letters of the first `words` lines into the letter statistics,
// prints them and returns the letter count.
int wordscharfreqs(int words, float* avglen);

// Loads the run type's word file (`sentenceblocks`: reading blocks paced by
// their sentences, not by -textdur).
void loadwordlists(bool sentenceblocks);
// The types' own preparation (catalogue rows), checked against the sizes
// they draw at (a word wider than the window, a list too short for a block):
void preparereadingblocks();  // reading blocks: the paragraph tables
void prepareletterfreqs();    // pseudo-words: the list's letter frequencies
// Exits 1 naming the file line of the first of `texts` (one per entry of
// `linelist`) wider than the window at `size` pixels in font `fontnum`.
void checkwordsfit(const std::vector<std::string>& texts, float size, int fontnum);
// Where line i of `linelist` lies in the word file, for messages.
int wordfilelineno(int i);
