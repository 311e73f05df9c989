// Word stimuli on the real binary: each word found where its geometry puts
// it, measured against the font's own advance box at its size and in the
// font of its condition; word-form blocks against their log lines; the
// reading page; repeatability with a fixed seed; bad word files; one-back
// targets and two-condition blocks of the log against what the frames show.
#include "harness.h"

#include <FTGL/ftgl.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

#include "eventstable/logevents.h"
#include "text/reading.h"

namespace {

class WordFrames : public XServerSuite<> {};

constexpr double UNITSPERPIXEL = 3.12 / 1024;

std::string wordfile(const std::string& content) {
  const std::string dir = maketempdir("words");
  const std::string path = dir + "/list.txt";
  std::ofstream(path) << content;
  return path;
}

struct Box {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1, n = 0;
  bool ok() const { return n > 0; }
  double cx() const { return (x0 + x1 + 1) / 2.0; }
};

// Pixels for which `sel` holds, outside a square of `skip` pixels around the centre.
template <typename Sel>
Box inkbox(const Image& im, Sel sel, int skip = 0) {
  Box b;
  for (int y = 0; y < im.height; y++)
    for (int x = 0; x < im.width; x++) {
      if (std::abs(x - im.width / 2) < skip && std::abs(y - im.height / 2) < skip) continue;
      if (!sel(im.r(x, y), im.g(x, y), im.b(x, y))) continue;
      b.x0 = std::min(b.x0, x), b.x1 = std::max(b.x1, x), b.y0 = std::min(b.y0, y), b.y1 = std::max(b.y1, y);
      b.n++;
    }
  return b;
}
bool dark(int r, int g, int b) { return r < 60 && g < 60 && b < 60; }
// Anything but the 0.4 grey background of the word-form type.
bool notbg(int r, int g, int b) { return std::abs(r - 102) > 8 || std::abs(g - 102) > 8 || std::abs(b - 102) > 8; }

struct Metrics {
  double width, ascender, bearing;
};
Metrics metrics(const char* font, const std::string& text, unsigned size) {
  FTPixmapFont f((sourcedir() + "/lib/fonts/" + font).c_str());
  f.CharMap(ft_encoding_unicode);
  f.FaceSize(size, 72);
  const FTBBox b = f.BBox(text.c_str());
  return {b.Upper().X() - b.Lower().X(), f.Ascender(), b.Lower().X()};
}

std::vector<std::string> eventwords(const std::string& log) {
  // Event lines without their times (the log's clock is the wall clock).
  std::vector<std::string> out;
  const std::regex ev("^([A-Za-z0-9]+:)\\s+[-0-9.]+(.*)$");
  std::istringstream in(log);
  std::string line;
  std::smatch m;
  while (std::getline(in, line))
    if (std::regex_match(line, m, ev)) out.push_back(m[1].str() + m[2].str());
  return out;
}

}  // namespace

TEST_F(WordFrames, PolarWordsFollowTheWedgeAngleAtTheirSizeAndGrabPoint) {
  const std::vector<std::string> words = {"minimum", "wax", "theorem", "lantern"};
  const std::string list = wordfile("# test words\nminimum\nwax\ntheorem\nlantern\n");
  // Radius 0.2 (minrad = maxrad), height (16*3*0.2 + 10) = 19.6 -> 20 px.
  const SavedRun run = loggedrun(*x, {"-s", "16", "-wordfile", list, "-nofixword", "-polperiod", "8"}, 18, 8.0);
  ASSERT_EQ(run.frames.size(), 18u);
  for (int k = 0; k < 18; k++) {
    const double t = k / 8.0;
    const int word = static_cast<int>(std::floor(t / 0.55));
    const double phase = t / 0.55 - word;
    const Box b = inkbox(run.frames[k], dark);
    if (phase > 0.45 / 0.55) {
      EXPECT_FALSE(b.ok()) << "gap at frame " << k;
      continue;
    }
    ASSERT_TRUE(b.ok()) << "frame " << k;
    const double th = std::fmod(t / 8.0 * 2 * M_PI, 2 * M_PI);
    const Metrics m = metrics("luxisb.ttf", words[word % 4], 20);
    EXPECT_NEAR(b.x1 - b.x0 + 1, m.width, 2.0) << words[word % 4] << " frame " << k;
    EXPECT_NEAR(b.cx(), 512 + 0.2 * std::cos(th) / UNITSPERPIXEL + m.bearing, 1.5) << "frame " << k;
    // No descenders: the ink ends on the baseline, 0.3 ascender below the grab point.
    EXPECT_NEAR(b.y1 + 1, 384 - 0.2 * std::sin(th) * 0.7 / UNITSPERPIXEL + 0.3 * m.ascender, 1.5) << "frame " << k;
  }
}

