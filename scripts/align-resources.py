#!/usr/bin/env python3
"""Moves the resource section of a PE32 program (and what follows it in the
file) so that its raw data starts on a 4 KB page of the file, in place.

Wine maps an image's section from the file only when the section's file
offset is a whole page; otherwise it reads the whole section into memory when
the program starts. The installer's resource section holds the payload, so
with the linker's 512-byte file alignment a payload of 600 MB was read (and
kept resident) before the first window; on a page it is mapped and read only
when the installation unpacks it. Windows maps either form lazily.

Only file offsets change: the padding is a whole number of file-alignment
units, the section table, the symbol table pointer and the header checksum
follow; addresses in memory stay the same, so the resource directory, the
code and the relocations are untouched. A file with a certificate table (a
signed file) is refused: signing comes after this step.

usage: align-resources.py PROGRAM.exe
"""
import array
import os
import struct
import sys

PAGE = 0x1000
RESOURCE_DIRECTORY = 2
SECURITY_DIRECTORY = 4
DEBUG_DIRECTORY = 6


def fail(message):
    sys.exit("align-resources.py: " + message)


def pe_checksum(data, checksum_at):
    """The header checksum as the system computes it: the 16-bit words of the
    file (the checksum field taken as zero) added with end-around carry, plus
    the file's length."""
    padded = bytearray(data + b"\0" * (len(data) % 2))
    padded[checksum_at:checksum_at + 4] = b"\0\0\0\0"
    words = array.array("H")
    words.frombytes(bytes(padded))
    if sys.byteorder != "little":
        words.byteswap()
    total = sum(words)
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def align(data):
    """The program's bytes with the resource section on a page; the same
    bytes when it is there already."""
    data = bytearray(data)
    if data[:2] != b"MZ":
        fail("not a program")
    nt = struct.unpack_from("<I", data, 0x3C)[0]
    if data[nt:nt + 4] != b"PE\0\0":
        fail("no PE header")
    coff = nt + 4
    sections_count, = struct.unpack_from("<H", data, coff + 2)
    symbols_at, = struct.unpack_from("<I", data, coff + 8)
    optional_size, = struct.unpack_from("<H", data, coff + 16)
    optional = coff + 20
    if struct.unpack_from("<H", data, optional)[0] != 0x10B:
        fail("not a PE32 program")
    file_alignment, = struct.unpack_from("<I", data, optional + 36)
    checksum_at = optional + 64
    directories_count, = struct.unpack_from("<I", data, optional + 92)
    directories = optional + 96

    def directory(index):
        if index >= directories_count:
            return 0, 0
        return struct.unpack_from("<II", data, directories + 8 * index)

    if directory(SECURITY_DIRECTORY)[1]:
        fail("the program is signed already: align before signing")
    resources_rva = directory(RESOURCE_DIRECTORY)[0]
    if not resources_rva:
        return bytes(data)
    table = optional + optional_size
    sections = []
    for i in range(sections_count):
        at = table + 40 * i
        vaddr, raw_size, raw_at = struct.unpack_from("<I I I", data, at + 12)
        vsize, = struct.unpack_from("<I", data, at + 8)
        sections.append((at, vaddr, max(vsize, raw_size), raw_size, raw_at))
    holder = next((s for s in sections if s[1] <= resources_rva < s[1] + s[2]), None)
    if holder is None:
        fail("no section holds the resources")
    start = holder[4]
    pad = -start % PAGE
    if pad == 0:
        return bytes(data)
    if pad % file_alignment:
        fail("the section's offset is not a multiple of the file alignment")
    for at, _, _, raw_size, raw_at in sections:
        if raw_size and raw_at >= start:
            struct.pack_into("<I", data, at + 20, raw_at + pad)
    if symbols_at >= start:
        struct.pack_into("<I", data, coff + 8, symbols_at + pad)
    debug_rva, debug_size = directory(DEBUG_DIRECTORY)
    if debug_size:
        # Entries give their data's file offset: it moves with its section.
        home = next((s for s in sections if s[1] <= debug_rva < s[1] + s[2]), None)
        if home is None:
            fail("no section holds the debug directory")
        first = home[4] + debug_rva - home[1]
        for entry in range(first, first + debug_size, 28):
            raw_at, = struct.unpack_from("<I", data, entry + 24)
            if raw_at >= start:
                struct.pack_into("<I", data, entry + 24, raw_at + pad)
    data[start:start] = b"\0" * pad
    if struct.unpack_from("<I", data, checksum_at)[0]:
        struct.pack_into("<I", data, checksum_at, pe_checksum(bytes(data), checksum_at))
    return bytes(data)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[-1])
    path = sys.argv[1]
    with open(path, "rb") as f:
        data = f.read()
    aligned = align(data)
    if aligned == data:
        return
    temporary = path + ".aligning"
    with open(temporary, "wb") as f:
        f.write(aligned)
    os.chmod(temporary, os.stat(path).st_mode)
    os.replace(temporary, path)


if __name__ == "__main__":
    main()
