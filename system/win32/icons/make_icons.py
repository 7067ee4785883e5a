#!/usr/bin/env python3
"""Draws the four tray pictures and packs each into an .ico with icotool (icoutils).

Each icon is a flat disc with a darker rim: the fill reads on dark taskbars, the rim on light
ones. The 16 x 16 frame has hard edges and few colours so that it stays a 256-colour image;
the 20, 24 and 32 pixel frames are 32-bit with smooth edges for scaled displays.

Usage: make_icons.py [OUTPUT_DIR]   (default: the folder of this script)
The output depends only on this script and icotool, so a rerun gives the same bytes.
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

# The colours the tray tests look for in screenshots: keep them in step with
# tests/tray/tray_colours.h.
GREY = ((0x9A, 0x9A, 0x9A), (0x40, 0x40, 0x40))
RED = ((0xE0, 0x28, 0x28), (0x78, 0x0C, 0x0C))
GREEN = ((0x28, 0xB4, 0x3C), (0x0C, 0x58, 0x18))

# name: (colours of the left half, colours of the right half)
PICTURES = {
    "grey": (GREY, GREY),
    "red": (RED, RED),
    "green_red": (RED, GREEN),
    "green": (GREEN, GREEN),
}

SIZES = (16, 20, 24, 32)
SAMPLES = 4  # per axis, for the smooth frames


def sample(size, x, y, left, right):
    """Colour at a point of the picture, or None outside the disc."""
    centre = size / 2
    radius = size / 2 - 0.5
    rim = max(1.0, size / 16)
    dist = ((x - centre) ** 2 + (y - centre) ** 2) ** 0.5
    if dist > radius:
        return None
    fill, edge = left if x < centre else right
    return edge if dist > radius - rim else fill


def draw(size, left, right):
    """RGBA rows of one frame."""
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            if size == 16:
                points = [(px + 0.5, py + 0.5)]
            else:
                step = 1 / SAMPLES
                points = [(px + (i + 0.5) * step, py + (j + 0.5) * step)
                          for j in range(SAMPLES) for i in range(SAMPLES)]
            hits = [c for c in (sample(size, x, y, left, right) for x, y in points) if c]
            if not hits:
                row += bytes(4)
                continue
            rgb = [round(sum(c[k] for c in hits) / len(hits)) for k in range(3)]
            row += bytes(rgb + [round(255 * len(hits) / len(points))])
        rows.append(bytes(row))
    return rows


def png(path, size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + row for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(__file__))
    with tempfile.TemporaryDirectory() as tmp:
        for name, (left, right) in PICTURES.items():
            args = ["icotool", "-c", "-o", os.path.join(out, name + ".ico")]
            for size in SIZES:
                frame = os.path.join(tmp, f"{name}_{size}.png")
                png(frame, size, draw(size, left, right))
                args += ["-b", "8" if size == 16 else "32", frame]
            subprocess.run(args, check=True)


if __name__ == "__main__":
    main()
