#include "somato/laser.h"

#include "config/condseq.h"
#include "config/dirreaders.h"
#include "config/optionlists.h"
#include "config/params.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/sound.h"
#include "core/timer.h"
#include "core/xit.h"
#include "devices/dio.h"
#include "draw/fonts.h"
#include "draw/primitives.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char* const kFingers[] = {"ind", "mid", "ring", "little"};
constexpr double PULSELEN = 0.045;
constexpr int LASERBIT = 1;  // the laser's output bit in the array

int fingers() { return std::abs(par.fingercnt); }

LaserState laser;

// The log line of a pulse that has ended.
void finishpulse(Pulse& p) {
  if (p.enabled) logevent("PainEvent: %9.3lf   fing=%d, pos=%d\n", logtime(), p.finger, p.pos);
  p.end = -1.0;
}

void schedulepulse(Pulse& p, double t, int finger, int pos, bool enabled) {
  // At a low frame rate the next cue can come in the frame after the pulse:
  // the pulse is logged all the same.
  if (p.end > 0.0) finishpulse(p);
  p.begin = t + par.pulsedelayfracISI * par.fingerstimISI;
  p.end = p.begin + PULSELEN;
  p.finger = finger;
  p.pos = pos;
  p.enabled = enabled;
  char name[64];
  paincuename(name, sizeof name, finger, pos);
  playnamedaudfile(name);
}

// The square and the laser bit while the pulse is on; the log line after it.
void showpulse(Pulse& p, double t) {
  const bool on = p.end > 0.0 && p.begin < t && t < p.end;
  setusbarraybit(LASERBIT, on && p.enabled);
  if (on) {
    if (p.enabled)
      glColor3f(1.0f, 0.8f, 0.0f);
    else
      glColor3f(0.4f, 0.32f, 0.0f);
    drawsquare(1.0f, 1.0f, 0.3f);
  } else if (p.end > 0.0 && t >= p.end) {
    finishpulse(p);
  }
}

// The cue's name at its place in the finger-by-position grid.
void showcue(const Pulse& p) {
  const int f = fingers(), n = par.lasposperfinger;
  if (p.begin < 0.0) return;
  char name[64];
  paincuename(name, sizeof name, p.finger, p.pos);
  const float x = n > 1 ? p.pos * 2.0f * par.maxrad / (n - 1) - par.maxrad : 0.0f;
  const float y = f > 1 ? p.finger * 2.0f * par.maxrad / (f - 1) - par.maxrad : 0.0f;
  glColor3f(1.0f, 1.0f, 1.0f);
  drawstr(name, x, y, 36.0f, 5, 0);
}

}  // namespace

void paincuename(char* out, int size, int finger, int pos) {
  std::snprintf(out, size, "%s-%d.wav", kFingers[finger & 3], pos + 1);
}

int painfinger(double h, int fingercnt) {
  const int f = std::abs(fingercnt);
  if (fingercnt >= 0) return static_cast<int>(h);
  const int k = static_cast<int>(f - h);
  return k < f - 1 ? k : f - 1;
}

void painplan(int* plan, int nf, int np, int perblock, int* blockorder) {
  const int block = nf * perblock;
  for (int k = 0; k < nf * np; k++) plan[k] = -1;
  for (int r = 0; r < np / perblock; r++) {
    for (int k = 0; k < block; k++) blockorder[k] = k;
    shuffle(blockorder, block);
    int k = 0;
    for (int f = 0; f < nf; f++)
      for (int l = 0; l < perblock; l++) {
        int pos = 0;
        do {
          pos = static_cast<int>(random() % np);
        } while (plan[f * np + pos] >= 0);
        plan[f * np + pos] = blockorder[k++] + r * block;
      }
  }
}

void checklaserrepeats() {
  if (par.lasperfinger < 1) fatal("vistrum: ### -lasperfinger %d: at least 1\n", par.lasperfinger);
}

