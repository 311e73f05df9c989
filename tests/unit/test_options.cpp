// Option parsing: readers, switch pairs, lists and their failure messages.
#include "config/optionlists.h"
#include "config/readers.h"
#include "test_options_util.h"

#include <cmath>

TEST(OptionReaders, PeriodsBecomeRatesAndInfIsZero) {
  parsecmd(10, {"-polperiod", "inf"});
  EXPECT_EQ(par.polfreq, 0.0f);
  parsecmd(10, {"-polperiod", "Inf"});
  EXPECT_EQ(par.polfreq, 0.0f);
  parsecmd(10, {"-polperiod", "-32"});
  EXPECT_FLOAT_EQ(par.polfreq, -0.03125f);
  // A zero period would be an infinite rate (and a NaN wedge angle).
  EXPECT_FATAL(parsecmd(10, {"-polperiod", "0"}), "vistrum: ### -polperiod needs a non-zero finite period or inf: 0");
  parsecmd(10, {"-exptend", "inf"});
  EXPECT_EQ(par.exptend, -1.0);
  parsecmd(10, {"-exptend", "300"});
  EXPECT_EQ(par.exptend, 300.0);
  parsecmd(10, {"-saveframes", "10", "30"});
  EXPECT_EQ(par.saveframes, 10);
  EXPECT_DOUBLE_EQ(par.savedur, 1.0 / 30.0);
  EXPECT_DOUBLE_EQ(par.framedur, 1.0 / 60.0) << "the run still steps at the display's rate";
  parsecmd(10, {"-framerate", "120"});
  EXPECT_DOUBLE_EQ(par.framedur, 1.0 / 120.0);
}

TEST(OptionReaders, MissingValuesNameTheKeyword) {
  EXPECT_FATAL(parsecmd(10, {"-polperiod"}), "vistrum: ### -polperiod missing arg");
  EXPECT_FATAL(parsecmd(10, {"-winxy", "1024"}), "vistrum: ### -winxy missing 2nd arg");
  EXPECT_FATAL(parsecmd(10, {"-fixlett", "0.5"}), "vistrum: ### -fixlett missing 2nd arg");
  EXPECT_FATAL(parsecmd(10, {"-reportpercent", "x.tif"}), "vistrum: ### -reportpercent missing 2nd arg");
}

TEST(OptionReaders, NumbersThatWouldWrapOrAreNoNumbersAreRefused) {
  // An int beyond its range wrapped into an arbitrary count; NaN and inf
  // passed every later clamp.
  EXPECT_FATAL(parsecmd(10, {"-numrad", "99999999999"}), "vistrum: ### -numrad value out of range: 99999999999");
  EXPECT_FATAL(parsecmd(10, {"-winxy", "100", "-9999999999"}), "vistrum: ### -winxy value out of range: -9999999999");
  EXPECT_FATAL(parsecmd(10, {"-startstimscale", "nan"}), "vistrum: ### -startstimscale needs a finite number: nan");
  EXPECT_FATAL(parsecmd(10, {"-maxrad", "1e39"}), "vistrum: ### -maxrad needs a finite number: 1e39");
  EXPECT_FATAL(parsecmd(10, {"-polperiod", "nan"}), "needs a non-zero finite period or inf: nan");
  EXPECT_FATAL(parsecmd(10, {"-evlags", "1", "nan", "2"}), "vistrum: ### -evlags needs a finite number: nan");
  EXPECT_FATAL(parsecmd(10, {"-nbackgaps", "1", "2", "3", "4", "5", "99999999999"}),
               "vistrum: ### -nbackgaps value out of range: 99999999999");
  parsecmd(10, {"-numrad", "2147483647", "-maxrad", "1e30", "-exptend", "1e300"});
  EXPECT_EQ(par.numrad, 2147483647);
  EXPECT_FLOAT_EQ(par.maxrad, 1e30f);
  EXPECT_EQ(par.exptend, 1e300);
}

