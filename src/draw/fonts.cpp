#include "draw/fonts.h"

#include "config/params.h"
#include "config/textfile.h"
#include "core/runstate.h"
#include "core/stimulus.h"
#include "core/window.h"
#include "core/xit.h"

#include <FTGL/ftgl.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

std::unique_ptr<FTPixmapFont> ftfont[MAXFONTS];
std::unique_ptr<FTBufferFont> scaledfont[MAXFONTS];  // opened by openscaledfont
std::string slotpath[MAXFONTS];
int nfonts = 0;

bool canopen(const std::string& path) {
  const char* why = nullptr;
  FILE* f = openregular(path.c_str(), "rb", &why);
  if (!f) return false;
  std::fclose(f);
  return true;
}

std::string format(const char* fmt, const char* arg) {
  char line[2 * TEXTLEN + 128];
  std::snprintf(line, sizeof line, fmt, arg);
  return line;
}

const char* filepart(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

}  // namespace

const std::vector<std::string>& fallbackfonts() {
  // The Luxi file exists only where X11 ships it; DejaVu, Liberation and
  // FreeFont come with the packages this program installs.
  static const std::vector<std::string> files = {
      "/usr/share/X11/fonts/TTF/luxisb.ttf",
      "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
      "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
      "/usr/share/fonts/truetype/freefont/FreeSansBold.ttf",
  };
  return files;
}

FontLookup lookupfont(const char* name, const char* vistrumdir, const std::vector<std::string>& fallbacks) {
  FontLookup r;
  const bool aslocal = name[0] == '.' || name[0] == '/';
  const std::string first = aslocal ? std::string(name) : std::string(vistrumdir) + "/lib/fonts/" + name;
  if (canopen(first)) {
    r.path = first;
    return r;
  }
  // A FIFO would hang the loading; another font in its place would hide
  // the mistake.
  if (const char* why = notregularfile(first.c_str())) {
    r.messages.push_back(format("vistrum: ### fontfile %s is not a regular file", first.c_str()) + " (" + why + ")\n");
    r.messages.push_back("vistrum: ### use fullpath: -fontfile[2,3] /dir/with/somefont.ttf\n");
    return r;
  }
  if (aslocal)
    r.messages.push_back(format("vistrum:  (1a) abs/loc fontfile \"%s\" not found\n", first.c_str()));
  else
    r.messages.push_back(format("vistrum:  (1b) vistrum fonts dir fontfile \"%s\" not found\n", first.c_str()));
  for (const std::string& f : fallbacks) {
    if (canopen(f)) {
      r.path = f;
      return r;
    }
    r.messages.push_back(format("vistrum:  (2) fontfile %s not found\n", f.c_str()));
  }
  r.messages.push_back(format("vistrum: ### couldn't find font: %s\n", name));
  r.messages.push_back("vistrum: ### use fullpath: -fontfile[2,3] /dir/with/somefont.ttf\n");
  r.messages.push_back("vistrum: ### HOWTO search: find / -name \\*.ttf -print\n");
  return r;
}

void resolvefont(char* buf, size_t bufsize, const std::vector<std::string>& fallbacks) {
  const FontLookup r = lookupfont(buf, par.vistrumdir, fallbacks);
  for (const std::string& m : r.messages) std::printf("%s", m.c_str());
  if (r.path.empty()) xit(1);
  if (r.path.size() >= bufsize) fatal("vistrum: ### font path longer than %d characters: %s\n", static_cast<int>(bufsize) - 1, r.path.c_str());
  std::memcpy(buf, r.path.c_str(), r.path.size() + 1);
}

void getfullfontfilename(char* buf, size_t bufsize) { resolvefont(buf, bufsize, fallbackfonts()); }

