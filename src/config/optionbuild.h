// Row builders for the option table, so that each row reads as one line.
#pragma once

#include "config/optionlists.h"
#include "config/options.h"

inline OptionDef opt(const char* key, ValSlot a, const char* args, const char* help) {
  OptionDef o;
  o.key = key;
  o.a = a;
  o.args = args;
  o.help = help;
  return o;
}

inline OptionDef opt2(const char* key, ValSlot a, ValSlot b, const char* args, const char* help) {
  OptionDef o = opt(key, a, args, help);
  o.b = b;
  return o;
}

// A value option that also writes a switch (for example -wobbleamp sets wobbleflag).
inline OptionDef withflag(OptionDef o, IntField flag, int value = 1) {
  o.flag = flag;
  o.flagval = value;
  return o;
}

inline OptionDef sw(const char* key, const char* nokey, IntField flag, const char* help) {
  OptionDef o;
  o.key = key;
  o.nokey = nokey;
  o.flag = flag;
  o.help = help;
  return o;
}

inline OptionDef custom(const char* key, ParseFn parse, PrintFn print, const char* args, const char* help,
                        bool listed = true) {
  OptionDef o;
  o.key = key;
  o.parse = parse;
  o.print = print;
  o.args = args;
  o.help = help;
  o.listed = listed;
  return o;
}

inline OptionDef group() { return OptionDef{}; }

// A row with its own defaults-listing line.
inline OptionDef withprint(OptionDef o, PrintFn print) {
  o.print = print;
  return o;
}

// A switch that only per-type defaults turn on: no keyword for the operator.
inline OptionDef internalsw(const char* key, IntField flag) {
  OptionDef o;
  o.key = key;
  o.flag = flag;
  o.listed = false;
  o.internal = true;
  return o;
}

// Small values need three decimals in the defaults listing.
inline ValSlot vf3(FloatField p) { return vfloat(p, "%2.3f"); }
inline ValSlot vd3(DoubleField p) { return vdouble(p, "%2.3f"); }

// A row whose side-effect switch has no keyword of its own: the listing shows
// it only while that switch is on, so a pasted listing switches nothing on.
inline OptionDef onlyifflag(OptionDef o, ParseFn parse = nullptr) {
  o.print = printifflag;
  if (parse) o.parse = parse;
  return o;
}

// A library-directory row, listed as a plain text row.
inline OptionDef dirrow(const char* key, ParseFn parse, TextField field, const char* help) {
  OptionDef o = custom(key, parse, nullptr, "<dir>", help);
  o.a = vtext(field);
  return o;
}

// The table's sections, each appending its rows in parser order. The run's
// own sections live in optionrows_run.cpp, the stimulus families' in
// optionrows_stimuli.cpp.
void addrunrows(std::vector<OptionDef>& t);
void addconditionrows(std::vector<OptionDef>& t);
void addgeometryrows(std::vector<OptionDef>& t);
void addfixationrows(std::vector<OptionDef>& t);
void addwobblerows(std::vector<OptionDef>& t);
void addtargetrows(std::vector<OptionDef>& t);
void addimagerows(std::vector<OptionDef>& t);
void addgratingrows(std::vector<OptionDef>& t);
void addcolourrows(std::vector<OptionDef>& t);
void addstereorows(std::vector<OptionDef>& t);
void adddotrows(std::vector<OptionDef>& t);
void addwordrows(std::vector<OptionDef>& t);
void addscenariorows(std::vector<OptionDef>& t);
void addsoundrows(std::vector<OptionDef>& t);
void addlogportrows(std::vector<OptionDef>& t);
void addsaccaderows(std::vector<OptionDef>& t);
void addairrows(std::vector<OptionDef>& t);
void addwindowrows(std::vector<OptionDef>& t);
void addnbackrows(std::vector<OptionDef>& t);
void addinternalrows(std::vector<OptionDef>& t);
