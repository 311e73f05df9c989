// Delayed-saccade trials on the real binary: target, distractors and the
// dimmed go signal where and when the trial puts them; return trials.
#include "test_wedge_frames.h"

using namespace chk;

namespace {

class SaccadeFrames : public XServerSuite<> {};

// Lit pixels (any channel above 60) in the square of side `side` units at (x, y).
int litin(const Image& img, double x, double y, double side) {
  int n = 0;
  for (int px = unitpixx(x - side / 2, img.width) + 1; px < unitpixx(x + side / 2, img.width) - 1; px++)
    for (int py = unitpixy(y + side / 2, img.width, img.height) + 1; py < unitpixy(y - side / 2, img.width, img.height) - 1; py++)
      n += img.r(px, py) > 60 || img.g(px, py) > 60 || img.b(px, py) > 60;
  return n;
}

// Lit pixels farther than 0.1 units from the centre.
int litoutside(const Image& img) {
  int n = 0;
  for (int px = 0; px < img.width; px += 2)
    for (int py = 0; py < img.height; py += 2) {
      const double x = (px - img.width / 2.0) / (img.width / 3.12), y = (img.height / 2.0 - py) / (img.width / 3.12);
      if (std::hypot(x, y) > 0.1) n += img.r(px, py) > 60;
    }
  return n;
}

}  // namespace

TEST_F(SaccadeFrames, TargetDistractorsAndGoSignalFollowTheTrial) {
  // Frames every 0.25 s; the second trial starts on the frame at t = 5,
  // where the first one's time runs out.
  const std::vector<Image> f = savedframes(
      *x, {"-s", "90", "-polperiod", "64", "-radjit", "0", "-thetajit", "0", "-distnum", "6"}, 27, 4.0, 0.0);
  ASSERT_EQ(f.size(), 27u);
  EXPECT_GT(litin(f[4], 0.8, 0.0, 0.03), 20) << "target 1 at t = 1";
  EXPECT_EQ(litoutside(f[2]), 0) << "nothing but fixation at t = 0.5";
  EXPECT_EQ(litin(f[8], 0.8, 0.0, 0.03), 0) << "target gone at t = 2";
  EXPECT_GT(litoutside(f[8]), 20) << "distractors at t = 2";
  EXPECT_EQ(litoutside(f[18]), 0) << "no distractors at t = 4.5";
  // Go signal: the fixation mark dims between 4.25 and 4.75.
  int bright = 0, dim = 0;
  for (int dx = -5; dx <= 5; dx++) {
    const int px = unitpixx(0.0, 1024) + dx, py = unitpixy(0.0, 1024, 768);
    bright = std::max(bright, f[16].r(px, py) + f[16].g(px, py) + f[16].b(px, py));
    dim = std::max(dim, f[18].r(px, py) + f[18].g(px, py) + f[18].b(px, py));
  }
  EXPECT_LT(dim, bright) << "dimmed go signal";
  const double th = 2.0 * M_PI * 5.0 / 64.0;
  EXPECT_GT(litin(f[24], 0.8 * std::cos(th), 0.8 * std::sin(th), 0.03), 20) << "second trial's target steps round";
  EXPECT_EQ(litin(f[26], 0.8 * std::cos(th), 0.8 * std::sin(th), 0.03), 0) << "and is gone at 6.5 s";
}

TEST_F(SaccadeFrames, FiveMinutesOfTrialsStartAtMultiplesOfTheTrialLength) {
  // Type 92 returning on every trial logs each onset: one frame a second
  // for 5 minutes puts all 60 onsets at multiples of 5 s (a trial that
  // waits a frame after its predecessor's end slips a whole second each
  // time here), and the last trial's target stands 59 steps of 28.125
  // degrees round the clock.
  const SavedRun r = loggedrun(*x,
                               {"-s", "92", "-retevery", "1", "-radjit", "0", "-thetajit", "0", "-nosacdist",
                                "-polperiod", "64", "-dotsize", "0.1", "-winxy", "320", "240"},
                               300, 1.0, 240.0);
  ASSERT_EQ(r.frames.size(), 300u);
  const std::vector<std::string> onsets = loglines(r.log, "TgRetEvent:");
  ASSERT_GE(onsets.size(), 60u) << r.log;  // (the picture after the last saved one may start one more)
  for (size_t n = 0; n < onsets.size(); n++) {
    char want[64];
    std::snprintf(want, sizeof want, "TgRetEvent: %7.3lf", 5.0 * n);
    EXPECT_EQ(onsets[n], want) << "trial " << n;
  }
  const double th = 2.0 * M_PI * 295.0 / 64.0;
  const Image& last = r.frames[296];  // target 1 shows 0.75-1.25 s into the trial
  EXPECT_GT(litin(last, 0.8 * std::cos(th), 0.8 * std::sin(th), 0.08), 20) << "target of the trial at 295 s";
}

TEST_F(SaccadeFrames, ReturnTrialsShowTheFirstTargetAgainAndSeedsRepeat) {
  // Type 92: in the second target's interval (1.25-4.25 s) a return trial
  // shows target 1 again; any other trial shows nothing there.
  for (const char* every : {"1", "1000000"}) {
    const std::vector<Image> f = savedframes(
        *x, {"-s", "92", "-retevery", every, "-radjit", "0", "-thetajit", "0", "-nosacdist", "-polperiod", "64"}, 2,
        0.5, 0.0);
    ASSERT_EQ(f.size(), 2u);  // t = 0 starts the trial; t = 2
    const int lit = litin(f[1], 0.8, 0.0, 0.03);
    if (every[1] == 0)
      EXPECT_GT(lit, 20) << "return shown";
    else
      EXPECT_EQ(lit, 0) << "no return";
  }
  const std::vector<std::string> a = {"-s", "96", "-srseed", "5", "-frmsdistrefresh", "3", "-targ2rad", "0.7"};
  const std::vector<Image> f1 = savedframes(*x, a, 3, 0.5, 1.0), f2 = savedframes(*x, a, 3, 0.5, 1.0);
  ASSERT_EQ(f1.size(), 3u);
  ASSERT_EQ(f2.size(), 3u);
  for (int k = 0; k < 3; k++) EXPECT_TRUE(f1[k].rgba == f2[k].rgba) << "frame " << k;
}
