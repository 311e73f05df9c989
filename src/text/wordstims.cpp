#include "text/wordstims.h"

#include "config/condseq.h"
#include "config/params.h"
#include "core/angles.h"
#include "core/benchlayers.h"
#include "core/eventlog.h"
#include "core/mouse.h"
#include "core/runstate.h"
#include "core/timer.h"
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

constexpr int NEVER = 100000000;  // words per target when targets are off

double uniform() { return random() * (1.0 / 2147483648.0); }
double frac(double x) { return x - std::floor(x); }

// Per-run tables sized before the run, so the frame loop allocates nothing.
std::vector<int> wordorder;               // permutation of the word lines
std::vector<std::string> fontforms;       // transliterated lines ("" when not A..Z)
std::vector<char> fontformok;
std::vector<int> fonttargs;               // target word numbers, block order
std::vector<int> condkinds;               // per condition name, its kind (-1 unknown)

// Words used by the sequential word streams, in order (shuffled or not).
void fillwordorder(int shuffleflag) {
  for (int i = 0; i < wordlinecnt; i++) wordorder[i] = i;
  if (shuffleflag) shuffle(wordorder.data(), wordlinecnt);
}

const char* wordline(int counter) {
  if (wordlinecnt <= 0) return "";
  return linelist[static_cast<size_t>(counter % wordlinecnt)].c_str();
}

void settextgrey(float g) { glColor3f(g, g, g); }

// Position of the polar words: radius r, y squeezed by poltextyfact.
void drawpolartext(const char* text, float r, float th, float size, int fontnum) {
  drawstr(text, r * std::cos(th), r * std::sin(th) * par.poltextyfact, size, 5, fontnum);
}

// The radius range of the polar words: minlett no nearer than minrad,
// maxlett no farther than maxrad.
void letterrange(float* lo, float* hi) {
  *lo = par.minlett < par.minrad ? par.minrad : par.minlett;
  *hi = par.maxlett > par.maxrad ? par.maxrad : par.maxlett;
}

float randomradius(float lo, float hi) { return lo + static_cast<float>(uniform()) * (hi - lo); }

[[noreturn]] void badcondition(int c, const char* valid) {
  const char* name = c >= 0 && c < static_cast<int>(par.condnames.size()) ? par.condnames[c].c_str() : "?";
  std::printf("vistrum: ### bad condition: %s\n", name);
  std::printf("%s\n", valid);
  xit(1);
}

// The kind of condition c among `names` (index), or -1.
int condkind(int c) { return c >= 0 && c < static_cast<int>(condkinds.size()) ? condkinds[c] : -1; }

void mapconditions(const std::vector<const char*>& names) {
  condkinds.assign(par.condnames.size(), -1);
  for (size_t c = 0; c < par.condnames.size(); c++)
    for (size_t k = 0; k < names.size(); k++)
      if (par.condnames[c] == names[k]) condkinds[c] = static_cast<int>(k);
}

PolWordState polword;
WordStimState wordstims;

// One-back draw: whether a target is due at this new word.
bool onebackdue(int perword) {
  if (par.onebacktargprob == 0.0f) return false;
  return random() % perword == 0;
}

float rmaxof(float lo, float hi) { return lo > hi ? lo : hi; }

}  // namespace


bool secondtwocond(double t, float twofreq) {
  const long long b = static_cast<long long>(twofreq * t);  // truncated towards zero
  return twofreq >= 0.0f ? (b % 2 != 0) : (b % 2 == 0);
}

bool hasink(const char* text) {
  for (; *text; text++)
    if (*text != ' ' && *text != '\t') return true;
  return false;
}

const char* twocondname(int cond, const char* first, const char* second) {
  if (par.condnames.size() == 2) return par.condnames[cond ? 1 : 0].c_str();
  return cond ? second : first;
}

int wordspertarg(float twofreq, double wordlen, float prob) {
  const double w = 2.0 / twofreq / wordlen / prob;
  if (!std::isfinite(w) || std::fabs(w) >= NEVER) return NEVER;
  const int n = static_cast<int>(std::fabs(w));
  return n < 1 ? 1 : n;
}

void makepseudoword(char* out, int cap, float avglen, const int* freqchars, int n) {
  int len = static_cast<int>(std::rint(avglen + 4.0 * uniform()));
  if (len > cap - 1) len = cap - 1;
  if (len < 0) len = 0;
  for (int i = 0; i < len; i++)
    out[i] = (i % 2 == 0 && n > 0) ? static_cast<char>('a' + freqchars[random() % n]) : ' ';
  out[len] = '\0';
}

