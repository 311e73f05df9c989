// The scenario file of type 60 and its event table: read and checked before
// the run, never changed during it.
#pragma once

#include "config/params.h"

#include <cstdio>
#include <string>

constexpr int MAXEXPTFRAMES = 62000;  // slots of the event table
constexpr int EXPTLINELEN = 299;      // line buffer: 298 characters + NUL
constexpr int MAXEXPTOPTS = 6;        // option tokens examined after an item
constexpr int EXPTOPTLEN = 14;        // longest option token

enum ExptKind { KTEXT = 0, KPGI = 1, KRGB = 2, KBGIMG = 3, KBLANK = 4, KTTL = 5, KSND = 6 };

// One rectangle of a pgi file, corners in drawing order (display units).
struct PgiRect {
  float x[4], y[4];
  unsigned short r, g, b;
  int filled;  // 1 filled, 0 outline
};

struct ExptItem {
  int kind;
  int imgindex;         // picture store index (rgb, bgimg), set at load time
  char name[TEXTLEN];   // text, or the file of a picture, pgi file or sound
  int ttlbit;           // 1..airtubes for ttl items
  int color;            // palette index, -1 when the line gives none
  float xoff, yoff;     // display units
  int lblo;             // grab point
  int font;             // font slot
  float size;           // height in pixels, -1 when the line gives none
  PgiRect* rects;
  int rectcnt;
  int sndplayed;        // started in this run
  int lineno;           // scenario line it came from (0: made by the reader)
};

struct ExptFrame {
  ExptItem** subframes;
  int subframecnt;
  int code;        // -1: none
  double endtime;  // shown while the previous slot's end < t <= endtime
};

extern ExptFrame* exptframes;
// Names the scenario gives its codes ("#code <n> <name>" lines), for the log
// and the events table: the name of `code`, or nullptr.
const char* exptcodename(int code);
extern int exptframecnt;
extern int exptsndflag;  // some event has a sound
// Scenario file actually read (for messages and for files named relative to it).
extern char exptpath[2 * TEXTLEN];

// Reads the scenario named by -exptfile (palette first), prints the totals
// and keeps the table; any error ends the run with its message.
int readexpt(const char* path);
// The reader itself over an open file: returns the number of used slots, or
// -1 with the message(s) in `err`. `name` is used in messages.
int parseexpt(FILE* f, const char* name, std::string& err);
// Frees every item (tests and fuzzing; a run keeps its table to the end).
void freeexpt();

// True when the last character that is not blank, tab, CR or LF is '+'.
bool endsinplus(const char* line);
// Milliseconds of an SOA or duration field: decimal ms, or f<n> for n frames
// of 1/60 s. False for anything else (also negative or not finite).
bool parsems(const char* field, double* ms);

// A file a scenario names: as written when it exists (relative to the working
// directory), else beside the scenario file.
void exptrelative(const char* name, char* out, size_t size);

// Start-up: reads the scenario and loads what it names (type 60 only).
void loadscenario();
