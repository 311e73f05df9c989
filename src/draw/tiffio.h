// The picture store: pictures loaded from TIFF files (saved frames are
// written by core/framesave).
#pragma once

#include "config/params.h"

struct MemImg {
  int width = 0;
  int height = 0;
  unsigned int* pixels = nullptr;  // RGBA words, bottom row first, red in the low byte
  char name[TEXTLEN] = "";
};

constexpr int MAXMEMIMGS = 62000;
// Largest picture side the loader takes (pixels).
constexpr int MAXIMGSIDE = 16384;

extern MemImg** memimgs;
extern int memimgcnt;   // images held by the whole run
extern int tiffcnt;     // images found by the start-up directory scan
extern float totalimgmb;

int readtiff(const char* path);
int readtiffs(const char* dir);

// Which directory entries the scan loads (pure).
bool istiffname(const char* name);
// Whether a picture of w x h pixels can be loaded and shown.
bool imagesizeok(long w, long h);
