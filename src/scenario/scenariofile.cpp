#include "scenario/scenariofile.h"

#include "config/textfile.h"
#include "core/numbers.h"
#include "core/projection.h"
#include "draw/fonts.h"
#include "scenario/palfile.h"
#include "scenario/scnerror.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

ExptFrame* exptframes = nullptr;
int exptframecnt = 0;
int exptsndflag = 0;
char exptpath[2 * TEXTLEN] = "";

namespace {

constexpr double MAXFIELDMS = 1e8;  // about 28 hours per SOA or duration
constexpr int MAXOFFPIX = 100000;
constexpr float MAXSIZEPIX = 10000.0f;
constexpr int MAXUTF8BYTES = 196;

int filledslots = 0;  // slots holding allocated items (what freeexpt releases)

struct Line {
  std::string text;
  int lineno;
};

// Where an error happened, after the message itself.
bool at(std::string& err, int lineno, const char* name) {
  return scnfail(err, "vistrum: ### at line %d of %s\n", lineno, name);
}

// `what` may be empty when the caller already wrote the message line.
bool badline(std::string& err, const char* what, const Line& l, const char* name) {
  if (*what) scnfail(err, "%s\n", what);
  scnfail(err, "  ==> %s  ...quitting\n", l.text.c_str());
  return at(err, l.lineno, name);
}

bool isblank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::vector<std::string> split(const char* s) {
  std::vector<std::string> out;
  while (*s) {
    while (*s && isblank(*s)) s++;
    const char* b = s;
    while (*s && !isblank(*s)) s++;
    if (s > b) out.emplace_back(b, s);
  }
  return out;
}

// Reads the whole file as lines (LF, CR LF or CR ends one); comment and
// empty lines are dropped here. A line past the buffer or holding a NUL
// byte is an error (a piece of a long line parsed as a line of its own
// would become a wrong event).
std::map<int, std::string> codenames;

// "#code <n> <name>": a comment to older readers, so a scenario that names
// its codes still plays everywhere. The name is one word, as the events
// table's trial types are.
void namecode(const std::string& line, int lineno, const char* file) {
  char word[EXPTLINELEN];
  int code = 0, used = 0;
  if (std::sscanf(line.c_str(), "#code %d %298s %n", &code, word, &used) == 2 &&
      line.find_first_not_of(" \t\r\n", used) == std::string::npos) {
    codenames[code] = word;
    return;
  }
  std::printf("vistrum: ### line %d of %s: \"#code\" wants a code and a one-word name: read as a comment\n", lineno,
              file);
}

bool readlines(FILE* f, const char* name, std::vector<Line>& out, std::string& err) {
  std::string cur;
  bool toolong = false;
  for (int lineno = 1; readtextline(f, cur, EXPTLINELEN - 1, &toolong); lineno++) {
    if (cur.find('\0') != std::string::npos)
      return scnfail(err, "vistrum: ### NUL byte in line %d of %s (not a text file?)\n", lineno, name);
    if (toolong)
      return scnfail(err, "vistrum: ### line %d of %s longer than %d characters\n", lineno, name, EXPTLINELEN - 1);
    if (cur.rfind("#code ", 0) == 0) namecode(cur, lineno, name);
    const bool skip = cur.empty() || cur[0] == '#' || cur.find_first_not_of(" \t\v\f") == std::string::npos;
    if (!skip) out.push_back({cur, lineno});
  }
  return true;
}

ExptItem* newitem(int slot, int index) {
  ExptItem* it = static_cast<ExptItem*>(std::calloc(1, sizeof(ExptItem)));
  if (!it) return nullptr;
  exptframes[slot].subframes[index] = it;
  exptframes[slot].subframecnt = index + 1;
  it->color = -1;
  it->size = -1.0f;
  return it;
}

// Slot 0 and the fixation records: the background image, or nothing.
bool fillfixslot(int slot, int color, int lblo, double endtime, std::string& err) {
  ExptFrame& fr = exptframes[slot];
  fr.subframes = static_cast<ExptItem**>(std::calloc(1, sizeof(ExptItem*)));
  fr.subframecnt = 0;
  filledslots = slot + 1;
  ExptItem* it = fr.subframes ? newitem(slot, 0) : nullptr;
  if (!it) return scnfail(err, "vistrum: ### can't malloc exptframes[%d].subframes[0]\n", slot);
  it->kind = par.bgimgfileflag ? KBGIMG : KBLANK;
  if (par.bgimgfileflag) std::strcpy(it->name, par.bgimgfile);
  it->color = color;
  it->lblo = lblo;
  fr.code = -1;
  fr.endtime = endtime;
  return true;
}

// The single word after "key=" (up to a blank); `rest` is what follows it.
bool wordvalue(const char* v, std::string& value, const char** rest) {
  const char* e = v;
  while (*e && !isblank(*e)) e++;
  value.assign(v, e);
  *rest = e;
  return !value.empty();
}

bool settext(ExptItem* it, const std::string& s, const Line& l, const char* name, std::string& err) {
  if (s.size() >= TEXTLEN) {
    scnfail(err, "vistrum: ### text or file name longer than %d characters:\n  ==> %s  ...quitting\n", TEXTLEN - 1,
            l.text.c_str());
    return at(err, l.lineno, name);
  }
  std::strcpy(it->name, s.c_str());
  return true;
}

// text= in its three forms; `rest` receives the option part.
bool parsetext(const char* line, const char* v, std::string& text, const char** rest, const Line& l, const char* name,
               std::string& err) {
  const bool escaped = std::strstr(line, "\\\"") != nullptr;
  if (*v == '"') {
    const char* close = escaped ? std::strrchr(line, '"') : std::strchr(v + 1, '"');
    if (!close || close == v) return badline(err, "vistrum: ### only found one quote on this line:", l, name);
    text.assign(v + 1, close);
    *rest = close + 1;
  } else {
    wordvalue(v, text, rest);
  }
  if (escaped)
    for (size_t k; (k = text.find("\\\"")) != std::string::npos;) text.replace(k, 2, "\"");
  return true;
}

// utf8d= / utf8h=: comma-separated code points into multibyte text.
bool parsecodepoints(const std::string& list, int base, std::string& text, const Line& l, const char* name,
                     std::string& err) {
  static bool localeset = false;
  if (!localeset) {
    changelocale(par.vistrumlocale);
    localeset = true;
  }
  std::vector<wchar_t> w;
  size_t p = 0;
  while (p <= list.size()) {
    size_t q = list.find(',', p);
    if (q == std::string::npos) q = list.size();
    const std::string f = list.substr(p, q - p);
    p = q + 1;
    if (f.empty()) continue;
    char* end = nullptr;
    errno = 0;
    const long cp = std::strtol(f.c_str(), &end, base);
    if (errno || *end || cp < 1 || cp > 0x10FFFF || f[0] == '-' || f[0] == '+')
      return badline(err, "vistrum: ### bad code point in this line:", l, name);
    w.push_back(static_cast<wchar_t>(cp));
  }
  w.push_back(L'\0');
  const size_t n = std::wcstombs(nullptr, w.data(), 0);
  if (n == static_cast<size_t>(-1))
    return badline(err, "vistrum: ### code points not convertible in this locale (-vistrumlocale):", l, name);
  if (n > MAXUTF8BYTES) return badline(err, "vistrum: ### more than 196 bytes of text in this line:", l, name);
  char buf[MAXUTF8BYTES + 1];
  std::wcstombs(buf, w.data(), sizeof buf);
  text = buf;
  return true;
}

bool badoption(const char* tok, const Line& l, const char* name, std::string& err) {
  scnfail(err, "vistrum: ### bad value in %s on this line:\n", tok);
  return badline(err, "", l, name);
}

// The option tokens after the item.
bool parseoptions(const char* rest, ExptItem* it, const Line& l, const char* name, std::string& err) {
  const Extents e = windowextents(par.winxgl, par.winygl);
  const std::vector<std::string> toks = split(rest);
  for (size_t k = 0; k < toks.size(); k++) {
    const char* t = toks[k].c_str();
    const char* eq = std::strchr(t, '=');
    if (!eq) continue;
    const std::string key(t, eq + 1);
    const char* v = eq + 1;
    const bool known = key == "color=" || key == "xoff=" || key == "yoff=" || key == "lblo=" || key == "font=" ||
                       key == "size=";
    if (!known) {
      // A misspelt key (colour=, yofs=) would silently leave its default.
      std::printf("vistrum: ### unknown option %s ignored (line %d of %s)\n", t, l.lineno, name);
      continue;
    }
    if (k >= MAXEXPTOPTS) {
      std::printf("vistrum: ### %s ignored: at most %d options after the item (line %d of %s)\n", t, MAXEXPTOPTS,
                  l.lineno, name);
      continue;
    }
    long n = 0;
    double x = 0.0;
    if (key == "color=") {
      if (!readwholeint(v, -1, PALCOLS - 1, &n)) return badoption(t, l, name, err);
      it->color = static_cast<int>(n);
    } else if (key == "xoff=" || key == "yoff=") {
      if (!readwholeint(v, -MAXOFFPIX, MAXOFFPIX, &n)) return badoption(t, l, name, err);
      if (key == "xoff=")
        it->xoff = static_cast<float>(n * 2.0 * e.iwinxgl / par.winxgl);
      else
        it->yoff = static_cast<float>(n * 2.0 * e.iwinygl / par.winygl);
    } else if (key == "lblo=") {
      if (!readwholeint(v, INT_MIN, INT_MAX, &n)) return badoption(t, l, name, err);
      it->lblo = static_cast<int>(n);
    } else if (key == "font=") {
      if (!readwholeint(v, INT_MIN, INT_MAX, &n)) return badoption(t, l, name, err);
      it->font = static_cast<int>(n);
      if (n < 0 || n >= fontcnt()) {
        std::printf("vistrum: ### font=0 used in place of unloaded font=%ld in line:\n  ==> %s\n", n, l.text.c_str());
        it->font = 0;
      }
    } else {
      if (!readwholereal(v, &x) || (x != -1.0 && (x <= 0.0 || x > MAXSIZEPIX))) return badoption(t, l, name, err);
      it->size = static_cast<float>(x);
    }
  }
  return true;
}

enum Keyword { KW_TEXT, KW_RGB, KW_PGI, KW_TTL, KW_UTF8D, KW_UTF8H, KW_BIG5H, KW_SND, KW_NONE };

// One item line (the first line of an event or a continued one).
bool parseitem(const Line& l, ExptItem* it, int* ttlcnt, const char* name, std::string& err) {
  static const char* const kws[] = {"text=", "rgb=", "pgi=", "ttl=", "utf8d=", "utf8h=", "big5h=", "snd="};
  const char* line = l.text.c_str();
  int kw = KW_NONE;
  const char* p = nullptr;
  for (int k = 0; k < KW_NONE && !p; k++)
    if ((p = std::strstr(line, kws[k]))) kw = k;
  if (kw == KW_NONE) return badline(err, "vistrum: ### unrecognized line:", l, name);
  const char* v = p + std::strlen(kws[kw]);
  const char* rest = v;
  std::string value;
  if (kw == KW_TEXT) {
    it->kind = KTEXT;
    it->lblo = 5;
    if (!parsetext(line, v, value, &rest, l, name, err)) return false;
    // Other bytes (Latin-1, say) would be drawn as boxes eating their neighbours.
    const int bad = badutf8(value);
    if (bad >= 0) {
      scnfail(err, "vistrum: ### text= is not UTF-8 (byte 0x%02x at character %d) in this line:\n",
              static_cast<unsigned char>(value[bad]), bad + 1);
      return badline(err, "", l, name);
    }
  } else if (kw == KW_BIG5H) {
    it->kind = KTEXT;  // carries no value of its own: an empty text
    it->lblo = 5;
  } else {
    if (!wordvalue(v, value, &rest)) {
      scnfail(err, "vistrum: ### nothing after %s on this line:\n", kws[kw]);
      return badline(err, "", l, name);
    }
    switch (kw) {
      case KW_RGB:
        it->kind = KRGB;
        if (value[0] != '.' && value[0] != '/') value = std::string(par.tiffdir) + "/" + value;
        break;
      case KW_PGI:
        it->kind = KPGI;
        it->lblo = 5;
        break;
      case KW_SND:
        it->kind = KSND;
        exptsndflag = 1;
        break;
      case KW_TTL: {
        it->kind = KTTL;
        long bit = 0;
        if (!readwholeint(value.c_str(), 1, par.airtubes, &bit)) {
          scnfail(err, "vistrum: ### bad ttlbit: %s (OK:1-%d) this line:\n", value.c_str(), par.airtubes);
          return badline(err, "", l, name);
        }
        if (++*ttlcnt > 1) return badline(err, "vistrum: ### only one airpuff per frame: bad line:", l, name);
        it->ttlbit = static_cast<int>(bit);
        value.clear();
        break;
      }
      default: {  // utf8d= / utf8h=
        it->kind = KTEXT;
        it->lblo = 5;
        const std::string list = value;
        if (!parsecodepoints(list, kw == KW_UTF8D ? 10 : 16, value, l, name, err)) return false;
      }
    }
  }
  if (!settext(it, value, l, name, err)) return false;
  it->lineno = l.lineno;
  return parseoptions(rest, it, l, name, err);
}

// The timing fields of a new-event line.
bool parsetiming(const Line& l, double* soa, double* dur, int* code, const char* name, std::string& err) {
  const std::vector<std::string> f = split(l.text.c_str());
  const size_t need = par.usesxcodeflag ? 4 : 3;
  long c = -1;
  if (f.size() < need || !parsems(f[0].c_str(), soa) || !parsems(f[1].c_str(), dur) ||
      (par.usesxcodeflag && !readwholeint(f[2].c_str(), INT_MIN, INT_MAX, &c)))
    return badline(err, "vistrum: ### couldn't parse this line:", l, name);
  if (par.sxcode2ttlflag && c != -1 && (c < 0 || c > 255))
    return badline(err, "vistrum: ### code not sendable as a byte (-sxcode2ttl: 0-255) in this line:", l, name);
  *code = static_cast<int>(c);
  return true;
}

}  // namespace

