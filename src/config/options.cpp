#include "config/options.h"

#include "config/optionlists.h"
#include "config/readers.h"
#include "core/xit.h"

#include <cstring>
#include <string>

Params par;

namespace {
// One value slot: its reader kind, the member it writes, its listing format.
template <typename Field>
ValSlot makeslot(ValKind kind, Field ValSlot::*member, Field p, const char* fmt) {
  ValSlot v;
  v.kind = kind;
  v.*member = p;
  v.fmt = fmt;
  return v;
}
}  // namespace

ValSlot vint(IntField p, const char* fmt) { return makeslot(ValKind::Int, &ValSlot::i, p, fmt); }
ValSlot vfloat(FloatField p, const char* fmt) { return makeslot(ValKind::Float, &ValSlot::f, p, fmt); }
ValSlot vdouble(DoubleField p, const char* fmt) { return makeslot(ValKind::Double, &ValSlot::d, p, fmt); }
ValSlot vrate(FloatField p) { return makeslot(ValKind::Rate, &ValSlot::f, p, "%2.2f"); }
ValSlot vtime(DoubleField p) { return makeslot(ValKind::Time, &ValSlot::d, p, "%2.2f"); }
ValSlot vtext(TextField p) { return makeslot(ValKind::Text, &ValSlot::s, p, "%s"); }

namespace {
bool readingdefaults = false;  // set while a type's defaults are read
}  // namespace

std::vector<const char*> optionkeywords() {
  std::vector<const char*> keys;
  for (const OptionDef& o : optiontable()) {
    if (!o.key || o.internal) continue;
    keys.push_back(o.key);
    if (o.nokey) keys.push_back(o.nokey);
  }
  return keys;
}

const OptionDef* findoption(const char* arg, bool* neg) {
  for (const OptionDef& o : optiontable()) {
    if (!o.key || (o.internal && !readingdefaults)) continue;
    if (std::strcmp(arg, o.key) == 0) {
      *neg = false;
      return &o;
    }
    if (o.nokey && std::strcmp(arg, o.nokey) == 0) {
      *neg = true;
      return &o;
    }
  }
  return nullptr;
}

namespace {

// Reads one value at argv[i]; `second` selects the "missing 2nd arg" readers.
void readslot(const ValSlot& v, bool second, int i, int argc, char** argv) {
  switch (v.kind) {
    case ValKind::None:
      break;
    case ValKind::Int:
      par.*v.i = second ? geti2(i, argc, argv) : geti(i, argc, argv);
      break;
    case ValKind::Float:
      par.*v.f = second ? getf2(i, argc, argv) : getf(i, argc, argv);
      break;
    case ValKind::Double:
      // A type's defaults hold their double values exactly; the command
      // line has always read them through a float, and keeps doing so.
      if (readingdefaults)
        par.*v.d = second ? getd2(i, argc, argv) : getd(i, argc, argv);
      else
        par.*v.d = second ? getf2(i, argc, argv) : getf(i, argc, argv);
      break;
    case ValKind::Rate:
      par.*v.f = getfq(i, argc, argv);
      break;
    case ValKind::Time:
      par.*v.d = gettm(i, argc, argv);
      break;
    case ValKind::Text:
      if (second)
        getst2(par.*v.s, i, argc, argv);
      else
        getst(par.*v.s, i, argc, argv);
      break;
  }
}

}  // namespace

int applyoption(const OptionDef& o, bool neg, int i, int argc, char** argv) {
  if (o.parse) return o.parse(i, argc, argv);
  if (o.nokey) {  // switch pair
    par.*o.flag = neg ? 0 : 1;
    return i;
  }
  int last = i;
  if (o.a.kind != ValKind::None) readslot(o.a, false, ++last, argc, argv);
  if (o.b.kind != ValKind::None) readslot(o.b, true, ++last, argc, argv);
  if (o.flag) par.*o.flag = o.flagval;
  return last;
}

namespace {

// Index of the last word of a listing note "[no default ...]" starting at i,
// or -1. Only that exact form is a note: any other word beginning with "["
// is a stray word, so that it cannot swallow the options after it.
int bracketnoteend(int i, int argc, char** argv) {
  if (std::strcmp(argv[i], "[no") != 0 || i + 1 >= argc) return -1;
  if (std::strncmp(argv[i + 1], "default", 7) != 0) return -1;
  for (int j = i + 1; j < argc && j <= i + 4; j++) {  // the longest note has 5 words
    const size_t n = std::strlen(argv[j]);
    if (n > 0 && argv[j][n - 1] == ']') return j;
  }
  return -1;
}

}  // namespace

