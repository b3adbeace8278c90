#!/usr/bin/env python3
"""The album as a visitor sees it: snapfolio-cli converts the fifteen fixture photos with the
shipped template, and a headless Chromium opens the page from disk and is asked what it shows.

Checks: every image of the page loaded, the thumbnails are 150 pixels wide, every link to
output image 2 names an existing file that the browser decodes at 640 pixels, each photo's
name and date are shown, in the order of the run, once each, and the phone layout has no
horizontal scrolling. Screenshots at a desktop and a phone width go to --screenshots.

Environment: SNAPFOLIO_CLI, SNAPFOLIO_PHOTOS (as CTest sets them), TZ (dates are local
times), CHROMIUM (optional; default `chromium` on the PATH).
Exit status: 0 all checks passed, 1 a check failed or something needed is missing.
"""

import argparse
import base64
import os
import signal
import subprocess
import sys
import tempfile
import time
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from devtools_pipe import Browser, DevToolsError, find_chromium  # noqa: E402

PHOTOS = [
    "landscape-18mp.jpg", "landscape-20mp.jpg", "portrait-13mp.JPG", "portrait-exif6.jpg",
    "icc-srgb-444.jpg", "progressive.jpg", "phone-420.jpg", "dslr-420.jpeg", "dark.jpg",
    "grey.jpg", "grey-exif.jpg", "cmyk.jpeg", "tiny.JPG", "icc-adobergb.jpg", "panorama.jpg",
]
TITLE = "夏の旅行 2024"
THUMB_WIDTH, LARGE_WIDTH = 150, 640
PREFIX1, SUFFIX2 = "t_", "_l"

# Scrolls every image into view (the template loads thumbnails lazily) and waits until each
# has loaded or failed, then reports what the page shows.
PAGE_REPORT_JS = r"""
(async () => {
  const settle = (img) => new Promise((resolve) => {
    if (img.complete) return resolve();
    img.addEventListener('load', resolve, {once: true});
    img.addEventListener('error', resolve, {once: true});
    setTimeout(resolve, 5000);
  });
  for (const img of document.images) {
    img.scrollIntoView({block: 'center'});
    await settle(img);
  }
  window.scrollTo(0, 0);
  const shown = (el) => {
    if (!el) return false;
    const r = el.getBoundingClientRect();
    return r.width > 0 && r.height > 0 && getComputedStyle(el).visibility !== 'hidden';
  };
  const text = (el) => (el ? el.innerText.trim() : null);
  return {
    title: document.title,
    heading: text(document.querySelector('h1 .title')),
    images: Array.from(document.images, (img) => ({
      src: img.src, thumb: img.classList.contains('thumb'), complete: img.complete,
      naturalWidth: img.naturalWidth, naturalHeight: img.naturalHeight, shown: shown(img)})),
    links: Array.from(document.links, (a) => a.href),
    photos: Array.from(document.querySelectorAll('figure.photo'), (f) => ({
      name: text(f.querySelector('.name')), nameShown: shown(f.querySelector('.name')),
      date: text(f.querySelector('.date')), dateShown: shown(f.querySelector('.date')),
      link: f.querySelector('a.full') ? f.querySelector('a.full').href : null,
      thumb: f.querySelector('img.thumb') ? f.querySelector('img.thumb').src : null})),
  };
})()
"""

# The width at which the browser decodes each linked file (0 when it cannot).
LINKED_WIDTHS_JS = r"""
Promise.all(Array.from(document.querySelectorAll('figure.photo a.full'), (a) =>
  new Promise((resolve) => {
    const img = new Image();
    img.onload = () => resolve(img.naturalWidth);
    img.onerror = () => resolve(0);
    img.src = a.href;
  })))
"""

LAYOUT_JS = r"""
({scrollWidth: document.documentElement.scrollWidth, innerWidth: window.innerWidth,
  columns: getComputedStyle(document.querySelector('.album'))
             .gridTemplateColumns.split(' ').length})
"""


class Checks:
    def __init__(self):
        self.failures = []

    def expect(self, condition, message):
        if not condition:
            self.failures.append(message)
        return condition


