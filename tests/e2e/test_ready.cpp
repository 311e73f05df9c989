// The type-specific waiting screens, as the subject sees them before the start.
#include "harness.h"
#include "stimuli/catalogue.h"

#include <gtest/gtest.h>

namespace {

class Ready : public XServerSuite<> {};

std::vector<int> columnswith(const Image& im, int level, int y0, int y1);

// Screen while waiting for F1 with `args`, once `shown` holds for it (or
// after a few seconds); the run is then ended with Esc.
Image waitingscreen(const XServer& x, std::vector<std::string> args, RunResult* r,
                    const std::function<bool(const Image&)>& shown) {
  args.insert(args.end(), {"-nofullscreen", "-waitforpulse", "-1"});
  Vistrum v(x, args);
  Image im;
  if (v.waitforwindow()) waituntil([&] { im = grabscreen(x); return im.ok() && shown(im); }, 5.0);
  v.key("Escape");
  const RunResult rr = v.wait();
  if (r) *r = rr;
  return im;
}

// Columns holding pixels of grey `level` (0..255) in rows [y0, y1).
std::vector<int> columnswith(const Image& im, int level, int y0, int y1) {
  std::vector<int> cols;
  if (y0 < 0) y0 = 0;
  if (y1 > im.height) y1 = im.height;
  for (int x = 0; x < im.width; x++)
    for (int y = y0; y < y1; y++)
      if (std::abs(im.r(x, y) - level) <= 3 && std::abs(im.b(x, y) - level) <= 3) {
        cols.push_back(x);
        break;
      }
  return cols;
}

}  // namespace

TEST_F(Ready, PlainTypesShowReadyOnDarkGrey) {
  RunResult r;
  const Image im = waitingscreen(*x, {"-s", "0"}, &r, [](const Image& i) { return std::abs(i.r(20, 20) - 64) <= 2; });
  ASSERT_TRUE(im.ok());
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NEAR(im.r(20, 20), 64, 2);
  const std::vector<int> cols = columnswith(im, 102, 340, 400);
  ASSERT_FALSE(cols.empty());
  EXPECT_NEAR((cols.front() + cols.back()) / 2.0, 512, 4);
}

TEST_F(Ready, DivergentStereoLabelsEachEye) {
  RunResult r;
  const Image im = waitingscreen(*x, {"-s", "8", "-interocdist", "1.2"}, &r,
                                 [](const Image& i) { return std::abs(i.r(20, 20) - 64) <= 2; });
  ASSERT_TRUE(im.ok()) << r.out;
  EXPECT_NEAR(im.r(20, 20), 64, 2);
  // One label per eye, each moved 0.12 left and down from the eye centre.
  const int row = unitpixy(-0.12);
  const std::vector<int> cols = columnswith(im, 102, row - 25, row + 10);
  ASSERT_FALSE(cols.empty()) << r.out;
  std::vector<int> left, right;
  for (int c : cols) (c < 512 ? left : right).push_back(c);
  ASSERT_FALSE(left.empty());
  ASSERT_FALSE(right.empty());
  // The eyes are one interocdist apart, and each label sits left of its eye
  // centre, shifted by the eye-scaled 0.12 units.
  const double lc = (left.front() + left.back()) / 2.0, rc = (right.front() + right.back()) / 2.0;
  EXPECT_NEAR(rc - lc, 1.2 * 1024 / 3.12, 3);
  EXPECT_NEAR(lc, unitpixx(-0.6), 30);
  // The zero-disparity ring (type 2, radius 1.16, black) at the eye scale 0.45.
  for (double eyex : {-0.6, 0.6}) {
    EXPECT_EQ(im.r(unitpixx(eyex), unitpixy(1.16 * 0.45)), 0) << eyex;
    EXPECT_NEAR(im.r(unitpixx(eyex), unitpixy(1.16 * 0.45 - 0.08)), 64, 2) << eyex;
  }
}

