#include "images/maskstims.h"

#include "config/params.h"
#include "draw/drawimg.h"
#include "draw/imagestreams.h"
#include "draw/masks.h"
#include "draw/ring.h"
#include "draw/tiffio.h"

#include <algorithm>
#include <cmath>

namespace {

MaskStimState maskstims;

// Initialises on a start, advances the stream to time t; true when a new
// picture starts. `phase` gets the picture's phase.
bool maskstreamstep(MaskStimState& s, double t, double* phase) {
  if (!s.started) {
    resetpicorder(s.order, tiffcnt);
    s.started = true;
  }
  *phase = fracphase(t / par.tiffdur);
  const bool wrapped = *phase < s.lastphase;
  s.lastphase = *phase;
  if (wrapped) {
    s.index = nextpic(s.order);
    logiftarget(s.index, par.tiffdur);
  }
  return wrapped;
}

// Masks over the picture drawn until endpicturemask (in test mode every
// other frame shows the picture unmasked).
MaskSpan beginpicturemask(const MaskStimState& s, MaskKind kind, double t) {
  return beginmasks(t, maskthisframe(s.frame, par.testflag != 0) ? kind : 0u);
}

void endpicturemask(MaskStimState& s, const MaskSpan& masks, double t) {
  s.frame++;
  endmasks(masks, t);
}

}  // namespace

void resetmaskstims(MaskStimState& s) {
  const PicOrder order = s.order;
  s = MaskStimState{};
  s.order = order;
}

MaskStimState& maskstimstate() { return maskstims; }

void drawpolartiffmask(double t) { drawpolartiffmask(maskstims, t); }
void draweccentiffmask(double t) { draweccentiffmask(maskstims, t); }
void draweccpoltiffmask(double t) { draweccpoltiffmask(maskstims, t); }

bool maskthisframe(long frame, bool test) { return !test || frame % 2 == 1; }

float tiffmaskringouter(double t) {
  const float minr = par.minrad, maxr = par.maxrad, span = maxr - minr;
  float rin = (par.eccfreq > 0.0f ? minr : maxr) + static_cast<float>(std::fmod(par.eccfreq * t, 1.0)) * span;
  if (par.skipeccwrapnogapflag) rin = (rin - minr) * (1.0f - par.eccwidth / span - 0.00001f) + minr;
  float rout = rin + geteccwidth(rin);
  if (par.skipeccwrapflag && rout > maxr)
    rout = maxr;
  else if (rout > maxr)
    rout -= span;
  if (par.exptransflag) rout = exptransblend(rout, minr, expbase(minr, maxr), par.expfrac);
  return rout;
}

void drawpolartiffmask(MaskStimState& s, double t) {
  double phase;
  maskstreamstep(s, t, &phase);
  // On the middle of the mask's opening, which leaves the nominal angle for
  // a wedge not centred on it (and for the blocks and steps of the wedge).
  const double a = maskwedgecentre(t) * M_PI / 180.0;
  const MaskSpan masks = beginpicturemask(s, kPolarMask, t);
  drawimg(s.index, static_cast<float>(par.tiffrad * std::cos(a)), static_cast<float>(par.tiffrad * std::sin(a)),
          par.tiffscale * par.maxrad, ANCHOR_CENTRE);
  endpicturemask(s, masks, t);
}

void draweccentiffmask(MaskStimState& s, double t) {
  double phase;
  maskstreamstep(s, t, &phase);
  const float height = std::max(2.0f * par.minlett, 2.0f * par.tiffscale * tiffmaskringouter(t));
  const MaskSpan masks = beginpicturemask(s, kEccenMask, t);
  drawimg(s.index, 0.0f, 0.0f, height, ANCHOR_CENTRE);
  endpicturemask(s, masks, t);
}

void draweccpoltiffmask(MaskStimState& s, double t) {
  double phase;
  if (maskstreamstep(s, t, &phase)) {
    s.xs = urange(-par.maxtiffspeed, par.maxtiffspeed) * par.tiffdur;
    s.ys = urange(-par.maxtiffspeed, par.maxtiffspeed) * par.tiffdur;
  }
  float x = 0.0f, y = 0.0f;
  if (par.maxtiffspeed != 0.0f) {  // drifts through the centre to the opposite offset
    x = static_cast<float>(s.xs * (1.0 - 2.0 * phase));
    y = static_cast<float>(s.ys * (1.0 - 2.0 * phase));
  }
  const MaskSpan masks = beginpicturemask(s, kBothMask, t);
  drawimg(s.index, x, y, par.tiffscale * 2.0f * par.maxrad, ANCHOR_CENTRE);
  endpicturemask(s, masks, t);
}