void initfont(char* path, size_t pathsize, int fontnum) {
  if (fontnum < 0 || fontnum >= MAXFONTS) fatal("vistrum: ### bad fontnum %d (OK:0-%d)\n", fontnum, MAXFONTS - 1);
  getfullfontfilename(path, pathsize);
  std::printf("vistrum: using font:\n  %s\n", path);
  ftfont[fontnum] = std::make_unique<FTPixmapFont>(path);
  scaledfont[fontnum].reset();
  slotpath[fontnum] = path;
  if (ftfont[fontnum]->Error()) fatal("vistrum: ### can't open font %s\n", path);
  if (!ftfont[fontnum]->CharMap(ft_encoding_unicode)) fatal("vistrum: ### don't know encoding: ft_encoding_unicode\n");
  if (stimneeds(par.stimtype, kScenario))
    std::printf("vistrum: initfont %s (font=%d)\n", filepart(path), nfonts);
  else
    std::printf("vistrum: initfont %s\n", filepart(path));
  nfonts++;
}

void loadfonts() {
  for (auto& f : ftfont) f.reset();
  nfonts = 0;
  initfont(par.fontfile, sizeof par.fontfile, nfonts);
  if (par.fontfile2[0]) initfont(par.fontfile2, sizeof par.fontfile2, nfonts);
  if (par.fontfile3[0]) initfont(par.fontfile3, sizeof par.fontfile3, nfonts);
}

int fontcnt() { return nfonts; }

float measurestr(const char* text, float size, int fontnum) {
  if (fontnum < 0 || fontnum >= nfonts) fatal("vistrum: ### bad fontnum: %d (OK:0-%d)\n", fontnum, nfonts - 1);
  FTPixmapFont& font = *ftfont[fontnum];
  const unsigned fs = facesize(size, 1.0f);
  if (fs == 0) return 0.0f;
  if (font.FaceSize() != fs) font.FaceSize(fs, 72);
  const FTBBox box = font.BBox(text);
  return static_cast<float>(box.Upper().X() - box.Lower().X());
}

// Only the character type follows the locale: numbers stay in the C form
// everywhere (a log reading "20,000" or a scenario refusing "size=40.5"
// would follow from a German LC_NUMERIC).
void changelocale(const char* locale) {
  const char* now = std::setlocale(LC_CTYPE, nullptr);
  std::printf("vistrum: init locale: %s\n", now ? now : "(none)");
  const char* set = std::setlocale(LC_CTYPE, locale);
  if (!set) {
    // Any UTF-8 locale converts and draws the same texts: C.UTF-8 is on
    // every Debian system, the named one may not be generated.
    std::printf("vistrum: ### setlocale to: %s failed, trying C.UTF-8\n", locale);
    set = std::setlocale(LC_CTYPE, "C.UTF-8");
    if (!set) fatal("vistrum: ### setlocale to: C.UTF-8 failed\n");
  }
  std::setlocale(LC_NUMERIC, "C");
  std::printf("vistrum: setlocale to: %s\n", set);
}

void changelocaleutf8(const char* locale) { changelocale(locale); }

GrabOffset graboffset(int lblo, float w, float a, float unitsperpixel) {
  const float W = w * unitsperpixel;
  const float V = -0.3f * a * unitsperpixel;
  switch (lblo) {
    case 1: return {-W, 0.0f};
    case 2: return {0.0f, V};
    case 3: return {-W / 2.0f, 0.0f};
    case 5: return {-W / 2.0f, V};
    case 8: return {-W, V};
    default: return {0.0f, 0.0f};
  }
}

unsigned facesize(float size, float stimscale) {
  const float rounded = std::floor(size + 0.5f);
  const float scaled = rounded * stimscale;
  return scaled > 0.0f ? static_cast<unsigned>(scaled) : 0u;
}


void openscaledfont(int fontnum) {
  if (scaledfont[fontnum]) return;
  scaledfont[fontnum] = std::make_unique<FTBufferFont>(slotpath[fontnum].c_str());
  FTBufferFont& f = *scaledfont[fontnum];
  if (f.Error() || !f.CharMap(ft_encoding_unicode) || !f.FaceSize(SCALEDFONTBASE, 72))
    fatal("vistrum: ### can't open font %d for scaled text\n", fontnum);
}