TEST_F(WordFrames, SecondConditionWordsComeInTheSecondFontAtItsScale) {
  const std::string list = wordfile("wavelength\n");
  // Blocks of 1 s: font 0 at 20 px first, then font 1 at 1.5 x 20 = 30 px.
  const SavedRun run = loggedrun(*x, {"-s", "68", "-wordfile", list, "-onebacktarg", "0", "-twoperiod", "2",
                                    "-minrad", "0.2", "-maxrad", "0.2", "-font2to1scale", "1.5"},
                               16, 8.0);
  const Metrics vera = metrics("Vera.ttf", "wavelength", 20), serif = metrics("lekhani_dynamic.ttf", "wavelength", 29);
  ASSERT_GT(std::fabs(vera.width - serif.width), 10.0);
  int seen[2] = {0, 0};
  for (int k = 0; k < 16; k++) {
    const Box b = inkbox(run.frames[k], dark);
    if (!b.ok()) continue;  // the gaps
    // A word's font is that of the block it started in (words of 0.55 s).
    const bool second = std::floor(k / 8.0 / 0.55) * 0.55 >= 1.0;
    EXPECT_NEAR(b.x1 - b.x0 + 1, second ? serif.width : vera.width, 2.0) << "frame " << k;
    seen[second]++;
  }
  EXPECT_GT(seen[0], 2);
  EXPECT_GT(seen[1], 2);
  for (const std::string& e : eventwords(run.log)) EXPECT_EQ(e.find("1BakEvent"), std::string::npos) << "-onebacktarg 0";
}

// A word shown from t = 0.875 to 1.175 straddles the block change at 1 s:
// it keeps the font it started with.
TEST_F(WordFrames, AWordKeepsItsFontAcrossABlockChange) {
  const std::string list = wordfile("wavelength\n");
  const SavedRun run = loggedrun(*x, {"-s", "68", "-wordfile", list, "-onebacktarg", "0", "-twoperiod", "2",
                                    "-minrad", "0.2", "-maxrad", "0.2", "-textdur", "0.3", "-gapdur", "0.1",
                                    "-firstframetime", "0.875"},
                               2, 8.0);
  ASSERT_EQ(run.frames.size(), 2u);
  const Metrics vera = metrics("Vera.ttf", "wavelength", 20);
  for (int k = 0; k < 2; k++) {
    const Box b = inkbox(run.frames[k], dark);
    ASSERT_TRUE(b.ok()) << "frame " << k;
    EXPECT_NEAR(b.x1 - b.x0 + 1, vera.width, 2.0) << "frame " << k;
  }
}

