#include "config/textfile.h"

#include <sys/stat.h>

bool readtextline(FILE* f, std::string& line, size_t maxlen, bool* toolong) {
  line.clear();
  *toolong = false;
  int c;
  while ((c = std::getc(f)) != EOF) {
    if (c == '\n') return true;
    if (c == '\r') {
      const int next = std::getc(f);
      if (next != '\n' && next != EOF) std::ungetc(next, f);
      return true;
    }
    if (line.size() >= maxlen) {
      std::ungetc(c, f);  // the rest of the line stays unread
      *toolong = true;
      return true;
    }
    line.push_back(static_cast<char>(c));
  }
  return !line.empty();
}

void skiptextline(FILE* f) {
  std::string rest;
  bool more = true;
  while (more && readtextline(f, rest, 4096, &more)) {
  }
}

const char* notregularfile(const char* path) {
  struct stat st {};
  if (stat(path, &st) != 0) return nullptr;
  if (S_ISREG(st.st_mode)) return nullptr;
  if (S_ISDIR(st.st_mode)) return "a directory";
  if (S_ISFIFO(st.st_mode)) return "a FIFO";
  if (S_ISCHR(st.st_mode)) return "a character device";
  if (S_ISBLK(st.st_mode)) return "a block device";
  if (S_ISSOCK(st.st_mode)) return "a socket";
  return "not a plain file";
}

FILE* openregular(const char* path, const char* mode, const char** why) {
  *why = notregularfile(path);
  if (*why) return nullptr;
  return std::fopen(path, mode);
}

int badutf8(const std::string& s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const int n = static_cast<int>(s.size());
  for (int i = 0; i < n;) {
    const unsigned c = p[i];
    int more;
    unsigned min;
    if (c == 0) return i;
    if (c < 0x80) {
      i++;
      continue;
    }
    if (c >= 0xc2 && c <= 0xdf) more = 1, min = 0x80;
    else if (c >= 0xe0 && c <= 0xef) more = 2, min = 0x800;
    else if (c >= 0xf0 && c <= 0xf4) more = 3, min = 0x10000;
    else return i;
    unsigned cp = c & (0x3f >> more);
    for (int k = 1; k <= more; k++) {
      if (i + k >= n || (p[i + k] & 0xc0) != 0x80) return i;
      cp = (cp << 6) | (p[i + k] & 0x3f);
    }
    if (cp < min || cp > 0x10ffff || (cp >= 0xd800 && cp <= 0xdfff)) return i;
    i += more + 1;
  }
  return -1;
}
