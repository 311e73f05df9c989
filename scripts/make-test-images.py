#!/usr/bin/env python3
"""Writes the small test pictures of lib/imagefiles/test: uncompressed RGB
TIFF files (checkerboards, gradients, a disc) that the picture stimuli can
load when no other picture folder is given. Run from the project folder."""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tiffwrite import write_tiff as tiff_rgb  # noqa: E402


def main():
    outdir = sys.argv[1] if len(sys.argv) > 1 else "lib/imagefiles/test"
    os.makedirs(outdir, exist_ok=True)
    n = 128
    tiff_rgb(os.path.join(outdir, "checks.tif"), n, n,
             lambda x, y: (255, 255, 255) if (x // 16 + y // 16) % 2 == 0 else (0, 0, 0))
    tiff_rgb(os.path.join(outdir, "gradient.tif"), n, n,
             lambda x, y: (2 * x, 2 * y, 255 - 2 * x))
    def disc(x, y):
        r = math.hypot(x - n / 2 + 0.5, y - n / 2 + 0.5)
        return (230, 60, 40) if r < n * 0.4 else (128, 128, 128)
    tiff_rgb(os.path.join(outdir, "disc.tif"), n, n, disc)
    tiff_rgb(os.path.join(outdir, "targ0stripes.tif"), n, n,
             lambda x, y: (255, 230, 0) if (x // 8) % 2 == 0 else (20, 20, 120))


if __name__ == "__main__":
    main()
