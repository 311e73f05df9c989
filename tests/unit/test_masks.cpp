// Aperture masks: which points of the plane each mask covers, for wedges,
// hemifield pairs, expanding and wrapped rings, their union and the circle.
#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include "config/params.h"
#include "core/runstate.h"
#include "core/window.h"
#include "draw/masks.h"
#include "keepglobals.h"

#include <cmath>

namespace {

class Masks : public ::testing::Test {
 protected:
  KeepGlobals keep;
  void SetUp() override {
    par = Params{};
    par.stimtype = 39;
    par.minrad = 0.05f;
    par.maxrad = 1.5f;
    par.exptransflag = 0;
    par.polfreq = 1.0f / 64.0f;
    par.eccfreq = 1.0f / 64.0f;
    par.mousectrlflag = 0;
    run.currstimscale = 1.0f;
  }
};

// Whether a piece of the plan covers the point at radius r, angle deg
// (counter-clockwise from +x); GLU angles run clockwise from +y.
bool covered(const MaskPlan& p, float r, float deg) {
  for (int k = 0; k < p.count; k++) {
    const MaskPiece& m = p.piece[k];
    if (r < m.inner || r > m.outer) continue;
    const float g = std::fmod(std::fmod(90.0f - deg - m.start, 360.0f) + 360.0f, 360.0f);
    if (m.sweep >= 360.0f || g <= m.sweep) return true;
  }
  return false;
}

float rad(float deg) { return deg * static_cast<float>(M_PI / 180.0); }

}  // namespace

TEST_F(Masks, WedgeMaskOpensTheWedgeOnly) {
  par.polwidth = rad(90.0f);
  MaskPlan p = polarmaskplan(0.0);
  for (float a : {-40.0f, 0.0f, 40.0f}) EXPECT_FALSE(covered(p, 1.0f, a)) << a;
  for (float a : {50.0f, 180.0f, 310.0f}) EXPECT_TRUE(covered(p, 1.0f, a)) << a;
  EXPECT_TRUE(covered(p, 0.03f, 0.0f)) << "centre";
  EXPECT_TRUE(covered(p, 1.6f, 0.0f)) << "beyond maxrad";
  EXPECT_TRUE(covered(p, std::hypot(dsp.iwinxgl, dsp.iwinygl) * 0.999f, 0.0f)) << "window corner";
  p = polarmaskplan(16.0);  // a quarter turn later
  EXPECT_FALSE(covered(p, 1.0f, 130.0f));
  EXPECT_TRUE(covered(p, 1.0f, 10.0f));
  // The flow composites widen it; a wedge of 360 or more masks nothing of the annulus.
  par.stimtype = 3;
  par.rotdilextrafac = 1.2f;
  p = polarmaskplan(0.0);
  EXPECT_FALSE(covered(p, 1.0f, 53.0f));
  par.polwidth = rad(350.0f);
  p = polarmaskplan(0.0);
  EXPECT_FALSE(covered(p, 1.0f, 180.0f));
  // Hemifield pairs: two opposite wedges, vertical in even blocks.
  par.stimtype = 39;
  par.polwidth = rad(60.0f);
  par.polVvsHflag = 1;
  par.blockfreq = 1.0f / 16.0f;
  p = polarmaskplan(1.0);
  EXPECT_FALSE(covered(p, 1.0f, 90.0f));
  EXPECT_FALSE(covered(p, 1.0f, 270.0f));
  EXPECT_TRUE(covered(p, 1.0f, 0.0f));
  p = polarmaskplan(17.0);
  EXPECT_FALSE(covered(p, 1.0f, 0.0f));
  EXPECT_FALSE(covered(p, 1.0f, 180.0f));
  EXPECT_TRUE(covered(p, 1.0f, 90.0f));
}

TEST_F(Masks, RingMaskOpensTheRingAndBothBandsOfAWrappedOne) {
  par.eccwidth = 0.3f;
  const float span = 1.45f;
  MaskPlan p = eccenmaskplan(16.0);  // inner edge a quarter of the way
  const float rin = 0.05f + span / 4.0f;
  EXPECT_FALSE(covered(p, rin + 0.15f, 33.0f));
  EXPECT_TRUE(covered(p, rin - 0.02f, 33.0f));
  EXPECT_TRUE(covered(p, rin + 0.32f, 33.0f));
  par.peripheccmask = 1;
  p = eccenmaskplan(16.0);
  EXPECT_FALSE(covered(p, rin - 0.1f, 33.0f)) << "centre side left open";
  par.peripheccmask = 0;
  // Inner edge at 1.35, outer at 1.65: open 1.35..1.5 and minrad..0.2.
  const double t = 64.0 * 1.3 / 1.45;
  p = eccenmaskplan(t);
  EXPECT_FALSE(covered(p, 1.42f, 200.0f));
  EXPECT_FALSE(covered(p, 0.12f, 200.0f));
  EXPECT_TRUE(covered(p, 0.6f, 200.0f));
  // The exponential transform moves both edges as the ring draws them.
  par.exptransflag = 1;
  p = eccenmaskplan(16.0);
  const float base = std::pow(1.5f / 0.05f, 1.0f / span);
  EXPECT_FALSE(covered(p, 0.05f * std::pow(base, rin + 0.15f - 0.05f), 0.0f));
  EXPECT_TRUE(covered(p, 0.05f * std::pow(base, rin - 0.02f - 0.05f), 0.0f));
  // While the ring is skipped at the wrap, or blanked, nothing is open.
  par.exptransflag = 0;
  par.skipeccwrapflag = 1;
  p = eccenmaskplan(t);
  for (float r : {0.12f, 0.6f, 1.42f}) EXPECT_TRUE(covered(p, r, 0.0f)) << r;
  par.skipeccwrapflag = 0;
  par.offspercyc = 1;
  par.offsfrac = 0.1f;
  p = eccenmaskplan(1.0);
  EXPECT_TRUE(covered(p, 0.05f + span / 64.0f + 0.1f, 0.0f));
}

