// Picture stimuli on the real binary: a known picture found pixel for pixel
// where its grab point puts it (with and without transparency), the slide
// show's steps, looming barrier sets against their "TiffEvent" lines, the
// Gaussian mask file, and start-up refusals of unusable picture folders.
#include "harness.h"

#include <sys/stat.h>
#include <tiffio.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <regex>

namespace {

class PictureFrames : public XServerSuite<> {};

using PixelFn = std::function<uint32_t(int x, int y)>;  // RGBA, red in the low byte

// Writes a w x h RGBA TIFF (top row first, plain alpha) with libtiff.
void writepicture(const std::string& path, int w, int h, const PixelFn& px) {
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(tif, nullptr) << path;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 4);
  const uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
  TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, h);
  std::vector<uint32_t> buf(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) buf[static_cast<size_t>(y) * w + x] = px(x, y);
  TIFFWriteEncodedStrip(tif, 0, buf.data(), static_cast<tmsize_t>(buf.size() * 4));
  TIFFClose(tif);
}

uint32_t solid(int r, int g, int b) { return 0xff000000u | b << 16 | g << 8 | r; }


// Store index -> file name, from the loader's "image[%d]: path" lines.
std::map<int, std::string> loadedpictures(const RunResult& r) {
  std::map<int, std::string> m;
  const std::regex re(R"(image\[(\d+)\]: .*/([^/\t]+)\tsize: .*)");
  std::smatch s;
  for (const std::string& line : r.lines())
    if (std::regex_match(line, s, re)) m[std::stoi(s[1])] = s[2];
  return m;
}

std::string folder(const std::map<std::string, uint32_t>& pictures, int size = 32) {
  const std::string dir = maketempdir("picdir");
  for (const auto& p : pictures) writepicture(dir + "/" + p.first, size, size, [&](int, int) { return p.second; });
  return dir;
}

bool isrgb(const Image& f, int x, int y, uint32_t c) {
  return (f.at(x, y) & 0xffffffu) == (c & 0xffffffu);
}

}  // namespace

TEST_F(PictureFrames, KnownPictureLandsPixelForPixelAtItsGrabPoint) {
  const int w = 64, h = 48;
  // Left quarter fully transparent, the rest opaque; every pixel its own colour.
  auto px = [](int x, int y) -> uint32_t {
    const uint32_t a = x < 16 ? 0u : 255u;
    return a << 24 | static_cast<uint32_t>(200 - x) << 16 | static_cast<uint32_t>(y * 5) << 8 | static_cast<uint32_t>(x * 4);
  };
  const std::string dir = maketempdir("picknown");
  writepicture(dir + "/known.tif", w, h, px);
  char scale[32];
  std::snprintf(scale, sizeof scale, "%.9g", h * 3.12 / 1024.0 / 2.0);  // zoom 1 at -maxrad 1
  for (bool transparent : {true, false}) {
    const SavedRun r = saverun(*x,
                          {"-s", "114", "-tiffdir", dir, "-maxrad", "1", "-tiffscale", scale, "-bgwingray", "0.5",
                           transparent ? "-drawtransparency" : "-nodrawtransparency"},
                          1, 10.0);
    ASSERT_TRUE(r.frames[0].ok()) << r.result.out;
    const Image& f = r.frames[0];
    const int left = f.width / 2 - w / 2, top = f.height / 2 - h / 2;  // centre grab point
    int checked = 0;
    for (int y = 0; y < h; y++) {
      for (int x = 0; x < w; x++) {
        if (std::abs(left + x - f.width / 2) < 8 && std::abs(top + y - f.height / 2) < 8) continue;  // fixation mark
        const uint32_t want = px(x, y);
        if (transparent && want >> 24 == 0)
          EXPECT_TRUE(std::abs(f.r(left + x, top + y) - 128) <= 1 && f.r(left + x, top + y) == f.b(left + x, top + y))
              << "background through alpha 0 at " << x << "," << y;
        else
          EXPECT_TRUE(isrgb(f, left + x, top + y, want)) << "picture pixel " << x << "," << y << " transparent " << transparent;
        checked++;
      }
    }
    EXPECT_GT(checked, w * h - 300);
    // Just outside the picture: background on every side.
    for (auto [ox, oy] : {std::pair{-1, 10}, {w, 10}, {10, -1}, {10, h}})
      EXPECT_TRUE(std::abs(f.r(left + ox, top + oy) - 128) <= 1) << ox << "," << oy;
  }
}

