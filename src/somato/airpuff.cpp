// Rotating and rotation-vs-random air puffs around the face (the tubes on
// a circle).
#include "somato/airpuff.h"

#include "config/condseq.h"
#include "config/params.h"
#include "core/angles.h"
#include "core/eventlog.h"
#include "core/timer.h"
#include "draw/fonts.h"
#include "somato/airout.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

AirState air;

void initeval(PolarEval& e, double jittrange) {
  e.previ = 0;
  e.wason = false;
  e.lastbase = -1;
  e.lastslot = -1;
  e.lastpos = 0;
  e.newpuff = false;
  e.jitt.assign(static_cast<size_t>(par.puffsperpolpos), 0.0f);
  if (par.puffjitt == 0.0f) return;
  for (float& j : e.jitt) j = static_cast<float>(random() * (1.0 / 2147483648.0) * 2.0 * jittrange - jittrange);
}

// A random place among m other than the last one; now and then (one-back
// target) the last one again.
int randomplace(PolarEval& e, long onebackevery, int m, bool logit) {
  int r = 0;
  do {
    r = static_cast<int>(random() % m);
  } while (m > 1 && r == e.lastbase);
  if (e.lastbase >= 0 && random() % onebackevery == 0) {
    r = e.lastbase;
    if (logit) logevent("1BakEvent: %8.3lf\n", logtime());
  }
  e.lastbase = r;
  return r;
}

// Whether a puff is on at `time`, and its position index (the display's
// index of type 100 may be negative: the angle slot clockwise).
bool evalpolar(const AirState& s, PolarEval& e, double time, bool output, int* index) {
  const int tubes = par.airtubes, half = tubes / 2;
  const double p = std::fmod(static_cast<double>(par.polfreq) * time * tubes, static_cast<double>(tubes));
  const int i = static_cast<int>(p);
  const double f = std::fabs(p - i);
  if (par.puffjitt != 0.0f && i < e.previ) fshuffle(e.jitt.data(), static_cast<int>(e.jitt.size()));
  e.previ = i;
  const int slot = polarpuffslot(f, e.jitt.data(), par.puffsperpolpos, s.puffdurfrac);
  bool on = slot >= 0;
  if (par.stimtype == 102) on = on && (par.polfreq > 0.0f ? p < half : p < -half);
  // Two slots' puffs that touch are two puffs, not one long one.
  const bool newpuff = on && (!e.wason || slot != e.lastslot || i != e.lastpos);
  e.wason = on;
  e.lastslot = on ? slot : -1;
  e.lastpos = i;
  e.newpuff = newpuff;
  if (!on) return false;
  if (par.stimtype == 100) {
    *index = rotpufftube(i, par.polfreq, tubes, output);
  } else if (par.stimtype == 101) {
    const int base = newpuff ? randomplace(e, s.onebackevery, half, output) : e.lastbase;
    const bool secondhalf = par.polfreq > 0.0f ? i >= half : std::abs(i) < half;
    *index = base + (secondhalf ? half : 0);
  } else {
    *index = newpuff ? randomplace(e, s.onebackevery, tubes, output) : e.lastbase;
  }
  return true;
}

void circlesquare(double angle) {
  airsquare(static_cast<float>(par.maxrad * std::cos(angle)), static_cast<float>(par.maxrad * std::sin(angle)));
}

}  // namespace

int polarpuffslot(double f, const float* jitt, int slots, double puffdurfrac) {
  const double interpuff = 1.0 / slots;
  for (int j = 0; j < slots; j++)
    if (std::fabs(f - ((j + 0.5) * interpuff + jitt[j])) < puffdurfrac / 2.0) return j;
  return -1;
}

bool polarpuffon(double f, const float* jitt, int slots, double puffdurfrac) {
  return polarpuffslot(f, jitt, slots, puffdurfrac) >= 0;
}

