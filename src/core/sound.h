// Sound playback through an external command-line player. Each sound is a
// player process started directly (no shell: a file name is only ever an
// argument) by the sound launcher (soundlauncher.h), which stops only the
// players of this run and reaps them; the frame loop never waits.
#pragma once

#include <string>

// Path of a sound name: names beginning with "." or "/" as given, others
// under `sndfiledir`.
std::string soundpath(const char* name);
// The player's argument vector for a file ("-q" after sox's play keeps its
// progress display off the terminal).
int soundargv(const char* player, const char* path, const char* argv[4]);

// Starts one sound; without a player: "vistrum: ### no sndprog" and status 1.
void playnamedaudfile(const char* name);
// Once per run start: the background track, if one is set and a player exists.
void playbgtrack();
// Stops (and reaps) every player this run started; at exit the launcher
// stops the players still sounding by itself.
void killsnd();
// Start-up: every listed sound file and the background track must be
// readable under the final `sndfiledir`, and a named player must exist;
// then the launcher is started.
void checksoundfiles();

// The periodic cue (every type with sound files but 76) and type 76.
void drawperiodicaudcue(double t);
void drawaudfileonce();
// The cues' state: the periodic cue starts over with each start and after
// each waiting screen; the one-off sound plays once per start.
struct SoundCueState {
  bool cuestarted = false;
  double prevphase = 1.001;
  int current = 0, namecnt = 0;
  bool oncestarted = false;
  const char* shown = "";
};
SoundCueState& soundcuestate();
void restartaudcue();  // the periodic cue only (after a waiting screen)
void resetsoundcues();  // both (a new start)

// Schedules, computable without a window.
// File index starting at time t of the periodic cue, or -1 for none: the
// phase within the current interval (0..1) goes to `phase`. `n` files, a
// list of `soa` onsets (empty: periodic at `blockfreq` per file).
double audcuephase(double t, double blockfreq, const float* soa, int n, bool* done);
