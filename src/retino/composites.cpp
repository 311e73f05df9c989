// The composites: a checkerboard wedge, ring or disk with the masked dot
// flow, picture streams, words, letters and cues stacked on top. Each layer
// is its own module's drawing operation; this file fixes only their order
// and the parameters each layer is called with.
#include "config/params.h"
#include "core/runstate.h"
#include "dots/flowfields.h"
#include "images/imagelayers.h"
#include "images/masks.h"
#include "retino/centre.h"
#include "retino/fixation.h"
#include "retino/letters.h"
#include "retino/ring.h"
#include "retino/wedge.h"
#include "text/wordstims.h"

#include <cmath>

namespace {

constexpr float FULLCIRCLE = static_cast<float>(2.0 * M_PI);

void wedgelayer(double t, int nrad, int ntheta) { drawpolar(t, nrad, ntheta, 1.0f, 0, 0.0f, 0.0f); }

// The dot flow. Its own mask opens the wedge (ring) of the run; with that
// aperture left open the flow covers the whole field, for a mask
// drawn later over dots and pictures together.
void dotlayer(double t, int ndots, bool closepol, bool closeecc) {
  DotAperture a;
  a.wedge = !closepol;
  a.ring = !closeecc;
  drawrotdil0layer(t, ndots, a);
}

// A mask over everything drawn so far, around the stimulus centre.
void masklayer(double t, void (*mask)(double)) {
  const int pushed = pushstimcentre(t);
  mask(t);
  popstimcentre(pushed);
}

// The wedge over the flow field, the bottom layers of the wedge composites.
void wedgeflow(double t, int nrad, int ntheta, int ndots) {
  wedgelayer(t, nrad, ntheta);
  dotlayer(t, ndots, par.maskimgsflag != 0, false);
}

// The closing masks of the wedge composites.
void wedgemasks(double t) {
  if (par.maskimgsflag) masklayer(t, polarmask);
  if (par.peripheccmask) masklayer(t, eccenmask);
}

// The alternating peripheral annulus of the two-condition runs.
void periphring(double t) {
  if (!par.twocondperiphflag) return;
  draweccen(t, par.numrad2, par.numtheta2, 0.0, true);
}

void fixationlayer(double t) { drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t); }

// The checkerboard disk of the orbital composites: the wedge opened to the
// full circle for the rest of the run.
void disklayer(double t, int nrad, int ntheta) {
  par.polwidth = FULLCIRCLE;
  wedgelayer(t, nrad, ntheta);
}

// What the orbital composites stack on the disk and its dots.
struct OrbitLayers {
  bool pictures, letters, centremark;
};

void orbital(double t, int nrad, int ntheta, int ndots, OrbitLayers l) {
  disklayer(t, nrad, ntheta);
  dotlayer(t, ndots, true, false);
  if (l.pictures) draworbimgs(t, par.simulcnt);
  if (l.letters) drawpolletter(t, 0.0f);
  if (par.blockfreq != 0.0f && par.rightleftcuedur != 0.0f) drawrightleftcue(t);
  fixationlayer(t);
  if (l.centremark && par.fixcentflag)
    drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t, FixMark{Centre::screen});
}

// The ring composites: nothing at all during a blank interval.
void ringcomposite(double t, int nrad, int ntheta, int ndots, bool pictures) {
  if (eccblank(t)) return;
  draweccen(t, nrad, ntheta, 0.0);
  dotlayer(t, ndots, false, par.maskimgsflag != 0);
  if (pictures) draweccimg(t);
  draweccletter(t, 0.0);
  if (par.maskimgsflag) masklayer(t, eccenmask);
}

}  // namespace

bool orbitaloff(double t, bool truncrule, bool blockrule) {
  if (truncrule && par.trunc2offflag) return std::fmod(std::fabs(par.blockfreq) * t, 1.0) > par.onfrac;
  if (!blockrule || par.blockfreq == 0.0f || par.rightleftcuedur != 0.0f || par.stimtype == 111) return false;
  const bool odd = static_cast<long long>(par.blockfreq * t) % 2 != 0;
  return par.blockfreq > 0.0f ? odd : !odd;
}