void drawstrscaled(const char* text, float x, float y, float size, int lblo, int fontnum) {
  if (fontnum < 0 || fontnum >= nfonts) fatal("vistrum: ### bad fontnum: %d (OK:0-%d)\n", fontnum, nfonts - 1);
  openscaledfont(fontnum);
  FTBufferFont& font = *scaledfont[fontnum];
  const float k = std::floor(size + 0.5f) / static_cast<float>(SCALEDFONTBASE);
  if (k <= 0.0f) return;
  const FTBBox box = font.BBox(text);
  const float w = static_cast<float>(box.Upper().X() - box.Lower().X()) * k;
  const float a = font.Ascender() * k;
  // The projection carries the stimulus scale: units per pixel at scale 1.
  const float unitsperpixel = 2.0f * dsp.iwinxgl / static_cast<float>(par.winxgl);
  const GrabOffset off = graboffset(lblo, w, a, unitsperpixel);
  glPushMatrix();
  glTranslatef(x + off.dx, y + off.dy, 0.0f);
  glScalef(k * unitsperpixel, k * unitsperpixel, 1.0f);
  font.Render(text);
  glPopMatrix();
}

void drawstr(const char* text, float x, float y, float size, int lblo, int fontnum) {
  if (fontnum < 0 || fontnum >= nfonts) fatal("vistrum: ### bad fontnum: %d (OK:0-%d)\n", fontnum, nfonts - 1);
  FTPixmapFont& font = *ftfont[fontnum];
  const unsigned fs = facesize(size, run.currstimscale);
  if (fs == 0) return;  // below one pixel: nothing to see, and FreeType refuses size 0
  // Glyphs are rendered as whole bitmaps: a face far larger than any window
  // would need gigabytes per glyph. Such text is skipped, once said.
  static bool toldsize = false;
  if (fs > MAXFACESIZE) {
    if (!toldsize) std::printf("vistrum: ### text size %u pixels over %d: not drawn\n", fs, MAXFACESIZE);
    toldsize = true;
    return;
  }
  // Setting a face size drops the font's glyph cache: only do it on a change,
  // so that a text drawn every frame is not rasterised anew every frame.
  if (font.FaceSize() != fs && !font.FaceSize(fs, 72)) {
    if (!toldsize) std::printf("vistrum: ### font refused size %u: text not drawn\n", fs);
    toldsize = true;
    return;
  }
  const FTBBox box = font.BBox(text);
  const float w = static_cast<float>(box.Upper().X() - box.Lower().X());
  const float a = font.Ascender();
  const float unitsperpixel = (2.0f * dsp.iwinxgl / static_cast<float>(par.winxgl)) / run.currstimscale;
  const GrabOffset off = graboffset(lblo, w, a, unitsperpixel);
  rasterpos(x + off.dx, y + off.dy);
  font.Render(text);
  glPixelTransferf(GL_RED_SCALE, 1.0f);
  glPixelTransferf(GL_GREEN_SCALE, 1.0f);
  glPixelTransferf(GL_BLUE_SCALE, 1.0f);
  glPixelTransferf(GL_ALPHA_SCALE, 1.0f);
}

// Shared by the word types and the letter streams, which keep one pace.
WordPace wordpace(double t, double textdur, double gapdur) {
  const double L = textdur + gapdur;
  if (L <= 0.0) return {0.0f, false};
  const double x = t / L;
  const float phase = static_cast<float>(x - std::floor(x));
  return {phase, phase <= static_cast<float>(textdur / L)};
}

float eccfontsize(float r) {
  return (par.avgfontsize * par.eccfontscale * r + par.minfontsize) * (static_cast<float>(par.winxgl) / 1024.0f);
}
