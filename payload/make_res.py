#!/usr/bin/env python3
"""Writes a compiled resource file (.res) holding one file as a resource of a
named type. The payload's type "7Z" starts with a digit, which the resource
script compiler reads as a number, so the payload can't be named in a .rc.

usage: make_res.py TYPE ID FILE OUT.res
"""
import struct
import sys

LANG_ZH_CN = 0x0804
MOVEABLE_PURE = 0x0030


def name_field(value):
    if isinstance(value, int):
        return struct.pack("<HH", 0xFFFF, value)
    return (value + "\0").encode("utf-16-le")


def entry(rtype, rid, data, lang, flags):
    names = name_field(rtype) + name_field(rid)
    names += b"\0" * (-len(names) % 4)
    tail = struct.pack("<IHHII", 0, flags, lang, 0, 0)
    header_size = 8 + len(names) + len(tail)
    out = struct.pack("<II", len(data), header_size) + names + tail + data
    return out + b"\0" * (-len(out) % 4)


def main():
    rtype, rid, path, out = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
    with open(path, "rb") as f:
        data = f.read()
    with open(out, "wb") as f:
        f.write(entry(0, 0, b"", 0, 0))  # the empty entry every .res starts with
        f.write(entry(rtype, rid, data, LANG_ZH_CN, MOVEABLE_PURE))


if __name__ == "__main__":
    main()
