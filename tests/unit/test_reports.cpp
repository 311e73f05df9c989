// The three reports: usage text, defaults listing and their agreement with
// the parser; the listing pasted back as a command line lists the same.
#include "config/help.h"
#include "core/version.h"
#include "stimuli/catalogue.h"
#include "test_options_util.h"

#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace {

// Every keyword the parser must accept, in parser order.
const std::vector<std::string> kKeywords = {
    "-stimtype", "-s", "-runperiod", "-exptend", "-prepostfix", "-trbased", "-polperiod", "-eccperiod",
    "-orbperiod", "-rampperiod", "-twoperiod", "-twoperiod2", "-dilperiod", "-flowperiod", "-aflowperiod",
    "-wobbleperiod", "-stereoperiod", "-blockperiod", "-randperiod", "-numperiod", "-lineperiod",
    "-offspercyc", "-offsperrun", "-onfrac", "-flickerfreq", "-gratfreq", "-flowsperblock", "-printdefs",
    "-help", "-trunc2off", "-notrunc2off", "-twocondperiph", "-notwocondperiph", "-condnames", "-condlist",
    "-conddurlist", "-cycleslist", "-targtimes", "-proboffcond", "-srseed", "-ecc2condcent", "-ecc2condperi",
    "-stoprepeats", "-nostoprepeats", "-expfrac", "-polwidth", "-eccwidth", "-eccwidthrdep", "-circwidth",
    "-fwhmheight", "-rotdilextrafac", "-eccwrap", "-noeccwrap", "-noeccwrapnogap", "-polstartoffset",
    "-smoothwrapfrac", "-smoothwrapshri", "-smoothwrapdim", "-ipsirange", "-vhemi", "-avoidvm", "-minrad",
    "-minrad2", "-maxrad", "-orbrad", "-numtheta", "-numtheta2", "-numrad", "-numrad2", "-truncnumrad",
    "-ecccnt", "-polcnt", "-oppwedgewidth", "-light2dark", "-centmaskrad", "-pol4toffset", "-sphererad",
    "-exptrans", "-noexptrans", "-exptransobj", "-noexptransobj", "-peripheccmask", "-noperipheccmask",
    "-centerpol", "-nocenterpol", "-tworing", "-notworing", "-fixrad", "-fixbright", "-fixdim", "-fixtype",
    "-fixline", "-fixdisp", "-fixarr", "-fixmesh", "-fixgrid", "-gridperinteroc", "-fixdots", "-wigglefixamp",
    "-wigglefixlam", "-wiggledotamp", "-fixfontsize", "-fixmeshlast", "-nofixmeshlast", "-wanderfix",
    "-nowanderfix", "-fixgridmask", "-nofixgridmask", "-fixcornertri", "-nofixcornertri", "-fixcent",
    "-nofixcent", "-wigglefix", "-nowigglefix", "-wobblefreq", "-wobbleamp", "-wobbleedgefreq",
    "-wobbleedgeamp", "-wobbledispfreq", "-wobbledispamp", "-wobble", "-nowobble", "-edgetoo", "-noedgetoo",
    "-disptoo", "-nodisptoo", "-dimtarg", "-oritarg", "-disptarg", "-flowtarg", "-sftarg", "-chktarg",
    "-fixtarg", "-fixlett", "-fonttarg", "-imtarg", "-imtargfrms", "-onebacktarg", "-reportpercent",
    "-maxcorrectRT", "-presaccadedur", "-minfrms2nexttg", "-targframes", "-oritargquad", "-arrowkeyhits",
    "-minlett", "-maxlett", "-imjitt", "-bgheight", "-imheight", "-imcnt", "-bgcnt", "-bgspercyc",
    "-imspercyc", "-maxgrid", "-gridsize", "-tiffdir", "-tiffdur", "-tiffscale", "-tiffrad", "-scalefrac",
    "-mintiffsize", "-targtiffinfix", "-maxtiffspeed", "-simulcnt", "-wrapmaxecclet", "-nowrapmaxecclet",
    "-screenclamplet", "-noscreenclamplet", "-wandpolbalance", "-nowandpolbalance", "-staggertiffs",
    "-nostaggertiffs", "-maskimgs", "-nomaskimgs", "-clamponscreen", "-noclamponscreen", "-test", "-notest",
    "-minbar", "-maxbar", "-mintfreq", "-maxtfreq", "-sinfrac", "-mincycles", "-maxcycles", "-initblankfrac",
    "-numfsamples", "-numcycsamples", "-numflikperfreq", "-bgwingray", "-bwcontrast", "-vbwfrac", "-coltype",
    "-colcontrast", "-avgcolbright", "-maskcontrast", "-avgmaskbright", "-offcolbright", "-sinusoidtype",
    "-greenbluedim", "-stereorotdeg", "-stereodisp", "-interocdist", "-vertdisp", "-stereoscaleeye",
    "-stereobdtype", "-stereobdrad", "-stereobdwidth", "-stereobdgap", "-stereobdbright", "-stereocent",
    "-stereosteep", "-stereoline", "-stereoLred", "-stereoLgrn", "-stereoLblu", "-stereoRred", "-stereoRgrn",
    "-stereoRblu", "-stereo", "-nostereo", "-quadlines", "-noquadlines", "-packstereoupdown",
    "-nopackstereoupdown", "-doubleframerate", "-nodoubleframerate", "-taperdisp", "-notaperdisp",
    "-antialias", "-noantialias", "-numdots", "-maxdotxy", "-dotsize", "-dotcornerjitt", "-dotlife",
    "-dotspeed", "-rotspeed", "-dilspeed", "-dotjspeed", "-flowspertarg", "-smoothflowtype", "-depthripples",
    "-dotjittcent", "-dotstereotype", "-dotjrange", "-wdotjrange", "-dotrot", "-nodotrot", "-dotdil",
    "-nodotdil", "-scaledots", "-noscaledots", "-vistrumlocale", "-worddir", "-wordfile", "-avgfontsize",
    "-minfontsize", "-eccfontscale", "-poltextyfact", "-gapdur", "-textdur", "-lettspernum", "-textcol",
    "-textboxcol", "-texttargcol", "-fontfile", "-fontfile2", "-fontfile3", "-font2to1scale",
    "-font3to1scale", "-wordsperblock", "-minwidthfrac", "-fixdurmodfrac", "-xspacefrac", "-linespacing",
    "-sweepspernum", "-simulnums", "-sweepspertarg", "-rightleftcuedur", "-fixword", "-nofixword",
    "-shuffwords", "-noshuffwords", "-fixdurwidthmod", "-nofixdurwidthmod", "-exptfile", "-palfile",
    "-exptfontsize", "-bgimgfile", "-bits2code", "-code2bits", "-sxcode", "-nosxcode", "-sxcode2ttl",
    "-nosxcode2ttl", "-sndprog", "-sndfiledir", "-sndbgtrack", "-sndfilenames", "-sndsoalist", "-logfiledir",
    "-waitforpulse", "-usbtrigbit", "-usbcodeport", "-usbrespport", "-addport2set", "-logfile", "-nologfile",
    "-verboselog", "-noverboselog", "-logrespbits", "-nologrespbits", "-loadaccesdev", "-noloadaccesdev",
    "-setupusb", "-nosetupusb", "-highison", "-nohighison", "-fivekeytrigger", "-nofivekeytrigger",
    "-apostrophetrigger", "-noapostrophetrigger", "-captkeytrigger", "-nocaptkeytrigger", "-toggletrigger",
    "-notoggletrigger", "-targdistbright", "-radjit", "-thetajit", "-targ1rad", "-targ2rad", "-retevery",
    "-initend", "-targ1beg", "-targ1end", "-targ2beg", "-targ2end", "-dimend", "-trialend", "-distbeg",
    "-distend", "-distnum", "-frmsdistrefresh", "-distjit", "-sacdist", "-nosacdist", "-airtubes",
    "-puffsperpolpos", "-puffdur", "-puffjitt", "-airgrid", "-airtubemap", "-delayttlport",
    "-lasposperfinger", "-lasperfinger", "-fingerstimISI", "-pulsedelayfracISI", "-fingercnt", "-randline",
    "-norandline", "-airpuffbyte", "-noairpuffbyte", "-winxy", "-startstimscale", "-viewdist", "-screenwidth", "-startmouse",
    "-saveframes", "-framerate", "-rehearse", "-firstframetime", "-tiffoutdir", "-monitor", "-mirror", "-photodiode", "-replaceframes", "-noreplaceframes", "-fullscreen", "-nofullscreen",
    "-gammafile", "-requiresync", "-norequiresync", "-mousectrl",
    "-nomousectrl", "-savetransparency", "-nosavetransparency", "-drawtransparency", "-nodrawtransparency",
    "-drawblendtransparency", "-nodrawblendtransparency", "-numangles", "-angleoff", "-polrandnback",
    "-evperlagmin", "-evperlagrange", "-nbackgaps", "-evlags", "-evdurs",
};

