// Post-parse conversions and consistency checks, run once before the
// window opens. Fatal checks end the run with status 1; warnings correct
// the value and go on.
#include "config/checks.h"

#include "config/options.h"
#include "config/params.h"
#include "config/visangle.h"
#include "core/framesave.h"
#include "core/runstate.h"
#include "core/stepping.h"
#include "core/stimulus.h"
#include "core/xit.h"
#include "devices/dio.h"

#include <dirent.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr double DEG2RAD = 0.017453292519943295;
// Scale steps of 2% that span the -startstimscale range 0.1..10 (1.02^116 = 9.95).
constexpr int MAXSCALESTEPS = 116;

float clampf(float v, float lo, float hi) { return std::min(std::max(v, lo), hi); }
int clampi(int v, int lo, int hi) { return std::min(std::max(v, lo), hi); }
float torad(float deg) { return static_cast<float>(deg * DEG2RAD); }


// Types whose pictures are loaded from `tiffdir` before the run starts.
void checktiffdir() {
  DIR* d = opendir(par.tiffdir);
  if (d) {
    closedir(d);
    return;
  }
  std::printf("vistrum: ### tiffdir %s not found (use -tiffdir)\n", par.tiffdir);
  char fallback[2 * TEXTLEN];
  std::snprintf(fallback, sizeof fallback, "%s/lib/imagefiles/test", par.vistrumdir);
  if (std::strlen(fallback) >= static_cast<size_t>(TEXTLEN))
    fatal("vistrum: ### library path longer than %d characters\n", TEXTLEN - 1);
  std::strcpy(par.tiffdir, fallback);
  std::printf("vistrum: ### using default img dir %s\n", par.tiffdir);
}

}  // namespace

void convertparams() {
  par.flickerfreq *= 2.0f;
  par.dilfreq *= 2.0f;
  par.twofreq *= 2.0f;
  par.twofreq2 *= 2.0f;
  if (par.flickerfreq == 0.0f) par.flickerfreq = 1e-9f;  // never divide by a zero rate
  if (par.flowfreq == 0.0f) par.flowfreq = 1e-9f;
  if (par.randfreq == 0.0f) par.randfreq = 1e-9f;
  if (par.wobblefreq == 0.0f) par.wobbleflag = 0;
  par.polwidth = torad(par.polwidth);
  par.ipsirange = torad(par.ipsirange);
  par.poljittmin = torad(par.poljittmin);
  par.polstartoffset = torad(par.polstartoffset);
  if (par.minrad > par.maxrad) fatal("vistrum: ### minrad can't exceed maxrad\n");
  if (par.eccwidth > par.maxrad - par.minrad) par.eccwidth = (par.maxrad - par.minrad) - 1e-5f;
  for (float* v : {&par.bgwingray, &par.vbwfrac, &par.colcontrast, &par.avgcolbright, &par.maskcontrast,
                   &par.avgmaskbright, &par.offcolbright, &par.textcol, &par.textboxcol, &par.texttargcol})
    *v = clampf(*v, 0.0f, 1.0f);
  par.bwcontrast = clampf(par.bwcontrast, -1.0f, 1.0f);
  if (par.minbar > par.maxbar) par.minbar = par.maxbar;
  par.numangles = clampi(par.numangles, 1, 24);
  par.ecccnt = clampi(par.ecccnt, 0, 20);
  par.polcnt = clampi(par.polcnt, 0, 20);
  if (par.startpulse < 0) par.startpulse = -1;
  par.polrandnback = clampi(par.polrandnback, 0, 3);
  par.eventsperlag_rang = clampi(par.eventsperlag_rang, 0, 1000);  // a modulus: never zero or negative
  par.gridsize = clampi(par.gridsize, 1, 99);  // the grid's cell table is gridsize squared
  if (par.gridsize % 2 == 0) {
    par.gridsize += 1;
    std::printf("making gridsize odd => %d\n", par.gridsize);
  }
  par.oritargquad = clampi(par.oritargquad, -2, 3);
}

