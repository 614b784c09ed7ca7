#!/usr/bin/env python3
"""Races link swaps against the installer's file steps.

A host process (Wine follows host symbolic links to directories) swaps a
directory the step uses for a link to a folder outside, in a tight loop,
while link_race.exe runs the step in the build's Wine prefix:

  extract  ROOT/prog/plugins swapped while the payload is unpacked into ROOT/prog
  payload  ROOT/temp swapped while the payload is written there and read back;
           the outside folder mirrors every per-run folder with a foreign archive
  remove   ROOT/old/plugins swapped while the earlier installation ROOT/old goes
  uninstall ROOT/prog/plugins swapped while the payload is unpacked and then
           removed by its manifest, as the uninstaller removes it
  planted  no racer: links to files outside stand under an item's name and under
           each side file's name ("Uninstall.xml", "source.dat",
           "temp_userdata.txt") in ROOT/prog

After every run the outside folder (the canary) must be unchanged, file by
file, by content and time, and nothing of the foreign archive unpacked.

usage: race_links.py WINE_RUN PREFIX LINK_RACE_EXE RUNS
"""
import hashlib
import os
import shutil
import signal
import subprocess
import sys
import time

WINE_RUN, PREFIX, EXE, RUNS = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
HOST_ROOT = os.path.join(PREFIX, "drive_c", "kx_link_race_%d" % os.getpid())
WIN_ROOT = "C:\\kx_link_race_%d\\" % os.getpid()
OUTSIDE = HOST_ROOT + "_outside"  # not below the program folder


def fill(folder, text):
    """The payload's plugins folder, by its names, and a file of its own."""
    os.makedirs(folder, exist_ok=True)
    for i in range(8):
        with open(os.path.join(folder, "plugin%02d.manifest" % i), "w") as f:
            f.write(text)
    for sub in ("audio", "input", "video"):
        os.makedirs(os.path.join(folder, sub), exist_ok=True)
        for i in range(60):
            with open(os.path.join(folder, sub, "%s%02d.dat" % (sub, i)), "w") as f:
                f.write(text)


def snapshot(folder):
    seen = {}
    for dirpath, dirnames, filenames in os.walk(folder):
        for name in dirnames + filenames:
            path = os.path.join(dirpath, name)
            st = os.lstat(path)
            digest = ""
            if os.path.isfile(path) and not os.path.islink(path):
                with open(path, "rb") as f:
                    digest = hashlib.sha1(f.read()).hexdigest()
            seen[os.path.relpath(path, folder)] = (st.st_size, st.st_mtime_ns, digest)
    seen["."] = os.stat(folder).st_mtime_ns
    return seen


def racer(swapped, target, mirror_archive=None):
    """Swaps swapped with a link to target until SIGTERM, then restores it."""
    stop = []
    signal.signal(signal.SIGTERM, lambda *a: stop.append(1))
    real = swapped + ".real"
    swaps = 0
    if mirror_archive:  # the temporary folder is swapped once the payload is in it
        while not stop and not any(n.startswith("kxsetup-") for n in os.listdir(swapped)):
            pass
    while not stop:
        try:
            os.rename(swapped, real)
        except OSError:
            continue
        try:
            if mirror_archive:  # the attacker sees the per-run name and copies its archive in
                for name in os.listdir(real):
                    if name.startswith("kxsetup-"):
                        os.makedirs(os.path.join(target, name), exist_ok=True)
                        shutil.copyfile(mirror_archive, os.path.join(target, name, "resource.7z"))
            os.symlink(target, swapped)
            swaps += 1
            time.sleep(0.001)  # most steps by name would land in the link
            os.unlink(swapped)
        except OSError:
            pass
        try:
            os.rename(real, swapped)
        except OSError:
            pass  # something new was made in its place meanwhile
    os._exit(0 if swaps else 3)


def run(mode, swapped, target, mirror_archive=None):
    pid = os.fork() if swapped else 1
    if pid == 0:
        racer(swapped, target, mirror_archive)
    time.sleep(0.05)
    step = subprocess.run([WINE_RUN, EXE, "extract" if mode == "payload" else mode, WIN_ROOT],
                          capture_output=True, text=True, timeout=120)
    if not swapped:
        return step.stdout.strip(), 0
    os.kill(pid, signal.SIGTERM)
    _, status = os.waitpid(pid, 0)
    if os.path.exists(swapped + ".real") and not os.path.exists(swapped):
        os.rename(swapped + ".real", swapped)
    said = step.stdout.strip()
    # (Wine's own 64-bit helpers may report a fault of theirs here too.)
    if step.returncode != 0:
        print("the step failed (%d):\n%s" % (step.returncode, said))
        said = "crashed"
    return said, os.waitstatus_to_exitcode(status)


