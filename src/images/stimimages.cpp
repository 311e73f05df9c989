#include "images/stimimages.h"

#include "config/params.h"
#include "images/gaussmask.h"
#include "images/imagelayers.h"
#include "images/looming.h"
#include "images/tiffio.h"
#include "core/xit.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

// The picture composites (and the visual blocks of 111), the picture
// pursuit and object ring, the looming and barrier types, the masked
// streams and the slide show.
constexpr int kImageTypes[] = {1, 3, 26, 28, 29, 31, 32, 33, 34, 35, 53, 54, 57, 59, 78, 83, 84, 85, 111, 114};
// Types that show timed picture streams (layers or masked streams).
constexpr int kStreamTypes[] = {1, 3, 26, 28, 29, 31, 34, 35, 57, 78, 83, 84, 85, 111};

template <size_t N>
bool contains(const int (&set)[N], int v) {
  return std::find(std::begin(set), std::end(set), v) != std::end(set);
}

}  // namespace

bool preloadsimages(int stimtype) {
  return contains(kImageTypes, stimtype);
}

void loadstimimages() {
  // Parameters the pictures are shown with are checked before any loading.
  if (par.stimtype == 99) checkgaussmask();
  if (contains(kStreamTypes, par.stimtype)) checkimagestreams();
  if (par.stimtype == 53 || par.stimtype == 54 || par.stimtype == 59) checklooming();
  if (!preloadsimages(par.stimtype)) return;
  if (DIR* d = opendir(par.tiffdir)) {
    closedir(d);
  } else {
    std::printf("vistrum: ### tiffdir %s not found (use -tiffdir)\n", par.tiffdir);
    char dflt[2 * TEXTLEN];
    std::snprintf(dflt, sizeof dflt, "%s/lib/imagefiles/test", par.vistrumdir);
    if (std::strlen(dflt) >= sizeof par.tiffdir) fatal("vistrum: ### default img dir too long: %s\n", dflt);
    std::strcpy(par.tiffdir, dflt);
    std::printf("vistrum: ### using default img dir %s\n", par.tiffdir);
  }
  tiffcnt = readtiffs(par.tiffdir);
}
