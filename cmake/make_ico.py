#!/usr/bin/env python3
"""Packs PNG pictures into a Windows icon file (.ico), for the program's icon group.

    make_ico.py OUTPUT.ico PICTURE.png...

Pictures smaller than 256 pixels are stored as 32-bit bitmaps with an AND mask, the form every
part of Windows reads; a 256-pixel picture is stored as the PNG itself, as Windows expects for
that size. Only 8-bit RGBA, non-interlaced PNGs are taken (what src/ui/res/icons holds). The
output depends on the pictures alone, so the same pictures always give the same file.
"""
import struct
import sys
import zlib


def read_png(path):
    with open(path, "rb") as handle:
        data = handle.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(f"{path}: not a PNG file")
    at, width, height, compressed = 8, 0, 0, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour != 6 or interlace != 0:
                raise SystemExit(f"{path}: only 8-bit RGBA non-interlaced PNGs are supported")
        elif kind == b"IDAT":
            compressed += body
        at += 12 + length
    return data, width, height, unfilter(zlib.decompress(compressed), width, height)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def unfilter(raw, width, height):
    """The RGBA rows, top first, with the PNG's per-row filters undone."""
    stride, rows, previous = width * 4, [], bytearray(width * 4)
    for y in range(height):
        start = y * (stride + 1)
        kind, row = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for x in range(stride):
            left = row[x - 4] if x >= 4 else 0
            up = previous[x]
            corner = previous[x - 4] if x >= 4 else 0
            row[x] = (row[x] + (0, left, up, (left + up) // 2, paeth(left, up, corner))[kind]) & 0xFF
        rows.append(bytes(row))
        previous = row
    return rows


def bitmap(width, height, rows):
    """A 32-bit DIB as icons hold it: double height, rows bottom first, BGRA, then the mask."""
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(
        bytes(b for x in range(width) for b in (row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]))
        for row in reversed(rows))
    mask_stride = ((width + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x in range(width):
            if row[4 * x + 3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + pixels + bytes(mask)


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    output, pictures = sys.argv[1], sorted((read_png(p) for p in sys.argv[2:]), key=lambda p: p[1])
    images = [(w, h, png if w >= 256 else bitmap(w, h, rows)) for png, w, h, rows in pictures]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, image in images:
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(output, "wb") as handle:
        handle.write(directory + b"".join(image for _, _, image in images))


if __name__ == "__main__":
    main()