TEST(OptionReaders, OnlyExactInfIsSpecial) {
  // Other spellings go through the number conversion, which also reads them
  // as infinity: a period of infinity is a zero rate; an infinite end time is
  // no number (only "inf" means no end).
  parsecmd(10, {"-polperiod", "INF"});
  EXPECT_EQ(par.polfreq, 0.0f);
  // "infinite" is "inf" and a tail: not wholly a number.
  EXPECT_FATAL(parsecmd(10, {"-eccperiod", "infinite"}), "vistrum: ### -eccperiod needs a period in sec or inf: infinite");
  EXPECT_FATAL(parsecmd(10, {"-exptend", "INF"}), "vistrum: ### -exptend needs a finite number: INF");
  parsecmd(10, {"-exptend", "Inf"});
  EXPECT_EQ(par.exptend, -1.0);
  // Text that is not wholly a number is no longer read by its leading digits.
  EXPECT_FATAL(parsecmd(10, {"-numrad", "abc"}), "vistrum: ### -numrad needs a whole number: abc");
  EXPECT_FATAL(parsecmd(10, {"-maxrad", "1.5e0z"}), "vistrum: ### -maxrad needs a number: 1.5e0z");
}

TEST(OptionReaders, ValuesThatAreNotWhollyANumberAreRefused) {
  // Read by their leading digits these ran silently with another value, or
  // swallowed the next switch as a missing value (0).
  EXPECT_FATAL(parsecmd(10, {"-polperiod", "1,5"}), "vistrum: ### -polperiod needs a period in sec or inf: 1,5");
  EXPECT_FATAL(parsecmd(10, {"-exptend", "4m"}), "vistrum: ### -exptend needs a number: 4m");
  EXPECT_FATAL(parsecmd(10, {"-fixtarg", "4", "-nofullscreen"}), "vistrum: ### -fixtarg needs a number: -nofullscreen");
  EXPECT_FATAL(parsecmd(10, {"-numtheta", "7x"}), "vistrum: ### -numtheta needs a whole number: 7x");
  EXPECT_FATAL(parsecmd(10, {"-numtheta", "7.0"}), "vistrum: ### -numtheta needs a whole number: 7.0");
  EXPECT_FATAL(parsecmd(10, {"-winxy", "800", ""}), "vistrum: ### -winxy needs a whole number: ");
  EXPECT_FATAL(parsecmd(10, {"-evdurs", "1", "2s", "3"}), "vistrum: ### -evdurs needs a number: 2s");
  EXPECT_FATAL(parsecmd(10, {"-nbackgaps", "1", "2", "3", "4", "5", "6x"}), "vistrum: ### -nbackgaps needs a whole number: 6x");
  EXPECT_FATAL(parsecmd(10, {"-targtimes", "5", "7s"}), "vistrum: ### -targtimes needs a number: 7s");
  EXPECT_FATAL(parsecmd(10, {"-usbtrigbit", "0x", "B", "3"}), "vistrum: ### bad ACCES dev \\(OK:0-3\\): 0x");
  EXPECT_FATAL(parsecmd(10, {"-usbtrigbit", "0", "B", "3b"}), "vistrum: ### bad ACCES bit \\(OK:0-7\\): 3b");
  EXPECT_FATAL(parsecmd(112, {"-airtubemap", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12a"}),
               "vistrum: ### bad -airtubemap num: 12a \\(OK:1-12\\)");
  // The forms the readers allow keep working: signs, exponents, inf periods.
  parsecmd(10, {"-polperiod", "-64", "-eccperiod", "3.2e1", "-maxrad", "+1.25", "-numrad", "-3",
                "-exptend", "1e2", "-flowperiod", "inf", "-fixtarg", "4", "0.5"});
  EXPECT_FLOAT_EQ(par.polfreq, -1.0f / 64);
  EXPECT_FLOAT_EQ(par.eccfreq, 1.0f / 32);
  EXPECT_FLOAT_EQ(par.maxrad, 1.25f);
  EXPECT_EQ(par.numrad, -3);
  EXPECT_EQ(par.exptend, 100.0);
  EXPECT_EQ(par.flowfreq, 0.0f);
  EXPECT_FLOAT_EQ(par.fixtargprob, 4.0f);
}

TEST(OptionReaders, TooLongTextIsRefused) {
  EXPECT_FATAL(parsecmd(10, {"-wordfile", std::string(200, 'a')}), "vistrum: ### -wordfile value longer than 199 characters");
  parsecmd(10, {"-wordfile", std::string(199, 'a')});
  EXPECT_EQ(std::strlen(par.wordfile), 199u);
  // Second values and list entries name their option too.
  EXPECT_FATAL(parsecmd(10, {"-fixlett", "0.5", std::string(200, 'L')}), "vistrum: ### -fixlett value longer than 199");
  EXPECT_FATAL(parsecmd(10, {"-condnames", "2", "a", std::string(200, 'b')}), "### -condnames value longer than 199");
  EXPECT_FATAL(parsecmd(10, {"-tiffdir", std::string(250, 'd')}), "### -tiffdir value longer than 199");
}

TEST(OptionLoop, FixationLettersBetweenArrowsAsListed) {
  parsecmd(10, {"-fixlett", "0.5", "=>AB<="});
  EXPECT_STREQ(par.fixlettstr, "AB");
  EXPECT_EQ(par.fixlettflag, 1);
  EXPECT_FLOAT_EQ(par.fixtargprob, 0.5f);
  parsecmd(10, {"-fixlett", "0.5", "=><="});
  EXPECT_STREQ(par.fixlettstr, "");
  EXPECT_EQ(par.fixlettflag, 0);
  // A 199-character text fits between arrows too.
  parsecmd(10, {"-fixlett", "1", "=>" + std::string(199, 'x') + "<="});
  EXPECT_EQ(std::strlen(par.fixlettstr), 199u);
  parsecmd(10, {"-fixlett", "1", "=>"});
  EXPECT_STREQ(par.fixlettstr, "=>");
}

TEST(OptionLoop, StrayValuesAndUnknownWordsAreBadOptions) {
  EXPECT_FATAL(parsecmd(10, {"-stereo", "1"}), "bad option: => 1 <=");
  EXPECT_FATAL(parsecmd(10, {"-polperiod", "64", "32"}), "bad option: => 32 <=");
  EXPECT_FATAL(parsecmd(10, {"--polperiod", "64"}), "bad option: => --polperiod <=");
  EXPECT_FATAL(parsecmd(10, {"-Stereo"}), "bad option: => -Stereo <=");
}


TEST(OptionLoop, OnlyTheListingsNotesAreSkipped) {
  // The listing's notes parse when pasted back ...
  parsecmd(10, {"[no", "default", "-condnames", "this", "stim]", "-polperiod", "32"});
  EXPECT_FLOAT_EQ(par.polfreq, 1.0f / 32);
  // ... but any other word opening with "[" is a stray word: it must not
  // swallow the options after it, nor read before an empty word.
  EXPECT_FATAL(parsecmd(10, {"[", "", "-polperiod", "32"}), "bad option: => \\[ <=");
  EXPECT_FATAL(parsecmd(10, {"[x", "-polperiod", "3", "]"}), "bad option: => \\[x <=");
  EXPECT_FATAL(parsecmd(10, {"[no", "-polperiod", "3", "]"}), "bad option: => \\[no <=");
  EXPECT_FATAL(parsecmd(10, {"[no", "default", "-polperiod", "3", "-stereo", "x]"}), "bad option: => \\[no <=");
}
TEST(OptionLoop, SwitchPairsAndSideEffects) {
  parsecmd(10, {"-stereo", "-noexptrans", "-nocenterpol"});
  EXPECT_EQ(par.stereoflag, 1);
  EXPECT_EQ(par.exptransflag, 0);
  EXPECT_EQ(par.centerpolflag, 0);
  parsecmd(10, {"-wobbleamp", "2", "-wobbleedgefreq", "3", "-wobbledispamp", "0.2"});
  EXPECT_EQ(par.wobbleflag, 1);
  EXPECT_EQ(par.wobbleedgeflag, 1);
  EXPECT_EQ(par.wobbledispflag, 1);
  parsecmd(10, {"-wobbleperiod", "2", "-nowobble"});
  EXPECT_FLOAT_EQ(par.wobblefreq, 0.5f);
  EXPECT_EQ(par.wobbleflag, 0);
  parsecmd(10, {"-fixmesh", "-1"});
  EXPECT_EQ(par.drawfixmeshflag, 1);
  parsecmd(10, {"-fixmesh", "-2"});
  EXPECT_EQ(par.drawfixmeshflag, 0);
  EXPECT_FLOAT_EQ(par.fixbgbright, -2.0f);
  parsecmd(10, {"-fixgrid", "0.3", "-truncnumrad", "5", "-palfile", "a.pal", "-logfiledir", "lg"});
  EXPECT_EQ(par.drawfixgridflag, 1);
  EXPECT_EQ(par.truncnumradflag, 1);
  EXPECT_EQ(par.palfileflag, 1);
  EXPECT_EQ(par.logfileflag, 1);
  parsecmd(10, {"-fixlett", "0.4", ""});
  EXPECT_EQ(par.fixlettflag, 0);
  parsecmd(10, {"-fixlett", "0.4", "X"});
  EXPECT_EQ(par.fixlettflag, 1);
  EXPECT_STREQ(par.fixlettstr, "X");
}

TEST(OptionLoop, ThreeWrapModes) {
  parsecmd(10, {"-noeccwrap"});
  EXPECT_EQ(par.skipeccwrapflag, 1);
  EXPECT_EQ(par.skipeccwrapnogapflag, 0);
  parsecmd(10, {"-noeccwrap", "-noeccwrapnogap"});
  EXPECT_EQ(par.skipeccwrapflag, 0);
  EXPECT_EQ(par.skipeccwrapnogapflag, 1);
  parsecmd(10, {"-noeccwrapnogap", "-eccwrap"});
  EXPECT_EQ(par.skipeccwrapflag, 0);
  EXPECT_EQ(par.skipeccwrapnogapflag, 0);
}

TEST(FixedLists, ReadExactlyTheirCountOrStop) {
  parsecmd(10, {"-nbackgaps", "1", "2", "3", "4", "5", "6", "-evlags", "0.5", "1", "2", "-evdurs", "3", "2", "1"});
  EXPECT_EQ(par.nbackgaps[5], 6);
  EXPECT_FLOAT_EQ(par.eventlags[0], 0.5f);
  EXPECT_FLOAT_EQ(par.eventdurs[0], 3.0f);
  parsecmd(61, {"-bits2code", "1", "0", "0", "0", "0", "0", "0", "1"});
  EXPECT_EQ(par.bits2codeflag, 1);
  EXPECT_EQ(par.cdbits[7], 1);
  parsecmd(61, {"-bits2code", "1", "0", "0", "0", "0", "0", "0", "1", "-code2bits", "7"});
  EXPECT_EQ(par.bits2codeflag, 0);
  EXPECT_EQ(par.sxcode, 7);
  EXPECT_FATAL(parsecmd(10, {"-nbackgaps", "1", "2", "3", "4", "5"}), "too few nbakgaps");
  EXPECT_FATAL(parsecmd(10, {"-evlags", "1", "2"}), "too few evlags");
  EXPECT_FATAL(parsecmd(10, {"-evdurs"}), "too few evdurs");
  EXPECT_FATAL(parsecmd(61, {"-bits2code", "1", "0"}), "too few code bits \\(need 8\\)");
}

TEST(ConditionLists, NamesAndOrders) {
  parsecmd(10, {"-condnames", "3", "off", "a", "b", "-condlist", "0", "1", "2", "1"});
  ASSERT_EQ(par.condcnt, 3);
  EXPECT_EQ(par.condnames[2], "b");
  EXPECT_EQ(par.condlist, (std::vector<int>{0, 1, 2, 1}));
  EXPECT_EQ(par.condlistcnt, 4);
  parsecmd(10, {"-condnames", "3", "off", "a", "b", "-condlist", "01"});
  EXPECT_EQ(par.condlist, (std::vector<int>{1}));
  parsecmd(10, {"-condnames", "2", "x", "y", "-condlist", "1", "0", "-conddurlist", "10", "20"});
  EXPECT_FLOAT_EQ(par.conddurlist[1], 20.0f);
  // Earlier names, including a type's defaults, are discarded.
  parsecmd(10, {"-condnames", "2", "p", "q", "-condnames", "2", "r", "s"});
  EXPECT_EQ(par.condnames, (std::vector<std::string>{"r", "s"}));
}

TEST(ConditionLists, RefusedNamesAndOrders) {
  EXPECT_FATAL(parsecmd(10, {"-condnames", "1", "a"}), "bad num of conditions 1 \\(OK:2-n\\)");
  EXPECT_FATAL(parsecmd(10, {"-condnames", "3", "a", "b"}), "too few condition names \\(OK:3\\)");
  EXPECT_FATAL(parsecmd(10, {"-condnames", "3", "a", "b", "a"}), "duplicate condition name: a");
  EXPECT_FATAL(parsecmd(10, {"-condnames", "2", "a", "b", "c"}), "too many condition names \\(OK:2\\)");
  EXPECT_FATAL(parsecmd(10, {"-condnames", "3", "a", "-stereo", "b"}), "got next option parsing -condnames");
  EXPECT_FATAL(parsecmd(54, {"-condnames", "2", "a", "b"}), "this stimtype requires 3 conditions");
  EXPECT_FATAL(parsecmd(10, {"-condlist", "0"}), "-condlist must follow \\(maybe defaulted\\) -condnames");
  EXPECT_FATAL(parsecmd(54, {"-condlist", "0", "3"}), "bad -condlist condnum: 3 \\(max=2\\)");
  EXPECT_FATAL(parsecmd(54, {"-condlist", "1x"}), "bad condnum in -condlist: 1x");
  EXPECT_FATAL(parsecmd(54, {"-condlist"}), "no condnums in -condlist");
  EXPECT_FATAL(parsecmd(54, {"-condlist", "-stereo"}), "no condnums in -condlist");
  EXPECT_FATAL(parsecmd(54, {"-condlist", "1", "-condlist", "2"}), "-condlist can only be specified once");
  EXPECT_FATAL(parsecmd(54, {"-conddurlist", "1"}), "-conddurlist must follow -condlist");
  EXPECT_FATAL(parsecmd(54, {"-condlist", "1", "2", "-conddurlist"}), "no conddurs in -conddurlist");
  EXPECT_FATAL(parsecmd(54, {"-condlist", "1", "2", "-conddurlist", "5"}),
               "-conddurlist count doesn't match -condlist count");
}

TEST(OpenLists, StopAtTheNextOption) {
  testing::internal::CaptureStdout();
  parsecmd(10, {"-targtimes", "5", "7.5", "-stereo"});
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("vistrum: read 2 target onset times\n"), std::string::npos);
  EXPECT_EQ(par.targtimeslist, (std::vector<float>{5.0f, 7.5f}));
  EXPECT_EQ(par.stereoflag, 1);
  // A negative number ends the list and is then a stray word.
  EXPECT_FATAL(parsecmd(10, {"-targtimes", "5", "-1"}), "bad option: => -1 <=");
  EXPECT_FATAL(parsecmd(10, {"-targtimes", "5", "-targtimes", "6"}), "-targtimeslist can only be specified once");
  EXPECT_FATAL(parsecmd(10, {"-targtimes"}), "no target onset times in -targtimeslist");
}

TEST(OpenLists, CyclesAreRatesOfTheRunPeriodInForce) {
  testing::internal::CaptureStdout();
  parsecmd(10, {"-runperiod", "256", "-cycleslist", "4", "8"});
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("vistrum: 2 freqs (runperiod: 256.0 sec)\n"), std::string::npos);
  EXPECT_NE(out.find("  2:  8 cyc -> 0.031250 Hz\n"), std::string::npos);
  EXPECT_FLOAT_EQ(par.freqlist[0], 4.0f / 256.0f);
  EXPECT_FATAL(parsecmd(10, {"-cycleslist", "1", "-cycleslist", "2"}), "-cycleslist can only be specified once");
  EXPECT_FATAL(parsecmd(10, {"-cycleslist"}), "no cycles in -cycleslist");
  // Type 58's default list may be replaced once by the user's.
  parsequiet(58, {"-cycleslist", "3", "5"});
  EXPECT_EQ(par.freqlistcnt, 2);
  EXPECT_FATAL(parsecmd(58, {"-cycleslist", "3", "-cycleslist", "5"}), "-cycleslist can only be specified once");
}

