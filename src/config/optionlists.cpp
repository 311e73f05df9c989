#include "config/optionlists.h"

#include "config/help.h"
#include "config/readers.h"
#include "core/xit.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool isoption(const char* arg) { return arg[0] == '-'; }

// Index one past the last value of an open-ended list starting after i.
int listend(int i, int argc, char** argv) {
  int j = i + 1;
  while (j < argc && !isoption(argv[j])) j++;
  return j;
}

bool alldigits(const char* s) {
  if (!*s) return false;
  for (; *s; s++)
    if (*s < '0' || *s > '9') return false;
  return true;
}

// The type-58 frequency list counts as not given by the user.
bool freqlistdefault = false;

}  // namespace

bool isnodefault(int i, int argc, char** argv) {
  return i + 2 < argc && std::strcmp(argv[i + 1], "[no") == 0 && std::strcmp(argv[i + 2], "default]") == 0;
}

void printtextvalue(FILE* out, const char* text) {
  bool plain = *text != '\0';
  for (const char* p = text; *p; p++)
    if (!std::strchr("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._/+-,:=@%", *p)) plain = false;
  if (plain) {
    std::fprintf(out, " %s", text);
    return;
  }
  std::fputs(" '", out);
  for (const char* p = text; *p; p++) {
    if (*p == '\'')
      std::fputs("'\\''", out);
    else
      std::fputc(*p, out);
  }
  std::fputc('\'', out);
}

int parsestimtype(int i, int argc, char** argv) {
  // The first option chose the type and its defaults; a repeat (a pasted
  // listing) must name the same type, or the defaults would not match it.
  const int again = geti(i + 1, argc, argv);
  if (again != par.stimtype)
    fatal("vistrum: ### %s %d repeats the type as another (%d): give the type once, as the first option\n",
          argv[i], again, par.stimtype);
  return i + 1;
}

void printstimtype(FILE* out, const OptionDef&) { std::fprintf(out, "   -stimtype %d\n", par.stimtype); }

int parsesaveframes(int i, int argc, char** argv) {
  par.saveframes = geti(i + 1, argc, argv);
  par.savedur = 1.0 / static_cast<double>(getf2(i + 2, argc, argv));
  return i + 2;
}

void printsaveframes(FILE* out, const OptionDef&) {
  std::fprintf(out, "   -saveframes %d %2.0f\n", par.saveframes, 1.0 / par.savedur);
}

int parseframerate(int i, int argc, char** argv) {
  par.framedur = 1.0 / static_cast<double>(getf(i + 1, argc, argv));
  return i + 1;
}

void printframerate(FILE* out, const OptionDef&) { std::fprintf(out, "   -framerate %g\n", 1.0 / par.framedur); }

int parseprintdefs(int, int, char**) {
  printdefs(par.stimtype);
  xit(0);
}

int parsehelp(int, int, char**) {
  usage();
  xit(0);
}

// ---- condition names and orders ----

int getcondnames(int i, int argc, char** argv) {
  const int n = geti(i + 1, argc, argv);
  if (n < 2) fatal("vistrum: ### bad num of conditions %d (OK:2-n)\n", n);
  if (n > argc - (i + 2)) fatal("vistrum: ### too few condition names (OK:%d)\n", n);
  if (par.reqcondcnt > 0 && n != par.reqcondcnt)
    fatal("vistrum: ### this stimtype requires %d conditions\n", par.reqcondcnt);
  par.condnames.clear();
  par.condcnt = 0;
  for (int k = 0; k < n; k++) {
    const char* name = argv[i + 2 + k];
    if (isoption(name)) fatal("vistrum: ### got next option parsing -condnames (too few?)\n");
    checktextlen(name, argv[i]);
    for (const std::string& old : par.condnames)
      if (old == name) fatal("vistrum: ### duplicate condition name: %s\n", name);
    par.condnames.push_back(name);
  }
  if (i + 2 + n < argc && !isoption(argv[i + 2 + n])) fatal("vistrum: ### too many condition names (OK:%d)\n", n);
  par.condcnt = n;
  return i + 1 + n;
}

