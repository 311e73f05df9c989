#include "dots/vection.h"

#include "config/condseq.h"
#include "config/params.h"
#include "core/angles.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/timer.h"
#include "core/xit.h"
#include "dots/dotfield.h"
#include "dots/flowfields.h"
#include "dots/vectionpatches.h"
#include "draw/fixation.h"
#include "draw/imagestreams.h"
#include "draw/palette.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

VectionState vection;

// A rate used as a divisor: zero would stop the clock with a NaN.
double nonzero(float rate) { return rate != 0.0f ? rate : 1.0e-9; }

const char* const kCanalNames = "[still,horiz,left,right]";
const char* const kFlowBlockNames = "[off,flowsurf,scramsurf,flowvol,scramvol]";

void badcondition(const char* name, const char* known) {
  fatal("vistrum: ### bad condition: %s\nvistrum: %s\n", name, known);
}

}  // namespace

double sinusoidprofile(double u, int type) {
  const double a = TWOPI * u;
  switch (type) {
    case 0: return a;
    case 1: return std::sin(a);
    case 2: return 1.0 - std::cos(a);
    case 3: return std::fmod(std::trunc(u), 2.0) != 0.0 ? 1.0 - std::cos(a) : std::cos(a) - 1.0;
    default: return 0.0;
  }
}

double vectionshift(double t) {
  const double f = nonzero(par.flowfreq);
  return sinusoidprofile(f * t, par.sinusoidtype) / f * par.dotspeed;
}

// The same alternation as the coherent/scrambled blocks: the second
// direction while int(twofreq * t) is odd (even for a negative rate).
bool vectionvertical(double t) { return scrambledblock(t) == 1; }

float wrapinto(double x, float m) {
  if (!(m > 0.0f)) return static_cast<float>(x);
  const double w = 2.0 * m;
  const double y = x - w * std::floor((x + m) / w);
  return static_cast<float>(y);
}

EccRing eccdotring(double t) {
  const float lo = par.minrad, hi = par.maxrad;
  double q = fracphase(std::fabs(par.eccfreq) * t);
  if (par.eccfreq < 0.0f) q = 1.0 - q;
  const double b = std::pow(static_cast<double>(hi) / lo, 1.0 / (static_cast<double>(hi) - lo));
  const double v = lo * std::pow(b, q * hi);
  double o = (q + par.eccwidth) * hi + lo;
  if (o > hi) o -= hi - lo;
  const double w = lo * std::pow(b, o - lo);
  return EccRing{static_cast<float>(v), static_cast<float>(w)};
}

bool inring(float r2, const EccRing& ring) {
  if (r2 < par.minrad * par.minrad || r2 > par.maxrad * par.maxrad) return false;
  const float v2 = ring.v * ring.v, w2 = ring.w * ring.w;
  if (ring.v < ring.w) return r2 >= v2 && r2 <= w2;
  if (ring.v > ring.w) return r2 <= w2 || r2 >= v2;  // wrapped: both pieces
  return false;
}

void eccdotoffset(double t, float* x, float* y) {
  const double a = std::fmod(TWOPI * par.wobblefreq * t, TWOPI);
  const double r = static_cast<double>(par.maxrad) * par.wobbleamp;
  *x = static_cast<float>(r * std::cos(a));
  *y = static_cast<float>(r * std::sin(a));
}

bool flowblockcondition(const char* name, int* scrambled, int* stereotype, bool* nodraw) {
  struct Cond {
    const char* name;
    int scrambled, stereotype;
    bool nodraw;
  };
  static const Cond conds[] = {{"off", 0, -1, true},
                               {"flowsurf", 0, 2, false},
                               {"scramsurf", 1, 2, false},
                               {"flowvol", 0, 5, false},
                               {"scramvol", 1, 5, false}};
  for (const Cond& c : conds) {
    if (std::strcmp(name, c.name) != 0) continue;
    *scrambled = c.scrambled;
    *stereotype = c.stereotype;
    *nodraw = c.nodraw;
    return true;
  }
  return false;
}

int dimtargframes() {
  if (par.dimtargprob == 0.0f) return 0;
  const double n = 1.0 / nonzero(par.blockfreq) * 60.0 / par.dimtargprob;
  // At least one frame: the start test divides by it.
  if (!(n >= 1.0)) return 1;
  return n > 1.0e9 ? 1000000000 : static_cast<int>(n);
}

// The ring's exponential scale runs from minrad to maxrad: a zero inner
// radius or an empty range leaves no ring to see through.
void checkvectionring() {
  if (!(par.minrad > 0.0f && par.maxrad > par.minrad))
    fatal("vistrum: ### -stimtype %d needs 0 < -minrad < -maxrad for its ring (got %g, %g)\n", par.stimtype, par.minrad,
          par.maxrad);
}

