// Random blocks of air puffs (and, for one type, of a full visual stimulus).
#include "config/condseq.h"
#include "config/params.h"
#include "core/runstate.h"
#include "core/xit.h"
#include "retino/fixation.h"
#include "retino/composites.h"
#include "retino/letters.h"
#include "somato/airout.h"
#include "somato/airpuff.h"
#include "text/fonts.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Index of the current block's name in `names`; another name ends the run.
int blockkind(int cond, const char* const* names, int n, const char* list) {
  const char* name = par.condnames[cond].c_str();
  for (int k = 0; k < n; k++)
    if (!std::strcmp(name, names[k])) return k;
  std::printf("vistrum: ### bad condition: %s\n", name);
  fatal("vistrum: %s\n", list);
}

// One puff per position of a shuffled sweep over `group` tubes; the valve
// of the tube at map index first + order, or none. Returns the order's
// place while a puff is on, else -1.
int groupsweep(PuffSweep& s, double t, int group, int first) {
  if (s.n != group) puffsweepreset(s, group);
  const int i = sweepposition(t, par.aflowfreq, group);
  const bool on = puffsweepstep(s, i, t, sweepstart(t, par.aflowfreq, group), true);
  const int k = on ? s.order[i] : -1;
  sweepvalve(s, t, on, on ? airtube(first + k) : 0);
  return k;
}

// Hides all but one hemifield in the background grey: vhemi 0 shows the
// right, 1 the left, 2 the upper, 3 the lower one; `avoidvm` degrees next
// to the meridian are hidden too.
void hemimask() {
  const double shown[4] = {0.0, M_PI, M_PI / 2.0, -M_PI / 2.0};
  const double centre = shown[par.vhemi & 3] + M_PI;  // middle of the hidden part
  const double halfwidth = M_PI / 2.0 + par.avoidvm * M_PI / 180.0;
  const float r = 10.0f;
  glColor3f(par.bgwingray, par.bgwingray, par.bgwingray);
  glBegin(GL_TRIANGLE_FAN);
  glVertex2f(0.0f, 0.0f);
  for (int k = 0; k <= 32; k++) {
    const double a = centre - halfwidth + 2.0 * halfwidth * k / 32.0;
    glVertex2f(static_cast<float>(r * std::cos(a)), static_cast<float>(r * std::sin(a)));
  }
  glEnd();
}

}  // namespace

void drawoffvisair(AirState& s, double t, int nrad, int ntheta, int ndots) {
  static const char* const names[] = {"off", "fullvis", "randair"};
  if (!s.started) {
    puffsweepreset(s.sweep, par.airtubes);
    airvalvesreset();
    restartcondseq();  // a (re)start starts the condition list again
    s.started = true;
  }
  const int cond = getlogcondition(t, par.condcnt);
  if (cond >= 0) {
    const int kind = blockkind(cond, names, 3, "[off,fullvis,randair]");
    if (kind == 2) {
      groupsweep(s.sweep, t, par.airtubes, 0);
    } else {
      airvalvedelayed(t, 0, t);
      if (kind == 1) {
        if (!s.visinit) resetcomposite(compositestate());  // the visual layer starts afresh
        s.visinit = true;
        draworbletdilimg(t, nrad, ntheta, ndots);
        if (par.vhemi != 4) hemimask();
      }
    }
  }
  drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t);
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
  const int kind = blockkind(cond, names, groups + 1, list);
  if (kind == 0 || size < 1) {
    airvalvedelayed(t, 0, t);
    return {};
  }
  const int k = groupsweep(s.sweep, t, size, (kind - 1) * size);
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
