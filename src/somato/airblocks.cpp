// Random blocks of air puffs.
#include "config/condseq.h"
#include "config/params.h"
#include "core/runstate.h"
#include "core/xit.h"
#include "draw/fonts.h"
#include "somato/airout.h"
#include "somato/airpuff.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstring>

// Index of the current block's name in `names`; another name ends the run.
int airblockkind(int cond, const char* const* names, int n, const char* list) {
  const char* name = par.condnames[cond].c_str();
  for (int k = 0; k < n; k++)
    if (!std::strcmp(name, names[k])) return k;
  std::printf("vistrum: ### bad condition: %s\n", name);
  fatal("vistrum: %s\n", list);
}

// One puff per position of a shuffled sweep over `group` tubes; the valve
// of the tube at map index first + order, or none. Returns the order's
// place while a puff is on, else -1.
int airgroupsweep(PuffSweep& s, double t, int group, int first) {
  if (s.n != group) puffsweepreset(s, group);
  const int i = sweepposition(t, par.aflowfreq, group);
  const bool on = puffsweepstep(s, i, t, sweepstart(t, par.aflowfreq, group), true);
  const int k = on ? s.order[i] : -1;
  sweepvalve(s, t, on, on ? airtube(first + k) : 0);
  return k;
}

namespace {

// The group of tubes a random block drives and the tube of its sweep.
struct GroupStep {
  int group = -1, k = -1;
};

// One frame of the blocks "off" plus `groups` groups of `size` tubes each:
// the block's group and the sweep's tube, or group -1 when nothing is drawn
// (before the first block, in an off block, between puffs).
GroupStep airgroupblock(AirState& s, double t, int size, const char* const* names, int groups, const char* list) {
  if (!s.started) {
    puffsweepreset(s.sweep, size);
    airvalvesreset();
    restartcondseq();  // a (re)start starts the condition list again
    s.started = true;
  }
  const int cond = getlogcondition(t, par.condcnt);
  if (cond < 0) return {};
  const int kind = airblockkind(cond, names, groups + 1, list);
  if (kind == 0 || size < 1) {
    airvalvedelayed(t, 0, t);
    return {};
  }
  const int k = airgroupsweep(s.sweep, t, size, (kind - 1) * size);
  if (k < 0) return {};
  return {kind - 1, k};
}

}  // namespace

void drawoff2airrndblk(AirState& s, double t) {
  static const char* const names[] = {"off", "airhalf1", "airhalf2"};
  const int half = par.airtubes / 2;
  if (!s.started && par.airtubes % 2 != 0) fatal("vistrum: ### req even num airtubes\n");
  const GroupStep g = airgroupblock(s, t, half, names, 2, "[off,airhalf1,airhalf2]");
  if (g.group < 0) return;
  const float side = 2.0f * par.maxrad / half;
  airsquare(g.group == 0 ? -side : side, (half - 1) * side / 2.0f - g.k * side);
}

void drawoff3airrndblk(AirState& s, double t) {
  static const char* const names[] = {"off", "air1", "air2", "air3"};
  const int third = par.airtubes / 3;
  const GroupStep g = airgroupblock(s, t, third, names, 3, "[off,air1,air2,air3]");
  if (g.group < 0) return;
  const float side = third > 1 ? 1.6f * par.maxrad / (third - 1) : 0.0f;
  const float x = (g.group - 1) * side, y = 0.8f * par.maxrad - g.k * side;
  airsquare(x, y);
  char num[16];
  std::snprintf(num, sizeof num, "%d", airtube(g.group * third + g.k));
  drawstr(num, x + par.dotsize, y, 48.0f, 2, 0);
}
