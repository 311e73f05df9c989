// Sound: names, the player's argument vector, the cue schedule and the
// start-up checks.
#include "core/sound.h"
#include "keepglobals.h"
#include "test_options_util.h"

#include <cmath>
#include <vector>

namespace {

// Start times of the cue files over `seconds` at 60 frames per second, as
// the cue starts them: a new file whenever the phase falls.
std::vector<double> cuestarts(double freq, const std::vector<float>& soa, int n, double seconds, double* doneat) {
  std::vector<double> starts;
  double prev = 1.001;
  *doneat = -1.0;
  for (int k = 0; k <= seconds * 60; k++) {
    const double t = k / 60.0;
    bool done = false;
    const double phase = audcuephase(t, freq, soa.empty() ? nullptr : soa.data(), n, &done);
    if (done) {
      *doneat = t;
      break;
    }
    if (phase < 0.0) continue;
    if (phase < prev) starts.push_back(t);
    prev = phase;
  }
  return starts;
}

}  // namespace

TEST(SoundCue, TwelveFilesOverAPeriod) {
  double done = 0.0;
  const std::vector<double> s = cuestarts(12.0 / 64, {}, 12, 64.0, &done);
  ASSERT_EQ(s.size(), 13u);  // the 13th begins the next round at 64 s
  for (size_t k = 0; k < s.size(); k++) EXPECT_NEAR(s[k], k * 64.0 / 12, 1.0 / 60 + 1e-9) << k;
  EXPECT_EQ(done, -1.0);
}

TEST(SoundCue, OnsetListAndDone) {
  double done = 0.0;
  const std::vector<double> s = cuestarts(0.0, {2.0f, 3.0f, 4.0f}, 3, 12.0, &done);
  ASSERT_EQ(s.size(), 3u);
  EXPECT_NEAR(s[0], 2.0, 1e-9);
  EXPECT_NEAR(s[1], 5.0, 1e-9);
  EXPECT_NEAR(s[2], 9.0, 1e-9);
  EXPECT_NEAR(done, 10.0, 1.0 / 60 + 1e-9);
}

TEST(SoundPlayer, NamesAreOnlyArguments) {
  KeepGlobals keep;
  std::snprintf(par.sndfiledir, TEXTLEN, "/snd");
  EXPECT_EQ(soundpath("a b;rm x.wav"), "/snd/a b;rm x.wav");
  EXPECT_EQ(soundpath("./here.wav"), "./here.wav");
  const char* argv[4];
  ASSERT_EQ(soundargv("/usr/bin/play", "/snd/$(x).wav", argv), 3);
  EXPECT_STREQ(argv[1], "-q");
  EXPECT_STREQ(argv[2], "/snd/$(x).wav");
  EXPECT_EQ(argv[3], nullptr);
  ASSERT_EQ(soundargv("/opt/rec", "f.wav", argv), 2);
  EXPECT_STREQ(argv[1], "f.wav");
}

TEST(SoundPlayer, StartUpChecks) {
  KeepGlobals keep;
  EXPECT_FATAL(({ parsequiet(69, {"-sndprog", "/no/such/player"}); checksoundfiles(); }),
               "sndprog /no/such/player: not an executable program");
  EXPECT_FATAL(({ parsequiet(69, {"-sndprog", ""}); checksoundfiles(); }), "vistrum: ### no sndprog");
  // A later -sndfiledir moves the listed names away from their files.
  EXPECT_FATAL(({ parsequiet(69, {"-sndprog", "/bin/true", "-sndfiledir", "test"}); checksoundfiles(); }),
               "can't open sndfile .*/lib/soundfiles/test/03.wav");
  EXPECT_FATAL(({ parsequiet(10, {"-sndprog", "/bin/true", "-sndbgtrack", "nothere.wav"}); checksoundfiles(); }),
               "can't open sndbgtrack .*nothere.wav");
}
