#include "text/wordlists.h"

#include "config/params.h"
#include "config/textfile.h"
#include "core/projection.h"
#include "core/xit.h"
#include "draw/fonts.h"
#include "text/reading.h"
#include "text/wordstims.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

std::vector<std::string> linelist;
int wordlinecnt = 0;
std::vector<std::vector<std::string>> paragraphs;
std::vector<int> wordsperlines;
std::vector<std::vector<float>> widthsperlines;
std::vector<int> wordsperblocks;
int maxwordsperblock = 0;
int charcnts[26] = {};
std::vector<int> freqcharlist;
int charcnt = 0;
float wordavglen = 0.0f;

namespace {

std::vector<int> linenumbers;  // file line of each entry of linelist
bool parsed = false;
char loadedfile[TEXTLEN] = "";

std::string message(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string message(const char* fmt, ...) {
  char buf[2 * TEXTLEN + 2 * MAXWORDLINE];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  return buf;
}

[[noreturn]] void fatallines(const std::vector<std::string>& lines) {
  for (const std::string& l : lines) std::printf("%s", l.c_str());
  xit(1);
}

}  // namespace

WordFile readwordfile(const char* path) {
  WordFile w;
  const char* why = nullptr;
  FILE* f = openregular(path, "rb", &why);
  if (!f) {
    if (why)
      w.errors.push_back(message("vistrum: ### %s is not a regular file (%s)\n", path, why));
    else
      w.errors.push_back(message("vistrum: ### %s not found\n", path));
    w.errors.push_back("vistrum: ### use: -wordfile <filename>\n");
    return w;
  }
  std::string line;
  bool toolong = false;
  for (int lineno = 1; readtextline(f, line, MAXWORDLINE, &toolong); lineno++) {
    if (!line.empty() && line[0] == '#') {
      // A comment may be of any length: skip the rest of a long one.
      if (toolong) skiptextline(f);
      continue;
    }
    if (toolong) {
      w.errors.push_back(message("vistrum: ### %s line %d: longer than %d characters (one word, sentence or text line per line)\n",
                                 path, lineno, MAXWORDLINE));
      break;
    }
    const int bad = badutf8(line);
    if (bad >= 0) {
      w.errors.push_back(message("vistrum: ### %s line %d: byte 0x%02x at character %d is not UTF-8 text\n", path,
                                 lineno, static_cast<unsigned char>(line[bad]), bad + 1));
      break;
    }
    w.lines.push_back(line);
    w.linenos.push_back(lineno);
  }
  if (w.errors.empty() && std::ferror(f)) w.errors.push_back(message("vistrum: ### can't read %s\n", path));
  std::fclose(f);
  if (w.errors.empty() && w.lines.empty()) w.errors.push_back(message("vistrum: ### no words in %s\n", path));
  if (!w.errors.empty()) {
    w.lines.clear();
    w.linenos.clear();
  }
  return w;
}

int readwords(const char* path) {
  WordFile w = readwordfile(path);
  if (!w.errors.empty()) fatallines(w.errors);
  linelist = std::move(w.lines);
  linenumbers = std::move(w.linenos);
  std::snprintf(loadedfile, sizeof loadedfile, "%s", path);
  std::printf("vistrum: read %d wordlines from:\n", static_cast<int>(linelist.size()));
  std::printf("vistrum:   %s\n", path);
  return static_cast<int>(linelist.size());
}

int wordfilelineno(int i) {
  return i >= 0 && i < static_cast<int>(linenumbers.size()) ? linenumbers[i] : i + 1;
}

std::vector<std::string> splitwordline(const std::string& line) {
  std::vector<std::string> tokens;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) i++;
    if (i >= line.size()) break;
    size_t j = i;
    while (j < line.size() && line[j] != ' ' && line[j] != '\t') j++;
    std::string tok = line.substr(i, j - i);
    if (tok == "<pause>" || tok == "<p>") tok = " ";
    tokens.push_back(tok);
    i = j;
  }
  return tokens;
}

bool isblockend(const std::string& token) { return token == "<endpara>" || token == "<e>"; }

ParaTables buildparatables(const std::vector<std::string>& lines, const std::vector<int>& linenos,
                           const char* file, int wordsperblock, int condlistcnt,
                           const std::function<float(const char*)>& width) {
  ParaTables p;
  if (wordsperblock > 0) {
    p.wordsperblocks.assign(condlistcnt > 0 ? condlistcnt : 1, wordsperblock);
    p.maxwordsperblock = wordsperblock;
  }
  int inblock = 0;
  for (size_t l = 0; l < lines.size(); l++) {
    const int lineno = l < linenos.size() ? linenos[l] : static_cast<int>(l) + 1;
    std::vector<std::string> tokens = splitwordline(lines[l]);
    std::vector<float> widths;
    for (const std::string& tok : tokens) {
      for (unsigned char ch : tok)
        if (ch >= 0x80) {
          p.errors.push_back(message("vistrum: ### parsewords: non-ASCII char in non-comment line %d:\n", lineno));
          p.errors.push_back(message("vistrum: ### %s line %d: %s\n", file, lineno, lines[l].c_str()));
          return p;
        }
      if (static_cast<int>(tok.size()) > MAXWORDTOKEN) {
        p.errors.push_back(message("vistrum: ### %s line %d: a word longer than %d characters\n", file, lineno, MAXWORDTOKEN));
        return p;
      }
      widths.push_back(width(tok.c_str()));
      if (isblockend(tok)) {
        if (wordsperblock != 0) {
          p.errors.push_back("vistrum: ### parsewords: <endpara> but wordsperblock!=0\n");
          p.errors.push_back("vistrum: ### use either:\n");
          p.errors.push_back("vistrum: ### (1) wordsperblock=0, use <endpara> markup:\n");
          p.errors.push_back("vistrum: ### (2) wordsperblock!=0, no <endpara> markup:\n");
          return p;
        }
        p.blockmarks++;
        if (p.blockmarks > condlistcnt) {
          p.errors.push_back(message("vistrum: ### less conds (%d) than wordfile blocks (%d)\n", condlistcnt, p.blockmarks));
          return p;
        }
        p.wordsperblocks.push_back(inblock);
        if (inblock > p.maxwordsperblock) p.maxwordsperblock = inblock;
        inblock = 0;
      } else {
        inblock++;
        p.totalwords++;
      }
    }
    p.wordsperlines.push_back(static_cast<int>(tokens.size()));
    p.paragraphs.push_back(std::move(tokens));
    p.widthsperlines.push_back(std::move(widths));
  }
  if (wordsperblock == 0 && p.blockmarks == 0)
    p.errors.push_back("vistrum: ### wordsperblock=0 but no <endpara>'s in wordfile\n");
  return p;
}

