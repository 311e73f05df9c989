#include "core/scoring.h"

#include "config/params.h"
#include "core/eventlog.h"
#include "core/runstate.h"
#include "core/stimulus.h"
#include "core/window.h"
#include "eventstable/logevents.h"

#include <GL/gl.h>
#include <tiffio.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

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

ScoreCount scorelog(FILE* f, float maxcorrectRT, bool fivekeytrigger, double framedur) {
  // The events table's own reading of the log, so that the score shown here
  // is the one the events table and the run report give for this start.
  std::string text;
  char buf[65536];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
  std::istringstream in(text);
  EventsOptions opt;
  opt.segment = -1;
  opt.maxrt = maxcorrectRT;
  opt.framedur = framedur;
  opt.fivekeytrigger = fivekeytrigger ? 1 : 0;
  const StartScore s = scorestart(convertlog(in, opt));
  ScoreCount c;
  c.targets = s.targets;
  c.hits = s.hits;
  c.numbers = s.numbers;
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
    const ScoreCount c = scorelog(in, par.maxcorrectRT, par.fivekeytriggerflag != 0, par.framedur);
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
  stimulushooks().text(scoretext, 0.0f, -0.25f, par.exptfontsize * par.winxgl / 1024.0f, 5);
}