TEST_F(WordFrames, WordFormBlocksShowWordsTheirTransliterationAndTargetsAsLogged) {
  const std::vector<std::string> words = {"RAIN", "BRIDGE", "CAT", "DOMINO", "LEMON"};
  const std::string list = wordfile("RAIN\nBRIDGE\nCAT\nDOMINO\nLEMON\n");
  // Blocks of 2 s (word, font, off, word), words every 0.5 s shown 0.25 s:
  // four words per block; frames at 8 Hz, four per word.
  const SavedRun run = loggedrun(*x, {"-s", "75", "-wordfile", list, "-noshuffwords", "-condlist", "1", "2", "0", "1",
                                    "-blockperiod", "2", "-textdur", "0.25", "-gapdur", "0.25", "-srseed", "3"},
                               65, 8.0);  // the last at t = 8, the end of the design
  EXPECT_TRUE(hasline(run.result, "vistrum: 4.0 words/block")) << run.result.out;
  EXPECT_TRUE(hasline(run.result, "vistrum: word=2 font=1 off=1")) << run.result.out;
  std::vector<int> pink;
  for (int k = 0; k < 64; k++) {
    const Image& f = run.frames[k];
    ASSERT_TRUE(f.ok());
    const bool off = k >= 32 && k < 48;
    const Box b = inkbox(f, notbg);
    if (off || k % 4 >= 2) {
      // Fixation only: the small cross at the centre.
      ASSERT_TRUE(b.ok()) << "frame " << k;
      EXPECT_LE(b.x1 - b.x0, 12) << "frame " << k;
      continue;
    }
    const int counter = k < 32 ? k / 4 : 8 + (k - 48) / 4;
    std::string text = words[counter % 5];
    if (k >= 16 && k < 32) {
      std::string greek;
      static const int cps[26] = {915, 916, 923, 928, 931, 934, 936, 937, 948, 952, 955, 1026, 1041,
                                  1048, 1060, 1063, 1067, 1068, 915, 916, 923, 928, 931, 934, 936, 937};
      for (char c : text) {
        const int cp = cps[c - 'A'];
        greek += static_cast<char>(0xc0 | (cp >> 6));
        greek += static_cast<char>(0x80 | (cp & 0x3f));
      }
      text = greek;
    }
    const Metrics m = metrics("Times New Roman.ttf", text, 36);
    EXPECT_NEAR(b.x1 - b.x0 + 1, m.width, 2.0) << "frame " << k;
    EXPECT_NEAR(b.cx(), 512 + m.bearing, 1.5) << "frame " << k;
    bool red = false;
    for (int y = b.y0; y <= b.y1 && !red; y++)
      for (int xx = b.x0; xx <= b.x1; xx++)
        if (f.r(xx, y) > 240 && f.g(xx, y) < 200) red = true;
    if (red && (pink.empty() || pink.back() != counter)) pink.push_back(counter);
  }
  // One target in the first word block (words 0-2 after its first fifth) and
  // one in the font block (words 4-6): each logged between its block's lines.
  ASSERT_EQ(pink.size(), 2u);
  EXPECT_LT(pink[0], 3);
  EXPECT_GE(pink[1], 4);
  EXPECT_LT(pink[1], 7);
  const std::vector<std::string> ev = eventwords(run.log);
  const std::vector<std::string> want = {"InitRndBlk:   CondCnt=3", "StimEvent:   word (1)", "FontEvent:   red",
                                         "StimEvent:   font (2)",   "FontEvent:   red",      "StimEvent:   off (0)",
                                         "StimEvent:   word (1)",   "RndBlkExptDone:"};
  EXPECT_EQ(ev, want) << run.log;
}

