#!/usr/bin/env python3
"""Draws the four tray pictures and packs each into an .ico with icotool (icoutils).

The pictures differ by shape as well as by colour, so that they are told apart without telling
red from green: a small grey dot at the start, a hollow red ring for off, a disc half filled for
partly switched (its left half the red ring, its right half filled green) and a filled green
disc for on. Each shape has a darker rim: the fill reads on dark taskbars, the rim on light
ones. The 16 x 16 frame has hard edges and few colours so that it stays a 256-colour image;
the 20, 24 and 32 pixel frames are 32-bit with smooth edges for scaled displays.

Usage: make_icons.py [--preview PNG] [OUTPUT_DIR]   (default: the folder of this script)
--preview also writes the four 16 x 16 frames side by side, on a light and a dark background,
three times enlarged (the README's picture: docs/tray-icons.png).
The output depends only on this script and icotool, so a rerun gives the same bytes.
"""
import argparse
import os
import struct
import subprocess
import tempfile
import zlib

# The colours the tray tests look for in screenshots: keep them in step with
# tests/tray/tray_colours.h. The tests also look where each 16 x 16 shape is filled or hollow
# (kLooks in tests/tray/display_test.cpp).
GREY = ((0x9A, 0x9A, 0x9A), (0x40, 0x40, 0x40))
RED = ((0xE0, 0x28, 0x28), (0x78, 0x0C, 0x0C))
GREEN = ((0x28, 0xB4, 0x3C), (0x0C, 0x58, 0x18))

# name: (shape of the left half, shape of the right half), each (shape, colours)
PICTURES = {
    "grey": (("dot", GREY), ("dot", GREY)),
    "red": (("ring", RED), ("ring", RED)),
    "green_red": (("ring", RED), ("disc", GREEN)),
    "green": (("disc", GREEN), ("disc", GREEN)),
}

SIZES = (16, 20, 24, 32)
SAMPLES = 4  # per axis, for the smooth frames
PREVIEW_BACKGROUNDS = ((0xF0, 0xF0, 0xF0), (0x20, 0x20, 0x20))
PREVIEW_SCALE = 3


def sample(size, x, y, left, right):
    """Colour at a point of the picture, or None outside its shape."""
    centre = size / 2
    radius = size / 2 - 0.5
    rim = max(1.0, size / 16)
    # The ring's hole is wide enough that the 16 x 16 frame shows it 7 pixels across; the dot
    # is about half as wide as the disc, so that it is not taken for the disc.
    hole = size * 7 / 32
    dot = size / 4
    dist = ((x - centre) ** 2 + (y - centre) ** 2) ** 0.5
    shape, (fill, edge) = left if x < centre else right
    if shape == "dot":
        radius = dot
    if dist > radius or (shape == "ring" and dist < hole):
        return None
    if dist > radius - rim or (shape == "ring" and dist < hole + rim):
        return edge
    # The straight side of a half disc gets a rim too, so that it reads as a half on any taskbar.
    if shape == "disc" and left[0] != right[0] and abs(x - centre) < rim:
        return edge
    return fill


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


def png(path, width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + row for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def preview(path):
    """The 16 x 16 frames in a row on each background, enlarged without smoothing."""
    frames = [draw(16, *PICTURES[name]) for name in PICTURES]
    cell = 16 + 8
    width = cell * len(frames) * PREVIEW_SCALE
    rows = []
    for background in PREVIEW_BACKGROUNDS:
        for y in range(cell):
            row = bytearray()
            for frame in frames:
                for x in range(cell):
                    fx, fy = x - 4, y - 4
                    pixel = frame[fy][4 * fx:4 * fx + 4] if 0 <= fx < 16 and 0 <= fy < 16 else None
                    rgb = bytes(pixel[:3]) if pixel and pixel[3] else bytes(background)
                    row += (rgb + b"\xff") * PREVIEW_SCALE
            rows += [bytes(row)] * PREVIEW_SCALE
    png(path, width, len(rows), rows)


def main():
    parser = argparse.ArgumentParser(description="Draws the tray pictures.")
    parser.add_argument("--preview", help="also write the 16 x 16 frames side by side here")
    parser.add_argument("output", nargs="?", default=os.path.dirname(os.path.abspath(__file__)))
    args = parser.parse_args()
    out = os.path.abspath(args.output)
    with tempfile.TemporaryDirectory() as tmp:
        for name, (left, right) in PICTURES.items():
            command = ["icotool", "-c", "-o", os.path.join(out, name + ".ico")]
            for size in SIZES:
                frame = os.path.join(tmp, f"{name}_{size}.png")
                png(frame, size, size, draw(size, left, right))
                command += ["-b", "8" if size == 16 else "32", frame]
            subprocess.run(command, check=True)
    if args.preview:
        preview(args.preview)


if __name__ == "__main__":
    main()
