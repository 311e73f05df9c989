// The letter streams of the number task in wedges and rings.
#include "draw/letters.h"

#include "config/params.h"
#include "core/angles.h"
#include "core/benchlayers.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/timer.h"
#include "core/window.h"
#include "draw/centre.h"
#include "draw/fonts.h"
#include "draw/imagestreams.h"
#include "draw/ring.h"
#include "draw/wedge.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

void resetstream(LetterStream& s, double t, bool wedge) {
  letterrange(&s.lo, &s.hi, wedge);
  s.lett[0] = 'A';
  s.jitt = 0.0f;
  s.firstunlogged = true;
  s.lastphase = wordpace(t, par.textdur, par.gapdur).phase;
}

// Draws `draw` until its point (x, y) lies inside the window, at most
// LETTCLAMPTRIES times when the clamp is on (once otherwise).
template <class Draw>
float clampeddraw(Draw draw) {
  float v = draw();
  if (!par.screenclampletflag) return v;
  for (int k = 1; k < LETTCLAMPTRIES; k++) {
    float x, y;
    draw.point(v, &x, &y);
    if (insidewindow(x + run.mousexgl, y + run.mouseygl)) break;
    v = draw();
  }
  return v;
}

struct WedgeRadius {
  float lo, hi, th;
  float operator()() const { return urange(lo, hi); }
  void point(float r, float* x, float* y) const {
    *x = r * std::cos(th);
    *y = r * std::sin(th);
  }
};

struct RingAngle {
  float r;
  float operator()() const { return urange(0.0f, static_cast<float>(TWOPI)); }
  void point(float th, float* x, float* y) const {
    *x = r * std::cos(th);
    *y = r * std::sin(th);
  }
};

// The character of a new cycle goes to the log with where it shows.
void logletter(const LetterStream& s, float r, float th) {
  const bool digit = s.lett[0] >= '1' && s.lett[0] <= '9';
  if (par.verboselogflag) {
    const float x = r * std::cos(th) + run.mousexgl, y = r * std::sin(th) + run.mouseygl;
    logevent(digit ? "NumEvent: %9.3lf   num=%c r=%.3f th=%.1f x=%.3f y=%.3f\n"
                   : "LetEvent: %9.3lf   lett=%c r=%.3f th=%.1f x=%.3f y=%.3f\n",
             logtime(), s.lett[0], r, th * 180.0 / M_PI, x, y);
  } else {
    logevent(digit ? "NumEvent: %9.3lf   %c\n" : "LetEvent: %9.3lf   %c\n", logtime(), s.lett[0]);
  }
}

// Every character the subject sees is logged once: each new cycle's, and
// the starting one when it shows before the first new cycle (a stream that
// starts in a gap never shows it).
bool takesnewlog(LetterStream& s, const LetterTick& k) {
  const bool first = s.firstunlogged && k.visible;
  if (k.fresh || k.visible) s.firstunlogged = false;
  return k.fresh || first;
}

// The letter grey, dimmed as the stimulus it rides in during a smooth return.
void lettercolour(double t, bool wedge) {
  const float c = par.textcol;
  if (par.smoothwrapdim < 1.0f) {
    if (wedge && smoothwraptype() == 2) return setsmoothpolipsiwrapdimcolor(t, c, c, c);
    if (!wedge) return setsmootheccwrapdimcolor(t, c, c, c);
  }
  glColor3f(c, c, c);
}

}  // namespace

LetterTick lettertick(LetterStream& s, double t) {
  const WordPace p = wordpace(t, par.textdur, par.gapdur);
  const bool fresh = p.phase < s.lastphase;
  s.lastphase = p.phase;
  return {fresh, fresh || p.visible};
}

char nextlettchar(int lettspernum) {
  const long n = lettspernum < 1 ? 1 : lettspernum;
  char c;
  if (random() % n != 0) {
    do c = static_cast<char>('A' + random() % 26);
    while (c == 'O');  // 'O' reads as the digit 0
  } else {
    do c = static_cast<char>('0' + random() % 10);
    while (c == '0');
  }
  return c;
}

void letterrange(float* lo, float* hi, bool wedge) {
  const float top = wedge && par.truncnumradflag ? std::min(par.maxrad, truncmaxrad) : par.maxrad;
  *lo = std::max(par.minlett, par.minrad);
  *hi = std::min(par.maxlett, top);
}

float polletterangle(double t, float dth) { return polletterangle(t, dth, par.polwidth); }

float polletterangle(double t, float dth, float width) {
  // The wedge's own start angle (sweeps, blocks, TR steps, wobble) plus
  // half its width: the letter stays in the middle of the drawn wedge.
  return polarstartangle(t, 1.0f, dth, width) + width / 2.0f;
}

