#include "core/gamma.h"

#include "config/params.h"
#include "core/eventlog.h"
#include "core/xit.h"

#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

constexpr int kMaxRows = 65536;
constexpr int kMaxCrtcs = 16;

GammaTable table;
bool tableread = false;

// The ramps as found, to be put back.
Display* saveddisplay = nullptr;
RRCrtc savedcrtc[kMaxCrtcs];
XRRCrtcGamma* savedramp[kMaxCrtcs];
int savedcnt = 0;

bool readnumber(const std::string& w, double* v) {
  char* end = nullptr;
  errno = 0;
  *v = std::strtod(w.c_str(), &end);
  return end != w.c_str() && *end == '\0' && errno == 0 && std::isfinite(*v);
}

bool failat(int n, int* line, std::string* why, const std::string& text) {
  *line = n;
  *why = text;
  return false;
}

}  // namespace

bool parsegammatable(const std::string& text, GammaTable* out, int* line, std::string* why) {
  GammaTable t;
  bool sawgamma = false;
  std::istringstream in(text);
  std::string s;
  int n = 0;
  while (std::getline(in, s)) {
    n++;
    s = s.substr(0, s.find('#'));
    std::istringstream ws(s);
    std::vector<std::string> w;
    for (std::string x; ws >> x;) w.push_back(x);
    if (w.empty()) continue;
    if (w[0] == "gamma") {
      if (sawgamma) return failat(n, line, why, "second gamma line");
      if (!t.rows[0].empty()) return failat(n, line, why, "gamma line in a table of rows");
      if (w.size() != 2 && w.size() != 4) return failat(n, line, why, "gamma needs 1 or 3 exponents (r g b)");
      for (size_t k = 1; k < w.size(); k++) {
        double g;
        if (!readnumber(w[k], &g)) return failat(n, line, why, "exponent \"" + w[k] + "\" not a number");
        if (g < 0.1 || g > 10.0) return failat(n, line, why, "exponent " + w[k] + " outside 0.1..10");
        t.gamma[k - 1] = g;
      }
      if (w.size() == 2) t.gamma[1] = t.gamma[2] = t.gamma[0];
      t.exponents = sawgamma = true;
      continue;
    }
    if (sawgamma) return failat(n, line, why, "table row after a gamma line");
    if (w.size() != 3) return failat(n, line, why, "expected 3 values r g b, found " + std::to_string(w.size()));
    if (static_cast<int>(t.rows[0].size()) >= kMaxRows)
      return failat(n, line, why, "more than " + std::to_string(kMaxRows) + " rows");
    for (int c = 0; c < 3; c++) {
      double v;
      if (!readnumber(w[c], &v)) return failat(n, line, why, "value \"" + w[c] + "\" not a number");
      if (v < 0.0 || v > 1.0) return failat(n, line, why, "value " + w[c] + " outside 0..1");
      t.rows[c].push_back(v);
    }
  }
  if (!sawgamma && t.rows[0].empty()) return failat(std::max(n, 1), line, why, "no gamma line and no table rows");
  if (!sawgamma && t.rows[0].size() < 2) return failat(n, line, why, "a table needs at least 2 rows");
  *out = t;
  return true;
}

void gammaramp(const GammaTable& t, int c, int size, unsigned short* out) {
  for (int i = 0; i < size; i++) {
    const double x = size > 1 ? static_cast<double>(i) / (size - 1) : 0.0;
    double v;
    if (t.exponents) {
      v = std::pow(x, 1.0 / t.gamma[c]);
    } else {
      // A table of another length than the ramp: linear between its rows.
      const std::vector<double>& r = t.rows[c];
      const double pos = x * (r.size() - 1);
      const size_t k = std::min(static_cast<size_t>(pos), r.size() - 2);
      const double f = pos - k;
      v = r[k] + f * (r[k + 1] - r[k]);
    }
    out[i] = static_cast<unsigned short>(std::lround(std::clamp(v, 0.0, 1.0) * 65535.0));
  }
}

