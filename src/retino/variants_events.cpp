// The event-related wedge at random angles with its n-back task, and the
// wedge whose angular groups turn on and off at their own frequencies.
#include "retino/variants.h"

#include "config/condseq.h"
#include "config/params.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/xit.h"
#include "draw/wedge.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

long polrandseed(int srseed, bool srseedgiven, long clock) {
  return srseedgiven ? srseed : clock / 2 + random() / 10;
}

void polrandinit(PolRand& s) {
  s.nangles = par.numangles < 1 ? 1 : (par.numangles > 24 ? 24 : par.numangles);
  for (int i = 0; i < s.nangles; i++)
    s.angles[i] = static_cast<int>(static_cast<float>(i * 360 / s.nangles) + par.angleoff);
  shuffle(s.angles, s.nangles);
  for (int k = 0; k < 6; k++) s.gaps[k] = par.nbackgaps[k];
  for (int k = 0; k < 3; k++) {
    s.lags[k] = par.eventlags[k];
    s.durs[k] = par.eventdurs[k];
  }
  shuffle(s.gaps, 6);
  fshuffle(s.lags, 3);
  fshuffle(s.durs, 3);
  s.angi = s.gapi = s.lagi = s.duri = 0;
  s.trialcnt = s.trial = 0;
  s.lastnback = -1;
  s.back[0] = s.back[1] = s.back[2] = -1;
  s.eventsperlag = static_cast<int>(random() % (par.eventsperlag_rang + 1)) + par.eventsperlag_min;
  s.nextevent = 0.0;
  s.endevent = 100.0;
  s.hit = false;
}

namespace {

int nextangle(PolRand& s) {
  if (s.angi >= s.nangles) {
    shuffle(s.angles, s.nangles);
    s.angi = 0;
  }
  return s.angles[s.angi++];
}

bool recent(const PolRand& s, int a) { return a == s.back[0] || a == s.back[1] || a == s.back[2]; }

}  // namespace

bool polrandstep(PolRand& s, double t) {
  if (t < s.nextevent) return false;
  if (s.gapi >= 6) {
    shuffle(s.gaps, 6);
    s.gapi = 0;
  }
  if (s.lagi >= 3) {
    fshuffle(s.lags, 3);
    s.lagi = 0;
  }
  if (s.duri >= 3) {
    fshuffle(s.durs, 3);
    s.duri = 0;
  }
  if (++s.trialcnt > s.eventsperlag) {
    s.trialcnt = 1;
    s.eventsperlag = static_cast<int>(random() % (par.eventsperlag_rang + 1)) + par.eventsperlag_min;
  }
  const int n = par.polrandnback;
  const bool task = n >= 1 && n <= 3;
  s.hit = false;
  if (task && s.back[n - 1] >= 0 && s.trial - s.lastnback >= s.gaps[s.gapi]) {
    s.angle = s.back[n - 1];
    s.hit = true;
    s.lastnback = s.trial;
    s.gapi++;
  } else {
    // No accidental repeat of any of the last three angles: drawing on
    // until one differs from all three (not one check after the other,
    // which can land back on an angle already passed).
    s.angle = nextangle(s);
    for (int tries = 0; recent(s, s.angle) && tries < 2 * s.nangles + 3; tries++) s.angle = nextangle(s);
  }
  // A trial starts when the one before it (and its delay) ends, not on the
  // frame that first shows it, so the schedule does not slip a frame per
  // trial. The run's first trial, and one that would be over before it was
  // seen (a stalled display), start at t.
  const float dur = s.durs[s.duri++];
  double onset = s.trial == 0 ? t : s.nextevent;
  if (t >= onset + dur) onset = t;
  s.endevent = onset + dur;
  const float delay = s.trialcnt == s.eventsperlag ? s.lags[s.lagi++] : 0.0f;
  s.nextevent = s.endevent + delay;
  logevent(s.hit ? "angle: %5.1f deg.    start: %8.3lf    stop: %8.3lf    (hit)\n"
                 : "angle: %5.1f deg.    start: %8.3lf    stop: %8.3lf\n",
           static_cast<double>(s.angle), onset, s.endevent);
  if (task) {
    if (delay > 0.0f) {
      s.back[0] = s.back[1] = s.back[2] = -1;
      s.gapi = 0;
      s.lastnback = s.trial;
      shuffle(s.gaps, 6);
      logevent("delay period (%0.3f sec):  clearing nbacks\n", static_cast<double>(delay));
    } else {
      s.back[2] = s.back[1];
      s.back[1] = s.back[0];
      s.back[0] = s.angle;
    }
  } else if (delay != 0.0f) {
    logevent("delay period (%0.3f sec)\n", static_cast<double>(delay));
  }
  s.trial++;
  return true;
}

