#include "text/reading.h"

#include "config/condseq.h"
#include "config/params.h"
#include "core/eventlog.h"
#include "core/projection.h"
#include "core/runstate.h"
#include "core/timer.h"
#include "core/window.h"
#include "core/xit.h"
#include "draw/fixation.h"
#include "draw/fonts.h"
#include "text/wordlists.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum Kind { OFF, PARA, FONT, DOT, BLANK, KINDS };
static_assert(KINDS == READINGKINDS, "one last line per kind");
const char* const kindnames[KINDS] = {"off", "para", "font", "dot", "blank"};

// Sized before the run for the largest block.
std::vector<PageWord> page;
std::vector<float> wordendblockphase;

double frac(double x) { return x - std::floor(x); }

int kindof(int c) {
  if (c < 0 || c >= static_cast<int>(par.condnames.size())) return -1;
  for (int k = 0; k < KINDS; k++)
    if (par.condnames[c] == kindnames[k]) return k;
  return -1;
}

// Display units per pixel of the window (at stimulus scale 1).
float unitsperpixel(float iwinxgl) { return 2.0f * iwinxgl / static_cast<float>(par.winxgl); }

float xspaceunits(float u) { return par.avgfontsize * u * par.xspacefrac; }

// Left end of every line: centred on the average line, shifted left by maxrad - 1.
float linestart(const ReadingAverages& a) { return -a.avglinewidth / 2.0f - (par.maxrad - 1.0f); }

}  // namespace

ReadingAverages readingaverages(const std::vector<std::vector<std::string>>& tokens,
                                const std::vector<std::vector<float>>& widths, const std::vector<int>& blockwords,
                                float xspace, float minwidthfrac) {
  ReadingAverages a;
  double sum = 0.0;
  for (size_t l = 0; l < tokens.size(); l++)
    for (size_t k = 0; k < tokens[l].size(); k++) {
      if (isblockend(tokens[l][k])) continue;
      sum += widths[l][k] + xspace;
      a.words++;
    }
  double blocks = 0.0;
  for (int n : blockwords) blocks += n;
  if (a.words > 0) a.avgwordwidth = static_cast<float>(sum / a.words);
  if (!tokens.empty()) a.avglinewidth = static_cast<float>(sum / static_cast<double>(tokens.size()));
  if (!blockwords.empty()) a.avgwordsperblock = static_cast<float>(blocks / static_cast<double>(blockwords.size()));
  if (a.words > 0) a.avglinesperblock = a.avgwordsperblock * static_cast<float>(tokens.size()) / a.words;
  a.minwidth = a.avgwordwidth * minwidthfrac;
  return a;
}

int layoutpage(const std::vector<std::vector<std::string>>& tokens, const std::vector<std::vector<float>>& widths,
               int firstline, int nb, float x0, float y0, float linespacing, float xspace, PageWord* out) {
  const int lines = static_cast<int>(tokens.size());
  if (lines == 0 || nb <= 0) return firstline;
  int l = firstline >= 0 && firstline < lines ? firstline : 0;
  float y = y0;
  int placed = 0;
  // A file with no words at all would never fill the page: stop after one
  // pass more than the block could need.
  for (long walked = 0; placed < nb && walked <= static_cast<long>(lines) * (nb + 1); walked++) {
    float x = x0;
    for (size_t k = 0; k < tokens[l].size() && placed < nb; k++) {
      if (isblockend(tokens[l][k])) continue;
      out[placed++] = {x, y, widths[l][k], tokens[l][k].c_str()};
      x += widths[l][k] + xspace;
    }
    if (placed >= nb) break;
    y -= linespacing;
    l = (l + 1) % lines;
  }
  return l;
}

void wordendphases(const PageWord* words, int nb, float minwidth, float avgwordwidth, float xspace, float modfrac,
                   float* out) {
  float total = 0.0f;
  for (int i = 0; i < nb; i++) {
    const float w = words[i].w > minwidth ? words[i].w : minwidth;
    total += (w - avgwordwidth) * modfrac + avgwordwidth + xspace;
    out[i] = total;
  }
  for (int i = 0; i < nb; i++) out[i] = total > 0.0f ? out[i] / total : static_cast<float>(i + 1) / nb;
}