TEST_F(PictureFrames, SlideShowStepsThroughTheSetOncePerPeriodBothWays) {
  const std::map<std::string, uint32_t> cols = {
      {"a.tif", solid(255, 0, 0)}, {"b.tif", solid(0, 255, 0)}, {"c.tif", solid(0, 0, 255)}, {"d.tif", solid(255, 255, 0)}};
  const std::string dir = folder(cols);
  for (const char* period : {"4", "-4"}) {
    const SavedRun r = saverun(*x, {"-s", "114", "-tiffdir", dir, "-polperiod", period}, 16, 4.0);  // t = k/4
    const std::map<int, std::string> names = loadedpictures(r.result);
    ASSERT_EQ(names.size(), 4u) << r.result.out;
    const bool forward = period[0] != '-';
    for (int k = 0; k < 16; k++) {
      ASSERT_TRUE(r.frames[k].ok());
      const int step = k / 4;  // one picture per second
      const int index = forward ? step % 4 : (3 - step % 4 + 4) % 4;
      const Image& f = r.frames[k];
      EXPECT_TRUE(isrgb(f, f.width / 2 + 30, f.height / 2 + 30, cols.at(names.at(index))))
          << "frame " << k << " period " << period << " wants " << names.at(index);
    }
  }
}

TEST_F(PictureFrames, BarrierBlocksLogOneTiffEventPerTargetSetAndRepeat) {
  const uint32_t red = solid(255, 0, 0), blue = solid(0, 0, 255);
  const std::string dir = folder({{"targ0red.tif", red}, {"blue.tif", blue}});
  const std::vector<std::string> args = {"-s", "54", "-tiffdir", dir, "-simulcnt", "1", "-flowperiod", "1",
                                         "-condlist", "1", "-blockperiod", "100", "-srseed", "5"};
  // Four cycles, frames at t = k/10; the unsaved last frame (t = 3.9) starts no set.
  const SavedRun a = saverun(*x, args, 39, 10.0);
  int redsets = 0;
  for (int cycle = 0; cycle < 4; cycle++) {
    const Image& f = a.frames[cycle * 10 + 6];  // late in the cycle: a large picture
    ASSERT_TRUE(f.ok());
    int reds = 0, blues = 0;
    for (int k = 0; k < f.width * f.height; k++) {
      const uint32_t c = f.rgba[k] & 0xffffffu;
      reds += c == (red & 0xffffffu);
      blues += c == (blue & 0xffffffu);
    }
    EXPECT_TRUE((reds > 0) != (blues > 0)) << "one picture per set, cycle " << cycle;
    redsets += reds > 0;
  }
  EXPECT_EQ(redsets, 2) << "each pass of two sets shows both pictures";
  const std::vector<std::string> events = loglines(a.log, "TiffEvent:");
  EXPECT_EQ(static_cast<int>(events.size()), redsets) << a.log;
  for (const std::string& e : events) EXPECT_NE(e.find("   targ0"), std::string::npos) << e;
  // The same seed repeats the run bit for bit.
  const SavedRun b = saverun(*x, args, 39, 10.0);
  for (int k = 0; k < 39; k++) EXPECT_EQ(a.frames[k].rgba, b.frames[k].rgba) << "frame " << k;
  EXPECT_EQ(loglines(b.log, "TiffEvent:").size(), events.size());
}