TEST_F(WordFrames, ReadingPageShowsTheCurrentWordInItsPlaceAndBoxesTheRest) {
  const std::vector<std::vector<std::string>> tok = {
      {"rain", "hills", "mark", "cloud"}, {"tame", "bird", "stone", "fact"}, {"nice", "horse", "tail", "moon"}};
  const std::string list = wordfile("rain hills mark cloud\ntame bird stone fact\nnice horse tail moon\n");
  // Blocks of 2 s (para, then font), four words each: 0.5 s slots, no gap.
  const SavedRun run = loggedrun(*x, {"-s", "74", "-wordfile", list, "-condlist", "1", "2", "-blockperiod", "2",
                                    "-wordsperblock", "4"},
                               32, 8.0);
  // The page as the reader lays it out, from the font's own widths.
  std::vector<std::vector<float>> wid;
  for (const auto& line : tok) {
    wid.emplace_back();
    for (const std::string& w : line)
      wid.back().push_back(static_cast<float>(metrics("Vera.ttf", w, 24).width * UNITSPERPIXEL));
  }
  const float u = static_cast<float>(UNITSPERPIXEL);
  const ReadingAverages a = readingaverages(tok, wid, {4, 4}, 24 * u * 0.35f, 0.7f);
  PageWord page[4];
  layoutpage(tok, wid, 0, 4, -a.avglinewidth / 2 - 0.05f, 28 * u * 0.5f * a.avglinesperblock, 28 * u,
             24 * u * 0.35f, page);
  for (int k = 0; k < 32; k++) {
    const Image& f = run.frames[k];
    ASSERT_TRUE(f.ok());
    const int o = (k % 16) / 4;
    const bool font = k >= 16;  // both blocks start at the first line
    const Metrics m = font ? metrics("lekhani_dynamic.ttf", tok[0][o], 30) : metrics("Vera.ttf", tok[0][o], 24);
    const Box b = inkbox(f, dark);
    ASSERT_TRUE(b.ok()) << "frame " << k;
    EXPECT_NEAR(b.x0, 512 + page[o].x / u + m.bearing, 1.5) << "frame " << k;
    EXPECT_NEAR(b.x1 - b.x0 + 1, m.width, 2.0) << "frame " << k;
    EXPECT_NEAR(b.y1 + 1, 384 - (page[o].y + 0.15 * 24 * u) / u, 1.5) << "frame " << k;
    for (int i = 0; i < 4; i++) {
      const int px = 512 + static_cast<int>((page[i].x + page[i].w / 2) / u);
      const int py = 384 - static_cast<int>((page[i].y + 12 * u) / u);
      const bool box = std::abs(f.r(px, py) - 89) <= 2;  // textboxcol 0.35
      EXPECT_EQ(box, i != o) << "word " << i << " frame " << k;
    }
  }
}

TEST_F(WordFrames, NumbersSweepOutAtTheirRadiusAndSizeCountingUpPerNumberPeriod) {
  // One arm; the number steps 1, 2 ... every second; sweeps at 8*12/64 = 1.5 Hz.
  const SavedRun run = loggedrun(*x, {"-s", "62", "-simulnums", "1", "-numperiod", "8", "-sweepspertarg", "100000000"},
                               16, 8.0);
  const double a = std::pow(1.0 / 0.02, 1.0 / 0.98);
  int checked = 0;
  for (int k = 0; k < 16; k++) {
    const double t = k / 8.0, e = 1.5 * t - std::floor(1.5 * t);
    const double r = 0.02 * std::pow(a, e - 0.02);
    const unsigned size = static_cast<unsigned>(std::lround(115 * 3 * r + 3.33));
    if (size < 40 || r > 1.0) continue;  // too small to measure, or past the window
    const Box b = inkbox(run.frames[k], dark);
    ASSERT_TRUE(b.ok()) << "frame " << k;
    if (b.x0 == 0 || b.y0 == 0 || b.x1 == 1023 || b.y1 == 767) continue;  // cut by the window edge
    const std::string digit = std::to_string(static_cast<int>(t) + 1);
    const Metrics m = metrics("luxisb.ttf", digit, size);
    EXPECT_NEAR(b.x1 - b.x0 + 1, m.width, 3.0 + 0.02 * size) << "digit " << digit << " frame " << k;
    // The ink's middle sits near the grab point (0.3 ascender above the baseline).
    const double dx = b.cx() - 512 - m.bearing, dy = 384 - (b.y0 + b.y1 + 1) / 2.0;
    EXPECT_NEAR(std::hypot(dx, dy), r / UNITSPERPIXEL, 4.0 + 0.08 * size) << "frame " << k;
    checked++;
  }
  EXPECT_GE(checked, 4);
}

TEST_F(WordFrames, FixedSeedRepeatsFramesAndLogs) {
  for (const char* type : {"65", "55", "62"}) {
    const std::vector<std::string> args = {"-s", type, "-srseed", "11", "-onebacktarg", "40", "-blockperiod", "1",
                                           "-sweepspertarg", "2", "-numperiod", "4", "-polperiod", "16"};
    const SavedRun a = loggedrun(*x, args, 24, 8.0), b = loggedrun(*x, args, 24, 8.0);
    for (int k = 0; k < 24; k++) EXPECT_EQ(a.frames[k].rgba, b.frames[k].rgba) << "type " << type << " frame " << k;
    const std::vector<std::string> ev = eventwords(a.log);
    EXPECT_EQ(ev, eventwords(b.log)) << "type " << type;
    EXPECT_GE(ev.size(), 2u) << "type " << type << " logs its words or blocks:\n" << a.log;
  }
}