void drawpolrand(VariantsState& v, double t, int nrad, int ntheta) {
  PolRand& s = v.polrand;
  if (!v.randstarted) {
    // Each start draws a new trial order from the clock unless -srseed
    // was given; the seed is printed and logged so that -srseed repeats
    // any run exactly.
    const long seed = polrandseed(par.srseed, par.srseedgivenflag != 0, static_cast<long>(std::time(nullptr)));
    srandom(static_cast<unsigned>(seed));
    std::printf("vistrum: event-related wedge trials drawn from seed %ld (-srseed %ld repeats them)\n", seed, seed);
    logevent("RandSeed: %8.3lf   seed=%ld\n", t, seed);
    polrandinit(s);
    v.randstarted = true;
  }
  polrandstep(s, t);
  if (t > s.endevent) return;
  WedgeShape shape;
  shape.fixedstart = true;
  shape.start = static_cast<float>(s.angle * M_PI / 180.0) - par.polwidth / 2.0f;
  shape.truncate = false;
  shape.targets = false;
  drawpolar(t, nrad, ntheta, 1.0f, PLAINCOLS, 0.0f, 0.0f, &shape);
}

bool multifreqon(float freq, double t, float onfrac) {
  const double ph = std::fmod(static_cast<double>(freq) * t, 1.0);
  // A negative fraction puts the on part at the end of each cycle (read
  // literally, "phase at least onfrac" would never switch a group off).
  return onfrac > 0.0f ? ph <= onfrac : ph >= -onfrac;
}

float multifreqstart(double t) {
  float th0 = static_cast<float>(std::fmod(par.polfreq * t * 2.0 * M_PI, 2.0 * M_PI));
  if (par.ipsirange != 0.0f) th0 = getpolipsith0(t);
  if (par.centerpolflag) th0 -= par.polwidth / 2.0f;
  return th0;
}

void drawmultifreqpolar(VariantsState& v, double t, int nrad, int ntheta) {
  std::vector<unsigned char>& shown = v.shown;  // sized on the run's first call
  const int g = ntheta - 1;
  if (!v.multistarted) {
    if (par.freqlistcnt <= 0 || g % par.freqlistcnt != 0)
      fatal("vistrum: ### cycleslist (%d) not divisble into numtheta-1 (%d)\n", par.freqlistcnt, g);
    std::printf("vistrum: %d theta's each freq,wedge\n", g / par.freqlistcnt);
    shown.assign(g > 0 ? g : 1, 1);
    v.multistarted = true;
  }
  if (g <= 0) return;
  const int per = g / par.freqlistcnt;
  for (int i = 0; i < g; i++) shown[i] = multifreqon(par.freqlist[i / per], t, par.onfrac) ? 1 : 0;
  WedgeShape shape;
  shape.fixedstart = true;
  shape.start = multifreqstart(t);
  shape.targets = false;
  shape.columns = shown.data();
  drawpolar(t, nrad, ntheta, 1.0f, PLAINCOLS, 0.0f, 0.0f, &shape);
}
