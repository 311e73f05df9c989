#include "core/stepping.h"

#include "config/params.h"
#include "core/eventlog.h"
#include "core/framesave.h"
#include "core/frametiming.h"
#include "core/runstate.h"
#include "core/timer.h"
#include "core/trigger.h"
#include "core/window.h"
#include "core/xit.h"

#include <cmath>
#include <cstdio>

namespace {
SavePlan plan;
bool started = false;
double wallstart = 0.0;

void endrun() {
  finishframesaves();  // the last frames may still be being written
  xit(0);
}
}  // namespace

bool savesonthegrid(double savedur, double framedur) {
  const double steps = savedur / framedur;
  return steps >= 1.0 - 1e-9 && std::fabs(steps - std::round(steps)) < 1e-6;
}

SavePlan saveplan(double firstframetime, double savedur, double framedur) {
  SavePlan p;
  // Rounded, not truncated: 1/60 s steps do not add up to whole seconds exactly.
  p.stride = std::max(1L, std::lround(savedur / framedur));
  const double start = std::max(0.0, firstframetime);
  p.phase = std::fmod(start, framedur);
  if (p.phase < 1e-6 || p.phase > framedur - 1e-6) p.phase = 0.0;
  p.first = std::lround((start - p.phase) / framedur);
  return p;
}

long savestepof(const SavePlan& p, int k) { return p.first + static_cast<long>(k) * p.stride; }

bool steppedrun() { return par.saveframes > 0 || par.rehearse > 0.0; }

void beginsteppedrun() {
  plan = saveplan(par.firstframetime, par.savedur, par.framedur);
  run.frameclock = true;
  run.steps = run.stepzero = 0;
  // The waiting screen is drawn (into nothing in a rehearsal) as the saved
  // run shows it: what it draws steps the fixation mark's target clock.
  clearready("[fn]-F1 to start save frames");
  if (dsp.display) {
    // One key: the run starts on it as a live one does on F1 from "Ready";
    // a type that starts at once logs no start.
    run.quietf1 = par.startpulse == 0;
    waitforF1orF2key();
    run.quietf1 = false;
  } else if (par.startpulse != 0) {
    logf1reset();
  }
  startclock();
  run.stepphase = plan.phase;
  spendtrigger();
  if (par.startpulse != 0) logstartpulse(par.startpulse);
  started = true;
  wallstart = wallclock();
  char mark[200];
  if (par.saveframes)
    std::snprintf(mark, sizeof mark,
                  "stepped run: %g frames/s, frame %ld and every %ld-th after it saved, %d frames; swap is the "
                  "wall clock, intervals are drawing and saving times",
                  1.0 / par.framedur, plan.first + 1, plan.stride, par.saveframes);
  else
    std::snprintf(mark, sizeof mark, "rehearsal: %g frames/s for %.3f s, no frames saved; swap is the wall clock",
                  1.0 / par.framedur, par.rehearse);
  noteframerecord(mark);
  if (par.rehearse > 0.0)
    std::printf("vistrum: rehearsing %.3f s at %g frames/s: log only, no window\n", par.rehearse, 1.0 / par.framedur);
}

bool savethisstep() {
  return par.saveframes && run.framecnt < par.saveframes && run.steps == savestepof(plan, run.framecnt);
}

void endstep(bool saved) {
  if (saved) frame2tiff(run.framecnt++);
  if (par.saveframes && run.framecnt >= par.saveframes) endrun();
  if (par.rehearse > 0.0 && static_cast<double>(run.steps) * par.framedur >= par.rehearse - 1e-9) endrun();
}

void steppedwait() {
  run.stimrunningflag = 0;
  // The screen the wait drew is in the front buffer; the rest of the
  // frames are that screen, drawn again into the back buffer each.
  while (par.saveframes && run.framecnt < par.saveframes) {
    run.steps = savestepof(plan, run.framecnt);
    redrawwaitscreen();
    mirrorframe();
    grabframe();
    frame2tiff(run.framecnt++);
  }
  endrun();
}

bool steppedstarted() { return run.frameclock && started; }

void printsteppedrun() {
  const double wall = wallclock() - wallstart;
  const double rate = 1.0 / par.framedur;
  if (par.saveframes) {
    std::printf("vistrum: saved %d of %d frames (%ld frames stepped at %g frames/s, one in %ld saved) in %.1f s: "
                "%.1f saved frames/s\n",
                run.framecnt, par.saveframes, run.steps + 1, rate, plan.stride, wall,
                wall > 0.0 ? run.framecnt / wall : 0.0);
  } else {
    std::printf("vistrum: rehearsed %ld frames at %g frames/s (%.3f s of run) in %.1f s, no frames written\n",
                run.steps + 1, rate, static_cast<double>(run.steps) * par.framedur, wall);
  }
}
