#include "retino/saccade.h"

#include "config/params.h"
#include "core/angles.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/timer.h"
#include "draw/fixation.h"
#include "draw/primitives.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr float OFFSCREEN = 10.0f;

float uniform() { return static_cast<float>(random() * (1.0 / 2147483648.0)); }

float jitterradius(float r) {
  if (par.radjit <= 0.0f) return r;
  r += uniform() * 2.0f * par.radjit - par.radjit;
  return std::min(r, 1.0f);
}

float jitterangle(float th) {
  if (par.thetajit <= 0.0f) return th;
  return th + (uniform() * 2.0f * par.thetajit - par.thetajit) * static_cast<float>(M_PI / 180.0);
}

// A new return flag: one trial in retevery on average, drawn once more when
// the trial before also returned (no long runs of returns).
int drawreturn(int prevret) {
  if (par.retevery <= 0) return 0;  // no return trials rather than a division by zero
  int ret = random() % par.retevery == 0;
  if (ret && prevret) ret = random() % par.retevery == 0;
  return ret;
}

}  // namespace

SaccTrial startsacctrial(int type, double t, int prevret) {
  SaccTrial s;
  s.initend = t + par.initend;
  s.targ1beg = t + par.targ1beg;
  s.targ1end = t + par.targ1end;
  s.targ2beg = t + par.targ2beg;
  s.targ2end = t + par.targ2end;
  s.dimend = t + par.dimend;
  s.trialend = t + par.trialend;
  s.distbeg = t + par.distbeg;
  s.distend = t + par.distend;
  s.t2x = s.t2y = OFFSCREEN;
  s.retflag = 0;
  float th = static_cast<float>(std::fmod(par.polfreq * t * TWOPI, TWOPI));
  switch (type) {
    case 93:
    case 95: {
      th = type == 95 ? uniform() * static_cast<float>(TWOPI) : static_cast<float>(M_PI);
      const float tr = par.targ1rad;
      float r = tr != 0.0f ? static_cast<float>(std::fmod(par.eccfreq * t * tr, static_cast<double>(tr))) : 0.0f;
      r = jitterradius(r);
      th = jitterangle(th);
      r = std::max(r, 2.0f * par.fixrad + par.dotsize);
      s.t1x = r * std::cos(th), s.t1y = r * std::sin(th);
      break;
    }
    case 96: {
      if (std::fmod(th, TWOPI) > M_PI) s.targ1end = s.targ2end = s.trialend;
      const float a1 = uniform() * static_cast<float>(TWOPI);
      const float r1 = 0.25f + uniform() * (par.targ1rad - 0.25f);
      const float r2 = 0.25f + uniform() * (par.targ2rad - 0.25f);
      const bool left = a1 > M_PI / 2.0 && a1 < 3.0 * M_PI / 2.0;
      const float a2 = (left ? -static_cast<float>(M_PI) / 2.0f : static_cast<float>(M_PI) / 2.0f) +
                       uniform() * static_cast<float>(M_PI);
      s.t1x = r1 * std::cos(a1), s.t1y = r1 * std::sin(a1);
      s.t2x = r2 * std::cos(a2), s.t2y = r2 * std::sin(a2);
      break;
    }
    case 91: {
      const float r1 = jitterradius(par.targ1rad), r2 = jitterradius(par.targ2rad);
      const float th1 = jitterangle(th), th2 = jitterangle(th);
      s.t1x = r1 * std::cos(th1), s.t1y = r1 * std::sin(th1);
      s.t2x = r2 * std::cos(th2), s.t2y = r2 * std::sin(th2);
      break;
    }
    default: {  // 90, 92, 94
      float r = type == 94 ? 0.25f + 0.75f * uniform() : par.targ1rad;
      r = jitterradius(r);
      th = jitterangle(th);
      s.t1x = r * std::cos(th), s.t1y = r * std::sin(th);
      if (type == 92) {
        const float d = ((random() & 1) ? 1.0f : -1.0f) * par.thetajit * static_cast<float>(M_PI / 180.0);
        s.t2x = r * std::cos(th + d), s.t2y = r * std::sin(th + d);
        s.retflag = drawreturn(prevret);
        if (s.retflag) logevent("TgRetEvent: %7.3lf\n", logtime());
      }
      break;
    }
  }
  return s;
}

