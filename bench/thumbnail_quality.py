#!/usr/bin/python3
"""Thumbnail quality: output image 1 (150 pixels wide, beside a 640-pixel image 2, as a run
makes them) of every photo, rendered by `snapfolio-cli render --png`, against an independent
area average of the full-size decoding (Pillow's box filter to the same size). Prints the PSNR
in dB per photo; photos that are not shrunk are listed without a figure. Orientation and colour
profiles are off on both sides, so that only the scaling is compared. It judges nothing.

usage: bench/thumbnail_quality.py [PHOTO_DIR] [BUILD_DIR]
"""
import math
import os
import subprocess
import sys
import tempfile

from PIL import Image

here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
photos = sys.argv[1] if len(sys.argv) > 1 else os.environ.get(
    "SNAPFOLIO_PHOTOS", os.path.expanduser("~/.cache/snapfolio/photos"))
build = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "build", "default")
cli = os.path.join(build, "src", "snapfolio-cli")

SETTINGS = ["Pict1Options/GAZOU1=1", "Pict1Options/WIDTH1=150", "Pict1Options/PRIFN1=t_",
            "Pict1Options/ATADJ1=0", "OutStyl/TIMSTMP1=0", "Pict2Options/GAZOU2=1",
            "Pict2Options/WIDTH2=640", "Pict2Options/AFTFN2=_l", "Pict2Options/ATADJ2=0",
            "OutStyl/TIMSTMP2=0", "PhotoOptions/ORIENTATION=0", "PhotoOptions/COLORPROFILE=0"]


def psnr(a, b):
    pa, pb = a.tobytes(), b.tobytes()
    se = sum((x - y) * (x - y) for x, y in zip(pa, pb))
    if se == 0:
        return math.inf
    return 10 * math.log10(255 * 255 * len(pa) / se)


def main():
    names = sorted(n for n in os.listdir(photos) if n.lower().endswith((".jpg", ".jpeg")))
    with tempfile.TemporaryDirectory() as work:
        for name in names:
            png = os.path.join(work, "out.png")
            args = [cli, "render", os.path.join(photos, name), "--image", "1", "--png", png,
                    "--settings", os.path.join(work, "s.ini")]
            for s in SETTINGS:
                args += ["--set", s]
            done = subprocess.run(args, capture_output=True)
            if not os.path.exists(png):
                print(f"{name:24s} not rendered (exit {done.returncode})")
                continue
            ours = Image.open(png).convert("RGB")
            os.remove(png)
            full = Image.open(os.path.join(photos, name))
            if full.width <= ours.width:
                print(f"{name:24s} not shrunk ({full.width} wide)")
                continue
            full = full.convert("RGB")
            reference = full.resize(ours.size, Image.Resampling.BOX)
            print(f"{name:24s} {psnr(ours, reference):6.2f} dB  ({full.width}x{full.height}"
                  f" -> {ours.width}x{ours.height})")


main()
