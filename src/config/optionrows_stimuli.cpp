// The option rows of the stimulus families: wedge and ring geometry,
// fixation, wobble, targets, letters and images, gratings, colours, stereo,
// dots, words, the saccade task, air puffs and laser, the n-back wedges, and
// the switches only a type's defaults set. Each row names the keyword, the
// parameter(s) it writes, the value shape and the usage description.
#include "config/optionbuild.h"
#include "config/optionlists.h"

namespace {

using P = Params;

// The directory readers take the index of their value.
int readtiffdir(int i, int argc, char** argv) { return gettiffiledir(i + 1, argc, argv); }
int readworddir(int i, int argc, char** argv) { return getwordfiledir(i + 1, argc, argv); }

}  // namespace

// Wedge and ring geometry
void addgeometryrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
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
  });
}

// Fixation
void addfixationrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
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
  });
}

// Wobble
void addwobblerows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
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
  });
}

// Attention targets and responses
void addtargetrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
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

// Letters, images and backgrounds
void addimagerows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      opt("-minlett", vf3(&P::minlett), "<rad>", "[LETT] smallest letter height"),
      opt("-maxlett", vf3(&P::maxlett), "<rad>", "[LETT] largest letter height"),
      opt("-imjitt", vf3(&P::imjitt), "<rad>", "[IMG] position jitter of images"),
      opt("-bgheight", vf3(&P::bgheight), "<height>", "[IMG] background image height"),
      opt("-imheight", vf3(&P::imheight), "<height>", "[IMG] image height"),
      opt("-imcnt", vint(&P::imcnt), "<int>", "[IMG] number of images"),
      opt("-bgcnt", vint(&P::bgcnt), "<int>", "[IMG] number of background images"),
      opt("-bgspercyc", vf3(&P::bgspercyc), "<real>", "[IMG] backgrounds per cycle"),
      opt("-imspercyc", vf3(&P::imspercyc), "<real>", "[IMG] images per cycle"),
      opt("-maxgrid", vf3(&P::maxgrid), "<rad>", "[IMG] extent of the image grid"),
      opt("-gridsize", vint(&P::gridsize), "<odd>", "[IMG] images per grid side (made odd)"),
      dirrow("-tiffdir", readtiffdir, &P::tiffdir, "[IMG] image subdir of lib/imagefiles, or ./path\n(pictures of the image types, e.g. 3,26,34,57 and 83)"),
      opt("-tiffdur", vf3(&P::tiffdur), "<sec>", "[IMG] time per image"),
      opt("-tiffscale", vf3(&P::tiffscale), "<fac>", "[IMG] image scale"),
      opt("-tiffrad", vf3(&P::tiffrad), "<rad>", "[IMG] image radius"),
      opt("-scalefrac", vf3(&P::scalefrac), "<0-1>", "[IMG] eccentricity scaling of images"),
      opt("-mintiffsize", vf3(&P::mintiffsize), "<height>", "[IMG] smallest image height"),
      opt("-targtiffinfix", vtext(&P::targtiffinfix), "<str>", "[IMG] infix marking target images"),
      opt("-maxtiffspeed", vf3(&P::maxtiffspeed), "<speed>", "[IMG] largest image drift speed"),
      opt("-simulcnt", vint(&P::simulcnt), "<int>", "[IMG] images shown at once"),
      sw("-wrapmaxecclet", "-nowrapmaxecclet", &P::wrapmaxeccletflag, "[LETT] wrap letters at max eccentricity"),
      sw("-screenclamplet", "-noscreenclamplet", &P::screenclampletflag, "[LETT] keep letters on screen"),
      sw("-wandpolbalance", "-nowandpolbalance", &P::wandpolbalanceflag, "[IMG] balance wandering images by angle"),
      sw("-staggertiffs", "-nostaggertiffs", &P::staggertiffsflag, "[IMG] stagger image onsets"),
      sw("-maskimgs", "-nomaskimgs", &P::maskimgsflag, "[IMG] mask images with the aperture"),
      sw("-clamponscreen", "-noclamponscreen", &P::clamponscreenflag, "[IMG] keep images on screen"),
      sw("-test", "-notest", &P::testflag, "test mode"),
      group(),
  });
}