std::string capture(void (*fn)()) {
  testing::internal::CaptureStdout();
  fn();
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

int listtype = 10;
void listdefs() { printdefs(listtype); }

std::string listing(int type, const std::vector<std::string>& opts) {
  parsequiet(type, opts);
  listtype = type;
  return capture(listdefs);
}

// Splits text into words as a POSIX shell would for plain, '...' and backslash-escaped words.
std::vector<std::string> shellwords(const std::string& text) {
  std::vector<std::string> words;
  std::string cur;
  bool inword = false, quoted = false, escaped = false;
  for (char c : text) {
    if (escaped) {
      cur += c;
      escaped = false;
    } else if (!quoted && c == '\\') {
      escaped = inword = true;
    } else if (quoted) {
      if (c == '\'')
        quoted = false;
      else
        cur += c;
    } else if (c == '\'') {
      quoted = inword = true;
    } else if (c == ' ' || c == '\n' || c == '\t') {
      if (inword) words.push_back(cur);
      cur.clear();
      inword = false;
    } else {
      cur += c;
      inword = true;
    }
  }
  if (inword) words.push_back(cur);
  return words;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

}  // namespace

TEST(Reports, ParserUsageAndListingNameTheSameKeywords) {
  std::vector<std::string> parser;
  for (const char* k : optionkeywords()) parser.push_back(k);
  EXPECT_EQ(parser, kKeywords);
  ASSERT_EQ(parser.size(), 400u);

  std::vector<std::string> used;
  bool inoptions = false;
  for (const std::string& l : lines(capture(usage))) {
    if (l == " Options:") inoptions = true;
    if (l.rfind(" Color type", 0) == 0) inoptions = false;
    if (!inoptions || l.rfind("   -", 0) != 0 || l.rfind("   --", 0) == 0) continue;
    const std::string word = l.substr(3, l.find(' ', 3) - 3);
    if (word.rfind("-[no]", 0) == 0) {
      used.push_back("-" + word.substr(5));
      used.push_back("-no" + word.substr(5));
    } else {
      used.push_back(word);
    }
  }
  EXPECT_EQ(used, kKeywords);

  // Every listing line is an option of the parser (or a bracketed note), and
  // every switch pair shows one of its two states.
  const std::set<std::string> known(kKeywords.begin(), kKeywords.end());
  std::set<std::string> listed;
  for (const std::string& l : lines(listing(10, {}))) {
    if (l.rfind("   ", 0) != 0) continue;
    const std::string word = l.substr(3, l.find(' ', 3) - 3);
    if (word[0] == '[') continue;
    EXPECT_TRUE(known.count(word)) << word;
    listed.insert(word);
  }
  for (const OptionDef& o : optiontable()) {
    if (o.key && o.nokey) {
      EXPECT_EQ(listed.count(o.key) + listed.count(o.nokey), 1u) << o.key;
    }
  }
}

TEST(Reports, UsageSections) {
  const std::string text = capture(usage);
  EXPECT_EQ(text.rfind("\nuse: vistrum -stimtype/-s <num> [opts ...]\n     vistrum -helpstim/-h <num>\n\n", 0), 0u);
  for (const char* s : {" Stimulus-type numbers:", " Coordinate system, units:", " Options:", " Hotkeys:",
                        " Color type (-coltype) nums for checkerboards (+smoothflow,lcms):",
                        "-airtubemap 1 12 10 2 11 9 3 5 8 4 6 7", "(pix/unit = <xpix>/3.12)", "3.12 x 2.34",
                        "   -polperiod <sec|inf>  [POL] CCW rotation period (neg:CW)\n",
                        "   -fixarr <rad> <0-1>   array (rad:0=1,1=3x3, 2nd arg:spacing)\n", "62000 events",
                        "17.2 minutes", "   -[no]stereo "})
    EXPECT_NE(text.find(s), std::string::npos) << s;
  const std::string last = lines(text).back();
  // The version the manual pages and the events table print too.
  EXPECT_EQ(last.substr(last.size() - 13), "version: 16ma");
  EXPECT_EQ(last.substr(last.rfind(' ') + 1), VISTRUM_VERSION);
  // One line per runnable type, colons aligned; the test pattern and the
  // refused numbers are not offered.
  int n = 0;
  const StimTypeInfo* t = stimtable(&n);
  for (int k = 0; k < n; k++) {
    char head[32];
    std::snprintf(head, sizeof head, "\n%5d:  ", t[k].num);
    const bool offered = validstimtype(t[k].num) && t[k].num != 9999;
    EXPECT_EQ(text.find(head) != std::string::npos, offered) << t[k].num;
  }
  EXPECT_NE(text.find("\n    4:  wedge with masked flow and number task (with target images: 34)\n"), std::string::npos);
}

TEST(Reports, ListingReflectsTypeAndEarlierOptions) {
  std::string text = listing(54, {});
  EXPECT_EQ(text.rfind("\n default values for stimtype=54 (not all relevant):\n\n   -stimtype 54\n", 0), 0u);
  EXPECT_NE(text.find("   -condnames 3 off dilatefront dilateback\n"), std::string::npos);
  EXPECT_NE(text.find("   -blockperiod 16.00\n"), std::string::npos);
  EXPECT_NE(text.find("   -dilperiod inf\n"), std::string::npos);
  EXPECT_NE(text.find("   -exptend inf\n"), std::string::npos);
  EXPECT_NE(text.find("   -condlist [no default]\n"), std::string::npos);
  EXPECT_NE(text.find("   [no default -sndfilenames this stim]\n"), std::string::npos);
  text = listing(10, {"-polperiod", "32", "-noexptrans", "-noeccwrap", "-saveframes", "3", "30"});
  EXPECT_NE(text.find("   -polperiod 32.00\n"), std::string::npos);
  EXPECT_NE(text.find("   -noexptrans\n"), std::string::npos);
  EXPECT_NE(text.find("   -noeccwrap\n"), std::string::npos);
  EXPECT_EQ(text.find("   -eccwrap\n"), std::string::npos);
  EXPECT_NE(text.find("   -saveframes 3 30\n"), std::string::npos);
  EXPECT_NE(text.find("   [no default -condnames this stim]\n"), std::string::npos);
  EXPECT_NE(text.find("   -nbackgaps 0 0 0 0 0 0\n"), std::string::npos);
  EXPECT_NE(text.find("   -evlags 0.00 0.00 0.00\n"), std::string::npos);
  EXPECT_NE(text.find("   -fixrad 0.015\n"), std::string::npos);
  EXPECT_NE(text.find("   -winxy 1024 768\n"), std::string::npos);
  EXPECT_NE(text.find("   -usbtrigbit 0 B 0\n"), std::string::npos);
  EXPECT_NE(text.find("   -fixlett 0.000 '=><='\n"), std::string::npos);
  text = listing(10, {"-fixtarg", "0.125", "0.4", "-fixlett", "0.25", "A B"});
  EXPECT_NE(text.find("   -fixtarg 0.250 0.400\n"), std::string::npos);
  EXPECT_NE(text.find("   -fixlett 0.250 '=>A B<='\n"), std::string::npos);
  text = listing(58, {});
  EXPECT_NE(text.find("   -cycleslist 5 7 11 13 17 19 23 29 31 37 41 43\n"), std::string::npos);
  text = listing(75, {});
  EXPECT_NE(text.find("   -fontfile 'Times New Roman.ttf'\n"), std::string::npos);
}

TEST(Reports, PrintdefsEndsTheRunBeforeLaterOptions) {
  EXPECT_EXITS_WITH(0, parsequiet(10, {"-printdefs", "-polperiod", "32"}), "");
  EXPECT_EXITS_WITH(0, parsecmd(10, {"-printdefs", "-polperiod", "32"}), "   -polperiod 64.00\n");
  EXPECT_EXITS_WITH(0, parsecmd(10, {"-polperiod", "32", "-printdefs"}), "   -polperiod 32.00\n");
  EXPECT_EXITS_WITH(0, parsecmd(10, {"-help"}), "version: 16ma");
}

TEST(Reports, ListingPastedBackListsTheSameForEveryType) {
  int n = 0;
  const StimTypeInfo* t = stimtable(&n);
  std::vector<int> types;
  for (int k = 0; k < n; k++)
    if (validstimtype(t[k].num)) types.push_back(t[k].num);
  ASSERT_GT(types.size(), 100u);
  for (int type : types) {
    const std::string first = listing(type, {});
    std::vector<std::string> words = shellwords(first);
    // Drop the heading words up to the first option.
    while (!words.empty() && words.front() != "-stimtype") words.erase(words.begin());
    ASSERT_GE(words.size(), 2u) << type;
    std::vector<std::string> opts(words.begin() + 2, words.end());
    const std::string second = listing(type, opts);
    EXPECT_EQ(first, second) << "type " << type;
  }
  // With non-default lists and texts too.
  const std::vector<std::string> opts = {"-condnames", "3", "a b", "it's", "c", "-condlist", "2", "0", "-targtimes",
                                         "3", "9", "-fixlett", "0.25", "X", "-fixgrid", "0.3", "-bits2code", "1",
                                         "0", "1", "0", "1", "0", "1", "0", "-addport2set", "1", "C", "-sndprog", ""};
  const std::string first = listing(10, opts);
  std::vector<std::string> words = shellwords(first);
  while (words.front() != "-stimtype") words.erase(words.begin());
  EXPECT_EQ(first, listing(10, std::vector<std::string>(words.begin() + 2, words.end())));
  EXPECT_NE(first.find("   -condnames 3 'a b' 'it'\\''s' c\n"), std::string::npos);
  EXPECT_NE(first.find("   -sndprog ''\n"), std::string::npos);
}

TEST(Reports, EveryOptionDescriptionStartsInOneColumn) {
  const std::string text = capture(usage);
  int longheads = 0;
  for (const OptionDef& o : optiontable()) {
    if (!o.key || o.internal) continue;
    std::string head = o.nokey ? std::string("-[no]") + (o.key + 1) : std::string(o.key);
    if (*o.args) head += std::string(" ") + o.args;
    std::string want = "\n   " + head;
    if (head.size() > 21) {
      // Too long for its column: the description follows on the next line.
      want += "\n" + std::string(25, ' ');
      longheads++;
    } else {
      want += std::string(22 - head.size(), ' ');
    }
    want += std::string(o.help).substr(0, 8);
    EXPECT_NE(text.find(want), std::string::npos) << want;
  }
  EXPECT_GT(longheads, 10);
  EXPECT_NE(text.find("   -aflowperiod <sec|inf>\n                         [AIR] air-puff sweep period\n"), std::string::npos);
}

namespace {

// The type numbers a help text names after "type"/"types" ("types 104,105",
// "e.g. 3,26,34,57 and 83", "fixed names: types\n49,54,...").
std::vector<int> typesnamedin(const std::string& help) {
  std::vector<int> nums;
  static const std::regex list("(types?|e\\.g\\.)[:\\s]+([0-9][0-9,\\s]*(and\\s+[0-9]+)?)");
  for (std::sregex_iterator m(help.begin(), help.end(), list), end; m != end; ++m) {
    std::istringstream in(std::regex_replace((*m)[2].str(), std::regex("[,a-z]"), " "));
    for (int n; in >> n;) nums.push_back(n);
  }
  return nums;
}

}  // namespace

// Every type a help text names exists, draws, and uses the option (what the
// option feeds is among the type's needs, where the row records it).
TEST(Reports, EveryTypeNamedInAHelpTextExistsAndUsesTheOption) {
  const std::map<std::string, unsigned> feeds = {{"-condnames", kRandomBlocks},
                                                 {"-tiffdir", kPictures},
                                                 {"-airgrid", kAirPuffs},
                                                 {"-wordsperblock", kWordLists}};
  int named = 0;
  auto check = [&](const std::string& what, const std::string& help, unsigned need) {
    for (int n : typesnamedin(help)) {
      named++;
      const StimTypeInfo* s = stiminfo(n);
      ASSERT_TRUE(s && validstimtype(n)) << what << " names type " << n;
      EXPECT_NE(s->draw, nullptr) << what << " names type " << n;
      if (need) {
        EXPECT_TRUE(s->needs & need) << what << " names type " << n;
      }
    }
  };
  for (const OptionDef& o : optiontable()) {
    if (!o.key) continue;
    const auto f = feeds.find(o.key);
    check(o.key, o.help, f == feeds.end() ? 0u : f->second);
  }
  for (const HotkeyHelp& h : hotkeys()) check(h.keys, h.action, 0u);
  EXPECT_GE(named, 15);
}
