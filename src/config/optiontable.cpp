// The rows of the option table, in parser order. Each row names the keyword,
// the parameter(s) it writes, the value shape and the usage description.
#include "config/optionbuild.h"
#include "config/optionlists.h"

namespace {

std::vector<OptionDef> buildtable() {
  using P = Params;
  return {
      // Run, timing and periods
      custom("-stimtype", parsestimtype, printstimtype, "<int>", "stimulus type (must be 1st option)"),
      custom("-s", parsestimtype, nullptr, "<int>", "same as -stimtype", false),
      opt("-runperiod", vrate(&P::runfreq), "<sec|inf>", "run (stimulus period) length, w/o fix blocks"),
      opt("-exptend", vtime(&P::exptend), "<sec|inf>", "end run at this time (inf: never)"),
      opt("-prepostfix", vfloat(&P::prepostfix), "<sec>", "fixation-only period before and after run"),
      opt("-polperiod", vrate(&P::polfreq), "<sec|inf>", "[POL] CCW rotation period (neg:CW)"),
      custom("-printdefs", parseprintdefs, nullptr, "", "print defaults for current stimtype, exit", false),
      custom("-help", parsehelp, nullptr, "", "print this text, exit", false),
      group(),
      // Condition lists and random blocks
      opt("-srseed", vint(&P::srseed), "<int>", "seed of random-number generator"),
      group(),
      // Targets and responses
      opt("-presaccadedur", vfloat(&P::presaccadedur), "<sec>", "fixation test period before saccade trials"),
      opt("-arrowkeyhits", vint(&P::arrowkeyhits), "<int>", "scale steps at start (neg: down)"),
      group(),
      // Colours and contrast
      opt("-bgwingray", vfloat(&P::bgwingray), "<0-1>", "background gray level"),
      group(),
      // Stereo
      sw("-packstereoupdown", "-nopackstereoupdown", &P::packstereoupdownflag, "stack stereo copies top/bottom"),
      sw("-doubleframerate", "-nodoubleframerate", &P::doubleframerateflag, "120 Hz stereo: 2 eye frames per video frame"),
      group(),
      // Event log, triggers and digital ports
      opt("-waitforpulse", vint(&P::startpulse), "<int>", "start on pulse count (-1: F1 key, 0: at once)"),
      group(),
      // Window, scale and saved frames
      opt2("-winxy", vint(&P::winxgl), vint(&P::winygl), "<x> <y>", "window size in pixels (def 1024 768)"),
      opt("-startstimscale", vfloat(&P::startstimscale, "%2.5f"), "<0.1-10>", "initial stimulus scale"),
      custom("-saveframes", parsesaveframes, printsaveframes, "<n> <Hz>", "save n frames as tiffs at given frame rate"),
      opt("-firstframetime", vdouble(&P::firstframetime), "<sec>", "stimulus time of first saved frame"),
      opt("-tiffoutdir", vtext(&P::tiffoutdir), "<dir>", "directory for saved frames (def .)"),
      sw("-fullscreen", "-nofullscreen", &P::fullscreenflag, "full-screen window (nofullscreen: plain window)"),
      sw("-savetransparency", "-nosavetransparency", &P::savetransparencyflag, "saved frames keep alpha (4 samples/pixel)"),
  };
}

}  // namespace

const std::vector<OptionDef>& optiontable() {
  static const std::vector<OptionDef> table = buildtable();
  return table;
}
