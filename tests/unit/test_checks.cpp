// Post-parse conversions, clamps and cross-checks.
#include "config/checks.h"
#include "config/visangle.h"
#include "core/runstate.h"
#include "devices/dio.h"
#include "test_options_util.h"

#include <cmath>

namespace {

std::string checkquiet(int type, const std::vector<std::string>& opts) {
  parsequiet(type, opts);
  testing::internal::CaptureStdout();
  postparsechecks();
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

void checkcmd(int type, const std::vector<std::string>& opts) {
  parsecmd(type, opts);
  postparsechecks();
}

}  // namespace

TEST(Conversions, RatesAnglesAndLimits) {
  checkquiet(10, {});
  EXPECT_FLOAT_EQ(par.flickerfreq, 8.0f);
  EXPECT_NEAR(par.polwidth, 0.19635f, 1e-5);
  EXPECT_FLOAT_EQ(par.twofreq, 2.0f / 32);
  EXPECT_FLOAT_EQ(par.flowfreq, 1e-9f);
  checkquiet(10, {"-flickerfreq", "0", "-randperiod", "inf"});
  EXPECT_FLOAT_EQ(par.flickerfreq, 1e-9f);
  EXPECT_FLOAT_EQ(par.randfreq, 1e-9f);
  checkquiet(10, {"-minrad", "0.5", "-maxrad", "1", "-eccwidth", "0.8"});
  EXPECT_NEAR(par.eccwidth, 0.49999f, 1e-6);
  checkquiet(102, {"-twoperiod", "40", "-airtubes", "12", "-airtubemap", "1", "2", "3", "4", "5", "6", "7", "8", "9",
                   "10", "11", "12", "-puffsperpolpos", "1"});
  EXPECT_FLOAT_EQ(par.polfreq, 1.0f / 40);
  checkquiet(10, {"-wobblefreq", "0"});
  EXPECT_EQ(par.wobbleflag, 0);
}

TEST(Conversions, EveryRateAndAngle) {
  checkquiet(10, {"-dilperiod", "4", "-twoperiod2", "10", "-ipsirange", "90", "-polstartoffset", "-180",
                  "-flowperiod", "2", "-randperiod", "8"});
  EXPECT_FLOAT_EQ(par.dilfreq, 0.5f);
  EXPECT_FLOAT_EQ(par.twofreq2, 0.2f);
  EXPECT_FLOAT_EQ(par.ipsirange, static_cast<float>(M_PI / 2));
  EXPECT_FLOAT_EQ(par.polstartoffset, static_cast<float>(-M_PI));
  EXPECT_FLOAT_EQ(par.flowfreq, 0.5f);  // non-zero rates stay as given
  EXPECT_FLOAT_EQ(par.randfreq, 0.125f);
  // Types 101 and 102 rotate once per two-condition period; others keep theirs.
  checkquiet(10, {"-twoperiod", "40"});
  EXPECT_FLOAT_EQ(par.polfreq, 1.0f / 64);
  // Without saved frames the fixation blocks stay.
  checkquiet(10, {"-prepostfix", "16"});
  EXPECT_FLOAT_EQ(par.prepostfix, 16.0f);
}

TEST(Conversions, BrightnessesClampToZeroOne) {
  const std::vector<std::string> keys = {"-bgwingray",    "-vbwfrac",       "-colcontrast",  "-avgcolbright",
                                         "-maskcontrast", "-avgmaskbright", "-offcolbright", "-textcol",
                                         "-textboxcol",   "-texttargcol"};
  std::vector<std::string> high, low;
  for (const std::string& k : keys) {
    high.insert(high.end(), {k, "1.7"});
    low.insert(low.end(), {k, "-0.3"});
  }
  checkquiet(10, high);
  for (float v : {par.bgwingray, par.vbwfrac, par.colcontrast, par.avgcolbright, par.maskcontrast,
                  par.avgmaskbright, par.offcolbright, par.textcol, par.textboxcol, par.texttargcol})
    EXPECT_EQ(v, 1.0f);
  checkquiet(10, low);
  for (float v : {par.bgwingray, par.vbwfrac, par.colcontrast, par.avgcolbright, par.maskcontrast,
                  par.avgmaskbright, par.offcolbright, par.textcol, par.textboxcol, par.texttargcol})
    EXPECT_EQ(v, 0.0f);
  checkquiet(10, {"-bwcontrast", "-0.4", "-gridsize", "7", "-oritargquad", "9"});
  EXPECT_FLOAT_EQ(par.bwcontrast, -0.4f);
  EXPECT_EQ(par.gridsize, 7);
  EXPECT_EQ(par.oritargquad, 3);
}

TEST(Conversions, Clamps) {
  const std::string out = checkquiet(10, {"-bgwingray", "1.5", "-bwcontrast", "-3", "-minbar", "0.5", "-numangles",
                                          "0", "-ecccnt", "30", "-polcnt", "-2", "-waitforpulse", "-7",
                                          "-polrandnback", "9", "-gridsize", "4", "-oritargquad", "-5"});
  EXPECT_FLOAT_EQ(par.bgwingray, 1.0f);
  EXPECT_FLOAT_EQ(par.bwcontrast, -1.0f);
  EXPECT_FLOAT_EQ(par.minbar, par.maxbar);
  EXPECT_EQ(par.numangles, 1);
  EXPECT_EQ(par.ecccnt, 20);
  EXPECT_EQ(par.polcnt, 0);
  EXPECT_EQ(par.startpulse, -1);
  EXPECT_EQ(par.polrandnback, 3);
  EXPECT_EQ(par.gridsize, 5);
  EXPECT_NE(out.find("making gridsize odd => 5\n"), std::string::npos);
  EXPECT_EQ(par.oritargquad, -2);
  checkquiet(10, {"-numangles", "30"});
  EXPECT_EQ(par.numangles, 24);
}

TEST(Checks, WarningsCorrectAndGoOn) {
  std::string out = checkquiet(10, {"-startstimscale", "20"});
  EXPECT_NE(out.find("vistrum: ### clamp huge startstimscale 20.000000 -> 10.0\n"), std::string::npos);
  EXPECT_FLOAT_EQ(par.startstimscale, 10.0f);
  out = checkquiet(10, {"-startstimscale", "0.01"});
  EXPECT_NE(out.find("clamp tiny startstimscale 0.010000 -> 0.1"), std::string::npos);
  out = checkquiet(10, {"-coltype", "5"});
  EXPECT_NE(out.find("vistrum: ### old coltype=5 equals new coltype=1 w/colcontrast=0\n"), std::string::npos);
  EXPECT_EQ(par.coltype, 1);
  EXPECT_EQ(par.colcontrast, 0.0f);
  out = checkquiet(54, {});
  EXPECT_NE(out.find("vistrum: ### rand block sequence not specified with -condlist!!\n"), std::string::npos);
  out = checkquiet(54, {"-condlist", "1", "2"});
  EXPECT_EQ(out.find("rand block sequence"), std::string::npos);
  out = checkquiet(10, {"-fixdots", "0.5"});
  EXPECT_NE(out.find("vistrum: -fixdots unset: only for non-dot div stereo stimuli\n"), std::string::npos);
  EXPECT_EQ(par.drawfixdotsflag, 0);
  out = checkquiet(10, {"-logfile"});
  EXPECT_NE(out.find("vistrum: ### no logfile for stimtype=10 ...disabled\n"), std::string::npos);
  EXPECT_EQ(par.logfileflag, 0);
  checkquiet(10, {"-logfile", "-chktarg", "2", "1"});
  EXPECT_EQ(par.logfileflag, 1);
  out = checkquiet(60, {"-sxcode"});
  EXPECT_NE(out.find("vistrum: sxcode's logged, but no USB->TTL out (use -sxcode2ttl)\n"), std::string::npos);
  checkquiet(10, {"-captkeytrigger"});
  EXPECT_EQ(run.somekeytriggerflag, 1);
}

TEST(Checks, ArrowKeyStepsStayWithinTheScaleRange) {
  // Start-up takes the steps one by one: an absurd count must not stall it.
  std::string out = checkquiet(10, {"-arrowkeyhits", "-2147483648"});
  EXPECT_NE(out.find("vistrum: ### clamp huge arrowkeyhits -2147483648 -> -116\n"), std::string::npos);
  EXPECT_EQ(par.arrowkeyhits, -116);
  out = checkquiet(10, {"-arrowkeyhits", "1000000000"});
  EXPECT_NE(out.find("clamp huge arrowkeyhits 1000000000 -> 116"), std::string::npos);
  EXPECT_EQ(par.arrowkeyhits, 116);
  // Counts within the scale range stay as given, silently.
  out = checkquiet(10, {"-arrowkeyhits", "-116"});
  EXPECT_EQ(out.find("arrowkeyhits"), std::string::npos);
  EXPECT_EQ(par.arrowkeyhits, -116);
}

TEST(Checks, FatalConditions) {
  EXPECT_FATAL(checkcmd(10, {"-minrad", "2", "-maxrad", "1"}), "vistrum: ### minrad can't exceed maxrad");
  EXPECT_FATAL(checkcmd(10, {"-coltype", "6"}), "bad coltype \\(OK: -1 to 5\\)");
  EXPECT_FATAL(checkcmd(10, {"-coltype", "-2"}), "bad coltype");
  EXPECT_FATAL(checkcmd(10, {"-prepostfix", "16", "-exptend", "300"}), "can't use -exptend with -prepostfix!=0.0");
  EXPECT_FATAL(checkcmd(10, {"-prepostfix", "16", "-offsperrun", "2", "0.1"}),
               "either -offsperrun!=0 or -prepostfix!=0.0");
  EXPECT_FATAL(checkcmd(58, {"-prepostfix", "8"}), "stimtype=58: req's -prepostfix 0.0");
  EXPECT_FATAL(checkcmd(60, {"-sndbgtrack", "x.wav"}), "stimtype=60: avoid -sndbgtrack");
  EXPECT_FATAL(checkcmd(10, {"-fivekeytrigger", "-captkeytrigger"}),
               "choose 1 of: -\\{fivekey,tkey,apostrophe\\}trigger");
  EXPECT_FATAL(checkcmd(10, {"-wordsperblock", "0"}), "wordsperblock=0 \\(variable-length flag\\) only if stimtype=74");
  EXPECT_FATAL(checkcmd(10, {"-waitforpulse", "3", "-nosetupusb"}), "-waitforpulse>0 requires -setupusb \\(def\\)");
  EXPECT_FATAL(checkcmd(60, {"-sxcode2ttl", "-sxcode", "-nosetupusb"}), "-sxcode2ttl requires -setupusb \\(default\\)");
  EXPECT_FATAL(checkcmd(60, {"-sxcode2ttl"}), "-sxcode2ttl requires -sxcode");
  // Zero or negative ramp ends would draw NaN colours, no samples plain grey.
  EXPECT_FATAL(checkcmd(70, {"-mincycles", "0"}), "stimtype=70: -mincycles must be above 0 \\(got 0\\)");
  EXPECT_FATAL(checkcmd(71, {"-numfsamples", "0"}), "stimtype=71: -numfsamples must be above 0");
  EXPECT_FATAL(checkcmd(70, {"-numcycsamples", "0"}), "stimtype=70: -numcycsamples must be above 0");
  EXPECT_FATAL(checkcmd(72, {"-mintfreq", "-1"}), "stimtype=72: -mintfreq must be above 0 \\(got -1\\)");
  EXPECT_FATAL(checkcmd(73, {"-maxtfreq", "0"}), "stimtype=73: -maxtfreq must be above 0");
  checkcmd(10, {"-mincycles", "0", "-maxtfreq", "0"});  // no ramp, no refusal
  EXPECT_FATAL(checkcmd(10, {"-saveframes", "2", "60", "-tiffoutdir", "/no/such/dir"}),
               "tiffoutdir /no/such/dir not found  ...quitting");
  EXPECT_FATAL(checkcmd(10, {"-saveframes", "2", "60", "-tiffoutdir", "/etc/hostname"}), "/etc/hostname not a dir");
  // A saved-frame run keeps the fixation blocks of the run it shows, and
  // with them the refusal of -exptend; a rehearsal cannot save frames.
  EXPECT_FATAL(checkcmd(10, {"-prepostfix", "16", "-exptend", "300", "-saveframes", "2", "60"}),
               "can't use -exptend with -prepostfix!=0.0");
  EXPECT_FATAL(checkcmd(10, {"-rehearse", "60", "-saveframes", "2", "60"}), "give -rehearse or -saveframes, not both");
  EXPECT_FATAL(checkcmd(10, {"-framerate", "0"}), "-framerate must be a rate above 0");
  EXPECT_EQ(par.prepostfix, 0.0f);
}

TEST(Checks, MissingPictureDirectoryFallsBack) {
  // Every type that shows pictures from the directory, and one that does not.
  for (int type : {3, 1, 28, 33, 53, 59, 85, 114, 10}) {
    parsequiet(type, {});
    std::snprintf(par.tiffdir, TEXTLEN, "/no/such/imgdir");
    testing::internal::CaptureStdout();
    postparsechecks();
    const std::string said = testing::internal::GetCapturedStdout();
    if (type == 10) {
      EXPECT_EQ(said.find("tiffdir"), std::string::npos);
      continue;
    }
    EXPECT_NE(said.find("vistrum: ### tiffdir /no/such/imgdir not found (use -tiffdir)\n"), std::string::npos) << type;
    const std::string fallback = std::string(par.vistrumdir) + "/lib/imagefiles/test";
    EXPECT_NE(said.find("vistrum: ### using default img dir " + fallback + "\n"), std::string::npos);
    EXPECT_EQ(std::string(par.tiffdir), fallback);
  }
}

TEST(AirPuffChecks, MapAndOutputBits) {
  EXPECT_EQ(dioutputbitcount(), 0);
  // Every air type brings its default map.
  EXPECT_NE(checkquiet(100, {}).find("vistrum: out arraybit=1 mapped to airtube=1\n"), std::string::npos);
  EXPECT_FATAL(checkcmd(111, {"-airtubes", "10"}), "non-default num airtubes, need -airtubemap opt");
  EXPECT_FATAL(checkcmd(100, {"-airtubes", "3", "-airtubemap", "1", "2", "3", "-airtubes", "4"}),
               "-airtubemap args \\(3\\) don't match -airtubes \\(4\\)");
  EXPECT_FATAL(checkcmd(111, {"-setupusb"}), "not enough outport bits \\(0\\) for 12 airtubes");
  EXPECT_FATAL(checkcmd(101, {"-airtubes", "3", "-airtubemap", "1", "2", "3", "-puffsperpolpos", "1"}),
               "right/left air puffs req's even num airtubes");
  EXPECT_FATAL(checkcmd(100, {"-airtubes", "2", "-airtubemap", "1", "2", "-polperiod", "1"}),
               "max puffsperpolpos=4.8 \\(puffdur=0.10s, pos=2, cyc= 1\\)");
  EXPECT_FATAL(checkcmd(112, {"-aflowperiod", "-1.5"}), "aflowper=-1.50sec too short for 6x0.07sec puffs");
  EXPECT_FATAL(checkcmd(104, {"-airtubes", "4", "-airtubemap", "1", "2", "3", "4"}),
               "-airgrid 4 3 \\(rows x cols\\) inconsistent with -airtubes 4");
  // Types 103, 111, 120 compare with the period's magnitude.
  const std::string out = checkquiet(111, {"-aflowperiod", "-1.5"});
  EXPECT_NE(out.find("vistrum: ### -nosetupusb: airpuffs disabled (visual test only)\n"), std::string::npos);
  EXPECT_NE(out.find("vistrum: out arraybit=12 mapped to airtube=12\n"), std::string::npos);
}

TEST(Checks, SoundFileRules) {
  EXPECT_FATAL(checkcmd(60, {"-sndfilenames", "1", "/etc/hostname"}), "vistrum: ### stimtype=60: avoid -sndfilenames");
  const std::string out = checkquiet(76, {"-sndfilenames", "2", "/etc/hostname", "/etc/hosts"});
  EXPECT_NE(out.find("vistrum: ### stimtype=76: only 1st sound will be used\n"), std::string::npos);
  EXPECT_EQ(par.sndfilecnt, 2);
}

TEST(AirPuffChecks, PuffTimingPerType) {
  const std::vector<std::string> map12 = {"-airtubemap", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"};
  auto with = [&](std::vector<std::string> opts) {
    opts.insert(opts.begin(), map12.begin(), map12.end());
    return opts;
  };
  // 101/102: half the tubes' puffs must fit half a two-condition period.
  EXPECT_FATAL(checkcmd(101, with({"-twoperiod", "2"})),
               "1/2airtubes\\*puffsperpolpos\\*puffdur > 0.5\\*twoperiod:\n"
               "vistrum:       too many puffsperpolpos or too long airpuffs");
  EXPECT_FATAL(checkcmd(102, with({"-twoperiod", "64", "-puffsperpolpos", "2", "-onebacktarg", "25"})),
               "max onebacktargprob for curr puffcnt is 24.00");
  checkquiet(102, with({"-twoperiod", "64", "-puffsperpolpos", "2", "-onebacktarg", "24"}));
  // 103 and 120 compare with the period's size, 119 with a third of the tubes and the sign.
  checkquiet(103, with({"-aflowperiod", "-1.5"}));
  checkquiet(120, with({"-aflowperiod", "-1.5"}));
  EXPECT_FATAL(checkcmd(103, with({"-aflowperiod", "0.5"})), "aflowper=0.50sec too short for 12x0.07sec puffs");
  checkquiet(119, {"-aflowperiod", "0.31"});
  EXPECT_FATAL(checkcmd(119, {"-aflowperiod", "0.25"}), "aflowper=0.25sec too short for 4x0.07sec puffs");
  EXPECT_FATAL(checkcmd(119, {"-aflowperiod", "-1.5"}), "aflowper=-1.50sec too short for 4x0.07sec puffs");
  // 105: the grid must hold the tubes.
  checkquiet(105, with({"-airgrid", "3", "4"}));
  EXPECT_FATAL(checkcmd(105, with({"-airgrid", "3", "3"})), "-airgrid 3 3 \\(rows x cols\\) inconsistent with -airtubes 12");
}

TEST(CodeConversion, BitsAndCodes) {
  int bits[8] = {1, 0, 0, 0, 0, 0, 0, 1};
  EXPECT_EQ(codefrombits(bits), 129);
  testing::internal::CaptureStdout();
  printbitsfromcode(5);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\n                high <--------------- low\n sxcode=5  ->    0  0  0  0  0  1  0  1\n\n");
  testing::internal::CaptureStdout();
  printcodefrombits(bits);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\n high <--------------- low\n   1  0  0  0  0  0  0  1    ->   sxcode=129\n\n");
  EXPECT_EXITS_WITH(0, checkcmd(61, {"-bits2code", "1", "0", "0", "0", "0", "0", "0", "1"}), "");
  EXPECT_FATAL(checkcmd(61, {"-bits2code", "1", "2", "0", "0", "0", "0", "0", "1"}), "bad bit: 2 \\(not 0,1\\)");
  EXPECT_FATAL(checkcmd(61, {"-code2bits", "256"}), "bad code: 256 \\(allowed: 0-255\\)");
  EXPECT_FATAL(checkcmd(61, {}), "add option -bits2code or -code2bits");
}

TEST(CodeConversion, RoleTablePrint) {
  parsequiet(10, {"-usbrespport", "1", "A"});
  testing::internal::CaptureStdout();
  printusbbitsstate();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, std::string("00000000") + "10000000" + "0000000000000000" + "  " + "22222222" +
                     std::string(24, '0') + "  " + std::string(32, '0') + "  " + std::string(32, '0') + "  \n");
}

TEST(StartChecks, PulsesThatNothingCanSendAreRefused) {
  // Without a box or a trigger key the "Ready" screen waited for ever.
  unsetenv("VISTRUM_DIO");
  EXPECT_FATAL(checkcmd(10, {"-waitforpulse", "5", "-logfile"}),
               "vistrum: ### -waitforpulse 5: no box attached \\(VISTRUM_DIO\\) and no trigger key");
  setenv("VISTRUM_DIO", "none", 1);
  EXPECT_FATAL(checkcmd(10, {"-waitforpulse", "2"}), "-waitforpulse 2: no box attached");
  unsetenv("VISTRUM_DIO");
  // A key, a named box, or a run that counts no pulses can start.
  checkquiet(10, {"-waitforpulse", "5", "-fivekeytrigger"});
  EXPECT_EQ(run.somekeytriggerflag, 1);
  checkquiet(10, {"-waitforpulse", "3", "-captkeytrigger"});
  checkquiet(10, {"-waitforpulse", "3", "-saveframes", "2", "30"});
  checkquiet(10, {"-waitforpulse", "-1"});
  setenv("VISTRUM_DIO", "sim:/nonexistent-box", 1);
  checkquiet(10, {"-waitforpulse", "5"});
  unsetenv("VISTRUM_DIO");
}

TEST(StartChecks, TargetsWithoutALogAreAnnounced) {
  const char* fixline = "vistrum: ### -fixtarg: targets are shown but not recorded (add -logfile)\n";
  std::string out = checkquiet(10, {"-fixtarg", "2", "0.5"});
  EXPECT_NE(out.find(fixline), std::string::npos) << out;
  // Fixation targets are shown on every type.
  out = checkquiet(20, {"-fixtarg", "2", "0.5", "-nologfile"});
  EXPECT_NE(out.find(fixline), std::string::npos) << out;
  out = checkquiet(10, {"-chktarg", "2", "1"});
  EXPECT_NE(out.find("vistrum: ### -chktarg: targets are shown but not recorded"), std::string::npos) << out;
  // A type's own default targets too, once its log is switched off.
  out = checkquiet(80, {"-nologfile"});
  EXPECT_NE(out.find("vistrum: ### -oritarg: targets are shown but not recorded"), std::string::npos) << out;
  out = checkquiet(10, {"-fixlett", "2", "AB"});
  EXPECT_NE(out.find("vistrum: ### -fixlett: targets are shown but not recorded"), std::string::npos) << out;
  // With the log, or with no targets, nothing is said.
  for (const std::vector<std::string>& opts :
       {std::vector<std::string>{"-fixtarg", "2", "0.5", "-logfile"}, {"-chktarg", "2", "1", "-logfile"}, {}}) {
    out = checkquiet(10, opts);
    EXPECT_EQ(out.find("not recorded"), std::string::npos) << out;
  }
  // Targets a type does not draw are not announced (type 10 shows no dim targets).
  out = checkquiet(10, {"-dimtarg", "2", "0.5"});
  EXPECT_EQ(out.find("not recorded"), std::string::npos) << out;
}

TEST(VisualAngle, DegreesFromViewingDistanceAndScreenWidth) {
  // 3.12 units across 31.2 cm at 57.3 cm: one unit is 10 cm, just under 10 deg.
  EXPECT_NEAR(degperunit(57.2958, 31.2), 9.9003, 1e-3);
  EXPECT_NEAR(eccdeg(1.0, 100.0, 312.0), 45.0, 1e-9);
  EXPECT_NEAR(eccdeg(0.0, 100.0, 31.2), 0.0, 1e-12);
  // The radius for a wanted eccentricity gives that eccentricity back.
  for (double deg : {1.0, 8.0, 15.0, 30.0})
    EXPECT_NEAR(eccdeg(radforecc(deg, 80.0, 40.0), 80.0, 40.0), deg, 1e-9) << deg;
  EXPECT_NEAR(radforecc(45.0, 100.0, 312.0), 1.0, 1e-9);
  // Printed with both options; one alone is pointed out; negative is refused.
  std::string out = checkquiet(10, {"-viewdist", "100", "-screenwidth", "312"});
  EXPECT_NE(out.find("vistrum: 45.0000 deg per display unit at fixation (viewdist 100.0 cm, screenwidth 312.0 cm)"),
            std::string::npos) << out;
  EXPECT_NE(out.find("vistrum: maxrad 1.500 (x startstimscale 1.000) = 56.31 deg eccentricity"), std::string::npos)
      << out;
  out = checkquiet(10, {"-viewdist", "100"});
  EXPECT_NE(out.find("vistrum: ### sizes in degrees need both -viewdist and -screenwidth"), std::string::npos) << out;
  out = checkquiet(10, {});
  EXPECT_EQ(out.find("deg"), std::string::npos) << out;
  EXPECT_FATAL(checkcmd(10, {"-viewdist", "-80", "-screenwidth", "40"}),
               "vistrum: ### -viewdist and -screenwidth need a positive size in cm");
}
