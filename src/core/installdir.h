// Where an installed program finds its library folders without VISTRUM_DIR.
#pragma once

#include <string>

// For a program at <prefix>/bin/<name>, the folder <prefix>/share/vistrum
// when it holds a lib/help folder; "" otherwise (a build tree, a copied
// binary), so that the current folder stays the fall-back there.
std::string installedvistrumdir(const std::string& exepath);
// The running program's own path ("" when it cannot be read).
std::string ownexepath();