int numdilnumber(double t, float numfreq) {
  const double d = frac(std::fabs(numfreq) * t);
  const int k = static_cast<int>(8.0 * d);
  return numfreq >= 0.0f ? k + 1 : 8 - k;
}

float numdilradius(float e) {
  if (!par.exptransflag) return par.maxrad * e;
  const double a = std::pow(par.maxrad / par.minrad, 1.0 / (par.maxrad - par.minrad));
  return static_cast<float>(par.minrad * std::pow(a, par.maxrad * e - par.minrad));
}

bool transliterate(const std::string& word, std::string* out) {
  static const int alphabet[26] = {915, 916, 923, 928, 931, 934, 936, 937, 948, 952, 955, 1026, 1041,
                                   1048, 1060, 1063, 1067, 1068, 915, 916, 923, 928, 931, 934, 936, 937};
  out->clear();
  for (char c : word) {
    if (c < 'A' || c > 'Z') return false;
    if (static_cast<int>(out->size()) + 2 > MAXFONTWORD) break;
    const int cp = alphabet[c - 'A'];  // all below 0x800: two UTF-8 bytes
    out->push_back(static_cast<char>(0xc0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3f)));
  }
  return true;
}

double fontwordsperblock(float blockfreq, double wordlen) {
  const double w = 1.0 / std::fabs(blockfreq) / wordlen;
  return std::isfinite(w) && w < NEVER ? w : NEVER;
}

std::vector<int> fonttargetplan(const std::vector<int>& condlist, const std::vector<std::string>& names, double w,
                                bool shuffleflags) {
  auto kindof = [&](int c) -> int {  // 1 word, 2 font, 0 other
    if (c < 0 || c >= static_cast<int>(names.size())) return 0;
    return names[c] == "word" ? 1 : names[c] == "font" ? 2 : 0;
  };
  std::vector<int> flags[3];
  for (int c : condlist) {
    const int k = kindof(c);
    if (k) flags[k].push_back(0);
  }
  for (int k = 1; k <= 2; k++) {
    const int n = static_cast<int>(flags[k].size());
    for (int i = 0; i < n; i++) flags[k][i] = i <= static_cast<int>(0.6 * (n - 1)) ? 1 : 0;
    if (shuffleflags && n > 1) shuffle(flags[k].data() + 1, n - 1);
  }
  std::vector<int> plan;
  const int span = static_cast<int>(0.75 * w);
  int b = 0, seen[3] = {0, 0, 0};
  for (int c : condlist) {
    const int k = kindof(c);
    if (!k) continue;
    if (flags[k][seen[k]++] && span > 0)
      plan.push_back(static_cast<int>(random() % span) + static_cast<int>((b + 0.22) * w));
    b++;
  }
  return plan;
}

void preparewordstims(bool sentenceblocks) {
  if (!sentenceblocks && !(par.textdur + par.gapdur > 0.0))
    fatal("vistrum: ### -textdur plus -gapdur must be above 0: they pace the words\n");
  wordorder.assign(static_cast<size_t>(wordlinecnt), 0);
}

void prepareeccwords() {
  float lo, hi;
  letterrange(&lo, &hi);
  checkwordsfit(linelist, eccfontsize(rmaxof(lo, hi)), 0);
}

void preparehemiwords() {
  prepareeccwords();
  mapconditions({"off", "wordsR", "wordsL", "wordsR+aud", "wordsL+aud"});
}

void prepareletterwords() {
  prepareletterfreqs();
  checkwordsfit(linelist, eccfontsize(rmaxof(par.minrad, par.maxrad)), 0);
}

void preparefontwords() {
  const float size = eccfontsize(rmaxof(par.minrad, par.maxrad));
  checkwordsfit(linelist, size, 0);
  if (fontcnt() < 2)
    fatal("vistrum: ### stimtype %d shows its second condition in a second font: give -fontfile2\n", par.stimtype);
  checkwordsfit(linelist, size * par.font2to1scale, 1);
}

void preparewordforms() {
  mapconditions({"off", "word", "font"});
  // Greek and Cyrillic letters are multibyte characters.
  changelocaleutf8(par.vistrumlocale);
  const double w = fontwordsperblock(par.blockfreq, par.textdur + par.gapdur);
  if (static_cast<int>(0.75 * w) == 0) fatal("vistrum: ### too few words/block:-textdur,-blockperiod\n");
  if (wordlinecnt < static_cast<int>(w))
    std::printf("vistrum: ### %s: %d words, fewer than the %d of a block: words repeat within a block\n",
                par.wordfile, wordlinecnt, static_cast<int>(w));
  fontforms.assign(static_cast<size_t>(wordlinecnt), std::string());
  fontformok.assign(static_cast<size_t>(wordlinecnt), 0);
  std::vector<std::string> valid(static_cast<size_t>(wordlinecnt));
  for (int i = 0; i < wordlinecnt; i++) {
    fontformok[i] = transliterate(linelist[i], &fontforms[i]) ? 1 : 0;
    if (fontformok[i]) valid[i] = fontforms[i];
  }
  checkwordsfit(linelist, par.avgfontsize, 0);
  checkwordsfit(valid, par.avgfontsize, 0);
  fonttargs.reserve(par.condlist.size());
}