// The frequency ramps divide by and take logarithms of their ends and
// sample each cycle: a zero or negative end or sample count would paint NaN
// colours, or plain grey, instead of a ramp.
void rampchecks(int type) {
  const bool spatial = stimneeds(type, kSpatialRamp), temporal = stimneeds(type, kTemporalRamp);
  const struct {
    bool applies;
    const char* key;
    double value;
  } needs[] = {{spatial, "mincycles", par.mincycles},
               {spatial, "maxcycles", par.maxcycles},
               {spatial, "numfsamples", static_cast<double>(par.numfsamples)},
               {spatial, "numcycsamples", static_cast<double>(par.numcycsamples)},
               {temporal, "mintfreq", par.mintfreq},
               {temporal, "maxtfreq", par.maxtfreq}};
  for (const auto& n : needs)
    if (n.applies && !(n.value > 0.0))
      fatal("vistrum: ### stimtype=%d: -%s must be above 0 (got %g)\n", type, n.key, n.value);
}

// Saved-frame and rehearsal runs step the run frame by frame at the
// display's rate, so that what they show and log is what a live run at that
// rate shows and logs; the saved frames are every so many steps.
void checkstepping() {
  if (!(std::isfinite(par.framedur) && par.framedur > 0.0))
    fatal("vistrum: ### -framerate must be a rate above 0 (got %g)\n", 1.0 / par.framedur);
  if (!(std::isfinite(par.rehearse) && par.rehearse >= 0.0))
    fatal("vistrum: ### -rehearse takes the seconds to step, above 0 (got %g)\n", par.rehearse);
  if (par.rehearse > 0.0 && par.saveframes)
    fatal("vistrum: ### -rehearse writes no frames: give -rehearse or -saveframes, not both\n");
  if (!par.saveframes || !(par.savedur > 0.0) || !std::isfinite(par.savedur)) return;
  if (savesonthegrid(par.savedur, par.framedur)) return;
  std::printf("vistrum: ### -saveframes at %g Hz is not every n-th frame at -framerate %g: the run steps at the "
              "saving rate (its log is not that of a live run at %g Hz)\n",
              1.0 / par.savedur, 1.0 / par.framedur, 1.0 / par.framedur);
  par.framedur = par.savedur;
}

namespace {

// A box is attached when VISTRUM_DIO names one (the device layer reads it
// the same way when it opens the box).
bool boxnamed() {
  const char* env = std::getenv("VISTRUM_DIO");
  return env && env[0] && std::strcmp(env, "none") != 0;
}

// Counting pulses that neither a box nor a trigger key can deliver would
// hold the "Ready" screen for ever (only F1 would start, unsynchronised).
// Saved-frame and rehearsal runs start on F1 or at once, and count none.
void checkstartcancome() {
  if (par.startpulse <= 0 || run.somekeytriggerflag || boxnamed()) return;
  if (par.saveframes > 0 || par.rehearse > 0.0) return;
  fatal("vistrum: ### -waitforpulse %d: no box attached (VISTRUM_DIO) and no trigger key: "
        "add -fivekeytrigger (or -captkeytrigger, -apostrophetrigger), or name the box in VISTRUM_DIO\n",
        par.startpulse);
}

}  // namespace

// The target options, by the rate that switches them on.
struct TargetOption {
  const char* key;
  FloatField prob;
};
const TargetOption kTargetOptions[] = {
    {"-fixtarg", &Params::fixtargprob},   {"-chktarg", &Params::chktargprob},
    {"-dimtarg", &Params::dimtargprob},   {"-oritarg", &Params::oritargprob},
    {"-disptarg", &Params::disptargprob}, {"-flowtarg", &Params::flowtargprob},
    {"-sftarg", &Params::sftargprob},     {"-fonttarg", &Params::fonttargprob},
    {"-imtarg", &Params::imtargprob},     {"-onebacktarg", &Params::onebacktargprob},
};

