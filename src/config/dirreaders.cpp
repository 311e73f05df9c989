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

void readlibdir(char* dest, const char* name, const char* sub, const char* resetname, bool named = false) {
  char full[TEXTLEN];
  bool ok;
  if (name[0] == '.' || name[0] == '/') {
    ok = std::snprintf(full, sizeof full, "%s", name) < TEXTLEN;
  } else {
    ok = libpath(full, sub, name);
  }
  if (!ok || !isdir(full)) {
    // A picture folder the user named and that is not there (a misspelt
    // name) would run the whole experiment on the test patterns.
    if (named) {
      std::printf("vistrum: ### %s subdir:\n  %s\nnot found\n", sub, ok ? full : name);
      fatal("vistrum: ### no such -%s: %s ...quitting\n", resetname, name);
    }
    std::printf("vistrum: ### %s subdir:\n  %s\nnot found, using \"test\"\n", sub, ok ? full : name);
    if (!libpath(full, sub, "test")) fatal("vistrum: ### library path longer than %d characters\n", TEXTLEN - 1);
  }
  std::strcpy(dest, full);
  std::printf("vistrum: reset full %s:\n  %s\n", resetname, dest);
}

}  // namespace

void setlibdir(LibDir which, const char* name) {
  switch (which) {
    case LibDir::words: readlibdir(par.worddir, name, "wordfiles", "worddir"); break;
    case LibDir::pictures: readlibdir(par.tiffdir, name, "imagefiles", "tiffdir"); break;
    case LibDir::sounds: readlibdir(par.sndfiledir, name, "soundfiles", "sndfiledir"); break;
  }
}

// The option readers take the index of the value, after its keyword.
int getwordfiledir(int i, int argc, char** argv) {
  char name[TEXTLEN];
  getst(name, i, argc, argv);
  setlibdir(LibDir::words, name);
  return i;
}

int gettiffiledir(int i, int argc, char** argv) {
  char name[TEXTLEN];
  getst(name, i, argc, argv);
  readlibdir(par.tiffdir, name, "imagefiles", "tiffdir", true);
  return i;
}

int getsndfiledir(int i, int argc, char** argv) {
  char name[TEXTLEN];
  getst(name, i, argc, argv);
  setlibdir(LibDir::sounds, name);
  return i;
}

void setdefaultlibdirs() {
  setlibdir(LibDir::words, "test");
  setlibdir(LibDir::pictures, "test");
  setlibdir(LibDir::sounds, "test");
}