// Gratings and frequency ramps
void addgratingrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      opt("-minbar", vf3(&P::minbar), "<width>", "[GRAT] narrowest bar"),
      opt("-maxbar", vf3(&P::maxbar), "<width>", "[GRAT] widest bar"),
      opt("-mintfreq", vf3(&P::mintfreq), "<Hz>", "[RAMP] lowest temporal frequency"),
      opt("-maxtfreq", vf3(&P::maxtfreq), "<Hz>", "[RAMP] highest temporal frequency"),
      opt("-sinfrac", vf3(&P::sinfrac), "<0-1>", "[RAMP] sinusoidal fraction"),
      opt("-mincycles", vf3(&P::mincycles), "<real>", "[RAMP] fewest cycles across the field"),
      opt("-maxcycles", vf3(&P::maxcycles), "<real>", "[RAMP] most cycles across the field"),
      opt("-initblankfrac", vf3(&P::initblankfrac), "<0-1>", "[RAMP] blank fraction at start"),
      opt("-numfsamples", vint(&P::numfsamples), "<int>", "[RAMP] frequency samples"),
      opt("-numcycsamples", vint(&P::numcycsamples), "<int>", "[RAMP] samples per cycle"),
      opt("-numflikperfreq", vint(&P::numflikperfreq), "<int>", "[RAMP] flickers per frequency"),
      group(),
  });
}

// Colours and contrast
void addcolourrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      opt("-bgwingray", vf3(&P::bgwingray), "<0-1>", "background gray level"),
      opt("-bwcontrast", vf3(&P::bwcontrast), "<-1-1>", "black/white check contrast"),
      opt("-vbwfrac", vf3(&P::vbwfrac), "<0-1>", "value fraction of B/W checks"),
      opt("-coltype", vint(&P::coltype), "<-1-5>", "check colour type (see below)"),
      opt("-colcontrast", vf3(&P::colcontrast), "<0-1>", "colour contrast"),
      opt("-avgcolbright", vf3(&P::avgcolbright), "<0-1>", "average colour brightness"),
      opt("-maskcontrast", vf3(&P::maskcontrast), "<0-1>", "[STEREO] mask contrast"),
      opt("-avgmaskbright", vf3(&P::avgmaskbright), "<0-1>", "[STEREO] average mask brightness"),
      opt("-offcolbright", vf3(&P::offcolbright), "<0-1>", "[STEREO] brightness of an eye's OFF field"),
      opt("-sinusoidtype", vint(&P::sinusoidtype), "<int>", "[DOT] sinusoid shape type"),
      opt("-greenbluedim", vf3(&P::greenbluedim), "<0-1>", "green/blue dimming"),
      group(),
  });
}

// Stereo
void addstereorows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      opt("-stereorotdeg", vf3(&P::stereorotdeg), "<deg>", "[STEREO] rotation per frame"),
      opt("-stereodisp", vf3(&P::stereodisp), "<disp>", "[STEREO] disparity (neg: near)"),
      opt("-interocdist", vf3(&P::interocdist), "<units>", "[STEREO] distance between eye views"),
      opt("-vertdisp", vf3(&P::vertdisp), "<units>", "[STEREO] vertical offset of eye views"),
      opt("-stereoscaleeye", vf3(&P::stereoscaleeye), "<fac>", "[STEREO] scale of each eye view"),
      opt("-stereobdtype", vint(&P::stereobdtype), "<int>", "[STEREO] border type"),
      opt("-stereobdrad", vf3(&P::stereobdrad), "<rad>", "[STEREO] border radius"),
      opt("-stereobdwidth", vf3(&P::stereobdwidth), "<width>", "[STEREO] border width"),
      opt("-stereobdgap", vf3(&P::stereobdgap), "<gap>", "[STEREO] border gap"),
      opt("-stereobdbright", vf3(&P::stereobdbright), "<0-1>", "[STEREO] border brightness"),
      opt("-stereocent", vf3(&P::stereocent), "<rad>", "[STEREO] centre of the disparity taper"),
      opt("-stereosteep", vf3(&P::stereosteep), "<real>", "[STEREO] steepness of the disparity taper"),
      opt("-stereoline", vf3(&P::stereoline), "<pix>", "[STEREO] line width"),
      opt("-stereoLred", vf3(&P::stereoLred), "<0-1>", "[STEREO] left eye red"),
      opt("-stereoLgrn", vf3(&P::stereoLgrn), "<0-1>", "[STEREO] left eye green"),
      opt("-stereoLblu", vf3(&P::stereoLblu), "<0-1>", "[STEREO] left eye blue"),
      opt("-stereoRred", vf3(&P::stereoRred), "<0-1>", "[STEREO] right eye red"),
      opt("-stereoRgrn", vf3(&P::stereoRgrn), "<0-1>", "[STEREO] right eye green"),
      opt("-stereoRblu", vf3(&P::stereoRblu), "<0-1>", "[STEREO] right eye blue"),
      sw("-stereo", "-nostereo", &P::stereoflag, "[STEREO] stereo dots"),
      sw("-quadlines", "-noquadlines", &P::quadlinesflag, "[DOT] line patches instead of quads"),
      sw("-packstereoupdown", "-nopackstereoupdown", &P::packstereoupdownflag, "stack stereo copies top/bottom"),
      sw("-doubleframerate", "-nodoubleframerate", &P::doubleframerateflag, "120 Hz stereo: 2 eye frames per video frame"),
      sw("-taperdisp", "-notaperdisp", &P::taperdispflag, "[STEREO] taper disparity with radius"),
      sw("-antialias", "-noantialias", &P::antialiasflag, "antialiased lines"),
      group(),
  });
}

