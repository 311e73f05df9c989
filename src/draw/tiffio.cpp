#include "draw/tiffio.h"

#include "config/params.h"
#include "core/framesave.h"
#include "core/xit.h"

#include <dirent.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

MemImg** memimgs = nullptr;
int memimgcnt = 0;
int tiffcnt = 0;
float totalimgmb = 0.0f;

namespace {

// The RGBA reader multiplies the colours of a file with plain (unassociated)
// alpha by that alpha, which loses them where alpha is low and darkens them
// twice when the picture is blended. Taking the alpha as associated for this
// read (in memory only) hands the colours over as the file stores them.
void keepcoloursasstored(TIFF* tif) {
  uint16_t n = 0;
  uint16_t* types = nullptr;
  if (!TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &n, &types) || n == 0 || n > 8) return;
  uint16_t fixed[8];
  bool changed = false;
  for (uint16_t k = 0; k < n; k++) {
    fixed[k] = types[k] == EXTRASAMPLE_UNASSALPHA ? EXTRASAMPLE_ASSOCALPHA : types[k];
    changed = changed || fixed[k] != types[k];
  }
  if (changed) TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, n, fixed);
}

}  // namespace

bool imagesizeok(long w, long h) { return w > 0 && h > 0 && w <= MAXIMGSIDE && h <= MAXIMGSIDE; }

int readtiff(const char* path) {
  static double runningmb = 0.0;
  if (!memimgs) {
    memimgs = static_cast<MemImg**>(std::calloc(MAXMEMIMGS, sizeof(MemImg*)));
    if (!memimgs) fatal("vistrum: ### can't malloc memimgs ptr array (sz=%d)\n", MAXMEMIMGS);
  }
  // The table has a fixed size: stop cleanly rather than write past it.
  if (memimgcnt >= MAXMEMIMGS) fatal("vistrum: ### too many images (max %d): %s\n", MAXMEMIMGS, path);
  if (std::strlen(path) >= static_cast<size_t>(TEXTLEN))
    fatal("vistrum: ### image path longer than %d characters: %s\n", TEXTLEN - 1, path);
  catchtifferrors();
  resettifferrors();
  TIFF* tif = TIFFOpen(path, "r");
  if (!tif) fatal("vistrum: ### can't open: %s\n", path);
  uint32_t w = 0, h = 0;
  uint16_t spp = 0;
  TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
  TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
  if (w == 0 || h == 0) fatal("vistrum: ### can't read image %s\n", path);
  keepcoloursasstored(tif);
  // Beyond this no window shows the picture at its own size, and a forged
  // size in a damaged header would ask for gigabytes.
  if (!imagesizeok(w, h))
    fatal("vistrum: ### image %s is %u x %u pixels: larger than a window can show (at most %d per side)\n", path,
          static_cast<unsigned>(w), static_cast<unsigned>(h), MAXIMGSIDE);
  const size_t bytes = static_cast<size_t>(w) * h * 4;
  unsigned int* pixels = static_cast<unsigned int*>(std::malloc(bytes ? bytes : 4));
  if (!pixels) fatal("vistrum: ### can't malloc image %s\n", path);
  const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
  runningmb += mb;
  if (!TIFFReadRGBAImage(tif, w, h, reinterpret_cast<uint32_t*>(pixels), 0) || tifferrorcount() > 0)
    fatal("vistrum: ### can't read image %s\n", path);
  TIFFClose(tif);
  MemImg* img = new (std::nothrow) MemImg;
  if (!img) fatal("vistrum: ### can't malloc memimg for file: %s\n", path);
  img->width = static_cast<int>(w);
  img->height = static_cast<int>(h);
  img->pixels = pixels;
  std::strcpy(img->name, path);
  const int index = memimgcnt++;
  memimgs[index] = img;
  totalimgmb = static_cast<float>(runningmb);
  std::printf("image[%d]: %s\tsize: %4.2f MB\n", index, path, mb);
  return index;
}

bool istiffname(const char* name) {
  if (std::strncmp(name, "._", 2) == 0) return false;
  const size_t n = std::strlen(name);
  static const char* const endings[] = {".tiff", ".tif", ".TIFF", ".TIF"};
  for (const char* e : endings) {
    const size_t k = std::strlen(e);
    if (n >= k && std::strcmp(name + n - k, e) == 0) return true;
  }
  return false;
}

int readtiffs(const char* dir) {
  FILE* probe = std::fopen(dir, "r");
  if (!probe) fatal("vistrum: ### tiffdir %s not found\n", dir);
  std::fclose(probe);
  struct stat st {};
  if (stat(dir, &st) != 0 || !S_ISDIR(st.st_mode)) fatal("vistrum: ### %s not a dir\n", dir);
  DIR* d = opendir(dir);
  if (!d) fatal("vistrum: ### can't open dir: %s\n", dir);
  // Loaded in byte order of their names, not in the order the file system
  // lists them: that order differs between file systems and machines, and
  // the picture indices decide what a seeded run shows and which pictures
  // a type takes as backgrounds (type 32 takes the first -bgcnt).
  std::vector<std::string> names;
  while (dirent* e = readdir(d))
    if (istiffname(e->d_name)) names.emplace_back(e->d_name);
  closedir(d);
  std::sort(names.begin(), names.end());
  int last = -1;
  for (const std::string& n : names) {
    char path[2 * TEXTLEN + 2];
    std::snprintf(path, sizeof path, "%s/%s", dir, n.c_str());
    last = readtiff(path);
  }
  if (last < 0) fatal("vistrum: ### no tiff/tif(s) found in %s\n", dir);
  const char* dashes = "------------------------------------------------------";
  std::printf("%s\n", dashes);
  std::printf("vistrum: read %d tiffs from %s\n", last + 1, dir);
  std::printf("vistrum: total image memory: %4.2f MB\n", totalimgmb);
  std::printf("%s\n", dashes);
  return last + 1;
}
