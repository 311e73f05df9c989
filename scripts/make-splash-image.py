#!/usr/bin/env python3
"""Draws the final-screen picture (a gold star in a ring on deep blue) and
writes it as an uncompressed RGBA TIFF: lib/imagefiles/splash/star.tif.
Needs only the Python standard library."""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tiffwrite import write_tiff  # noqa: E402

W, H = 320, 320


def inside_star(x, y, cx, cy, r_out, r_in, points=5):
    # Polygon test against the star outline (even-odd rule).
    verts = []
    for k in range(2 * points):
        r = r_out if k % 2 == 0 else r_in
        a = math.pi / 2 + k * math.pi / points
        verts.append((cx + r * math.cos(a), cy - r * math.sin(a)))
    inside = False
    j = len(verts) - 1
    for i in range(len(verts)):
        xi, yi = verts[i]
        xj, yj = verts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def pixel(x, y):
    cx, cy = W / 2, H / 2
    d = math.hypot(x - cx, y - cy)
    if inside_star(x, y, cx, cy, 120, 48):
        shade = 1.0 - 0.35 * d / 120
        return (int(255 * shade), int(200 * shade), 40, 255)
    if 135 <= d <= 150:
        return (230, 230, 240, 255)
    g = int(40 + 50 * y / H)
    return (10, 20, g + 40, 255)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "lib/imagefiles/splash/star.tif")
    write_tiff(path, W, H, lambda x, y: pixel(x + 0.5, y + 0.5), alpha=True)
    print(path)


if __name__ == "__main__":
    main()
