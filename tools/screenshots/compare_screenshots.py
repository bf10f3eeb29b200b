#!/usr/bin/env python3
"""Counts the pixels in which each screenshot differs from its version at a git revision.

    tools/screenshots/compare_screenshots.py <revision> [docs/images/name.png ...]

Every picture in docs/images by default. Prints, per picture, its size, the pixels that differ
(any channel) and the share of the picture they make; a size change is reported as such. Reads
8-bit, non-interlaced PNG (what Qt writes) with the standard library alone.
"""
import pathlib
import struct
import subprocess
import sys
import zlib

CHANNELS = {0: 1, 2: 3, 4: 2, 6: 4}  # grey, RGB, grey and alpha, RGBA


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def decode(data):
    """(width, height, channels, rows of bytes) of a PNG."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    at, idat, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in CHANNELS or interlace:
        raise ValueError(f"unsupported PNG (depth {depth}, colour type {colour}, interlace {interlace})")
    step = CHANNELS[colour]
    stride = width * step
    raw = zlib.decompress(idat)
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            left = line[x - step] if x >= step else 0
            up = previous[x]
            corner = previous[x - step] if x >= step else 0
            line[x] = (line[x] + (0, left, up, (left + up) // 2, paeth(left, up, corner))[kind]) & 0xFF
        rows.append(bytes(line))
        previous = line
    return width, height, step, rows


def differing(old, new):
    (w, h, step, a), (w2, h2, step2, b) = old, new
    if (w, h, step) != (w2, h2, step2):
        return None
    return sum(1 for y in range(h) for x in range(0, w * step, step) if a[y][x:x + step] != b[y][x:x + step])


def main():
    if len(sys.argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    revision = sys.argv[1]
    top = pathlib.Path(__file__).resolve().parents[2]
    pictures = [pathlib.Path(p) for p in sys.argv[2:]] or sorted((top / "docs/images").glob("*.png"))
    for picture in pictures:
        name = picture.resolve().relative_to(top).as_posix()
        old = subprocess.run(["git", "-C", str(top), "show", f"{revision}:{name}"], capture_output=True)
        if old.returncode:
            print(f"{name}: not at {revision}")
            continue
        before, after = decode(old.stdout), decode(picture.read_bytes())
        count = differing(before, after)
        if count is None:
            print(f"{name}: size {before[0]}x{before[1]} at {revision}, {after[0]}x{after[1]} now")
        else:
            total = after[0] * after[1]
            print(f"{name}: {after[0]}x{after[1]}, {count} of {total} pixels differ ({100 * count / total:.2f} %)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