bool endsinplus(const char* line) {
  const char* last = nullptr;
  for (const char* s = line; *s; s++)
    if (*s != ' ' && *s != '\t' && *s != '\r' && *s != '\n') last = s;
  return last && *last == '+';
}

bool parsems(const char* field, double* ms) {
  const bool frames = field[0] == 'f';
  double v = 0.0;
  if (!readwholereal(frames ? field + 1 : field, &v) || v < 0.0) return false;
  if (frames) v *= 1000.0 / 60.0;
  if (v > MAXFIELDMS) return false;
  *ms = v;
  return true;
}

void exptrelative(const char* name, char* out, size_t size) {
  std::snprintf(out, size, "%s", name);
  const char* slash = std::strrchr(exptpath, '/');
  if (name[0] == '/' || access(name, F_OK) == 0 || !slash) return;
  std::snprintf(out, size, "%.*s/%s", static_cast<int>(slash - exptpath), exptpath, name);
  if (access(out, F_OK) != 0) std::snprintf(out, size, "%s", name);  // messages name it as written
}

void freeexpt() {
  for (int s = 0; s < filledslots; s++) {
    ExptFrame& fr = exptframes[s];
    for (int k = 0; k < fr.subframecnt; k++) {
      std::free(fr.subframes[k]->rects);
      std::free(fr.subframes[k]);
    }
    std::free(fr.subframes);
    fr = ExptFrame{};
  }
  filledslots = 0;
  exptframecnt = 0;
  codenames.clear();
  exptsndflag = 0;
}

