#include "somato/airout.h"

#include "config/condseq.h"
#include "config/params.h"
#include "retino/primitives.h"
#include "somato/dio.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>

namespace {

int opentube = 0;  // tube whose valve is open (0: none)

// Valve changes waiting for their delayed time. Fixed size: a change per
// frame over the delay is far below it.
struct Change {
  double when;
  int tube;
};
constexpr int QUEUELEN = 256;
Change queue[QUEUELEN];
int qfirst = 0, qcnt = 0;
int lastqueued = 0;

}  // namespace

void airvalve(int tube) {
  if (tube == opentube) return;
  if (par.airpuffbyteflag) {
    sendusbcodebyte(static_cast<unsigned char>(tube), 0);
  } else {
    if (opentube) setusbarraybit(opentube, 0);
    if (tube) setusbarraybit(tube, 1);
  }
  opentube = tube;
}

void airvalvedelayed(double t, int tube, double since) {
  if (tube != lastqueued && qcnt < QUEUELEN) {
    queue[(qfirst + qcnt) % QUEUELEN] = {(since < t ? since : t) + par.delayttlport, tube};
    qcnt++;
    lastqueued = tube;
  }
  while (qcnt > 0 && queue[qfirst].when <= t) {
    airvalve(queue[qfirst].tube);
    qfirst = (qfirst + 1) % QUEUELEN;
    qcnt--;
  }
}

void airvalvesreset() {
  qfirst = qcnt = 0;
  lastqueued = 0;
  airvalve(0);
}

int sweepposition(double t, float rate, int m) {
  const double p = std::fmod(static_cast<double>(rate) * t * m, static_cast<double>(m));
  return std::abs(static_cast<int>(p));
}

void puffsweepreset(PuffSweep& s, int n) {
  s.n = n < 128 ? n : 128;
  for (int k = 0; k < s.n; k++) s.order[k] = k;
  s.previ = -1;
  s.puffend = -1.0;
}

bool puffsweepstep(PuffSweep& s, int i, double t, double start, bool shuffled) {
  if (i != s.previ) {
    // A shuffled sweep is shuffled from its first pass on, not only after a wrap.
    if (shuffled && (s.previ < 0 || i < s.previ)) shuffle(s.order, s.n);
    s.puffstart = start;
    s.puffend = start + par.puffdur;
    s.previ = i;
  }
  return t < s.puffend;
}

double sweepstart(double t, float rate, int m) {
  const double r = std::fabs(static_cast<double>(rate)) * m;
  return r > 0.0 ? std::floor(r * t) / r : t;
}

void sweepvalve(const PuffSweep& s, double t, bool on, int tube) {
  airvalvedelayed(t, on ? tube : 0, on ? s.puffstart : (s.puffend > 0.0 ? s.puffend : t));
}

float airsquaregrey() {
  const float bg = par.bgwingray, c = par.bwcontrast;
  return c >= 0.0f ? bg + c * (1.0f - bg) : bg + c * bg;
}

int airtube(int index) {
  if (index < 0 || index >= par.mapairtubes) return 0;
  return par.airtubemap[index];
}

void airsquare(float x, float y) {
  const float g = airsquaregrey();
  glColor3f(g, g, g);
  drawsquare(x, y, par.dotsize);
}
