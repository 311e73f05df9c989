// Library directory readers (word, picture and sound subdirectories).
#pragma once

enum class LibDir { words, pictures, sounds };

// Sets the word, picture or sound directory as its option would: a name
// beginning with "." or "/" is the directory itself, any other names a
// subdirectory of the library; a missing one falls back to "test"
// (except a picture folder named by -tiffdir, which is refused).
void setlibdir(LibDir which, const char* name);
void setdefaultlibdirs();
