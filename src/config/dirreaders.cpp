#include "config/dirreaders.h"

#include "config/optionlists.h"
#include "config/params.h"
#include "config/readers.h"
#include "core/xit.h"

#include <dirent.h>

#include <cstdio>
#include <cstring>

namespace {

bool isdir(const char* path) {
  DIR* d = opendir(path);
  if (!d) return false;
  closedir(d);
  return true;
}

// Builds "<vistrumdir>/lib/<sub>/<name>"; false when it does not fit.
bool libpath(char* dest, const char* sub, const char* name) {
  const int n = std::snprintf(dest, TEXTLEN, "%s/lib/%s/%s", par.vistrumdir, sub, name);
  return n >= 0 && n < TEXTLEN;
}

// A name beginning with "." or "/" is the directory itself; any other is a
// subdirectory of the library. A missing directory falls back to "test".
void readlibdir(char* dest, int i, int argc, char** argv, const char* sub, const char* resetname) {
  char name[TEXTLEN];
  getst(name, i, argc, argv);
  char full[TEXTLEN];
  bool ok;
  if (name[0] == '.' || name[0] == '/') {
    std::strcpy(full, name);
    ok = true;
  } else {
    ok = libpath(full, sub, name);
  }
  if (!ok || !isdir(full)) {
    std::printf("vistrum: ### %s subdir:\n  %s\nnot found, using \"test\"\n", sub, ok ? full : name);
    if (!libpath(full, sub, "test")) fatal("vistrum: ### library path longer than %d characters\n", TEXTLEN - 1);
  }
  std::strcpy(dest, full);
  std::printf("vistrum: reset full %s:\n  %s\n", resetname, dest);
}

}  // namespace

int getwordfiledir(int i, int argc, char** argv) {
  readlibdir(par.worddir, i, argc, argv, "wordfiles", "worddir");
  return i;
}

int gettiffiledir(int i, int argc, char** argv) {
  readlibdir(par.tiffdir, i, argc, argv, "imagefiles", "tiffdir");
  return i;
}

int getsndfiledir(int i, int argc, char** argv) {
  readlibdir(par.sndfiledir, i, argc, argv, "soundfiles", "sndfiledir");
  return i;
}

void setdefaultlibdirs() {
  char w[] = "-worddir", t[] = "-tiffdir", s[] = "-sndfiledir", test[] = "test";
  char* wordargs[] = {w, test};
  char* tiffargs[] = {t, test};
  char* sndargs[] = {s, test};
  getwordfiledir(1, 2, wordargs);
  gettiffiledir(1, 2, tiffargs);
  getsndfiledir(1, 2, sndargs);
}