void resetpolword(PolWordState& s) { s = PolWordState{}; }

PolWordState& polwordstate() { return polword; }

void resetwordstims(WordStimState& s) { s = WordStimState{}; }

WordStimState& wordstimstate() { return wordstims; }

void drawpolword(double t) { drawpolword(polword, t); }
void drawwordshemiaudrndblk(double t) { drawwordshemiaudrndblk(wordstims, t); }
void drawnumdil(double t) { drawnumdil(wordstims, t); }
void drawwordspacelett(double t, int shuffleflag) { drawwordspacelett(wordstims, t, shuffleflag); }
void drawwordsfont0font1(double t, int shuffleflag) { drawwordsfont0font1(wordstims, t, shuffleflag); }
void drawwordsfontoffrndblk(double t) { drawwordsfontoffrndblk(wordstims, t); }

void drawpolword(PolWordState& s, double t) {
  if (!layeron(kLayerLetters)) return;
  if (!s.started) {
    letterrange(&s.lo, &s.hi);
    s.r = randomradius(s.lo, s.hi);
    s.randth = static_cast<float>(TWOPI * uniform());
    s.fixth = static_cast<float>(TWOPI * frac(par.polfreq * (t + par.textdur / 2.0)));
    s.lastphase = wordpace(t, par.textdur, par.gapdur).phase;
    s.started = true;
  }
  const WordPace p = wordpace(t, par.textdur, par.gapdur);
  if (p.phase < s.lastphase) {
    s.r = randomradius(s.lo, s.hi);
    s.counter++;
    s.randth = static_cast<float>(TWOPI * uniform());
    if (par.fixwordflag) s.fixth = static_cast<float>(TWOPI * frac(par.polfreq * (t + par.textdur / 2.0)));
  }
  s.lastphase = p.phase;
  if (!p.visible) return;
  const bool randpolwordflag = par.stimtype == 63;
  if (randpolwordflag && secondtwocond(t, par.twofreq)) return;  // words vs. fixation
  float th = par.fixwordflag ? s.fixth : static_cast<float>(std::fmod(par.polfreq * t * TWOPI, TWOPI));
  if (!par.centerpolflag) th += par.polwidth / 2.0f;
  if (randpolwordflag) th += s.randth;
  settextgrey(par.textcol);
  drawpolartext(wordline(s.counter), s.r, th, eccfontsize(s.r), 0);
}

void drawwordshemiaudrndblk(WordStimState& s, double t) {
  if (!s.started) {
    letterrange(&s.lo, &s.hi);
    s.r = randomradius(s.lo, s.hi);
    s.th = 0.0f;
    s.counter = 0;
    s.lastcond = -2;
    s.lastphase = wordpace(t, par.textdur, par.gapdur).phase;
    restartcondseq();  // a new block design
    s.started = true;
  }
  const int c = getlogcondition(t, par.condcnt);
  if (c < 0) return;
  const int kind = condkind(c);
  if (kind < 0) badcondition(c, "vistrum: [off,wordsR,wordsL,wordsR+aud,wordsL+aud]");
  // Right for wordsR and wordsR+aud, left for wordsL and wordsL+aud.
  const float centre = (kind == 2 || kind == 4) ? static_cast<float>(M_PI) : 0.0f;
  auto newplace = [&s, centre] {
    s.r = randomradius(s.lo, s.hi);
    s.th = centre + static_cast<float>(uniform() * M_PI / 2.0 - M_PI / 4.0);
  };
  const WordPace p = wordpace(t, par.textdur, par.gapdur);
  if (p.phase < s.lastphase) {
    s.counter++;
    newplace();
  }
  if (c != s.lastcond) newplace();
  s.lastphase = p.phase;
  s.lastcond = c;
  if (kind == 0 || !p.visible) return;
  const float drawth = par.centerpolflag ? s.th : s.th + par.polwidth / 2.0f;
  settextgrey(par.textcol);
  drawpolartext(wordline(s.counter), s.r, drawth, eccfontsize(s.r), 0);
}