void drawpolletdil(double t, int nrad, int ntheta, int ndots) {
  wedgeflow(t, nrad, ntheta, ndots);
  drawpolletter(t, 0.0f);
  wedgemasks(t);
}

void drawpolletdilimg(double t, int nrad, int ntheta, int ndots) {
  wedgeflow(t, nrad, ntheta, ndots);
  drawpolimg(t, par.simulcnt);
  drawpolletter(t, 0.0f);
  wedgemasks(t);
  periphring(t);
}

void drawpolworddilimg(double t, int nrad, int ntheta, int ndots) {
  wedgeflow(t, nrad, ntheta, ndots);
  drawpolimg(t, par.simulcnt);
  // The word layer starts over with the others after a restart (the flow
  // layer below has already set the run flag it would look at), and then
  // stands in for the letters in closing the picture layer's set-up.
  if (!run.initdoneflag2) run.initdoneflag = 0;
  drawpolword(t);
  run.initdoneflag2 = 1;
  wedgemasks(t);
}

void drawpoldilimg(double t, int nrad, int ntheta, int ndots) {
  wedgeflow(t, nrad, ntheta, ndots);
  drawpolimg(t, par.simulcnt);
  wedgemasks(t);
}

void draweccpoldilimg(double t, int nrad, int ntheta, int nrad2, int ntheta2, int ndots) {
  draweccen(t, nrad2, ntheta2, 0.0);
  wedgelayer(t, nrad, ntheta);
  const bool mask = par.maskimgsflag != 0;
  dotlayer(t, ndots, mask, mask);
  drawbothimg(t);
  if (mask) masklayer(t, bothmask);
}

void draweccletdil(double t, int nrad, int ntheta, int ndots) { ringcomposite(t, nrad, ntheta, ndots, false); }

void draweccletdilimg(double t, int nrad, int ntheta, int ndots) { ringcomposite(t, nrad, ntheta, ndots, true); }

void drawhemiletdilimg(double t, int nrad, int ntheta, int ndots) {
  wedgeflow(t, nrad, ntheta, ndots);
  draworbimgs(t, par.simulcnt);
  drawpolletter(t, 0.0f);
}

void drawmeriddilimg(double t, int nrad, int ntheta, int ndots) {
  drawpolar(t, nrad, ntheta, 1.0f, 1, 0.0f, 0.0f);
  drawpolar(t, nrad, ntheta, 1.0f, 1, 0.0f, static_cast<float>(M_PI));
  dotlayer(t, ndots, par.maskimgsflag != 0, false);
  drawpolimg(t, par.simulcnt);
  periphring(t);
}

void draworblet(double t, int nrad, int ntheta) {
  disklayer(t, nrad, ntheta);
  drawpolletter(t, 0.0f);
  fixationlayer(t);
}

void draworbletdil(double t, int nrad, int ntheta, int ndots) {
  disklayer(t, nrad, ntheta);
  dotlayer(t, ndots, true, false);
  drawpolletter(t, 0.0f);
  fixationlayer(t);
}

void draworbletdilimg(double t, int nrad, int ntheta, int ndots) {
  if (orbitaloff(t, true, true)) return fixationlayer(t);
  orbital(t, nrad, ntheta, ndots, OrbitLayers{true, true, true});
}

void draworbdilimg(double t, int nrad, int ntheta, int ndots) {
  if (orbitaloff(t, true, true)) return fixationlayer(t);
  orbital(t, nrad, ntheta, ndots, OrbitLayers{true, false, true});
}

void draworbletdilimgaud(double t, int nrad, int ntheta, int ndots) {
  // The letters of the auditory-cue run are black from its first frame on
  // (set once, before they are first drawn, so no frame differs).
  par.textcol = -1.0f;
  if (orbitaloff(t, false, true)) return fixationlayer(t);
  orbital(t, nrad, ntheta, ndots, OrbitLayers{true, true, false});
}
