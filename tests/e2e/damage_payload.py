#!/usr/bin/env python3
"""Copies a 7z archive with a stretch of its packed data inverted, so that
the archive still opens but its items no longer unpack.

usage: damage_payload.py IN.7z OUT.7z
"""
import sys

data = bytearray(open(sys.argv[1], "rb").read())
start = 32 + (len(data) - 32) // 3  # past the signature header, inside the packed streams
for i in range(start, min(start + 4096, len(data))):
    data[i] ^= 0xFF
open(sys.argv[2], "wb").write(data)
