#!/usr/bin/env python3
"""Writes one resource of a 32-bit Windows executable to a file, for example
the installer's payload archive: pe-resource.py kxVistralSetup.exe 7Z/101 payload.7z

usage: pe-resource.py EXE TYPE/NAME OUT
"""
import sys

from pe_file import PE, NotPE


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__.strip())
    exe, name, out = argv
    with open(exe, "rb") as f:
        data = f.read()
    try:
        found = PE(data).resource(name)
    except NotPE as e:
        sys.exit(f"{exe}: not a PE32 executable ({e})")
    if found is None:
        sys.exit(f"{exe}: no resource {name}")
    with open(out, "wb") as f:
        f.write(found)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