void parseoptions(int first, int argc, char** argv) {
  for (int i = first; i < argc; i++) {
    // A bracketed note of the defaults listing ("[no default -condnames this
    // stim]") is skipped, so that a pasted listing parses.
    const int noteend = bracketnoteend(i, argc, argv);
    if (noteend >= 0) {
      i = noteend;
      continue;
    }
    bool neg = false;
    // The GNU spelling of the help option is what most people type first.
    const char* word = std::strcmp(argv[i], "--help") == 0 ? "-help" : argv[i];
    const OptionDef* o = findoption(word, &neg);
    if (!o) {
      std::printf("vistrum: ### bad option: => %s <=\n", argv[i]);
      xit(1);
    }
    i = applyoption(*o, neg, i, argc, argv);
  }
}

void parseoptiontext(const char* text) {
  std::vector<std::string> words;
  for (const char* p = text; *p;) {
    if (*p == ' ') {
      p++;
      continue;
    }
    std::string w;
    if (*p == '"') {
      for (p++; *p && *p != '"'; p++) w += *p;
      if (*p) p++;
    } else {
      for (; *p && *p != ' '; p++) w += *p;
    }
    words.push_back(w);
  }
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(&w[0]);
  readingdefaults = true;
  parseoptions(0, static_cast<int>(argv.size()), argv.data());
  readingdefaults = false;
}

void printslot(FILE* out, const ValSlot& v) {
  switch (v.kind) {
    case ValKind::None:
      break;
    case ValKind::Int:
      std::fprintf(out, " ");
      std::fprintf(out, v.fmt, par.*v.i);
      break;
    case ValKind::Float:
      std::fprintf(out, " ");
      std::fprintf(out, v.fmt, static_cast<double>(par.*v.f));
      break;
    case ValKind::Double:
      std::fprintf(out, " ");
      std::fprintf(out, v.fmt, par.*v.d);
      break;
    case ValKind::Rate:
      if (par.*v.f == 0.0f)
        std::fprintf(out, " inf");
      else
        std::fprintf(out, " %2.2f", 1.0 / static_cast<double>(par.*v.f));
      break;
    case ValKind::Time:
      if (par.*v.d == -1.0)
        std::fprintf(out, " inf");
      else
        std::fprintf(out, " %2.2f", par.*v.d);
      break;
    case ValKind::Text:
      printtextvalue(out, par.*v.s);
      break;
  }
}

void printoptionusage(FILE* out) {
  for (const OptionDef& o : optiontable()) {
    if (o.internal) continue;
    if (!o.key) {  // group separator
      std::fprintf(out, "   ----------------------------------------------------------------------\n");
      continue;
    }
    char head[128];
    if (o.nokey)
      std::snprintf(head, sizeof head, "-[no]%s%s%s", o.key + 1, *o.args ? " " : "", o.args);
    else
      std::snprintf(head, sizeof head, "%s%s%s", o.key, *o.args ? " " : "", o.args);
    // A head too long for its column puts the description on the next line,
    // so that every description starts at column 25.
    if (std::strlen(head) > 21)
      std::fprintf(out, "   %s\n%25s", head, "");
    else
      std::fprintf(out, "   %-21s ", head);
    // Continuation lines of the description start at column 25.
    for (const char* p = o.help; *p; p++) {
      std::fputc(*p, out);
      if (*p == '\n' && p[1]) std::fprintf(out, "%25s", "");
    }
    std::fputc('\n', out);
  }
}

void printoptiondefaults(FILE* out) {
  for (const OptionDef& o : optiontable()) {
    if (!o.key || !o.listed) continue;
    if (o.print) {
      o.print(out, o);
      continue;
    }
    if (o.nokey) {
      std::fprintf(out, "   %s\n", par.*o.flag ? o.key : o.nokey);
      continue;
    }
    if (o.a.kind == ValKind::None) continue;
    std::fprintf(out, "   %s", o.key);
    printslot(out, o.a);
    printslot(out, o.b);
    std::fputc('\n', out);
  }
}
