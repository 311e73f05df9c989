// Font lookup, loading and the grab-point arithmetic of text drawing.
#include "keepglobals.h"
#include "config/params.h"
#include "core/runstate.h"
#include "draw/fonts.h"

#include <FTGL/ftgl.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string libdir() { return std::getenv("VISTRUM_DIR") ? std::getenv("VISTRUM_DIR") : "."; }

const std::vector<std::string> nofallback = {"/nonexistent/fallback-a.ttf", "/nonexistent/fallback-b.ttf"};

}  // namespace

TEST(FontLookup, EveryDefaultFontNameIsShippedAndRenders) {
  for (const char* name : {"luxisb.ttf", "Vera.ttf", "Times New Roman.ttf", "lekhani_dynamic.ttf"}) {
    const FontLookup r = lookupfont(name, libdir().c_str(), nofallback);
    ASSERT_TRUE(r.messages.empty()) << name;
    EXPECT_EQ(r.path, libdir() + "/lib/fonts/" + name);
    FTPixmapFont font(r.path.c_str());
    ASSERT_FALSE(font.Error()) << name;
    ASSERT_TRUE(font.CharMap(ft_encoding_unicode)) << name;
    ASSERT_TRUE(font.FaceSize(24, 72));
    const FTBBox box = font.BBox("Ready");
    EXPECT_GT(box.Upper().X() - box.Lower().X(), 20.0) << name;  // real glyphs, not empty boxes
    EXPECT_GT(font.Ascender(), 10.0f) << name;
  }
}

TEST(FontLookup, MissingLibraryNameFallsBackWithMessage1b) {
  const std::string fallback = libdir() + "/lib/fonts/Vera.ttf";
  const FontLookup r = lookupfont("nosuchfont.ttf", libdir().c_str(), {"/nonexistent/a.ttf", fallback});
  EXPECT_EQ(r.path, fallback);
  ASSERT_EQ(r.messages.size(), 2u);
  EXPECT_EQ(r.messages[0], "vistrum:  (1b) vistrum fonts dir fontfile \"" + libdir() + "/lib/fonts/nosuchfont.ttf\" not found\n");
  EXPECT_EQ(r.messages[1], "vistrum:  (2) fontfile /nonexistent/a.ttf not found\n");
}

TEST(FontLookup, PathNamesAreTakenAsWrittenAndNeverLookedUpInTheLibrary) {
  const FontLookup found = lookupfont((libdir() + "/lib/fonts/Vera.ttf").c_str(), "/nonexistent", nofallback);
  EXPECT_TRUE(found.messages.empty());
  const FontLookup r = lookupfont("./Vera.ttf", libdir().c_str(), nofallback);  // not in the test's cwd
  EXPECT_TRUE(r.path.empty());
  ASSERT_EQ(r.messages.size(), 6u);
  EXPECT_EQ(r.messages[0], "vistrum:  (1a) abs/loc fontfile \"./Vera.ttf\" not found\n");
  EXPECT_EQ(r.messages[3], "vistrum: ### couldn't find font: ./Vera.ttf\n");
  EXPECT_EQ(r.messages[4], "vistrum: ### use fullpath: -fontfile[2,3] /dir/with/somefont.ttf\n");
  EXPECT_EQ(r.messages[5], "vistrum: ### HOWTO search: find / -name \\*.ttf -print\n");
}

TEST(FontLookup, TheBuiltInFallbacksIncludeAFontOfTheInstalledPackages) {
  const FontLookup r = lookupfont("nosuchfont.ttf", "/nonexistent", fallbackfonts());
  EXPECT_FALSE(r.path.empty());
}

TEST(FontLookupDeathTest, NoCandidateEndsWithStatusOne) {
  const KeepGlobals keep;
  std::strcpy(par.vistrumdir, libdir().c_str());
  char buf[TEXTLEN] = "./missing.ttf";
  EXPECT_EXIT(
      {
        dup2(2, 1);
        resolvefont(buf, sizeof buf, nofallback);
      },
      ::testing::ExitedWithCode(1),
      "\\(1a\\) abs/loc fontfile \"./missing.ttf\" not found\n(.*\n)*"
      "vistrum: ### couldn't find font: ./missing.ttf\n"
      "vistrum: ### use fullpath: -fontfile\\[2,3\\] /dir/with/somefont.ttf\n"
      "vistrum: ### HOWTO search: find / -name .\\*.ttf -print");
}

TEST(FontLookup, ResolvedPathIsCopiedBack) {
  const KeepGlobals keep;
  std::strcpy(par.vistrumdir, libdir().c_str());
  char buf[TEXTLEN] = "Vera.ttf";
  getfullfontfilename(buf, sizeof buf);
  EXPECT_EQ(std::string(buf), libdir() + "/lib/fonts/Vera.ttf");
}

