// The composites: a checkerboard wedge, ring or disk with the masked dot
// flow, picture streams, words, letters and cues stacked on top. Each layer
// is its own module's drawing operation; this file fixes only their order
// and the parameters each layer is called with.
#include "composites/composites.h"

#include "config/params.h"
#include "core/benchlayers.h"
#include "draw/centre.h"
#include "draw/fixation.h"
#include "draw/letters.h"
#include "draw/masks.h"
#include "draw/ring.h"
#include "draw/wedge.h"
#include "text/wordstims.h"

#include <cmath>

namespace {

void wedgelayer(double t, int nrad, int ntheta) { drawpolar(t, nrad, ntheta, 1.0f, 0, 0.0f, 0.0f); }

// Masks, around the stimulus centre, over the layers drawn between begin
// and end.
MaskSpan beginmasklayer(double t, unsigned kinds) {
  const int pushed = pushstimcentre(t);
  const MaskSpan masks = beginmasks(t, kinds);
  popstimcentre(pushed);
  return masks;
}

void endmasklayer(const MaskSpan& masks, double t) {
  const int pushed = pushstimcentre(t);
  endmasks(masks, t);
  popstimcentre(pushed);
}

// The dot flow. Its own mask opens the wedge (ring) of the run; with that
// aperture left open the flow covers the whole field, for a mask drawn later
// over dots and pictures together. The flow's mask covers the board beneath
// the dots as well, so its span opens before the board (begun here) and the
// flow closes it where it would close its own.
struct FlowMask {
  DotAperture aperture;
  MaskSpan span;
};

void beginflowmask(FlowMask& m, double t, bool closepol, bool closeecc) {
  m.aperture.wedge = !closepol;
  m.aperture.ring = !closeecc;
  m.span = beginmasklayer(t, layeron(kLayerDots) ? flowmaskkinds(m.aperture) : 0u);
  m.aperture.opened = &m.span;
}

void dotlayer(CompositeState& c, const FlowMask& m, double t, int ndots) { drawrotdil0layer(c.dots, t, ndots, m.aperture); }

// The wedge over the flow field, the bottom layers of the wedge composites.
void wedgeflow(CompositeState& c, double t, int nrad, int ntheta, int ndots) {
  FlowMask m;
  beginflowmask(m, t, par.maskimgsflag != 0, false);
  wedgelayer(t, nrad, ntheta);
  dotlayer(c, m, t, ndots);
}

// The closing masks of the wedge composites: the wedge over the pictures
// too (-maskimgs), the periphery beyond the ring (-peripheccmask).
unsigned wedgemaskkinds() { return (par.maskimgsflag ? kPolarMask : 0u) | (par.peripheccmask ? kEccenMask : 0u); }

// The alternating peripheral annulus of the two-condition runs.
void periphring(double t) {
  if (!par.twocondperiphflag) return;
  draweccen(t, par.numrad2, par.numtheta2, 0.0, true);
}

void fixationlayer(double t) { drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t); }

// The checkerboard disk of the orbital composites: the wedge opened to the
// full circle; the layers above it take the disk's width for the wedge's.
void disklayer(double t, int nrad, int ntheta) {
  WedgeShape disk;
  disk.fullcircle = true;
  drawpolar(t, nrad, ntheta, 1.0f, 0, 0.0f, 0.0f, &disk);
}

// What the orbital composites stack on the disk and its dots.
struct OrbitLayers {
  bool pictures, letters, centremark;
};

void orbital(CompositeState& c, double t, int nrad, int ntheta, int ndots, OrbitLayers l) {
  FlowMask m;
  beginflowmask(m, t, true, false);
  disklayer(t, nrad, ntheta);
  dotlayer(c, m, t, ndots);
  if (l.pictures) draworbimgs(c.pictures.orbit, t, par.simulcnt, FULLCIRCLE);
  if (l.letters) drawpolletter(c.letters.pol, t, 0.0f, Centre::orbit, FULLCIRCLE);
  if (par.blockfreq != 0.0f && par.rightleftcuedur != 0.0f) drawrightleftcue(t);
  fixationlayer(t);
  if (l.centremark && par.fixcentflag)
    drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t, FixMark{Centre::screen});
}

