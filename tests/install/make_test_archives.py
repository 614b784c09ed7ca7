#!/usr/bin/env python3
"""Makes the extraction tests' archives with Debian's 7-Zip (7zz), together
with the source trees the tests compare the extracted files against.

usage: make_test_archives.py OUTDIR
"""
import os
import random
import shutil
import struct
import subprocess
import sys
import zlib
from datetime import datetime, timezone


def stamp(text):
    return datetime.strptime(text, "%Y-%m-%d %H:%M:%S").replace(tzinfo=timezone.utc).timestamp()


MTIME_TOP = stamp("2021-03-04 05:06:07")
ATIME_TOP = stamp("2022-01-02 03:04:05")
MTIME_DIRS = stamp("2020-01-01 00:00:00")


def sevenzip(*args, cwd):
    subprocess.run(["7zz", *args, "-bd", "-bso0", "-bsp0"], cwd=cwd, check=True)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def pack(archive, tree, *options):
    if os.path.exists(archive):
        os.remove(archive)
    sevenzip("a", "-t7z", *options, archive, ".", cwd=tree)


def basic(out):
    """Files with known contents, times and attributes in nested directories."""
    tree = os.path.join(out, "basic")
    rng = random.Random(7)
    write(os.path.join(tree, "top.txt"), b"top level text\r\n" * 40)
    write(os.path.join(tree, "zero.txt"), b"")
    write(os.path.join(tree, "sub", "readonly.txt"), b"do not change\n")
    write(os.path.join(tree, "sub", "deeper", "data.bin"), rng.randbytes(300000))
    write(os.path.join(tree, "sub", "deeper", "program.exe"), b"MZ" + rng.randbytes(5000))
    write(os.path.join(tree, "名字", "文件.txt"), "宽字符路径\n".encode("utf-8"))
    os.makedirs(os.path.join(tree, "empty"), exist_ok=True)
    os.chmod(os.path.join(tree, "sub", "readonly.txt"), 0o444)
    os.utime(os.path.join(tree, "top.txt"), (ATIME_TOP, MTIME_TOP))
    for d in ("empty", "sub", "sub/deeper", "名字"):
        os.utime(os.path.join(tree, d), (MTIME_DIRS, MTIME_DIRS))
    pack(os.path.join(out, "basic.7z"), tree, "-m0=LZMA2", "-mtc=on", "-mta=on")


def traversal(out):
    """One harmless file, then one whose stored path leaves the destination."""
    tree = os.path.join(out, "traversal-src")
    write(os.path.join(tree, "a_ok.txt"), b"fine\n")
    write(os.path.join(tree, "b_evil.txt"), b"outside\n")
    forms = {
        "dotdot": "../kx_evil.txt",
        "inner-dotdot": "sub/../../kx_evil.txt",
        "drive": "C:/kx_evil.txt",
        "drive-relative": "C:kx_evil.txt",
        "rooted": "/kx_evil.txt",
        "unc": "//kxserver/share/kx_evil.txt",
    }
    for name, stored in forms.items():
        archive = os.path.join(out, "traversal-%s.7z" % name)
        pack(archive, tree, "-m0=LZMA2")
        sevenzip("rn", archive, "b_evil.txt", stored, cwd=out)


