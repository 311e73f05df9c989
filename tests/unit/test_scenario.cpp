// Scenario files, palettes and rectangle files: the event table, every
// reader error, the palette layouts and the rectangle geometry.
#include <gtest/gtest.h>

#include "keepglobals.h"
#include "scenario/palfile.h"
#include "scenario/pgifile.h"
#include "scenario/playback.h"
#include "scenario/scenariofile.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Parsed {
  int n;
  std::string err;
};

Parsed parse(const std::string& text) {
  FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  Parsed p;
  p.n = parseexpt(f, "t.scn", p.err);
  std::fclose(f);
  return p;
}

const ExptItem& item(int slot, int k) { return *exptframes[slot].subframes[k]; }

class Scenario : public ::testing::Test {
 protected:
  void SetUp() override {
    par.winxgl = 1024;
    par.winygl = 768;
    std::strcpy(par.tiffdir, "/lib/imagefiles/test");
    par.palfileflag = 0;
    std::strcpy(par.vistrumlocale, "C.UTF-8");
    std::string err;
    mkpalette("", err);
  }
  void TearDown() override { freeexpt(); }
  KeepGlobals keep;
};

TEST_F(Scenario, TimingModelInsertsFixationOnlyWhenSoaExceedsDuration) {
  Parsed p = parse("2000 1000 text=\"Get Ready\" color=8 +\nsnd=GetReady.mp3\n");
  ASSERT_EQ(p.n, 3) << p.err;
  EXPECT_EQ(exptframes[0].endtime, -1.0);
  EXPECT_EQ(item(0, 0).kind, KBLANK);
  EXPECT_EQ(exptframes[1].subframecnt, 2);
  EXPECT_STREQ(item(1, 0).name, "Get Ready");
  EXPECT_EQ(item(1, 1).kind, KSND);
  EXPECT_DOUBLE_EQ(exptframes[1].endtime, 1.0);
  EXPECT_EQ(item(2, 0).kind, KBLANK);
  EXPECT_EQ(item(2, 0).color, -1);  // colour of the event's last item
  EXPECT_DOUBLE_EQ(exptframes[2].endtime, 2.0);

  p = parse("250 16 rgb=face1.tiff size=200\n500 250 text=Ready\n# comment\n\n500 500 text=x color=3\n");
  ASSERT_EQ(p.n, 6) << p.err;
  EXPECT_STREQ(item(1, 0).name, "/lib/imagefiles/test/face1.tiff");
  EXPECT_EQ(item(1, 0).lblo, 0);
  EXPECT_FLOAT_EQ(item(1, 0).size, 200.0f);
  EXPECT_DOUBLE_EQ(exptframes[1].endtime, 0.016);
  EXPECT_DOUBLE_EQ(exptframes[2].endtime, 0.25);
  EXPECT_DOUBLE_EQ(exptframes[3].endtime, 0.5);
  EXPECT_DOUBLE_EQ(exptframes[4].endtime, 0.75);
  EXPECT_DOUBLE_EQ(exptframes[5].endtime, 1.25);  // SOA = duration: no fixation after it

  p = parse("f4 f2 text=x\n");
  ASSERT_EQ(p.n, 3);
  EXPECT_NEAR(exptframes[1].endtime, 2.0 / 60, 1e-12);
  EXPECT_NEAR(exptframes[2].endtime, 4.0 / 60, 1e-12);

  // A file ending inside a continued event leaves that event out.
  p = parse("100 100 text=a\n100 100 text=b +\n");
  EXPECT_EQ(p.n, 2);

  par.bgimgfileflag = 1;
  par.usesxcodeflag = 1;
  EXPECT_LT(parse("200 100 text=a\n").n, 0);  // the code is missing
  p = parse("200 100 3 text=a color=4\n");
  ASSERT_EQ(p.n, 3) << p.err;
  EXPECT_EQ(exptframes[1].code, 3);
  EXPECT_EQ(exptframes[2].code, -1);
  EXPECT_EQ(item(0, 0).kind, KBGIMG);
  EXPECT_STREQ(item(2, 0).name, par.bgimgfile);
  EXPECT_EQ(item(2, 0).color, 4);
}

