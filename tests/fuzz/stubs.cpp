// What the readers use from the rest of the program, without a window or
// fonts: the run parameters, one font slot, the locale switch.
#include "config/params.h"
#include "draw/fonts.h"

#include <clocale>

Params par;

int fontcnt() { return 1; }

void changelocale(const char* locale) { std::setlocale(LC_ALL, locale); }
