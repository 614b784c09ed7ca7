#!/usr/bin/env python3
"""Makes the extraction tests' archives with Debian's 7-Zip (7zz), together
with the source trees the tests compare the extracted files against.

usage: make_test_archives.py OUTDIR
"""
import os
import random
import shutil
import subprocess
import sys
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


def main():
    out = os.path.abspath(sys.argv[1])
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    basic(out)
    traversal(out)
    failures(out)
    with open(os.path.join(out, "stamp"), "w") as f:
        f.write("done\n")


if __name__ == "__main__":
    main()