void readgammafile() {
  if (!par.gammafile[0]) return;
  std::ifstream f(par.gammafile, std::ios::binary);
  if (!f) fatal("vistrum: ### can't read -gammafile %s: %s\n", par.gammafile, std::strerror(errno));
  std::stringstream ss;
  ss << f.rdbuf();
  int line = 0;
  std::string why;
  if (!parsegammatable(ss.str(), &table, &line, &why))
    fatal("vistrum: ### %s line %d: %s\n", par.gammafile, line, why.c_str());
  tableread = true;
}

void applygamma(Display* d, Window w) {
  if (!tableread || !d) return;
  int evbase, errbase, major = 0, minor = 0;
  if (!XRRQueryExtension(d, &evbase, &errbase) || !XRRQueryVersion(d, &major, &minor) ||
      (major == 1 && minor < 2))
    fatal("vistrum: ### -gammafile %s: the display has no RandR 1.2 gamma ramps\n", par.gammafile);
  const Window root = DefaultRootWindow(d);
  XWindowAttributes wa{};
  XGetWindowAttributes(d, w, &wa);
  int wx = 0, wy = 0;
  Window child;
  XTranslateCoordinates(d, w, root, 0, 0, &wx, &wy, &child);
  XRRScreenResources* res = XRRGetScreenResources(d, root);
  if (!res) fatal("vistrum: ### -gammafile %s: can't read the display's CRTCs\n", par.gammafile);
  // The CRTCs showing part of the window; failing that (a window placed off
  // every output), every active one.
  RRCrtc pick[kMaxCrtcs];
  int npick = 0;
  for (int pass = 0; pass < 2 && npick == 0; pass++) {
    for (int k = 0; k < res->ncrtc && npick < kMaxCrtcs; k++) {
      XRRCrtcInfo* ci = XRRGetCrtcInfo(d, res, res->crtcs[k]);
      if (!ci) continue;
      const bool active = ci->mode != None && ci->width > 0;
      const bool overlaps = wx < ci->x + static_cast<int>(ci->width) && ci->x < wx + wa.width &&
                            wy < ci->y + static_cast<int>(ci->height) && ci->y < wy + wa.height;
      if (active && (pass == 1 || overlaps) && XRRGetCrtcGammaSize(d, res->crtcs[k]) > 1)
        pick[npick++] = res->crtcs[k];
      XRRFreeCrtcInfo(ci);
    }
  }
  XRRFreeScreenResources(res);
  if (npick == 0) fatal("vistrum: ### -gammafile %s: no CRTC of the display has a gamma ramp\n", par.gammafile);
  int size = 0;
  for (int k = 0; k < npick; k++) {
    XRRCrtcGamma* old = XRRGetCrtcGamma(d, pick[k]);
    if (!old) continue;
    size = old->size;
    XRRCrtcGamma* ramp = XRRAllocGamma(size);
    gammaramp(table, 0, size, ramp->red);
    gammaramp(table, 1, size, ramp->green);
    gammaramp(table, 2, size, ramp->blue);
    // Saved before it is set, so that an exit from here on puts it back.
    saveddisplay = d;
    savedcrtc[savedcnt] = pick[k];
    savedramp[savedcnt++] = old;
    XRRSetCrtcGamma(d, pick[k], ramp);
    XRRFreeGamma(ramp);
  }
  XSync(d, False);
  if (savedcnt == 0) fatal("vistrum: ### -gammafile %s: can't read the display's gamma ramp\n", par.gammafile);
  char what[64];
  if (table.exponents)
    std::snprintf(what, sizeof what, "exponents %.2f %.2f %.2f", table.gamma[0], table.gamma[1], table.gamma[2]);
  else
    std::snprintf(what, sizeof what, "table of %zu rows", table.rows[0].size());
  std::printf("vistrum: gamma: %s (%s) loaded into %d CRTC ramp(s) of %d entries\n", par.gammafile, what, savedcnt,
              size);
  logevent("gamma: %s (%s) loaded into %d CRTC ramp(s) of %d entries\n\n", par.gammafile, what, savedcnt, size);
}

void restoregamma() {
  if (!saveddisplay) return;
  for (int k = 0; k < savedcnt; k++) {
    XRRSetCrtcGamma(saveddisplay, savedcrtc[k], savedramp[k]);
    XRRFreeGamma(savedramp[k]);
  }
  XSync(saveddisplay, False);
  savedcnt = 0;
  saveddisplay = nullptr;
}