CurrentWord currentword(const float* ends, int nb, float Y, float Z) {
  if (nb <= 0) return {0, 1.0f};
  if (!ends) {
    int o = static_cast<int>(Y * nb);
    if (o > nb - 1) o = nb - 1;
    return {o, Z};
  }
  int o = 0;
  while (o < nb - 1 && ends[o] < Y) o++;
  const float before = o > 0 ? ends[o - 1] : 0.0f;
  const float slot = ends[o] - before;
  return {o, slot > 0.0f ? (ends[o] - Y) / slot : 0.0f};
}

void preparereading() {
  if (fontcnt() < 2)
    fatal("vistrum: ### stimtype %d shows its \"font\" blocks in a second font: give -fontfile2\n", par.stimtype);
  const float u = unitsperpixel(windowextents(par.winxgl, par.winygl).iwinxgl);
  const ReadingAverages a = readingaverages(paragraphs, widthsperlines, wordsperblocks, xspaceunits(u), par.minwidthfrac);
  if (a.words == 0) fatal("vistrum: ### no words to read in %s\n", par.wordfile);
  // Every line must fit between its start and the right edge of the window.
  const float winscale = static_cast<float>(par.winxgl) / 1024.0f;
  const float right = windowextents(par.winxgl, par.winygl).iwinxgl / winscale;
  for (size_t l = 0; l < paragraphs.size(); l++) {
    float x = linestart(a);
    for (size_t k = 0; k < paragraphs[l].size(); k++) {
      if (isblockend(paragraphs[l][k])) continue;
      x += widthsperlines[l][k];
      if (x > right)
        fatal("vistrum: ### %s line %d: \"%s\" ends %d pixels right of the window at size %d (shorten the line or lower -avgfontsize)\n",
              par.wordfile, wordfilelineno(static_cast<int>(l)), paragraphs[l][k].c_str(),
              static_cast<int>(std::ceil((x - right) * winscale / u)), static_cast<int>(std::rint(par.avgfontsize)));
      x += xspaceunits(u);
    }
  }
  const int room = maxwordsperblock > 0 ? maxwordsperblock : 1;
  page.assign(static_cast<size_t>(room), PageWord{0, 0, 0, ""});
  wordendblockphase.assign(static_cast<size_t>(room), 0.0f);
}

namespace {
ReadingState reading;
}  // namespace

void resetreading(ReadingState& s) { s = ReadingState{}; }

ReadingState& readingstate() { return reading; }

void drawparafontoffrndblk(double t) { drawparafontoffrndblk(reading, t); }