// Dots and flow
void adddotrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      opt("-numdots", vint(&P::numdots), "<int>", "[DOT] number of dots (def 2000)"),
      opt("-maxdotxy", vf3(&P::maxdotxy), "<units>", "[DOT] extent of the dot field"),
      opt("-dotsize", vf3(&P::dotsize), "<units>", "[DOT] dot size"),
      opt("-dotcornerjitt", vf3(&P::dotcornerjitt), "<0-1>", "[DOT] corner jitter of dots"),
      opt("-dotlife", vf3(&P::dotlife), "<frames>", "[DOT] dot lifetime"),
      opt("-dotspeed", vf3(&P::dotspeed), "<speed>", "[DOT] dot speed"),
      opt("-rotspeed", vf3(&P::rotspeed), "<speed>", "[DOT] rotation speed"),
      opt("-dilspeed", vf3(&P::dilspeed), "<speed>", "[DOT] dilation speed"),
      opt("-dotjspeed", vf3(&P::dotjspeed), "<speed>", "[DOT] jitter speed"),
      opt("-flowspertarg", vint(&P::flowspertarg), "<int>", "[DOT] flows per target"),
      opt("-smoothflowtype", vint(&P::smoothflowtype), "<int>", "[DOT] smooth flow type"),
      opt("-depthripples", vf3(&P::depthripples), "<real>", "[DOT] depth ripples"),
      opt("-dotjittcent", vf3(&P::dotjittcent), "<units>", "[DOT] jitter of the field centre"),
      opt("-dotstereotype", vint(&P::dotstereotype), "<int>", "[DOT] stereo dot type"),
      opt("-dotjrange", vf3(&P::dotjrange), "<units>", "[DOT] jitter range"),
      opt("-wdotjrange", vf3(&P::wdotjrange), "<units>", "[DOT] wedge dot jitter range"),
      sw("-dotrot", "-nodotrot", &P::dotrotflag, "[DOT] rotating dots"),
      sw("-dotdil", "-nodotdil", &P::dotdilflag, "[DOT] dilating dots"),
      sw("-scaledots", "-noscaledots", &P::scaledotsflag, "[DOT] scale dots with eccentricity"),
      group(),
  });
}