TEST(FontSlotsDeathTest, BadSlotNumbersEndTheRun) {
  const KeepGlobals keep;
  std::strcpy(par.vistrumdir, libdir().c_str());
  char path[TEXTLEN] = "Vera.ttf";
  // Messages go to standard output; the child sends it to standard error,
  // where the death test reads it.
  EXPECT_EXIT(
      {
        dup2(2, 1);
        initfont(path, sizeof path, 3);
      },
      ::testing::ExitedWithCode(1), "vistrum: ### bad fontnum 3 \\(OK:0-2\\)");
  // Two fonts loaded: slot 2 is one too many for drawing.
  EXPECT_EXIT(
      {
        dup2(2, 1);
        std::strcpy(par.fontfile, "Vera.ttf");
        std::strcpy(par.fontfile2, "luxisb.ttf");
        par.fontfile3[0] = '\0';
        loadfonts();
        if (fontcnt() != 2) std::exit(2);
        drawstr("x", 0, 0, 24, 0, 2);
      },
      ::testing::ExitedWithCode(1), "vistrum: ### bad fontnum: 2 \\(OK:0-1\\)");
}

TEST(FontSlots, FontfileThreeWithoutTwoTakesSlotOne) {
  const KeepGlobals keep;
  std::strcpy(par.vistrumdir, libdir().c_str());
  std::strcpy(par.fontfile, "Vera.ttf");
  par.fontfile2[0] = '\0';
  std::strcpy(par.fontfile3, "luxisb.ttf");
  loadfonts();
  EXPECT_EQ(fontcnt(), 2);
  EXPECT_EQ(std::string(par.fontfile), libdir() + "/lib/fonts/Vera.ttf");  // holds the resolved path
  par.fontfile3[0] = '\0';
}

TEST(GrabPoint, OffsetsForEveryGrabPoint) {
  const float w = 100, a = 20, u = 0.01f;  // 1 unit, ascender 0.2 units
  struct Case {
    int lblo;
    float dx, dy;
  } cases[] = {{0, 0, 0}, {1, -1, 0}, {2, 0, -0.06f}, {3, -0.5f, 0}, {5, -0.5f, -0.06f},
               {8, -1, -0.06f}, {4, 0, 0}, {7, 0, 0}, {-1, 0, 0}};
  for (const Case& c : cases) {
    const GrabOffset o = graboffset(c.lblo, w, a, u);
    EXPECT_NEAR(o.dx, c.dx, 1e-6) << c.lblo;
    EXPECT_NEAR(o.dy, c.dy, 1e-6) << c.lblo;
  }
}

TEST(GrabPoint, FaceSizeFollowsTheStimulusScaleAfterRounding) {
  EXPECT_EQ(facesize(24.0f, 1.0f), 24u);
  EXPECT_EQ(facesize(24.0f, 2.0f), 48u);
  EXPECT_EQ(facesize(23.6f, 1.0f), 24u);
  EXPECT_EQ(facesize(23.4f, 2.0f), 46u);  // rounded first, then scaled
  EXPECT_EQ(facesize(0.2f, 1.0f), 0u);
}

// A locale the system lacks (en_US.UTF-8, the default, on a bare Debian)
// falls back to C.UTF-8 instead of ending the run.
TEST(LocaleDeathTest, AnUnknownLocaleFallsBackToCUtf8) {
  EXPECT_EXIT(
      {
        dup2(2, 1);
        changelocale("xx_NOWHERE.bogus");
        std::printf("ctype=%s\n", std::setlocale(LC_CTYPE, nullptr));
        std::fflush(stdout);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0),
      "vistrum: init locale: .*\nvistrum: ### setlocale to: xx_NOWHERE.bogus failed, trying C.UTF-8\n"
      "vistrum: setlocale to: C.UTF-8\nctype=C.UTF-8");
}

// Only the character type follows the locale: numbers are written and read
// in the C form whatever it is (logs read by the tools, size=40.5).
TEST(Locale, SwitchesTheCharacterTypeOnlyNumbersStayC) {
  const std::string was = std::setlocale(LC_ALL, nullptr);
  const char* de = std::setlocale(LC_CTYPE, "de_DE.UTF-8") ? "de_DE.UTF-8" : nullptr;
  std::setlocale(LC_ALL, "C");
  if (!de) GTEST_SKIP() << "de_DE.UTF-8 not installed (scripts/install-deps.sh generates it)";
  changelocale(de);
  EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), de);
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  char buf[32];
  std::snprintf(buf, sizeof buf, "%9.3lf", 20.0);
  EXPECT_STREQ(buf, "   20.000");
  EXPECT_DOUBLE_EQ(std::strtod("40.5", nullptr), 40.5);
  const wchar_t w[] = {0xfc, 'b', 0};
  char mb[8];
  EXPECT_EQ(std::wcstombs(mb, w, sizeof mb), 3u) << "the text still converts";
  std::setlocale(LC_ALL, was.c_str());
}

// A FIFO named as a font would hang the loading: refused with its reason,
// not replaced by a fallback that hides the mistake.
TEST(FontLookup, AFifoIsRefusedNotOpened) {
  char dir[] = "/tmp/fontfifoXXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string fifo = std::string(dir) + "/f.ttf";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const FontLookup r = lookupfont(fifo.c_str(), ".", fallbackfonts());
  EXPECT_TRUE(r.path.empty());
  ASSERT_FALSE(r.messages.empty());
  EXPECT_EQ(r.messages[0], "vistrum: ### fontfile " + fifo + " is not a regular file (a FIFO)\n");
  unlink(fifo.c_str());
  rmdir(dir);
}
