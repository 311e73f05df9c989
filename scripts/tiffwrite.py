"""Baseline uncompressed TIFF writer shared by the scripts that make the
library pictures (standard library only)."""
import struct


def write_tiff(path, width, height, pixel, alpha=False):
    """Writes an RGB (or RGBA) TIFF, top row first; pixel(x, y) -> tuple of 3 (or 4) bytes."""
    spp = 4 if alpha else 3
    data = bytearray()
    for y in range(height):
        for x in range(width):
            data += bytes(pixel(x, y))
    entries = [
        (256, 3, 1, width),        # image width
        (257, 3, 1, height),       # image length
        (258, 3, spp, None),       # bits per sample -> offset
        (259, 3, 1, 1),            # no compression
        (262, 3, 1, 2),            # RGB
        (273, 4, 1, None),         # strip offset
        (274, 3, 1, 1),            # orientation: top-left
        (277, 3, 1, spp),          # samples per pixel
        (278, 3, 1, height),       # one strip
        (279, 4, 1, len(data)),    # strip byte count
        (284, 3, 1, 1),            # contiguous
    ]
    if alpha:
        entries.append((338, 3, 1, 2))  # unassociated alpha
    ifd_offset = 8
    bps_offset = ifd_offset + 2 + 12 * len(entries) + 4
    data_offset = bps_offset + 2 * spp
    out = bytearray(b"II*\x00" + struct.pack("<I", ifd_offset))
    out += struct.pack("<H", len(entries))
    for tag, typ, count, value in entries:
        if tag == 258:
            value = bps_offset
        elif tag == 273:
            value = data_offset
        if typ == 3 and count == 1:
            out += struct.pack("<HHIHH", tag, typ, count, value, 0)
        else:
            out += struct.pack("<HHII", tag, typ, count, value)
    out += struct.pack("<I", 0)
    out += struct.pack("<" + "H" * spp, *([8] * spp))
    out += data
    with open(path, "wb") as f:
        f.write(out)
