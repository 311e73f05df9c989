// The shipped picture folders against the types that show them: every
// picture type's help names folders whose pictures fit the roles the type
// gives them (backgrounds, objects, pairs), loaded as the start-up scan
// loads them; and no shipped picture keeps colour where it is nearly
// transparent, which both the alpha-test and the opaque drawing would show.
#include "config/params.h"
#include "draw/tiffio.h"
#include "keepglobals.h"
#include "stimuli/catalogue.h"
#include "test_options_util.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include "test_files_util.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string vistrumdir() {
  const char* d = std::getenv("VISTRUM_DIR");
  return d ? d : ".";
}

unsigned alphaof(unsigned px) { return px >> 24; }

// Share of a picture's pixels whose alpha is exactly a.
double alphashare(const MemImg& m, unsigned a) {
  long n = 0;
  const long all = static_cast<long>(m.width) * m.height;
  for (long k = 0; k < all; k++) n += alphaof(m.pixels[k]) == a;
  return static_cast<double>(n) / all;
}

// A whole photograph (a background or a scene): no transparency at all.
bool isopaque(const MemImg& m) { return alphashare(m, 255) == 1.0; }
// A thing cut out of its ground: a good part transparent, and the thing
// (thin ones such as a syringe cover a few percent; a glass is see-through).
bool iscutout(const MemImg& m) {
  const double ground = alphashare(m, 0);
  return ground > 0.1 && ground < 0.98;
}
bool istarget(const MemImg& m, const char* infix) { return std::strstr(m.name, infix) != nullptr; }

// The folders a type's help names: the "(photographs: ...)" list and the
// examples' -tiffdir values, each with the options of its example line (the
// list's folders with none). The synthetic fall-back `test` has no roles.
std::vector<std::pair<std::string, std::vector<std::string>>> helpfolders(int type) {
  std::ifstream in(vistrumdir() + "/lib/help/s" + std::to_string(type));
  std::vector<std::pair<std::string, std::vector<std::string>>> out;
  std::string line;
  while (std::getline(in, line)) {
    const size_t p = line.find("(photographs:");
    if (p != std::string::npos) {
      std::string list = line.substr(p + 13, line.find(')', p) - p - 13);
      std::replace(list.begin(), list.end(), ',', ' ');
      const std::vector<std::string> words = splitwords(list);
      // Words after the first that are not folders describe them.
      for (const std::string& w : words)
        if (!listdir(vistrumdir() + "/lib/imagefiles/" + w).empty()) out.push_back({w, {}});
    }
    const std::vector<std::string> w = splitwords(line);
    if (w.size() < 3 || w[0] != "vistrum" || w[1] != "-s") continue;
    for (size_t k = 3; k + 1 < w.size(); k++)
      if (w[k] == "-tiffdir" && w[k + 1] != "test") out.push_back({w[k + 1], {w.begin() + 3, w.end()}});
  }
  return out;
}

}  // namespace

