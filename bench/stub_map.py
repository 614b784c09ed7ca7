#!/usr/bin/env python3
"""What the installer's stub is made of, from the linker's map.

Sums the bytes of the linked input sections (code, constants, unwinding
records, resources) by library or object file, largest first, so that the
stub figure of bench/installer.sh comes with where its bytes come from. The
payload resource is left out: it is not part of the stub.

    usage: stub_map.py MAP [COUNT]
"""
import collections
import re
import sys

# " .text   0x00401000   0x1234 /path/lib.a(member.o)"; a long section name
# stands on a line of its own, its address and size on the next.
SECTION = re.compile(r"^ (\S+)?\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$")
NAME_ONLY = re.compile(r"^ (\S+)\s*$")


def part_of(path):
    """The library (or object file) an input section comes from."""
    target = re.search(r"CMakeFiles/([^/]+)\.dir/", path)
    if target and "(" not in path:
        return target.group(1)
    if path == "dll stuff":  # what the linker itself makes: base relocations
        return "relocations"
    return re.sub(r"\(.*\)$", "", path).rsplit("/", 1)[-1]


def sizes(lines):
    parts = collections.Counter()
    started, discarded, pending = False, False, None
    for line in lines:
        if line.startswith("Linker script and memory map"):
            started = True
            continue
        if not started:
            continue
        if re.match(r"^[./]", line):  # an output section starts
            discarded = line.startswith("/DISCARD/")
        if discarded:
            continue
        m = NAME_ONLY.match(line)
        if m:
            pending = m.group(1)
            continue
        m = SECTION.match(line)
        section = (m.group(1) or pending) if m else None
        pending = None
        if not section or section.startswith((".debug", ".bss")) or m.group(3).startswith("*"):
            continue
        size = int(m.group(2), 16)
        if size:
            parts[part_of(m.group(3).strip())] += size
    parts.pop("kx_payload_res", None)
    return parts


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit("usage: stub_map.py MAP [COUNT]")
    count = int(sys.argv[2]) if len(sys.argv) == 3 else 12
    with open(sys.argv[1], errors="replace") as f:
        parts = sizes(f)
    top = parts.most_common(count)
    rest = sum(parts.values()) - sum(v for _, v in top)
    print("stub by part (link map, bytes): " +
          ", ".join("%s %d" % (k, v) for k, v in top) + ", other %d" % rest)


if __name__ == "__main__":
    main()