TEST_F(Ready, RivalryShowsAGreyDiskPerEyeAndNoLabelBeforeTheStart) {
  RunResult r;
  const Image im = waitingscreen(*x, {"-s", "79", "-winxy", "1024", "768", "-bgwingray", "0.3",
                                      "-interocdist", "1.2", "-fixgrid", "0.3", "-startstimscale", "1"},
                                 &r, [](const Image& i) { return std::abs(i.r(5, 5) - 77) <= 2; });
  ASSERT_TRUE(im.ok()) << r.out;
  EXPECT_NEAR(im.r(5, 5), 77, 2) << r.out;  // cleared to bgwingray
  // The disk of radius maxrad in avgcolbright (0.5) around each eye centre.
  EXPECT_NEAR(im.r(unitpixx(-0.6 + 0.3), unitpixy(0.3)), 128, 3);
  EXPECT_NEAR(im.r(unitpixx(0.6 - 0.3), unitpixy(-0.3)), 128, 3);
  EXPECT_TRUE(columnswith(im, 51, 0, im.height).empty());  // "Ready" is not shown (only "Done" is)
}

TEST_F(Ready, DotStereoWaitsOnBlack) {
  RunResult r;
  // The label in grey 0.15, 2 fixarraydel above the centre.
  const int row = unitpixy(0.1);
  const Image im = waitingscreen(*x, {"-s", "56"}, &r,
                                 [&](const Image& i) { return !columnswith(i, 38, row - 25, row + 8).empty(); });
  ASSERT_TRUE(im.ok()) << r.out;
  EXPECT_EQ(im.r(20, 20), 0);
  EXPECT_FALSE(columnswith(im, 38, row - 25, row + 8).empty());
}

namespace {

// Centre of the "Ready" label (grey 0.4 pixels), or (-1, -1).
std::pair<double, double> labelcentre(const Image& im) {
  int x0 = im.width, x1 = -1, y0 = im.height, y1 = -1;
  for (int y = 0; y < im.height; y++)
    for (int xx = 0; xx < im.width; xx++)
      if (std::abs(im.r(xx, y) - 102) <= 3 && std::abs(im.b(xx, y) - 102) <= 3) {
        x0 = std::min(x0, xx), x1 = std::max(x1, xx), y0 = std::min(y0, y), y1 = std::max(y1, y);
      }
  if (x1 < 0) return {-1, -1};
  return {(x0 + x1) / 2.0, (y0 + y1) / 2.0};
}

}  // namespace

TEST_F(Ready, WithPointerControlTheWaitingScreenFollowsThePointer) {
  // Full screen: -startmouse puts the pointer (and so the label) at (0.35, 0.35)
  // of the +-0.7 pointer range, and stops restarts from re-centring it.
  Vistrum v(*x, {"-s", "0", "-mousectrl", "-startmouse", "0.35", "0.35", "-waitforpulse", "-1"});
  ASSERT_TRUE(v.waitforwindow());
  std::pair<double, double> c;
  ASSERT_TRUE(waituntil([&] { c = labelcentre(grabscreen(*x)); return c.first > 0; }));
  // The label sits just above the fixation mark (fixrad 0.015 + 0.03 clear).
  EXPECT_NEAR(c.first, unitpixx(0.35), 25);
  EXPECT_NEAR(c.second, unitpixy(0.35 + 0.045 + 0.035), 12);
  // Pointer at display pixel (256, 576) is (-0.35, -0.35); a scale step redraws.
  movepointer(*x, 256, 576);
  waituntil([] { return false; }, 0.3);
  v.key("Up");
  ASSERT_TRUE(waituntil([&] {
    c = labelcentre(grabscreen(*x));
    return c.first > 0 && c.first < 512;
  })) << c.first << "," << c.second;
  EXPECT_NEAR(c.first, unitpixx(-0.35 * 1.02), 25);
  EXPECT_NEAR(c.second, unitpixy(-0.35 * 1.02 + (0.045 + 0.035) * 1.02), 12);
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
}

