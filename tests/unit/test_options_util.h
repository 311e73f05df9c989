// Helpers shared by the command-line tests: run the option parser in-process
// on a fresh set of parameters, and expect a fatal end with a message.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/dirreaders.h"
#include "config/options.h"
#include "config/params.h"
#include "config/typedefaults.h"

// Owns an argv built from words, as the shell would pass them.
struct Argv {
  std::vector<std::string> words;
  std::vector<char*> ptrs;
  explicit Argv(std::vector<std::string> w) : words(std::move(w)) {
    for (std::string& s : words) ptrs.push_back(&s[0]);
    ptrs.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(words.size()); }
  char** argv() { return ptrs.data(); }
};

// Fresh parameters for a type: built-in defaults, library dirs, type defaults.
inline void freshparams(int type) {
  par = Params{};
  const char* dir = std::getenv("VISTRUM_DIR");
  std::snprintf(par.vistrumdir, TEXTLEN, "%s", dir ? dir : ".");
  par.stimtype = type;
  setdefaultlibdirs();
  applytypedefaults(type);
}

// Parses "vistrum -s <type> <opts...>" the way start-up does.
inline void parsecmd(int type, const std::vector<std::string>& opts) {
  freshparams(type);
  std::vector<std::string> w = {"vistrum", "-s", std::to_string(type)};
  w.insert(w.end(), opts.begin(), opts.end());
  Argv a(w);
  parseoptions(3, a.argc(), a.argv());
}

// Same, but swallows the informational lines the readers print.
inline void parsequiet(int type, const std::vector<std::string>& opts) {
  testing::internal::CaptureStdout();
  parsecmd(type, opts);
  std::fflush(stdout);
  (void)testing::internal::GetCapturedStdout();
}

// Messages go to standard output; death tests match standard error.
#define EXPECT_EXITS_WITH(status, stmt, regex) \
  EXPECT_EXIT(                                 \
      {                                        \
        dup2(2, 1);                            \
        stmt;                                  \
      },                                       \
      ::testing::ExitedWithCode(status), regex)
#define EXPECT_FATAL(stmt, regex) EXPECT_EXITS_WITH(1, stmt, regex)
