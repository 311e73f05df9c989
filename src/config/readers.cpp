#include "config/readers.h"

#include "config/params.h"
#include "core/xit.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
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

// The whole value must be the number: "1,5" or "4m" read by their leading
// digits would run silently with 1 or 4, and a forgotten value would swallow
// the next switch ("-fixtarg 4 -nofullscreen").
bool wholenumber(const char* text, bool real) {
  if (!*text) return false;
  char* end = nullptr;
  errno = 0;
  if (real)
    (void)std::strtod(text, &end);
  else
    (void)std::strtol(text, &end, 10);
  return end != text && *end == '\0';
}

int checkedint(const char* text, const char* key) {
  if (!wholenumber(text, false)) fatal("vistrum: ### %s needs a whole number: %s\n", key, text);
  int v = 0;
  if (!readint(text, &v)) fatal("vistrum: ### %s value out of range: %s\n", key, text);
  return v;
}

double checkedreal(const char* text, const char* key) {
  if (!wholenumber(text, true)) fatal("vistrum: ### %s needs a number: %s\n", key, text);
  double v = 0.0;
  if (!readreal(text, &v)) fatal("vistrum: ### %s needs a finite number: %s\n", key, text);
  return v;
}

float checkedfloat(const char* text, const char* key) {
  // Beyond the float range the stored value would become inf.
  const float v = static_cast<float>(checkedreal(text, key));
  if (!std::isfinite(v)) fatal("vistrum: ### %s needs a finite number: %s\n", key, text);
  return v;
}

bool readdecorhex(const char* text, long lo, long hi, long* value) {
  const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* digits = hex ? text + 2 : text;
  // strtol would take a sign or blanks after "0x" too.
  if (!*digits || !(std::isdigit(static_cast<unsigned char>(digits[0])) ||
                    (hex && std::isxdigit(static_cast<unsigned char>(digits[0])))))
    return false;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(digits, &end, hex ? 16 : 10);
  if (errno || *end || v < lo || v > hi) return false;
  *value = v;
  return true;
}

float periodtorate(const char* text) {
  if (isinf(text)) return 0.0f;
  return static_cast<float>(1.0 / std::strtod(text, nullptr));
}

double texttotime(const char* text) {
  if (isinf(text)) return -1.0;
  return std::strtod(text, nullptr);
}

// Numbers a plain conversion would wrap (ints) or that are not finite
// (nan, inf, beyond a float) end the run instead of becoming a silent
// nonsense value; the rest follows the standard conversion rules.
int geti(int i, int argc, char** argv) {
  needvalue(i, argc, argv, 1, "missing arg");
  return checkedint(argv[i], argv[i - 1]);
}

int geti2(int i, int argc, char** argv) {
  needvalue(i, argc, argv, 2, "missing 2nd arg");
  return checkedint(argv[i], argv[i - 2]);
}

float getf(int i, int argc, char** argv) {
  needvalue(i, argc, argv, 1, "missing arg");
  return checkedfloat(argv[i], argv[i - 1]);
}

float getf2(int i, int argc, char** argv) {
  needvalue(i, argc, argv, 2, "missing 2nd arg");
  return checkedfloat(argv[i], argv[i - 2]);
}

double getd(int i, int argc, char** argv) {
  needvalue(i, argc, argv, 1, "missing arg");
  return checkedreal(argv[i], argv[i - 1]);
}

double getd2(int i, int argc, char** argv) {
  needvalue(i, argc, argv, 2, "missing 2nd arg");
  return checkedreal(argv[i], argv[i - 2]);
}

float getfq(int i, int argc, char** argv) {
  needvalue(i, argc, argv, 1, "missing arg");
  if (!isinf(argv[i]) && !wholenumber(argv[i], true))
    fatal("vistrum: ### %s needs a period in sec or inf: %s\n", argv[i - 1], argv[i]);
  const float rate = periodtorate(argv[i]);
  // "inf" is the way to stop a motion; a zero, tiny or non-number period
  // would make an infinite or NaN rate and an empty screen.
  if (!std::isfinite(rate))
    fatal("vistrum: ### %s needs a non-zero finite period or inf: %s\n", argv[i - 1], argv[i]);
  return rate;
}

double gettm(int i, int argc, char** argv) {
  needvalue(i, argc, argv, 1, "missing arg");
  if (isinf(argv[i])) return -1.0;
  return checkedreal(argv[i], argv[i - 1]);
}

void checktextlen(const char* text, const char* key) {
  // A silently truncated file or directory name would load the wrong thing.
  if (std::strlen(text) >= static_cast<size_t>(TEXTLEN)) {
    std::printf("vistrum: ### %s value longer than %d characters\n", key, TEXTLEN - 1);
    xit(1);
  }
}

void getst(char* dest, int i, int argc, char** argv) {
  needvalue(i, argc, argv, 1, "missing arg");
  checktextlen(argv[i], argv[i - 1]);
  std::strcpy(dest, argv[i]);
}

void getst2(char* dest, int i, int argc, char** argv) {
  needvalue(i, argc, argv, 2, "missing 2nd arg");
  checktextlen(argv[i], argv[i - 2]);
  std::strcpy(dest, argv[i]);
}

int getdevnum(const char* text) {
  // The box number is a byte on the device side, so 256 wraps to box 0.
  if (!wholenumber(text, false)) fatal("vistrum: ### bad ACCES dev (OK:0-%d): %s\n", 3, text);
  const int dev = static_cast<unsigned char>(std::strtol(text, nullptr, 10));
  if (dev > 3) fatal("vistrum: ### bad ACCES dev (OK:0-%d): %s\n", 3, text);
  return dev;
}

int getportnum(const char* text) {
  static const char* const letters[] = {"A", "B", "C", "D"};
  for (int p = 0; p < 4; p++)
    if (std::strcmp(text, letters[p]) == 0) return p;
  fatal("vistrum: ### bad ACCES port lett (OK:A-D): %s\n", text);
}

int getbitnum(const char* text) {
  const long bit = std::strtol(text, nullptr, 10);
  if (!wholenumber(text, false) || bit < 0 || bit > 7) fatal("vistrum: ### bad ACCES bit (OK:0-7): %s\n", text);
  return static_cast<int>(bit);
}

char getportlett(int port) {
  if (port < 0 || port > 3) fatal("vistrum: ### bad ACCES port num (OK:0-3): %d\n", port);
  return static_cast<char>('A' + port);
}