int getcondlist(int i, int argc, char** argv) {
  if (isnodefault(i, argc, argv)) return i + 2;
  if (par.condnames.empty()) fatal("vistrum: ### -condlist must follow (maybe defaulted) -condnames\n");
  if (par.condlistcnt > 0) fatal("vistrum: ### -condlist can only be specified once\n");
  const int end = listend(i, argc, argv);
  if (end == i + 1) fatal("vistrum: ### no condnums in -condlist\n");
  std::vector<int> list;
  for (int j = i + 1; j < end; j++) {
    if (!alldigits(argv[j])) fatal("vistrum: ### bad condnum in -condlist: %s\n", argv[j]);
    const long num = std::strtol(argv[j], nullptr, 10);
    if (num >= par.condcnt)
      fatal("vistrum: ### bad -condlist condnum: %ld (max=%d)\n", num, par.condcnt - 1);
    list.push_back(static_cast<int>(num));
  }
  par.condlist = list;
  par.condlistcnt = static_cast<int>(list.size());
  return end - 1;
}

int getconddurlist(int i, int argc, char** argv) {
  if (isnodefault(i, argc, argv)) return i + 2;
  if (par.condlistcnt == 0) fatal("vistrum: ### -conddurlist must follow -condlist\n");
  if (i + 1 >= argc) fatal("vistrum: ### no conddurs in -conddurlist\n");
  const int end = listend(i, argc, argv);
  if (end - (i + 1) != par.condlistcnt) fatal("vistrum: ### -conddurlist count doesn't match -condlist count\n");
  par.conddurlist.clear();
  for (int j = i + 1; j < end; j++) par.conddurlist.push_back(checkedfloat(argv[j], argv[i]));
  return end - 1;
}

void markfreqlistdefault() { freqlistdefault = true; }

namespace {

// Cycles per run of a stored rate; rounded, because the float product
// cycles x runfreq does not always divide back to the integer it came from.
int cyclesofrate(float rate) {
  if (par.runfreq == 0.0f) return 0;
  return static_cast<int>(std::lround(static_cast<double>(rate) / static_cast<double>(par.runfreq)));
}

}  // namespace

int getfreqlist(int i, int argc, char** argv) {
  if (par.freqlistcnt > 0 && !freqlistdefault) fatal("vistrum: ### -cycleslist can only be specified once\n");
  if (i + 1 >= argc) fatal("vistrum: ### no cycles in -cycleslist\n");
  freqlistdefault = false;
  const int end = listend(i, argc, argv);
  par.freqlist.clear();
  for (int j = i + 1; j < end; j++)
    par.freqlist.push_back(static_cast<float>(checkedint(argv[j], argv[i])) * par.runfreq);
  par.freqlistcnt = static_cast<int>(par.freqlist.size());
  std::printf("vistrum: %d freqs (runperiod: %2.1f sec)\n", par.freqlistcnt, 1.0 / static_cast<double>(par.runfreq));
  for (int k = 0; k < par.freqlistcnt; k++)
    std::printf(" %2d: %2d cyc -> %f Hz\n", k + 1, cyclesofrate(par.freqlist[k]), static_cast<double>(par.freqlist[k]));
  return end - 1;
}

int gettargtimelist(int i, int argc, char** argv) {
  if (isnodefault(i, argc, argv)) return i + 2;
  if (par.targtimescnt > 0) fatal("vistrum: ### -targtimeslist can only be specified once\n");
  if (i + 1 >= argc) fatal("vistrum: ### no target onset times in -targtimeslist\n");
  const int end = listend(i, argc, argv);
  par.targtimeslist.clear();
  for (int j = i + 1; j < end; j++) par.targtimeslist.push_back(checkedfloat(argv[j], argv[i]));
  par.targtimescnt = static_cast<int>(par.targtimeslist.size());
  std::printf("vistrum: read %d target onset times\n", par.targtimescnt);
  return end - 1;
}

