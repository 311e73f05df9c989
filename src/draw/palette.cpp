#include "draw/palette.h"

#include "config/params.h"
#include "core/stimulus.h"
#include "core/xit.h"
#include "draw/colour.h"

#include <climits>
#include <cstdlib>

float* chkcols = nullptr;

namespace {

int lastcolcnt = 0;
int lastfillcnt = 0;

float uniform() { return static_cast<float>(random() * (1.0 / 2147483648.0)); }

void setentry(float* e, float r0, float g0, float b0, float r1, float g1, float b1) {
  e[0] = r0, e[1] = g0, e[2] = b0, e[3] = r1, e[4] = g1, e[5] = b1;
}

void setgrey(float* e, float g0, float g1) { setentry(e, g0, g0, g0, g1, g1, g1); }

// Two colours v0*A + w0*B and v1*A + w1*B of the eye colour vectors A and B.
void seteyes(float* e, const float* a, float v0, float v1, const float* bvec, float w0, float w1) {
  for (int c = 0; c < 3; c++) {
    e[c] = v0 * a[c] + w0 * bvec[c];
    e[3 + c] = v1 * a[c] + w1 * bvec[c];
  }
}

// Mask pair of one entry, in a random order per entry.
void maskpair(const ColourLevels& lv, float* x, float* y) {
  if (random() & 1) {
    *x = lv.mdark, *y = lv.mlight;
  } else {
    *x = lv.mlight, *y = lv.mdark;
  }
}

void fillplain(float* e, int type, const ColourLevels& lv) {
  const float cc = par.colcontrast;
  switch (type) {
    case -1: {
      const float g = getbwdotcolor();
      setgrey(e, g, g);
      break;
    }
    case 0:
    case 5:  // listed in the help but never given a rule of their own
    case 6:
      setgrey(e, 0.5f - par.bwcontrast / 2.0f, 0.5f + par.bwcontrast / 2.0f);
      break;
    case 1:
      for (int c = 3; c < 6; c++) e[c] = uniform() * (1.0f - cc);
      for (int c = 0; c < 3; c++) e[c] = cc + uniform() * (1.0f - cc);
      break;
    case 2:
      for (int k = 0; k < 2; k++) {
        float* col = e + 3 * k;
        for (int c = 0; c < 3; c++) col[c] = uniform();
        const float mean = (col[0] + col[1] + col[2]) / 3.0f;
        const float scale = mean > 0.0f ? 0.5f / mean : 0.0f;
        for (int c = 0; c < 3; c++) col[c] *= scale;
      }
      break;
    case 3: {
      const float h0 = uniform();
      hls_to_rgb(h0, lv.lo, 1.0f, &e[0], &e[1], &e[2]);
      const float h1 = uniform();
      hls_to_rgb(h1, lv.hi, 1.0f, &e[3], &e[4], &e[5]);
      break;
    }
    case 4: {
      const float h0 = uniform();
      hsv_to_rgb(h0, 1.0f, lv.lo, &e[0], &e[1], &e[2]);
      const float h1 = uniform();
      hsv_to_rgb(h1, 1.0f, lv.hi, &e[3], &e[4], &e[5]);
      break;
    }
    default:
      break;
  }
}

// Red/blue anaglyph rivalry (type 77).
void fillanaglyph(float* e, int type, const ColourLevels& lv, const float* l, const float* r) {
  const float none[3] = {0.0f, 0.0f, 0.0f};
  const float both[3] = {l[0] + r[0], l[1] + r[1], l[2] + r[2]};
  float x = 0.0f, y = 0.0f;
  switch (type) {
    case 10: seteyes(e, l, lv.dark, lv.light, none, 0, 0); break;
    case 11: seteyes(e, r, lv.dark, lv.light, none, 0, 0); break;
    case 12: seteyes(e, both, lv.dark, lv.light, none, 0, 0); break;
    case 13: maskpair(lv, &x, &y); seteyes(e, l, lv.dark, lv.light, r, x, y); break;
    case 14: maskpair(lv, &x, &y); seteyes(e, l, x, y, r, lv.dark, lv.light); break;
    case 15: maskpair(lv, &x, &y); seteyes(e, r, x, y, none, 0, 0); break;
    case 16: maskpair(lv, &x, &y); seteyes(e, l, x, y, none, 0, 0); break;
    default: break;
  }
}

// Side-by-side divergent rivalry (type 79): left entry e, right entry er.
void filldivergent(float* e, float* er, int type, const ColourLevels& lv, const float* l, const float* r) {
  const float none[3] = {0.0f, 0.0f, 0.0f};
  const float off = par.offcolbright;
  float x = 0.0f, y = 0.0f;
  auto checks = [&](float* dst, const float* eye) { seteyes(dst, eye, lv.dark, lv.light, none, 0, 0); };
  auto mask = [&](float* dst, const float* eye) {
    maskpair(lv, &x, &y);
    seteyes(dst, eye, x, y, none, 0, 0);
  };
  auto blank = [&](float* dst) { setgrey(dst, off, off); };
  switch (type) {
    case 17: checks(e, l); blank(er); break;
    case 18: blank(e); checks(er, r); break;
    case 19: checks(e, l); checks(er, r); break;
    case 20: checks(e, l); mask(er, r); break;
    case 21: mask(e, l); checks(er, r); break;
    case 22: blank(e); mask(er, r); break;
    case 23: mask(e, l); blank(er); break;
    case 24: blank(e); blank(er); break;
    default: break;
  }
}

}  // namespace

