// The option rows of the run itself: timing and periods, condition lists,
// scenario files, sound, the event log and ports, the window and saved
// frames. Each row names the keyword, the parameter(s) it writes, the value
// shape and the usage description.
#include "config/optionbuild.h"
#include "config/optionlists.h"
#include "core/stimulus.h"

#include <string>

namespace {

using P = Params;

// The random-block types, whose rows name their conditions, from the catalogue.
const char* condnameshelp() {
  static const std::string text = [] {
    std::string s = "[RAND] condition names (fixed names: types\n";
    int count = 0;
    const StimTypeInfo* rows = stimtable(&count);
    const char* sep = "";
    for (int k = 0; k < count; k++) {
      if (!(rows[k].needs & kRandomBlocks)) continue;
      s += sep + std::to_string(rows[k].num);
      sep = ",";
    }
    return s + ")";
  }();
  return text.c_str();
}

// The directory readers take the index of their value.
int readsndfiledir(int i, int argc, char** argv) { return getsndfiledir(i + 1, argc, argv); }
// The port readers take the index of their last value.
int readusbtrig(int i, int argc, char** argv) { return setusbtrig(i + 3, argc, argv); }
int readusbcode(int i, int argc, char** argv) { return setusbcode(i + 2, argc, argv); }
int readusbresp(int i, int argc, char** argv) { return setusbresp(i + 2, argc, argv); }
int readaddport(int i, int argc, char** argv) { return setusboutgroup(i + 2, argc, argv); }

}  // namespace

// Run, timing and periods
void addrunrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      custom("-stimtype", parsestimtype, printstimtype, "<int>", "stimulus type (must be 1st option)"),
      custom("-s", parsestimtype, nullptr, "<int>", "same as -stimtype", false),
      opt("-runperiod", vrate(&P::runfreq), "<sec|inf>", "run (stimulus period) length, w/o fix blocks"),
      opt("-exptend", vtime(&P::exptend), "<sec|inf>", "end run at this time (inf: never)"),
      opt("-prepostfix", vfloat(&P::prepostfix), "<sec>", "fixation-only period before and after run"),
      opt("-trbased", vfloat(&P::trbased), "<sec>", "TR: stimulus steps once per TR (0: smooth)"),
      opt("-polperiod", vrate(&P::polfreq), "<sec|inf>", "[POL] CCW rotation period (neg:CW)"),
      opt("-eccperiod", vrate(&P::eccfreq), "<sec|inf>", "[ECC] expansion period (neg:contract)"),
      opt("-orbperiod", vrate(&P::orbfreq), "<sec|inf>", "[ORB] orbit period of the stimulus centre"),
      opt("-rampperiod", vrate(&P::rampfreq), "<sec|inf>", "[RAMP] spatial/temporal frequency ramp period"),
      opt("-twoperiod", vrate(&P::twofreq), "<sec|inf>", "two-condition period (32: 16 s each, neg:swap)"),
      opt("-twoperiod2", vrate(&P::twofreq2), "<sec|inf>", "second two-condition period (periphery)"),
      opt("-dilperiod", vrate(&P::dilfreq), "<sec|inf>", "[DIL] check dilation period"),
      opt("-flowperiod", vrate(&P::flowfreq), "<sec|inf>", "[DOT] dot flow direction period"),
      opt("-aflowperiod", vrate(&P::aflowfreq), "<sec|inf>", "[AIR] air-puff sweep period"),
      withflag(opt("-wobbleperiod", vrate(&P::wobblefreq), "<sec|inf>", "[WOB] wobble period (sets -wobble)"),
               &P::wobbleflag),
      opt("-stereoperiod", vrate(&P::stereofreq), "<sec|inf>", "[STEREO] depth alternation period"),
      opt("-blockperiod", vrate(&P::blockfreq), "<sec|inf>", "[RAND] length of one random block"),
      opt("-randperiod", vrate(&P::randfreq), "<sec|inf>", "[DOT] dot re-randomisation period"),
      opt("-numperiod", vrate(&P::numfreq), "<sec|inf>", "[NUM] number sweep period"),
      opt("-lineperiod", vrate(&P::linefreq), "<sec|inf>", "[LINE] line sweep period"),
      opt2("-offspercyc", vint(&P::offspercyc), vf3(&P::offsfrac), "<n> <frac>", "OFF periods per cycle, OFF fraction"),
      opt2("-offsperrun", vint(&P::offsperrun), vf3(&P::offsfrac), "<n> <frac>", "OFF periods per run, OFF fraction"),
      opt("-onfrac", vf3(&P::onfrac), "<0-1>", "ON fraction of a two-condition period"),
      opt("-flickerfreq", vfloat(&P::flickerfreq), "<Hz>", "check contrast reversals per second"),
      opt("-gratfreq", vfloat(&P::gratfreq), "<Hz>", "[GRAT] grating/bar refresh rate"),
      opt("-flowsperblock", vint(&P::flowsperblock), "<int>", "[DOT] flow directions per block"),
      custom("-printdefs", parseprintdefs, nullptr, "", "print defaults for current stimtype, exit", false),
      custom("-help", parsehelp, nullptr, "", "print this text, exit (also --help)", false),
      sw("-trunc2off", "-notrunc2off", &P::trunc2offflag, "truncate a cut stimulus cycle to OFF"),
      sw("-twocondperiph", "-notwocondperiph", &P::twocondperiphflag, "two conditions in the periphery only"),
      group(),
  });
}

