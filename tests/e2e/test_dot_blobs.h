// Dots found in saved frames: connected pixels that `on` selects, as
// centroids in display units, and the matching of dots between frames.
#pragma once

#include "test_wedge_frames.h"

#include <cmath>
#include <functional>
#include <vector>

namespace blobs {

struct Pt {
  double x, y;
};

inline Pt units(double px, double py, const Image& img) {
  const double s = 3.12 / img.width;
  return {(px + 0.5) * s - 1.56, img.height * s / 2.0 - (py + 0.5) * s};
}

// Centroids in pixels of the 4-connected groups of selected pixels with a
// size in [minpx, maxpx] (a lone dot, not two touching).
inline std::vector<Pt> findpx(const Image& img, const std::function<bool(int, int)>& on, int minpx, int maxpx) {
  const int w = img.width, h = img.height;
  std::vector<char> seen(static_cast<size_t>(w) * h, 0);
  std::vector<Pt> out;
  std::vector<std::pair<int, int>> stack;
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) {
      if (seen[static_cast<size_t>(y) * w + x] || !on(x, y)) continue;
      double sx = 0, sy = 0;
      int n = 0;
      stack.assign(1, {x, y});
      seen[static_cast<size_t>(y) * w + x] = 1;
      while (!stack.empty()) {
        const auto [px, py] = stack.back();
        stack.pop_back();
        sx += px, sy += py, n++;
        for (auto [qx, qy] : {std::pair{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}}) {
          if (qx < 0 || qy < 0 || qx >= w || qy >= h) continue;
          char& s = seen[static_cast<size_t>(qy) * w + qx];
          if (s || !on(qx, qy)) continue;
          s = 1;
          stack.push_back({qx, qy});
        }
      }
      if (n >= minpx && n <= maxpx) out.push_back({sx / n, sy / n});
    }
  return out;
}

// The same in display units.
inline std::vector<Pt> find(const Image& img, const std::function<bool(int, int)>& on, int minpx, int maxpx) {
  std::vector<Pt> out = findpx(img, on, minpx, maxpx);
  for (Pt& p : out) p = units(p.x, p.y, img);
  return out;
}

// Pixels that differ from the grey g.
inline std::function<bool(int, int)> notgrey(const Image& img, int g) {
  return [&img, g](int x, int y) { return !chk::isgrey({img.r(x, y), img.g(x, y), img.b(x, y)}, g, 3); };
}
inline std::function<bool(int, int)> white(const Image& img) {
  return [&img](int x, int y) { return img.r(x, y) > 128 && img.g(x, y) > 128 && img.b(x, y) > 128; };
}
inline std::function<bool(int, int)> red(const Image& img) {
  return [&img](int x, int y) { return img.r(x, y) > 200 && img.g(x, y) < 60 && img.b(x, y) < 60; };
}

// The nearest of `pts` to p (distance in units through `d`).
inline Pt nearest(const std::vector<Pt>& pts, Pt p, double* d) {
  Pt best{1e9, 1e9};
  *d = 1e9;
  for (const Pt& q : pts) {
    const double e = std::hypot(q.x - p.x, q.y - p.y);
    if (e < *d) *d = e, best = q;
  }
  return best;
}

// Fraction of the dots of A that reappear in B moved by `move` (within tol
// units), counting only dots whose moved place stays inside `inside`.
inline double matched(const std::vector<Pt>& a, const std::vector<Pt>& b, const std::function<Pt(Pt)>& move,
                      double tol, const std::function<bool(Pt)>& inside, int* counted = nullptr) {
  int n = 0, hit = 0;
  for (const Pt& p : a) {
    const Pt q = move(p);
    if (!inside(q)) continue;
    double d;
    nearest(b, q, &d);
    n++;
    hit += d < tol;
  }
  if (counted) *counted = n;
  return n ? static_cast<double>(hit) / n : 0.0;
}

inline Pt centroid(const std::vector<Pt>& pts) {
  Pt c{0, 0};
  for (const Pt& p : pts) c.x += p.x / pts.size(), c.y += p.y / pts.size();
  return c;
}

}  // namespace blobs
