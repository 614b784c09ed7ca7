#!/usr/bin/env python3
"""Compares two builds of a 32-bit Windows executable and says where they
first differ, by PE header field, section and resource, so that a build that
is not reproducible shows what leaked.

usage: compare-installers.py A.exe B.exe
       compare-installers.py --signed SIGNED.exe UNSIGNED.exe

The first form wants the files byte for byte the same. The second wants
SIGNED to be UNSIGNED with an Authenticode signature added and nothing else:
the same bytes apart from the two header fields signing sets (the checksum
and the certificate table's directory entry), then zero padding to 8 bytes
and the certificate table, which ends the file. Exit status 0 when they
match, 1 when they do not, 2 when a file is not a PE32 executable.
"""
import struct
import sys

from pe_file import PE, NotPE, SECURITY_DIR

def first_difference(a, b, masked=()):
    n = min(len(a), len(b))
    for start in range(0, n, 65536):
        end = min(n, start + 65536)
        if a[start:end] != b[start:end]:
            for i in range(start, end):
                if a[i] != b[i] and not any(m <= i < m + s for m, s in masked):
                    return i
    return None if len(a) == len(b) else n


def compare_plain(a, b):
    i = first_difference(a.data, b.data)
    if i is None:
        return True, "identical"
    if i >= min(len(a.data), len(b.data)):
        return False, f"they differ in length ({len(a.data)} and {len(b.data)} bytes)"
    why = f"first difference at byte {i}: {a.where(i)}"
    if a.checksum_at <= i < a.checksum_at + 4:
        # The checksum covers the whole file: name what made it differ.
        j = first_difference(a.data, b.data, [(a.checksum_at, 4)])
        if j is not None and j < min(len(a.data), len(b.data)):
            why += f", then at byte {j}: {a.where(j)}"
    return False, why + differing_parts(a, b)


def differing_parts(a, b):
    """Names the sections and resources whose contents differ."""
    def parts(pe):
        out = {f"section {n}": pe.data[p:p + size] for n, _, _, p, size in pe.sections}
        out.update({f"resource {n}": pe.data[p:p + size] for p, size, n, _ in pe.resources})
        return out
    pa, pb = parts(a), parts(b)
    names = [n for n in pa if n not in pb or pa[n] != pb[n]] + [n for n in pb if n not in pa]
    listed = [f"{n} ({len(pa[n])} and {len(pb[n])} bytes)" if n in pa and n in pb and len(pa[n]) != len(pb[n])
              else n for n in names]
    return "; these differ: " + ", ".join(listed) if listed else ""


def compare_signed(signed, unsigned):
    cert_off, cert_size = signed.dirs[SECURITY_DIR]
    if not cert_off:
        return False, "the signed file carries no signature"
    if unsigned.dirs[SECURITY_DIR] != (0, 0):
        return False, "the unsigned file carries a signature already"
    n = len(unsigned.data)
    if cert_off + cert_size != len(signed.data) or not n <= cert_off < n + 8:
        return False, (f"the signature ({cert_size} bytes at {cert_off}) is not appended "
                       f"to the {n} bytes of the unsigned file")
    if signed.data[n:cert_off].strip(b"\0"):
        return False, "the bytes between the unsigned file's end and the signature are not padding"
    masked = [(signed.checksum_at, 4), (signed.dirs_at + 8 * SECURITY_DIR, 8)]
    i = first_difference(signed.data[:n], unsigned.data, masked)
    if i is not None:
        return False, f"first difference at byte {i}: {unsigned.where(i)}"
    return True, "the same bytes apart from the signature and the header fields signing sets"


def main(argv):
    signed = argv[:1] == ["--signed"]
    paths = argv[1:] if signed else argv
    if len(paths) != 2:
        sys.exit(__doc__.strip())
    files = []
    for p in paths:
        with open(p, "rb") as f:
            data = f.read()
        try:
            files.append(PE(data))
        except (NotPE, struct.error) as e:
            print(f"{p}: not a PE32 executable ({e})", file=sys.stderr)
            return 2
    same, why = compare_signed(*files) if signed else compare_plain(*files)
    print(f"{paths[0]} {'matches' if same else 'does not match'} {paths[1]}: {why}")
    return 0 if same else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
