#include "scenario/pgifile.h"

#include "config/params.h"
#include "config/textfile.h"
#include "core/projection.h"
#include "scenario/palfile.h"
#include "scenario/scnerror.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr double MAXPGINUM = 100000.0;  // pixels or degrees

struct PgiState {
  float x, y;    // current position, display units
  float rot;     // degrees, for the next rectangle only
  int colorindex;
  int r, g, b;   // -1 until setrgbcolor
};

bool pgierror(std::string& err, const char* what, const char* name, int lineno, const char* line) {
  return scnfail(err, "vistrum: ### %s in pgi file %s line %d:\n  ==> %s\n", what, name, lineno, line);
}

// Reads one line (LF, CR LF or CR ends it) into `buf`; false at the end
// of the file. `toolong` is set when the line does not fit the buffer.
bool readpgiline(FILE* f, char* buf, int size, bool* toolong) {
  std::string line;
  // Stopping at the buffer: an endless line (a device, say) must not hang the start-up.
  const bool more = readtextline(f, line, static_cast<size_t>(size - 1), toolong);
  for (char& c : line)
    if (!c) c = ' ';  // a NUL byte must not hide the rest of the line
  std::memcpy(buf, line.data(), line.size());
  buf[line.size()] = '\0';
  return more;
}

// Runs the file's commands. Without `rects` it only checks them and counts
// the rectangles; with them it fills the records.
bool pgipass(FILE* f, const char* name, const ExptItem* item, PgiRect* rects, int* count, std::string& err) {
  const Extents e = windowextents(par.winxgl, par.winygl);
  const float upx = 2.0f * e.iwinxgl / par.winxgl, upy = 2.0f * e.iwinygl / par.winygl;
  PgiState s{item->xoff, item->yoff, 0.0f, -1, -1, -1, -1};
  char line[PGILINELEN];
  bool toolong = false;
  *count = 0;
  for (int lineno = 1; readpgiline(f, line, sizeof line, &toolong); lineno++) {
    if (toolong) return pgierror(err, "line longer than 198 characters", name, lineno, line);
    if (line[0] == '\0' || line[0] == '\r' || line[0] == '#') continue;
    char tok[4][PGILINELEN] = {};
    const int ntok = std::sscanf(line, "%198s %198s %198s %198s", tok[0], tok[1], tok[2], tok[3]);
    if (ntok < 1) continue;
    struct Cmd {
      const char* name;
      int args;
      bool colour;  // arguments are colour values 0..255
    };
    static const Cmd cmds[] = {{"moveto", 2, false},     {"rmoveto", 2, false},      {"rotate", 1, false},
                               {"setfgcolor", 1, true},  {"setindexcolor", 1, true}, {"setrgbcolor", 3, true},
                               {"frect", 2, false},      {"orect", 2, false}};
    const Cmd* cmd = nullptr;
    for (const Cmd& c : cmds)
      if (!std::strcmp(tok[0], c.name)) cmd = &c;
    if (!cmd) continue;  // other commands are ignored
    if (ntok - 1 < cmd->args) return pgierror(err, "missing number", name, lineno, line);
    double v[3] = {};
    for (int k = 0; k < cmd->args; k++) {
      char* end = nullptr;
      v[k] = std::strtod(tok[k + 1], &end);
      const bool ok = *end == '\0' && std::isfinite(v[k]) && std::fabs(v[k]) <= MAXPGINUM &&
                      (!cmd->colour || (v[k] >= 0.0 && v[k] <= 255.0 && v[k] == std::floor(v[k])));
      if (!ok) return pgierror(err, cmd->colour ? "bad colour (0-255)" : "bad number", name, lineno, line);
    }
    const std::string c = cmd->name;
    if (c == "moveto") {
      s.x = static_cast<float>(v[0] * upx);
      s.y = static_cast<float>(v[1] * upy);
    } else if (c == "rmoveto") {
      s.x += static_cast<float>(v[0] * upx);
      s.y += static_cast<float>(v[1] * upy);
    } else if (c == "rotate") {
      s.rot = static_cast<float>(v[0]);
    } else if (c == "setrgbcolor") {
      s.r = static_cast<int>(v[0]);
      s.g = static_cast<int>(v[1]);
      s.b = static_cast<int>(v[2]);
    } else if (cmd->colour) {
      s.colorindex = static_cast<int>(v[0]);
    } else {  // frect, orect
      if (rects)
        saverect(&rects[*count], s.colorindex, item->color, s.r, s.g, s.b, s.x, s.y, static_cast<float>(v[0] * upx),
                 static_cast<float>(v[1] * upy), s.rot, c == "frect");
      ++*count;
      s.rot = 0.0f;
    }
  }
  return true;
}

}  // namespace