TEST(PictureFolders, EachPictureTypeShowsTheFoldersItsHelpNamesInTheirRoles) {
  KeepGlobals keep;
  int count = 0;
  const StimTypeInfo* rows = stimtable(&count);
  int types = 0;
  for (int r = 0; r < count; r++) {
    const int type = rows[r].num;
    if (!validstimtype(type) || !(rows[r].needs & kPictures)) continue;
    types++;
    const auto folders = helpfolders(type);
    EXPECT_FALSE(folders.empty()) << "type " << type << "'s help names no photograph folder";
    for (const auto& [name, opts] : folders) {
      std::vector<std::string> args = opts;
      if (args.empty()) args = {"-tiffdir", name};
      parsequiet(type, args);
      SCOPED_TRACE("type " + std::to_string(type) + " on " + name);
      const int first = memimgcnt;
      testing::internal::CaptureStdout();
      const int held = readtiffs(par.tiffdir);
      (void)testing::internal::GetCapturedStdout();
      ASSERT_GT(held, first);
      std::vector<const MemImg*> pics(memimgs + first, memimgs + held);
      const int n = static_cast<int>(pics.size());
      if (type == 32) {
        // Backgrounds first, then the objects of the ring.
        ASSERT_GE(n, par.bgcnt + par.imcnt);
        for (int k = 0; k < par.bgcnt; k++) EXPECT_TRUE(isopaque(*pics[k])) << pics[k]->name << " is no background";
        for (int k = par.bgcnt; k < par.bgcnt + par.imcnt; k++)
          EXPECT_TRUE(iscutout(*pics[k])) << pics[k]->name << " is no object";
      } else if (type == 33) {
        // (background, target) pairs; a picture left over would never show.
        EXPECT_EQ(n % 2, 0);
        ASSERT_GE(n, 2);
        for (int k = 0; k + 1 < n; k += 2) {
          EXPECT_TRUE(isopaque(*pics[k])) << pics[k]->name << " is no background";
          EXPECT_TRUE(iscutout(*pics[k + 1])) << pics[k + 1]->name << " is no target object";
        }
      } else {
        // A stream shows every picture alike: all cut-outs or all whole
        // photographs (a background among objects would show as one), with
        // targets for the monitoring tasks among the others.
        int cutouts = 0, opaque = 0, targets = 0;
        for (const MemImg* m : pics) {
          cutouts += iscutout(*m);
          opaque += isopaque(*m);
          targets += istarget(*m, par.targtiffinfix);
        }
        EXPECT_TRUE(cutouts == n || opaque == n) << cutouts << " cut-outs and " << opaque << " whole of " << n;
        EXPECT_GT(targets, 0);
        EXPECT_LT(targets, n);
      }
    }
  }
  EXPECT_GE(types, 20);
}

// Below this alpha a pixel must be fully transparent, and every fully
// transparent pixel of a picture one ground colour: -drawtransparency draws
// any alpha above 0 at full colour, the opaque types draw every pixel.
constexpr unsigned kFaintAlpha = 32;
// A separate group of visible pixels smaller than this is a stray speck.
constexpr int kSpeck = 20;

TEST(PictureFolders, NoShippedPictureKeepsColourWhereItIsNearlyTransparent) {
  const std::string root = vistrumdir() + "/lib/imagefiles";
  int checked = 0;
  for (const std::string& folder : listdir(root)) {
    for (const std::string& file : listdir(root + "/" + folder)) {
      if (!istiffname(file.c_str())) continue;
      const std::string path = root + "/" + folder + "/" + file;
      SCOPED_TRACE(folder + "/" + file);
      testing::internal::CaptureStdout();
      const int index = readtiff(path.c_str());
      (void)testing::internal::GetCapturedStdout();
      const MemImg& m = *memimgs[index];
      const int w = m.width, h = m.height;
      auto at = [&](int x, int y) { return m.pixels[static_cast<size_t>(y) * w + x]; };
      int faint = 0;
      std::set<unsigned> groundcolours;
      for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
          const unsigned px = at(x, y), a = alphaof(px);
          faint += a > 0 && a < kFaintAlpha;
          if (a == 0) groundcolours.insert(px);
        }
      EXPECT_EQ(faint, 0) << "pixels with alpha 1.." << kFaintAlpha - 1;
      EXPECT_LE(groundcolours.size(), 1u) << "transparent pixels of several colours";
      // Visible pixels in 8-connected groups: none small and apart.
      std::vector<char> seen(static_cast<size_t>(w) * h, 0);
      int specks = 0;
      for (int y0 = 0; y0 < h; y0++)
        for (int x0 = 0; x0 < w; x0++) {
          if (seen[static_cast<size_t>(y0) * w + x0] || alphaof(at(x0, y0)) == 0) continue;
          std::vector<std::pair<int, int>> stack = {{x0, y0}};
          seen[static_cast<size_t>(y0) * w + x0] = 1;
          int size = 0;
          while (!stack.empty()) {
            const auto [x, y] = stack.back();
            stack.pop_back();
            size++;
            for (int dy = -1; dy <= 1; dy++)
              for (int dx = -1; dx <= 1; dx++) {
                const int u = x + dx, v = y + dy;
                if (u < 0 || v < 0 || u >= w || v >= h) continue;
                char& s = seen[static_cast<size_t>(v) * w + u];
                if (!s && alphaof(at(u, v)) != 0) s = 1, stack.push_back({u, v});
              }
          }
          specks += size < kSpeck;
        }
      EXPECT_EQ(specks, 0) << "stray specks";
      checked++;
    }
  }
  EXPECT_GT(checked, 200);
}
