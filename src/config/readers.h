// Argument readers of the command line. Each takes the index of the value,
// the argument count and the vector; a missing value ends the run with
// status 1 and a message naming the option keyword.
#pragma once

#include "core/numbers.h"

int geti(int i, int argc, char** argv);
int geti2(int i, int argc, char** argv);
float getf(int i, int argc, char** argv);
float getf2(int i, int argc, char** argv);
// A double value read whole (a type's defaults), not rounded through a float.
double getd(int i, int argc, char** argv);
double getd2(int i, int argc, char** argv);
float getfq(int i, int argc, char** argv);   // period -> rate ("inf" -> 0)
double gettm(int i, int argc, char** argv);  // time ("inf" -> -1)
// Copies text into a 200-character buffer; longer text ends the run.
void getst(char* dest, int i, int argc, char** argv);
// The same for a second value (the keyword stands two places before it).
void getst2(char* dest, int i, int argc, char** argv);
// Ends the run when `text` (a value of option `key`) does not fit a text buffer.
void checktextlen(const char* text, const char* key);

// Digital-port readers: device 0-3 (taken as a byte), port letter A-D, bit 0-7.
int getdevnum(const char* text);
int getportnum(const char* text);
int getbitnum(const char* text);
char getportlett(int port);

// A whole int / a finite double / a finite float value of option `key`; anything else ends the run.
int checkedint(const char* text, const char* key);
double checkedreal(const char* text, const char* key);
float checkedfloat(const char* text, const char* key);

// Whether all of `text` is one number (an integer, or with `real` a real as
// the standard conversion writes it), with nothing after it.
bool wholenumber(const char* text, bool real);

// Pure conversions behind the readers (no exit, no messages).
// (readint, readreal: core/numbers.h)
float periodtorate(const char* text);
// A whole integer within lo..hi written decimal or as 0x.. hex; a leading
// zero is a decimal digit, not an octal mark.
bool readdecorhex(const char* text, long lo, long hi, long* value);
double texttotime(const char* text);
