// The three read-only reports: usage text, per-type help, defaults listing.
#pragma once

#include <cstdio>
#include <vector>

void usage();
// The few lines shown when vistrum is started without a type: how to start
// a run and where the full help is.
void shortusage();
// Prints lib/help/s<stimtype> under the installation directory.
// False (after its message) when the type has no help file.
bool helpstim();
void printdefs(int stimtype);

// The operator hotkeys, as the usage text and the manual list them.
struct HotkeyHelp {
  const char* keys;
  const char* action;
};
const std::vector<HotkeyHelp>& hotkeys();
