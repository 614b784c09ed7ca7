#!/usr/bin/env python3
"""Writes the stand-in product's data files: 19 directories and 166 files,
byte for byte the same on every run, so that with the four programs the
payload has the product's shape (19 directories, 170 files).

usage: make_data.py OUTDIR
"""
import os
import random
import sys

DIRS = [
    "config", "data", "data/fonts", "data/maps", "imageformats", "platforms",
    "plugins", "plugins/audio", "plugins/input", "plugins/video", "resources",
    "resources/images", "resources/images/toolbar", "resources/skins",
    "resources/skins/dark", "resources/skins/default", "resources/sounds",
    "translations",
    "logs",  # stays empty, as the product's does before its first start
]

# (directory, name pattern, count, kind, size range in bytes)
FILES = [
    ("", "kxcore{:02d}.dat", 6, "binary", (20000, 90000)),
    ("", "readme.txt", 1, "text", (3000, 3000)),
    ("", "version.json", 1, "json", (300, 300)),
    ("", "empty.flag", 1, "empty", (0, 0)),
    ("config", "profile{:02d}.ini", 8, "ini", (400, 2000)),
    ("data", "table{:02d}.bin", 5, "binary", (4000, 30000)),
    ("data/fonts", "glyphs{:02d}.fnt", 4, "binary", (10000, 40000)),
    ("data/maps", "keymap{:02d}.json", 6, "json", (500, 4000)),
    ("imageformats", "codec{:02d}.dat", 6, "binary", (8000, 30000)),
    ("platforms", "platform{:02d}.dat", 3, "binary", (10000, 40000)),
    ("plugins", "plugin{:02d}.manifest", 8, "json", (300, 1500)),
    ("plugins/audio", "audio{:02d}.dat", 7, "binary", (5000, 25000)),
    ("plugins/input", "input{:02d}.dat", 7, "binary", (5000, 25000)),
    ("plugins/video", "video{:02d}.dat", 8, "binary", (5000, 35000)),
    ("resources", "strings{:02d}.xml", 6, "xml", (1000, 6000)),
    ("resources/images", "image{:02d}.png", 17, "binary", (1000, 12000)),
    ("resources/images/toolbar", "tool{:02d}.png", 20, "binary", (500, 4000)),
    ("resources/skins", "skin{:02d}.xml", 4, "xml", (1000, 5000)),
    ("resources/skins/dark", "dark{:02d}.qss", 10, "text", (800, 5000)),
    ("resources/skins/default", "default{:02d}.qss", 10, "text", (800, 5000)),
    ("resources/sounds", "sound{:02d}.wav", 8, "binary", (4000, 20000)),
    ("translations", "vistral_{}.qm", 20, "text", (2000, 9000)),
]

LANGS = ["ar", "cs", "da", "de", "en", "es", "fi", "fr", "hu", "it", "ja", "ko",
         "nl", "pl", "pt", "ru", "sv", "tr", "zh_CN", "zh_TW"]

WORDS = ("screen mirror display window device cast stream frame audio video "
         "connect receiver sender network quality latency codec session user "
         "setting option enable disable default resolution refresh").split()


def text_bytes(rng, size, kind, name):
    lines = []
    if kind == "json":
        lines.append('{\n  "name": "%s",' % name)
    elif kind == "xml":
        lines.append('<?xml version="1.0" encoding="utf-8"?>\n<resources>')
    elif kind == "ini":
        lines.append("[%s]" % name.split(".")[0])
    n = 0
    body = []
    while sum(len(s) + 1 for s in lines + body) < size:
        words = " ".join(rng.choice(WORDS) for _ in range(rng.randint(3, 9)))
        if kind == "json":
            body.append('  "key%04d": "%s",' % (n, words))
        elif kind == "xml":
            body.append('  <string id="s%04d">%s</string>' % (n, words))
        elif kind == "ini":
            body.append("key%04d=%s" % (n, words))
        else:
            body.append(words)
        n += 1
    if kind == "json":
        body.append('  "end": true\n}')
    elif kind == "xml":
        body.append("</resources>")
    return ("\n".join(lines + body) + "\n").encode("ascii")


def main():
    out = sys.argv[1]
    rng = random.Random(20250301)
    for d in DIRS:
        os.makedirs(os.path.join(out, d), exist_ok=True)
    count = 0
    for directory, pattern, n, kind, (lo, hi) in FILES:
        for i in range(n):
            name = pattern.format(LANGS[i] if "{}" in pattern else i + 1)
            size = rng.randint(lo, hi)
            if kind == "empty":
                data = b""
            elif kind == "binary":
                data = rng.randbytes(size)
            else:
                data = text_bytes(rng, size, kind, name)
            with open(os.path.join(out, directory, name), "wb") as f:
                f.write(data)
            count += 1
    if count != 166 or len(DIRS) != 19:
        sys.exit("make_data.py: layout has %d files in %d directories" % (count, len(DIRS)))


if __name__ == "__main__":
    main()
