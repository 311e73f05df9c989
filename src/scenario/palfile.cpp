#include "scenario/palfile.h"

#include "config/params.h"
#include "scenario/scnerror.h"

#include <cmath>
#include <cstdio>
#include <cstring>

unsigned short rpalette[PALCOLS], gpalette[PALCOLS], bpalette[PALCOLS];

namespace {

// The 32 named colours, 6-bit components.
constexpr Pal6 kNamed[32] = {
    {0, 0, 0},    {63, 63, 63}, {63, 0, 0},   {63, 20, 0},  {63, 32, 0},  {63, 45, 0},  {63, 63, 0},
    {40, 63, 0},  {0, 63, 0},   {0, 50, 50},  {0, 30, 63},  {0, 0, 63},   {32, 0, 63},  {48, 0, 63},
    {63, 0, 63},  {63, 0, 32},  {7, 7, 7},    {14, 14, 14}, {21, 21, 21}, {28, 28, 28}, {35, 35, 35},
    {42, 42, 42}, {49, 49, 49}, {56, 56, 56}, {63, 32, 32}, {63, 46, 25}, {63, 63, 30}, {32, 63, 32},
    {30, 63, 63}, {20, 50, 63}, {45, 35, 63}, {63, 32, 63},
};

unsigned short rnd(double v) { return static_cast<unsigned short>(std::lround(v)); }

unsigned word(const unsigned char* b, int i) { return b[2 * i] | (b[2 * i + 1] << 8u); }

}  // namespace

Pal6 defpalentry(int i) {
  if (i < 0 || i >= PALCOLS) return {0, 0, 0};
  if (i < 32) return kNamed[i];
  if (i < 96) return {63, static_cast<unsigned short>(i - 32), 0};  // red to yellow
  if (i < 124) return {rnd(60.0 - (i - 96) * 60.0 / 27.0), 63, 0};   // yellow to green
  if (i < 193) {
    // Green to blue along a quarter circle of radius 63.5 in the g-b plane.
    const double b = 1.0 + (i - 124) * 62.0 / 68.0;
    const double g = std::sqrt(63.5 * 63.5 - b * b);
    return {0, static_cast<unsigned short>(std::fmin(63.0, std::round(g))), rnd(b)};
  }
  return {static_cast<unsigned short>(i - 193), 0, static_cast<unsigned short>(63 - (i - 193))};  // blue to red
}

bool parsepalette(const unsigned char* data, size_t len, size_t filelen, const char* name, std::string& err) {
  // The file holds 16-bit words; its fixed size is 896 bytes.
  const size_t words = filelen / 2;
  if (words != PALFILEWORDS)
    std::printf("vistrum: ### read %d (not %d) pal shorts\n", static_cast<int>(words),
                PALFILEWORDS);
  unsigned char raw[PALFILEWORDS * 2] = {};
  const size_t have = len < sizeof raw ? len - len % 2 : sizeof raw;
  std::memcpy(raw, data, have);
  if (have < 8) return scnfail(err, "vistrum: ### palette %s too short for its header (%d bytes)\n", name, static_cast<int>(have));

  unsigned n = 0, bits = 0;
  const unsigned magic = word(raw, 0);
  if (magic == 0xAA55) {
    n = word(raw, 2);
    bits = word(raw, 3);
    std::printf("vistrum: re-swapping bytes to read colors\n");
  } else if (magic == 0x55AA) {
    std::printf("vistrum: swapping bytes of palette file to read header\n");
    n = (raw[4] << 8u) | raw[5];
    bits = (raw[6] << 8u) | raw[7];
  } else {
    return scnfail(err, "vistrum: ### bad magic (%x) in palette %s\n", magic, name);
  }
  // Both layouts store the colour bytes pairwise swapped.
  unsigned char col[PALFILEWORDS * 2];
  for (size_t k = 0; k < sizeof col; k++) col[k] = raw[k ^ 1u];

  if (n < 1 || n > PALCOLS)
    return scnfail(err, "vistrum: ### bad colour count %u in palette %s (OK:1-%d)\n", n, name, PALCOLS);
  // A short file that still holds every colour it declares loads with the
  // warning above; one that ends inside them would give invented colours.
  const size_t need = PALDATAOFFSET + 3 * static_cast<size_t>(n);
  if (have < need + (need % 2))
    return scnfail(err, "vistrum: ### palette %s ends before its %u colours (%d of %d bytes)\n", name, n,
                   static_cast<int>(have), static_cast<int>(need));
  int clipped = 0;
  for (unsigned i = 0; i < n; i++) {
    unsigned short* dst[3] = {&rpalette[i], &gpalette[i], &bpalette[i]};
    for (int c = 0; c < 3; c++) {
      unsigned v = col[PALDATAOFFSET + 3 * i + c];
      // Components are 6-bit; a larger value would wrap round in the low byte.
      if (v > 63) {
        v = 63;
        clipped++;
      }
      *dst[c] = static_cast<unsigned short>(v * 4);
    }
  }
  if (clipped) std::printf("vistrum: ### %d palette components above 63 in %s set to 63\n", clipped, name);
  std::printf("vistrum: read %u %u-sig-bits-per-comp cols from %s\n", n, bits, name);
  return true;
}

bool mkpalette(const char* path, std::string& err) {
  if (!par.palfileflag) {
    std::printf("vistrum: no color palette file, using default (256 cols)\n");
    for (int i = 0; i < PALCOLS; i++) {
      const Pal6 c = defpalentry(i);
      rpalette[i] = static_cast<unsigned short>(c.r * 4);
      gpalette[i] = static_cast<unsigned short>(c.g * 4);
      bpalette[i] = static_cast<unsigned short>(c.b * 4);
    }
    return true;
  }
  FILE* f = openfile(path, "rb");
  if (!f) return scnfail(err, "vistrum: ### palette file %s not found\nvistrum: ### use: -palfile <filename>\n", path);
  unsigned char buf[PALFILEWORDS * 2];
  const size_t len = std::fread(buf, 1, sizeof buf, f);
  size_t total = len;
  char spill[4096];
  // The length only feeds the size warning: stop counting past 1 MB (a
  // device that never ends must not hang the start-up).
  while (total < (1u << 20))
    if (size_t k = std::fread(spill, 1, sizeof spill, f))
      total += k;
    else
      break;
  std::fclose(f);
  return parsepalette(buf, len, total, path, err);
}
