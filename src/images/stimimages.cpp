#include "images/stimimages.h"

#include "config/params.h"
#include "core/stimulus.h"
#include "core/xit.h"
#include "draw/tiffio.h"
#include "images/gaussmask.h"
#include "images/imagelayers.h"
#include "images/looming.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

void loadstimimages() {
  // Parameters the pictures are shown with are checked before any loading.
  if (stimneeds(par.stimtype, kPictureStreams)) checkimagestreams();
  if (stimneeds(par.stimtype, kLooming)) checklooming();
  if (!stimneeds(par.stimtype, kPictures)) return;
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
