#include "images/gaussmask.h"

#include "config/params.h"
#include "core/framesave.h"
#include "core/runstate.h"
#include "core/window.h"
#include "core/xit.h"
#include "draw/tiffio.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

double gaussfwhmpix(int winx, float halfwidthunits, float circwidth) {
  return winx * static_cast<double>(circwidth) / (2.0 * halfwidthunits);
}

unsigned char gaussalpha(int k, int j, int winx, int winy, double fwhmpix, float circwidth, float fwhmheight) {
  const double sigma = fwhmpix / 2.3548200450309493;
  const int dx = k - winx / 2;
  int dy = j - winy / 2;
  if (fwhmheight != 0.0f) dy = static_cast<int>(dy * circwidth / fwhmheight);
  const double r2 = static_cast<double>(dx) * dx + static_cast<double>(dy) * dy;
  return static_cast<unsigned char>(static_cast<int>(255.0 * (1.0 - std::exp(-r2 / (2.0 * sigma * sigma)))));
}

void gaussmaskname(char* buf, size_t size, float bggray, double fwhmpix, float circwidth, float fwhmheight, int winx,
                   int winy) {
  const double vert = fwhmheight != 0.0f ? fwhmpix * fwhmheight / circwidth : fwhmpix;
  std::snprintf(buf, size, "gau-transp-bg=%1.2f-fwhm=%dx%d-%dx%d.%s", bggray, static_cast<int>(fwhmpix),
                static_cast<int>(vert), winx, winy, "tiff");
}

void checkgaussmask() {
  // A zero width makes every alpha 0/0; a negative height names a mask
  // with a negative size.
  if (!(par.circwidth > 0.0f) || !std::isfinite(par.circwidth))
    fatal("vistrum: ### Gaussian mask needs -circwidth > 0 (got %g)\n", par.circwidth);
  if (!(par.fwhmheight >= 0.0f) || !std::isfinite(par.fwhmheight))
    fatal("vistrum: ### Gaussian mask needs -fwhmheight >= 0 (got %g)\n", par.fwhmheight);
}

namespace {
GaussMaskState gaussmask;
}  // namespace

void resetgaussmask(GaussMaskState& s) { s.started = false; }

GaussMaskState& gaussmaskstate() { return gaussmask; }

void drawtiffgausstranspar(double t) { drawtiffgausstranspar(gaussmask, t); }

void drawtiffgausstranspar(GaussMaskState& s, double) {
  const int w = par.winxgl, h = par.winygl;
  if (!s.started) {
    if (!s.raster) s.raster = static_cast<unsigned int*>(std::malloc(static_cast<size_t>(w) * h * 4));
    if (!s.raster) fatal("vistrum: ### aGau: can't malloc raster\n");
    run.skipfixationflag = 1;
    s.started = true;
    return;  // this frame shows the background grey that the next one reads
  }
  unsigned int* raster = s.raster;
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_INT_8_8_8_8_REV, raster);
  const double fwhm = gaussfwhmpix(w, dsp.iwinxgl, par.circwidth);
  for (int j = 0; j < h; j++) {
    unsigned int* row = raster + static_cast<size_t>(j) * w;
    for (int k = 0; k < w; k++) {
      const unsigned int a = gaussalpha(k, j, w, h, fwhm, par.circwidth, par.fwhmheight);
      row[k] = (row[k] & 0x00ffffffu) | (a << 24);
    }
  }
  char name[TEXTLEN];
  gaussmaskname(name, sizeof name, par.bgwingray, fwhm, par.circwidth, par.fwhmheight, w, h);
  par.savetransparencyflag = 1;
  writetiff(w, h, raster, name);
  std::free(s.raster);
  s.raster = nullptr;
  std::printf("vistrum: wrote file %s\n", name);
  std::printf("vistrum: tiff w/centered Gaussian in alpha\n");
  xit(0);
}
