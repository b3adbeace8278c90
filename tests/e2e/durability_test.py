#!/usr/bin/env python3
"""snapfolio-cli killed with SIGKILL at random moments of a run of 60 photos (two of them named in
Latin-1 and Shift-JIS bytes), with the settings stored (--save) and an album page. After each
kill: every output JPEG decodes without a warning (djpeg), the page is one that a whole run
wrote, and the settings file holds whole batches of one run or the other. After a last whole
run no temporary file is left, and the byte-named photos are converted and linked by their
bytes. Prints the seed and every kill moment.

Environment: SNAPFOLIO_CLI, SNAPFOLIO_PHOTOS; SNAPFOLIO_SEED repeats a series of moments.
Exit status 77 without djpeg (libjpeg-turbo-progs) or without the sample photos.
"""

import configparser
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

KILLS = 10
COPIES = 5  # of each small sample photo: 60 photos
BYTE_NAMES = [b"caf\xe9.jpg", b"\x93\xfa\x96\x7b.jpg"]  # Latin-1, Shift-JIS
TEMPLATE = "<html>\n<!--$LOOP-->$JPEG1 $JPEG2 $FILEDATE\n<!--$/LOOP--></html>\n"
# Two option sets; runs alternate between them. The run's end batch stores all of these keys.
SETS = {
    "A": {"Pict1Options/WIDTH1": "150", "Pict2Options/WIDTH2": "640",
          "Pict2Options/AFTFN2": "_A", "OutStyl/ALBMTITL": "A"},
    "B": {"Pict1Options/WIDTH1": "120", "Pict2Options/WIDTH2": "480",
          "Pict2Options/AFTFN2": "_B", "OutStyl/ALBMTITL": "B"},
}
PREFIX = {"A": "a_", "B": "b_"}  # image 1's prefix, stored by the run's start batch


def command(tmp, photos, name):
    args = [os.environ["SNAPFOLIO_CLI"], "convert", "--settings", "s.ini", "--save",
            "--out", "out", "--set", "Pict1Options/PRIFN1=" + PREFIX[name],
            "--set", "OutStyl/HTMLCK=1", "--set", "OutStyl/HTMLFIL=index.html",
            "--set", "OutStyl/HTMLTMP=" + os.path.join(tmp, "t.dat")]
    for key, value in SETS[name].items():
        args += ["--set", f"{key}={value}"]
    return [a.encode() for a in args] + photos


def run_whole(tmp, photos, name):
    started = time.monotonic()
    done = subprocess.run(command(tmp, photos, name), cwd=tmp, capture_output=True)
    if done.returncode != 0:
        sys.exit(f"durability_test: the run {name} failed:\n{done.stderr.decode(errors='replace')}")
    return time.monotonic() - started


def problems_after_kill(tmp, pages):
    found = []
    out = os.path.join(tmp, "out")
    for entry in sorted(os.listdir(out)):
        if entry.endswith(".jpg") or entry.endswith(".jpeg"):
            check = subprocess.run(["djpeg", "-outfile", os.devnull, os.path.join(out, entry)],
                                   capture_output=True)
            if check.returncode != 0 or check.stderr:
                found.append(f"{entry}: {check.stderr.decode(errors='replace').strip()}")
    with open(os.path.join(out, "index.html"), "rb") as f:
        if f.read() not in pages:
            found.append("the page is no page a whole run wrote")
    ini = configparser.ConfigParser(interpolation=None)
    ini.optionxform = str
    try:
        with open(os.path.join(tmp, "s.ini"), encoding="utf-8") as f:
            ini.read_string(f.read())
    except (configparser.Error, UnicodeDecodeError) as e:
        return found + [f"the settings file is torn: {e}"]
    stored = {key: ini.get(*key.split("/"), fallback=None) for key in SETS["A"]}
    if stored not in SETS.values():
        found.append(f"the settings mix two runs' end batches: {stored}")
    if ini.get("Pict1Options", "PRIFN1", fallback=None) not in PREFIX.values():
        found.append("the settings lost the start batch")
    return found


def main():
    if shutil.which("djpeg") is None or not os.environ.get("SNAPFOLIO_PHOTOS"):
        print("durability_test: djpeg (libjpeg-turbo-progs) or the sample photos "
              "(tests/fixtures/fetch-photos.sh) are missing; skipped")
        return 77
    seed = int(os.environ.get("SNAPFOLIO_SEED", time.time_ns() % 1000000))
    print(f"seed {seed}")
    moments = random.Random(seed)
    samples = sorted(n for n in os.listdir(os.environ["SNAPFOLIO_PHOTOS"])
                     if os.path.getsize(os.path.join(os.environ["SNAPFOLIO_PHOTOS"], n)) < 2 << 20)
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        os.mkdir(os.path.join(tmp, "in"))
        os.mkdir(os.path.join(tmp, "out"))
        with open(os.path.join(tmp, "t.dat"), "w", encoding="utf-8") as f:
            f.write(TEMPLATE)
        photos = []
        for copy in range(COPIES):
            for sample in samples:
                name = f"{len(photos):02d}-{sample}".encode()
                if len(photos) < len(BYTE_NAMES):
                    name = BYTE_NAMES[len(photos)]
                photos.append(os.path.join(tmp.encode(), b"in", name))
                shutil.copyfile(os.path.join(os.environ["SNAPFOLIO_PHOTOS"], sample), photos[-1])

        pages = set()
        seconds = 0.0
        for name in ("A", "B"):
            seconds = max(seconds, run_whole(tmp, photos, name))
            with open(os.path.join(tmp, "out", "index.html"), "rb") as f:
                pages.add(f.read())
        print(f"{len(photos)} photos, a whole run takes {seconds:.1f} s")

        for kill in range(KILLS):
            name = "AB"[kill % 2]
            delay = moments.uniform(0.05, seconds)
            process = subprocess.Popen(command(tmp, photos, name), cwd=tmp,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(delay)
            process.kill()
            process.wait()
            found = problems_after_kill(tmp, pages)
            print(f"kill {kill + 1} at {delay:.2f} s of run {name}: "
                  + ("; ".join(found) if found else "whole"))
            failures += found

        run_whole(tmp, photos, "A")
        left = [n for n in os.listdir(tmp) if n not in ("in", "out", "s.ini", "t.dat")]
        left += [n for n in os.listdir(os.path.join(tmp, "out")) if n.startswith(".")]
        if left:
            failures.append(f"temporary files left: {left}")
        out = os.listdir(os.path.join(tmp, "out").encode())
        with open(os.path.join(tmp, "out", "index.html"), "rb") as f:
            page = f.read()
        for name, escaped in zip(BYTE_NAMES, [b"caf%E9", b"%93%FA%96%7B"]):
            if b"a_" + name not in out or name.replace(b".jpg", b"_A.jpg") not in out:
                failures.append(f"the photo {name!r} was not converted under its own bytes")
            if b"a_" + escaped + b".jpg" not in page:
                failures.append(f"the page does not link {name!r} by its bytes")

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