TEST_F(PictureFrames, BarrierBlocksLogNoTargetsAfterTheDesignEndsOrInOffBlocks) {
  // Only target pictures: every set shown is logged. Blocks: off [0,1), dilatefront [1,2), then "Done";
  // new sets at 0.05, 0.55, 1.05, 1.55, ... (frames at t = 0.05 + k/10).
  const std::string dir = folder({{"targ0red.tif", solid(255, 0, 0)}});
  const SavedRun r = loggedrun(*x, {"-s", "54", "-tiffdir", dir, "-simulcnt", "1", "-flowperiod", "0.5", "-condlist",
                                    "0", "1", "-blockperiod", "1", "-firstframetime", "0.05", "-winxy", "160", "120"},
                               40, 10.0);
  ASSERT_EQ(r.result.status, 0) << r.result.out;
  ASSERT_EQ(loglines(r.log, "RndBlkExptDone:").size(), 1u) << r.log;
  const std::vector<std::string> events = loglines(r.log, "TiffEvent:");
  EXPECT_EQ(events.size(), 2u) << r.log;  // t = 1.05 and 1.55
  for (const std::string& e : events) {
    const double t = std::stod(e.substr(e.find(':') + 1));
    EXPECT_GE(t, 1.0) << e;
    EXPECT_LT(t, 2.0) << e;
  }
  EXPECT_LT(r.log.rfind("TiffEvent:"), r.log.find("RndBlkExptDone:")) << r.log;
}

// Pixels of exactly colour c in frame f.
int countrgb(const Image& f, uint32_t c) {
  int n = 0;
  for (uint32_t p : f.rgba) n += (p & 0xffffffu) == (c & 0xffffffu);
  return n;
}

TEST_F(PictureFrames, WedgeMaskedStreamShowsEachPictureOncePerPassAndTestAlternatesTheMask) {
  const uint32_t red = solid(255, 0, 0), blue = solid(0, 0, 255);
  const std::string dir = folder({{"targ0red.tif", red}, {"blue.tif", blue}});
  // Four pictures of 1 s at t = k/4; the unsaved last frame (t = 3.75) starts none.
  const SavedRun a = saverun(*x, {"-s", "83", "-tiffdir", dir, "-tiffdur", "1", "-test"}, 15, 4.0);
  int redpictures = 0;
  for (int k : {2, 6, 10, 14}) {
    const int reds = countrgb(a.frames[k], red), blues = countrgb(a.frames[k], blue);
    EXPECT_TRUE((reds > 0) != (blues > 0)) << "frame " << k;
    redpictures += reds > 0;
  }
  EXPECT_EQ(redpictures, 2) << "each pass of two pictures shows both";
  // With -test the first frame is unmasked, the next masked, and so on.
  for (int k = 0; k + 1 < 4; k += 2) {
    const int open = countrgb(a.frames[k], red) + countrgb(a.frames[k], blue);
    const int masked = countrgb(a.frames[k + 1], red) + countrgb(a.frames[k + 1], blue);
    EXPECT_GT(open, 2 * masked) << "frames " << k << ", " << k + 1;
  }
}

// A wedge not centred on its angle opens from 45 to 135 degrees at t = 2:
// the picture sits in the middle of that opening, not on its edge.
TEST_F(PictureFrames, WedgeMaskedPictureSitsInTheOpeningOfAnUncentredWedge) {
  const uint32_t red = solid(255, 0, 0);
  const std::string dir = folder({{"red.tif", red}});
  const SavedRun a = saverun(*x, {"-s", "83", "-tiffdir", dir, "-nocenterpol", "-polwidth", "90", "-polperiod", "16",
                                  "-firstframetime", "2"},
                             1, 1.0);
  ASSERT_EQ(a.frames.size(), 1u);
  const Image& f = a.frames[0];
  double sx = 0, sy = 0;
  int n = 0;
  for (int y = 0; y < f.height; y++)
    for (int xx = 0; xx < f.width; xx++)
      if (isrgb(f, xx, y, red)) sx += xx - f.width / 2.0 + 0.5, sy += f.height / 2.0 - y - 0.5, n++;
  ASSERT_GT(n, 500);
  EXPECT_NEAR(std::atan2(sy, sx) * 180.0 / M_PI, 90.0, 3.0);
}

