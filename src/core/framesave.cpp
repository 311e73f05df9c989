// Saved frames: the frame saver the loop hands each saved frame to (read
// back from the drawing buffer, written as an LZW TIFF on writer threads),
// the TIFF file writer and libtiff's error messages.
#include "core/framesave.h"

#include "config/params.h"
#include "core/xit.h"

#include <GL/gl.h>
#include <dirent.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// libtiff reports damage (a cut-off strip, a bad offset) through its error
// handler and may still hand back a partly filled picture: count the errors,
// so a damaged file stops the run instead of showing garbage.
std::atomic<int> tifferrors{0};  // the frame writers report here too

void tifferror(const char* module, const char* fmt, va_list ap) {
  char msg[512];
  std::vsnprintf(msg, sizeof msg, fmt, ap);
  std::printf("vistrum: ### libtiff: %s%s%s\n", module ? module : "", module ? ": " : "", msg);
  tifferrors++;
}

}  // namespace

void catchtifferrors() {
  static bool installed = false;
  if (!installed) TIFFSetErrorHandler(tifferror);
  installed = true;
}

void resettifferrors() { tifferrors = 0; }

int tifferrorcount() { return tifferrors; }

void yflipraster(int w, int h, unsigned int* pixels) {
  for (int top = 0, bot = h - 1; top < bot; top++, bot--) {
    unsigned int* a = pixels + static_cast<size_t>(top) * w;
    unsigned int* b = pixels + static_cast<size_t>(bot) * w;
    for (int k = 0; k < w; k++) {
      const unsigned int tmp = a[k];
      a[k] = b[k];
      b[k] = tmp;
    }
  }
}

bool writetiffok(int w, int h, unsigned int* pixels, const char* path) {
  yflipraster(w, h, pixels);
  int spp = 4;
  if (!par.savetransparencyflag) {
    // Drop every fourth byte (alpha) in place.
    unsigned char* bytes = reinterpret_cast<unsigned char*>(pixels);
    const size_t n = static_cast<size_t>(w) * h;
    for (size_t k = 0; k < n; k++) {
      bytes[3 * k + 0] = bytes[4 * k + 0];
      bytes[3 * k + 1] = bytes[4 * k + 1];
      bytes[3 * k + 2] = bytes[4 * k + 2];
    }
    spp = 3;
  }
  // Written under a temporary name and renamed when whole: a frame cut off
  // by a full disk or a killed run never sits under a frame's name.
  char part[2 * TEXTLEN + 48];
  if (std::snprintf(part, sizeof part, "%s.part", path) >= static_cast<int>(sizeof part)) {
    errno = ENAMETOOLONG;
    return false;
  }
  catchtifferrors();
  TIFF* tif = TIFFOpen(part, "w");
  if (!tif) {
    if (!errno) errno = EIO;
    const int err = errno;
    unlink(part);  // TIFFOpen may leave an empty file when it fails
    errno = err;
    return false;
  }
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(w));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(h));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, spp);
  if (spp == 4) {
    // Mark the fourth sample as plain (unassociated) alpha, so that other
    // programs take it as transparency rather than as unknown data.
    const uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
    TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
  }
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, 1);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(h));
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, 2);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, 5);
  TIFFSetField(tif, TIFFTAG_XRESOLUTION, 150.0);
  TIFFSetField(tif, TIFFTAG_YRESOLUTION, 150.0);
  TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, 2);
  TIFFSetField(tif, TIFFTAG_ORIENTATION, 1);
  const tmsize_t size = static_cast<tmsize_t>(w) * h * spp;
  // A short write (full disk) must not pass as a saved frame: the strip,
  // then the directory (written by the flush) must both reach the file.
  errno = 0;
  bool written = TIFFWriteEncodedStrip(tif, 0, pixels, size) >= 0;
  written = written && TIFFFlush(tif) == 1;
  int err = errno;
  TIFFClose(tif);
  if (written && std::rename(part, path) != 0) {
    written = false;
    err = errno;
  }
  if (!written) {
    unlink(part);
    errno = err ? err : EIO;
  }
  return written;
}

void writetiff(int w, int h, unsigned int* pixels, const char* path) {
  if (writetiffok(w, h, pixels, path)) return;
  std::printf("vistrum: ### %s: %s\n", path, std::strerror(errno));
  fatal("vistrum: ### can't write: %s\n", path);
}

void framefilename(char* buf, int size, const char* dir, int n) {
  std::snprintf(buf, size, "%s/f%05d.%s", dir, n, "tiff");
}