namespace {

// Red pixels (the default fixation cross) within `r` pixels of unit point (u, v).
int redaround(const Image& im, double u, double v, int r = 12) {
  int n = 0;
  const int cx = unitpixx(u), cy = unitpixy(v);
  for (int y = cy - r; y <= cy + r; y++)
    for (int xx = cx - r; xx <= cx + r; xx++)
      if (xx >= 0 && y >= 0 && xx < im.width && y < im.height && im.r(xx, y) > 200 && im.g(xx, y) < 40 &&
          im.b(xx, y) < 40)
        n++;
  return n;
}

}  // namespace

TEST_F(Ready, UnderPointerControlTheFixationMarkSitsAtThePointerOnce) {
  Vistrum v(*x, {"-s", "0", "-mousectrl", "-startmouse", "0.35", "0.35", "-waitforpulse", "-1", "-fixrad", "0.04"});
  ASSERT_TRUE(v.waitforwindow());
  Image im;
  ASSERT_TRUE(waituntil([&] { im = grabscreen(*x); return im.ok() && labelcentre(im).first > 0; }));
  EXPECT_GT(redaround(im, 0.35, 0.35), 20) << "the mark is with the label at the pointer";
  EXPECT_EQ(redaround(im, 0.7, 0.7), 0) << "not moved a second time";
  EXPECT_EQ(redaround(im, 0.0, 0.0), 0);
  v.key("Escape");
  EXPECT_EQ(v.wait().status, 0);
}

TEST_F(Ready, OrbitingTypesAlsoMarkTheTrueCentre) {
  RunResult r;
  const Image im = waitingscreen(*x, {"-s", "5", "-orbrad", "0.3", "-fixtype", "0", "-fixrad", "0.04"}, &r,
                                 [](const Image& i) { return redaround(i, 0.3, 0.0) > 0; });
  ASSERT_TRUE(im.ok()) << r.out;
  EXPECT_GT(redaround(im, 0.3, 0.0), 20) << "the mark on the orbit (t = 0)";
  EXPECT_GT(redaround(im, 0.0, 0.0), 20) << "and one at the screen centre";
  EXPECT_EQ(r.status, 0) << r.out;
}

namespace {

// Rows [y0, y1) of the label's grey (0.4) pixels, or {-1, -1}.
std::pair<int, int> labelrows(const Image& im) {
  int y0 = -1, y1 = -1;
  for (int y = 0; y < im.height; y++)
    for (int xx = 0; xx < im.width; xx++)
      if (std::abs(im.r(xx, y) - 102) <= 3 && std::abs(im.b(xx, y) - 102) <= 3) {
        if (y0 < 0) y0 = y;
        y1 = y + 1;
        break;
      }
  return {y0, y1};
}

}  // namespace

// The subject fixates from the first moment: the cross stays whole at the
// centre and the label ("Ready", the save-frames prompt) sits above it.
TEST_F(Ready, TheLabelLeavesTheFixationCrossClear) {
  for (const std::vector<std::string>& extra :
       {std::vector<std::string>{}, std::vector<std::string>{"-saveframes", "5", "60", "-tiffoutdir", "/tmp"}}) {
    std::vector<std::string> args = {"-s", "0", "-fixrad", "0.04"};
    args.insert(args.end(), extra.begin(), extra.end());
    RunResult r;
    const Image im = waitingscreen(*x, args, &r, [](const Image& i) { return labelrows(i).first >= 0; });
    ASSERT_TRUE(im.ok()) << r.out;
    const std::pair<int, int> rows = labelrows(im);
    ASSERT_GE(rows.first, 0) << "no label" << r.out;
    // The cross reaches 0.04 units above the centre; the label ends above that.
    EXPECT_LT(rows.second, unitpixy(0.04)) << "label rows " << rows.first << "-" << rows.second;
    EXPECT_GT(rows.first, unitpixy(0.3)) << "label far from the centre";
    EXPECT_GT(redaround(im, 0.0, 0.0, 14), 40) << "the cross at the centre";
  }
}