// Condition lists and random blocks
void addconditionrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      custom("-condnames", getcondnames, printcondnames, "<n> <nm1> .. <nmn>",
             condnameshelp()),
      custom("-condlist", getcondlist, printcondlist, "<num> <num> ..", "[RAND] block order (def: random)"),
      custom("-conddurlist", getconddurlist, printconddurlist, "<sec> <sec> ..", "[RAND] block durations (1 per -condlist)"),
      custom("-cycleslist", getfreqlist, printcycleslist, "<int> <int> ..", "[FREQ] cycles per run (after -runperiod)"),
      custom("-targtimes", gettargtimelist, printtargtimes, "<sec> <sec> ..", "target onset times"),
      opt("-proboffcond", vf3(&P::proboffcond), "<0-1>", "[ECC3] probability of the OFF condition"),
      withflag(opt("-srseed", vint(&P::srseed), "<int>", "seed of random-number generator"), &P::srseedgivenflag),
      opt("-ecc2condcent", vf3(&P::ecc2condcent), "<rad>", "[ECC3] inner radius, center condition"),
      opt("-ecc2condperi", vf3(&P::ecc2condperi), "<rad>", "[ECC3] inner radius, periphery condition"),
      sw("-stoprepeats", "-nostoprepeats", &P::stoprepeatsflag, "[ECC3] no condition twice in a row"),
      group(),
  });
}

// Scenario experiments and codes
void addscenariorows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      opt("-exptfile", vtext(&P::exptfile), "<file>", "[SX] scenario file"),
      onlyifflag(withflag(opt("-palfile", vtext(&P::palfile), "<file>", "[SX] palette file"), &P::palfileflag)),
      opt("-exptfontsize", vf3(&P::exptfontsize), "<pts>", "[SX] scenario font size"),
      onlyifflag(withflag(opt("-bgimgfile", vtext(&P::bgimgfile), "<tiff>", "[SX] background image"), &P::bgimgfileflag)),
      custom("-bits2code", parsebits2code, printbits2code, "<8 bits>", "[61] print code from 8 bits (high first)"),
      onlyifflag(withflag(opt("-code2bits", vint(&P::sxcode), "<0-255>", "[61] print the 8 bits of a code"),
                          &P::bits2codeflag, 0)),
      sw("-sxcode", "-nosxcode", &P::usesxcodeflag, "[SX] log scenario codes"),
      sw("-sxcode2ttl", "-nosxcode2ttl", &P::sxcode2ttlflag, "[SX] send scenario codes to code port"),
      group(),
  });
}

// Sound
void addsoundrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      opt("-sndprog", vtext(&P::sndprog), "<prog>", "sound player program"),
      dirrow("-sndfiledir", readsndfiledir, &P::sndfiledir, "sound subdir of lib/soundfiles, or ./path"),
      withprint(opt("-sndbgtrack", vtext(&P::sndbgtrack), "<file>", "background sound track"), printifset),
      custom("-sndfilenames", getsndfilenames, printsndfilenames, "<n> <snd1> ..", "sound files (after -sndfiledir)"),
      custom("-sndsoalist", getsndsoalist, printsndsoalist, "<sec> <sec> ..", "sound onsets (1 per sound file)"),
      group(),
  });
}

