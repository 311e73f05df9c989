// Readers and defaults-listing lines for the options whose shape is not a
// plain one- or two-value row: lists, counted lists, directories, ports.
// List readers take the index of their keyword and return the index of the
// last argument they consumed.
#pragma once

#include "config/options.h"

int parsestimtype(int i, int argc, char** argv);
void printstimtype(FILE* out, const OptionDef& o);
int parsesaveframes(int i, int argc, char** argv);
void printsaveframes(FILE* out, const OptionDef& o);
int parseframerate(int i, int argc, char** argv);
void printframerate(FILE* out, const OptionDef& o);
int parseprintdefs(int i, int argc, char** argv);
int parsehelp(int i, int argc, char** argv);

// Condition names and orders, frequency and target-time lists.
int getcondnames(int i, int argc, char** argv);
int getcondlist(int i, int argc, char** argv);
int getconddurlist(int i, int argc, char** argv);
int getfreqlist(int i, int argc, char** argv);
int gettargtimelist(int i, int argc, char** argv);
// The type-58 default list may be replaced by one -cycleslist.
void markfreqlistdefault();
void printcondnames(FILE* out, const OptionDef& o);
void printcondlist(FILE* out, const OptionDef& o);
void printconddurlist(FILE* out, const OptionDef& o);
void printcycleslist(FILE* out, const OptionDef& o);
void printtargtimes(FILE* out, const OptionDef& o);

// Sound files and their onsets.
int getsndfilenames(int i, int argc, char** argv);
int getsndsoalist(int i, int argc, char** argv);
void printsndfilenames(FILE* out, const OptionDef& o);
void printsndsoalist(FILE* out, const OptionDef& o);

// Air-tube map (needs -airtubes first).
int getairtubemap(int i, int argc, char** argv);
void printairtubemap(FILE* out, const OptionDef& o);

// Fixed-length numeric lists.
int parsenbackgaps(int i, int argc, char** argv);
int parseevlags(int i, int argc, char** argv);
int parseevdurs(int i, int argc, char** argv);
int parsebits2code(int i, int argc, char** argv);
void printnbackgaps(FILE* out, const OptionDef& o);
void printevlags(FILE* out, const OptionDef& o);
void printevdurs(FILE* out, const OptionDef& o);
void printbits2code(FILE* out, const OptionDef& o);

// Options with a switch rule of their own.
int parseeccwrap(int i, int argc, char** argv);
int parsenoeccwrap(int i, int argc, char** argv);
int parsenoeccwrapnogap(int i, int argc, char** argv);
void printeccwrap(FILE* out, const OptionDef& o);
int parsefixmesh(int i, int argc, char** argv);
int parsefixlett(int i, int argc, char** argv);
void printfixlett(FILE* out, const OptionDef& o);
// Lists the row's values only while its switch holds the value the option
// writes, so that pasting the listing back does not switch anything on.
void printifflag(FILE* out, const OptionDef& o);
// Lists a text row only when the text is not empty.
void printifset(FILE* out, const OptionDef& o);

// Library directories: i is the index of the value (the directory name).
int getwordfiledir(int i, int argc, char** argv);
int gettiffiledir(int i, int argc, char** argv);
int getsndfiledir(int i, int argc, char** argv);

// Digital ports: i is the index of the last value.
int setusbtrig(int i, int argc, char** argv);
int setusbcode(int i, int argc, char** argv);
int setusbresp(int i, int argc, char** argv);
int setusboutgroup(int i, int argc, char** argv);
void printusbtrig(FILE* out, const OptionDef& o);
void printusbcode(FILE* out, const OptionDef& o);
void printusbresp(FILE* out, const OptionDef& o);
void printaddport(FILE* out, const OptionDef& o);

// The listing's placeholder "[no default]" after a list keyword, which the
// list readers accept so that a pasted listing parses.
bool isnodefault(int i, int argc, char** argv);
// Prints " text", quoted for the shell when it is empty or not plain.
void printtextvalue(FILE* out, const char* text);
