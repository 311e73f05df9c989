// The floor under the boards and the patch clouds: a window that fills a
// given number of pixels with a given number of primitives per frame, in one
// vertex array of one colour, opaque, on a cleared background, and nothing
// else, so a type's frame can be set against the renderer's cost of the
// same fill with as many polygons (or lines).
//
//   fill board|patches|lines N PIXELS SECONDS [LINEWIDTH]
//
// board: N quads in a grid tiling a centred rectangle of PIXELS (stacked
// layers when PIXELS exceeds the window, as overlapping boards do);
// patches: N squares of PIXELS/N each, turned and scattered over the window;
// lines: N segments of width LINEWIDTH filling PIXELS between them,
// turned and scattered. Prints "mode N PIXELS ms-per-frame frames
// primitives pixels", the last two as GL counted one frame.
#include "benchwindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace {

// A grid of about n quads over `layers` copies of a centred rectangle of
// the window's shape holding pixels/layers each. Its inner corners are
// moved by up to a fifth of a cell (shared, so the quads still tile it):
// a board's checks are not axis-aligned rectangles, which the software
// rasteriser fills by a faster path.
std::vector<float> board(int n, double pixels, int w, int h) {
  std::vector<float> v;
  if (n <= 0 || pixels <= 0.0) return v;
  const int layers = std::max(1, static_cast<int>(std::ceil(pixels / (static_cast<double>(w) * h))));
  const double s = std::sqrt(pixels / layers / (static_cast<double>(w) * h));
  const double rw = s * w, rh = s * h, x0 = (w - rw) / 2.0, y0 = (h - rh) / 2.0;
  const int per = std::max(1, n / layers);
  const int cols = std::max(1, static_cast<int>(std::lround(std::sqrt(per * rw / rh))));
  const int rows = std::max(1, per / cols);
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> jit(-0.2, 0.2);
  std::vector<float> cx((cols + 1) * (rows + 1)), cy(cx.size());
  for (int i = 0; i <= cols; i++)
    for (int j = 0; j <= rows; j++) {
      const bool inner = i > 0 && i < cols && j > 0 && j < rows;
      cx[i * (rows + 1) + j] = static_cast<float>(x0 + rw * (i + (inner ? jit(rng) : 0.0)) / cols);
      cy[i * (rows + 1) + j] = static_cast<float>(y0 + rh * (j + (inner ? jit(rng) : 0.0)) / rows);
    }
  const auto corner = [&](int i, int j) {
    v.push_back(cx[i * (rows + 1) + j]);
    v.push_back(cy[i * (rows + 1) + j]);
  };
  for (int l = 0; l < layers; l++)
    for (int i = 0; i < cols; i++)
      for (int j = 0; j < rows; j++) corner(i, j), corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1);
  return v;
}

// n turned squares of side `side` (quads) or n segments of length `side`
// (lines), at random over the window; a fixed seed.
std::vector<float> scattered(int n, double side, bool lines, int w, int h) {
  std::mt19937 rng(1);
  std::uniform_real_distribution<double> ux(0.0, w), uy(0.0, h), ua(0.0, 2.0 * M_PI);
  std::vector<float> v;
  for (int k = 0; k < n; k++) {
    const double x = ux(rng), y = uy(rng), a = ua(rng), c = std::cos(a) * side, s = std::sin(a) * side;
    if (lines) {
      v.insert(v.end(), {static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + c),
                         static_cast<float>(y + s)});
    } else {
      v.insert(v.end(), {static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + c),
                         static_cast<float>(y + s), static_cast<float>(x + c - s), static_cast<float>(y + s + c),
                         static_cast<float>(x - s), static_cast<float>(y + c)});
    }
  }
  return v;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: fill board|patches|lines N PIXELS SECONDS [LINEWIDTH]\n");
    return 2;
  }
  const char* mode = argv[1];
  const int n = std::atoi(argv[2]);
  const double pixels = std::atof(argv[3]), seconds = std::atof(argv[4]);
  const float linewidth = argc > 5 ? static_cast<float>(std::atof(argv[5])) : 1.0f;
  const bool lines = std::strcmp(mode, "lines") == 0;
  BenchWindow bw;
  if (!bw.open(1024, 768)) return 1;
  std::vector<float> v;
  if (std::strcmp(mode, "board") == 0)
    v = board(n, pixels, bw.w, bw.h);
  else if (n > 0)
    v = scattered(n, lines ? pixels / n / linewidth : std::sqrt(pixels / n), lines, bw.w, bw.h);
  const GLsizei vertices = static_cast<GLsizei>(v.size() / 2);

  auto draw = [&]() {
    if (vertices == 0) return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, v.data());
    glColor3f(1.0f, 1.0f, 1.0f);
    glLineWidth(linewidth);
    glDrawArrays(lines ? GL_LINES : GL_QUADS, 0, vertices);
    glDisableClientState(GL_VERTEX_ARRAY);
  };
  auto frame = [&]() {
    glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    draw();
    glXSwapBuffers(bw.d, bw.win);
  };
  unsigned prims = 0, filled = 0;
  bw.count(draw, &prims, &filled);
  long frames = 0;
  const double ms = bw.time(frame, seconds, &frames);
  std::printf("%s %d %.0f %.4f %ld %u %u\n", mode, n, pixels, ms, frames, prims, filled);
  bw.close();
  return 0;
}