TEST_F(Scenario, ItemsAndOptions) {
  const std::string text =
      "100 100 text=one two\n"
      "100 100 text=\"a story told\" xoff=512 yoff=-384 lblo=3 size=30\n"
      "100 100 text=\"say \\\"hi\\\" now\" color=255\n"
      "100 100 text=\\\"q\\\"\n"
      "100 100 pgi=r.pgi font=7 +\n"
      "ttl=12 +\n"
      "big5h= +\n"
      "utf8h=3b9,,067E\n"
      "100 100 utf8d=65,66\n";
  Parsed p = parse(text);
  ASSERT_EQ(p.n, 7) << p.err;
  EXPECT_STREQ(item(1, 0).name, "one");
  EXPECT_EQ(item(1, 0).lblo, 5);
  const ExptItem& story = item(2, 0);
  EXPECT_STREQ(story.name, "a story told");
  EXPECT_FLOAT_EQ(story.xoff, 1.56f);  // half the window: the right edge
  EXPECT_FLOAT_EQ(story.yoff, -1.17f);
  EXPECT_EQ(story.lblo, 3);
  EXPECT_EQ(story.color, -1);
  EXPECT_STREQ(item(3, 0).name, "say \"hi\" now");
  EXPECT_EQ(item(3, 0).color, 255);
  EXPECT_STREQ(item(4, 0).name, "\"q\"");
  EXPECT_EQ(item(5, 0).kind, KPGI);
  EXPECT_EQ(item(5, 0).font, 0);  // unloaded font slot
  EXPECT_EQ(item(5, 1).ttlbit, 12);
  EXPECT_EQ(item(5, 2).kind, KTEXT);
  EXPECT_STREQ(item(5, 2).name, "");
  EXPECT_STREQ(item(5, 3).name, "\xce\xb9\xd9\xbe");  // U+03B9, U+067E
  EXPECT_STREQ(item(6, 0).name, "AB");

  EXPECT_TRUE(endsinplus("text=x +  \t\r\n"));
  EXPECT_FALSE(endsinplus("text=x+y"));
  EXPECT_FALSE(endsinplus(" \t\n"));
  double ms = 0;
  EXPECT_TRUE(parsems("f4", &ms));
  EXPECT_NEAR(ms, 66.667, 1e-3);
  EXPECT_FALSE(parsems("-5", &ms));
  EXPECT_FALSE(parsems("nan", &ms));
  EXPECT_FALSE(parsems("12ms", &ms));
}

// Every malformed scenario gives its message, the offending line and where it is.
// Files from other systems and mistakes that would otherwise pass without
// a word: CR or CR LF line ends, Latin-1 text, misspelt option keys.
TEST_F(Scenario, LineEndsTextBytesAndMisspeltKeysAreNeverReadWrongSilently) {
  // CR ends: three events (one continued), not one merged line.
  Parsed p = parse("# cr\r100 100 text=a\r200 100 text=b +\rtext=c\r100 100 text=d\r");
  ASSERT_EQ(p.n, 5) << p.err;
  EXPECT_EQ(exptframes[2].subframecnt, 2);
  EXPECT_STREQ(item(2, 1).name, "c");
  EXPECT_STREQ(item(4, 0).name, "d");
  EXPECT_EQ(item(4, 0).lineno, 5);
  freeexpt();
  p = parse("100 100 text=a +\r\ntext=b size=40.5\r\n");
  ASSERT_EQ(p.n, 2) << p.err;
  EXPECT_FLOAT_EQ(item(1, 1).size, 40.5f);
  freeexpt();
  // Latin-1 in text= (here "caf\xe9") is refused with the file and line.
  p = parse("100 100 text=ok\n100 100 text=caf\xe9\n");
  EXPECT_EQ(p.n, -1);
  EXPECT_NE(p.err.find("vistrum: ### text= is not UTF-8 (byte 0xe9 at character 4) in this line:"), std::string::npos)
      << p.err;
  EXPECT_NE(p.err.find("at line 2 of t.scn"), std::string::npos) << p.err;
  freeexpt();
  p = parse("100 100 text=\"caf\xc3\xa9 ok\"\n");
  EXPECT_EQ(p.n, 2) << p.err;
  freeexpt();
  // A misspelt key is said with its line; the item keeps its defaults.
  testing::internal::CaptureStdout();
  p = parse("100 100 text=a\n100 100 text=b colour=2 yofs=100 size=30\n");
  std::fflush(stdout);
  const std::string out = testing::internal::GetCapturedStdout();
  ASSERT_EQ(p.n, 3) << p.err;
  EXPECT_NE(out.find("vistrum: ### unknown option colour=2 ignored (line 2 of t.scn)"), std::string::npos) << out;
  EXPECT_NE(out.find("vistrum: ### unknown option yofs=100 ignored (line 2 of t.scn)"), std::string::npos) << out;
  EXPECT_EQ(item(2, 0).color, -1);
  EXPECT_FLOAT_EQ(item(2, 0).yoff, 0.0f);
  EXPECT_FLOAT_EQ(item(2, 0).size, 30.0f);
}