// Words and text
void addwordrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      opt("-vistrumlocale", vtext(&P::vistrumlocale), "<locale>", "[WRD] locale of the word files"),
      dirrow("-worddir", readworddir, &P::worddir, "[WRD] word subdir of lib/wordfiles, or ./path"),
      opt("-wordfile", vtext(&P::wordfile), "<file>", "[WRD] word file"),
      opt("-avgfontsize", vf3(&P::avgfontsize), "<pts>", "[WRD] average font size"),
      opt("-minfontsize", vf3(&P::minfontsize), "<pts>", "[WRD] smallest font size"),
      opt("-eccfontscale", vf3(&P::eccfontscale), "<fac>", "[WRD] font scaling with eccentricity"),
      opt("-poltextyfact", vf3(&P::poltextyfact), "<fac>", "[WRD] vertical text factor"),
      opt("-gapdur", vd3(&P::gapdur), "<sec>", "[WRD] gap between words"),
      opt("-textdur", vd3(&P::textdur), "<sec>", "[WRD] time per word"),
      opt("-lettspernum", vint(&P::lettspernum), "<int>", "[NUM] letters per number"),
      opt("-textcol", vf3(&P::textcol), "<0-1>", "[WRD] text gray level"),
      opt("-textboxcol", vf3(&P::textboxcol), "<0-1>", "[WRD] text box gray level"),
      opt("-texttargcol", vf3(&P::texttargcol), "<0-1>", "[WRD] target text gray level"),
      opt("-fontfile", vtext(&P::fontfile), "<ttf>", "[WRD] font file in lib/fonts"),
      opt("-fontfile2", vtext(&P::fontfile2), "<ttf>", "[WRD] second font file"),
      opt("-fontfile3", vtext(&P::fontfile3), "<ttf>", "[WRD] third font file"),
      opt("-font2to1scale", vf3(&P::font2to1scale), "<fac>", "[WRD] size of font 2 relative to font 1"),
      opt("-font3to1scale", vf3(&P::font3to1scale), "<fac>", "[WRD] size of font 3 relative to font 1"),
      opt("-wordsperblock", vint(&P::wordsperblock), "<int>", "[WRD] words per block (0: variable, type 74)"),
      opt("-minwidthfrac", vf3(&P::minwidthfrac), "<0-1>", "[READ] min line width fraction"),
      opt("-fixdurmodfrac", vf3(&P::fixdurmodfrac), "<0-1>", "[READ] fixation duration modulation"),
      opt("-xspacefrac", vf3(&P::xspacefrac), "<0-1>", "[READ] word spacing fraction"),
      opt("-linespacing", vf3(&P::linespacing), "<pix>", "[READ] line spacing"),
      opt("-sweepspernum", vint(&P::sweepspernum), "<int>", "[NUM] sweeps per number"),
      opt("-simulnums", vint(&P::simulnums), "<int>", "[NUM] numbers shown at once"),
      opt("-sweepspertarg", vint(&P::sweepspertarg), "<int>", "[NUM] sweeps per target"),
      opt("-rightleftcuedur", vf3(&P::rightleftcuedur), "<sec>", "[WRD] right/left cue duration"),
      sw("-fixword", "-nofixword", &P::fixwordflag, "[WRD] words at fixation"),
      sw("-shuffwords", "-noshuffwords", &P::shuffwordsflag, "[WRD] shuffle the word list"),
      sw("-fixdurwidthmod", "-nofixdurwidthmod", &P::fixdurwidthmodflag, "[READ] fixation time follows width"),
      group(),
  });
}

// Delayed-saccade task
void addsaccaderows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      opt("-targdistbright", vf3(&P::targdistbright), "<0-1>", "[SAC] target/distractor brightness"),
      opt("-radjit", vf3(&P::radjit), "<rad>", "[SAC] radius jitter"),
      opt("-thetajit", vf3(&P::thetajit), "<deg>", "[SAC] angle jitter"),
      opt("-targ1rad", vf3(&P::targ1rad), "<rad>", "[SAC] radius of target 1"),
      opt("-targ2rad", vf3(&P::targ2rad), "<rad>", "[SAC] radius of target 2"),
      opt("-retevery", vint(&P::retevery), "<int>", "[SAC] return trial every n trials"),
      opt("-initend", vd3(&P::initend), "<sec>", "[SAC] end of the initial period"),
      opt("-targ1beg", vd3(&P::targ1beg), "<sec>", "[SAC] target 1 onset"),
      opt("-targ1end", vd3(&P::targ1end), "<sec>", "[SAC] target 1 offset"),
      opt("-targ2beg", vd3(&P::targ2beg), "<sec>", "[SAC] target 2 onset"),
      opt("-targ2end", vd3(&P::targ2end), "<sec>", "[SAC] target 2 offset"),
      opt("-dimend", vd3(&P::dimend), "<sec>", "[SAC] end of fixation dimming"),
      opt("-trialend", vd3(&P::trialend), "<sec>", "[SAC] trial length"),
      opt("-distbeg", vd3(&P::distbeg), "<sec>", "[SAC] distractor onset"),
      opt("-distend", vd3(&P::distend), "<sec>", "[SAC] distractor offset"),
      opt("-distnum", vint(&P::distnum), "<int>", "[SAC] number of distractors"),
      opt("-frmsdistrefresh", vint(&P::frmsdistrefresh), "<int>", "[SAC] frames per distractor refresh"),
      opt("-distjit", vf3(&P::distjit), "<rad>", "[SAC] distractor jitter"),
      sw("-sacdist", "-nosacdist", &P::sacdistflag, "[SAC] show distractors"),
      group(),
  });
}

