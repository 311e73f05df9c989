// Mirror images for rear projection and mirror boxes: the saved frame of a
// mirrored run is the unmirrored frame flipped, pixel for pixel, and the
// log is the same.
#include "harness.h"

#include <string>
#include <vector>

namespace {
class MirrorFrames : public XServerSuite<> {};
}  // namespace

TEST_F(MirrorFrames, EachMirrorFlipsTheWholePictureAndNothingElse) {
  // A wedge off the axes, letters and a number task: text and checks alike.
  const std::vector<std::string> args = {"-s", "12", "-winxy", "160", "120", "-srseed", "2", "-logfile",
                                         "-polperiod", "8", "-bgwingray", "0.3"};
  const SavedRun plain = saverun(*x, args, 2, 1.0);
  ASSERT_EQ(plain.frames.size(), 2u);
  for (const char* m : {"h", "v", "hv"}) {
    std::vector<std::string> a = args;
    a.insert(a.end(), {"-mirror", m});
    const SavedRun r = saverun(*x, a, 2, 1.0);
    ASSERT_EQ(r.frames.size(), 2u) << m;
    const bool fx = std::string(m).find('h') != std::string::npos, fy = std::string(m).find('v') != std::string::npos;
    long wrong = 0;
    for (int k = 0; k < 2; k++) {
      const Image &p = plain.frames[k], &q = r.frames[k];
      for (int y = 0; y < p.height; y++)
        for (int xx = 0; xx < p.width; xx++) {
          const int mx = fx ? p.width - 1 - xx : xx, my = fy ? p.height - 1 - y : y;
          wrong += (p.at(xx, y) & 0xffffff) != (q.at(mx, my) & 0xffffff);
        }
    }
    EXPECT_EQ(wrong, 0) << "-mirror " << m;
    EXPECT_FALSE(plain.frames[1].rgba == r.frames[1].rgba) << "-mirror " << m << " changes the picture";
    // The log: the same lines (the command line in its header aside).
    auto events = [](const std::string& log) { return log.substr(log.find("\n\n", log.find(" -s ")) + 2); };
    EXPECT_EQ(events(r.log), events(plain.log)) << m;
  }
  const RunResult bad = runvistrum(*x, {"-s", "10", "-nofullscreen", "-mirror", "x"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_TRUE(hasline(bad, "vistrum: ### -mirror x: use none, h (left-right), v (top-bottom) or hv (both)")) << bad.out;
}
