// Row builders for the option table, so that each row reads as one line.
#pragma once

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