TEST_F(Scenario, EveryMalformedLineIsNamedWithItsLineNumber) {
  struct Case {
    std::string text, message;
    int line;
  };
  const std::vector<Case> cases = {
      {"# c\n100 100 txt=a\n", "unrecognized line:", 2},
      {"100 text=a\n", "couldn't parse this line:", 1},
      {"100 x100 text=a\n", "couldn't parse this line:", 1},
      {"100 -5 text=a\n", "couldn't parse this line:", 1},
      {"100 100 text=\"open\n", "only found one quote on this line:", 1},
      {"100 100 ttl=0\n", "bad ttlbit: 0 (OK:1-12) this line:", 1},
      {"100 100 ttl=13\n", "bad ttlbit: 13 (OK:1-12) this line:", 1},
      {"100 100 ttl=1 +\nttl=2\n", "only one airpuff per frame: bad line:", 2},
      {"100 100 text=a color=256\n", "bad value in color=256", 1},
      {"100 100 text=a xoff=1.5\n", "bad value in xoff=1.5", 1},
      {"100 100 text=a size=big\n", "bad value in size=big", 1},
      {"100 100 rgb=\n", "nothing after rgb=", 1},
      {"100 100 utf8d=65,zz\n", "bad code point", 1},
      {"\n\n100 100 text=" + std::string(300, 'a') + "\n", "longer than 298 characters", 3},
      {"100 100 text=\"" + std::string(250, 'a') + "\"\n", "longer than 199 characters", 1},
      {std::string("100 100 text=a\0b\n", 17), "NUL byte in line 1", 1},
      {"# only comments\n", "no events in exptfile t.scn", 0},
  };
  for (const Case& c : cases) {
    Parsed p = parse(c.text);
    EXPECT_EQ(p.n, -1) << c.text;
    EXPECT_NE(p.err.find("vistrum: ### "), std::string::npos);
    EXPECT_NE(p.err.find(c.message), std::string::npos) << p.err;
    if (c.line) {
      EXPECT_TRUE(p.err.find("line " + std::to_string(c.line)) != std::string::npos) << p.err;
    }
  }
  // The table holds 62000 slots: slot 0 and 61999 events.
  std::string big;
  for (int k = 0; k < 61999; k++) big += "1 1 text=x\n";
  EXPECT_EQ(parse(big).n, 62000);
  Parsed p = parse(big + "1 1 text=x\n");
  EXPECT_NE(p.err.find("list overflow (max=62000)"), std::string::npos);
  EXPECT_NE(p.err.find("at line 62000 of t.scn"), std::string::npos);
  // With codes sent as bytes a code must fit in one.
  par.usesxcodeflag = par.sxcode2ttlflag = 1;
  EXPECT_NE(parse("1 1 256 text=x\n").err.find("0-255"), std::string::npos);
}

