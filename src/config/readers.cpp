#include "config/readers.h"

#include "config/params.h"
#include "core/xit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void needvalue(int i, int argc, char** argv, int back, const char* what) {
  if (i < argc) return;
  // The keyword stands `back` places before the missing value.
  std::printf("vistrum: ### %s %s\n", argv[i - back], what);
  xit(1);
}

bool isinf(const char* text) { return std::strcmp(text, "inf") == 0 || std::strcmp(text, "Inf") == 0; }

}  // namespace

float periodtorate(const char* text) {
  if (isinf(text)) return 0.0f;
  return static_cast<float>(1.0 / std::strtod(text, nullptr));
}

double texttotime(const char* text) {
  if (isinf(text)) return -1.0;
  return std::strtod(text, nullptr);
}

int geti(int i, int argc, char** argv) {
  needvalue(i, argc, argv, 1, "missing arg");
  return static_cast<int>(std::strtol(argv[i], nullptr, 10));
}

int geti2(int i, int argc, char** argv) {
  needvalue(i, argc, argv, 2, "missing 2nd arg");
  return static_cast<int>(std::strtol(argv[i], nullptr, 10));
}

float getf(int i, int argc, char** argv) {
  needvalue(i, argc, argv, 1, "missing arg");
  return static_cast<float>(std::strtod(argv[i], nullptr));
}

float getf2(int i, int argc, char** argv) {
  needvalue(i, argc, argv, 2, "missing 2nd arg");
  return static_cast<float>(std::strtod(argv[i], nullptr));
}

float getfq(int i, int argc, char** argv) {
  needvalue(i, argc, argv, 1, "missing arg");
  return periodtorate(argv[i]);
}

double gettm(int i, int argc, char** argv) {
  needvalue(i, argc, argv, 1, "missing arg");
  return texttotime(argv[i]);
}

void getst(char* dest, int i, int argc, char** argv) {
  needvalue(i, argc, argv, 1, "missing arg");
  // A silently truncated file or directory name would load the wrong thing.
  if (std::strlen(argv[i]) >= static_cast<size_t>(TEXTLEN)) {
    std::printf("vistrum: ### %s value longer than %d characters\n", argv[i - 1], TEXTLEN - 1);
    xit(1);
  }
  std::strcpy(dest, argv[i]);
}
