#!/usr/bin/env python3
"""Re-encodes an 8-bit RGBA PNG losslessly in its smallest form, for the skin.

The pictures travel twice in the installer's download (in the skin package
and as the PNG resources beside it), so their size counts. The skin's
pictures are 8-bit RGBA PNG files, and stay so, with exactly the same pixels.
Tried: each PNG row filter on every row and a per-row choice, at zlib's
strongest settings; the smallest wins, and the input stays as it is when
nothing beats it. Before writing, the result is decoded again and compared
with the input.

    usage: repack_png.py IN.png OUT.png
"""
import struct
import sys
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"


def chunks(data):
    if data[:8] != SIGNATURE:
        raise ValueError("not a PNG file")
    at = 8
    while at < len(data):
        (length,) = struct.unpack(">I", data[at:at + 4])
        kind = data[at + 4:at + 8]
        yield kind, data[at + 8:at + 8 + length]
        at += 12 + length


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def unfilter(raw, width, height, bpp):
    stride = width * bpp
    rows, prev, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + ((a + b) >> 1)) & 0xFF
            elif kind == 4:
                line[i] = (line[i] + paeth(a, b, c)) & 0xFF
            elif kind != 0:
                raise ValueError("unknown row filter %d" % kind)
        rows.append(bytes(line))
        prev = line
    return rows


def filter_row(kind, line, prev, bpp):
    if kind == 0:
        return bytes(line)
    out = bytearray(len(line))
    for i in range(len(line)):
        a = line[i - bpp] if i >= bpp else 0
        b = prev[i]
        c = prev[i - bpp] if i >= bpp else 0
        if kind == 1:
            p = a
        elif kind == 2:
            p = b
        elif kind == 3:
            p = (a + b) >> 1
        else:
            p = paeth(a, b, c)
        out[i] = (line[i] - p) & 0xFF
    return bytes(out)


def decode_rgba(data):
    """The picture as width, height and its 8-bit RGBA rows."""
    ihdr, idat = None, b""
    for kind, body in chunks(data):
        if kind == b"IHDR":
            ihdr = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
    width, height, depth, colour, _, _, interlace = ihdr
    if (depth, colour, interlace) != (8, 6, 0):
        raise ValueError("only 8-bit RGBA, non-interlaced pictures")
    return width, height, unfilter(zlib.decompress(idat), width, height, 4)


def filtered(rows, bpp, choice):
    prev, out = bytes(len(rows[0])), bytearray()
    for line in rows:
        if choice == "each":  # smallest sum of magnitudes, the usual heuristic
            tries = [filter_row(k, line, prev, bpp) for k in range(5)]
            kind = min(range(5), key=lambda k: sum(v if v < 128 else 256 - v for v in tries[k]))
            best = tries[kind]
        else:
            kind, best = choice, filter_row(choice, line, prev, bpp)
        out += bytes([kind]) + best
        prev = line
    return bytes(out)


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def encode(width, height, rows):
    best = None
    for choice in [0, 1, 2, 3, 4, "each"]:
        raw = filtered(rows, 4, choice)
        for strategy in (zlib.Z_DEFAULT_STRATEGY, zlib.Z_FILTERED):
            z = zlib.compressobj(9, zlib.DEFLATED, 15, 9, strategy)
            packed = z.compress(raw) + z.flush()
            if best is None or len(packed) < len(best):
                best = packed
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return SIGNATURE + chunk(b"IHDR", header) + chunk(b"IDAT", best) + chunk(b"IEND", b"")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[-1].strip())
    source = open(sys.argv[1], "rb").read()
    picture = decode_rgba(source)
    best = encode(*picture)
    if len(best) >= len(source):
        best = source
    if decode_rgba(best) != picture:
        sys.exit("repack_png.py: %s: the re-encoded picture differs" % sys.argv[1])
    with open(sys.argv[2], "wb") as f:
        f.write(best)


if __name__ == "__main__":
    main()