// Targets are a task for the subject; without a log the responses cannot
// be scored afterwards, and the run gives no other sign of that. Fixation
// targets are shown on every type, single-check targets on the checkerboard
// types, the others on the types that record targets when logging.
void warnunrecordedtargets(int type) {
  if (par.logfileflag) return;
  for (const TargetOption& o : kTargetOptions) {
    const float prob = par.*o.prob;
    if (prob == 0.0f) continue;
    const bool fix = o.prob == &Params::fixtargprob;
    const bool chk = o.prob == &Params::chktargprob;
    if (!fix && !stimulushooks().maylog(type, chk ? prob : 0.0f, 0.0f)) continue;
    std::printf("vistrum: ### %s: targets are shown but not recorded (add -logfile)\n",
                std::strcmp(o.key, "-fixtarg") == 0 && par.fixlettflag ? "-fixlett" : o.key);
  }
}

void crosschecks() {
  const int type = par.stimtype;
  rampchecks(type);
  if (par.drawfixdotsflag && !stimneeds(type, kFixationDots)) {
    std::printf("vistrum: -fixdots unset: only for non-dot div stereo stimuli\n");
    par.drawfixdotsflag = 0;
  }
  if (stimneeds(type, kRandomBlocks) && par.condlistcnt == 0) {
    std::printf("###############################################################\n");
    std::printf("vistrum: ### rand block sequence not specified with -condlist!!\n");
    std::printf("vistrum: ### only record of this new rand is cmdline/logfile!!\n");
    std::printf("###############################################################\n");
  }
  if (par.coltype < -1 || par.coltype > 5) fatal("vistrum: ### bad coltype (OK: %d to %d)\n", -1, 5);
  if (par.coltype == 5) {
    std::printf("vistrum: ### old coltype=5 equals new coltype=1 w/colcontrast=0\n");
    par.coltype = 1;
    par.colcontrast = 0.0f;
  }
  if (stimneeds(type, kSoundOnly) && par.sndfilecnt > 1)
    std::printf("vistrum: ### stimtype=%d: only 1st sound will be used\n", type);
  // A scenario file names its own sounds.
  if (stimneeds(type, kScenario) && par.sndfilecnt > 0) fatal("vistrum: ### stimtype=%d: avoid -sndfilenames\n", type);
  if (stimneeds(type, kScenario) && par.sndbgtrack[0]) fatal("vistrum: ### stimtype=%d: avoid -sndbgtrack\n", type);
  if (stimneeds(type, kNoPrePost) && par.prepostfix != 0.0f)
    fatal("vistrum: ### stimtype=%d: req's -prepostfix 0.0\n", type);
  if (par.offsperrun != 0 && par.prepostfix != 0.0f) fatal("vistrum: ### either -offsperrun!=0 or -prepostfix!=0.0\n");
  if (par.exptend != -1.0 && par.prepostfix != 0.0f) fatal("vistrum: ### can't use -exptend with -prepostfix!=0.0\n");
  const int keytriggers = par.fivekeytriggerflag + par.apostrophetriggerflag + par.captkeytriggerflag;
  if (keytriggers > 1) fatal("vistrum: ### choose 1 of: -{fivekey,tkey,apostrophe}trigger\n");
  run.somekeytriggerflag = keytriggers == 1;
  if (par.startstimscale > 10.0f) {
    std::printf("vistrum: ### clamp huge startstimscale %f -> 10.0\n", static_cast<double>(par.startstimscale));
    par.startstimscale = 10.0f;
  }
  if (par.startstimscale < 0.1f) {
    std::printf("vistrum: ### clamp tiny startstimscale %f -> 0.1\n", static_cast<double>(par.startstimscale));
    par.startstimscale = 0.1f;
  }
  // Start-up takes each arrow-key step one at a time: a count far beyond the
  // scale range would stall the start (or overflow negating INT_MIN).
  if (par.arrowkeyhits > MAXSCALESTEPS || par.arrowkeyhits < -MAXSCALESTEPS) {
    const int clamped = par.arrowkeyhits > 0 ? MAXSCALESTEPS : -MAXSCALESTEPS;
    std::printf("vistrum: ### clamp huge arrowkeyhits %d -> %d\n", par.arrowkeyhits, clamped);
    par.arrowkeyhits = clamped;
  }
  if (par.wordsperblock <= 0 && !stimneeds(type, kSentenceBlocks))
    fatal("vistrum: ### wordsperblock=0 (variable-length flag) only if stimtype=%d\n", firststimwith(kSentenceBlocks));
  if (par.logfileflag && !stimulushooks().maylog(type, par.chktargprob, par.fixtargprob)) {
    std::printf("vistrum: ### no logfile for stimtype=%d ...disabled\n", type);
    par.logfileflag = 0;
  }
  warnunrecordedtargets(type);
  checkviewgeometry();
  checkstepping();
  if (par.saveframes) checktiffoutdir();
  if (stimneeds(type, kPictures)) checktiffdir();
  if (par.startpulse > 0 && !par.setupusbflag) fatal("vistrum: ### -waitforpulse>0 requires -setupusb (def)\n");
  checkstartcancome();
  if (par.sxcode2ttlflag && !par.setupusbflag) fatal("vistrum: ### -sxcode2ttl requires -setupusb (default)\n");
  if (par.sxcode2ttlflag && !par.usesxcodeflag) fatal("vistrum: ### -sxcode2ttl requires -sxcode\n");
  if (!par.sxcode2ttlflag && par.usesxcodeflag)
    std::printf("vistrum: sxcode's logged, but no USB->TTL out (use -sxcode2ttl)\n");
}