void printcondnames(FILE* out, const OptionDef&) {
  if (par.condnames.empty()) {
    std::fprintf(out, "   [no default -condnames this stim]\n");
    return;
  }
  std::fprintf(out, "   -condnames %d", par.condcnt);
  for (const std::string& n : par.condnames) printtextvalue(out, n.c_str());
  std::fputc('\n', out);
}

void printcondlist(FILE* out, const OptionDef&) {
  if (par.condlist.empty()) {
    std::fprintf(out, "   -condlist [no default]\n");
    return;
  }
  std::fprintf(out, "   -condlist");
  for (int c : par.condlist) std::fprintf(out, " %d", c);
  std::fputc('\n', out);
}

void printconddurlist(FILE* out, const OptionDef&) {
  if (par.conddurlist.empty()) {
    std::fprintf(out, "   -conddurlist [no default]\n");
    return;
  }
  std::fprintf(out, "   -conddurlist");
  for (float d : par.conddurlist) std::fprintf(out, " %2.2f", static_cast<double>(d));
  std::fputc('\n', out);
}

void printcycleslist(FILE* out, const OptionDef&) {
  std::fprintf(out, "   -cycleslist");
  for (float f : par.freqlist) std::fprintf(out, " %d", cyclesofrate(f));
  std::fputc('\n', out);
}

void printtargtimes(FILE* out, const OptionDef&) {
  if (par.targtimeslist.empty()) {
    std::fprintf(out, "   -targtimes [no default]\n");
    return;
  }
  std::fprintf(out, "   -targtimes");
  for (float t : par.targtimeslist) std::fprintf(out, " %2.2f", static_cast<double>(t));
  std::fputc('\n', out);
}

// ---- sound files ----

int getsndfilenames(int i, int argc, char** argv) {
  const int n = geti(i + 1, argc, argv);
  if (n < 1) fatal("vistrum: ### bad num of sndfiles %d (OK:1-n)\n", n);
  if (n > argc - (i + 2)) fatal("vistrum: ### too few sndfile names (OK:%d)\n", n);
  par.sndfilenames.clear();
  par.sndfilecnt = 0;
  for (int k = 0; k < n; k++) {
    const char* name = argv[i + 2 + k];
    if (isoption(name)) fatal("vistrum: ### got next option parsing -sndfilenames (too few?)\n");
    checktextlen(name, argv[i]);
    std::string path = name;
    if (name[0] != '.' && name[0] != '/') path = std::string(par.sndfiledir) + "/" + name;
    FILE* fp = std::fopen(path.c_str(), "r");
    if (!fp) fatal("vistrum: ### can't open sndfile %s\n", path.c_str());
    std::fclose(fp);
    std::printf("sndfile[%d]: %s\n", k, path.c_str());
    par.sndfilenames.push_back(name);
  }
  par.sndfilecnt = n;
  return i + 1 + n;
}

int getsndsoalist(int i, int argc, char** argv) {
  if (isnodefault(i, argc, argv)) return i + 2;
  if (par.sndfilecnt == 0) fatal("vistrum: ### -sndsoalist must follow -sndfilenames\n");
  if (i + 1 >= argc) fatal("vistrum: ### no snd SOAs in -sndsoalist\n");
  const int end = listend(i, argc, argv);
  if (end - (i + 1) != par.sndfilecnt)
    fatal("vistrum: ### -sndsoalist count doesn't match -sndfilenames count\n");
  par.sndsoalist.clear();
  for (int j = i + 1; j < end; j++) par.sndsoalist.push_back(checkedfloat(argv[j], argv[i]));
  return end - 1;
}

