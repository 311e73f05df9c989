// The declarative option table: one entry binds each keyword to the run
// parameter(s) it writes, how its values are read, and its usage line.
// Parsing, the usage text and the defaults listing are all generated from it.
#pragma once

#include "config/params.h"

#include <cstdio>
#include <vector>

using IntField = int Params::*;
using FloatField = float Params::*;
using DoubleField = double Params::*;
using TextField = char (Params::*)[TEXTLEN];

// How one value of an option is read and stored.
enum class ValKind : unsigned char {
  None,
  Int,     // geti / geti2 into an int
  Float,   // getf / getf2 into a float
  Double,  // getf / getf2 stored as double (getd / getd2 in a type's defaults)
  Rate,    // getfq: a period stored as 1/period in a float ("inf" -> 0)
  Time,    // gettm: a time in seconds stored as double ("inf" -> -1)
  Text,    // getst into a 200-character buffer
};

struct ValSlot {
  ValKind kind = ValKind::None;
  IntField i = nullptr;
  FloatField f = nullptr;
  DoubleField d = nullptr;
  TextField s = nullptr;
  const char* fmt = nullptr;  // printf form used by the defaults listing
};

// Value-slot builders, so table rows stay one line each.
ValSlot vint(IntField p, const char* fmt = "%d");
ValSlot vfloat(FloatField p, const char* fmt = "%2.2f");
ValSlot vdouble(DoubleField p, const char* fmt = "%2.2f");
ValSlot vrate(FloatField p);
ValSlot vtime(DoubleField p);
ValSlot vtext(TextField p);

// A custom reader: i is the index of the keyword; returns the index of the
// last argument it consumed.
using ParseFn = int (*)(int i, int argc, char** argv);
// A custom defaults-listing line (or lines) for the option.
using PrintFn = void (*)(FILE* out, const struct OptionDef& o);

struct OptionDef {
  const char* key = nullptr;    // "-polperiod"; nullptr marks a group separator
  const char* nokey = nullptr;  // "-nostereo" for switch pairs
  ValSlot a{}, b{};             // first and second value
  IntField flag = nullptr;      // switch written (pairs) or set as a side effect
  int flagval = 1;              // value the side effect writes
  ParseFn parse = nullptr;      // lists and other special shapes
  PrintFn print = nullptr;      // special defaults-listing form
  const char* args = "";        // value shape in the usage text, "<sec|inf>"
  const char* help = "";        // usage description ("\n" continues at column 25)
  bool listed = true;           // false: not shown by the defaults listing
  bool internal = false;        // read only in a type's defaults: not in the usage, listing or command line
};

// The table, in parser order (keywords are compared in this order).
const std::vector<OptionDef>& optiontable();

// Every keyword the parser accepts, in table order (pairs give two).
std::vector<const char*> optionkeywords();

// Looks up a keyword; *neg tells whether the "-no" form of a pair matched.
const OptionDef* findoption(const char* arg, bool* neg);

// Runs one option starting at argv[i]; returns the index of its last value.
int applyoption(const OptionDef& o, bool neg, int i, int argc, char** argv);

// The option loop over argv[first..argc-1]; unknown words end the run.
void parseoptions(int first, int argc, char** argv);

// Reads option text written like a command line (a type's defaults); words
// in double quotes keep their spaces. Internal keywords are accepted here only.
void parseoptiontext(const char* text);

// Prints one value the way the defaults listing shows it.
void printslot(FILE* out, const ValSlot& v);

// The usage text's option lines and the defaults listing's parameter lines.
void printoptionusage(FILE* out);
void printoptiondefaults(FILE* out);
