// Fixation marks on the real binary: colour and place of every kind of mark,
// which ones ignore the brightness, and the first dimming target.
#include "test_wedge_frames.h"

using namespace chk;

namespace {

class FixationFrames : public XServerSuite<> {};

// One frame of type 21 (background and fixation only) on a dark grey.
Image fixframe(const XServer& x, const char* type, std::vector<std::string> more = {}) {
  std::vector<std::string> a = {"-s", "21", "-fixtype", type, "-fixrad", "0.04", "-minrad", "0.1", "-fixline", "3",
                                "-fixbright", "0.6", "-bgwingray", "0.2"};
  a.insert(a.end(), more.begin(), more.end());
  std::vector<Image> f = savedframes(x, a, 1, 60.0, 1.0);
  return f.empty() ? Image{} : f[0];
}

// The pixel at (u, v), or the first one within two pixels that is not the
// background (thin lines may fall on either neighbouring row).
Px at(const Image& img, double u, double v, int bg = 51) {
  const int px = unitpixx(u), py = unitpixy(v);
  for (int dy = -2; dy <= 2; dy++)
    for (int dx = -2; dx <= 2; dx++) {
      const Px p{img.r(px + dx, py + dy), img.g(px + dx, py + dy), img.b(px + dx, py + dy)};
      if (!isgrey(p, bg)) return p;
    }
  return {img.r(px, py), img.g(px, py), img.b(px, py)};
}
bool is(Px p, int r, int g, int b) { return std::abs(p.r - r) <= 2 && std::abs(p.g - g) <= 2 && std::abs(p.b - b) <= 2; }

}  // namespace

TEST_F(FixationFrames, CrossesInTheirColours) {
  const Image red = fixframe(*x, "0");
  ASSERT_TRUE(red.ok());
  EXPECT_TRUE(is(at(red, 0.03, 0.0), 153, 0, 0)) << str(at(red, 0.03, 0.0));
  EXPECT_TRUE(is(at(red, 0.0, -0.03), 153, 0, 0)) << str(at(red, 0.0, -0.03));
  EXPECT_TRUE(isgrey(at(red, 0.025, 0.025), 51)) << "between the arms " << str(at(red, 0.025, 0.025));
  EXPECT_TRUE(isgrey(at(red, 0.06, 0.0), 51)) << "beyond fixrad";
  const Image white = fixframe(*x, "4");
  EXPECT_TRUE(isgrey(at(white, -0.03, 0.0), 153)) << str(at(white, -0.03, 0.0));
  const Image none = fixframe(*x, "-1");
  EXPECT_TRUE(isgrey(at(none, 0.0, 0.0), 51));
  EXPECT_TRUE(isgrey(at(none, 0.03, 0.0), 51));
}

TEST_F(FixationFrames, DotsAndWhichIgnoreBrightness) {
  const Image black = fixframe(*x, "1");
  EXPECT_TRUE(isgrey(at(black, 0.02, 0.02), 0)) << str(at(black, 0.02, 0.02));
  const Image white = fixframe(*x, "2");
  EXPECT_TRUE(isgrey(at(white, -0.02, 0.02), 255)) << "white whatever the brightness " << str(at(white, -0.02, 0.02));
  const Image grey = fixframe(*x, "3");
  EXPECT_TRUE(isgrey(at(grey, 0.02, -0.02), 153)) << str(at(grey, 0.02, -0.02));
  EXPECT_TRUE(isgrey(at(grey, 0.06, 0.0), 51));
}

TEST_F(FixationFrames, SurroundDisksOfMinrad) {
  const Image t13 = fixframe(*x, "13");
  EXPECT_TRUE(isgrey(at(t13, 0.07, 0.0), 153)) << str(at(t13, 0.07, 0.0));
  EXPECT_TRUE(isgrey(at(t13, 0.0, 0.0), 0)) << str(at(t13, 0.0, 0.0));
  const Image t14 = fixframe(*x, "14");
  EXPECT_TRUE(isgrey(at(t14, 0.0, -0.07), 0)) << str(at(t14, 0.0, -0.07));
  EXPECT_TRUE(isgrey(at(t14, 0.01, 0.0), 153)) << str(at(t14, 0.01, 0.0));
  const Image t9 = fixframe(*x, "9");
  EXPECT_TRUE(isgrey(at(t9, 0.05, 0.05), 0)) << str(at(t9, 0.05, 0.05));
  EXPECT_TRUE(is(at(t9, 0.03, 0.0, 0), 153, 0, 0)) << str(at(t9, 0.03, 0.0, 0));
  EXPECT_TRUE(isgrey(at(t9, 0.12, 0.0), 51)) << "the disk ends at minrad";
  const Image t10 = fixframe(*x, "10");
  EXPECT_TRUE(is(at(t10, 0.02, 0.02, 0), 153, 0, 0)) << str(at(t10, 0.02, 0.02, 0));
  EXPECT_TRUE(isgrey(at(t10, 0.03, 0.0, 0), 0)) << "an X, not a cross";
}