void printsndfilenames(FILE* out, const OptionDef&) {
  if (par.sndfilenames.empty()) {
    std::fprintf(out, "   [no default -sndfilenames this stim]\n");
    return;
  }
  std::fprintf(out, "   -sndfilenames %d", par.sndfilecnt);
  for (const std::string& n : par.sndfilenames) printtextvalue(out, n.c_str());
  std::fputc('\n', out);
}

void printsndsoalist(FILE* out, const OptionDef&) {
  if (par.sndsoalist.empty()) {
    std::fprintf(out, "   -sndsoalist [no default]\n");
    return;
  }
  std::fprintf(out, "   -sndsoalist");
  for (float s : par.sndsoalist) std::fprintf(out, " %2.2f", static_cast<double>(s));
  std::fputc('\n', out);
}

// ---- air-tube map ----

int getairtubemap(int i, int argc, char** argv) {
  if (isnodefault(i, argc, argv)) return i + 2;
  const int n = par.airtubes;
  if (n < 1 || n > argc - (i + 1)) fatal("vistrum: ### too few -airtubemap nums (OK:%d)\n", n);
  par.airtubemap.clear();
  par.mapairtubes = 0;
  std::vector<int> map;
  for (int k = 0; k < n; k++) {
    const char* arg = argv[i + 1 + k];
    if (isoption(arg)) fatal("vistrum: ### got next opt parsing -airtubemap nums (too few?)\n");
    const long tube = std::strtol(arg, nullptr, 10);
    if (!wholenumber(arg, false) || tube < 1 || tube > n) fatal("vistrum: ### bad -airtubemap num: %s (OK:1-%d)\n", arg, n);
    for (int old : map)
      if (old == tube) fatal("vistrum: ### duplicate -airtubemap num: %ld\n", tube);
    map.push_back(static_cast<int>(tube));
  }
  if (i + 1 + n < argc && !isoption(argv[i + 1 + n])) fatal("vistrum: ### too many -airtubemap nums (OK:%d)\n", n);
  par.airtubemap = map;
  par.mapairtubes = n;
  return i + n;
}

void printairtubemap(FILE* out, const OptionDef&) {
  if (par.airtubemap.empty()) {
    std::fprintf(out, "   -airtubemap [no default]\n");
    return;
  }
  std::fprintf(out, "   -airtubemap");
  for (int t : par.airtubemap) std::fprintf(out, " %d", t);
  std::fputc('\n', out);
}

// ---- fixed-length lists ----

namespace {

bool haveargs(int i, int argc, int n) { return n <= argc - (i + 1); }

}  // namespace

int parsenbackgaps(int i, int argc, char** argv) {
  if (!haveargs(i, argc, 6)) fatal("vistrum: ### too few nbakgaps\n");
  for (int k = 0; k < 6; k++) par.nbackgaps[k] = checkedint(argv[i + 1 + k], argv[i]);
  return i + 6;
}

int parseevlags(int i, int argc, char** argv) {
  if (!haveargs(i, argc, 3)) fatal("vistrum: ### too few evlags\n");
  for (int k = 0; k < 3; k++) par.eventlags[k] = checkedfloat(argv[i + 1 + k], argv[i]);
  return i + 3;
}

int parseevdurs(int i, int argc, char** argv) {
  if (!haveargs(i, argc, 3)) fatal("vistrum: ### too few evdurs\n");
  for (int k = 0; k < 3; k++) par.eventdurs[k] = checkedfloat(argv[i + 1 + k], argv[i]);
  return i + 3;
}

int parsebits2code(int i, int argc, char** argv) {
  if (!haveargs(i, argc, 8)) fatal("vistrum: ### too few code bits (need 8)\n");
  for (int k = 0; k < 8; k++) par.cdbits[k] = checkedint(argv[i + 1 + k], argv[i]);
  par.bits2codeflag = 1;
  return i + 8;
}

