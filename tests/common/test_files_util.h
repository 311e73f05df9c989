// Helpers shared by the unit and end-to-end tests that read folders.
#pragma once

#include <dirent.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

// The names in a folder (no dot files), sorted; none when it cannot be read.
inline std::vector<std::string> listdir(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') names.push_back(e->d_name);
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The whitespace-separated words of a line.
inline std::vector<std::string> splitwords(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}
