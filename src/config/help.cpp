#include "config/help.h"

#include "core/version.h"

#include "config/options.h"
#include "config/textfile.h"
#include "core/stimulus.h"

#include <cerrno>
#include <string>

namespace {

const char* const kDashes = " -----------------------------------------------------------------------------";

void line(const char* s) { std::printf("%s\n", s); }

void framed(const char* s) { std::printf(" | %-74s|\n", s); }

// Scenario-file summary shown after the scenario type's line.
void printscenarioblock() {
  line(kDashes);
  framed("stimtype 60 scenario file (-exptfile <file>), one event per line:");
  framed("  <SOA> <dur> <item> [opts]          (times in msec)");
  framed("  <SOA> <dur> <code> <item> [opts]   (with -sxcode: code logged)");
  framed("items: text=Word  text=\"a story\"  utf8d=<n>,..  utf8h=<h>,..");
  framed("  rgb=<tiff> (from -tiffdir)  pgi=<rectfile>  ttl=<bit#>  snd=<file>");
  framed("opts: color=<palindex> xoff=<pix> yoff=<pix> lblo=<grab> font=<n>");
  framed("  size=<pix>  (absolute pixels from the screen centre, +y up)");
  framed("SOA > dur: fixation (or -bgimgfile) fills the rest of the SOA");
  char buf[160];
  std::snprintf(buf, sizeof buf, "limits: %d events, %d chars per line, %d chars per image name", 62000, 300, 200);
  framed(buf);
  std::snprintf(buf, sizeof buf, "  (%d one-frame events at 60 Hz last %2.1f minutes)", 62000, 17.2);
  framed(buf);
  framed("logging: -logfile logs every event; -sxcode2ttl also sends the");
  framed("  codes to the code port (-usbcodeport); ttl= pulses an output bit");
  framed("digital in: -waitforpulse <n> waits for n pulses on -usbtrigbit");
  framed("palette: -palfile <file>; sound: snd= lines (no -sndfilenames)");
  line(kDashes);
}

void printstimlist() {
  int n = 0;
  const StimTypeInfo* t = stimtable(&n);
  for (int k = 0; k < n; k++) {
    // The test pattern and the numbers start-up refuses stay out of the list.
    if (t[k].num == 9999 || !stimulushooks().validtype(t[k].num)) continue;
    std::printf("%5d:  %s\n", t[k].num, t[k].desc ? t[k].desc : "");
    if (t[k].needs & kScenario) printscenarioblock();
  }
}

void printcoordinates() {
  line(" Coordinate system, units:");
  line("");
  line("   window is 3.12 units wide (x: -1.56 to 1.56), height follows aspect");
  line("   (pix/unit = <xpix>/3.12); a radius of 1.0 is visible on a 4:3 display");
  std::printf("   4:3 window: %2.2f x %2.2f units\n", 3.12, 2.34);
  std::printf("   16:9 window: %2.2f x %2.2f units\n", 3.12, 1.755);
  line("   stimtype 60 (scenario) uses absolute pixels instead");
  line("");
  line("   air tubes (12) as seen from the face, and the -airtubemap for them:");
  line("         1   2   3          rows x cols = -airgrid 4 3");
  line("         4   5   6");
  line("         7   8   9");
  line("        10  11  12");
  line("   tubes around the face (polar order from the right, counter-clockwise):");
  line("              4   3   2");
  line("          5             1");
  line("          6            12");
  line("              7  8  9 10  11");
  line("   -airtubemap 1 12 10 2 11 9 3 5 8 4 6 7");
  line("");
}

void printcoltypes() {
  line(" Color type (-coltype) nums for checkerboards (+smoothflow,lcms):");
  line("");
  line("   -1  one-sided black/white (checks invisible, only the shape shows)");
  line("    0  black/white checks (-bwcontrast)");
  line("    1  random colours, bright vs. dark (-colcontrast)");
  line("    2  random colours, approximately isoluminant");
  line("    3  lightness plus random hue (-avgcolbright, -colcontrast)");
  line("    4  value plus random hue (-avgcolbright, -colcontrast)");
  line("   dot fields take one of the two colours of their check colour type");
  line("   -coltype -1 draws dots in the one-sided grey");
  line("");
}

void printhotkeys() {
  line(" Hotkeys:");
  line("");
  for (const HotkeyHelp& h : hotkeys()) std::printf("   %-9s %s\n", h.keys, h.action);
  line("");
}

}  // namespace