// The ring composites: nothing at all during a blank interval.
void ringcomposite(CompositeState& c, double t, int nrad, int ntheta, int ndots, bool pictures) {
  if (eccblank(t)) return;
  const MaskSpan masks = beginmasklayer(t, par.maskimgsflag ? kEccenMask : 0u);
  FlowMask m;
  beginflowmask(m, t, false, par.maskimgsflag != 0);
  draweccen(t, nrad, ntheta, 0.0);
  dotlayer(c, m, t, ndots);
  if (pictures) draweccimg(c.pictures.ring, t);
  draweccletter(c.letters.ecc, t, 0.0);
  endmasklayer(masks, t);
}

}  // namespace

bool orbitaloff(double t, bool truncrule, bool blockrule) {
  if (truncrule && par.trunc2offflag) return std::fmod(std::fabs(par.blockfreq) * t, 1.0) > par.onfrac;
  if (!blockrule || par.blockfreq == 0.0f || par.rightleftcuedur != 0.0f || par.stimtype == 111) return false;
  const bool odd = static_cast<long long>(par.blockfreq * t) % 2 != 0;
  return par.blockfreq > 0.0f ? odd : !odd;
}

void drawpolletdil(CompositeState& c, double t, int nrad, int ntheta, int ndots) {
  const MaskSpan masks = beginmasklayer(t, wedgemaskkinds());
  wedgeflow(c, t, nrad, ntheta, ndots);
  drawpolletter(c.letters.pol, t, 0.0f);
  endmasklayer(masks, t);
}

void drawpolletdilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots) {
  const MaskSpan masks = beginmasklayer(t, wedgemaskkinds());
  wedgeflow(c, t, nrad, ntheta, ndots);
  drawpolimg(c.pictures.wedge, t, par.simulcnt);
  drawpolletter(c.letters.pol, t, 0.0f);
  endmasklayer(masks, t);
  periphring(t);
}

void drawpolworddilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots) {
  const MaskSpan masks = beginmasklayer(t, wedgemaskkinds());
  wedgeflow(c, t, nrad, ntheta, ndots);
  drawpolimg(c.pictures.wedge, t, par.simulcnt);
  drawpolword(c.words, t);
  endmasklayer(masks, t);
}

void drawpoldilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots) {
  const MaskSpan masks = beginmasklayer(t, wedgemaskkinds());
  wedgeflow(c, t, nrad, ntheta, ndots);
  drawpolimg(c.pictures.wedge, t, par.simulcnt);
  endmasklayer(masks, t);
}

void draweccpoldilimg(CompositeState& c, double t, int nrad, int ntheta, int nrad2, int ntheta2, int ndots) {
  const bool mask = par.maskimgsflag != 0;
  const MaskSpan masks = beginmasklayer(t, mask ? kBothMask : 0u);
  FlowMask m;
  beginflowmask(m, t, mask, mask);
  draweccen(t, nrad2, ntheta2, 0.0);
  wedgelayer(t, nrad, ntheta);
  dotlayer(c, m, t, ndots);
  drawbothimg(c.pictures.both, t);
  endmasklayer(masks, t);
}

void draweccletdil(CompositeState& c, double t, int nrad, int ntheta, int ndots) {
  ringcomposite(c, t, nrad, ntheta, ndots, false);
}

void draweccletdilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots) {
  ringcomposite(c, t, nrad, ntheta, ndots, true);
}

void drawhemiletdilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots) {
  wedgeflow(c, t, nrad, ntheta, ndots);
  draworbimgs(c.pictures.orbit, t, par.simulcnt);
  drawpolletter(c.letters.pol, t, 0.0f);
}

void drawmeriddilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots) {
  FlowMask m;
  beginflowmask(m, t, par.maskimgsflag != 0, false);
  drawpolar(t, nrad, ntheta, 1.0f, 1, 0.0f, 0.0f);
  drawpolar(t, nrad, ntheta, 1.0f, 1, 0.0f, static_cast<float>(M_PI));
  dotlayer(c, m, t, ndots);
  drawpolimg(c.pictures.wedge, t, par.simulcnt);
  periphring(t);
}

