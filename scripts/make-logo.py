#!/usr/bin/env python3
"""Draws the Skarn Config logo: modules/img/logo.svg and modules/img/logo.ico.

The icon is a stylised mouse on a dark tile. The SVG and the raster sizes of
the ICO are drawn from the same shape list, so they always match.
"""
import math
import os
import struct
import sys
import zlib

# (kind, cx, cy, w, h, r, colour) in unit coordinates; painted in order.
SHAPES = [
    ("rect", 0.50, 0.50, 1.00, 1.00, 0.20, (0x1A, 0x1A, 0x1A)),
    ("rect", 0.50, 0.53, 0.46, 0.70, 0.23, (0xCF, 0x3E, 0x00)),
    ("rect", 0.50, 0.32, 0.03, 0.28, 0.00, (0x1A, 0x1A, 0x1A)),
    ("rect", 0.50, 0.46, 0.46, 0.03, 0.00, (0x1A, 0x1A, 0x1A)),
    ("rect", 0.50, 0.33, 0.07, 0.13, 0.035, (0xFF, 0xFF, 0xFF)),
]


def inside(shape, x, y):
    _, cx, cy, w, h, r, _ = shape
    dx = max(abs(x - cx) - (w / 2 - r), 0.0)
    dy = max(abs(y - cy) - (h / 2 - r), 0.0)
    if abs(x - cx) > w / 2 or abs(y - cy) > h / 2:
        return False
    return dx * dx + dy * dy <= r * r if r > 0 else True


def render(size, samples=4):
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) / size
                    y = (py + (sy + 0.5) / samples) / size
                    colour = None
                    for shape in SHAPES:
                        if inside(shape, x, y):
                            colour = shape[6]
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 255
            n = samples * samples
            alpha = acc[3] / n
            if alpha > 0:
                # Colours are averaged over covered samples only (straight alpha).
                cover = acc[3] / 255
                row += bytes(int(round(acc[i] / cover)) for i in range(3))
            else:
                row += b"\0\0\0"
            row.append(int(round(alpha)))
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + r for r in rows)
    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def dib(size, rows):
    # A classic icon entry: a 32-bit BGRA bitmap stored bottom-up with its
    # 1-bit AND mask (all clear: the alpha channel decides). Qt's icon
    # plugin decodes these itself; for a PNG entry it asks Qt's image
    # reader, which loads every image format plugin on the system to find
    # the one that reads PNG, and keeps them loaded.
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(
        bytes(b for i in range(0, len(row), 4) for b in (row[i + 2], row[i + 1], row[i], row[i + 3]))
        for row in reversed(rows))
    mask_stride = ((size + 31) // 32) * 4
    return header + pixels + b"\0" * (mask_stride * size)


def ico(images):
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    data = b""
    for size, blob in images:
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset + len(data))
        data += blob
    return header + entries + data


def svg():
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 256 256" width="256" height="256">']
    for _, cx, cy, w, h, r, (cr, cg, cb) in SHAPES:
        parts.append(
            '  <rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="#%02x%02x%02x"/>'
            % ((cx - w / 2) * 256, (cy - h / 2) * 256, w * 256, h * 256, r * 256, cr, cg, cb))
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "modules", "img")
    # Bitmaps at the sizes a tray or a title bar shows, PNG above them.
    images = [(s, dib(s, render(s)) if s <= 64 else png(s, render(s))) for s in (16, 24, 32, 48, 64, 128, 256)]
    with open(os.path.join(out, "logo.ico"), "wb") as f:
        f.write(ico(images))
    with open(os.path.join(out, "logo.svg"), "w") as f:
        f.write(svg())


if __name__ == "__main__":
    main()
