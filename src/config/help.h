// The three read-only reports: usage text, per-type help, defaults listing.
#pragma once

#include <cstdio>

void usage();
// Prints lib/help/s<stimtype> under the installation directory.
void helpstim();
void printdefs(int stimtype);
