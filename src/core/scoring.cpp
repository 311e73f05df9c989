#include "core/scoring.h"

#include "config/params.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/window.h"
#include "text/fonts.h"

#include <GL/gl.h>
#include <tiffio.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool startswith(const char* line, const char* word) { return std::strncmp(line, word, std::strlen(word)) == 0; }

// Second whitespace-separated field as a number (the event time).
double secondfield(const char* line) {
  const char* p = line;
  while (*p && *p != ' ' && *p != '\t') p++;
  return std::strtod(p, nullptr);
}

struct SplashImage {
  std::string path;
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // bottom row first, as glDrawPixels wants
};
SplashImage splash;
char scoretext[64] = "";  // empty until this run end's score is known

bool loadsplash(const std::string& path) {
  if (splash.path == path) return splash.width > 0;
  splash = SplashImage{};
  splash.path = path;
  TIFF* tif = TIFFOpen(path.c_str(), "r");
  if (!tif) return false;
  uint32_t w = 0, h = 0;
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
  if (w > 0 && h > 0 && w <= 16384 && h <= 16384) {
    splash.pixels.resize(static_cast<size_t>(w) * h);
    if (TIFFReadRGBAImageOriented(tif, w, h, splash.pixels.data(), ORIENTATION_BOTLEFT, 0)) {
      splash.width = static_cast<int>(w);
      splash.height = static_cast<int>(h);
    } else {
      splash.pixels.clear();
    }
  }
  TIFFClose(tif);
  return splash.width > 0;
}

void drawsplash(float ycentre, float height) {
  const float unitsperpixel = 2.0f * dsp.iwinxgl / static_cast<float>(par.winxgl);
  const float zoom = height * run.currstimscale / (static_cast<float>(splash.height) * unitsperpixel);
  const float halfw = 0.5f * splash.width * zoom * unitsperpixel / run.currstimscale;
  const float halfh = 0.5f * height;
  rasterpos(-halfw, ycentre - halfh);
  glPixelZoom(zoom, zoom);
  glDrawPixels(splash.width, splash.height, GL_RGBA, GL_UNSIGNED_BYTE, splash.pixels.data());
  glPixelZoom(1.0f, 1.0f);
}

}  // namespace

// A "KeyEvent" line of the 5 key (its last field is "k5").
static bool fivekeyline(const char* line) {
  size_t n = std::strlen(line);
  while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r' || line[n - 1] == ' ')) n--;
  return n >= 3 && std::strncmp(line + n - 3, " k5", 3) == 0;
}

ScoreCount scorelog(FILE* f, float maxcorrectRT, bool fivekeytrigger) {
  static char line[5001];
  int p = 0, n = 0, h = 0, k = 0, d = 0;
  double targtime = 0.0, keytime = 0.0;
  while (std::fgets(line, sizeof line, f)) {
    if (startswith(line, "F1-reset") || startswith(line, "F2-reset") || startswith(line, "PrePrePer")) {
      p = n = h = k = d = 0;
    } else if (startswith(line, "FixEvent") || startswith(line, "NumEvent")) {
      // A digit of the number task asks for a key press as a fixation target does.
      if (line[0] == 'N') d++;
      targtime = secondfield(line);
      p++;
      n++;
      k = 0;
    } else if (startswith(line, "KeyEvent") && !(fivekeytrigger && fivekeyline(line))) {
      // With the five-key trigger the scanner keeps sending "5" every volume
      // after the start: counted as answers, a pulse would answer every target.
      keytime = secondfield(line);
      k++;
    }
    if (k == 1 && p > 0) {
      p = 0;
      k = 0;
      if (keytime - targtime < maxcorrectRT) h++;
    }
  }
  ScoreCount c;
  c.targets = n;
  c.hits = h;
  c.numbers = d;
  return c;
}

int scorepercent(const ScoreCount& c) {
  if (c.targets <= 0) return 0;
  const int pc = static_cast<int>(static_cast<float>(c.hits) * 100.0f / static_cast<float>(c.targets));
  return pc > 100 ? 100 : pc;
}

int targpercent() {
  if (!par.logfileflag || !run.fplogfile) return 100;
  std::fclose(run.fplogfile);
  run.fplogfile = nullptr;
  int result = 100;
  FILE* in = std::fopen(run.logfilename, "r");
  if (in) {
    const ScoreCount c = scorelog(in, par.maxcorrectRT, par.fivekeytriggerflag != 0);
    if (par.fixtargprob != 0.0f || c.numbers > 0) result = scorepercent(c);
    std::fclose(in);
  }
  // Later lines follow the scored ones; if the file is gone, logging stops.
  run.fplogfile = std::fopen(run.logfilename, "a");
  return result;
}

void newscorereport() { scoretext[0] = '\0'; }

void drawscorescreen() {
  char path[2 * TEXTLEN + 32];
  std::snprintf(path, sizeof path, "%s/lib/imagefiles/splash/%s", par.vistrumdir, par.finaltiff);
  // The image goes first: the score text sits inside its area and must stay legible.
  const bool known = splash.path == path;
  if (loadsplash(path))
    drawsplash(-0.1f, par.splashheight);
  else if (!known)
    std::printf("vistrum: ### can't read final tiff: %s\n", path);
  if (!logging() && !scoretext[0]) {
    if (!known) std::printf("vistrum: ### no logfile: can't report performance\n");
    return;
  }
  // Scored and logged once per run end: the screen may be redrawn every frame.
  if (!scoretext[0]) {
    std::snprintf(scoretext, sizeof scoretext, "You scored %d%% !", targpercent());
    logevent("Feedback:    \"%s\"\n", scoretext);
  }
  glColor3f(1.0f, 1.0f, 1.0f);
  drawstr(scoretext, 0.0f, -0.25f, par.exptfontsize * par.winxgl / 1024.0f, 5, 0);
}