TEST(SoundLists, FilesMustExistAndSoasMatch) {
  const std::string dir = std::string(std::getenv("VISTRUM_DIR")) + "/build-snd-test";
  // Use a temporary directory with two files.
  char tmpl[] = "/tmp/vistrum-sndXXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  for (const char* n : {"a.wav", "b.wav"}) {
    FILE* f = std::fopen((std::string(tmpl) + "/" + n).c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  }
  testing::internal::CaptureStdout();
  parsecmd(10, {"-sndfiledir", tmpl, "-sndfilenames", "2", "a.wav", "b.wav", "-sndsoalist", "1", "2"});
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find(std::string("sndfile[1]: ") + tmpl + "/b.wav\n"), std::string::npos);
  EXPECT_EQ(par.sndfilecnt, 2);
  EXPECT_EQ(par.sndfilenames[0], "a.wav");
  EXPECT_EQ(par.sndsoalist.size(), 2u);
  EXPECT_FATAL(parsecmd(10, {"-sndfiledir", tmpl, "-sndfilenames", "1", "c.wav"}),
               std::string("can't open sndfile ") + tmpl + "/c.wav");
  EXPECT_FATAL(parsecmd(10, {"-sndfilenames", "0"}), "bad num of sndfiles 0 \\(OK:1-n\\)");
  EXPECT_FATAL(parsecmd(10, {"-sndfilenames", "2", "x"}), "too few sndfile names \\(OK:2\\)");
  EXPECT_FATAL(parsecmd(10, {"-sndsoalist", "1"}), "-sndsoalist must follow -sndfilenames");
  EXPECT_FATAL(parsecmd(10, {"-sndfiledir", tmpl, "-sndfilenames", "2", "a.wav", "b.wav", "-sndsoalist", "1"}),
               "-sndsoalist count doesn't match -sndfilenames count");
  for (const char* n : {"a.wav", "b.wav"}) std::remove((std::string(tmpl) + "/" + n).c_str());
  rmdir(tmpl);
  (void)dir;
}