// Air puffs and laser
void addairrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      opt("-airtubes", vint(&P::airtubes), "<int>", "[AIR] number of air tubes"),
      opt("-puffsperpolpos", vint(&P::puffsperpolpos), "<int>", "[AIR] puffs per tube position"),
      opt("-puffdur", vf3(&P::puffdur), "<sec>", "[AIR] puff duration"),
      opt("-puffjitt", vf3(&P::puffjitt), "<sec>", "[AIR] puff timing jitter"),
      opt2("-airgrid", vint(&P::airgridrows), vint(&P::airgridcols), "<rows> <cols>", "[AIR] tube grid (types 104,105)"),
      custom("-airtubemap", getairtubemap, printairtubemap, "<tube> ..", "[AIR] tube per output bit (after -airtubes)"),
      opt("-delayttlport", vd3(&P::delayttlport), "<sec>", "[AIR] delay of the TTL output"),
      opt("-lasposperfinger", vint(&P::lasposperfinger), "<int>", "[LAS] laser positions per finger"),
      opt("-lasperfinger", vint(&P::lasperfinger), "<int>", "[LAS] lasers per finger"),
      opt("-fingerstimISI", vf3(&P::fingerstimISI), "<sec>", "[LAS] interval between finger stimuli"),
      opt("-pulsedelayfracISI", vf3(&P::pulsedelayfracISI), "<0-1>", "[LAS] pulse delay as fraction of ISI"),
      opt("-fingercnt", vint(&P::fingercnt), "<int>", "[LAS] number of fingers"),
      sw("-randline", "-norandline", &P::randlineflag, "[LAS] random line order"),
      sw("-airpuffbyte", "-noairpuffbyte", &P::airpuffbyteflag, "[AIR] puffs as a code byte"),
      group(),
  });
}

// Event-related polar n-back
void addnbackrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      opt("-numangles", vint(&P::numangles), "<1-24>", "[NBACK] number of wedge angles"),
      opt("-angleoff", vf3(&P::angleoff), "<deg>", "[NBACK] angle offset"),
      opt("-polrandnback", vint(&P::polrandnback), "<0-3>", "[NBACK] n of the n-back task"),
      opt("-evperlagmin", vint(&P::eventsperlag_min), "<int>", "[NBACK] min events per lag"),
      opt("-evperlagrange", vint(&P::eventsperlag_rang), "<int>", "[NBACK] range of events per lag"),
      custom("-nbackgaps", parsenbackgaps, printnbackgaps, "<6 ints>", "[NBACK] n-back gaps (6 values)"),
      custom("-evlags", parseevlags, printevlags, "<3 reals>", "[NBACK] event lags (3 values)"),
      custom("-evdurs", parseevdurs, printevdurs, "<3 reals>", "[NBACK] event durations (3 values)"),
  });
}

// Switches only per-type defaults turn on
void addinternalrows(std::vector<OptionDef>& t) {
  t.insert(t.end(), {
      internalsw("-polRvsL", &P::polRvsLflag),
      internalsw("-polVvsH", &P::polVvsHflag),
      internalsw("-ecc2cond", &P::ecc2condflag),
      internalsw("-ecc3cond", &P::ecc3condflag),
      internalsw("-usemaxrad", &P::usemaxrad),
      internalsw("-twocondperiphdriver", &P::twocondperiphdriver),
      internalsw("-skipeccwrapnogap", &P::skipeccwrapnogapflag),
  });
}
