// Per-type defaults: installed before parsing, overridden by options.
#include "test_options_util.h"

#include "stimuli/catalogue.h"

namespace {

// The defaults listing of the current parameters, without its -stimtype line.
std::string listingbody() {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  printoptiondefaults(f);
  std::fclose(f);
  std::string text(buf, len);
  std::free(buf);
  return text.substr(text.find('\n') + 1);
}

}  // namespace

TEST(TypeDefaults, BasicWedgeAndOptionsWin) {
  parsecmd(10, {});
  EXPECT_EQ(par.numrad, 31);
  EXPECT_EQ(par.numtheta, 2);
  EXPECT_FLOAT_EQ(par.minrad, 0.015f);
  EXPECT_FLOAT_EQ(par.maxrad, 1.5f);
  EXPECT_FLOAT_EQ(par.polwidth, 11.25f);
  EXPECT_FLOAT_EQ(par.polfreq, 1.0f / 64);
  parsecmd(10, {"-polwidth", "30", "-numrad", "7"});
  EXPECT_FLOAT_EQ(par.polwidth, 30.0f);
  EXPECT_EQ(par.numrad, 7);
  // Types without an entry keep the built-in defaults.
  parsecmd(21, {});
  EXPECT_EQ(par.numrad, 0);
  EXPECT_FLOAT_EQ(par.maxrad, 2.0f);
}

// A random-block type names its conditions and requires that many; no
// other type names any.
TEST(TypeDefaults, RandomBlockTypesNameTheirConditions) {
  int count = 0;
  const StimTypeInfo* rows = stimtable(&count);
  for (int k = 0; k < count; k++) {
    if (!validstimtype(rows[k].num)) continue;
    parsequiet(rows[k].num, {});
    SCOPED_TRACE(rows[k].num);
    EXPECT_EQ(par.condcnt >= 2, (rows[k].needs & kRandomBlocks) != 0);
    EXPECT_EQ(par.condcnt, static_cast<int>(par.condnames.size()));
    EXPECT_EQ(par.reqcondcnt, par.condcnt);
  }
  parsequiet(54, {});
  EXPECT_EQ(par.condnames, (std::vector<std::string>{"off", "dilatefront", "dilateback"}));
}

// A type whose defaults ask for a log has a log of its own to write (else
// the log would be switched off at every run and its record lost).
TEST(TypeDefaults, EveryTypeWhoseDefaultsLogHasALogName) {
  int count = 0;
  const StimTypeInfo* rows = stimtable(&count);
  for (int k = 0; k < count; k++) {
    if (!validstimtype(rows[k].num)) continue;
    parsequiet(rows[k].num, {});
    if (par.logfileflag) {
      EXPECT_TRUE(stimmaylog(rows[k].num, par.chktargprob, par.fixtargprob)) << rows[k].num;
    }
  }
}

TEST(TypeDefaults, InstalledListsAndDirectories) {
  testing::internal::CaptureStdout();
  freshparams(58);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("vistrum: 12 freqs (runperiod: 512.0 sec)\n"), std::string::npos);
  EXPECT_NE(out.find(" 12: 43 cyc -> 0.083984 Hz\n"), std::string::npos);
  ASSERT_EQ(par.freqlistcnt, 12);
  EXPECT_FLOAT_EQ(par.freqlist[0], 5.0f / 512);
  EXPECT_EQ(par.polfreq, 0.0f);

  for (int type : {111, 112, 119}) {
    parsequiet(type, {});
    EXPECT_EQ(par.mapairtubes, 12);
    EXPECT_EQ(par.airtubemap.front(), 1);
    EXPECT_EQ(par.airtubemap.back(), 12);
  }
  // Every air type has its default map: the identity around the face,
  // the face grid (forehead to chin) for the line types.
  parsequiet(100, {});
  EXPECT_EQ(par.mapairtubes, 12);
  EXPECT_EQ(par.setupusbflag, 0);
  parsequiet(104, {});
  EXPECT_EQ(par.airtubemap, (std::vector<int>{1, 12, 10, 2, 11, 9, 3, 5, 8, 4, 6, 7}));

  parsequiet(75, {});
  // "vwfa" is resolved under the library (or falls back to "test").
  EXPECT_NE(std::string(par.worddir).find("/lib/wordfiles/"), std::string::npos);
  EXPECT_STREQ(par.fontfile, "Times New Roman.ttf");
}

