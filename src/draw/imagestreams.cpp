#include "draw/imagestreams.h"

#include "config/condseq.h"
#include "config/params.h"
#include "core/eventlog.h"
#include "core/timer.h"
#include "core/xit.h"
#include "draw/drawimg.h"
#include "draw/tiffio.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

double urand() { return random() * (1.0 / 2147483648.0); }

float urange(float lo, float hi) { return static_cast<float>(lo + urand() * (hi - lo)); }

double fracphase(double x) { return std::fmod(x, 1.0); }

void resetpicorder(PicOrder& o, int n) {
  if (!o.idx || o.n != n) {
    std::free(o.idx);
    o.idx = static_cast<int*>(std::malloc(sizeof(int) * (n > 0 ? n : 1)));
    if (!o.idx) fatal("vistrum: ### can't malloc picture order (%d)\n", n);
  }
  o.n = n;
  for (int k = 0; k < n; k++) o.idx[k] = k;
  o.pos = n;
}

int nextpic(PicOrder& o) {
  if (o.pos >= o.n) {
    shuffle(o.idx, o.n);
    o.pos = 0;
  }
  return o.idx[o.pos++];
}

int randomotherpic(int prev, int n) {
  if (n <= 1) return 0;
  int k;
  do k = static_cast<int>(random() % n);
  while (k == prev);
  return k;
}

bool istargetpic(int index) {
  return par.targtiffinfix[0] != '\0' && std::strstr(memimgs[index]->name, par.targtiffinfix) != nullptr;
}

void logtiffevent(double shown) {
  if (logging()) logevent("TiffEvent: %8.3lf   %s   (%.3f sec)\n", logtime(), par.targtiffinfix, shown);
}

void logiftarget(int index, double shown) {
  if (istargetpic(index)) logtiffevent(shown);
}

int stepslide(int index, int n, bool forward) {
  if (forward) return index + 1 >= n ? 0 : index + 1;
  return index - 1 < 0 ? n - 1 : index - 1;
}

namespace {
SlideShowState slideshow;
}  // namespace

void resetslideshow(SlideShowState& s) { s = SlideShowState{}; }

SlideShowState& slideshowstate() { return slideshow; }

void drawperiodictiffs(double t) { drawperiodictiffs(slideshow, t); }

void drawperiodictiffs(SlideShowState& s, double t) {
  if (!s.started) {
    s.n = tiffcnt;
    if (s.n <= 0) fatal("vistrum: ### no tiffs found\n");
    s.rate = std::fabs(par.polfreq) * s.n;
    s.index = par.polfreq > 0.0f ? s.n - 1 : 0;
    s.started = true;
  }
  const double phase = fracphase(s.rate * t);
  if (phase < s.lastphase) s.index = stepslide(s.index, s.n, par.polfreq > 0.0f);
  s.lastphase = phase;
  drawimg(s.index, 0.0f, 0.0f, par.tiffscale * 2.0f * par.maxrad, ANCHOR_CENTRE);
}
