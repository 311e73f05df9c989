#!/usr/bin/env python3
"""Writes the small test pictures of lib/imagefiles/test: uncompressed RGB
TIFF files (checkerboards, gradients, a disc) that the picture stimuli can
load when no other picture folder is given. Run from the project folder."""
import math
import os
import struct
import sys


def tiff_rgb(path, width, height, pixel):
    """Writes a baseline uncompressed RGB TIFF; pixel(x, y) -> (r, g, b), y from the top."""
    data = bytearray()
    for y in range(height):
        for x in range(width):
            data += bytes(pixel(x, y))
    entries = [
        (256, 3, 1, width), (257, 3, 1, height), (258, 3, 3, None), (259, 3, 1, 1),
        (262, 3, 1, 2), (273, 4, 1, None), (277, 3, 1, 3), (278, 3, 1, height),
        (279, 4, 1, len(data)), (284, 3, 1, 1),
    ]
    ifd_offset = 8
    ifd_size = 2 + 12 * len(entries) + 4
    bps_offset = ifd_offset + ifd_size
    data_offset = bps_offset + 6
    out = bytearray(b"II*\x00" + struct.pack("<I", ifd_offset))
    out += struct.pack("<H", len(entries))
    for tag, typ, count, value in entries:
        if tag == 258:
            value = bps_offset
        if tag == 273:
            value = data_offset
        if typ == 3 and count == 1:
            out += struct.pack("<HHIHH", tag, typ, count, value, 0)
        else:
            out += struct.pack("<HHII", tag, typ, count, value)
    out += struct.pack("<I", 0)
    out += struct.pack("<HHH", 8, 8, 8)
    out += data
    with open(path, "wb") as f:
        f.write(out)


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