TEST_F(FixationFrames, StereoXArrayInTheSummedEyeColours) {
  const Image img = fixframe(*x, "5", {"-fixarr", "1", "0.1"});
  ASSERT_TRUE(img.ok());
  // Left (0.8, 0, 0) plus right (0, 0, 1), not dimmed by the 0.6 brightness.
  for (double cx : {-0.1, 0.0, 0.1})
    for (double cy : {-0.1, 0.0, 0.1})
      EXPECT_TRUE(is(at(img, cx + 0.02, cy + 0.02), 204, 0, 255)) << cx << "," << cy << str(at(img, cx + 0.02, cy + 0.02));
  EXPECT_TRUE(isgrey(at(img, 0.2, 0.2), 51)) << "a 3 x 3 array only";
}

TEST_F(FixationFrames, TargetsDimTheWhiteDotButNotTheBlackOne) {
  // Targets longer than any gap: every call is inside a target.
  const std::vector<std::string> common = {"-s", "21", "-fixrad", "0.04", "-bgwingray", "0.2", "-fixtarg", "2", "0.5",
                                           "-targframes", "100000"};
  std::vector<std::string> a = common;
  a.insert(a.end(), {"-fixtype", "2"});
  std::vector<Image> f = savedframes(*x, a, 2, 60.0, 0.0);
  ASSERT_EQ(f.size(), 2u);
  for (const Image& img : f) EXPECT_TRUE(isgrey(at(img, 0.01, 0.01), 128)) << str(at(img, 0.01, 0.01));
  a = common;
  a.insert(a.end(), {"-fixtype", "1"});
  f = savedframes(*x, a, 1, 60.0, 0.0);
  ASSERT_EQ(f.size(), 1u);
  EXPECT_TRUE(isgrey(at(f[0], 0.01, 0.01), 0)) << str(at(f[0], 0.01, 0.01));
  // Without targets the same dot is white.
  f = savedframes(*x, {"-s", "21", "-fixrad", "0.04", "-bgwingray", "0.2", "-fixtype", "2"}, 1, 60.0, 0.0);
  ASSERT_EQ(f.size(), 1u);
  EXPECT_TRUE(isgrey(at(f[0], 0.01, 0.01), 255)) << str(at(f[0], 0.01, 0.01));
}

TEST_F(FixationFrames, DiagonalsEyeColoursAndEmptyTypes) {
  const Image t11 = fixframe(*x, "11");
  EXPECT_TRUE(is(at(t11, 0.02, 0.02, 0), 153, 0, 0)) << str(at(t11, 0.02, 0.02, 0));
  EXPECT_TRUE(isgrey(at(t11, 0.02, -0.02, 0), 0)) << "one diagonal only " << str(at(t11, 0.02, -0.02, 0));
  const Image t12 = fixframe(*x, "12");
  EXPECT_TRUE(is(at(t12, -0.02, 0.02, 0), 153, 0, 0)) << str(at(t12, -0.02, 0.02, 0));
  EXPECT_TRUE(isgrey(at(t12, 0.02, 0.02, 0), 0)) << str(at(t12, 0.02, 0.02, 0));
  // One X each in the left- and the right-eye colour, whatever the brightness.
  const Image t6 = fixframe(*x, "6");
  EXPECT_TRUE(is(at(t6, 0.02, -0.02), 204, 0, 0)) << str(at(t6, 0.02, -0.02));
  EXPECT_TRUE(isgrey(at(t6, 0.1, 0.1), 51)) << "a single X without -fixarr";
  const Image t7 = fixframe(*x, "7");
  EXPECT_TRUE(is(at(t7, -0.02, -0.02), 0, 0, 255)) << str(at(t7, -0.02, -0.02));
  for (const char* type : {"8", "15"}) {
    const Image none = fixframe(*x, type);
    EXPECT_TRUE(isgrey(at(none, 0.0, 0.0), 51)) << type;
    EXPECT_TRUE(isgrey(at(none, 0.02, 0.02), 51)) << type;
  }
}

// Type 79 draws one mark per eye: both dim in the same frames, for the whole
// -targframes (20), and every target that ends is logged once.
TEST_F(FixationFrames, BothEyesDimTogetherForEachLoggedTarget) {
  const SavedRun run = loggedrun(*x, {"-s", "79", "-winxy", "640", "360", "-condlist", "3", "-fixtarg", "20", "0.1",
                                      "-minfrms2nexttg", "30", "-firstframetime", "1"},
                                 240, 60.0);
  ASSERT_EQ(run.frames.size(), 240u);
  // The white ring of each eye's mark (type 13), two pixels left of its centre.
  auto dim = [](const Image& f, int px) { return f.r(px, 180) < 100; };
  int runs = 0, len = 0, ended = 0;
  for (size_t k = 0; k <= run.frames.size(); k++) {
    const bool on = k < run.frames.size() && dim(run.frames[k], 198);
    if (k < run.frames.size()) {
      EXPECT_EQ(dim(run.frames[k], 438), on) << "frame " << k;
    }
    if (on) {
      len++;
      continue;
    }
    if (len == 0) continue;
    runs++;
    if (k < run.frames.size()) {
      EXPECT_EQ(len, 20) << "target ending at frame " << k;
      ended++;
    }
    len = 0;
  }
  EXPECT_GE(runs, 2);
  EXPECT_EQ(static_cast<int>(loglines(run.log, "FixEvent:").size()), ended);
}
