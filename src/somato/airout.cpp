#include "somato/airout.h"

#include "config/condseq.h"
#include "config/params.h"
#include "core/eventlog.h"
#include "core/timer.h"
#include "devices/dio.h"
#include "draw/primitives.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

int opentube = 0;  // tube whose valve is open (0: none)

// Valve changes waiting for their delayed time. Fixed size: a change per
// frame over the delay is far below it.
struct Change {
  double when;
  int tube;
  bool held;  // kept back a frame after its valve closed
};
constexpr int QUEUELEN = 256;
Change queue[QUEUELEN];
int qfirst = 0, qcnt = 0;
int lastqueued = 0;
double lastsince = -1.0;  // start of the last puff queued
// The direct path's puff kept closed for a frame, and when it was due.
int heldtube = 0;
double helddue = 0.0;

void push(double when, int tube) {
  queue[(qfirst + qcnt) % QUEUELEN] = {when, tube, false};
  qcnt++;
}

// A valve that reopens a frame late, so that two puffs stay two: the log
// says when it was delivered and when it was due. Only a box's valves are
// delivered; a run without one has nothing to say.
// A type without a log says it once on the terminal.
bool heldnoted = false;
void logheld(int tube, double due) {
  if (!dioboxopen()) return;
  if (logging()) {
    logevent("PuffHeld: %9.3lf   tube=%d   due=%.3f\n", logtime(), tube, due);
    return;
  }
  if (heldnoted) return;
  heldnoted = true;
  std::printf("vistrum: puffs of one tube closer than a frame: its valve stays closed a frame between them"
              " (first: tube %d due at %.3f s)\n", tube, due);
}

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

void airvalvepuff(int tube, bool newpuff, double due) {
  // A new puff of the tube that is still open from the last frame: the
  // frames saw no gap between the two, so the valve closes for this frame.
  if (tube && newpuff && tube == opentube) {
    airvalve(0);
    heldtube = tube;
    helddue = due;
    return;
  }
  if (tube && tube == heldtube && tube != opentube) logheld(tube, helddue);
  heldtube = 0;
  airvalve(tube);
}

void airvalvedelayed(double t, int tube, double since, double prevend) {
  // The same tube with a new start is a second puff whose gap fell between
  // two frames: its valve is closed before it opens again, at the end of
  // the first when the schedule knows it.
  const bool again = tube && tube == lastqueued && since != lastsince;
  if ((tube != lastqueued || again) && qcnt < QUEUELEN - 1) {
    const double when = (since < t ? since : t) + par.delayttlport;
    if (again) push(prevend > 0.0 && prevend < since ? prevend + par.delayttlport : when, 0);
    push(when, tube);
    lastqueued = tube;
    if (tube) lastsince = since;
  }
  int closed = 0;  // valve closed in this frame
  while (qcnt > 0 && queue[qfirst].when <= t) {
    Change& c = queue[qfirst];
    // A valve closed in this frame stays closed for the frame: a box
    // switched off and on again within one frame delivers one long puff.
    if (c.tube && c.tube == closed) {
      c.held = true;
      break;
    }
    if (opentube && opentube != c.tube) closed = opentube;
    if (c.held) logheld(c.tube, c.when);
    airvalve(c.tube);
    qfirst = (qfirst + 1) % QUEUELEN;
    qcnt--;
  }
}

void airvalvesreset() {
  qfirst = qcnt = 0;
  lastqueued = 0;
  lastsince = -1.0;
  heldtube = 0;
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
