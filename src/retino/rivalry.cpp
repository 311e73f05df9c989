#include "retino/rivalry.h"

#include "config/condseq.h"
#include "config/params.h"
#include "core/runstate.h"
#include "core/window.h"
#include "core/xit.h"
#include "draw/fixation.h"
#include "draw/palette.h"
#include "draw/wedge.h"

#include <GL/gl.h>

#include <cstring>

namespace {

constexpr int RIVALRYDONE = -3;  // a given condition order is exhausted

// The condition in force, mapped to its colour type, or RIVALRYDONE.
// Switches the palette when the type changes.
int currentrivalrytype(RivalryState& s, double t, int nrad, int ntheta, int stimtype) {
  if (!s.started) {
    restartcondseq();  // the condition sequence starts again
    s.started = true;
  }
  const int c = getlogcondition(t, par.condcnt);
  if (c < 0) return RIVALRYDONE;
  const char* name = c < static_cast<int>(par.condnames.size()) ? par.condnames[c].c_str() : "";
  const int type = rivalrycoltype(name, stimtype);
  if (type == RIVALRYBADNAME)
    fatal("vistrum: ### bad condition: %s\nvistrum: [off,monL,monR,bin,LrivR,RrivL,rivR,rivL]\n", name);
  if (type >= 0 && type != s.lasttype) {
    // Refill now, not at the next flicker reversal, so a new block starts
    // in its own colours (and both eye halves follow this wedge's layout).
    s.coltype = type;
    makecolorsf(nrad, ntheta, type);
  }
  s.lasttype = type;
  return type;
}

// The wedge refills the block's palette at its flicker reversals.
WedgeShape blockwedge(const RivalryState& s) {
  WedgeShape w;
  w.coltype = s.coltype;
  return w;
}

}  // namespace

int rivalrycoltype(const char* name, int stimtype) {
  static const char* const names[] = {"off", "monL", "monR", "bin", "LrivR", "RrivL", "rivR", "rivL"};
  for (int k = 0; k < 8; k++) {
    if (std::strcmp(name, names[k]) != 0) continue;
    if (stimtype == 79) return k == 0 ? 24 : 16 + k;
    return k == 0 ? RIVALRYNOCHECKS : 9 + k;
  }
  return RIVALRYBADNAME;
}

void resetrivalry(RivalryState& s) { s = RivalryState{}; }

RivalryState& rivalrystate() {
  static RivalryState s;
  return s;
}

void drawmonbinrivoffrndblk(double t, int nrad, int ntheta) { drawmonbinrivoffrndblk(rivalrystate(), t, nrad, ntheta); }

void drawdivgmonbinrivoffrndblk(double t, int nrad, int ntheta) {
  drawdivgmonbinrivoffrndblk(rivalrystate(), t, nrad, ntheta);
}

void drawmonbinrivoffrndblk(RivalryState& s, double t, int nrad, int ntheta) {
  const int type = currentrivalrytype(s, t, nrad, ntheta, 77);
  if (type == RIVALRYDONE) return;
  const WedgeShape w = blockwedge(s);
  if (type != RIVALRYNOCHECKS) drawpolar(t, nrad, ntheta, 1.0f, PLAINCOLS, 0.0f, 0.0f, &w);
  drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t);
}

void drawdivgmonbinrivoffrndblk(RivalryState& s, double t, int nrad, int ntheta) {
  if (currentrivalrytype(s, t, nrad, ntheta, 79) == RIVALRYDONE) return;
  const WedgeShape w = blockwedge(s);
  for (int eye = 0; eye < 2; eye++) {
    entereye(eye);
    drawpolar(t, nrad, ntheta, 1.0f, eye == 0 ? PLAINCOLS : SECONDCOLS, 0.0f, 0.0f, &w);
    if (par.stereobdtype != 0)
      drawstereoborder(par.maxrad, par.stereobdwidth, par.stereobdgap, par.stereobdbright, par.stereobdtype);
    drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t);
    glPopMatrix();
  }
}
