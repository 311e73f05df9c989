// Picture files: which names a folder scan loads, loading, and writing a
// frame buffer so that it reads back the right way up.
#include "config/params.h"
#include "core/framesave.h"
#include "draw/tiffio.h"
#include "keepglobals.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <tiffio.h>
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
  par.savedur = 1.0 / 0.0;
  EXPECT_EXIT(checktiffoutdir(), ::testing::ExitedWithCode(1), "");
  par.savedur = 1.0 / 60.0;
  par.saveframes = -1;
  EXPECT_EXIT(checktiffoutdir(), ::testing::ExitedWithCode(1), "");
  par.saveframes = 2;
  std::strcpy(par.tiffoutdir, ".");
  checktiffoutdir();  // a sound request passes
}

namespace {

// Writes a small TIFF with libtiff: `spp` samples of `bits` bits, the given
// photometric and compression; pixel (x, y) sample s = (x * 40 + y * 7 + s * 90) scaled.
std::string writekind(const std::string& dir, const char* name, int spp, int bits, int photometric, int compression,
                      bool alpha = false) {
  const std::string path = dir + "/" + name;
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  const int w = 5, h = 4;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, spp);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, h);
  if (alpha) {
    const uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  std::vector<uint16_t> cmap(3 << bits);
  if (photometric == PHOTOMETRIC_PALETTE) {
    for (int k = 0; k < (1 << bits); k++) {
      cmap[k] = static_cast<uint16_t>(k * 257 * 40);            // red
      cmap[(1 << bits) + k] = static_cast<uint16_t>(k * 257);   // green
      cmap[(2 << bits) + k] = 0;                                // blue
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, cmap.data(), cmap.data() + (1 << bits), cmap.data() + (2 << bits));
  }
  std::vector<unsigned char> buf(static_cast<size_t>(w) * h * spp * (bits / 8));
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++)
      for (int s = 0; s < spp; s++) {
        const int v = photometric == PHOTOMETRIC_PALETTE ? (x + y) % 6 : (x * 40 + y * 7 + s * 90) % 256;
        const size_t i = (static_cast<size_t>(y) * w + x) * spp + s;
        if (bits == 16)
          reinterpret_cast<uint16_t*>(buf.data())[i] = static_cast<uint16_t>(v * 257);
        else
          buf[i] = static_cast<unsigned char>(v);
      }
  TIFFWriteEncodedStrip(tif, 0, buf.data(), static_cast<tmsize_t>(buf.size()));
  TIFFClose(tif);
  return path;
}

// Runs readtiff in a child: its exit status, or -1 when it died of a signal.
int childread(const std::string& path) {
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    std::freopen("/dev/null", "w", stdout);
    readtiff(path.c_str());
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(TiffFiles, EveryCommonKindLoadsAsBottomUpRgba) {
  const std::string dir = tempdir();
  struct Kind {
    const char* name;
    int spp, bits, photometric, compression;
    bool alpha;
  } kinds[] = {{"rgb.tif", 3, 8, PHOTOMETRIC_RGB, COMPRESSION_NONE, false},
               {"rgblzw.tif", 3, 8, PHOTOMETRIC_RGB, COMPRESSION_LZW, false},
               {"rgbzip.tif", 3, 8, PHOTOMETRIC_RGB, COMPRESSION_ADOBE_DEFLATE, false},
               {"rgba.tif", 4, 8, PHOTOMETRIC_RGB, COMPRESSION_LZW, true},
               {"rgb16.tif", 3, 16, PHOTOMETRIC_RGB, COMPRESSION_NONE, false},
               {"grey.tif", 1, 8, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW, false},
               {"grey16.tif", 1, 16, PHOTOMETRIC_MINISBLACK, COMPRESSION_ADOBE_DEFLATE, false},
               {"palette.tif", 1, 8, PHOTOMETRIC_PALETTE, COMPRESSION_NONE, false}};
  for (const Kind& k : kinds) {
    const int i = readtiff(writekind(dir, k.name, k.spp, k.bits, k.photometric, k.compression, k.alpha).c_str());
    const MemImg* m = memimgs[i];
    ASSERT_EQ(m->width, 5) << k.name;
    ASSERT_EQ(m->height, 4) << k.name;
    // Top-left pixel of the file (x 0, y 0) is the first of the last stored row.
    const unsigned int px = m->pixels[3 * 5 + 0];
    const unsigned int pxr = m->pixels[3 * 5 + 1];  // x 1, y 0
    EXPECT_EQ(px & 0xff, 0u) << k.name;
    EXPECT_EQ(pxr & 0xff, 40u) << k.name;  // grey 40, palette entry 1 (red 40), or red 40
    if (k.spp >= 3) {
      EXPECT_EQ((pxr >> 8) & 0xff, 130u) << k.name;
    }
    EXPECT_EQ(px >> 24, k.alpha ? 14u : 255u) << k.name;  // the fourth sample, or opaque
  }
}

TEST(TiffFiles, SavedAlphaIsMarkedAsUnassociatedAlpha) {
  KeepGlobals keep;
  const std::string dir = tempdir();
  unsigned int buf[6] = {0x00112233u, 0xff445566u, 0x80778899u, 0, 0, 0};
  for (int keepalpha : {1, 0}) {
    par.savetransparencyflag = keepalpha;
    const std::string path = dir + "/a" + std::to_string(keepalpha) + ".tiff";
    writetiff(3, 2, buf, path.c_str());
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    uint16_t n = 0;
    uint16_t* types = nullptr;
    const int has = TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &n, &types);
    if (keepalpha) {
      ASSERT_TRUE(has && n == 1);
      EXPECT_EQ(types[0], EXTRASAMPLE_UNASSALPHA);
    } else {
      EXPECT_TRUE(!has || n == 0);
    }
    TIFFClose(tif);
  }
}

