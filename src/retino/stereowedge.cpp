#include "retino/stereowedge.h"

#include "config/params.h"
#include "core/angles.h"
#include "core/runstate.h"
#include "core/window.h"
#include "draw/centre.h"
#include "draw/fixation.h"
#include "draw/palette.h"
#include "draw/ring.h"
#include "draw/targets.h"
#include "draw/wedge.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// Below this the two eyes' outlines coincide on screen: one outline in the
// combined colour instead of two overdrawn ones.
constexpr float FUSEDDISP = 0.003f;

// The four sides of an outlined check as line segments, shifted by dx, in
// the current batch.
void outlinesegments(const StereoOutline& q, float dx) {
  const float ca = std::cos(q.a), sa = std::sin(q.a), cb = std::cos(q.b), sb = std::sin(q.b);
  const float x[4] = {q.e * ca + dx, q.o * ca + dx, q.o * cb + dx, q.e * cb + dx};
  const float y[4] = {q.e * sa, q.o * sa, q.o * sb, q.e * sb};
  for (int k = 0; k < 4; k++) {
    glVertex2f(x[k], y[k]);
    glVertex2f(x[(k + 1) % 4], y[(k + 1) % 4]);
  }
}

// One eye of the side-by-side pair: border behind a near wedge, in front
// of a far one, so the wedge covers it only when it stands out.
void drawstereoeye(double t, int eye, int nrad, int ntheta, float d) {
  entereye(eye);
  const bool border = par.stereobdtype != 0;
  auto drawborder = [] {
    drawstereoborder(par.stereobdrad, par.stereobdwidth, par.stereobdgap, par.stereobdbright, par.stereobdtype);
  };
  if (border && d < 0.0f) drawborder();
  // drawpolar shifts its checks by half its disp argument: each eye moves
  // by half the disparity, so the two copies lie the whole disparity apart.
  drawpolar(t, nrad, ntheta, 1.0f, PLAINCOLS, eye == 0 ? -d : d, 0.0f);
  if (border && d >= 0.0f) drawborder();
  drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t);
  glPopMatrix();
}

}  // namespace

float stereoramp(double t) {
  if (par.stereofreq == 0.0f) return par.stereodisp;
  const float m = static_cast<float>(2.0 * std::fmod(par.stereofreq * t, 1.0));
  const float a = std::fabs(par.stereodisp);
  return par.stereofreq > 0.0f ? (1.0f - m) * a : -(m + 1.0f) * a;
}

StereoOutline stereooutline(float rin, float rout, float a0, float a1, float wedgewidth) {
  // The angular inset is a share of the whole wedge, the same for every check.
  const float inset = 0.02f * wedgewidth;
  const float e = rin + 0.08f * (rout - rin);
  return {e, rout - 0.08f * (rout - e), a0 + inset, a1 - inset};
}

void drawpolarstereoline(double t, int nrad, int ntheta) {
  if (ntheta <= 1 || nrad <= 1) return;
  const float d = stereoramp(t);
  glLineWidth(par.stereoline);
  float h = 0.8f;
  if (par.antialiasflag) {
    glEnable(GL_LINE_SMOOTH);
    h = 0.6f;
  } else {
    glDisable(GL_LINE_SMOOTH);
  }
  const int pushed = pushstimcentre(t);
  float th0 = static_cast<float>(std::fmod(par.polfreq * t * TWOPI, TWOPI));
  if (par.centerpolflag) th0 -= par.polwidth / 2.0f;
  if (par.wobbleflag)
    th0 += static_cast<float>(par.wobbleamp * (M_PI / 180.0) * std::sin(TWOPI * par.wobblefreq * t));
  const float W = par.polwidth;

  const Dilation dl = dilation(t);
  const int p = flickersign(t) * dl.sign;
  const float base = expbase(par.minrad, par.maxrad);
  const bool fused = std::fabs(d) <= FUSEDDISP;
  // One batch of segments for the whole wedge (per check: right eye, then
  // left eye), each segment's shift folded into its vertices.
  glBegin(GL_LINES);
  for (int i = 0; i < ntheta - 1; i++) {
    const float a0 = th0 + W * i / (ntheta - 1), a1 = th0 + W * (i + 1) / (ntheta - 1);
    for (int j = 0; j < nrad; j++) {
      const Radii r = wedgeslot(j, nrad, dl.phase, base);
      const StereoOutline q = stereooutline(r.rin, r.rout, a0, a1, W);
      const float k = checkparity(i, j, p) < 0 ? 1.0f : 0.5f;
      const float right = wedgedispshift(-d, q.e), left = wedgedispshift(d, q.e);
      if (fused) {
        glColor3f(k * h * (par.stereoLred + par.stereoRred), k * (par.stereoLgrn + par.stereoRgrn),
                  k * (par.stereoLblu + par.stereoRblu));
        outlinesegments(q, right);
        continue;
      }
      glColor3f(k * par.stereoRred, k * par.stereoRgrn, k * par.stereoRblu);
      outlinesegments(q, right);
      glColor3f(k * par.stereoLred, k * par.stereoLgrn, k * par.stereoLblu);
      outlinesegments(q, left);
    }
  }
  glEnd();
  popstimcentre(pushed);
  glDisable(GL_LINE_SMOOTH);
  glLineWidth(1.0f);
}

void resetstereowedge(StereoWedgeState& s) { s = StereoWedgeState{}; }

StereoWedgeState& stereowedgestate() {
  static StereoWedgeState s;
  return s;
}

void drawpolarstereodiv(double t, int nrad, int ntheta) { drawpolarstereodiv(stereowedgestate(), t, nrad, ntheta); }

void drawpolarstereodiv(StereoWedgeState& s, double t, int nrad, int ntheta) {
  if (!s.started) {
    makecolorsf(nrad, ntheta, par.coltype);
    s.started = true;
  }
  float d = stereoramp(t);
  if (par.wobbledispflag) d += par.wobbledispamp * static_cast<float>(std::sin(TWOPI * par.wobbledispfreq * t));
  if (par.disptargprob != 0.0f) d += getunidispbump();
  drawstereoeye(t, 0, nrad, ntheta, d);
  drawstereoeye(t, 1, nrad, ntheta, d);
}