const std::vector<HotkeyHelp>& hotkeys() {
  static const std::vector<HotkeyHelp> keys = {
      {"Esc", "quit (logged as Interrupt)"},
      {"F1", "start / restart at t=0"},
      {"F2", "reset and wait for the trigger again"},
      {"F3", "toggle mouse-control reset"},
      {"m", "toggle mouse control of the stimulus centre"},
      {"F5-8", "toggle stimulus-specific switches (F5,F6: type 49)"},
      {"r/g/b", "left-eye stereo red down, green up, blue up (0.01)"},
      {"R/G/B", "right-eye stereo red up, green up, blue down (0.01)"},
      {"o/O", "interocular distance -/+ 0.01"},
      {"v/V", "vertical eye offset -/+ 0.01"},
      {"up/down", "stimulus scale step up/down"},
      {"0-9", "subject responses (logged)"},
  };
  return keys;
}

void shortusage() {
  line("use: vistrum -stimtype/-s <num> [opts ...]");
  line("     vistrum -helpstim/-h <num>");
  line("");
  line("  vistrum -s 10 -help       all stimulus types, options and hotkeys");
  line("  vistrum -h 10             what type 10 shows and how to set it up");
  line("  vistrum -s 10 -printdefs  the values type 10 runs with");
  line("  man vistrum               the manual");
  line("");
  line(" [N.B.: 1st option must be -stimtype/-s or -helpstim/-h]");
}

void usage() {
  line("");
  line("use: vistrum -stimtype/-s <num> [opts ...]");
  line("     vistrum -helpstim/-h <num>");
  line("");
  line(" [N.B.: 1st option must be -stimtype/-s or -helpstim/-h]");
  line("");
  line(" Stimulus-type numbers:");
  line("");
  printstimlist();
  line("");
  printcoordinates();
  line(" Options:");
  line("");
  printoptionusage(stdout);
  line("");
  printcoltypes();
  printhotkeys();
  line(" Sync buffer swaps to the video frame (else tearing):");
  line("   nvidia: export __GL_SYNC_TO_VBLANK=1");
  line("   mesa/dri: export vblank_mode=3");
  line(" xdpyinfo must be on $path; set the full-size window with -winxy (def 1024 768)");
  line("");
  line(" vistrum, stimuli for fMRI mapping  version: " VISTRUM_VERSION);
}

bool helpstim() {
  char path[2 * TEXTLEN + 32];
  std::snprintf(path, sizeof path, "%s/lib/help/s%d", par.vistrumdir, par.stimtype);
  // Read and copy the file ourselves: no shell sees the path.
  const char* why = nullptr;
  FILE* fp = openregular(path, "r", &why);
  if (!fp) {
    if (why)
      std::printf("vistrum: ### helpfile %s is not a regular file (%s)\n", path, why);
    else
      std::printf("vistrum: ### helpfile %s not found\n", path);
    return false;
  }
  // Line by line: a file written with CR or CR LF ends prints as lines here too.
  std::string text;
  bool more = false;
  while (readtextline(fp, text, 4096, &more)) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    if (!more) std::fputc('\n', stdout);
  }
  std::fclose(fp);
  return true;
}

void printdefs(int stimtype) {
  std::printf("\n default values for stimtype=%d (not all relevant):\n\n", stimtype);
  printoptiondefaults(stdout);
  std::printf("\n");
}
