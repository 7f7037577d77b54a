#!/usr/bin/env python3
"""Writes the small PNG files the PNG codec tests decode. Run it in this
folder; the files are committed, so this is only needed to change them."""
import struct
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, depth, colour, rows, extra=b"", interlace=0):
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace)
    raw = b"".join(rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + extra
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def write(name, data):
    with open(name, "wb") as f:
        f.write(data)


# Palette with transparency: red, green, blue at alpha 255, 128, 0.
palette = chunk(b"PLTE", bytes([255, 0, 0, 0, 255, 0, 0, 0, 255])) + chunk(b"tRNS", bytes([255, 128, 0]))
write("palette_3x2.png", png(3, 2, 8, 3, [b"\x00\x00\x01\x02", b"\x00\x02\x01\x00"], palette))

# 16-bit grey: 0x0000 0xFFFF / 0x8080 0x4040.
write("grey16_2x2.png", png(2, 2, 16, 0, [b"\x00\x00\x00\xff\xff", b"\x00\x80\x80\x40\x40"]))

# 8-bit RGB with the Sub filter on row 0 and the Up filter on row 1:
# (10,20,30) (15,25,35) / (20,40,60) (25,50,70).
write("rgb_filters_2x2.png", png(2, 2, 8, 2, [bytes([1, 10, 20, 30, 5, 5, 5]),
                                              bytes([2, 10, 20, 30, 10, 25, 35])]))

# Headers that claim sizes no one should allocate, and an empty image.
write("huge_100000x100000.png", png(100000, 100000, 8, 2, [b"\x00\x00\x00\x00"]))
write("wide_8193x1.png", png(8193, 1, 8, 0, [b"\x00" + b"\x00" * 8193]))
write("zero_width.png", png(0, 1, 8, 0, [b"\x00"]))
