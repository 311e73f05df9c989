// The masks drawn through the stencil (the opening written first, the
// masked layers drawn through it) against the painted masks, pixel by pixel
// on saved frames at a fixed seed: only ties along the openings' straight
// edges may differ.
#include "harness.h"

#include <string>
#include <vector>

namespace {

class MaskFrames : public XServerSuite<> {};

struct Compared {
  long differing = 0, pixels = 0;
  std::string where;
};

Compared compare(const XServer& x, std::vector<std::string> args) {
  Compared c;
  const std::vector<std::string> env = {"LP_NATIVE_VECTOR_WIDTH=128"};
  std::vector<std::string> painted = env;
  painted.push_back("VISTRUM_PAINTED_MASKS=1");
  const SavedRun a = framesrun(x, args, 4, 0.25, 120.0, env);
  const SavedRun b = framesrun(x, args, 4, 0.25, 120.0, painted);
  EXPECT_EQ(a.frames.size(), 4u) << a.result.out;
  EXPECT_EQ(b.frames.size(), a.frames.size()) << b.result.out;
  for (size_t f = 0; f < a.frames.size() && f < b.frames.size(); f++) {
    const Image &p = a.frames[f], &q = b.frames[f];
    for (int y = 0; y < p.height; y++)
      for (int x2 = 0; x2 < p.width; x2++) {
        c.pixels++;
        if ((p.at(x2, y) & 0xffffff) == (q.at(x2, y) & 0xffffff)) continue;
        if (c.differing++ < 5) c.where += " f" + std::to_string(f) + "(" + std::to_string(x2) + "," + std::to_string(y) + ")";
      }
  }
  return c;
}

}  // namespace

// Every composite and masked picture stream at its defaults, and variants
// that nest spans (the flow's own ring inside the composite's wedge and
// periphery), move the opening off centre (orbit) or mask the pictures
// too. The arcs reuse the mask's vertices and must match exactly; ties
// along an opening's straight edges may differ, at most 0.5 % of their
// length (two radial edges, each at most the window's height).
TEST_F(MaskFrames, StencilOpeningsShowWhatPaintedMasksShow) {
  std::vector<std::vector<std::string>> runs;
  for (int type : {1, 3, 4, 25, 26, 28, 29, 31, 34, 35, 36, 57, 78, 111, 117, 118, 83, 84, 85}) {
    runs.push_back({"-s", std::to_string(type)});
    if (type >= 83) runs.back().insert(runs.back().end(), {"-tiffdir", "objects"});
  }
  runs.push_back({"-s", "4", "-maskimgs", "-peripheccmask", "-eccwidth", "0.3"});
  runs.push_back({"-s", "34", "-maskimgs", "-orbrad", "0.3"});
  runs.push_back({"-s", "25", "-maskimgs"});
  runs.push_back({"-s", "26", "-peripheccmask", "-eccwidth", "0.4"});
  for (std::vector<std::string> args : runs) {
    std::string name;
    for (const std::string& a : args) name += a + " ";
    args.insert(args.end(), {"-srseed", "1", "-winxy", "320", "240"});
    const Compared c = compare(*x, args);
    const long allowed = static_cast<long>(0.005 * 2 * 240 * 4);  // four frames
    EXPECT_LE(c.differing, allowed) << name << c.where;
  }
}
