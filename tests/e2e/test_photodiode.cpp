// The photodiode patch against the log, frame for frame: saved at every
// frame, the corner is white on the frames that logged an onset (and the
// frames after it the patch lasts), black on all others.
#include "eventstable/logevents.h"
#include "harness.h"

#include <cmath>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {
class PhotodiodeFrames : public XServerSuite<> {};
}  // namespace

TEST_F(PhotodiodeFrames, ThePatchIsWhiteExactlyOnTheFramesOfLoggedOnsets) {
  struct Run {
    std::vector<std::string> args;
    int corner;
  };
  const std::vector<Run> runs = {
      {{"-s", "10", "-polperiod", "8", "-fixtarg", "40", "0.5", "-targframes", "3", "-minfrms2nexttg", "10"}, 1},
      {{"-s", "54", "-tiffdir", "objects", "-blockperiod", "1", "-condlist", "0", "1", "2", "1", "0", "2"}, 4},
  };
  const int n = 240, last = 2;  // 4 s at 60 frames a second; white for 2 frames
  for (const Run& r : runs) {
    std::vector<std::string> args = r.args;
    args.insert(args.end(), {"-logfile", "-winxy", "160", "120", "-srseed", "5", "-framerate", "60", "-photodiode",
                             std::to_string(r.corner), std::to_string(last)});
    const SavedRun s = saverun(*x, args, n, 60.0);
    ASSERT_EQ(s.frames.size(), static_cast<size_t>(n)) << s.result.out;
    std::set<int> onsets;
    std::istringstream in(s.log);
    for (std::string l; std::getline(in, l);)
      if (stimulusonset(l.c_str())) onsets.insert(static_cast<int>(std::lround(std::stod(l.substr(l.find(':') + 1)) * 60.0)));
    ASSERT_GE(onsets.size(), 3u) << s.log;
    // The patch's middle: 16 pixels square in its corner (the image's top row first).
    const int px = r.corner == 2 || r.corner == 4 ? 160 - 8 : 8, py = r.corner == 1 || r.corner == 2 ? 8 : 120 - 8;
    int wrong = 0;
    std::string where;
    for (int k = 0; k < n; k++) {
      const bool lit = onsets.count(k) || onsets.count(k - 1);
      const unsigned c = s.frames[k].at(px, py) & 0xffffff;
      const bool white = c == 0xffffff, black = c == 0;
      if (lit ? !white : !black) {
        wrong++;
        if (wrong < 5) where += " " + std::to_string(k);
      }
    }
    EXPECT_EQ(wrong, 0) << args[1] << ": frames" << where;
  }
}