void printnbackgaps(FILE* out, const OptionDef&) {
  std::fprintf(out, "   -nbackgaps");
  for (int g : par.nbackgaps) std::fprintf(out, " %d", g);
  std::fputc('\n', out);
}

void printevlags(FILE* out, const OptionDef&) {
  std::fprintf(out, "   -evlags");
  for (float v : par.eventlags) std::fprintf(out, " %2.2f", static_cast<double>(v));
  std::fputc('\n', out);
}

void printevdurs(FILE* out, const OptionDef&) {
  std::fprintf(out, "   -evdurs");
  for (float v : par.eventdurs) std::fprintf(out, " %2.2f", static_cast<double>(v));
  std::fputc('\n', out);
}

void printbits2code(FILE* out, const OptionDef&) {
  if (par.bits2codeflag != 1) return;  // listing it would select the conversion
  std::fprintf(out, "   -bits2code");
  for (int b : par.cdbits) std::fprintf(out, " %d", b);
  std::fputc('\n', out);
}

// ---- options with their own switch rules ----

int parseeccwrap(int i, int, char**) {
  par.skipeccwrapflag = 0;
  par.skipeccwrapnogapflag = 0;
  return i;
}

int parsenoeccwrap(int i, int, char**) {
  par.skipeccwrapflag = 1;
  par.skipeccwrapnogapflag = 0;
  return i;
}

int parsenoeccwrapnogap(int i, int, char**) {
  par.skipeccwrapflag = 0;
  par.skipeccwrapnogapflag = 1;
  return i;
}

void printeccwrap(FILE* out, const OptionDef&) {
  if (par.skipeccwrapnogapflag)
    std::fprintf(out, "   -noeccwrapnogap\n");
  else if (par.skipeccwrapflag)
    std::fprintf(out, "   -noeccwrap\n");
  else
    std::fprintf(out, "   -eccwrap\n");
}

int parsefixmesh(int i, int argc, char** argv) {
  par.fixbgbright = getf(i + 1, argc, argv);
  par.drawfixmeshflag = par.fixbgbright >= -1.0f ? 1 : 0;  // -2 turns the mesh off
  return i + 1;
}

int parsefixlett(int i, int argc, char** argv) {
  par.fixtargprob = getf(i + 1, argc, argv);
  if (i + 2 >= argc) getst2(par.fixlettstr, i + 2, argc, argv);  // reports "missing 2nd arg"
  // The defaults listing shows the text between arrows ("=>AB<="), so that
  // an empty or blank text stays visible; pasted back, the arrows go.
  std::string text = argv[i + 2];
  if (text.size() >= 4 && text.compare(0, 2, "=>") == 0 && text.compare(text.size() - 2, 2, "<=") == 0)
    text = text.substr(2, text.size() - 4);
  checktextlen(text.c_str(), argv[i]);
  std::strcpy(par.fixlettstr, text.c_str());
  if (par.fixlettstr[0]) par.fixlettflag = 1;
  return i + 2;
}

void printfixlett(FILE* out, const OptionDef&) {
  // Same precision as -fixtarg, which writes the same probability.
  std::fprintf(out, "   -fixlett %2.3f", static_cast<double>(par.fixtargprob));
  const std::string arrows = std::string("=>") + par.fixlettstr + "<=";
  printtextvalue(out, arrows.c_str());
  std::fputc('\n', out);
}

void printifflag(FILE* out, const OptionDef& o) {
  if (!o.flag || par.*o.flag != o.flagval) return;
  std::fprintf(out, "   %s", o.key);
  printslot(out, o.a);
  printslot(out, o.b);
  std::fputc('\n', out);
}

void printifset(FILE* out, const OptionDef& o) {
  if (o.a.kind != ValKind::Text || !(par.*o.a.s)[0]) return;
  std::fprintf(out, "   %s", o.key);
  printslot(out, o.a);
  std::fputc('\n', out);
}
