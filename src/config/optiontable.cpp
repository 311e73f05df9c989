// The rows of the option table, in parser order. Each row names the keyword,
// the parameter(s) it writes, the value shape and the usage description.
// The second half of the rows lives in optiontable2.cpp.
#include "config/optionbuild.h"
#include "config/optionlists.h"
#include "stimuli/catalogue.h"

#include <string>

namespace {

using P = Params;

// Small values need three decimals in the defaults listing.
ValSlot vf3(FloatField p) { return vfloat(p, "%2.3f"); }

// A row whose side-effect switch has no keyword of its own: the listing shows
// it only while that switch is on, so a pasted listing switches nothing on.
OptionDef onlyifflag(OptionDef o, ParseFn parse = nullptr) {
  o.print = printifflag;
  o.parse = parse;
  return o;
}

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

void addfirstrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      // Run, timing and periods
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
      custom("-help", parsehelp, nullptr, "", "print this text, exit", false),
      sw("-trunc2off", "-notrunc2off", &P::trunc2offflag, "truncate a cut stimulus cycle to OFF"),
      sw("-twocondperiph", "-notwocondperiph", &P::twocondperiphflag, "two conditions in the periphery only"),
      group(),
      // Condition lists and random blocks
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
      // Wedge and ring geometry
      opt("-expfrac", vf3(&P::expfrac), "<0-1>", "[ECC] exponential transform (0:linear, 1:exp)"),
      opt("-polwidth", vf3(&P::polwidth), "<deg>", "[POL] wedge width"),
      opt("-eccwidth", vf3(&P::eccwidth), "<rad>", "[ECC] ring width (0: no ring)"),
      opt2("-eccwidthrdep", vf3(&P::eccfracslope), vf3(&P::eccfracmin), "<slope> <min>",
           "[ECC] ring width grows with radius"),
      opt("-circwidth", vf3(&P::circwidth), "<rad>", "[ORB] width of the orbiting disc"),
      opt("-fwhmheight", vf3(&P::fwhmheight), "<0-1>", "gaussian edge height (0: sharp edge)"),
      opt("-rotdilextrafac", vf3(&P::rotdilextrafac), "<fac>", "[DOT] extra field size for rotating dots"),
      custom("-eccwrap", parseeccwrap, printeccwrap, "", "[ECC] ring wraps from outside to inside"),
      custom("-noeccwrap", parsenoeccwrap, nullptr, "", "[ECC] ring leaves before re-entering", false),
      custom("-noeccwrapnogap", parsenoeccwrapnogap, nullptr, "", "[ECC] no wrap, next ring without gap", false),
      opt("-polstartoffset", vf3(&P::polstartoffset), "<deg>", "[POL] start angle offset"),
      opt("-smoothwrapfrac", vf3(&P::smoothwrapfrac), "<0-1>", "[ECC] fraction of the smooth wrap"),
      opt("-smoothwrapshri", vf3(&P::smoothwrapshri), "<0-1>", "[ECC] shrink during the smooth wrap"),
      opt("-smoothwrapdim", vf3(&P::smoothwrapdim), "<0-1>", "[ECC] dim during the smooth wrap"),
      opt("-ipsirange", vf3(&P::ipsirange), "<deg>", "[POL] ipsilateral range"),
      opt("-vhemi", vint(&P::vhemi), "<int>", "[111] visual hemifield code"),
      opt("-avoidvm", vf3(&P::avoidvm), "<deg>", "[111] avoid vertical meridian by"),
      opt("-minrad", vf3(&P::minrad), "<rad>", "inner stimulus radius"),
      opt("-minrad2", vf3(&P::minrad2), "<rad>", "inner radius of the second field"),
      opt("-maxrad", vf3(&P::maxrad), "<rad>", "outer stimulus radius"),
      opt("-orbrad", vf3(&P::orbrad), "<rad>", "[ORB] orbit radius"),
      opt("-numtheta", vint(&P::numtheta), "<int>", "check edges along the angle"),
      opt("-numtheta2", vint(&P::numtheta2), "<int>", "check edges along the angle, 2nd field"),
      opt("-numrad", vint(&P::numrad), "<int>", "check edges along the radius"),
      opt("-numrad2", vint(&P::numrad2), "<int>", "check edges along the radius, 2nd field"),
      onlyifflag(withflag(opt("-truncnumrad", vint(&P::truncnumrad), "<int>", "draw only this many radial checks"),
                          &P::truncnumradflag)),
      opt("-ecccnt", vint(&P::ecccnt), "<0-20>", "[MULTI] number of rings"),
      opt("-polcnt", vint(&P::polcnt), "<0-20>", "[MULTI] number of wedges"),
      opt("-oppwedgewidth", vint(&P::oppwedgewidth), "<int>", "[POL] opposite wedge width (checks)"),
      opt("-light2dark", vf3(&P::light2dark), "<ratio>", "light to dark check size ratio"),
      opt("-centmaskrad", vf3(&P::centmaskrad), "<rad>", "radius of the central mask"),
      opt("-pol4toffset", vf3(&P::pol4toffset), "<deg>", "[81] angle offset of the four wedges"),
      opt("-sphererad", vf3(&P::sphererad), "<rad>", "[DOT] sphere radius"),
      sw("-exptrans", "-noexptrans", &P::exptransflag, "[ECC] exponential radial transform"),
      sw("-exptransobj", "-noexptransobj", &P::exptransobjflag, "exponential transform of objects too"),
      sw("-peripheccmask", "-noperipheccmask", &P::peripheccmask, "[ECC] mask the periphery"),
      sw("-centerpol", "-nocenterpol", &P::centerpolflag, "[POL] wedge centred on its angle"),
      sw("-tworing", "-notworing", &P::tworingflag, "[ECC] two rings"),
      group(),
      // Fixation
      opt("-fixrad", vf3(&P::fixrad), "<rad>", "fixation mark radius"),
      opt("-fixbright", vf3(&P::fixbright), "<0-1>", "fixation brightness"),
      opt("-fixdim", vf3(&P::fixdim), "<0-1>", "dimmed fixation brightness"),
      opt("-fixtype", vint(&P::fixtype), "<int>", "fixation mark type"),
      opt("-fixline", vfloat(&P::fixline), "<pix>", "fixation line width"),
      opt("-fixdisp", vf3(&P::fixdisp), "<disp>", "[STEREO] fixation disparity"),
      opt2("-fixarr", vint(&P::fixarrayrad), vf3(&P::fixarraydel), "<rad> <0-1>",
           "array (rad:0=1,1=3x3, 2nd arg:spacing)"),
      onlyifflag(withflag(opt("-fixmesh", vf3(&P::fixbgbright), "<bright>", "fixation mesh (< -1: off)"),
                          &P::drawfixmeshflag),
                 parsefixmesh),
      onlyifflag(withflag(opt("-fixgrid", vf3(&P::fixbgbright), "<bright>", "fixation grid"), &P::drawfixgridflag)),
      opt("-gridperinteroc", vint(&P::gridperinteroc), "<int>", "grid lines per interocular distance"),
      onlyifflag(withflag(opt("-fixdots", vf3(&P::fixbgbright), "<bright>", "fixation dots (type 8 only)"),
                          &P::drawfixdotsflag)),
      opt("-wigglefixamp", vf3(&P::wigglefixamp), "<rad>", "fixation wiggle amplitude"),
      opt("-wigglefixlam", vf3(&P::wigglefixlam), "<rad>", "fixation wiggle wavelength"),
      opt("-wiggledotamp", vf3(&P::wiggledotamp), "<rad>", "dot wiggle amplitude"),
      opt("-fixfontsize", vfloat(&P::fixfontsize), "<pts>", "fixation letter font size"),
      sw("-fixmeshlast", "-nofixmeshlast", &P::fixmeshlastflag, "draw fixation mesh over the stimulus"),
      sw("-wanderfix", "-nowanderfix", &P::wanderfixflag, "wandering fixation"),
      sw("-fixgridmask", "-nofixgridmask", &P::fixgridmaskflag, "mask the grid near fixation"),
      sw("-fixcornertri", "-nofixcornertri", &P::fixcornertriflag, "corner triangles"),
      sw("-fixcent", "-nofixcent", &P::fixcentflag, "centre mark"),
      sw("-wigglefix", "-nowigglefix", &P::wigglefixflag, "wiggle the fixation mark"),
      group(),
      // Wobble
      withflag(opt("-wobblefreq", vf3(&P::wobblefreq), "<Hz>", "[WOB] wobble rate (sets -wobble)"), &P::wobbleflag),
      withflag(opt("-wobbleamp", vf3(&P::wobbleamp), "<deg>", "[WOB] wobble amplitude (sets -wobble)"), &P::wobbleflag),
      withflag(opt("-wobbleedgefreq", vf3(&P::wobbleedgefreq), "<Hz>", "[WOB] edge wobble rate (sets -edgetoo)"),
               &P::wobbleedgeflag),
      withflag(opt("-wobbleedgeamp", vf3(&P::wobbleedgeamp), "<rad>", "[WOB] edge wobble amplitude (sets -edgetoo)"),
               &P::wobbleedgeflag),
      withflag(opt("-wobbledispfreq", vf3(&P::wobbledispfreq), "<Hz>", "[WOB] disparity wobble rate (sets -disptoo)"),
               &P::wobbledispflag),
      withflag(opt("-wobbledispamp", vf3(&P::wobbledispamp), "<disp>", "[WOB] disparity wobble amp (sets -disptoo)"),
               &P::wobbledispflag),
      sw("-wobble", "-nowobble", &P::wobbleflag, "[WOB] wobble the stimulus"),
      sw("-edgetoo", "-noedgetoo", &P::wobbleedgeflag, "[WOB] wobble the edges too"),
      sw("-disptoo", "-nodisptoo", &P::wobbledispflag, "[WOB] wobble the disparity too"),
      group(),
      // Attention targets and responses
      opt2("-dimtarg", vf3(&P::dimtargprob), vf3(&P::dimtargfrac), "<prob> <0-1>", "dim targets per cycle, dim fraction"),
      opt2("-oritarg", vf3(&P::oritargprob), vf3(&P::oritargoff), "<prob> <deg>", "orientation targets, offset"),
      opt2("-disptarg", vf3(&P::disptargprob), vf3(&P::disptargoff), "<prob> <disp>", "[STEREO] disparity targets"),
      opt2("-flowtarg", vf3(&P::flowtargprob), vf3(&P::flowtargmin), "<prob> <min>", "[DOT] flow targets"),
      opt2("-sftarg", vf3(&P::sftargprob), vf3(&P::sftargmult), "<prob> <mult>", "[GRAT] spatial-frequency targets"),
      opt2("-chktarg", vf3(&P::chktargprob), vf3(&P::chktargfac), "<prob> <fac>", "single-check targets per cycle"),
      opt2("-fixtarg", vf3(&P::fixtargprob), vf3(&P::fixtargdimfrac), "<prob> <0-1>", "fixation dimming targets"),
      custom("-fixlett", parsefixlett, printfixlett, "<prob> <str>", "letter targets at fixation"),
      opt("-fonttarg", vf3(&P::fonttargprob), "<prob>", "[WRD] font change targets"),
      opt2("-imtarg", vf3(&P::imtargprob), vf3(&P::imtargzoomorRG), "<prob> <zoom>", "[IMG] image targets, zoom"),
      opt("-imtargfrms", vint(&P::imtargfrms), "<int>", "[IMG] frames per image target"),
      opt("-onebacktarg", vf3(&P::onebacktargprob), "<prob>", "one-back targets per cycle"),
      opt2("-reportpercent", vtext(&P::finaltiff), vf3(&P::splashheight), "<tiff> <ht>",
           "final image showing percent correct"),
      opt("-maxcorrectRT", vf3(&P::maxcorrectRT), "<sec>", "longest reaction time scored correct"),
      opt("-presaccadedur", vf3(&P::presaccadedur), "<sec>", "fixation test period before saccade trials"),
      opt("-minfrms2nexttg", vint(&P::minfrms2nexttg), "<int>", "min frames between targets"),
      opt("-targframes", vint(&P::targframes), "<int>", "frames per target"),
      opt("-oritargquad", vint(&P::oritargquad), "<-2-3>", "quadrant of orientation targets"),
      opt("-arrowkeyhits", vint(&P::arrowkeyhits), "<int>", "scale steps at start (neg: down)"),
      group(),
  });
}

}  // namespace

void addsecondrows(std::vector<OptionDef>& t);

const std::vector<OptionDef>& optiontable() {
  static const std::vector<OptionDef> table = [] {
    std::vector<OptionDef> t;
    addfirstrows(t);
    addsecondrows(t);
    return t;
  }();
  return table;
}
