#!/usr/bin/env python3
"""Prints the picture data blocks used in the sample form texts of this folder, in the
authoring tool's layout (32 bytes a line, upper-case hexadecimal). The images are made
here byte by byte; the JPEG is ../images/picture64x40.jpg.

  bitmap24   a 4 x 2 24-bit BMP: bottom row red, green, blue, white; top row black,
             yellow, cyan, magenta
  glyph4     an 8 x 4 4-bit BMP (two 4 x 4 glyphs), stored as a bitmap property
  gif        a 4 x 2 GIF with a four-colour table: rows 0 1 2 3 / 3 2 1 0
  png        a 2 x 2 RGB PNG
"""
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def bmp(width, height, bpp, palette, rows_bottom_up):
    pixels = b"".join(rows_bottom_up)
    offset = 14 + 40 + len(palette)
    size = offset + len(pixels)
    return (b"BM" + struct.pack("<IHHI", size, 0, 0, offset)
            + struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0, len(pixels),
                          2835, 2835, len(palette) // 4 if palette else 0, 0)
            + palette + pixels)


def bitmap24():
    red, green, blue, white = b"\x00\x00\xff", b"\x00\xff\x00", b"\xff\x00\x00", b"\xff\xff\xff"
    black, yellow, cyan, magenta = b"\x00\x00\x00", b"\x00\xff\xff", b"\xff\xff\x00", b"\xff\x00\xff"
    return bmp(4, 2, 24, b"", [red + green + blue + white, black + yellow + cyan + magenta])


VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def glyph4():
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
    # Left glyph: an olive (3) arrow on silver (7); right glyph: the same greyed (8).
    rows = [b"\x77\x37\x77\x87", b"\x73\x33\x78\x88", b"\x33\x33\x88\x88", b"\x73\x33\x78\x88"]
    return bmp(8, 4, 4, palette, rows)


def gif():
    colours = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)]
    pixels = [0, 1, 2, 3, 3, 2, 1, 0]
    clear, end = 4, 5
    # Literal codes only, with a clear code before every second pixel so the code width
    # stays at three bits.
    codes = []
    for i, p in enumerate(pixels):
        if i % 2 == 0:
            codes.append(clear)
        codes.append(p)
    codes.append(end)
    bits, nbits, data = 0, 0, bytearray()
    for c in codes:
        bits |= c << nbits
        nbits += 3
        while nbits >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        data.append(bits & 0xFF)
    out = b"GIF89a" + struct.pack("<HHBBB", 4, 2, 0x81, 0, 0)
    out += b"".join(bytes(c) for c in colours)
    out += b"\x2c" + struct.pack("<HHHHB", 0, 0, 4, 2, 0) + b"\x02"
    out += bytes([len(data)]) + bytes(data) + b"\x00" + b"\x3b"
    return out


def png():
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    raw = b"\x00" + b"\xff\x00\x00" + b"\x00\xff\x00" + b"\x00" + b"\x00\x00\xff" + b"\xff\xff\xff"
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 2, 2, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def picture(kind, payload, sized):
    name = kind.encode("ascii")
    body = (struct.pack("<I", len(payload)) + payload) if sized else payload
    return bytes([len(name)]) + name + body


def hex_block(data, indent):
    text = data.hex().upper()
    lines = [indent + text[i:i + 64] for i in range(0, len(text), 64)]
    return "{\n" + "\n".join(lines) + "}"


def main():
    jpeg = open(os.path.join(HERE, "..", "images", "picture64x40.jpg"), "rb").read()
    blocks = {
        "bitmap24": picture("TBitmap", bitmap24(), True),
        "glyph4": struct.pack("<I", len(glyph4())) + glyph4(),
        "jpeg": picture("TJPEGImage", jpeg, True),
        "gif": picture("TGIFImage", gif(), False),
        "png": picture("TPngImage", png(), False),
    }
    wanted = sys.argv[1:] or list(blocks)
    for name in wanted:
        print(name, hex_block(blocks[name], "      "))


if __name__ == "__main__":
    main()
