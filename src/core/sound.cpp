#include "core/sound.h"

#include "config/params.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/soundlauncher.h"
#include "core/stimulus.h"
#include "core/timer.h"
#include "core/trigger.h"
#include "core/xit.h"

#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const char* lastpart(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

bool readable(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "r");
  if (!f) return false;
  std::fclose(f);
  return true;
}

void drawname(const char* name, float grey, float x, float y, float size) {
  glColor3f(grey, grey, grey);
  stimulushooks().text(name, x, y, size, 5);
}

}  // namespace

std::string soundpath(const char* name) {
  if (name[0] == '.' || name[0] == '/') return name;
  return std::string(par.sndfiledir) + "/" + name;
}

int soundargv(const char* player, const char* path, const char* argv[4]) {
  int n = 0;
  argv[n++] = player;
  if (!std::strcmp(lastpart(player), "play")) argv[n++] = "-q";
  argv[n++] = path;
  argv[n] = nullptr;
  return n;
}

void playnamedaudfile(const char* name) {
  if (!par.sndprog[0]) fatal("vistrum: ### no sndprog\n");
  startsoundlauncher(par.sndprog);  // normally running since start-up
  // Built in place: the frame loop allocates nothing.
  char path[2 * TEXTLEN + 2];
  if (name[0] == '.' || name[0] == '/')
    std::snprintf(path, sizeof path, "%s", name);
  else
    std::snprintf(path, sizeof path, "%s/%s", par.sndfiledir, name);
  launcherplay(path);
}

void playbgtrack() {
  run.bgtrackdoneflag = 1;
  if (par.sndbgtrack[0] && par.sndprog[0]) playnamedaudfile(par.sndbgtrack);
}

void killsnd() { launcherstopall(); }

void checksoundfiles() {
  const bool laser = stimneeds(par.stimtype, kLaser);
  const bool needplayer = par.sndfilecnt > 0 || laser;
  struct stat st{};
  if (par.sndprog[0] && (stat(par.sndprog, &st) != 0 || !S_ISREG(st.st_mode) || access(par.sndprog, X_OK) != 0))
    fatal("vistrum: ### sndprog %s: not an executable program\n", par.sndprog);
  if (needplayer && !par.sndprog[0]) fatal("vistrum: ### no sndprog\n");
  // Names were checked against the directory in force when they were read;
  // a later -sndfiledir moves them.
  for (const std::string& n : par.sndfilenames)
    if (!readable(soundpath(n.c_str()))) fatal("vistrum: ### can't open sndfile %s\n", soundpath(n.c_str()).c_str());
  if (par.sndbgtrack[0] && !readable(soundpath(par.sndbgtrack)))
    fatal("vistrum: ### can't open sndbgtrack %s\n", soundpath(par.sndbgtrack).c_str());
  if (par.sndbgtrack[0] && !par.sndprog[0]) std::printf("vistrum: ### no sndprog: background track not played\n");
  // Forked now, before the window opens, for the types that play sounds
  // (the scenario and word types name theirs in their files and blocks);
  // any other first sound starts it then.
  if (needplayer || par.sndbgtrack[0] || stimneeds(par.stimtype, kSoundsInBlocks)) startsoundlauncher(par.sndprog);
}

double audcuephase(double t, double blockfreq, const float* soa, int n, bool* done) {
  *done = false;
  if (!soa) return std::fmod(blockfreq * t, 1.0);
  double start = soa[0];
  if (t < start) return -1.0;
  for (int k = 0; k < n; k++) {
    const double len = k + 1 < n ? soa[k + 1] : 1.0;
    if (t < start + len) return (t - start) / len;
    start += len;
  }
  *done = true;
  return -1.0;
}

SoundCueState& soundcuestate() {
  static SoundCueState s;
  return s;
}

void restartaudcue() { soundcuestate().cuestarted = false; }

void resetsoundcues() {
  restartaudcue();
  soundcuestate().oncestarted = false;
}

void drawperiodicaudcue(double t) {
  SoundCueState& s = soundcuestate();
  double& prevphase = s.prevphase;
  int& current = s.current;
  int& namecnt = s.namecnt;
  const int n = par.sndfilecnt;
  const float* soa = par.sndsoalist.empty() ? nullptr : par.sndsoalist.data();
  if (!s.cuestarted) {
    if (n <= 0) fatal("vistrum: ### no -sndfilenames\n");
    prevphase = 1.001;
    current = n - 1;
    namecnt = 0;
    if (soa) {
      double sum = 0.0;
      for (int k = 0; k < n; k++) sum += soa[k];
      std::printf("vistrum: time to beginning of last stim: %3.2f sec\n", sum);
    }
    s.cuestarted = true;
  }
  bool done = false;
  const double phase = audcuephase(t, std::fabs(par.polfreq) * n, soa, n, &done);
  if (done) {
    run.stimrunningflag = 0;
    clearready("Done");
    waitforF1orF2key();
    clearready("Ready");
    return;
  }
  if (phase < 0.0) return;
  const char* name = par.sndfilenames[current].c_str();
  if (phase < prevphase) {
    current = (current + 1) % n;
    name = par.sndfilenames[current].c_str();
    namecnt = static_cast<int>(std::rint(60.0 * par.textdur));
    playnamedaudfile(name);
  }
  if (namecnt > 0) {
    if (par.textcol >= 0.0f) drawname(name, par.textcol, 0.0f, 0.1f, 36.0f);
    namecnt--;
  }
  prevphase = phase;
}

void drawaudfileonce() {
  SoundCueState& s = soundcuestate();
  const char*& shown = s.shown;
  if (!s.oncestarted) {
    if (par.sndfilecnt <= 0) fatal("vistrum: ### no -sndfilenames\n");
    const char* name = par.sndfilenames[0].c_str();
    playnamedaudfile(name);
    shown = lastpart(name);
    logevent("SndFile: %s %8.3lf\n", shown, logtime());
    s.oncestarted = true;
  }
  drawname(shown, 1.0f, 0.0f, 0.0f, 24.0f);
}
