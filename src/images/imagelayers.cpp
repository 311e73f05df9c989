#include "images/imagelayers.h"

#include "config/params.h"
#include "core/angles.h"
#include "core/benchlayers.h"
#include "core/xit.h"
#include "draw/centre.h"
#include "draw/drawimg.h"
#include "draw/imagestreams.h"
#include "draw/ring.h"
#include "draw/tiffio.h"
#include "draw/wedge.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float SIN24 = 0.4067366430758002f;

PicLayersState piclayers;

PicTiming streamtiming() {
  const double p = par.tiffdur + par.gapdur;
  return PicTiming{1.0 / p, par.tiffdur / p};
}

// Puts the first n streams back on the layer's first frame, and reports
// whether it did.
bool layerinit(PicLayerState& l, int n) {
  if (l.started) return false;
  for (int j = 0; j < n; j++) {
    PicStream& s = l.streams[j];
    resetpicorder(s.order, tiffcnt);
    s.lastphase = 1.001;
    s.index = 0;
    s.angle = 0.0f;
  }
  l.timing = streamtiming();
  l.started = true;
  return true;
}

// Advances stream s to `phase`; true when a new picture starts.
bool newpicture(PicStream& s, double phase) {
  const bool wrapped = phase < s.lastphase;
  s.lastphase = phase;
  return wrapped;
}

void checkcount(int count) {
  if (count > MAXSIMULTIFFS) fatal("vistrum: ### too many simul tiffs (max=%d)\n", MAXSIMULTIFFS);
}

float expobj(float rho) {
  const float lo = par.minlett, hi = par.maxlett;
  const float b = static_cast<float>(std::pow(hi / lo, 1.0 / (hi - lo)));
  const float e = lo * std::pow(b, rho - lo);
  return par.expfrac != 1.0f ? (1.0f - par.expfrac) * rho + par.expfrac * e : e;
}

void drawat(int index, float r, float a, float height, bool mirror) {
  const float x = r * std::cos(a), y = r * std::sin(a);
  drawimg(index, x, y, height, ANCHOR_CENTRE);
  if (mirror) drawimg(index, -x, -y, height, ANCHOR_CENTRE);
}

// Left hemifield in this block (orbit layer with -polRvsL).
int hemiside(double t) {
  const bool odd = hemiblock(t) != 0;
  return par.blockfreq >= 0.0f ? (odd ? 1 : 0) : (odd ? 0 : 1);
}

}  // namespace

double streamtime(double t, int j, int count) {
  if (!par.staggertiffsflag || count <= 0) return t;
  // t_j = t_{j-1} + j*tiffdur/count: offsets 0, 1, 3, 6, ... steps.
  return t + (static_cast<double>(j) * (j + 1) / 2.0) * par.tiffdur / count;
}

float clamplett(float r) { return std::max(std::min(r, par.maxlett), par.minlett); }

float driftoffset(double phase, float d) {
  return par.trbased != 0.0f ? 0.0f : static_cast<float>((phase - 0.5) * d);
}

float imgwedgeangle(double t) {
  float th = static_cast<float>(std::fmod(TWOPI * par.polfreq * t, TWOPI));
  if (par.ipsirange != 0.0f) th = getpolipsith0(t);
  if (par.polVvsHflag) {
    const bool even = hemiblock(t) == 0;
    const bool vertical = par.blockfreq >= 0.0f ? even : !even;
    th = vertical ? static_cast<float>(M_PI / 2.0) : 0.0f;
  }
  if (par.trbased != 0.0f) {
    const double tr = static_cast<long long>(t / par.trbased) * static_cast<double>(par.trbased);
    th = static_cast<float>(std::fmod(TWOPI * par.polfreq * tr, TWOPI));
  }
  return th;
}

