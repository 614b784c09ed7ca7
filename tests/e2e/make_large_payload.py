#!/usr/bin/env python3
"""Packs a payload of many small files, so that an installation of it lasts
seconds under Wine: long enough for a close command to reach the progress
page. The same bytes on every run.

usage: make_large_payload.py OUT.7z PACK.sh [FILES]
"""
import os
import shutil
import subprocess
import sys

archive, pack = sys.argv[1], sys.argv[2]
count = int(sys.argv[3]) if len(sys.argv) > 3 else 12000
tree = archive + ".tree"
shutil.rmtree(tree, ignore_errors=True)
for i in range(count):
    d = os.path.join(tree, "filler%02d" % (i % 40))
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "part%05d.dat" % i), "wb") as f:
        f.write(("part %d of the filler\n" % i).encode("ascii") * 4)
subprocess.run([pack, archive, tree], check=True)
shutil.rmtree(tree)