TEST_F(PictureFrames, GaussianMaskFileCarriesAPlainAlphaChannel) {
  const std::string cwd = maketempdir("gau");
  const RunResult r = runvistrum(*x, {"-s", "99", "-nofullscreen", "-circwidth", "0.8", "-bgwingray", "0.5"}, 60, cwd);
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string name = "gau-transp-bg=0.50-fwhm=262x262-1024x768.tiff";
  EXPECT_TRUE(hasline(r, "vistrum: wrote file " + name)) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: tiff w/centered Gaussian in alpha")) << r.out;
  TIFF* tif = TIFFOpen((cwd + "/" + name).c_str(), "r");
  ASSERT_NE(tif, nullptr);
  uint16_t spp = 0, n = 0;
  uint16_t* types = nullptr;
  TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
  EXPECT_EQ(spp, 4);
  ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &n, &types));
  ASSERT_EQ(n, 1);
  EXPECT_EQ(types[0], EXTRASAMPLE_UNASSALPHA);
  std::vector<unsigned char> raw(1024 * 768 * 4);
  ASSERT_EQ(TIFFReadEncodedStrip(tif, 0, raw.data(), static_cast<tmsize_t>(raw.size())), static_cast<tmsize_t>(raw.size()));
  TIFFClose(tif);
  auto at = [&](int x, int y, int s) { return raw[(static_cast<size_t>(y) * 1024 + x) * 4 + s]; };
  EXPECT_EQ(at(512, 384, 3), 0) << "transparent centre";
  EXPECT_EQ(at(0, 0, 3), 254) << "opaque corner";
  EXPECT_NEAR(at(512 + 131, 384, 3), 127, 2) << "half at half the FWHM";
  for (auto [px, py] : {std::pair{512, 384}, {0, 0}, {900, 700}})
    EXPECT_NEAR(at(px, py, 0), 128, 1) << "background grey kept as read";
}

TEST_F(PictureFrames, UnusablePictureFoldersStopBeforeTheWindow) {
  const std::string empty = maketempdir("picempty");
  std::FILE* f = std::fopen((empty + "/notes.txt").c_str(), "w");
  std::fclose(f);
  RunResult r = runvistrum(*x, {"-s", "59", "-nofullscreen", "-tiffdir", empty});
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(hasline(r, "vistrum: ### no tiff/tif(s) found in " + empty)) << r.out;
  const std::string bad = maketempdir("picbad");
  f = std::fopen((bad + "/broken.tif").c_str(), "w");
  std::fputs("II*\0 this is no picture", f);
  std::fclose(f);
  r = runvistrum(*x, {"-s", "114", "-nofullscreen", "-tiffdir", bad});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("vistrum: ### can't"), std::string::npos) << r.out;
  r = runvistrum(*x, {"-s", "53", "-nofullscreen", "-simulcnt", "0"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("vistrum: ### -simulcnt"), std::string::npos) << r.out;
}

TEST_F(PictureFrames, EachUnusablePictureIsNamedAndStopsTheStartUpBeforeReady) {
  // Among good pictures: one of a kind the reader refuses (float samples),
  // an empty file, a picture of no width, and text under a picture's name.
  auto floats = [](const std::string& path) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 4);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 4);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 32);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 4);
    float px[16] = {};
    TIFFWriteEncodedStrip(tif, 0, px, sizeof px);
    TIFFClose(tif);
  };
  auto text = [](const char* content) {
    return [content](const std::string& path) {
      std::FILE* f = std::fopen(path.c_str(), "w");
      std::fputs(content, f);
      std::fclose(f);
    };
  };
  // A picture of 0 x 4 pixels: a good file whose width entry is zeroed.
  auto zerowide = [](const std::string& path) {
    writepicture(path, 4, 4, [](int, int) { return solid(1, 2, 3); });
    std::FILE* f = std::fopen(path.c_str(), "r+b");
    unsigned char b[4096];
    const size_t n = std::fread(b, 1, sizeof b, f);
    auto u16 = [&](size_t at) { return static_cast<unsigned>(b[at] | b[at + 1] << 8); };
    const size_t ifd = b[4] | b[5] << 8 | b[6] << 16 | static_cast<size_t>(b[7]) << 24;
    for (size_t e = ifd + 2; ifd + 2 < n && e + 12 <= n && e < ifd + 2 + 12 * u16(ifd); e += 12)
      if (u16(e) == TIFFTAG_IMAGEWIDTH) {
        std::fseek(f, static_cast<long>(e + 8), SEEK_SET);
        std::fwrite("\0\0\0\0", 1, 4, f);
      }
    std::fclose(f);
  };
  const std::vector<std::pair<const char*, std::function<void(const std::string&)>>> bad = {
      {"m-float.tif", floats},
      {"m-empty.tif", text("")},
      {"m-zerowide.tif", zerowide},
      {"m-notes.tif", text("shopping list\n")}};
  for (const auto& [name, make] : bad) {
    const std::string dir = folder({{"a.tif", solid(200, 0, 0)}, {"z.tif", solid(0, 200, 0)}});
    const std::string path = dir + "/" + name;
    make(path);
    Vistrum v(*x, {"-s", "114", "-nofullscreen", "-tiffdir", dir});
    EXPECT_FALSE(v.waitforwindow(20)) << name << ": the window came up";
    const RunResult r = v.wait();
    EXPECT_EQ(r.status, 1) << name;
    bool named = false;
    for (const std::string& l : r.lines()) named = named || (l.rfind("vistrum: ### ", 0) == 0 && l.find(path) != std::string::npos);
    EXPECT_TRUE(named) << name << "\n" << r.out;
    removetree(dir);
  }
}