void checkcanalconds() {
  bool moves;
  float axis[3];
  for (const std::string& c : par.condnames)
    if (!canalaxis(c.c_str(), axis, &moves)) badcondition(c.c_str(), kCanalNames);
}

void checkflowblockconds() {
  int scrambled, stereotype;
  bool nodraw;
  for (const std::string& c : par.condnames)
    if (!flowblockcondition(c.c_str(), &scrambled, &stereotype, &nodraw)) badcondition(c.c_str(), kFlowBlockNames);
}

void preparevectionpatches() { preparepatches(par.numdots); }

void resetvection(VectionState& s) { s = VectionState{}; }

VectionState& vectionstate() { return vection; }

void draweccdots(double t, int ndots) { draweccdots(vection, t, ndots); }
void drawvecvsscram(double t, int ndots) { drawvecvsscram(vection, t, ndots); }
void drawvechorver(double t, int ndots) { drawvechorver(vection, t, ndots); }
void drawvec3canal(double t, int ndots) { drawvec3canal(vection, t, ndots); }
void drawflowscramsurfvolrndblk(double t, int ndots, float disp) {
  drawflowscramsurfvolrndblk(vection, t, ndots, disp);
}

void drawvechorver(VectionState& s, double t, int ndots) {
  if (!s.started) {
    s.grey = getbwdotcolor();
    s.started = true;
  }
  const double rp = fracphase(par.randfreq * t);
  if (rp < s.prevrand) computedots(ndots);
  s.prevrand = rp;
  const double d = vectionshift(t);
  const bool vertical = vectionvertical(t);
  const float m = par.maxdotxy;
  dotcolour(s.grey, s.grey, s.grey);
  for (int j = 0; j < ndots; j++) {
    if (vertical)
      drawstilldot(dotx[j], wrapinto(doty[j] + d, m));
    else
      drawstilldot(wrapinto(dotx[j] + d, m), doty[j]);
  }
  dotbatchflush();
  drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t);
}

void draweccdots(VectionState& s, double t, int ndots) {
  const float m = par.maxrad;
  if (!s.started) {
    s.grey = getbwdotcolor();
    for (int j = 0; j < ndots; j++) {
      dotx[j] = dotrand() * 2.0f * m - m;
      doty[j] = dotrand() * 2.0f * m - m;
    }
    s.started = true;
  }
  float ox, oy;
  eccdotoffset(t, &ox, &oy);
  const EccRing ring = eccdotring(t);
  // Dots of this field are squares of side dotsize.
  const float half = par.dotsize / 2.0f;
  dotcolour(s.grey, s.grey, s.grey);
  for (int j = 0; j < ndots; j++) {
    const float x = wrapinto(dotx[j] + ox, m), y = wrapinto(doty[j] + oy, m);
    if (inring(x * x + y * y, ring)) drawstilldot(x, y, half);
  }
  dotbatchflush();
}

void drawflowscramsurfvolrndblk(VectionState& s, double t, int ndots, float disp) {
  if (!s.started) {
    s.normL = par.stereoLred;
    s.normR = par.stereoRblu;
    s.stereotype = par.dotstereotype;
    restartcondseq();  // the block sequence starts again
    s.framespertarg = dimtargframes();
    s.started = true;
  }
  const int c = getlogcondition(t, par.condcnt);
  int scrambled = 0, stereotype = -1;
  bool nodraw = true;
  if (c < 0 || c >= static_cast<int>(par.condnames.size()) ||
      !flowblockcondition(par.condnames[c].c_str(), &scrambled, &stereotype, &nodraw))
    return;
  if (stereotype >= 0) s.stereotype = stereotype;  // kept by the blocks that name none
  // The eyes' red and blue as they were at the run's start, dimmed for a target.
  StereoLook look = stereolook();
  look.eyes[0] = s.normL;
  look.eyes[5] = s.normR;
  look.type = s.stereotype;
  if (!nodraw && s.framespertarg > 0 && s.targleft == 0 && random() % s.framespertarg == 0) {
    s.targleft = par.targframes;
    logevent("DimEvent: %9.3lf    frac=%2.2f,frms=%d\n", logtime(), par.dimtargfrac, par.targframes);
  }
  if (s.targleft > 0) {
    if (!nodraw) {
      look.eyes[0] = s.normL * par.dimtargfrac;
      look.eyes[5] = s.normR * par.dimtargfrac;
    }
    s.targleft--;
  }
  drawrotdil0stereo(s.stereo, t, ndots, disp, scrambled, nodraw ? 1 : 0, look);
}