const char* exptcodename(int code) {
  const auto it = codenames.find(code);
  return it == codenames.end() ? nullptr : it->second.c_str();
}

int parseexpt(FILE* f, const char* name, std::string& err) {
  if (!exptframes) {
    exptframes = static_cast<ExptFrame*>(std::calloc(MAXEXPTFRAMES, sizeof(ExptFrame)));
    if (!exptframes) return scnfail(err, "vistrum: ### can't malloc exptframes ptr array (~2 meg)\n"), -1;
  }
  freeexpt();
  std::vector<Line> lines;
  if (!readlines(f, name, lines, err)) return -1;
  if (!fillfixslot(0, 0, 5, -1.0, err)) return -1;

  double T = 0.0;
  int n = 1;
  for (size_t i = 0; i < lines.size();) {
    // The event's lines: this one and every continued one after it.
    size_t last = i;
    while (endsinplus(lines[last].text.c_str()) && last + 1 < lines.size()) last++;
    if (endsinplus(lines[last].text.c_str())) {
      std::printf("vistrum: ### event at line %d of %s still continued (+) at the end of the file: left out\n",
                  lines[i].lineno, name);
      break;
    }
    double soa = 0.0, dur = 0.0;
    int code = -1;
    if (!parsetiming(lines[i], &soa, &dur, &code, name, err)) return -1;
    if (n >= MAXEXPTFRAMES) {
      scnfail(err, "vistrum: ### list overflow (max=%d)\n", MAXEXPTFRAMES);
      return at(err, lines[i].lineno, name), -1;
    }
    const int cnt = static_cast<int>(last - i + 1);
    ExptFrame& fr = exptframes[n];
    fr.subframes = static_cast<ExptItem**>(std::calloc(cnt, sizeof(ExptItem*)));
    filledslots = n + 1;
    if (!fr.subframes) return scnfail(err, "vistrum: ### can't malloc exptframes[%d].subframes[0]\n", n), -1;
    int ttlcnt = 0;
    for (int k = 0; k < cnt; k++) {
      ExptItem* it = newitem(n, k);
      if (!it) return scnfail(err, "vistrum: ### can't malloc exptframes[%d].subframes[%d]\n", n, k), -1;
      if (!parseitem(lines[i + k], it, &ttlcnt, name, err)) return -1;
    }
    T += dur / 1000.0;
    fr.code = par.usesxcodeflag ? code : -1;
    fr.endtime = T;
    const int lastcolor = fr.subframes[cnt - 1]->color;
    n++;
    if (soa > dur) {
      if (n >= MAXEXPTFRAMES) {
        scnfail(err, "vistrum: ### list overflow (max=%d)\n", MAXEXPTFRAMES);
        return at(err, lines[i].lineno, name), -1;
      }
      T += (soa - dur) / 1000.0;
      if (!fillfixslot(n, lastcolor, 0, T, err)) return -1;
      n++;
    }
    i = last + 1;
  }
  if (n == 1) return scnfail(err, "vistrum: ### no events in exptfile %s\n", name), -1;
  exptframecnt = n;
  return n;
}
