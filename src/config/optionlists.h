// Readers and defaults-listing lines for the options whose shape is not a
// plain one- or two-value row: lists, counted lists, directories, ports.
#pragma once

#include "config/options.h"

int parsestimtype(int i, int argc, char** argv);
void printstimtype(FILE* out, const OptionDef& o);
int parsesaveframes(int i, int argc, char** argv);
void printsaveframes(FILE* out, const OptionDef& o);
int parseprintdefs(int i, int argc, char** argv);
int parsehelp(int i, int argc, char** argv);
