// Writes the vistrum(1) manual page from the option table, the type
// catalogue and the hotkey list, so that the manual cannot drift from the
// program. Run at build time: vistrum-manpage <lib folder> > vistrum.1
// (the picture folders are listed from <lib folder>/imagefiles);
// vistrum-manpage --types lists the catalogue for scripts.
#include "config/help.h"
#include "config/options.h"
#include "core/version.h"
#include "devices/dio.h"
#include "stimuli/catalogue.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Text safe for roff: backslashes, dashes (so that options search and copy
// as ASCII hyphens), and control characters at the start of a line.
std::string roff(const std::string& s) {
  std::string o;
  for (char c : s) {
    if (c == '\\')
      o += "\\e";
    else if (c == '-')
      o += "\\-";
    else if (c == '\n')
      o += ' ';
    else
      o += c;
  }
  if (!o.empty() && (o[0] == '.' || o[0] == '\'')) o = "\\&" + o;
  return o;
}

void section(const char* name) { std::printf(".SH %s\n", name); }

void para(const std::string& s) { std::printf(".PP\n%s\n", roff(s).c_str()); }

void item(const std::string& tag, const std::string& text) {
  std::printf(".TP\n%s\n%s\n", tag.c_str(), roff(text).c_str());
}

std::string bold(const std::string& s) { return "\\fB" + roff(s) + "\\fR"; }
std::string ital(const std::string& s) { return "\\fI" + roff(s) + "\\fR"; }

// The log sentence of one type, from the same catalogue calls that name
// the log file at run time.
std::string logsentence(int num) {
  if (num == 10) return "Log: _" + std::string(stimlogname(10, 1.0f, 0)) + ".log with check targets (-chktarg).";
  if (stimmaylog(num, 0, 0)) return "Log: _" + std::string(stimlogname(num, 0, 0)) + ".log.";
  if (stimneeds(num, kCodeConversion | kInternalMode)) return "Log: none.";
  return "Log: none of its own.";
}

void types() {
  section("STIMULUS TYPES");
  para("The first option names the stimulus type. Each entry names the suffix of the type's event log "
       "(logs/YYMMDD-HHMMSS_NAME.log, written with -logfile); with fixation targets (-fixtarg) every type "
       "that runs logs as _" + std::string(stimlogname(20, 0, 0.5f)) + ".log instead, except type 0, which "
       "keeps _" + stimlogname(0, 0, 0.5f) + ".log. \"vistrum -h N\" prints the help of type N.");
  int n = 0;
  const StimTypeInfo* t = stimtable(&n);
  for (int k = 0; k < n; k++) {
    if (t[k].num == 9999 || !validstimtype(t[k].num)) continue;
    item(bold(std::to_string(t[k].num)), std::string(t[k].desc ? t[k].desc : "") + ". " + logsentence(t[k].num));
  }
}

// Picture folders shipped under lib/imagefiles, splash (the final screen's) left out.
std::vector<std::string> picturefolders(const std::string& libdir) {
  std::vector<std::string> out;
  if (DIR* d = opendir((libdir + "/imagefiles").c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name.empty() || name[0] == '.' || name == "splash") continue;
      const std::string path = libdir + "/imagefiles/" + name;
      if (DIR* sub = opendir(path.c_str())) {
        closedir(sub);
        out.push_back(name);
      }
    }
    closedir(d);
  }
  // test first (the default), the others in name order.
  std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
    if ((a == "test") != (b == "test")) return a == "test";
    return a < b;
  });
  return out;
}

std::string joined(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& w : v) s += (s.empty() ? "" : ", ") + w;
  return s;
}

void options() {
  section("OPTIONS");
  para("Every option after the first is one of these, in any order; later options override earlier ones. "
       "Periods are in seconds (\"inf\": never; negative: reversed direction). A tag in square brackets names "
       "the stimulus family an option applies to. \"vistrum -s N -printdefs\" lists the values of type N.");
  for (const OptionDef& o : optiontable()) {
    if (!o.key || o.internal) continue;
    std::string tag = bold(o.key);
    if (o.nokey) tag += ", " + bold(o.nokey);
    if (*o.args) tag += " " + ital(o.args);
    item(tag, o.help);
  }
}

void hotkeylist() {
  section("HOTKEYS");
  para("Keys act in the stimulus window while it waits (\"Ready\") and while it runs.");
  for (const HotkeyHelp& h : hotkeys()) item(bold(h.keys), h.action);
}