std::vector<unsigned char> palfile(unsigned magic, bool bigendianheader, int n) {
  std::vector<unsigned char> d(896, 0);
  auto put = [&](int w, unsigned v) {
    d[2 * w + (bigendianheader ? 1 : 0)] = v & 0xff;
    d[2 * w + (bigendianheader ? 0 : 1)] = v >> 8;
  };
  put(0, magic);
  put(2, n);
  put(3, 6);
  // Colour k of entry i is (i + k) % 64, stored with each byte pair swapped.
  for (int i = 0; i < 256; i++)
    for (int k = 0; k < 3; k++) d[(128 + 3 * i + k) ^ 1] = static_cast<unsigned char>((i + k) % 64);
  return d;
}

TEST_F(Scenario, PaletteFileLayoutsAndErrors) {
  EXPECT_EQ(rpalette[1], 252);
  EXPECT_EQ(gpalette[1], 252);
  EXPECT_EQ(rpalette[2], 252);
  EXPECT_EQ(gpalette[2], 0);
  const Pal6 c150 = defpalentry(150), c192 = defpalentry(192), c200 = defpalentry(200);
  EXPECT_EQ(c150.r, 0);
  EXPECT_NEAR(c150.g, 58, 1);
  EXPECT_NEAR(c150.b, 26, 2);
  EXPECT_EQ(c192.b, 63);
  EXPECT_EQ(c200.r, 7);
  EXPECT_EQ(c200.b, 56);

  std::string err;
  // The magic word 0xAA55 stored either way round: the header words follow it.
  for (bool swapped : {false, true}) {
    rpalette[10] = gpalette[10] = bpalette[63] = 0;
    const auto d = palfile(0xAA55, swapped, 256);
    ASSERT_TRUE(parsepalette(d.data(), d.size(), d.size(), "p.pal", err)) << err;
    EXPECT_EQ(rpalette[10], 40);
    EXPECT_EQ(gpalette[10], 44);
    EXPECT_EQ(bpalette[63], 4 * 1);
  }
  auto d = palfile(0x1234, false, 256);
  EXPECT_FALSE(parsepalette(d.data(), d.size(), d.size(), "p.pal", err));
  EXPECT_NE(err.find("bad magic (1234) in palette p.pal"), std::string::npos);
  // A short file holding all the colours it declares loads (with a warning);
  // one ending inside them, or declaring no or too many colours, does not.
  d = palfile(0xAA55, false, 4);
  EXPECT_TRUE(parsepalette(d.data(), 140, 140, "p.pal", err));
  EXPECT_FALSE(parsepalette(d.data(), 130, 130, "p.pal", err));
  for (int n : {0, 257}) {
    d = palfile(0xAA55, false, n);
    err.clear();
    EXPECT_FALSE(parsepalette(d.data(), d.size(), d.size(), "p.pal", err));
    EXPECT_NE(err.find("bad colour count"), std::string::npos);
  }
  par.palfileflag = 1;
  err.clear();
  EXPECT_FALSE(mkpalette("/nonexistent/x.pal", err));
  EXPECT_NE(err.find("palette file /nonexistent/x.pal not found"), std::string::npos);
}

bool pgi(const std::string& text, ExptItem& it, std::string& err) {
  FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
  const bool ok = parsepgi(f, "r.pgi", &it, err);
  std::fclose(f);
  return ok;
}