int chkcolscapacity() { return lastcolcnt; }
int chkcolsfilled() { return lastfillcnt; }

ColourLevels colourlevels(float a, float c, float m, float k) {
  ColourLevels lv;
  lv.lo = a - a * c;
  lv.hi = a + (1.0f - a) * c;
  const float d = a < 0.5f ? a * c : (1.0f - a) * c;
  lv.dark = a - d;
  lv.light = a + d;
  const float e = m < 0.5f ? m * k : (1.0f - m) * k;
  lv.mdark = m - e;
  lv.mlight = m + e;
  return lv;
}

float getbwdotcolor() {
  const float g0 = par.bgwingray, c = par.bwcontrast;
  if (c > 0.0f) return g0 + c * (1.0f - g0);
  if (c < 0.0f) return g0 + c * g0;
  return g0;
}

void reservechkcols(int cnt) {
  const int eyes = stimneeds(par.stimtype, kEyePairPalette) ? 2 : 1;
  if (cnt <= lastcolcnt && chkcols != nullptr) return;
  std::free(chkcols);
  const int alloc = cnt > 0 ? cnt : 1;
  // Zeroed so entries that no rule fills are black, not leftover memory.
  chkcols = static_cast<float*>(std::calloc(static_cast<size_t>(alloc) * eyes, 6 * sizeof(float)));
  if (chkcols == nullptr) fatal("vistrum: ### can't malloc chkcols (%lld bytes)\n", static_cast<long long>(alloc) * 24 * eyes);
  lastcolcnt = alloc;
}

void makecolorsf(int n, int m, int type) {
  // Counted in a wide type: the product of two large counts overflows an int.
  const long long want = n > 0 && m > 0 ? static_cast<long long>(n) * m : 0;
  if (want > INT_MAX / 12) fatal("vistrum: ### can't malloc chkcols (%lld bytes)\n", want * 24);
  const int cnt = static_cast<int>(want);
  reservechkcols(cnt);
  lastfillcnt = cnt;
  const ColourLevels lv = colourlevels(par.avgcolbright, par.colcontrast, par.avgmaskbright, par.maskcontrast);
  const float l[3] = {par.stereoLred, par.stereoLgrn, par.stereoLblu};
  const float r[3] = {par.stereoRred, par.stereoRgrn, par.stereoRblu};
  for (int j = 0; j < cnt; j++) {
    float* e = chkcols + 6 * j;
    if (type <= 6) {
      fillplain(e, type, lv);
    } else if (type >= 10 && type <= 16) {
      if (stimneeds(par.stimtype, kAnaglyphPalette)) fillanaglyph(e, type, lv, l, r);
    } else if (type >= 17 && type <= 24) {
      if (stimneeds(par.stimtype, kEyePairPalette)) filldivergent(e, chkcols + 6 * (cnt + j), type, lv, l, r);
    }
  }
}

void makecolorf(int type, int dark, float* r, float* g, float* b) {
  const float cc = par.colcontrast;
  switch (type) {
    case -1:
      *r = *g = *b = getbwdotcolor();
      break;
    case 0:
    case 5:
    case 6:
      *r = *g = *b = dark ? 0.5f - par.bwcontrast / 2.0f : 0.5f + par.bwcontrast / 2.0f;
      break;
    case 1: {
      float* ch[3] = {r, g, b};
      for (float* c : ch) *c = dark ? uniform() * (1.0f - cc) : cc + uniform() * (1.0f - cc);
      break;
    }
    case 2: {
      const float u1 = uniform();
      const float u2 = uniform();
      const float u3 = uniform();
      const float mean = (u1 + u2 + u3) / 3.0f;
      const float s = mean > 0.0f ? 0.5f / mean : 0.0f;
      *r = u1 * s, *g = u2 * s, *b = u3 * s;
      break;
    }
    case 3:
    case 4: {
      const float a = par.avgcolbright;
      const float lev = dark ? a * (1.0f - cc) : a + (1.0f - a) * cc;
      const float h = uniform();
      if (type == 3)
        hls_to_rgb(h, lev, 1.0f, r, g, b);
      else
        hsv_to_rgb(h, 1.0f, lev, r, g, b);
      break;
    }
    default:
      break;
  }
}

void makechkcols() {
  if (stimneeds(par.stimtype, kBarPalette))
    makecolorsf(1, 100, par.coltype);
  else
    makecolorsf(par.numtheta, par.numrad + 1, par.coltype);
}