ImgRing imgringedges(double t, bool smoothwrap) {
  const float minr = par.minrad, maxr = par.maxrad, span = maxr - minr;
  const float start = par.eccfreq > 0.0f ? minr : maxr;
  float rin = start + static_cast<float>(std::fmod(par.eccfreq * t, 1.0)) * span;
  if (smoothwrap && par.smoothwrapfrac != 0.0f) rin = getsmootheccwrap(rin);
  if (par.trbased != 0.0f) {
    const double tr = static_cast<long long>(t / par.trbased) * static_cast<double>(par.trbased);
    rin = start + static_cast<float>(std::fmod(par.eccfreq * tr, 1.0)) * span;
  }
  if (par.skipeccwrapnogapflag) rin = (rin - minr) * (1.0f - par.eccwidth / span - 0.00001f) + minr;
  ImgRing ring{true, rin, rin + par.eccwidth};
  if (par.skipeccwrapflag && ring.rout > maxr) ring.visible = false;
  if (par.exptransflag) {
    const float b = expbase(minr, maxr);
    ring.rin = exptransblend(ring.rin, minr, b, par.expfrac);
    ring.rout = exptransblend(ring.rout, minr, b, par.expfrac);
  }
  return ring;
}

void checkimagestreams() {
  if (!(par.tiffdur > 0.0f) || !std::isfinite(par.tiffdur))
    fatal("vistrum: ### -tiffdur must be > 0 (got %g)\n", par.tiffdur);
  if (!(par.gapdur >= 0.0) || !std::isfinite(par.gapdur)) fatal("vistrum: ### -gapdur must be >= 0 (got %g)\n", par.gapdur);
  if (par.simulcnt < 1) fatal("vistrum: ### -simulcnt must be at least 1 (got %d)\n", par.simulcnt);
  checkcount(par.simulcnt);
}

void resetpiclayer(PicLayerState& s) { s.started = false; }

void resetpiclayers(PicLayersState& s) {
  resetpiclayer(s.wedge);
  resetpiclayer(s.ring);
  resetpiclayer(s.both);
  resetpiclayer(s.orbit);
}

PicLayersState& piclayersstate() { return piclayers; }

void drawpolimg(double t, int count) { drawpolimg(piclayers.wedge, t, count); }
void draweccimg(double t) { draweccimg(piclayers.ring, t); }
void drawbothimg(double t) { drawbothimg(piclayers.both, t); }
void draworbimgs(double t, int count) { draworbimgs(piclayers.orbit, t, count); }

void drawpolimg(PicLayerState& l, double t, int count) {
  if (!layeron(kLayerPictures)) return;
  checkcount(count);
  layerinit(l, MAXSIMULTIFFS);
  const PicTiming& tm = l.timing;
  PicStream* s = l.streams;
  for (int j = 0; j < count; j++) {
    const double tj = streamtime(t, j, count);
    const double phase = fracphase(tj * tm.freq);
    PicStream& st = s[j];
    if (newpicture(st, phase)) {
      st.index = nextpic(st.order);
      logiftarget(st.index, tm.visfrac / tm.freq);
      st.mid = urange(par.minlett, par.maxlett);
      if (par.exptransobjflag) st.mid = expobj(st.mid);
      st.drift = urange(-par.maxtiffspeed, par.maxtiffspeed) * par.tiffdur;
    }
    if (phase > tm.visfrac) break;  // the later streams wait for this one
    const float r = clamplett(st.mid + driftoffset(phase, st.drift));
    const float height = std::max(par.mintiffsize, r * par.tiffscale * std::sin(par.polwidth));
    const int pushed = pushstimcentre(t);
    drawat(st.index, r, imgwedgeangle(t), height, par.polVvsHflag != 0);
    popstimcentre(pushed);
  }
}

void draweccimg(PicLayerState& l, double t) {
  if (!layeron(kLayerPictures)) return;
  layerinit(l, 1);
  const PicTiming& tm = l.timing;
  const double phase = fracphase(t * tm.freq);
  PicStream& st = l.streams[0];
  if (newpicture(st, phase)) {
    st.index = nextpic(st.order);
    logiftarget(st.index, tm.visfrac / tm.freq);
    st.mid = urange(0.0f, static_cast<float>(TWOPI));
    st.drift = urange(-1.0f, 1.0f) * par.maxtiffspeed * static_cast<float>(M_PI / 180.0);
  }
  if (phase > tm.visfrac) return;
  const ImgRing ring = imgringedges(t, true);
  if (!ring.visible) return;
  const float c = clamplett(ring.rin + (ring.rout - ring.rin) / 2.0f);
  const float height = std::max(par.mintiffsize, (ring.rout - ring.rin) * par.tiffscale);
  const int pushed = pushstimcentre(t);
  drawat(st.index, c, st.mid + driftoffset(phase, st.drift), height, false);
  popstimcentre(pushed);
}

