#!/usr/bin/env python3
"""Writes a large product-like tree for the extraction benchmark: 20
directories holding random (incompressible) files, compressible text files,
copies of executables and many small files.

usage: make_bench_payload.py OUTDIR [EXE...]
With KX_BENCH_EXTRA_MB=N in the environment, N MB more of random data in
files of up to 64 MB (a product of over a gigabyte, for the installer's
behaviour with large payloads).
"""
import os
import random
import shutil
import sys

MB = 1024 * 1024
WORDS = ("screen mirror display window device cast stream frame audio video "
         "connect receiver sender network quality latency codec session user "
         "setting option enable disable default resolution refresh buffer "
         "packet encoder decoder surface texture render capture").split()


def main():
    out = sys.argv[1]
    exes = sys.argv[2:]
    rng = random.Random(1)
    shutil.rmtree(out, ignore_errors=True)
    lines = [" ".join(rng.choice(WORDS) for _ in range(rng.randint(4, 14))) + "\n"
             for _ in range(20000)]
    pool = "".join(lines).encode("ascii")  # about 1.5 MB of text
    total = 0
    for d in range(20):
        path = os.path.join(out, "dir%02d" % d, "sub") if d % 4 == 3 else os.path.join(out, "dir%02d" % d)
        os.makedirs(path, exist_ok=True)
        for i in range(2):  # random data, about 80 MB in all
            size = rng.randint(int(1.5 * MB), int(2.5 * MB))
            with open(os.path.join(path, "blob%d.bin" % i), "wb") as f:
                f.write(os.urandom(size))
            total += size
        for i in range(3):  # text, about 70 MB in all
            size = rng.randint(int(0.8 * MB), int(1.5 * MB))
            start = rng.randrange(len(pool) // 2)
            data = (pool[start:] + pool[:start]) * (size // len(pool) + 1)
            with open(os.path.join(path, "text%d.log" % i), "wb") as f:
                f.write(data[:size])
            total += size
        for i in range(50):  # small files: per-item cost
            size = rng.randint(200, 8000)
            with open(os.path.join(path, "small%02d.cfg" % i), "wb") as f:
                f.write(lines[i % len(lines)].encode("ascii") * (size // 40 + 1))
            total += size
        for exe in exes:  # executables, filtered with BCJ
            shutil.copy(exe, os.path.join(path, os.path.basename(exe)))
            total += os.path.getsize(exe)
    extra = int(os.environ.get("KX_BENCH_EXTRA_MB", "0")) * MB
    os.makedirs(os.path.join(out, "large"), exist_ok=True)
    for i in range((extra + 64 * MB - 1) // (64 * MB)):
        size = min(64 * MB, extra - i * 64 * MB)
        with open(os.path.join(out, "large", "part%03d.bin" % i), "wb") as f:
            f.write(os.urandom(size))
        total += size
    print("bench payload: %.1f MB in %s" % (total / MB, out))


if __name__ == "__main__":
    main()
