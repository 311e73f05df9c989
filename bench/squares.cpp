// The floor under the dot fields: a window that draws N equal squares per
// frame the way the dot fields do (one vertex array of point sprites, one
// colour, opaque, on a cleared background) and nothing else, so a dot
// type's frame can be set against what its squares alone cost here.
//
//   squares N SIDE SECONDS [WIDTH HEIGHT]
//
// Prints "N SIDE ms-per-frame frames" (the mean interval of the swaps over
// SECONDS, after a second of warm-up). Run it under the benchmark's X server
// with software GL and no vertical-blank wait, as the program is.
#include "benchwindow.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: squares N SIDE SECONDS [WIDTH HEIGHT]\n");
    return 2;
  }
  const int n = std::atoi(argv[1]);
  const float side = static_cast<float>(std::atof(argv[2]));
  const double seconds = std::atof(argv[3]);
  const int w = argc > 5 ? std::atoi(argv[4]) : 1024, h = argc > 5 ? std::atoi(argv[5]) : 768;
  BenchWindow bw;
  if (!bw.open(w, h)) return 1;

  // Squares spread over the window as a dot field's are; a fixed seed.
  std::mt19937 rng(1);
  std::uniform_real_distribution<float> ux(0.0f, static_cast<float>(w)), uy(0.0f, static_cast<float>(h));
  std::vector<float> xy(2 * static_cast<size_t>(n));
  for (int k = 0; k < n; k++) xy[2 * k] = ux(rng), xy[2 * k + 1] = uy(rng);

  auto frame = [&]() {
    glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (n > 0) {
      glEnableClientState(GL_VERTEX_ARRAY);
      glEnable(GL_POINT_SPRITE);
      glPointSize(side);
      glVertexPointer(2, GL_FLOAT, 0, xy.data());
      glColor3f(1.0f, 1.0f, 1.0f);
      glDrawArrays(GL_POINTS, 0, n);
      glDisable(GL_POINT_SPRITE);
      glDisableClientState(GL_VERTEX_ARRAY);
    }
    glXSwapBuffers(bw.d, bw.win);
  };
  long frames = 0;
  const double ms = bw.time(frame, seconds, &frames);
  std::printf("%d %.2f %.4f %ld\n", n, static_cast<double>(side), ms, frames);
  bw.close();
  return 0;
}