namespace {

struct CountLimit {
  const char* key;
  IntField field;
  int lo, hi;
};

// Counts that size arrays or bound per-frame loops. Beyond these a run would
// not fit memory or could not draw a frame in time (and Esc would seem dead),
// so they are refused before anything is allocated.
constexpr int MAXCHECKS = 1 << 20;  // more checks than a 1024x768 window has pixels
const CountLimit kCountLimits[] = {
    {"-numtheta", &Params::numtheta, 0, 65536},  {"-numrad", &Params::numrad, 0, 65536},
    {"-numtheta2", &Params::numtheta2, 0, 65536}, {"-numrad2", &Params::numrad2, 0, 65536},
    {"-numdots", &Params::numdots, 0, 1000000},
};
constexpr int MAXFIXARRAYRAD = 50;  // 101 x 101 marks

void checkboardsize(const char* tkey, int n, const char* rkey, int m) {
  const long long checks = static_cast<long long>(n) * (static_cast<long long>(m) + 1);
  if (checks > MAXCHECKS)
    fatal("vistrum: ### %s %d x %s %d: %lld checks (max %d)\n", tkey, n, rkey, m, checks, MAXCHECKS);
}

}  // namespace

void countchecks() {
  for (const CountLimit& c : kCountLimits) {
    const int v = par.*c.field;
    if (v < c.lo || v > c.hi) fatal("vistrum: ### bad %s %d (OK:%d-%d)\n", c.key, v, c.lo, c.hi);
  }
  const struct {
    const char* key;
    float size;
  } sizes[] = {{"-fixfontsize", par.fixfontsize},
               {"-avgfontsize", par.avgfontsize},
               {"-minfontsize", par.minfontsize},
               {"-exptfontsize", par.exptfontsize}};
  for (const auto& f : sizes)
    if (!(f.size >= 0.0f && f.size <= MAXFONTSIZE))
      fatal("vistrum: ### bad %s %g (OK:0-%g)\n", f.key, static_cast<double>(f.size), static_cast<double>(MAXFONTSIZE));
  checkboardsize("-numtheta", par.numtheta, "-numrad", par.numrad);
  checkboardsize("-numtheta2", par.numtheta2, "-numrad2", par.numrad2);
  if (par.fixarrayrad < 0 || par.fixarrayrad > MAXFIXARRAYRAD) {
    const int clamped = par.fixarrayrad < 0 ? 0 : MAXFIXARRAYRAD;
    std::printf("vistrum: ### clamp -fixarr rad %d -> %d\n", par.fixarrayrad, clamped);
    par.fixarrayrad = clamped;
  }
  // A later -sndfilenames can change the file count after -sndsoalist.
  if (!par.sndsoalist.empty() && static_cast<int>(par.sndsoalist.size()) != par.sndfilecnt)
    fatal("vistrum: ### -sndsoalist count doesn't match -sndfilenames count\n");
}

void postparsechecks() {
  const int type = par.stimtype;
  if (stimneeds(type, kCodeConversion)) runcodeconversion();
  convertparams();
  crosschecks();
  countchecks();
  stimulushooks().checktype();
}