void drawbothimg(PicLayerState& l, double t) {
  if (!layeron(kLayerPictures)) return;
  if (layerinit(l, 1)) l.inwedge = true;
  const PicTiming& tm = l.timing;
  bool& inwedge = l.inwedge;
  const double phase = fracphase(t * tm.freq);
  PicStream& st = l.streams[0];
  if (newpicture(st, phase)) {
    st.index = nextpic(st.order);
    logiftarget(st.index, tm.visfrac / tm.freq);
    inwedge = !inwedge;
    if (inwedge) {
      st.mid = urange(par.minlett, par.maxlett);
      st.drift = urange(-par.maxtiffspeed, par.maxtiffspeed) * par.tiffdur;
    } else {
      st.mid = urange(0.0f, static_cast<float>(TWOPI));
      const float a = par.maxtiffspeed * static_cast<float>(M_PI / 180.0);
      st.drift = urange(-a, a) * 130.0f;
    }
  }
  if (phase > tm.visfrac) return;
  float r, a, height;
  if (inwedge) {
    r = clamplett(st.mid + driftoffset(phase, st.drift));
    a = imgwedgeangle(t);
    height = r * par.tiffscale * std::sin(par.polwidth);
  } else {
    const ImgRing ring = imgringedges(t, false);
    if (!ring.visible) return;
    const float c = ring.rin + (ring.rout - ring.rin) / 2.0f;
    r = clamplett(c);
    a = st.mid + driftoffset(phase, st.drift);
    height = (ring.rout - ring.rin) * par.tiffscale * (c != 0.0f ? r / c : 1.0f);
  }
  const int pushed = pushstimcentre(t);
  drawat(st.index, r, a, std::max(par.mintiffsize, height), false);
  popstimcentre(pushed);
}

void draworbimgs(PicLayerState& l, double t, int count) { draworbimgs(l, t, count, par.polwidth); }

void draworbimgs(PicLayerState& l, double t, int count, float width) {
  if (!layeron(kLayerPictures)) return;
  checkcount(count);
  if (layerinit(l, MAXSIMULTIFFS))
    for (PicStream& st : l.streams) st.index = -1;  // no previous picture yet
  const PicTiming& tm = l.timing;
  PicStream* s = l.streams;
  const float m = width * 0.5f * (1.0f - 0.1f * par.tiffscale);
  for (int j = 0; j < count; j++) {
    const double tj = streamtime(t, j, count);
    const double phase = fracphase(tj * tm.freq);
    PicStream& st = s[j];
    if (newpicture(st, phase)) {
      st.index = randomotherpic(st.index, tiffcnt);
      logiftarget(st.index, tm.visfrac / tm.freq);
      st.mid = urange(par.minlett, par.maxlett);
      if (par.polRvsLflag) {
        st.side = hemiside(tj);
        st.angle = urange(-m, m) + (st.side ? static_cast<float>(M_PI) : 0.0f);
      } else {
        st.angle = urange(0.0f, static_cast<float>(TWOPI));
      }
      st.drift = urange(-par.maxtiffspeed, par.maxtiffspeed) * par.tiffdur;
      st.adrift = urange(-par.maxtiffspeed, par.maxtiffspeed) * par.tiffdur * 10.0f;
    }
    if (phase > tm.visfrac) continue;  // only this stream rests
    const float r = clamplett(st.mid + driftoffset(phase, st.drift));
    float a = st.angle + driftoffset(phase, st.adrift);
    if (par.polRvsLflag) {
      const float c = st.side ? static_cast<float>(M_PI) : 0.0f;
      a = std::max(c - m, std::min(c + m, a));
    }
    const float height = std::max(par.mintiffsize, r * par.tiffscale * SIN24);
    const int pushed = pushstimcentre(tj);
    drawat(st.index, r, a, height, false);
    popstimcentre(pushed);
  }
}