float newpolletterjitter() { return newpolletterjitter(par.polwidth); }

float newpolletterjitter(float width) {
  const float h = (width - par.poljittmin) / 2.0f;
  return urange(-h, h);
}

float polletteroffset(float jitt) { return polletteroffset(jitt, par.polwidth); }

float polletteroffset(float jitt, float width) { return width > par.poljittmin ? jitt : 0.0f; }

float eccletterradius(double T, float lo, float hi, float jitt) {
  const float b0 = par.eccfreq > 0.0f ? lo : hi;
  float r = b0 + static_cast<float>(std::fmod(par.eccfreq * T, 1.0)) * (hi - lo);
  if (par.smoothwrapfrac != 0.0f) r = getsmootheccwrap(r);
  r += par.eccwidth / 2.0f;
  if (par.wrapmaxeccletflag && r > hi) r = lo;
  if (par.eccwidth > ECCJITTMIN) r += jitt;
  if (par.exptransflag) r = exptransblend(r, lo, expbase(lo, hi), par.expfrac < 1.0f ? par.expfrac : 1.0f);
  return r;
}

bool insidewindow(float x, float y) {
  return x > -dsp.iwinxgl && x < dsp.iwinxgl && y > -dsp.iwinygl && y < dsp.iwinygl;
}

void resetletters(LettersState& s) { s = LettersState{}; }

LettersState& lettersstate() {
  static LettersState s;
  return s;
}

void drawpolletter(double t, float dth, Centre c) { drawpolletter(lettersstate().pol, t, dth, c); }

void drawpolletter(LetterStream& s, double t, float dth, Centre c) { drawpolletter(s, t, dth, c, par.polwidth); }

void draweccletter(double t, double toff) { draweccletter(lettersstate().ecc, t, toff); }

void drawpolletter(LetterStream& s, double t, float dth, Centre c, float width) {
  if (!layeron(kLayerLetters)) return;
  if (!s.started) {
    resetstream(s, t, true);
    s.pos = urange(s.lo, s.hi);
    s.started = true;
  }
  if (par.textdur <= 0.0) return;
  const float th = polletterangle(t, dth, width);
  const LetterTick k = lettertick(s, t);
  if (k.fresh) {
    s.pos = clampeddraw(WedgeRadius{s.lo, s.hi, th});
    s.lett[0] = nextlettchar(par.lettspernum);
    s.jitt = newpolletterjitter(width);
  }
  const float a = th + polletteroffset(s.jitt, width);
  if (takesnewlog(s, k)) logletter(s, s.pos, a);
  if (!k.visible) return;
  const float r = s.pos, x = r * std::cos(a), y = r * std::sin(a);
  const int pushed = pushstimcentre(t, c);
  lettercolour(t, true);
  drawstr(s.lett, x, y, eccfontsize(r), 5, 0);
  popstimcentre(pushed);
}

void draweccletter(LetterStream& s, double t, double toff) {
  if (!layeron(kLayerLetters)) return;
  if (!s.started) {
    resetstream(s, t, false);
    s.pos = urange(0.0f, static_cast<float>(TWOPI));
    s.started = true;
  }
  if (par.textdur <= 0.0) return;
  const LetterTick k = lettertick(s, t);
  if (k.fresh) {
    s.pos = clampeddraw(RingAngle{eccletterradius(t + toff, s.lo, s.hi, s.jitt)});
    s.lett[0] = nextlettchar(par.lettspernum);
    const float h = (par.eccwidth - ECCJITTMIN) / 2.0f;
    s.jitt = urange(-h, h);
  }
  const float r = eccletterradius(t + toff, s.lo, s.hi, s.jitt);
  if (takesnewlog(s, k)) logletter(s, r, s.pos);
  if (!k.visible) return;
  const int pushed = pushstimcentre(t);
  lettercolour(t, false);
  // The size follows the moving ring every frame: drawn from one raster.
  drawstrscaled(s.lett, r * std::cos(s.pos), r * std::sin(s.pos), eccfontsize(r), 5, 0);
  popstimcentre(pushed);
}

void drawpollet(double t, int nrad, int ntheta) {
  drawpolar(t, nrad, ntheta, 1.0f, 0, 0.0f, 0.0f);
  drawpolletter(t, 0.0f);
}

void drawecclet(double t, int nrad, int ntheta) {
  if (eccblank(t)) return;
  draweccen(t, nrad, ntheta, 0.0);
  draweccletter(t, 0.0);
}
