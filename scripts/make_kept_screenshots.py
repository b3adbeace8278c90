#!/usr/bin/env python3
"""Takes the README's pictures of the kept album: `snapfolio-cli album` makes a nested site of
sample photos, and headless Chromium photographs a nested album page (its way back up, a
subalbum card and its photos) and the viewer open on a photo through its address (#p=NAME).

usage: make_kept_screenshots.py --cli SNAPFOLIO_CLI --photos DIR --out DIR
"""

import argparse
import base64
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.parse

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "e2e"))
from devtools_pipe import Browser, find_chromium  # noqa: E402

TREE = {
    "": ["landscape-20mp.jpg", "panorama.jpg"],
    "2024 秋の散歩": ["dslr-420.jpeg", "phone-420.jpg", "portrait-exif6.jpg", "progressive.jpg",
                  "icc-srgb-444.jpg", "dark.jpg", "icc-adobergb.jpg"],
    "2024 秋の散歩/公園": ["grey-exif.jpg", "portrait-13mp.JPG", "landscape-18mp.jpg"],
}
PAGE = "2024 秋の散歩"
VIEWED = "phone-420.jpg"


def shoot(browser, path):
    browser.evaluate("new Promise((r) => setTimeout(() => requestAnimationFrame(() =>"
                     " requestAnimationFrame(r)), 300))")
    shot = browser.send("Page.captureScreenshot", {"format": "png"})
    pathlib.Path(path).write_bytes(base64.b64decode(shot["data"]))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", required=True)
    parser.add_argument("--photos", required=True)
    parser.add_argument("--out", required=True)
    options = parser.parse_args()
    chromium = find_chromium()
    if not chromium:
        sys.exit("Chromium not found")
    os.makedirs(options.out, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="snapfolio-kept-shots-") as work:
        src, site = os.path.join(work, "photos"), os.path.join(work, "site")
        for folder, names in TREE.items():
            os.makedirs(os.path.join(src, folder), exist_ok=True)
            for name in names:
                shutil.copy(os.path.join(options.photos, name), os.path.join(src, folder, name))
        subprocess.run([options.cli, "album", src, "--out", site, "--title", "写真アルバム"],
                       check=True, env={**os.environ, "LANG": "ja_JP.UTF-8"})
        page = "file://" + urllib.parse.quote(os.path.join(site, PAGE, "index.html"))
        with Browser(chromium) as browser:
            browser.open_page()
            browser.send("Emulation.setDeviceMetricsOverride",
                         {"width": 1280, "height": 800, "deviceScaleFactor": 1, "mobile": False})
            browser.navigate(page, timeout=60)
            browser.evaluate("Promise.all(Array.from(document.images, (i) => i.decode()"
                             ".catch(() => {})))", timeout=60)
            shoot(browser, os.path.join(options.out, "kept-album-page.png"))
            browser.navigate("about:blank")
            browser.navigate(page + "#p=" + urllib.parse.quote(VIEWED), timeout=60)
            deadline = time.monotonic() + 20
            while time.monotonic() < deadline and not browser.evaluate(
                    "(() => { const i = document.querySelector('.viewer-image');"
                    " return !!(i && i.complete && i.naturalWidth); })()"):
                time.sleep(0.1)
            shoot(browser, os.path.join(options.out, "kept-album-viewer.png"))
    print(f"kept album pictures in {options.out}")


if __name__ == "__main__":
    main()