def expected_date(path):
    """The page's date of a photo: its modification time in local time at two-second
    resolution, "yyyy/mm/dd h:nn:ss" (the date alone at exactly midnight)."""
    t = time.localtime(int(os.stat(path).st_mtime))
    date = f"{t.tm_year:04d}/{t.tm_mon:02d}/{t.tm_mday:02d}"
    second = t.tm_sec & ~1
    if t.tm_hour == 0 and t.tm_min == 0 and second == 0:
        return date
    return f"{date} {t.tm_hour}:{t.tm_min:02d}:{second:02d}"


def file_of(url):
    parsed = urllib.parse.urlparse(url)
    return urllib.parse.unquote(parsed.path) if parsed.scheme == "file" else None


def convert(cli, photos_dir, work, out):
    template = subprocess.run([cli, "default-template"], capture_output=True, text=True,
                              timeout=60)
    if template.returncode != 0:
        sys.exit(f"FAIL: snapfolio-cli default-template: {template.stderr.strip()}")
    settings = {
        "Pict1Options/GAZOU1": "1", "Pict1Options/WIDTH1": str(THUMB_WIDTH),
        "Pict1Options/PRIFN1": PREFIX1, "Pict1Options/AFTFN1": "",
        "Pict2Options/GAZOU2": "1", "Pict2Options/WIDTH2": str(LARGE_WIDTH),
        "Pict2Options/PRIFN2": "", "Pict2Options/AFTFN2": SUFFIX2,
        "OutStyl/HTMLCK": "1", "OutStyl/HTMLFIL": "index.html", "OutStyl/ALBMTITL": TITLE,
        "OutStyl/HTMLTMP": template.stdout.strip(),
    }
    args = [cli, "convert", "--settings", os.path.join(work, "Snapfolio.ini"), "--out", out]
    for key, value in settings.items():
        args += ["--set", f"{key}={value}"]
    args += [os.path.join(photos_dir, name) for name in PHOTOS]
    run = subprocess.run(args, cwd=work, capture_output=True, text=True, timeout=900)
    if run.returncode != 0:
        sys.exit(f"FAIL: snapfolio-cli convert exited with {run.returncode}:\n{run.stderr}")


def check_page(report, linked_widths, out, photos_dir, checks):
    checks.expect(report["title"] == f"{TITLE}（写真アルバム）", f"title: {report['title']!r}")
    checks.expect(report["heading"] == TITLE, f"heading: {report['heading']!r}")

    images = report["images"]
    checks.expect(len(images) == len(PHOTOS), f"{len(images)} images on the page, not 15")
    for img in images:
        name = os.path.basename(file_of(img["src"]) or img["src"])
        if checks.expect(img["complete"] and img["naturalWidth"] > 0,
                         f"image {name} did not load"):
            if img["thumb"]:
                checks.expect(img["naturalWidth"] == THUMB_WIDTH,
                              f"thumbnail {name} is {img['naturalWidth']} pixels wide")
        checks.expect(img["shown"], f"image {name} takes no room on the page")

    for url in report["links"]:
        path = file_of(url)
        checks.expect(path is not None and os.path.isfile(path),
                      f"link {url} names no existing file")
        checks.expect(path is not None and os.path.dirname(path) == out,
                      f"link {url} leaves the output directory")

    photos = report["photos"]
    checks.expect(len(photos) == len(PHOTOS), f"{len(photos)} photo entries, not 15")
    checks.expect([p["name"] for p in photos] == PHOTOS,
                  f"photo names in page order: {[p['name'] for p in photos]}")
    for entry, name in zip(photos, PHOTOS):
        base, ext = os.path.splitext(name)
        date = expected_date(os.path.join(photos_dir, name))
        checks.expect(entry["nameShown"], f"{name}: its name is not shown")
        checks.expect(entry["dateShown"], f"{name}: its date is not shown")
        checks.expect(entry["date"] == date, f"{name}: date {entry['date']!r}, not {date!r}")
        checks.expect(file_of(entry["thumb"] or "") == os.path.join(out, PREFIX1 + name),
                      f"{name}: thumbnail {entry['thumb']}")
        checks.expect(file_of(entry["link"] or "") == os.path.join(out, base + SUFFIX2 + ext),
                      f"{name}: link to output image 2 is {entry['link']}")
    for width, name in zip(linked_widths, PHOTOS):
        checks.expect(width == LARGE_WIDTH, f"{name}: output image 2 decodes {width} wide")