void draworblet(CompositeState& c, double t, int nrad, int ntheta) {
  disklayer(t, nrad, ntheta);
  drawpolletter(c.letters.pol, t, 0.0f, Centre::orbit, FULLCIRCLE);
  fixationlayer(t);
}

void draworbletdil(CompositeState& c, double t, int nrad, int ntheta, int ndots) {
  FlowMask m;
  beginflowmask(m, t, true, false);
  disklayer(t, nrad, ntheta);
  dotlayer(c, m, t, ndots);
  drawpolletter(c.letters.pol, t, 0.0f, Centre::orbit, FULLCIRCLE);
  fixationlayer(t);
}

void draworbletdilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots) {
  if (orbitaloff(t, true, true)) return fixationlayer(t);
  orbital(c, t, nrad, ntheta, ndots, OrbitLayers{true, true, true});
}

void draworbdilimg(CompositeState& c, double t, int nrad, int ntheta, int ndots) {
  if (orbitaloff(t, true, true)) return fixationlayer(t);
  orbital(c, t, nrad, ntheta, ndots, OrbitLayers{true, false, true});
}

void draworbletdilimgaud(CompositeState& c, double t, int nrad, int ntheta, int ndots) {
  if (orbitaloff(t, false, true)) return fixationlayer(t);
  orbital(c, t, nrad, ntheta, ndots, OrbitLayers{true, true, false});
}

void resetcomposite(CompositeState& s) {
  s.dots = FlowFieldState{};
  resetpiclayers(s.pictures);
  resetpolword(s.words);
  resetletters(s.letters);
}

CompositeState& compositestate() {
  static CompositeState s;
  return s;
}

// The catalogue's entries draw with the module's own instance.
void drawpolletdil(double t, int nrad, int ntheta, int ndots) { drawpolletdil(compositestate(), t, nrad, ntheta, ndots); }
void drawpolletdilimg(double t, int nrad, int ntheta, int ndots) {
  drawpolletdilimg(compositestate(), t, nrad, ntheta, ndots);
}
void drawpolworddilimg(double t, int nrad, int ntheta, int ndots) {
  drawpolworddilimg(compositestate(), t, nrad, ntheta, ndots);
}
void drawpoldilimg(double t, int nrad, int ntheta, int ndots) { drawpoldilimg(compositestate(), t, nrad, ntheta, ndots); }
void draweccpoldilimg(double t, int nrad, int ntheta, int nrad2, int ntheta2, int ndots) {
  draweccpoldilimg(compositestate(), t, nrad, ntheta, nrad2, ntheta2, ndots);
}
void draweccletdil(double t, int nrad, int ntheta, int ndots) { draweccletdil(compositestate(), t, nrad, ntheta, ndots); }
void draweccletdilimg(double t, int nrad, int ntheta, int ndots) {
  draweccletdilimg(compositestate(), t, nrad, ntheta, ndots);
}
void drawhemiletdilimg(double t, int nrad, int ntheta, int ndots) {
  drawhemiletdilimg(compositestate(), t, nrad, ntheta, ndots);
}
void drawmeriddilimg(double t, int nrad, int ntheta, int ndots) { drawmeriddilimg(compositestate(), t, nrad, ntheta, ndots); }
void draworblet(double t, int nrad, int ntheta) { draworblet(compositestate(), t, nrad, ntheta); }
void draworbletdil(double t, int nrad, int ntheta, int ndots) { draworbletdil(compositestate(), t, nrad, ntheta, ndots); }
void draworbletdilimg(double t, int nrad, int ntheta, int ndots) {
  draworbletdilimg(compositestate(), t, nrad, ntheta, ndots);
}
void draworbdilimg(double t, int nrad, int ntheta, int ndots) { draworbdilimg(compositestate(), t, nrad, ntheta, ndots); }
void draworbletdilimgaud(double t, int nrad, int ntheta, int ndots) {
  draworbletdilimgaud(compositestate(), t, nrad, ntheta, ndots);
}

// The dot field with none of its own apertures: the several wedges or rings
// it flows under cut its gaps themselves.
void drawdotbackground(double t) { drawrotdil0(t, par.numdots, DotAperture{false, false, false}); }
