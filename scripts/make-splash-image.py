#!/usr/bin/env python3
"""Draws the final-screen picture (a gold star in a ring on deep blue) and
writes it as an uncompressed RGBA TIFF: lib/imagefiles/splash/star.tif.
Needs only the Python standard library."""
import math
import os
import struct
import sys

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


def write_tiff(path, w, h, rgba):
    data = bytes(rgba)
    entries = [
        (256, 3, 1, w),              # ImageWidth
        (257, 3, 1, h),              # ImageLength
        (258, 3, 4, None),           # BitsPerSample -> offset
        (259, 3, 1, 1),              # Compression: none
        (262, 3, 1, 2),              # Photometric: RGB
        (273, 4, 1, None),           # StripOffsets
        (274, 3, 1, 1),              # Orientation: top-left
        (277, 3, 1, 4),              # SamplesPerPixel
        (278, 3, 1, h),              # RowsPerStrip
        (279, 4, 1, len(data)),      # StripByteCounts
        (284, 3, 1, 1),              # PlanarConfig: contiguous
        (338, 3, 1, 2),              # ExtraSamples: unassociated alpha
    ]
    ifd_offset = 8
    ifd_size = 2 + 12 * len(entries) + 4
    bps_offset = ifd_offset + ifd_size
    data_offset = bps_offset + 8
    out = bytearray(b"II*\x00" + struct.pack("<I", ifd_offset))
    out += struct.pack("<H", len(entries))
    for tag, typ, count, value in entries:
        if tag == 258:
            value = bps_offset
            out += struct.pack("<HHII", tag, typ, count, value)
        elif tag == 273:
            out += struct.pack("<HHII", tag, typ, count, data_offset)
        elif typ == 3:
            out += struct.pack("<HHIHH", tag, typ, count, value, 0)
        else:
            out += struct.pack("<HHII", tag, typ, count, value)
    out += struct.pack("<I", 0)
    out += struct.pack("<HHHH", 8, 8, 8, 8)
    out += data
    with open(path, "wb") as f:
        f.write(out)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "lib/imagefiles/splash/star.tif")
    rgba = []
    for y in range(H):
        for x in range(W):
            rgba.extend(pixel(x + 0.5, y + 0.5))
    write_tiff(path, W, H, rgba)
    print(path)


if __name__ == "__main__":
    main()
