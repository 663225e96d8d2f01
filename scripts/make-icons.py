#!/usr/bin/env python3
"""Draws Tallyon's icons and writes them as .ico files (32-bit BGRA images
with an AND mask), so the pictures are ours and reproducible:

  tallyon.ico  (103) the main window: a calculator face with a result bar
  valid.ico    (171) a green check mark: a parameter that evaluates
  error.ico    (172) a red cross: a parameter whose evaluation fails

Usage: scripts/make-icons.py OUTPUT_DIR
"""
import math
import os
import struct
import sys


def blank(n):
    return [[(0, 0, 0, 0) for _ in range(n)] for _ in range(n)]


def fill_rect(img, x0, y0, x1, y1, rgba):
    n = len(img)
    for y in range(max(0, int(y0)), min(n, int(math.ceil(y1)))):
        for x in range(max(0, int(x0)), min(n, int(math.ceil(x1)))):
            img[y][x] = rgba


def stroke(img, pts, width, rgba):
    """A thick polyline, drawn by testing each pixel centre's distance."""
    n = len(img)
    for y in range(n):
        for x in range(n):
            px, py = x + 0.5, y + 0.5
            for (ax, ay), (bx, by) in zip(pts, pts[1:]):
                dx, dy = bx - ax, by - ay
                t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
                if math.hypot(px - (ax + t * dx), py - (ay + t * dy)) <= width / 2:
                    img[y][x] = rgba
                    break


def calculator(n):
    s = n / 32.0
    img = blank(n)
    body, edge = (46, 84, 140, 255), (22, 44, 80, 255)
    fill_rect(img, 3 * s, 1 * s, 29 * s, 31 * s, edge)
    fill_rect(img, 4 * s, 2 * s, 28 * s, 30 * s, body)
    fill_rect(img, 6 * s, 4 * s, 26 * s, 11 * s, (214, 236, 206, 255))   # display
    fill_rect(img, 17 * s, 6 * s, 24 * s, 9 * s, (30, 60, 30, 255))      # digits
    keys = [(220, 220, 220, 255)] * 3 + [(240, 160, 40, 255)]
    for row in range(3):
        for col in range(4):
            x = 6 * s + col * 5.25 * s
            y = 14 * s + row * 5.25 * s
            fill_rect(img, x, y, x + 4 * s, y + 4 * s, keys[col])
    return img


def check(n):
    img = blank(n)
    stroke(img, [(0.15 * n, 0.55 * n), (0.4 * n, 0.8 * n), (0.85 * n, 0.2 * n)], 0.22 * n, (20, 150, 40, 255))
    return img


def cross(n):
    img = blank(n)
    red = (200, 30, 30, 255)
    stroke(img, [(0.2 * n, 0.2 * n), (0.8 * n, 0.8 * n)], 0.22 * n, red)
    stroke(img, [(0.8 * n, 0.2 * n), (0.2 * n, 0.8 * n)], 0.22 * n, red)
    return img


def ico(images):
    """The .ico container: a directory, then one DIB per image."""
    blobs = []
    for img in images:
        n = len(img)
        header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
        pixels = b"".join(struct.pack("BBBB", b, g, r, a) for row in reversed(img) for (r, g, b, a) in row)
        stride = ((n + 31) // 32) * 4
        mask = b""
        for row in reversed(img):
            out = bytearray(stride)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    out[x // 8] |= 0x80 >> (x % 8)
            mask += bytes(out)
        blobs.append((n, header + pixels + mask))
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for n, blob in blobs:
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blob for _, blob in blobs)


def main():
    outdir = sys.argv[1]
    os.makedirs(outdir, exist_ok=True)
    files = {
        "tallyon.ico": [calculator(16), calculator(32), calculator(48)],
        "valid.ico": [check(12), check(16)],
        "error.ico": [cross(12), cross(16)],
    }
    for name, images in files.items():
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(ico(images))


if __name__ == "__main__":
    main()
