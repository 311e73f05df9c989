// Line reading and file checks shared by the text readers (word lists,
// scenarios, pgi files, help). Pure: no messages, no exit.
#pragma once

#include <cstdio>
#include <string>

// Reads one line into `line` without its end: a line ends at LF, at CR LF
// and at a lone CR (files from other systems). Returns false at the end of
// the file when nothing was read. At most `maxlen` characters are taken:
// a longer line sets `*toolong` and stops there, so that an endless
// "line" (a device) can neither hang the reader nor exhaust memory.
bool readtextline(FILE* f, std::string& line, size_t maxlen, bool* toolong);

// Skips the rest of a line that readtextline found too long.
void skiptextline(FILE* f);

// Why `path` is no regular file ("a FIFO", "a directory", ...), or nullptr
// for a regular file and for a path that does not exist (opening it says
// so). Asked before opening: opening a FIFO waits for a writer.
const char* notregularfile(const char* path);

// fopen of a regular file only; with `*why` set to the reason otherwise.
FILE* openregular(const char* path, const char* mode, const char** why);

// Index of the first byte that breaks UTF-8 (or is NUL), or -1.
int badutf8(const std::string& s);