bool isframefilename(const char* name) {
  if (name[0] != 'f') return false;
  size_t k = 1;
  while (name[k] >= '0' && name[k] <= '9') k++;
  if (k < 6) return false;  // at least five digits, as framefilename writes
  return !std::strcmp(name + k, ".tiff") || !std::strcmp(name + k, ".tiff.part");
}

int oldframes(const char* dir, bool remove) {
  DIR* d = opendir(dir);
  if (!d) return 0;
  int n = 0;
  while (dirent* e = readdir(d)) {
    // Only files: a folder of that name is not an earlier frame.
    if (!isframefilename(e->d_name) || e->d_type == DT_DIR) continue;
    if (remove) {
      char path[2 * TEXTLEN + 2];
      std::snprintf(path, sizeof path, "%s/%s", dir, e->d_name);
      if (unlink(path) != 0) {
        const int err = errno;
        closedir(d);
        fatal("vistrum: ### can't remove old frame %s (%s)\n", path, std::strerror(err));
      }
    }
    n++;
  }
  closedir(d);
  return n;
}

// Frame saving runs the file writing (row flip, LZW, disk) on two writer
// threads while the loop draws the next frames: encoding a 1024x768 frame
// takes 20-30 ms of one core, so done in the loop it would hold saving
// below 30 frames per second. The loop reads each frame back into one of a few
// window-sized buffers (all allocated before "Ready") and hands it over; it
// waits only when every buffer is still being written. A failed write is
// reported by the loop, which alone may end the run.
namespace {

constexpr int NWRITERS = 2;
constexpr int NFRAMEBUFS = 2 * NWRITERS;  // writer j takes buffers j, j + NWRITERS, ...

struct FrameSaver {
  unsigned int* buf[NFRAMEBUFS] = {};
  size_t words = 0;
  int frameno[NFRAMEBUFS] = {};
  bool queued[NFRAMEBUFS] = {};   // grabbed and waiting for (or in) its writer
  int next = 0;                   // buffer the next grab uses
  int grabbed = -1;               // buffer holding the frame last grabbed
  int w = 0, h = 0;
  std::mutex m;
  std::condition_variable cv;
  std::thread* writer[NWRITERS] = {};  // never destroyed: joined at exit
  bool stop = false;
  char error[4 * TEXTLEN + 64] = "";   // first failed write
};

FrameSaver saver;

// Writes buffer k; on failure the message goes to `error`.
void writeframe(int k, int w, int h, int n, char* error, size_t size) {
  char path[TEXTLEN + 32];
  framefilename(path, sizeof path, par.tiffoutdir, n);
  if (!writetiffok(w, h, saver.buf[k], path))
    std::snprintf(error, size, "vistrum: ### can't write: %s\nvistrum: ### %s: %s\n", path, path, std::strerror(errno));
}

void writerloop(int first) {
  std::unique_lock<std::mutex> lock(saver.m);
  int k = first;  // this writer's buffers, in the order they were grabbed
  for (;;) {
    saver.cv.wait(lock, [&] { return saver.queued[k] || saver.stop; });
    if (!saver.queued[k]) return;  // stopped with nothing left
    const bool failed = saver.error[0] != '\0';  // after a failure the rest are dropped
    const int w = saver.w, h = saver.h, n = saver.frameno[k];
    lock.unlock();
    char error[sizeof saver.error] = "";
    if (!failed) writeframe(k, w, h, n, error, sizeof error);
    lock.lock();
    if (error[0] && !saver.error[0]) std::strcpy(saver.error, error);
    saver.queued[k] = false;
    saver.cv.notify_all();
    k = (k + NWRITERS) % NFRAMEBUFS;
  }
}

void stopwriter() { stopframesaves(); }

void failifwritefailed() {
  std::unique_lock<std::mutex> lock(saver.m);
  if (!saver.error[0]) return;
  char msg[sizeof saver.error];
  std::strcpy(msg, saver.error);
  saver.error[0] = '\0';  // printed once, here
  lock.unlock();
  fatal("%s", msg);
}

}  // namespace

bool stopframesaves() {
  if (!saver.writer[0]) return true;
  // The frames handed over are finished (or, failing, removed) first.
  {
    std::lock_guard<std::mutex> lock(saver.m);
    saver.stop = true;
  }
  saver.cv.notify_all();
  for (std::thread*& w : saver.writer) {
    w->join();
    w = nullptr;
  }
  if (!saver.error[0]) return true;
  std::printf("%s", saver.error);
  saver.error[0] = '\0';
  return false;
}