TEST(TypeDefaults, SettingsOfSomeTypes) {
  parsequiet(15, {});
  EXPECT_EQ(par.nbackgaps[0], 3);
  EXPECT_EQ(par.nbackgaps[5], 6);
  EXPECT_FLOAT_EQ(par.eventlags[2], 3.0f);
  EXPECT_EQ(par.polrandnback, 2);
  parsequiet(79, {});
  EXPECT_EQ(par.winxgl, 1920);
  EXPECT_EQ(par.winygl, 1080);
  EXPECT_EQ(par.drawfixgridflag, 1);
  EXPECT_FLOAT_EQ(par.startstimscale, 0.68643f);
  parsequiet(84, {});
  EXPECT_EQ(par.skipeccwrapnogapflag, 1);
  EXPECT_EQ(par.drawfixmeshflag, 1);
  EXPECT_FLOAT_EQ(par.fixbgbright, 0.1f);
  parsequiet(65, {});
  EXPECT_STREQ(par.fontfile2, "lekhani_dynamic.ttf");
  EXPECT_EQ(par.textdur, 0.45) << "a type's double defaults are exact, not rounded through a float";
  parsequiet(65, {"-textdur", "0.45"});
  EXPECT_EQ(par.textdur, static_cast<double>(0.45f)) << "the command line keeps its float reading";
  parsequiet(0, {});
  EXPECT_EQ(par.logfileflag, 1);
  EXPECT_FLOAT_EQ(par.bgwingray, 0.2f);
}

TEST(TypeDefaults, TypesWithoutAnEntryKeepEveryBuiltIn) {
  par = Params{};
  std::snprintf(par.vistrumdir, TEXTLEN, "%s", std::getenv("VISTRUM_DIR") ? std::getenv("VISTRUM_DIR") : ".");
  testing::internal::CaptureStdout();
  setdefaultlibdirs();
  (void)testing::internal::GetCapturedStdout();
  const std::string builtin = listingbody();
  // 27 and 64 are unassigned like 21 and 43: no defaults of a type in
  // progress that asks for a log it cannot write.
  for (int type : {21, 27, 43, 61, 64, 76, 89, 99, 110, 9999}) {
    parsequiet(type, {});
    EXPECT_EQ(listingbody(), builtin) << "type " << type;
    EXPECT_TRUE(par.condnames.empty());
    EXPECT_EQ(par.freqlistcnt, 0);
    EXPECT_EQ(par.mapairtubes, 0);
  }
  // Switches that only the type table sets.
  struct Flag {
    int type;
    int Params::*flag;
  };
  for (const Flag& f : std::vector<Flag>{{1, &Params::polRvsLflag},
                                         {2, &Params::polRvsLflag},
                                         {23, &Params::ecc2condflag},
                                         {24, &Params::ecc3condflag},
                                         {29, &Params::polVvsHflag},
                                         {42, &Params::usemaxrad},
                                         {82, &Params::twocondperiphdriver}}) {
    parsequiet(f.type, {});
    EXPECT_EQ(par.*f.flag, 1) << "type " << f.type;
    parsequiet(10, {});
    EXPECT_EQ(par.*f.flag, 0);
  }
  // Shared rows end with each type's own values.
  parsequiet(117, {});
  EXPECT_FLOAT_EQ(par.eccwidth, 0.08f);
  EXPECT_FLOAT_EQ(par.maxlett, 1.5f);
  parsequiet(44, {});
  EXPECT_EQ(par.eccfreq, 0.0f);
  EXPECT_FLOAT_EQ(par.polfreq, 1.0f / 64);
  parsequiet(45, {});
  EXPECT_EQ(par.polfreq, 0.0f);
  EXPECT_FLOAT_EQ(par.eccfreq, 1.0f / 64);
}

// The keywords of switches only a type's defaults set are not the operator's.
TEST(TypeDefaults, InternalKeywordsAreRefusedOnTheCommandLine) {
  parsequiet(1, {});
  EXPECT_EQ(par.polRvsLflag, 1);
  EXPECT_FATAL(parsecmd(10, {"-polRvsL"}), "bad option: => -polRvsL <=");
}
