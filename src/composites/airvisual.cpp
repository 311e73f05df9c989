// Type 111: random blocks of nothing, the full visual composite (seen
// through one hemifield) or random air puffs.
#include "composites/airvisual.h"

#include "composites/composites.h"
#include "config/condseq.h"
#include "config/params.h"
#include "draw/fixation.h"
#include "somato/airout.h"

#include <GL/gl.h>

#include <cmath>

namespace {

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
    const int kind = airblockkind(cond, names, 3, "[off,fullvis,randair]");
    if (kind == 2) {
      airgroupsweep(s.sweep, t, par.airtubes, 0);
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

void drawoffvisair(double t, int nrad, int ntheta, int ndots) { drawoffvisair(airstate(), t, nrad, ntheta, ndots); }