void prepareframesave() {
  catchtifferrors();
  // Checked at set-up; removed only now, when the run is sure to start.
  if (par.replaceframesflag) {
    const int n = oldframes(par.tiffoutdir, true);
    if (n > 0) std::printf("vistrum: -replaceframes: removed %d earlier frame file(s) from %s\n", n, par.tiffoutdir);
  }
  // Window size after any 120 Hz doubling is not known yet: size for the larger one.
  saver.words = static_cast<size_t>(par.winxgl) * par.winygl * 2;
  for (unsigned int*& b : saver.buf) {
    b = static_cast<unsigned int*>(std::malloc(saver.words * 4));
    if (!b) fatal("vistrum: ### can't malloc frm %d\n", 0);
  }
  for (int j = 0; j < NWRITERS; j++) {
    try {
      saver.writer[j] = new std::thread(writerloop, j);
    } catch (const std::exception&) {  // no memory, or no thread to be had
      fatal("vistrum: ### can't start the frame writer\n");
    }
  }
  // Esc or any other end while frames are pending: finish the files first.
  std::atexit(stopwriter);
}

void grabframe() {
  if (!saver.writer[0]) fatal("vistrum: ### can't malloc frm %d\n", 0);
  failifwritefailed();
  const size_t words = static_cast<size_t>(par.winxgl) * par.winygl;
  if (words > saver.words) fatal("vistrum: ### can't malloc frm %d\n", 0);
  const int k = saver.next;
  {
    std::unique_lock<std::mutex> lock(saver.m);
    saver.cv.wait(lock, [&] { return !saver.queued[k]; });
  }
  // The back buffer, read before the swap: after it its contents are
  // undefined on most drivers, and the front buffer may be covered.
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, 0, par.winxgl, par.winygl, GL_RGBA, GL_UNSIGNED_INT_8_8_8_8_REV, saver.buf[k]);
  saver.grabbed = k;
}

void frame2tiff(int n) {
  const int k = saver.grabbed;
  if (k < 0) fatal("vistrum: ### can't malloc frm %d\n", n);
  {
    std::lock_guard<std::mutex> lock(saver.m);
    saver.w = par.winxgl;
    saver.h = par.winygl;
    saver.frameno[k] = n;
    saver.queued[k] = true;
  }
  saver.cv.notify_all();
  saver.grabbed = -1;
  saver.next = (k + 1) % NFRAMEBUFS;
}

void finishframesaves() {
  if (!saver.writer[0]) return;
  {
    std::unique_lock<std::mutex> lock(saver.m);
    saver.cv.wait(lock, [&] {
      for (bool q : saver.queued)
        if (q) return false;
      return true;
    });
  }
  failifwritefailed();
}

static void checktiffoutdirexists();

bool saveframesok(int frames, double framedur) {
  // 1/0 gives an infinite frame duration and times of NaN; a negative
  // count would end the run after one frame with nothing saved.
  return frames > 0 && std::isfinite(framedur) && framedur > 0.0;
}

void checktiffoutdir() {
  if (!saveframesok(par.saveframes, par.savedur))
    fatal("vistrum: ### bad -saveframes %d %g (need frames > 0, frame rate > 0)\n", par.saveframes,
          1.0 / par.savedur);
  if (std::strcmp(par.tiffoutdir, ".") != 0) checktiffoutdirexists();
  // Frames of an earlier run would mix with this run's (some overwritten,
  // the rest left), and no one could tell which is which.
  const int old = oldframes(par.tiffoutdir, false);
  if (old > 0 && !par.replaceframesflag)
    fatal("vistrum: ### tiffoutdir %s already holds %d saved frame file(s) (fNNNNN.tiff): use -replaceframes to "
          "replace them, or another -tiffoutdir\n",
          par.tiffoutdir, old);
}

static void checktiffoutdirexists() {
  FILE* probe = std::fopen(par.tiffoutdir, "r");
  if (!probe) fatal("vistrum: ### tiffoutdir %s not found  ...quitting\n", par.tiffoutdir);
  std::fclose(probe);
  struct stat st {};
  if (stat(par.tiffoutdir, &st) != 0 || !S_ISDIR(st.st_mode)) fatal("vistrum: ### %s not a dir\n", par.tiffoutdir);
  DIR* d = opendir(par.tiffoutdir);
  if (!d) {
    std::printf("vistrum: ### can't find/open tiff outdir, \"%s\"\n", par.tiffoutdir);
    fatal("vistrum: ### create, or use other: -tiffoutdir <otherdir>\n");
  }
  closedir(d);
}
