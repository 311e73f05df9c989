// Picture files: which names a folder scan loads, loading, and writing a
// frame buffer so that it reads back the right way up.
#include "config/params.h"
#include "images/tiffio.h"
#include "keepglobals.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string tempdir() {
  char tmpl[] = "/tmp/vistrum-tiff-XXXXXX";
  return mkdtemp(tmpl);
}

std::string libdir() {
  const char* d = getenv("VISTRUM_DIR");
  return std::string(d ? d : ".") + "/lib/imagefiles/test";
}

}  // namespace

TEST(TiffNames, OnlyExactEndingsAndNoResourceForks) {
  for (const char* n : {"a.tif", "b.TIFF", "c.tiff", "d.TIF", ".tif", ".TIF", "x.y.tif"}) EXPECT_TRUE(istiffname(n)) << n;
  for (const char* n : {"._a.tif", "c.Tif", "notes.txt", ".", "..", "tif", "a.tif.bak", "a.TiFF", "._"})
    EXPECT_FALSE(istiffname(n)) << n;
}

TEST(TiffFiles, FolderScanLoadsTheTestPicturesInOrder) {
  const int before = memimgcnt;
  const int held = readtiffs(libdir().c_str());
  EXPECT_EQ(held, before + 4);
  for (int k = before; k < held; k++) {
    EXPECT_EQ(memimgs[k]->width, 128);
    EXPECT_EQ(memimgs[k]->height, 128);
  }
  EXPECT_GT(totalimgmb, 0.24f);  // four 64 KB rasters at least
}

TEST(TiffFiles, SavedFrameReadsBackTheRightWayUpWithOrWithoutAlpha) {
  const std::string dir = tempdir();
  for (int keepalpha : {1, 0}) {
    par.savetransparencyflag = keepalpha;
    // A 4 x 3 buffer as GL reads it back: bottom row first.
    const int w = 4, h = 3;
    std::vector<unsigned int> buf(w * h);
    for (int row = 0; row < h; row++)
      for (int x = 0; x < w; x++) buf[row * w + x] = 0x80000000u | (row * 60u) << 8 | (x * 50u);
    const std::string path = dir + "/f" + std::to_string(keepalpha) + ".tiff";
    writetiff(w, h, buf.data(), path.c_str());
    const int k = readtiff(path.c_str());
    const MemImg* img = memimgs[k];
    ASSERT_EQ(img->width, w);
    ASSERT_EQ(img->height, h);
    // The store keeps bottom row first again: the same words as written.
    for (int row = 0; row < h; row++) {
      for (int x = 0; x < w; x++) {
        const unsigned int px = img->pixels[row * w + x];
        EXPECT_EQ(px & 0xff, x * 50u);
        EXPECT_EQ((px >> 8) & 0xff, row * 60u);
        EXPECT_EQ(px >> 24, keepalpha ? 0x80u : 0xffu);
      }
    }
  }
  par = Params{};
}

TEST(TiffFiles, RowFlipSwapsTopAndBottomInPlace) {
  unsigned int px[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  yflipraster(3, 3, px);
  const unsigned int want[] = {7, 8, 9, 4, 5, 6, 1, 2, 3};
  for (int k = 0; k < 9; k++) EXPECT_EQ(px[k], want[k]);
  unsigned int even[] = {1, 2, 3, 4};
  yflipraster(1, 4, even);
  EXPECT_EQ(even[0], 4u);
  EXPECT_EQ(even[3], 1u);
}

TEST(TiffFiles, FrameNamesAreFiveDigitsUnderTheOutputFolder) {
  char buf[64];
  framefilename(buf, sizeof buf, ".", 12);
  EXPECT_STREQ(buf, "./f00012.tiff");
  framefilename(buf, sizeof buf, "/tmp/x", 123456);
  EXPECT_STREQ(buf, "/tmp/x/f123456.tiff");
}

TEST(TiffFilesDeath, ScanFailuresEndTheRun) {
  const std::string dir = tempdir();
  FILE* f = std::fopen((dir + "/notes.txt").c_str(), "w");
  std::fclose(f);
  f = std::fopen((dir + "/c.Tif").c_str(), "w");
  std::fclose(f);
  EXPECT_EXIT(readtiffs(dir.c_str()), ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(readtiffs("/nonexistent/pictures"), ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(readtiffs((dir + "/notes.txt").c_str()), ::testing::ExitedWithCode(1), "");
  EXPECT_EXIT(readtiff((dir + "/c.Tif").c_str()), ::testing::ExitedWithCode(1), "");
}

TEST(SaveFrames, RequestNeedsFramesAndAPositiveRate) {
  EXPECT_TRUE(saveframesok(5, 1.0 / 60.0));
  EXPECT_FALSE(saveframesok(-3, 1.0 / 60.0));            // would stop after one frame, nothing saved
  EXPECT_FALSE(saveframesok(5, 1.0 / 0.0));              // rate 0: every time NaN or infinite
  EXPECT_FALSE(saveframesok(5, 1.0 / -30.0));            // times running backwards
  EXPECT_FALSE(saveframesok(5, std::nan("")));
}

TEST(SaveFramesDeath, BadRequestEndsTheSetUp) {
  KeepGlobals keep;
  par.saveframes = 5;
  par.framedur = 1.0 / 0.0;
  EXPECT_EXIT(checktiffoutdir(), ::testing::ExitedWithCode(1), "");
  par.framedur = 1.0 / 60.0;
  par.saveframes = -1;
  EXPECT_EXIT(checktiffoutdir(), ::testing::ExitedWithCode(1), "");
  par.saveframes = 2;
  std::strcpy(par.tiffoutdir, ".");
  checktiffoutdir();  // a sound request passes
}