TEST_F(WordFrames, BadWordFilesStopWithTheirFileAndLine) {
  struct Case {
    std::string content, type, expect;
  };
  const std::vector<Case> cases = {
      {"# nothing\n", "16", "vistrum: ### no words in "},
      {"ok\n" + std::string(700, 'x') + "\n", "16", " line 2: longer than 597 characters"},
      {"ok\nna\xefve\n", "65", " line 2: byte 0xef at character 3 is not UTF-8 text"},
      {"ok\n" + std::string(300, 'W') + "\n", "16", " line 2: \""},
      {"one two three\n", "74", ": 3 words, but a block shows 64 (-wordsperblock)"},
      {"123\n456\n", "65", "vistrum: ### no letters a-z in "},
      {"OK\n", "75", "vistrum: ### too few words/block:-textdur,-blockperiod"},
  };
  for (const Case& c : cases) {
    const std::string list = wordfile(c.content);
    std::vector<std::string> args = {"-s", c.type, "-nofullscreen", "-exptend", "1", "-wordfile", list};
    if (c.type == "75") args.insert(args.end(), {"-blockperiod", "0.3"});
    const RunResult r = runvistrum(*x, args, 30);
    EXPECT_EQ(r.status, 1) << c.expect << "\n" << r.out;
    EXPECT_NE(r.out.find(c.expect), std::string::npos) << r.out;
  }
  const RunResult r = runvistrum(*x, {"-s", "16", "-nofullscreen", "-wordfile", "/nonexistent/w.txt"}, 30);
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(hasline(r, "vistrum: ### /nonexistent/w.txt not found")) << r.out;
  // A lower-case word stops the word-form run at its first font block.
  const std::string list = wordfile("lower\n");
  const RunResult f = runvistrum(*x, {"-s", "75", "-nofullscreen", "-exptend", "3", "-wordfile", list, "-condlist",
                                      "2", "-waitforpulse", "0"},
                                 30);
  EXPECT_EQ(f.status, 1) << f.out;
  EXPECT_TRUE(hasline(f, "vistrum: non-upper char")) << f.out;
}

namespace {

// A smaller screen for the long one-back and block runs.
class WordLogFrames : public XServerSuite<512, 384> {};

double timeofline(const std::string& line) {
  std::istringstream in(line);
  std::string word;
  double t = NAN;
  in >> word >> t;
  return t;
}

// The dark ink of an item, away from the fixation cross: a repeat at a
// fixed text size is the same ink wherever it lands.
struct ItemInk {
  int n = 0, w = 0, h = 0;
};
ItemInk iteminkof(const Image& im) {
  const Box b = inkbox(im, dark, 8);
  if (!b.ok()) return {};
  return {b.n, b.x1 - b.x0 + 1, b.y1 - b.y0 + 1};
}

// Items of 0.5 s (0.4 s shown) from t = 0.2 at a fixed size; at 4 frames a
// second frame 2k shows item k and frame 2k + 1 its gap.
std::vector<std::string> itemargs(const char* type, const std::string& list) {
  return {"-s", type, "-wordfile", list, "-textdur", "0.4", "-gapdur", "0.1", "-eccfontscale", "0",
          "-minfontsize", "40", "-minrad", "0.3", "-maxrad", "0.5", "-firstframetime", "0.2"};
}

}  // namespace