def main():
    failures = 0
    foreign_archive = os.path.join(HOST_ROOT + "_foreign_src", "foreign.7z")
    os.makedirs(os.path.dirname(foreign_archive), exist_ok=True)
    with open(os.path.join(os.path.dirname(foreign_archive), "foreign.txt"), "w") as f:
        f.write("not the product\n")
    subprocess.run(["7zz", "a", "-bso0", "-bsp0", foreign_archive,
                    os.path.join(os.path.dirname(foreign_archive), "foreign.txt")], check=True)
    for mode in os.environ.get("KX_RACE_MODES", "extract payload remove uninstall planted").split():
        outcomes = {}
        for n in range(RUNS if mode != "planted" else 1):
            for path in (HOST_ROOT, OUTSIDE):
                shutil.rmtree(path, ignore_errors=True)
            os.makedirs(os.path.join(HOST_ROOT, "temp"))
            fill(os.path.join(OUTSIDE, "plugins"), "canary\n")
            if mode == "remove":
                os.makedirs(os.path.join(HOST_ROOT, "old"))
                with open(os.path.join(HOST_ROOT, "old", "Uninstall.xml"), "w") as f:
                    f.write("<Uninstall />")
                fill(os.path.join(HOST_ROOT, "old", "plugins"), "old\n")
                swapped = os.path.join(HOST_ROOT, "old", "plugins")
            elif mode in ("extract", "uninstall"):
                fill(os.path.join(HOST_ROOT, "prog", "plugins"), "old\n")
                swapped = os.path.join(HOST_ROOT, "prog", "plugins")
            elif mode == "payload":
                os.makedirs(os.path.join(HOST_ROOT, "prog"))
                swapped = os.path.join(HOST_ROOT, "temp")
            else:
                os.makedirs(os.path.join(HOST_ROOT, "prog"))
                for name in ("readme.txt", "Uninstall.xml", "source.dat", "temp_userdata.txt"):
                    secret = os.path.join(OUTSIDE, "secret-" + name)
                    with open(secret, "w") as f:
                        f.write("outside\n")
                    os.symlink(secret, os.path.join(HOST_ROOT, "prog", name))
                swapped = None
            target = os.path.join(OUTSIDE, "plugins") if mode != "payload" else OUTSIDE
            before = snapshot(OUTSIDE)
            said, racer_code = run(mode, swapped, target,
                                   foreign_archive if mode == "payload" else None)
            outcomes[said] = outcomes.get(said, 0) + 1
            failures += said == "crashed"
            if racer_code != 0:
                print("%s run %d: the racer never swapped" % (mode, n))
                failures += 1
            if mode == "payload":  # the racer's own copies aside, each its archive
                with open(foreign_archive, "rb") as f:
                    foreign = f.read()
                for name in os.listdir(OUTSIDE):
                    if name.startswith("kxsetup-"):
                        for inner in os.listdir(os.path.join(OUTSIDE, name)):
                            with open(os.path.join(OUTSIDE, name, inner), "rb") as f:
                                if inner != "resource.7z" or f.read() != foreign:
                                    print("payload run %d: written outside: %s" % (n, name))
                                    failures += 1
                        shutil.rmtree(os.path.join(OUTSIDE, name))
                before.pop(".")
            after = snapshot(OUTSIDE)
            if mode == "payload":
                after.pop(".")
            if after != before:
                changed = sorted(k for k in set(before) | set(after) if before.get(k) != after.get(k))
                print("%s run %d: outside changed: %s" % (mode, n, changed[:8]))
                failures += 1
            for dirpath, _, filenames in os.walk(os.path.join(HOST_ROOT, "prog")):
                if "foreign.txt" in filenames:
                    print("%s run %d: the foreign archive was unpacked" % (mode, n))
                    failures += 1
        print("%s: %d runs, step said %s" % (mode, sum(outcomes.values()), outcomes))
    for path in (HOST_ROOT, OUTSIDE, os.path.dirname(foreign_archive)):
        shutil.rmtree(path, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