// Event log, triggers and digital ports
void addlogportrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      withflag(opt("-logfiledir", vtext(&P::logfiledir), "<dir>", "event log directory (sets -logfile)"),
               &P::logfileflag),
      opt("-waitforpulse", vint(&P::startpulse), "<int>", "start on pulse count (-1: F1 key, 0: at once)"),
      custom("-usbtrigbit", readusbtrig, printusbtrig, "<dev> <A-D> <bit>", "start trigger input bit"),
      custom("-usbcodeport", readusbcode, printusbcode, "<dev> <A-D>", "code output port"),
      custom("-usbrespport", readusbresp, printusbresp, "<dev> <A-D>", "response input port"),
      custom("-addport2set", readaddport, printaddport, "<dev> <A-D>", "add port to the output bit group"),
      sw("-logfile", "-nologfile", &P::logfileflag, "write an event log"),
      sw("-verboselog", "-noverboselog", &P::verboselogflag, "log more events"),
      sw("-logrespbits", "-nologrespbits", &P::logrespbitsflag, "log the response port"),
      sw("-loadaccesdev", "-noloadaccesdev", &P::loadaccesdevflag, "load the digital I/O firmware"),
      sw("-setupusb", "-nosetupusb", &P::setupusbflag, "set up the digital I/O boxes"),
      sw("-highison", "-nohighison", &P::highisonflag, "high output bit means on"),
      sw("-fivekeytrigger", "-nofivekeytrigger", &P::fivekeytriggerflag, "5 key is the start trigger"),
      sw("-apostrophetrigger", "-noapostrophetrigger", &P::apostrophetriggerflag, "apostrophe key is the start trigger"),
      sw("-captkeytrigger", "-nocaptkeytrigger", &P::captkeytriggerflag, "T key is the start trigger"),
      sw("-toggletrigger", "-notoggletrigger", &P::toggletriggerflag, "trigger on each input change"),
      group(),
  });
}

// Window, scale and saved frames
void addwindowrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      opt2("-winxy", vint(&P::winxgl), vint(&P::winygl), "<x> <y>", "window size in pixels (def 1024 768)"),
      opt("-startstimscale", vfloat(&P::startstimscale, "%2.5f"), "<0.1-10>", "initial stimulus scale"),
      opt("-viewdist", vfloat(&P::viewdist), "<cm>", "eye to screen distance (with -screenwidth: sizes in deg)"),
      opt("-screenwidth", vfloat(&P::screenwidth), "<cm>", "width of the visible image on the screen"),
      opt2("-startmouse", vf3(&P::mousestartx), vf3(&P::mousestarty), "<x> <y>", "start position of the mouse centre"),
      custom("-saveframes", parsesaveframes, printsaveframes, "<n> <Hz>",
             "save n frames as tiffs at given rate (the run steps at -framerate)"),
      custom("-framerate", parseframerate, printframerate, "<Hz>",
             "display frames/s: saved-frame and rehearsal runs step at it (def 60)"),
      opt("-rehearse", vdouble(&P::rehearse), "<sec>", "step a run of sec seconds for its log only: no window, no frames"),
      opt("-firstframetime", vdouble(&P::firstframetime), "<sec>", "stimulus time of first saved frame"),
      opt("-tiffoutdir", vtext(&P::tiffoutdir), "<dir>", "directory for saved frames (def .)"),
      opt("-monitor", vtext(&P::monitor), "<n|name>", "full screen covers this monitor (number or RandR name)"),
      opt("-mirror", vtext(&P::mirror), "<none|h|v|hv>", "mirror the whole picture (rear projection, mirror box)"),
      opt2("-photodiode", vint(&P::photodiodecorner), vint(&P::photodiodeframes), "<corner 1-4> <frames>",
           "patch white for frames at each logged onset, else black (0: none)"),
      sw("-replaceframes", "-noreplaceframes", &P::replaceframesflag,
         "remove earlier saved frames in -tiffoutdir first (else refused)"),
      sw("-fullscreen", "-nofullscreen", &P::fullscreenflag, "full-screen window (nofullscreen: plain window)"),
      withprint(opt("-gammafile", vtext(&P::gammafile), "<file>", "gamma table (lines r g b, or: gamma r g b) for the display"),
                printifset),
      sw("-requiresync", "-norequiresync", &P::requiresyncflag,
         "refuse to start unless swaps follow the display refresh at -framerate"),
      sw("-mousectrl", "-nomousectrl", &P::mousectrlflag, "mouse moves the stimulus centre"),
      sw("-savetransparency", "-nosavetransparency", &P::savetransparencyflag, "saved frames keep alpha (4 samples/pixel)"),
      sw("-drawtransparency", "-nodrawtransparency", &P::drawtransparencyflag, "[IMG] draw image transparency"),
      sw("-drawblendtransparency", "-nodrawblendtransparency", &P::drawblendtransparencyflag,
         "[IMG] blend image transparency"),
      group(),
  });
}