def failures(out):
    tree = os.path.join(out, "failures-src")
    # Encrypted contents (the listing stays readable).
    write(os.path.join(tree, "secret", "secret.txt"), b"secret\n")
    pack(os.path.join(out, "encrypted.7z"), os.path.join(tree, "secret"), "-pKx-Secret", "-mhe=off")

    # Stored without compression, so that one flipped byte in the second
    # file's data is a CRC error of that file alone.
    write(os.path.join(tree, "damaged", "first.txt"), b"1" * 1000)
    write(os.path.join(tree, "damaged", "second.txt"), b"2" * 1000)
    damaged = os.path.join(out, "damaged.7z")
    pack(damaged, os.path.join(tree, "damaged"), "-m0=Copy")
    with open(damaged, "r+b") as f:
        f.seek(32 + 1000 + 500)  # signature header, first.txt, middle of second.txt
        f.write(b"X")

    # A file whose parent directory can't be made when "blocker" is a file.
    write(os.path.join(tree, "blocked", "blocker", "inner", "file.txt"), b"blocked\n")
    blocked = os.path.join(out, "blocked.7z")
    if os.path.exists(blocked):
        os.remove(blocked)
    sevenzip("a", "-t7z", blocked, "blocker/inner/file.txt", cwd=os.path.join(tree, "blocked"))

    with open(os.path.join(out, "basic.7z"), "rb") as f:
        whole = f.read()
    with open(os.path.join(out, "truncated.7z"), "wb") as f:
        f.write(whole[: len(whole) // 2])
    with open(os.path.join(out, "not-an-archive.7z"), "wb") as f:
        f.write(b"This is plain text, not a 7z archive.\r\n" * 20)


def many(out):
    """Many small files around one large one, for the writer threads: the
    large one is still being written when the items after it come."""
    tree = os.path.join(out, "many-src")
    block = random.Random(11).randbytes(4096)
    for i in range(240):
        write(os.path.join(tree, "f%03d.dat" % i), (b"%03d" % i) * (50 + i))
    # Names sort it after f120.dat in the archive; it compresses to little.
    write(os.path.join(tree, "f120_large.dat"), block * 4096)
    pack(os.path.join(out, "many.7z"), tree, "-m0=LZMA2")


def twice(out):
    """A directory the extraction makes, holding a.txt and b.txt, then a.txt
    again with other contents (added later, so stored after)."""
    tree = os.path.join(out, "twice-src")
    write(os.path.join(tree, "new", "a.txt"), b"first\n")
    write(os.path.join(tree, "new", "b.txt"), b"b\n")
    write(os.path.join(tree, "later.txt"), b"second\n")
    archive = os.path.join(out, "twice.7z")
    sevenzip("a", "-t7z", archive, "new", "new/a.txt", "new/b.txt", cwd=tree)
    sevenzip("a", "-t7z", archive, "later.txt", cwd=tree)
    sevenzip("rn", archive, "later.txt", "new/a.txt", cwd=tree)


def empty_items_7z(path, items):
    """A 7z archive of (name, is_dir) items without data, in exactly this
    order and with names 7zz would not store (an empty one)."""
    def bits(flags):
        out = bytearray((len(flags) + 7) // 8)
        for i, flag in enumerate(flags):
            if flag:
                out[i // 8] |= 0x80 >> (i % 8)
        return bytes(out)

    def prop(pid, data):
        assert len(data) < 0x80  # one-byte sizes only
        return bytes([pid, len(data)]) + data

    names = b"\0" + b"".join(n.encode("utf-16-le") + b"\0\0" for n, _ in items)
    files = (bytes([0x05, len(items)]) + prop(0x0E, bits([True] * len(items)))
             + prop(0x0F, bits([not is_dir for _, is_dir in items])) + prop(0x11, names) + b"\0")
    header = b"\x01" + files + b"\0"
    start = struct.pack("<QQI", 0, len(header), zlib.crc32(header))
    with open(path, "wb") as f:
        f.write(b"7z\xbc\xaf\x27\x1c\x00\x04" + struct.pack("<I", zlib.crc32(start)) + start + header)


def hostile(out):
    """Archives whose item names Windows would not take literally, paths that
    are a file and a directory at once, damage 7-Zip reports outside an item,
    and destinations holding links (Unix symbolic links, which Wine shows as
    reparse points)."""
    tree = os.path.join(out, "hostile-src")
    write(os.path.join(tree, "a_ok.txt"), b"fine\n")
    write(os.path.join(tree, "b_evil.txt"), b"evil\n")
    base = os.path.join(out, "hostile-base.7z")
    pack(base, tree, "-m0=LZMA2")
    names = {
        "com1": "COM1", "sub-aux": "sub/aux", "sub-nul": "sub/nul", "con-ext": "con.txt",
        "nul-blank-ext": "Nul .txt", "lpt-super": "lpt\u00b9", "com-super": "sub/COM\u00b3.log",
        "conin": "CONIN$", "conout-ext": "conout$.log", "com0": "com0",
        "dot": ".", "sub-dot": "sub/.", "dot-inner": "sub/./x.txt", "empty-inner": "sub//x.txt",
        "trailing-sep": "sub/", "stream": "a_ok.txt:hidden", "trailing-dot": "sub./x.txt",
        "trailing-blank": "x.txt ", "wildcard": "sub/*",
    }
    for name, stored in names.items():
        archive = os.path.join(out, "hostile-%s.7z" % name)
        shutil.copyfile(base, archive)
        sevenzip("rn", archive, "b_evil.txt", stored, cwd=out)
    os.remove(base)
    empty_items_7z(os.path.join(out, "hostile-no-path.7z"), [("a_ok.txt", False), ("", False)])
    empty_items_7z(os.path.join(out, "hostile-file-then-dir.7z"), [("x", False), ("x", True)])
    # Directory x with x/child.txt, then a file x (added later, so stored after).
    dup = os.path.join(out, "hostile-dup-src")
    write(os.path.join(dup, "x", "child.txt"), b"child\n")
    write(os.path.join(dup, "y"), b"later file\n")
    archive = os.path.join(out, "hostile-dir-then-file.7z")
    sevenzip("a", "-t7z", archive, "x", "x/child.txt", cwd=dup)
    sevenzip("a", "-t7z", archive, "y", cwd=dup)
    sevenzip("rn", archive, "y", "x", cwd=dup)

    # One LZMA2 file: a flipped end marker of its block, and a zeroed start
    # header (7-Zip finds the headers anyway and only flags the archive).
    write(os.path.join(tree, "one", "one.txt"), b"payload text\n" * 50)
    one = os.path.join(out, "hostile-one.7z")
    pack(one, os.path.join(tree, "one"), "-m0=LZMA2")
    listing = subprocess.run(["7zz", "l", "-slt", one], check=True, capture_output=True, text=True).stdout
    packed = int([line for line in listing.splitlines() if line.startswith("Packed Size = ")][-1].split()[-1])
    with open(one, "rb") as f:
        good = bytearray(f.read())
    os.remove(one)
    assert good[32 + packed - 1] == 0  # the LZMA2 end marker
    damaged = bytearray(good)
    damaged[32 + packed - 1] = 1
    with open(os.path.join(out, "hostile-end-marker.7z"), "wb") as f:
        f.write(damaged)
    damaged = bytearray(good)
    damaged[8:32] = bytes(24)
    with open(os.path.join(out, "hostile-zero-start.7z"), "wb") as f:
        f.write(damaged)

    # Link items and destinations: links/<case>/ is the program directory,
    # links/outside and links/outside.txt what its links point to.
    links = os.path.join(out, "links")
    write(os.path.join(links, "outside", "secret.txt"), b"secret\n")
    write(os.path.join(links, "outside.txt"), b"outside file\n")
    for case, stored in (("through", "sub/evil.txt"), ("at-dir-link", "sub"),
                         ("file-link", "f.txt"), ("inside-replaced", "x")):
        archive = os.path.join(out, "hostile-link-%s.7z" % case)
        pack(archive, os.path.join(tree, "one"), "-m0=LZMA2")
        sevenzip("rn", archive, "one.txt", stored, cwd=out)
        os.makedirs(os.path.join(links, case))
    os.symlink("../outside", os.path.join(links, "through", "sub"))
    os.symlink("../outside", os.path.join(links, "at-dir-link", "sub"))
    os.symlink("../outside.txt", os.path.join(links, "file-link", "f.txt"))
    os.makedirs(os.path.join(links, "inside-replaced", "x"))
    os.symlink("../../outside", os.path.join(links, "inside-replaced", "x", "l"))
    empty_items_7z(os.path.join(out, "hostile-link-dir-item.7z"), [("sub", True)])
    os.makedirs(os.path.join(links, "dir-item"))
    os.symlink("../outside", os.path.join(links, "dir-item", "sub"))


def main():
    out = os.path.abspath(sys.argv[1])
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    basic(out)
    traversal(out)
    failures(out)
    hostile(out)
    many(out)
    twice(out)
    with open(os.path.join(out, "stamp"), "w") as f:
        f.write("done\n")


if __name__ == "__main__":
    main()