int rotpufftube(int i, float polfreq, int tubes, bool output) {
  if (!output) return polfreq > 0.0f ? i : i - 1;
  int k = tubes / 4 - i - (polfreq > 0.0f ? 1 : 0);
  k %= tubes;
  return k < 0 ? k + tubes : k;
}

int rotpuffslot(int tube, int tubes) { return tubes / 4 - tube; }

void resetair(AirState& s) { s = AirState{}; }

AirState& airstate() { return air; }

void drawpolarair(double t) { drawpolarair(air, t); }
void drawrotrandair(double t) { drawrotrandair(air, t); }
void drawphaselineair(double t) { drawphaselineair(air, t); }
void drawphasehalfpointsair(double t, int half) { drawphasehalfpointsair(air, t, half); }
void drawoff2airrndblk(double t) { drawoff2airrndblk(air, t); }
void drawoff3airrndblk(double t) { drawoff3airrndblk(air, t); }

void drawpolarair(AirState& s, double t) {
  const int tubes = par.airtubes;
  const double step = TWOPI / tubes;
  if (!s.started) {
    const double pos = std::fabs(1.0 / par.polfreq) / tubes;  // seconds per position
    s.puffdurfrac = par.puffdur / pos;
    s.onebackevery = par.onebacktargprob > 0.0f
                         ? static_cast<long>(tubes * par.puffsperpolpos / par.onebacktargprob)
                         : 100000000L;
    if (s.onebackevery < 1) s.onebackevery = 1;
    initeval(s.outeval, par.puffjitt / pos);
    if (par.stimtype != 100) initeval(s.showeval, par.puffjitt / pos);
    airvalvesreset();
    s.started = true;
  }
  const double tout = t - par.delayttlport;
  int k = 0;
  const bool puffing = tout >= 0.0 && evalpolar(s, s.outeval, tout, true, &k);
  if (tout >= 0.0) airvalvepuff(puffing ? airtube(k) : 0, s.outeval.newpuff, tout + par.delayttlport);
  if (par.stimtype == 100) {
    // The rehearsal display shows the real puffs: the square is on while
    // the valve is, at the slot of the mapped tube.
    if (puffing) circlesquare((rotpuffslot(airtube(k), tubes) + 0.5) * step);
  } else if (evalpolar(s, s.showeval, t, false, &k)) {
    circlesquare((k + 0.5) * step);
  }
  if ((par.stimtype == 101 || par.stimtype == 102) && t < 1.5) {
    glColor3f(1.0f, 0.0f, 0.0f);
    drawstr("illus, not actual, pos", 0.0f, 0.5f, 24.0f, 5, 0);
  }
}

int rotrandblock(double t, float twofreq) {
  const int e = std::abs(static_cast<int>(static_cast<double>(twofreq) * t) % 2);
  return twofreq < 0.0f ? 1 - e : e;
}

void drawrotrandair(AirState& s, double t) {
  PuffSweep& sweep = s.sweep;
  const int tubes = par.airtubes;
  if (!s.started) {
    puffsweepreset(sweep, tubes);
    airvalvesreset();
    s.started = true;
  }
  const int e = rotrandblock(t, par.twofreq);
  const int i = sweepposition(t, par.aflowfreq, tubes);
  if (i < sweep.previ || e != s.preve) {
    if (e == 1 && par.stimtype == 103) {
      shuffle(sweep.order, sweep.n);
    } else {
      for (int k = 0; k < sweep.n; k++) sweep.order[k] = k;
    }
  }
  s.preve = e;
  const bool on =
      puffsweepstep(sweep, i, t, sweepstart(t, par.aflowfreq, tubes), false) && !(e == 1 && par.stimtype == 120);
  const int k = on ? sweep.order[airtube(i) - 1] : -1;  // 0-based tube
  sweepvalve(sweep, t, on, k + 1);
  if (k < 0) return;
  const double step = TWOPI / tubes;
  circlesquare((par.aflowfreq < 0.0f ? -1.0 : 1.0) * (k * step + step / 2.0));
}