TEST_F(PictureFrames, AFrameThatCannotBeWrittenEndsTheRunWithItsName) {
  const std::string out = maketempdir("picout");
  mkdir((out + "/f00001.tiff").c_str(), 0755);  // frame 1's file name is taken by a folder
  Vistrum v(*x, {"-s", "114", "-nofullscreen", "-saveframes", "5", "10", "-framerate", "10", "-tiffoutdir", out});
  ASSERT_TRUE(v.waitforwindow());
  v.key("F1");
  const RunResult r = v.wait(60);
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(hasline(r, "vistrum: ### can't write: " + out + "/f00001.tiff")) << r.out;
  struct stat st {};
  EXPECT_EQ(stat((out + "/f00000.tiff").c_str(), &st), 0) << "frames before it are kept";
}

namespace {

// Whether the frame shows colour c at (u, v) display units.
bool redat(const Image& f, double u, double v, uint32_t c) {
  return isrgb(f, unitpixx(u, f.width), unitpixy(v, f.width, f.height), c);
}

}  // namespace

TEST_F(PictureFrames, LoomingPictureRidesItsRadiusAndRingMaskedPictureShowsInTheRingOnly) {
  const uint32_t red = solid(255, 0, 0);
  const std::string dir = folder({{"red.tif", red}});
  // One looming picture: on the negative x axis at R = (maxrad-minrad) q + minrad,
  // visible while the cycle phase is below -onfrac (frames at t = 2.5 and 6).
  for (const char* period : {"10", "-10"}) {
    const SavedRun r = saverun(*x,
                               {"-s", "59", "-tiffdir", dir, "-simulcnt", "1", "-flowperiod", period, "-minrad",
                                "0.1", "-maxrad", "1", "-noexptrans", "-firstframetime", "2.5"},
                               2, 1.0 / 3.5);
    ASSERT_TRUE(r.frames[1].ok()) << r.result.out;
    const double q = period[0] == '-' ? 0.75 : 0.25, R = 0.9 * q + 0.1;
    EXPECT_TRUE(redat(r.frames[0], -R, 0.0, red)) << "period " << period;
    EXPECT_FALSE(redat(r.frames[0], R, 0.0, red)) << "period " << period;
    EXPECT_EQ(countrgb(r.frames[1], red), 0) << "hidden after -onfrac, period " << period;
  }
  // Ring mask (linear, no wrap squeeze): at t = 2 the ring spans 0.312..0.512.
  const SavedRun m = saverun(*x,
                             {"-s", "84", "-tiffdir", dir, "-eccperiod", "10", "-eccwidth", "0.2", "-noexptrans",
                              "-eccwrap", "-firstframetime", "2"},
                             1, 1.0);
  ASSERT_TRUE(m.frames[0].ok()) << m.result.out;
  int inside = 0, outside = 0;
  for (int k = 0; k < 8; k++) {
    const double a = (k + 0.5) * M_PI / 4;
    inside += redat(m.frames[0], 0.41 * std::cos(a), 0.41 * std::sin(a), red);
    outside += redat(m.frames[0], 0.2 * std::cos(a), 0.2 * std::sin(a), red);
    outside += redat(m.frames[0], 0.6 * std::cos(a), 0.6 * std::sin(a), red);
  }
  EXPECT_GE(inside, 6) << "the mesh may cross a sample";
  EXPECT_EQ(outside, 0);
}