TEST(TiffFiles, FolderScanLoadsInByteOrderOfNamesWhateverTheListingOrder) {
  // The file system lists names in an order of its own (hashed on most):
  // indices must not depend on it.
  const std::string dir = tempdir();
  const std::vector<std::string> sorted = {"0bg.tif", "B.tif", "_u.tif", "a.TIF", "c.tiff", "m.tif", "targ0x.tif", "zz.tif"};
  for (const char* n : {"m.tif", "zz.tif", "B.tif", "targ0x.tif", "a.TIF", "_u.tif", "c.tiff", "0bg.tif"})
    writekind(dir, n, 3, 8, PHOTOMETRIC_RGB, COMPRESSION_NONE);
  const int before = memimgcnt;
  ASSERT_EQ(readtiffs(dir.c_str()), before + 8);
  std::vector<std::string> got;
  for (int k = before; k < memimgcnt; k++) got.push_back(std::string(memimgs[k]->name).substr(dir.size() + 1));
  EXPECT_EQ(got, sorted);
}

TEST(TiffFilesDeath, DamagedFilesStopTheRunAndNeverCrash) {
  const std::string dir = tempdir();
  const std::string good = writekind(dir, "good.tif", 3, 8, PHOTOMETRIC_RGB, COMPRESSION_LZW);
  FILE* f = std::fopen(good.c_str(), "rb");
  std::vector<unsigned char> bytes(4096);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
  std::fclose(f);
  auto writebytes = [&](const std::string& p, const std::vector<unsigned char>& b) {
    FILE* o = std::fopen(p.c_str(), "wb");
    if (!b.empty()) std::fwrite(b.data(), 1, b.size(), o);  // an empty vector's data() may be null
    std::fclose(o);
  };
  // Cut short anywhere: always the orderly stop with status 1.
  for (size_t len : {size_t{0}, size_t{4}, size_t{8}, size_t{20}, bytes.size() / 2, bytes.size() - 10}) {
    const std::string p = dir + "/cut" + std::to_string(len) + ".tif";
    writebytes(p, std::vector<unsigned char>(bytes.begin(), bytes.begin() + static_cast<long>(len)));
    EXPECT_EQ(childread(p), 1) << "cut at " << len;
  }
  // Single flipped bits: loaded (damage in pixel data) or stopped, never a crash.
  srandom(3);
  for (int k = 0; k < 60; k++) {
    std::vector<unsigned char> b = bytes;
    const size_t at = static_cast<size_t>(random()) % b.size();
    b[at] ^= static_cast<unsigned char>(1u << (random() % 8));
    const std::string p = dir + "/flip" + std::to_string(k) + ".tif";
    writebytes(p, b);
    const int st = childread(p);
    EXPECT_TRUE(st == 0 || st == 1) << "flip at byte " << at << ": status " << st;
  }
  EXPECT_FALSE(imagesizeok(0, 10));
  EXPECT_FALSE(imagesizeok(MAXIMGSIDE + 1, 10));
  EXPECT_TRUE(imagesizeok(MAXIMGSIDE, MAXIMGSIDE));
}