void checkpaincues() {
  // The library's default directory has no finger cues: the laser maps
  // take theirs from "painmap" unless another directory was given.
  char deflt[2 * TEXTLEN];
  std::snprintf(deflt, sizeof deflt, "%s/lib/soundfiles/test", par.vistrumdir);
  if (!std::strcmp(par.sndfiledir, deflt)) setlibdir(LibDir::sounds, "painmap");
  if (par.fingercnt == 0 || fingers() > 4)
    fatal("vistrum: ### -fingercnt %d: 1 to 4 fingers (negative: start with the last)\n", par.fingercnt);
  if (par.lasposperfinger < 1) fatal("vistrum: ### -lasposperfinger %d: at least 1\n", par.lasposperfinger);
  if (par.fingerstimISI <= 0.0f) fatal("vistrum: ### -fingerstimISI must be positive\n");
  if (!par.sndprog[0]) fatal("vistrum: ### no sndprog\n");
  for (int f = 0; f < fingers(); f++)
    for (int p = 0; p < par.lasposperfinger; p++) {
      char name[64];
      paincuename(name, sizeof name, f, p);
      const std::string path = soundpath(name);
      FILE* fp = std::fopen(path.c_str(), "r");
      if (!fp) fatal("vistrum: ### can't open sndfile %s\n", path.c_str());
      std::fclose(fp);
    }
}

void resetlaser(LaserState& s) { s = LaserState{}; }

LaserState& laserstate() { return laser; }

void drawpainmap(double t, int shuffled) { drawpainmap(laser, t, shuffled); }
void drawpainrand(double t) { drawpainrand(laser, t); }

void drawpainmap(LaserState& s, double t, int shuffled) {
  const int f = fingers(), n = par.lasposperfinger;
  const double isi = par.fingerstimISI;
  if (!s.started) {
    s.handfreq = 1.0 / (n * f * isi);
    s.fingerfreq = 1.0 / (n * isi);
    std::printf("vistrum: handperiod = %2.2f\n", n * f * isi);
    s.order.resize(static_cast<size_t>(n));
    for (int k = 0; k < n; k++) s.order[k] = k;
    s.started = true;
  }
  const double h = std::fmod(s.handfreq * t * f, static_cast<double>(f));
  const double fingerphase = std::fmod(s.fingerfreq * t, 1.0), laserphase = std::fmod(t / isi, 1.0);
  if (fingerphase < s.prevfinger) {
    s.counter = 0;
    if (shuffled) shuffle(s.order.data(), n);
  }
  if (laserphase < s.prevlaser) {
    schedulepulse(s.pulse, t, painfinger(h, par.fingercnt), s.order[s.counter % n], true);
    s.counter++;
  }
  s.prevfinger = fingerphase;
  s.prevlaser = laserphase;
  showpulse(s.pulse, t);
  showcue(s.pulse);
}

void drawpainrand(LaserState& s, double t) {
  const int f = fingers(), n = par.lasposperfinger, l = par.lasperfinger;
  const double isi = par.fingerstimISI;
  if (!s.started) {
    if (n % l != 0) fatal("vistrum: ### lasperfinger=%d not factor of lasposperfinger=%d\n", l, n);
    s.plan.assign(static_cast<size_t>(f * n), -1);
    s.blockorder.assign(static_cast<size_t>(f * l), 0);
    s.counter = f * n;  // the first pulse makes a plan
    s.blockfreq = 1.0 / (2.0 * isi * f * l);
    const double len = isi * f * l;
    std::printf(par.fingercnt < 0 ? "vistrum: %2.1fs OFF, %2.1fs ON\n" : "vistrum: %2.1fs ON, %2.1fs OFF\n", len, len);
    // The block the run opens with: an opening off block (negative
    // -fingercnt) has no on block before it to repeat, and takes a new plan.
    s.wasenabled = par.fingercnt >= 0;
    s.started = true;
  }
  const double laserphase = std::fmod(t / isi, 1.0);
  const bool enabled = (std::fmod(s.blockfreq * t, 1.0) < 0.5) != (par.fingercnt < 0);
  // The off block repeats the on block's cues with the laser disabled.
  if (s.wasenabled && !enabled) s.counter -= f * l;
  if (s.counter < 0) s.counter = 0;
  s.wasenabled = enabled;
  if (laserphase < s.prevlaser) {
    if (s.counter >= f * n) {
      painplan(s.plan.data(), f, n, l, s.blockorder.data());
      s.counter = 0;
    }
    int finger = 0, pos = 0;
    for (int k = 0; k < f * n; k++)
      if (s.plan[k] == s.counter) {
        finger = k / n;
        pos = k % n;
      }
    s.counter++;
    schedulepulse(s.pulse, t, finger, pos, enabled);
  }
  s.prevlaser = laserphase;
  showpulse(s.pulse, t);
  showcue(s.pulse);
}