TEST_F(Scenario, RectangleFiles) {
  ExptItem it{};
  it.color = -1;
  it.xoff = 0.5f;
  std::string err;
  const float u = 3.12f / 1024;  // units per pixel
  ASSERT_TRUE(pgi("# c\nrotate 45\nfrect 100 50\nfrect 100 50\nmoveto 0 0\nbogus 1\norect 10 20\n", it, err)) << err;
  ASSERT_EQ(it.rectcnt, 3);
  // Rotated about its centre; the second starts at the item's position unrotated.
  const PgiRect& r0 = it.rects[0];
  const float cx = 0.5f + 50 * u, cy = 25 * u;
  EXPECT_NEAR((r0.x[0] + r0.x[2]) / 2, cx, 1e-6);
  EXPECT_NEAR((r0.y[0] + r0.y[2]) / 2, cy, 1e-6);
  float x2, y2;
  my2rot(-50 * u, 25 * u, 45.0f, &x2, &y2);
  EXPECT_NEAR(r0.x[0], cx + x2, 1e-6);
  EXPECT_NEAR(r0.y[0], cy + y2, 1e-6);
  EXPECT_FLOAT_EQ(it.rects[1].x[0], 0.5f);
  EXPECT_FLOAT_EQ(it.rects[1].x[1], 0.5f + 100 * u);
  EXPECT_FLOAT_EQ(it.rects[1].y[2], 50 * u);
  EXPECT_EQ(it.rects[1].r, 252);  // no colour anywhere: white
  EXPECT_FLOAT_EQ(it.rects[2].x[0], 0.0f);  // moveto is absolute
  EXPECT_EQ(it.rects[2].filled, 0);

  // Colours: the item's colour, a palette index, then an explicit colour
  // that later palette indices do not override.
  it.color = 2;
  ASSERT_TRUE(pgi("frect 1 1\nsetfgcolor 11\nfrect 1 1\nsetrgbcolor 1 2 3\nsetfgcolor 8\nfrect 1 1\n", it, err));
  EXPECT_EQ(it.rects[0].r, 252);
  EXPECT_EQ(it.rects[0].g, 0);
  EXPECT_EQ(it.rects[1].b, 252);
  EXPECT_EQ(it.rects[1].r, 0);
  EXPECT_EQ(it.rects[2].g, 2);
  ASSERT_TRUE(pgi("# nothing\n", it, err));
  EXPECT_EQ(it.rectcnt, 0);

  for (const char* bad : {"frect 10\n", "frect 10 x\n", "moveto 1e30 0\n", "setfgcolor 256\n", "setrgbcolor 1 2 -3\n",
                          "rotate nan\n"}) {
    err.clear();
    EXPECT_FALSE(pgi(std::string("# c\n") + bad, it, err)) << bad;
    EXPECT_NE(err.find("in pgi file r.pgi line 2:"), std::string::npos) << err;
  }
  err.clear();
  EXPECT_FALSE(pgi("frect 1 1 " + std::string(200, ' ') + "\n", it, err));
  EXPECT_NE(err.find("longer than 198"), std::string::npos);
  std::free(it.rects);
}

// Slot k is shown while the previous end < t <= its own end.
TEST_F(Scenario, PlaybackSlotBoundaries) {
  ASSERT_EQ(parse("200 100 text=a\n100 100 text=b\n").n, 4);
  EXPECT_EQ(exptslot(0.0, 0, exptframes, 4), 1);
  EXPECT_EQ(exptslot(0.1, 0, exptframes, 4), 1);
  EXPECT_EQ(exptslot(0.1000001, 0, exptframes, 4), 2);
  EXPECT_EQ(exptslot(0.25, 2, exptframes, 4), 3);
  EXPECT_EQ(exptslot(0.31, 1, exptframes, 4), 4);  // over
}

}  // namespace

// "#code <n> <name>" names a code for the log; to older readers it is a
// comment. A malformed one is said and read as a comment; a new file
// forgets the names of the last.
TEST_F(Scenario, CodeNamesComeFromCommentLines) {
  par.usesxcodeflag = 1;
  testing::internal::CaptureStdout();
  const Parsed p = parse("#code 3 face\n#code 4\n#code 7 two words\n# code 8 spaced\n1000 250 3 text=x\n");
  const std::string out = testing::internal::GetCapturedStdout();
  ASSERT_EQ(p.n, 3) << p.err;
  EXPECT_EQ(exptframes[1].code, 3);
  ASSERT_NE(exptcodename(3), nullptr);
  EXPECT_STREQ(exptcodename(3), "face");
  EXPECT_EQ(exptcodename(4), nullptr);
  EXPECT_EQ(exptcodename(7), nullptr);
  EXPECT_EQ(exptcodename(8), nullptr);
  EXPECT_NE(out.find("vistrum: ### line 2 of t.scn: \"#code\" wants a code and a one-word name: read as a comment"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("line 3 of t.scn"), std::string::npos) << out;
  ASSERT_EQ(parse("1000 250 3 text=x\n").n, 3);
  EXPECT_EQ(exptcodename(3), nullptr);
}
