// A saved-frames run that presses F1 until the first frame appears: a press
// that lands before the program listens for keys (a loaded machine) is lost,
// and one press too many only restarts at t = 0 before any frame is saved.
#pragma once

#include "harness.h"

#include <sys/stat.h>

#include <string>
#include <vector>

struct FramesRun {
  RunResult result;
  std::string dir;  // working folder: frames f00000.tiff ..., logs/
  std::string log;  // the event log's text, "" when none
};

inline FramesRun framesrun(const XServer& x, std::vector<std::string> args, int n, double hz,
                           const std::vector<std::string>& env = {}, const std::string& binary = "") {
  FramesRun run;
  run.dir = maketempdir("frames");
  mkdir((run.dir + "/logs").c_str(), 0755);
  args.insert(args.end(), {"-nofullscreen", "-saveframes", std::to_string(n), std::to_string(hz), "-tiffoutdir",
                           run.dir});
  Vistrum v(x, args, run.dir, env, binary);
  if (v.waitforwindow()) {
    for (int k = 0; k < 10 && v.running(); k++) {
      v.key("F1");
      if (waituntil([&] { return !findfile(run.dir, "f00000.tiff").empty(); }, 5.0)) break;
    }
  }
  run.result = v.wait(180);
  const std::string f = findfile(run.dir + "/logs", ".log");
  if (!f.empty()) run.log = readfile(f);
  return run;
}