TEST(AirTubeMap, NeedsExactlyAirtubesDistinctNumbers) {
  parsecmd(100, {"-airtubes", "3", "-airtubemap", "2", "3", "1"});
  EXPECT_EQ(par.airtubemap, (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(par.mapairtubes, 3);
  EXPECT_FATAL(parsecmd(100, {"-airtubes", "3", "-airtubemap", "1", "2"}), "too few -airtubemap nums \\(OK:3\\)");
  EXPECT_FATAL(parsecmd(100, {"-airtubes", "3", "-airtubemap", "1", "4", "2"}), "bad -airtubemap num: 4 \\(OK:1-3\\)");
  EXPECT_FATAL(parsecmd(100, {"-airtubes", "3", "-airtubemap", "1", "1", "2"}), "duplicate -airtubemap num: 1");
  EXPECT_FATAL(parsecmd(100, {"-airtubes", "2", "-airtubemap", "1", "2", "3"}), "too many -airtubemap nums \\(OK:2\\)");
  EXPECT_FATAL(parsecmd(100, {"-airtubes", "2", "-airtubemap", "1", "-stereo"}), "got next opt parsing -airtubemap");
}

TEST(PortReaders, DevicesPortsBitsAndRoles) {
  EXPECT_EQ(getdevnum("256"), 0);  // taken as a byte
  EXPECT_EQ(getportnum("D"), 3);
  EXPECT_EQ(getportlett(1), 'B');
  EXPECT_FATAL(getdevnum("4"), "bad ACCES dev \\(OK:0-3\\): 4");
  EXPECT_FATAL(getportnum("b"), "bad ACCES port lett \\(OK:A-D\\): b");
  EXPECT_FATAL(getportnum("AB"), "bad ACCES port lett");
  EXPECT_FATAL(getbitnum("8"), "bad ACCES bit \\(OK:0-7\\): 8");
  EXPECT_FATAL(getportlett(4), "bad ACCES port num \\(OK:0-3\\): 4");
  EXPECT_FATAL(parsecmd(10, {"-usbtrigbit", "0", "b", "3"}), "bad ACCES port lett");
  EXPECT_FATAL(parsecmd(10, {"-usbtrigbit", "0", "B"}), "-usbtrigbit needs 3 args");
  EXPECT_FATAL(parsecmd(10, {"-usbcodeport", "0"}), "-usbcodeport needs 2 args");

  parsecmd(10, {"-usbtrigbit", "256", "B", "3"});
  EXPECT_EQ(par.trigdevnum, 0);
  EXPECT_EQ(par.trigbitnum, 3);
  EXPECT_EQ(par.usbbitsstate[0][1][3], 1);
  EXPECT_EQ(par.usbbitsstate[0][1][0], 0);  // the old trigger bit lost its role

  parsecmd(10, {"-usbcodeport", "1", "A", "-usbcodeport", "2", "C"});
  for (int b = 0; b < 8; b++) {
    EXPECT_EQ(par.usbbitsstate[1][0][b], 0);
    EXPECT_EQ(par.usbbitsstate[2][2][b], 3);
  }
  parsecmd(10, {"-usbrespport", "0", "A", "-addport2set", "3", "D", "-addport2set", "3", "C"});
  EXPECT_EQ(par.usbbitsstate[0][0][7], 2);
  EXPECT_EQ(par.usbbitsstate[3][3][0], 4);
  EXPECT_EQ(par.usbbitsstate[3][2][5], 4);
  EXPECT_EQ(par.bitarrayflag, 1);
}

TEST(DirectoryReaders, FallBackToTestAndReportTheResult) {
  testing::internal::CaptureStdout();
  parsecmd(10, {"-worddir", "no-such-subdir"});
  const std::string out = testing::internal::GetCapturedStdout();
  const std::string lib = par.vistrumdir;
  EXPECT_NE(out.find("vistrum: ### wordfiles subdir:\n  " + lib + "/lib/wordfiles/no-such-subdir\nnot found, using \"test\"\n"),
            std::string::npos);
  EXPECT_EQ(std::string(par.worddir), lib + "/lib/wordfiles/test");
  EXPECT_NE(out.find("vistrum: reset full worddir:\n  " + lib + "/lib/wordfiles/test\n"), std::string::npos);
  parsequiet(10, {"-tiffdir", "/tmp"});
  EXPECT_STREQ(par.tiffdir, "/tmp");
  EXPECT_FATAL(parsecmd(10, {"-sndfiledir"}), "-sndfiledir missing arg");
}

TEST(DirectoryReaders, AMisspeltPictureFolderIsRefusedNotReplacedByTheTestPatterns) {
  EXPECT_FATAL(parsecmd(54, {"-tiffdir", "photoss"}), "### no such -tiffdir: photoss");
  EXPECT_FATAL(parsecmd(54, {"-tiffdir", "./no-such-folder"}), "### no such -tiffdir");
}