def screenshot(browser, path, width, height, mobile):
    browser.send("Emulation.setDeviceMetricsOverride",
                 {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": mobile})
    browser.evaluate("new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)))")
    layout = browser.evaluate(LAYOUT_JS)
    content = browser.send("Page.getLayoutMetrics")["cssContentSize"]
    shot = browser.send("Page.captureScreenshot", {
        "format": "png", "captureBeyondViewport": True,
        "clip": {"x": 0, "y": 0, "width": width, "height": content["height"], "scale": 1}})
    with open(path, "wb") as f:
        f.write(base64.b64decode(shot["data"]))
    return layout


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--screenshots", required=True, help="directory for the PNG screenshots")
    options = parser.parse_args()

    cli = os.environ.get("SNAPFOLIO_CLI")
    photos_dir = os.environ.get("SNAPFOLIO_PHOTOS")
    if not cli or not os.access(cli, os.X_OK):
        sys.exit("FAIL: SNAPFOLIO_CLI does not name the snapfolio-cli executable")
    missing = [n for n in PHOTOS if not os.path.isfile(os.path.join(photos_dir or "", n))]
    if not photos_dir or missing:
        sys.exit(f"FAIL: fixture photos missing in SNAPFOLIO_PHOTOS={photos_dir}: {missing} "
                 "(run tests/fixtures/fetch-photos.sh)")
    chromium = find_chromium()
    if not chromium:
        sys.exit("FAIL: Chromium not found (install the Debian package `chromium`, as "
                 "scripts/setup-debian.sh does, or set CHROMIUM to its executable)")
    os.makedirs(options.screenshots, exist_ok=True)

    # CTest's timeout ends us with SIGTERM: leave through the cleanups (browser, temp files).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("FAIL: terminated"))
    checks = Checks()
    with tempfile.TemporaryDirectory(prefix="snapfolio-e2e-") as work:
        out = os.path.join(work, "album")
        os.mkdir(out)
        convert(cli, photos_dir, work, out)
        page = os.path.join(out, "index.html")
        if not os.path.isfile(page):
            sys.exit("FAIL: the conversion wrote no index.html")

        log = os.path.join(options.screenshots, "chromium.log")
        try:
            with Browser(chromium, log_path=log) as browser:
                browser.open_page()
                browser.send("Emulation.setDeviceMetricsOverride",
                             {"width": 1280, "height": 900, "deviceScaleFactor": 1,
                              "mobile": False})
                browser.navigate("file://" + urllib.parse.quote(page), timeout=60)
                report = browser.evaluate(PAGE_REPORT_JS, timeout=120)
                linked_widths = browser.evaluate(LINKED_WIDTHS_JS, timeout=60)
                check_page(report, linked_widths, out, photos_dir, checks)

                desktop = os.path.join(options.screenshots, "album-desktop.png")
                phone = os.path.join(options.screenshots, "album-phone.png")
                screenshot(browser, desktop, 1280, 900, mobile=False)
                layout = screenshot(browser, phone, 390, 844, mobile=True)
                checks.expect(layout["scrollWidth"] <= layout["innerWidth"],
                              f"phone width scrolls sideways: {layout}")
                checks.expect(layout["columns"] == 2, f"phone width shows {layout['columns']} "
                              "columns of photos, not 2")
        except DevToolsError as e:
            sys.exit(f"FAIL: Chromium: {e} (its output is in {log})")

    for failure in checks.failures:
        print("FAIL:", failure)
    if checks.failures:
        return 1
    print(f"album page checked in Chromium: 15 photos; screenshots {desktop} and {phone}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
