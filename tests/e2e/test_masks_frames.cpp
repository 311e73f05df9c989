// The masks drawn through the stencil (the opening written first, the
// masked layers drawn through it) against the painted masks, pixel by pixel
// on saved frames at a fixed seed: only ties along the openings' straight
// edges may differ. The openings are sized by options, so the comparison
// runs over a grid of them, not only the defaults.
#include "harness.h"

#include <cctype>
#include <string>
#include <vector>

namespace {

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

// Every type that masks: the composites, the several rings and wedges, the
// masked picture streams.
const int kMaskingTypes[] = {1, 3, 4, 25, 26, 28, 29, 31, 34, 35, 36, 57, 78, 111, 117, 118, 83, 84, 85};

std::vector<std::string> typeargs(int type) {
  std::vector<std::string> a = {"-s", std::to_string(type)};
  if (type >= 83 && type <= 85) a.insert(a.end(), {"-tiffdir", "objects"});
  // The off/visual/air design shows its board only in visual blocks.
  if (type == 111) a.insert(a.end(), {"-condlist", "1", "1", "1"});
  return a;
}

// Ties along an opening's straight edges may differ, at most 0.5 % of their
// length (two radial edges, each at most the window's height), four frames.
constexpr long kAllowed = static_cast<long>(0.005 * 2 * 240 * 4);

void expectsame(const XServer& x, std::vector<std::string> args) {
  std::string name;
  for (const std::string& a : args) name += a + " ";
  args.insert(args.end(), {"-srseed", "1", "-winxy", "320", "240"});
  const Compared c = compare(x, args);
  EXPECT_LE(c.differing, kAllowed) << name << c.where;
}

class MaskFrames : public XServerSuite<> {};

// One option that sizes the openings, set off its default; each is run over
// every masking type.
class MaskGrid : public XServerSuite<>, public ::testing::WithParamInterface<std::vector<std::string>> {};

}  // namespace

// The defaults, and variants that nest spans (the flow's own ring inside the
// composite's wedge and periphery), move the opening off centre (orbit),
// mask the pictures too or open wide.
TEST_F(MaskFrames, StencilOpeningsShowWhatPaintedMasksShow) {
  std::vector<std::vector<std::string>> runs;
  for (int type : kMaskingTypes) runs.push_back(typeargs(type));
  runs.push_back({"-s", "4", "-maskimgs", "-peripheccmask", "-eccwidth", "0.3"});
  runs.push_back({"-s", "34", "-maskimgs", "-orbrad", "0.3"});
  runs.push_back({"-s", "25", "-maskimgs"});
  runs.push_back({"-s", "26", "-peripheccmask", "-eccwidth", "0.4"});
  // Wide openings go through their covers: the hemifield's with its outer
  // band inside the window, two wide meridian sectors.
  runs.push_back({"-s", "1", "-maxrad", "1.2"});
  runs.push_back({"-s", "29", "-polwidth", "100"});
  for (const std::vector<std::string>& args : runs) expectsame(*x, args);
}

// The fast tier runs each option over a sample of the types (a fresh one
// per option, its seed printed); the full tier over all of them.
TEST_P(MaskGrid, StencilOpeningsShowWhatPaintedMasksShow) {
  const std::vector<int> all(std::begin(kMaskingTypes), std::end(kMaskingTypes));
  for (int type : sampletypes(all, 8, "mask grid")) {
    std::vector<std::string> args = typeargs(type);
    args.insert(args.end(), GetParam().begin(), GetParam().end());
    expectsame(*x, args);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Openings, MaskGrid,
    ::testing::Values(std::vector<std::string>{"-circwidth", "0.5"}, std::vector<std::string>{"-circwidth", "1.6"},
                      std::vector<std::string>{"-maxrad", "0.4"}, std::vector<std::string>{"-minrad", "0.2"},
                      std::vector<std::string>{"-polwidth", "40"}, std::vector<std::string>{"-polwidth", "150"},
                      std::vector<std::string>{"-eccwidth", "0.12"}, std::vector<std::string>{"-rotdilextrafac", "0.5"},
                      std::vector<std::string>{"-rotdilextrafac", "1.6"}, std::vector<std::string>{"-orbrad", "0.3"}),
    [](const ::testing::TestParamInfo<std::vector<std::string>>& p) {
      std::string n;
      for (const std::string& a : p.param)
        for (char ch : a) n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
      return n;
    });