// A one-back target is a repeat of the item the subject saw just before,
// on an item that shows: never the first item, never a repeat of a blank.
TEST_F(WordLogFrames, EveryOneBackTargetIsAShownRepeatOfTheShownItemBefore) {
  // The empty line shows nothing: an item that repeats it is no target.
  const std::string list = wordfile("cat\nbridge\n\nlemon\nhorizon\nsky\nmarble\nfox\nwindowpane\n");
  int targets = 0;
  for (const char* type : {"65", "66", "67", "68"})
    for (const char* seed : {"9", "1", "4"}) {
      std::vector<std::string> args = itemargs(type, list);
      args.insert(args.end(), {"-twoperiod", "8", "-onebacktarg", "4", "-srseed", seed});
      const SavedRun run = loggedrun(*x, args, 32, 4.0);
      ASSERT_EQ(run.frames.size(), 32u) << "type " << type;
      for (const std::string& line : loglines(run.log, "1BakEvent:")) {
        const std::string at = std::string("type ") + type + " seed " + seed + ": " + line;
        const long k = std::lround((timeofline(line) - 0.2) / 0.5);
        ASSERT_GE(k, 0) << at;
        if (k >= 16) continue;
        targets++;
        const ItemInk now = iteminkof(run.frames[2 * k]);
        EXPECT_GT(now.n, 20) << at << ": the target shows";
        if (k == 0) {
          ADD_FAILURE() << at << ": the first item repeats nothing";
          continue;
        }
        const ItemInk before = iteminkof(run.frames[2 * k - 2]);
        EXPECT_GT(before.n, 20) << at << ": the item before it showed";
        // Blocks of 4 s; across a block change the font may differ.
        if (std::floor((0.2 + 0.5 * k) / 4.0) != std::floor((0.2 + 0.5 * (k - 1)) / 4.0)) continue;
        EXPECT_EQ(now.n, before.n) << at << ": the same item again";
        EXPECT_EQ(now.w, before.w) << at;
        EXPECT_EQ(now.h, before.h) << at;
      }
      removetree(run.dir);
    }
  EXPECT_GE(targets, 12);
}

// The two conditions of the one-back types reach the log as block
// conditions, each with the first item of its block, and the events table
// turns them into conditions lasting to the next one.
TEST_F(WordLogFrames, TwoConditionBlocksAreLoggedWithTheirFirstItem) {
  const std::string list = wordfile("cat\nbridge\nlemon\nhorizon\n");
  struct Case {
    const char* type;
    std::vector<std::string> extra;
    const char* first;
    const char* second;
    int firstnum;
  };
  const std::vector<Case> cases = {
      {"65", {}, "words", "letters", 0},
      {"66", {"-twoperiod", "-4"}, "letters", "words", 1},  // a negative period starts with the second
      {"67", {}, "font1", "font2", 0},
      {"68", {"-condnames", "2", "vera", "lekhani"}, "vera", "lekhani", 0},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = itemargs(c.type, list);
    args.insert(args.end(), {"-twoperiod", "4", "-onebacktarg", "0"});
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const SavedRun run = loggedrun(*x, args, 24, 4.0);
    ASSERT_EQ(run.frames.size(), 24u) << c.type;
    // Blocks of 2 s: their first items start at 0.2, 2.2 and 4.2.
    char want[3][64];
    for (int b = 0; b < 3; b++) {
      const bool first = b % 2 == 0;
      std::snprintf(want[b], sizeof want[b], "StimEvent: %8.3lf   %s (%d)", 0.2 + 2.0 * b, first ? c.first : c.second,
                    first ? c.firstnum : 1 - c.firstnum);
    }
    const std::vector<std::string> got = loglines(run.log, "StimEvent:");
    ASSERT_GE(got.size(), 3u) << "type " << c.type << "\n" << run.log;
    for (int b = 0; b < 3; b++) EXPECT_EQ(got[b], want[b]) << "type " << c.type;
    std::istringstream in(run.log);
    const EventsTable t = convertlog(in);
    EXPECT_TRUE(t.unmapped.empty()) << "type " << c.type;
    std::vector<const EventRow*> conds;
    for (const EventRow& r : t.rows)
      if (r.event == "StimEvent") conds.push_back(&r);
    ASSERT_GE(conds.size(), 3u) << "type " << c.type;
    EXPECT_EQ(conds[0]->trialtype, c.first);
    EXPECT_EQ(conds[1]->trialtype, c.second);
    EXPECT_NEAR(conds[0]->duration, 2.0, 1e-6);
    EXPECT_NEAR(conds[1]->onset - conds[0]->onset, 2.0, 1e-6);
    removetree(run.dir);
  }
}
