// The 256-entry colour palette of scenario texts and rectangles: built in, or
// read from a binary palette file.
#pragma once

#include <cstddef>
#include <string>

constexpr int PALCOLS = 256;
constexpr int PALFILEWORDS = 448;  // 896 bytes: header words, then 256 r,g,b triples at byte 128
constexpr int PALDATAOFFSET = 128;

// 8-bit components (6-bit file values times 4); drawing uses the low byte.
extern unsigned short rpalette[PALCOLS], gpalette[PALCOLS], bpalette[PALCOLS];

// Built-in palette entry i as 6-bit components (0..63).
struct Pal6 {
  unsigned short r, g, b;
};
Pal6 defpalentry(int i);

// Fills the palette from `palfile` when -palfile was given, else from the
// built-in one. `path` is the file to open (already resolved). Returns false
// with the message in `err` when the file is unusable.
bool mkpalette(const char* path, std::string& err);
// The palette file's bytes (as read, at most PALFILEWORDS * 2 of them) and the
// file's whole length; `name` is for the messages.
bool parsepalette(const unsigned char* data, size_t len, size_t filelen, const char* name, std::string& err);