namespace {

void startstream(WordStream& s, int shuffleflag) {
  fillwordorder(shuffleflag);
  s.current[0] = s.previous[0] = '\0';
  s.second = false;
  s.loggedcond = -1;
  s.previousshown = false;
  s.index = -1;
  s.lastphase = 1.001f;  // the first frame starts the first word
  s.perword = wordspertarg(par.twofreq, par.textdur + par.gapdur, par.onebacktargprob);
}

// Advances the stream at a new word: true when this frame starts one.
bool streamstep(WordStream& s, double t, WordPace* p) {
  *p = wordpace(t, par.textdur, par.gapdur);
  const bool isnew = p->phase < s.lastphase;
  s.lastphase = p->phase;
  if (isnew && wordlinecnt > 0) s.index = (s.index + 1) % wordlinecnt;
  return isnew;
}

void nextrealword(WordStream& s) {
  std::snprintf(s.current, sizeof s.current, "%s", linelist[static_cast<size_t>(wordorder[s.index])].c_str());
}

// A due target repeats the previous item only when the subject saw it and
// sees this one (`visible`: the item shows from its first frame): a repeat
// of a blank, or one that never shows, is no target. The draw is made
// either way, so the random stream does not depend on what was shown.
void applyoneback(WordStream& s, bool visible) {
  const bool due = onebackdue(s.perword);
  if (due && visible && s.previousshown) {
    std::memcpy(s.current, s.previous, sizeof s.current);
    logevent("1BakEvent: %8.3lf\n", logtime());
  }
  std::memcpy(s.previous, s.current, sizeof s.previous);
  s.previousshown = visible && hasink(s.current);
}

// The block's condition goes to the log with the first item that shows it.
void logstreamcond(WordStream& s, const char* first, const char* second) {
  const int cond = s.second ? 1 : 0;
  if (cond == s.loggedcond) return;
  s.loggedcond = cond;
  logevent("StimEvent: %8.3lf   %s (%d)\n", logtime(), twocondname(cond, first, second), cond);
}

}  // namespace

void drawwordspacelett(WordStimState& state, double t, int shuffleflag) {
  WordStream& s = state.stream;
  if (!state.started) {
    startstream(s, shuffleflag);
    state.started = true;
  }
  WordPace p;
  const bool second = secondtwocond(t, par.twofreq);
  if (streamstep(s, t, &p)) {
    s.second = second;
    logstreamcond(s, "words", "letters");
    if (!second)
      nextrealword(s);
    else
      makepseudoword(s.current, sizeof s.current, wordavglen, freqcharlist.data(), charcnt);
    applyoneback(s, p.visible);
    s.th = static_cast<float>(TWOPI * uniform());
    s.r = randomradius(par.minrad, par.maxrad);
  }
  if (!p.visible) return;
  settextgrey(par.textcol);
  drawpolartext(s.current, s.r, s.th, eccfontsize(s.r), 0);
}

void drawwordsfont0font1(WordStimState& state, double t, int shuffleflag) {
  WordStream& s = state.stream;
  if (!state.started) {
    startstream(s, shuffleflag);
    state.started = true;
  }
  WordPace p;
  if (streamstep(s, t, &p)) {
    // The font belongs to the word: a block that changes while the word
    // shows changes it from the next word on.
    s.second = secondtwocond(t, par.twofreq);
    logstreamcond(s, "font1", "font2");
    nextrealword(s);
    applyoneback(s, p.visible);
    double lowangle = 0.0, highangle = TWOPI;
    if (par.ipsirange != 0.0f) {
      const double centre = par.ipsirange > 0.0f ? M_PI : 0.0;
      lowangle = centre - std::fabs(par.ipsirange) / 2.0;
      highangle = centre + std::fabs(par.ipsirange) / 2.0;
    }
    s.th = static_cast<float>(lowangle + uniform() * (highangle - lowangle));
    s.r = randomradius(par.minrad, par.maxrad);
  }
  if (!p.visible) return;
  settextgrey(par.textcol);
  const float size = eccfontsize(s.r);
  if (s.second)
    drawpolartext(s.current, s.r, s.th, size * par.font2to1scale, 1);
  else
    drawpolartext(s.current, s.r, s.th, size, 0);
}