long saccadetrialat(double first, double len, double t) {
  if (!(len > 0.0)) return -1;
  const double n = std::floor((t - first) / len + 1e-9);
  return n < 0.0 ? 0 : static_cast<long>(n);
}

double saccadeonset(double first, double len, long n) { return first + static_cast<double>(n) * len; }

void resetsaccade(SaccadeState& s) { s = SaccadeState{}; }

SaccadeState& saccadestate() {
  static SaccadeState s;
  return s;
}

void drawdelsacc(double t) { drawdelsacc(saccadestate(), t); }

void drawdelsacc(SaccadeState& s, double t) {
  SaccTrial& trial = s.trial;
  const int type = par.stimtype;
  const double len = par.trialend;
  if (s.trialno < 0) s.first = t;
  const long n = saccadetrialat(s.first, len, t);
  if (n < 0 || n != s.trialno) {
    // The trial's times and clock angle are those of its onset, not of the
    // frame that happens to show it first.
    trial = startsacctrial(type, n < 0 ? t : saccadeonset(s.first, len, n), trial.retflag);
    s.trialno = n < 0 ? 0 : n;
  }
  if (t < trial.initend) drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t);
  const float g = par.targdistbright;
  glColor3f(g, g, g);
  if (trial.targ1beg < t && t < trial.targ1end) drawsquare(trial.t1x, trial.t1y, par.dotsize);
  if (trial.targ2beg < t && t < trial.targ2end) {
    if (type != 92)
      drawsquare(trial.t2x, trial.t2y, par.dotsize);
    else if (trial.retflag)
      drawsquare(trial.t1x, trial.t1y, par.dotsize);
  }
  if (par.sacdistflag && trial.distbeg < t && t < trial.distend) {
    // Distractors take the run's one stream. To hold them still for some
    // frames the stream is reseeded from the frame count, which also makes
    // every later draw of the run a function of that count: still the same
    // for the same seed and options.
    if (par.frmsdistrefresh > 1) {
      if (s.framecnt % par.frmsdistrefresh == 0) s.distseed = s.framecnt;
      srandom(static_cast<unsigned>(s.distseed));
    }
    const float b = (type == 91 || type == 96) ? (par.targ1rad + par.targ2rad) / 2.0f : par.targ1rad;
    glColor3f(g, g, g);
    for (int k = 0; k < par.distnum; k++) {
      float a, r;
      if (type == 93) {
        a = static_cast<float>(M_PI) + (uniform() * 2.0f - 1.0f) * par.distjit * static_cast<float>(M_PI / 180.0);
        r = uniform() * static_cast<float>(M_PI);
      } else {
        a = uniform() * static_cast<float>(TWOPI);
        r = b + (uniform() * 2.0f - 1.0f) * par.distjit;
      }
      drawsquare(r * std::cos(a), r * std::sin(a), par.dotsize);
    }
  }
  if (trial.initend < t && t < trial.dimend) drawfixation(0.0f, 0.0f, 0.0f, par.fixdim, t);
  s.framecnt++;
}

void presaccadepos(double t, double p, float* x, float* y) {
  const double th = std::fmod(t / p * TWOPI, TWOPI);
  const float h = static_cast<float>((th - std::sin(th)) / TWOPI);
  *x = *y = 0.0f;
  if (t < p) return;
  if (t < 2.0 * p) {
    *x = *y = 0.7f * h;
  } else if (t < 3.0 * p) {
    *x = 0.7f - 1.4f * h, *y = 0.7f;
  } else {
    *x = 0.7f * h - 0.7f, *y = 0.7f - 0.7f * h;
  }
}

namespace {

// Program state, not run state: the path is walked once, before the first run.
struct PresaccadeTest {
  bool started = false, done = false;
};
PresaccadeTest presaccade;

}  // namespace

bool presaccaderunning() { return presaccade.started && !presaccade.done; }

int ispresaccadeper(double t) {
  if (presaccade.done) return 0;
  const double p = par.presaccadedur;
  presaccade.started = true;
  if (t < 4.0 * p) {
    float x, y;
    presaccadepos(t, p, &x, &y);
    FixMark m;
    m.targets = false;  // no dimming targets on the calibration path
    drawfixation(x, y, 0.0f, par.fixbright, t, m);
    return 1;
  }
  logevent("EndPrePrePer: %8.3lf #####\n", logtime());
  settimer();
  logevent("PrePrePerReset: %6.3lf\n", logtime());
  presaccade.done = true;
  return 1;
}