// The catalogue as tab-separated lines for scripts (the gallery):
// number, draws (0/1: 0 shows background and fixation only),
// log name ("-" for none), description.
void typetable() {
  int n = 0;
  const StimTypeInfo* t = stimtable(&n);
  for (int k = 0; k < n; k++) {
    if (t[k].num == 9999 || !validstimtype(t[k].num)) continue;
    std::printf("%d\t%d\t%s\t%s\n", t[k].num, t[k].draw ? 1 : 0,
                t[k].logname ? t[k].logname : "-", t[k].desc ? t[k].desc : "");
  }
}

}  // namespace

int main(int argc, char** argv) {
  installstimuli();
  if (argc > 1 && std::string(argv[1]) == "--types") {
    typetable();
    return 0;
  }
  // The package's folder; an install elsewhere has it beside its bin folder.
  const std::string datadir = "/usr/share/vistrum";
  const std::string libdir = argc > 1 ? argv[1] : "lib";
  std::printf(".TH VISTRUM 1 \"\" \"vistrum %s\" \"User Commands\"\n", VISTRUM_VERSION);
  // Option names must not be hyphenated or stretched.
  std::printf(".nh\n.ad l\n");
  section("NAME");
  std::printf("vistrum \\- full-screen stimuli for functional brain-imaging (fMRI) experiments\n");
  section("SYNOPSIS");
  std::printf(".B vistrum\n\\fB\\-stimtype\\fR|\\fB\\-s\\fR \\fIN\\fR [\\fIoptions\\fR ...]\n.br\n");
  std::printf(".B vistrum\n\\fB\\-helpstim\\fR|\\fB\\-h\\fR \\fIN\\fR\n");
  section("DESCRIPTION");
  para("vistrum shows one numbered stimulus type full screen on an X11 display with OpenGL, redrawn every video "
       "frame as a function of the seconds since the start trigger: rotating checkerboard wedges and expanding "
       "rings, dot flows, pictures, words and reading, delayed saccades, air puffs, laser pulses, sounds, and "
       "event-by-event experiments from a scenario file. It waits on a \"Ready\" screen for the start (F1, a "
       "counted trigger key, or a digital pulse), writes a time-stamped event log (-logfile), scores the "
       "subject's responses and can save every frame as a TIFF file (-saveframes).");
  para("\"vistrum -h N\" prints what type N shows and its main options; \"vistrum -s N -help\" prints the usage "
       "text. The first option must be -stimtype/-s or -helpstim/-h.");
  types();
  options();
  hotkeylist();
  section("ENVIRONMENT");
  item(bold("VISTRUM_DIR"), "The folder holding lib/ (fonts, help, pictures, words, sounds, scenarios). When it is "
                            "not set, an installed program uses the share/vistrum folder beside its bin folder (" +
                            datadir + " for the Debian package), and a program run from its build folder uses the "
                            "current folder.");
  item(bold("VISTRUM_DIO"), "Digital I/O backend: " + diobackendforms() +
                                " (none, the default: no box; sim: the simulated box in a folder; serial: a "
                                "serial-port trigger and response box).");
  item(bold("DISPLAY"), "The X display the stimulus window opens on.");
  item(bold("PWD"), "Written into the event log's header.");
  item(bold("vblank_mode"), "Set to 3 with Mesa drivers (or __GL_SYNC_TO_VBLANK=1 with NVIDIA) to synchronise "
                            "buffer swaps to the video frame.");
  section("FILES");
  const std::string lib = datadir + "/lib/";
  item(bold(lib + "help/sN"), "help text of type N (vistrum -h N)");
  item(bold(lib + "fonts/"), "TrueType fonts, with their licences");
  item(bold(lib + "imagefiles/NAME/"),
       "picture folders for -tiffdir NAME (" + joined(picturefolders(libdir)) + "; splash for the final screen)");
  item(bold(lib + "wordfiles/NAME/"), "word lists for -worddir NAME");
  item(bold(lib + "soundfiles/NAME/"), "sound files for -sndfiledir NAME");
  item(bold(lib + "scenarios/"), "example scenario, rectangle and palette files for type 60");
  item(bold("logs/YYMMDD-HHMMSS_NAME.log"), "the event log of a run with -logfile (folder: -logfiledir); "
                                           "vistrum-events turns it into an events table for analysis");
  item(bold("fNNNNN.tiff"), "saved frames in the -tiffoutdir folder");
  section("EXIT STATUS");
  para("0 when the run ends by Esc, its end time or its last saved frame, or after a help text; 1 on a "
       "set-up error, after a \"vistrum: ###\" message.");
  section("SEE ALSO");
  std::printf(".BR vistrum\\-events (1),\n.BR vistrum\\-report (1)\n");
  return 0;
}