void drawwordsfontoffrndblk(WordStimState& s, double t) {
  const double L = par.textdur + par.gapdur;
  if (!s.started) {
    s.w = fontwordsperblock(par.blockfreq, L);
    std::printf("vistrum: %2.1f words/block\n", s.w);
    fillwordorder(par.shuffwordsflag);
    int nword = 0, nfont = 0, noff = 0;
    for (int c : par.condlist) {
      const int k = condkind(c);
      nword += k == 1;
      nfont += k == 2;
      noff += k == 0;
    }
    std::printf("vistrum: word=%d font=%d off=%d\n", nword, nfont, noff);
    fonttargs = fonttargetplan(par.condlist, par.condnames, s.w, par.shuffwordsflag != 0);
    s.counter = -1;
    s.word = -1;
    s.nexttarg = 0;
    s.red = 0;
    s.lastphase = 1.001f;  // the first word starts on the first frame
    restartcondseq();  // a new block design
    s.started = true;
  }
  const int c = getlogcondition(t, par.condcnt);
  if (c < 0) return;
  const int kind = condkind(c);
  if (kind < 0) badcondition(c, "vistrum: [off,word,font]");
  const float p = static_cast<float>(frac(std::fabs(par.blockfreq) * s.w * t));
  const bool wrapped = p < s.lastphase;
  s.lastphase = p;
  if (kind != 0) {
    if (wrapped && wordlinecnt > 0) {
      s.counter++;
      s.word = wordorder[s.counter % wordlinecnt];
      s.red = s.nexttarg < static_cast<int>(fonttargs.size()) && s.counter == fonttargs[s.nexttarg];
      if (s.red) {
        logevent("FontEvent: %8.3lf   red\n", logtime());
        s.nexttarg++;
      }
    }
    if (s.word >= 0 && p < static_cast<float>(par.textdur / L)) {
      const char* text = linelist[s.word].c_str();
      if (kind == 2) {
        if (!fontformok[s.word]) {
          std::printf("vistrum: non-upper char\n");
          fatal("vistrum: ### %s line %d: \"%s\": the font condition needs capitals A-Z only\n", par.wordfile,
                wordfilelineno(s.word), text);
        }
        text = fontforms[s.word].c_str();
      }
      if (s.red)
        glColor3f(par.textcol, par.greenbluedim, par.greenbluedim);
      else
        settextgrey(par.textcol);
      drawstr(text, 0.0f, 0.0f, par.avgfontsize, 5, 0);
      return;
    }
  }
  drawfixation(0.0f, 0.0f, 0.0f, par.fixbright, t);
}

void drawnumdil(WordStimState& s, double t) {
  if (!s.started) {
    s.sweepfreq = 8.0f * par.sweepspernum * par.polfreq;
    s.lastphase = 1.001f;
    s.th = s.rot = 0.0f;
    s.targ = 0;
    s.offset = 1;
    s.started = true;
  }
  const int n = numdilnumber(t, par.numfreq);
  const float e = static_cast<float>(frac(static_cast<double>(s.sweepfreq) * t));
  if (e < s.lastphase) {
    s.th = static_cast<float>(TWOPI * uniform());
    s.rot = static_cast<float>(uniform() * 4.0 * M_PI / 3.0 - 2.0 * M_PI / 3.0);
    // A count of zero or less means no targets.
    s.targ = par.sweepspertarg > 0 && random() % par.sweepspertarg == 0;
    s.offset = uniform() < 0.5 ? -1 : 1;
    if (s.targ) logevent("NumEvent: %9.3lf   %d\n", logtime(), s.offset);
  }
  s.lastphase = e;
  const float r = numdilradius(e);
  const float size = eccfontsize(r);
  char num[16];
  settextgrey(par.textcol);
  for (int j = 0; j < par.simulnums; j++) {
    const double a = TWOPI * j / par.simulnums + s.th + e * s.rot;
    const bool last = j == par.simulnums - 1;
    std::snprintf(num, sizeof num, "%d", last && s.targ ? n + s.offset : n);
    drawstrscaled(num, static_cast<float>(r * std::cos(a)), static_cast<float>(r * std::sin(a)), size, 5, 0);
  }
}

void drawrightleftcue(double t) {
  const float bf = std::fabs(par.blockfreq);
  const double d = std::fmod(bf * t, 2.0);
  const double e = par.rightleftcuedur * bf;
  const bool rightfirst = par.blockfreq >= 0.0f;
  const char* cue = nullptr;
  if (d < e) cue = rightfirst ? "right" : "left";
  else if (d > 1.0 && d < 1.0 + e) cue = rightfirst ? "left" : "right";
  if (!cue) return;
  glColor3f(1.0f, 1.0f, 1.0f);
  if (par.mousectrlflag) {
    glPushMatrix();
    cent2mouse();
  }
  drawstr(cue, 0.0f, 0.0f, par.exptfontsize, 5, 0);
  if (par.mousectrlflag) glPopMatrix();
}
