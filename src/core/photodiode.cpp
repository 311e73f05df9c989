#include "core/photodiode.h"

#include "config/params.h"
#include "core/window.h"
#include "core/xit.h"
#include "eventstable/logevents.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

namespace {
int whiteframes = 0;  // frames still to show white
}  // namespace

void checkphotodiode() {
  if (par.photodiodecorner < 0 || par.photodiodecorner > 4 || par.photodiodeframes < 1)
    fatal("vistrum: ### -photodiode %d %d: corner 1-4 (top-left, top-right, bottom-left, bottom-right) or 0, "
          "and at least 1 frame\n",
          par.photodiodecorner, par.photodiodeframes);
  if (par.photodiodecorner > 0 && !par.logfileflag)
    std::printf("vistrum: ### -photodiode: the patch follows the logged onsets: without -logfile it stays black\n");
}

void notelogline(const char* line) {
  if (par.photodiodecorner > 0 && stimulusonset(line)) whiteframes = std::max(1, par.photodiodeframes);
}

PatchBox photodiodebox(int corner, int winx, int winy) {
  // A twentieth of the window's height, at least 16 pixels: large enough to
  // hold a sensor's window, small enough to stay off the stimulus.
  const int side = std::max(16, winy / 20);
  const int x = (corner == 2 || corner == 4) ? winx - side : 0;
  const int y = (corner == 1 || corner == 2) ? winy - side : 0;
  return {x, y, side};
}

void drawphotodiode(bool shown) {
  if (par.photodiodecorner <= 0) return;
  if (shown && dsp.display) {
    const PatchBox b = photodiodebox(par.photodiodecorner, par.winxgl, par.winygl);
    // In window pixels, over everything: a scissored clear is exact.
    glPushAttrib(GL_SCISSOR_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(b.x, b.y, b.side, b.side);
    const float v = whiteframes > 0 ? 1.0f : 0.0f;
    glClearColor(v, v, v, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPopAttrib();
  }
  if (whiteframes > 0) whiteframes--;
}
