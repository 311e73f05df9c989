#include "config/visangle.h"

#include "config/params.h"
#include "core/xit.h"

#include <cmath>

namespace {

constexpr double kUnitsAcross = 3.12;
constexpr double kDegPerRad = 57.29577951308232;

bool geometrygiven() { return par.viewdist > 0.0f && par.screenwidth > 0.0f; }

// The outer radius as the subject sees it at the start (the scale keys change it later).
double startmaxrad() { return static_cast<double>(par.maxrad) * par.startstimscale; }

}  // namespace

double degperunit(double viewdist, double screenwidth) { return eccdeg(1.0, viewdist, screenwidth); }

double eccdeg(double rad, double viewdist, double screenwidth) {
  return std::atan(rad * screenwidth / kUnitsAcross / viewdist) * kDegPerRad;
}

double radforecc(double deg, double viewdist, double screenwidth) {
  return kUnitsAcross * viewdist * std::tan(deg / kDegPerRad) / screenwidth;
}

void checkviewgeometry() {
  if (par.viewdist < 0.0f || par.screenwidth < 0.0f)
    fatal("vistrum: ### -viewdist and -screenwidth need a positive size in cm (0: not given)\n");
  if ((par.viewdist > 0.0f) != (par.screenwidth > 0.0f)) {
    std::printf("vistrum: ### sizes in degrees need both -viewdist and -screenwidth\n");
    return;
  }
  if (!geometrygiven()) return;
  const double d = par.viewdist, w = par.screenwidth;
  std::printf("vistrum: %.4f deg per display unit at fixation (viewdist %.1f cm, screenwidth %.1f cm)\n",
              degperunit(d, w), d, w);
  std::printf("vistrum: maxrad %.3f (x startstimscale %.3f) = %.2f deg eccentricity\n",
              static_cast<double>(par.maxrad), static_cast<double>(par.startstimscale), eccdeg(startmaxrad(), d, w));
}

void writeviewgeometry(FILE* f) {
  if (!geometrygiven()) return;
  const double d = par.viewdist, w = par.screenwidth;
  std::fprintf(f, "viewdist = %.1f cm, screenwidth = %.1f cm: %.4f deg/unit, maxrad %.3f = %.2f deg\n\n", d, w,
               degperunit(d, w), startmaxrad(), eccdeg(startmaxrad(), d, w));
}
