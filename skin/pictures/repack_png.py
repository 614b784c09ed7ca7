#!/usr/bin/env python3
"""Re-encodes an 8-bit PNG losslessly in its smallest form, for the skin.

The pictures travel twice in the installer's download (in the skin package
and as the PNG resources beside it), so their size counts. The pixels stay
exactly the same: the output decodes to the same 8-bit RGBA values as the
input. Tried: the colour type that holds the picture (RGB when every pixel is
opaque, a palette when it has at most 256 colours, else RGBA), each PNG row
filter on every row and a per-row choice, at zlib's strongest settings; the
smallest wins, and the input stays as it is when nothing beats it. Before
writing, the result is decoded again and compared with the input.

    usage: repack_png.py IN.png OUT.png
"""
import struct
import sys
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


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
    """The picture as width, height and 8-bit RGBA bytes (the way the
    framework's decoder hands it over)."""
    ihdr, idat, plte, trns = None, b"", None, None
    for kind, body in chunks(data):
        if kind == b"IHDR":
            ihdr = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"PLTE":
            plte = body
        elif kind == b"tRNS":
            trns = body
    width, height, depth, colour, _, _, interlace = ihdr
    if depth != 8 or interlace != 0 or colour not in CHANNELS:
        raise ValueError("only 8-bit, non-interlaced pictures")
    rows = unfilter(zlib.decompress(idat), width, height, CHANNELS[colour])
    out = bytearray()
    for line in rows:
        if colour == 6:
            out += line
        elif colour == 2:
            for i in range(0, len(line), 3):
                out += line[i:i + 3] + b"\xff"
        elif colour == 3:
            for index in line:
                alpha = trns[index] if trns and index < len(trns) else 255
                out += plte[3 * index:3 * index + 3] + bytes([alpha])
        elif colour == 0:
            for v in line:
                out += bytes([v, v, v, 255])
        else:  # grey with alpha
            for i in range(0, len(line), 2):
                out += bytes([line[i]] * 3 + [line[i + 1]])
    return width, height, bytes(out)


def layouts(width, height, rgba):
    """(colour type, rows, PLTE, tRNS) forms that hold the picture exactly."""
    pixels = [rgba[i:i + 4] for i in range(0, len(rgba), 4)]
    forms = [(6, [rgba[y * width * 4:(y + 1) * width * 4] for y in range(height)], None, None)]
    if all(p[3] == 255 for p in pixels):
        rgb = b"".join(p[:3] for p in pixels)
        forms.append((2, [rgb[y * width * 3:(y + 1) * width * 3] for y in range(height)], None, None))
    colours = sorted(set(pixels), key=lambda p: p[3])  # translucent first: shortest tRNS
    if len(colours) <= 256:
        index = {p: i for i, p in enumerate(colours)}
        line = bytes(index[p] for p in pixels)
        plte = b"".join(p[:3] for p in colours)
        alphas = bytes(p[3] for p in colours).rstrip(b"\xff")
        forms.append((3, [line[y * width:(y + 1) * width] for y in range(height)], plte, alphas or None))
    return forms


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


def encode(width, height, colour, rows, plte, trns):
    bpp = CHANNELS[colour]
    best = None
    # A palette index is no number to predict: such rows are usually best unfiltered.
    for choice in [0, "each"] if colour == 3 else [0, 1, 2, 3, 4, "each"]:
        raw = filtered(rows, bpp, choice)
        for strategy in (zlib.Z_DEFAULT_STRATEGY, zlib.Z_FILTERED):
            z = zlib.compressobj(9, zlib.DEFLATED, 15, 9, strategy)
            packed = z.compress(raw) + z.flush()
            if best is None or len(packed) < len(best):
                best = packed
    out = SIGNATURE + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour, 0, 0, 0))
    if plte:
        out += chunk(b"PLTE", plte)
    if trns:
        out += chunk(b"tRNS", trns)
    return out + chunk(b"IDAT", best) + chunk(b"IEND", b"")


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__.strip().splitlines()[-1].strip())
    source = open(sys.argv[1], "rb").read()
    width, height, rgba = decode_rgba(source)
    best = source
    for form in layouts(width, height, rgba):
        candidate = encode(width, height, *form)
        if len(candidate) < len(best):
            best = candidate
    if decode_rgba(best) != (width, height, rgba):
        sys.exit("repack_png.py: %s: the re-encoded picture differs" % sys.argv[1])
    with open(sys.argv[2], "wb") as f:
        f.write(best)


if __name__ == "__main__":
    main()