void my2rot(float x, float y, float deg, float* x2, float* y2) {
  const double a = deg * M_PI / 180.0;
  *x2 = static_cast<float>(x * std::cos(a) - y * std::sin(a));
  *y2 = static_cast<float>(x * std::sin(a) + y * std::cos(a));
}

void saverect(PgiRect* rect, int colorindex, int itemcolor, int r, int g, int b, float x, float y, float w, float h,
              float rotdeg, int filled) {
  if (rotdeg == 0.0f) {
    const float xs[4] = {x, x + w, x + w, x}, ys[4] = {y, y, y + h, y + h};
    std::memcpy(rect->x, xs, sizeof xs);
    std::memcpy(rect->y, ys, sizeof ys);
  } else {
    const float cx[4] = {-w / 2, w / 2, w / 2, -w / 2}, cy[4] = {h / 2, h / 2, -h / 2, -h / 2};
    for (int k = 0; k < 4; k++) {
      my2rot(cx[k], cy[k], rotdeg, &rect->x[k], &rect->y[k]);
      rect->x[k] += x + w / 2;
      rect->y[k] += y + h / 2;
    }
  }
  if (r == -1) {
    int i = colorindex != -1 ? colorindex : itemcolor != -1 ? itemcolor : 1;
    if (i < 0 || i >= PALCOLS) i = 1;
    rect->r = rpalette[i] & 0xff;
    rect->g = gpalette[i] & 0xff;
    rect->b = bpalette[i] & 0xff;
  } else {
    rect->r = static_cast<unsigned short>(r);
    rect->g = static_cast<unsigned short>(g);
    rect->b = static_cast<unsigned short>(b);
  }
  rect->filled = filled;
}

bool parsepgi(FILE* f, const char* name, ExptItem* item, std::string& err) {
  int count = 0;
  if (!pgipass(f, name, item, nullptr, &count, err)) return false;
  std::free(item->rects);
  item->rects = nullptr;
  item->rectcnt = 0;
  if (count == 0) return true;
  item->rects = static_cast<PgiRect*>(std::calloc(count, sizeof(PgiRect)));
  if (!item->rects) return scnfail(err, "vistrum: ### can't malloc %d rects for pgi file %s\n", count, name);
  std::rewind(f);
  if (!pgipass(f, name, item, item->rects, &count, err)) return false;
  item->rectcnt = count;
  return true;
}

bool readloadpgifiles(int slot, std::string& err) {
  const ExptFrame& fr = exptframes[slot];
  for (int k = 0; k < fr.subframecnt; k++) {
    ExptItem* it = fr.subframes[k];
    if (it->kind != KPGI) continue;
    char path[2 * TEXTLEN];
    exptrelative(it->name, path, sizeof path);
    const char* why = nullptr;
    FILE* f = openfile(path, "r", &why);
    if (!f) {
      if (why)
        scnfail(err, "vistrum: ### pgifile (%s) is not a regular file (%s)\n", it->name, why);
      else
        scnfail(err, "vistrum: ### pgifile (%s) not found\n", it->name);
      return scnfail(err, "vistrum: ### named at line %d of %s\n", it->lineno, exptpath);
    }
    const bool ok = parsepgi(f, path, it, err);
    std::fclose(f);
    if (!ok) return scnfail(err, "vistrum: ### named at line %d of %s\n", it->lineno, exptpath);
  }
  return true;
}