TEST_F(Masks, BothMaskOpensTheUnionAndCircleMaskItsDisk) {
  par.stimtype = 28;
  par.polwidth = rad(30.0f);
  par.eccwidth = 0.2f;
  par.rotdilextrafac = 1.0f;
  const MaskPlan p = bothmaskplan(16.0);  // wedge at 90 degrees, ring from 0.4125
  EXPECT_FALSE(covered(p, 1.2f, 90.0f)) << "in the wedge";
  EXPECT_FALSE(covered(p, 0.5f, 200.0f)) << "in the ring";
  EXPECT_TRUE(covered(p, 1.2f, 200.0f)) << "neither";
  EXPECT_TRUE(covered(p, 0.03f, 90.0f)) << "centre";

  par.stimtype = 31;
  par.circwidth = 1.0f;
  par.rotdilextrafac = 1.2f;
  const MaskPlan c = circmaskplan();
  EXPECT_FALSE(covered(c, 0.55f, 10.0f)) << "widened for this type";
  EXPECT_TRUE(covered(c, 0.65f, 10.0f));
  EXPECT_TRUE(covered(c, 0.04f, 10.0f)) << "minrad disk";
}

// The stencil openings show exactly what the painted masks leave open:
// across wedges, hemifield pairs, moving, wrapped and peripheral rings, their
// union and the circle, every sampled point away from a piece's edge (where
// the two may break ties differently) is open in both or in neither.
TEST_F(Masks, StencilOpeningsAreTheComplementOfThePaintedMasks) {
  struct Case {
    MaskKind kind;
    int stimtype, vvsh, periph;
    float polwidth, eccwidth;
  } cases[] = {{kPolarMask, 39, 0, 0, 30, 0.2f},  {kPolarMask, 39, 1, 0, 20, 0.2f},  {kPolarMask, 4, 0, 0, 18, 0},
               {kEccenMask, 39, 0, 0, 0, 0.3f},   {kEccenMask, 39, 0, 1, 0, 0.3f},   {kEccenMask, 25, 0, 0, 0, 0.25f},
               {kBothMask, 28, 0, 0, 30, 0.2f},   {kBothMask, 28, 0, 1, 350, 0.2f},  {kCircMask, 31, 0, 0, 0, 0}};
  for (const Case& c : cases) {
    par.stimtype = c.stimtype;
    par.polVvsHflag = c.vvsh;
    par.peripheccmask = c.periph;
    par.polwidth = rad(c.polwidth);
    par.eccwidth = c.eccwidth;
    par.circwidth = 0.9f;
    par.rotdilextrafac = 1.2f;
    for (double t : {0.0, 5.0, 21.0, 40.0, 63.0}) {
      const MaskOpening o = maskopening(c.kind, t);
      const MaskPlan painted = c.kind == kPolarMask   ? polarmaskplan(t)
                               : c.kind == kEccenMask ? eccenmaskplan(t)
                               : c.kind == kBothMask  ? bothmaskplan(t)
                                                      : circmaskplan();
      auto nearedge = [&](const MaskPlan& p, float r, float deg) {
        for (int k = 0; k < p.count; k++) {
          const MaskPiece& m = p.piece[k];
          if (std::fabs(r - m.inner) < 0.004f || std::fabs(r - m.outer) < 0.004f) return true;
          for (float a : {m.start, m.start + m.sweep}) {
            const float g = std::fmod(std::fmod(90.0f - deg - a, 360.0f) + 360.0f, 360.0f);
            if (m.sweep < 360.0f && (g < 0.3f || g > 359.7f)) return true;
          }
        }
        return false;
      };
      int mismatches = 0;
      for (float r = 0.0f; r < 1.8f; r += 0.0137f)
        for (float deg = 0.0f; deg < 360.0f; deg += 1.3f) {
          if (nearedge(painted, r, deg) || nearedge(o.open, r, deg) || nearedge(o.trim, r, deg)) continue;
          const bool stencilopen = covered(o.open, r, deg) && !covered(o.trim, r, deg);
          if (stencilopen == covered(painted, r, deg) && ++mismatches <= 3)
            ADD_FAILURE() << "kind " << c.kind << " type " << c.stimtype << " t " << t << ": r " << r << " deg " << deg
                          << (stencilopen ? " open only through the stencil" : " open only when painted");
        }
      EXPECT_EQ(mismatches, 0) << "kind " << c.kind << " type " << c.stimtype << " t " << t;
    }
  }
}