void parsewords() {
  if (linelist.empty()) fatal("vistrum: ### parsewords: 1st readwords\n");
  if (parsed) fatal("vistrum: ### parsewords: currently can't re-parse words\n");
  const float unitsperpixel = 2.0f * windowextents(par.winxgl, par.winygl).iwinxgl / static_cast<float>(par.winxgl);
  const float size = std::rint(par.avgfontsize);
  ParaTables p = buildparatables(linelist, linenumbers, loadedfile, par.wordsperblock, par.condlistcnt,
                                 [&](const char* tok) { return measurestr(tok, size, 0) * unitsperpixel; });
  if (!p.errors.empty()) fatallines(p.errors);
  paragraphs = std::move(p.paragraphs);
  wordsperlines = std::move(p.wordsperlines);
  widthsperlines = std::move(p.widthsperlines);
  wordsperblocks = std::move(p.wordsperblocks);
  maxwordsperblock = p.maxwordsperblock;
  parsed = true;
  if (p.totalwords < maxwordsperblock)
    fatal("vistrum: ### %s: %d words, but a block shows %d (-wordsperblock)\n", loadedfile, p.totalwords,
          maxwordsperblock);
  const float avg = linelist.empty() ? 0.0f : static_cast<float>(p.totalwords) / static_cast<float>(linelist.size());
  std::printf("vistrum: %2.1f avg words per line\n", avg);
}

LetterStats letterstats(const std::vector<std::string>& lines, int words) {
  LetterStats s;
  const int n = words < static_cast<int>(lines.size()) ? words : static_cast<int>(lines.size());
  long total = 0;
  for (int i = 0; i < n; i++) {
    total += static_cast<long>(lines[i].size());
    for (char c : lines[i]) {
      if (c >= 'a' && c <= 'z') s.counts[c - 'a']++;
      else if (c >= 'A' && c <= 'Z') s.counts[c - 'A']++;
    }
  }
  for (int k = 0; k < 26; k++) {
    s.letters += s.counts[k];
    s.freqchars.insert(s.freqchars.end(), s.counts[k], k);
  }
  s.avglen = n > 0 ? static_cast<float>(total) / static_cast<float>(n) : 0.0f;
  return s;
}

int wordscharfreqs(int words, float* avglen) {
  LetterStats s = letterstats(linelist, words);
  std::memcpy(charcnts, s.counts, sizeof charcnts);
  std::printf("vistrum: letter freqs (%d words, %d letters) collapsed across case\n", words, s.letters);
  for (int k = 0; k < 26; k++) std::printf("%c = %d\n", 'a' + k, s.counts[k]);
  freqcharlist = std::move(s.freqchars);
  *avglen = s.avglen;
  std::printf("vistrum: average word length: %2.3f\n", s.avglen);
  return s.letters;
}

void loadwordlists(bool sentenceblocks) {
  if (par.wordfile[0] != '.' && par.wordfile[0] != '/') {
    char full[2 * TEXTLEN + 2];
    std::snprintf(full, sizeof full, "%s/%s", par.worddir, par.wordfile);
    if (std::strlen(full) >= sizeof par.wordfile)
      fatal("vistrum: ### word file path longer than %d characters: %s\n", TEXTLEN - 1, full);
    std::strcpy(par.wordfile, full);
  }
  wordlinecnt = readwords(par.wordfile);
  preparewordstims(sentenceblocks);
}

void preparereadingblocks() {
  if (par.condlistcnt == 0) {
    par.condlist = {1, 2};
    par.condlistcnt = 2;
  }
  parsewords();
  preparereading();
}

void prepareletterfreqs() {
  charcnt = wordscharfreqs(wordlinecnt, &wordavglen);
  if (charcnt == 0) fatal("vistrum: ### no letters a-z in %s: the pseudo-words are made of them\n", par.wordfile);
}

void checkwordsfit(const std::vector<std::string>& texts, float size, int fontnum) {
  const int maxpx = par.winxgl;
  for (size_t i = 0; i < texts.size(); i++) {
    const float w = measurestr(texts[i].c_str(), size, fontnum);
    if (w > static_cast<float>(maxpx))
      fatal("vistrum: ### %s line %d: \"%s\" is %d pixels wide at size %d, wider than the %d-pixel window\n",
            par.wordfile, wordfilelineno(static_cast<int>(i)), linelist[i].c_str(), static_cast<int>(std::ceil(w)),
            static_cast<int>(std::rint(size)), maxpx);
  }
}