void drawparafontoffrndblk(ReadingState& s, double t) {
  if (!s.started) {
    s.winscale = static_cast<float>(par.winxgl) / 1024.0f;
    s.blockperiod = par.blockfreq != 0.0f ? 1.0f / std::fabs(par.blockfreq) : 0.0f;
    const float u = unitsperpixel(dsp.iwinxgl);
    s.ilinespacing = par.linespacing * u;
    s.ifontsize = par.avgfontsize * u;
    s.xspace = xspaceunits(u);
    s.avg = readingaverages(paragraphs, widthsperlines, wordsperblocks, s.xspace, par.minwidthfrac);
    const float O = s.avg.avgwordsperblock > 0.0f ? s.blockperiod / s.avg.avgwordsperblock : 0.0f;
    std::printf("vistrum: avg word ISI = %2.0f msec, gap=%1.0f%%\n", O * 1000.0f,
                O > 0.0f ? par.gapdur / O * 100.0f : 0.0f);
    std::printf("vistrum: %2.1f lines per %d word blk\n", s.avg.avglinesperblock,
                wordsperblocks.empty() ? 0 : wordsperblocks[0]);
    std::printf("vistrum: avg line length = %2.2f (intern coords)\n", s.avg.avglinewidth);
    std::printf("vistrum: avg word length = %2.2f (intern coords)\n", s.avg.avgwordwidth);
    if (par.fonttargprob != 0.0f) {
      const double f = s.blockperiod * 60.0 / par.fonttargprob;
      s.framespertarg = f >= 1.0 && f < 1e9 ? static_cast<int>(f) : (f < 1.0 ? 1 : 1000000000);
    }
    restartcondseq();  // the condition sequence starts again
    s.started = true;
  }
  const int c = getlogcondition(t, par.condcnt);
  if (c < 0) return;
  const int kind = kindof(c);
  if (kind < 0) {
    std::printf("vistrum: ### bad condition: %s\n", par.condnames[c].c_str());
    std::printf("vistrum: [off,para,font,dot,blank]\n");
    xit(1);
  }

  // Block, slot and phases.
  const int nblocks = static_cast<int>(wordsperblocks.size());
  int b = s.blockperiod > 0.0f ? static_cast<int>(t / s.blockperiod) : 0;
  if (b > par.condlistcnt - 1) b = par.condlistcnt - 1;
  if (b < 0) b = 0;
  if (nblocks > 0) b %= nblocks;  // fewer marked blocks than conditions: they repeat
  const int blockwords = nblocks > 0 && wordsperblocks[b] > 0 ? wordsperblocks[b] : 1;
  const float N = s.blockperiod / blockwords;
  float g = N > 0.0f ? (N - static_cast<float>(par.gapdur)) / N : 1.0f;
  if (!(g >= 0.0f)) g = 0.0f;
  if (g > 1.0f) g = 1.0f;
  const float Y = static_cast<float>(frac(std::fabs(par.blockfreq) * t));
  const float Z = static_cast<float>(frac(std::fabs(par.blockfreq) * blockwords * t));

  // Random font targets swap the two fonts for targframes frames.
  if (kind != OFF && par.fonttargprob != 0.0f && !s.targon && random() % s.framespertarg == 0) {
    s.targon = 1;
    s.targframesleft = par.targframes;
    logevent("FontEvent: %9.3lf    frms=%d\n", logtime(), par.targframes);
  }
  const int swapped = s.targon;
  if (s.targon && --s.targframesleft <= 0) s.targon = 0;
  // Timed targets colour the word.
  if (!s.timedon && s.nexttarg < par.targtimescnt && s.nexttarg < static_cast<int>(par.targtimeslist.size()) &&
      t >= par.targtimeslist[s.nexttarg]) {
    s.timedon = 1;
    s.nexttarg++;
    s.targendtime = t + par.targframes * par.framedur;
    logevent("FontEvent: %9.3lf    frms=%d\n", logtime(), par.targframes);
  }
  if (s.timedon && t >= s.targendtime) s.timedon = 0;
  const float grey = s.timedon ? par.texttargcol : par.textcol;

  if (Y < s.lastY && kind != OFF) {
    s.currline = s.lastline[kind] + 1;
    if (s.currline >= wordlinecnt) s.currline = 0;
    s.nb = blockwords < static_cast<int>(page.size()) ? blockwords : static_cast<int>(page.size());
    const float x0 = linestart(s.avg);
    const float y0 = s.ilinespacing * 0.5f * s.avg.avglinesperblock;
    s.lastline[kind] = layoutpage(paragraphs, widthsperlines, s.currline, s.nb, x0, y0, s.ilinespacing, s.xspace, page.data());
    if (par.fixdurwidthmodflag)
      wordendphases(page.data(), s.nb, s.avg.minwidth, s.avg.avgwordwidth, s.xspace, par.fixdurmodfrac,
                    wordendblockphase.data());
  }
  s.lastY = Y;

  if (kind == OFF) {
    drawfixation(0.0f, 0.0f, 0.0f, grey, t);
    return;
  }
  const CurrentWord cw = currentword(par.fixdurwidthmodflag ? wordendblockphase.data() : nullptr, s.nb, Y, Z);

  glPushMatrix();
  glScalef(s.winscale, s.winscale, 1.0f);
  FixMark dotmark;
  dotmark.shrink = s.winscale;  // the mark keeps its size under the page scale
  // Every word but the current one is a box, all in one batch.
  glColor3f(par.textboxcol, par.textboxcol, par.textboxcol);
  glBegin(GL_QUADS);
  for (int i = 0; i < s.nb; i++) {
    if (i == cw.o) continue;
    const PageWord& w = page[i];
    glVertex2f(w.x, w.y);
    glVertex2f(w.x + w.w, w.y);
    glVertex2f(w.x + w.w, w.y + s.ifontsize);
    glVertex2f(w.x, w.y + s.ifontsize);
  }
  glEnd();
  if (cw.e < g && cw.o < s.nb) {
    const PageWord& w = page[cw.o];
    glColor3f(grey, grey, grey);
    if (kind == PARA || kind == FONT) {
      const int fontnum = (kind == FONT) != (swapped != 0) ? 1 : 0;
      const float size = par.avgfontsize * s.winscale * (fontnum == 1 ? par.font2to1scale : 1.0f);
      drawstr(w.text, w.x, w.y + 0.15f * s.ifontsize, size, 0, fontnum);
    } else if (kind == DOT) {
      drawfixation(w.x + w.w / 2.0f, w.y + s.ifontsize / 2.0f, 0.0f, grey, t, dotmark);
    }
  }
  glPopMatrix();
}
