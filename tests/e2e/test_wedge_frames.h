// Saved-frame helpers shared by the checkerboard end-to-end tests.
#pragma once

#include "harness.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace chk {

// Runs with frame saving (frame k drawn at t0 + k/hz), pressing F1 on the
// wait screen, and reads every frame back.
inline std::vector<Image> savedframes(const XServer& x, std::vector<std::string> args, int n, double hz,
                                      double t0) {
  char tbuf[32];
  std::snprintf(tbuf, sizeof tbuf, "%.9g", t0);
  args.insert(args.end(), {"-firstframetime", tbuf});
  return saverun(x, args, n, hz, 90.0).frames;
}

struct Px {
  int r, g, b;
};
// The pixel at polar position (rad, angle in degrees) around the centre.
inline Px polarpx(const Image& img, double rad, double deg) {
  const double a = deg * M_PI / 180.0;
  const int px = unitpixx(rad * std::cos(a), img.width), py = unitpixy(rad * std::sin(a), img.width, img.height);
  return {img.r(px, py), img.g(px, py), img.b(px, py)};
}
inline bool isgrey(Px p, int grey, int tol = 2) {
  return std::abs(p.r - grey) <= tol && std::abs(p.g - grey) <= tol && std::abs(p.b - grey) <= tol;
}
// A check of a black/white board: black or white.
inline bool ischeck(Px p) { return isgrey(p, 0) || isgrey(p, 255); }
inline std::string str(Px p) {
  return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

// Runs in real time for `seconds` from its own start (no start key: the
// default start pulse 0 starts at once) with the event log on; returns the log.
inline std::string loggedrun(const XServer& x, std::vector<std::string> args, double seconds) {
  const std::string cwd = maketempdir("chklog");
  mkdir((cwd + "/logs").c_str(), 0755);
  char sbuf[32];
  std::snprintf(sbuf, sizeof sbuf, "%.9g", seconds);
  args.insert(args.end(), {"-nofullscreen", "-logfile", "-exptend", sbuf});
  Vistrum v(x, args, cwd);
  const RunResult r = v.wait(60);
  EXPECT_EQ(r.status, 0) << r.out;
  const std::string f = findfile(cwd + "/logs", ".log");
  EXPECT_FALSE(f.empty()) << r.out;
  return f.empty() ? "" : readfile(f);
}

}  // namespace chk
