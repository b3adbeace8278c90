#!/usr/bin/env python3
"""The album as a visitor sees it: snapfolio-cli converts the fifteen fixture photos with the
shipped template, and a headless Chromium opens the page from disk and is asked what it shows.

Checks, with the template and page name fields left empty as a new user leaves them: every
image of the page loaded, every link to output image 2 names an existing file that the browser
decodes at 640 pixels, each photo's name and date are shown, in the order of the run, once
each. At 1280 and 390 pixels and at device scale factor 2 every thumbnail loads whole (its own
aspect within a pixel), at 2x from output image 2, without layout shift or sideways scrolling.
The viewer opens on a click, moves with the arrow keys, closes with Escape and with the back
button; without JavaScript a thumbnail leads to its large image. A run stopped after its first
photo, and photos named with "#", "?", "%", a blank and markup beside one that fails, give
pages whose every image and link resolves and whose names stay text. Screenshots (desktop,
phone, viewer) go to --screenshots.

The kept album (`snapfolio-cli album` over a nested tree, originals copied): on every page at
1x and 2x every image, link, srcset candidate, original and the shared script resolves, the
grid's thumbnails come from their 2x size at 2x, and nothing shifts; a deep link (#p=NAME)
opens its photo, the next photo replaces the address and back leaves the viewer; a page of
5,000 photos (a page's own entries repeated) fetches at most 40 images before the first scroll.

Environment: SNAPFOLIO_CLI, SNAPFOLIO_PHOTOS (as CTest sets them), TZ (dates are local
times), CHROMIUM (optional; default `chromium` on the PATH).
Exit status: 0 all checks passed, 1 a check failed or something needed is missing.
"""

import argparse
import base64
import os
import re
import shutil
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
({scrollWidth: document.documentElement.scrollWidth, innerWidth: window.innerWidth})
"""

# Installed before the page loads: adds up the page's layout shifts (those not caused by input).
CLS_JS = r"""
window.__shifts = 0;
new PerformanceObserver((list) => {
  for (const e of list.getEntries()) if (!e.hadRecentInput) window.__shifts += e.value;
}).observe({type: 'layout-shift', buffered: true});
"""

# JavaScript that scrolls each image of a list into view and waits until it has loaded or failed,
# then scrolls back to the top and waits two frames.
SETTLE_IMAGES_JS = r"""
  for (const img of IMAGES) {
    img.scrollIntoView({block: 'center'});
    if (!img.complete) await new Promise((r) => {
      img.addEventListener('load', r, {once: true});
      img.addEventListener('error', r, {once: true});
      setTimeout(r, 5000);
    });
  }
  window.scrollTo(0, 0);
  await new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)));
"""

# After every thumbnail has loaded: how each is drawn, and the layout shift so far.
VIEWPORT_JS = r"""
(async () => {
""" + SETTLE_IMAGES_JS.replace("IMAGES", "document.querySelectorAll('img.thumb')") + r"""
  return {
    shifts: window.__shifts,
    scrollWidth: document.documentElement.scrollWidth, innerWidth: window.innerWidth,
    // naturalWidth of a srcset choice is scaled by its density: the file's own size is read
    // from a plain image of the chosen source.
    thumbs: await Promise.all(Array.from(document.querySelectorAll('img.thumb'), async (img) => {
      const r = img.getBoundingClientRect();
      const file = new Image();
      file.src = img.currentSrc;
      await file.decode().catch(() => {});
      return {name: img.closest('figure').querySelector('.name').innerText,
              currentSrc: img.currentSrc, link: img.closest('a').href, complete: img.complete,
              naturalWidth: file.naturalWidth, naturalHeight: file.naturalHeight,
              width: r.width, height: r.height,
              fit: getComputedStyle(img).objectFit};
    })),
  };
})()
"""

VIEWER_JS = r"""
(() => {
  const d = document.querySelector('dialog.viewer');
  const img = d.querySelector('.viewer-image');
  return {open: d.open, src: img ? img.src : null, name: d.querySelector('.viewer-name').innerText,
          count: d.querySelector('.viewer-count').innerText, href: location.href,
          loaded: img ? img.complete && img.naturalWidth : 0};
})()
"""

# Every image and every link of the page leads to a file that the browser decodes.
RESOLVES_JS = r"""
(async () => {
  const load = (url) => new Promise((resolve) => {
    const img = new Image();
    img.onload = () => resolve(img.naturalWidth > 0);
    img.onerror = () => resolve(false);
    img.src = url;
  });
  const urls = [...Array.from(document.images, (i) => i.src), ...Array.from(document.links, (a) => a.href)];
  const broken = [];
  for (const url of urls) if (!(await load(url))) broken.push(url);
  return {count: urls.length, broken,
          names: Array.from(document.querySelectorAll('figure.photo .name'), (e) => e.innerText),
          alts: Array.from(document.querySelectorAll('img.thumb'), (e) => e.alt),
          foreign: document.querySelectorAll('body b, body i, body script').length};
})()
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


def convert(cli, photo_paths, work, out, extra=None, stop_after_first=False):
    """Runs snapfolio-cli convert as a new user would: the template and page name fields left
    empty (the shipped template, index.html). With stop_after_first, presses Ctrl+C as soon
    as the first output image exists. Returns the exit status and stderr."""
    settings = {
        "Pict1Options/GAZOU1": "1", "Pict1Options/WIDTH1": str(THUMB_WIDTH),
        "Pict1Options/PRIFN1": PREFIX1, "Pict1Options/AFTFN1": "",
        "Pict2Options/GAZOU2": "1", "Pict2Options/WIDTH2": str(LARGE_WIDTH),
        "Pict2Options/PRIFN2": "", "Pict2Options/AFTFN2": SUFFIX2,
        "OutStyl/HTMLCK": "1", "OutStyl/HTMLFIL": "", "OutStyl/ALBMTITL": TITLE,
        "OutStyl/HTMLTMP": "", **(extra or {}),
    }
    args = [cli, "convert", "--settings", os.path.join(work, "Snapfolio.ini"), "--out", out]
    for key, value in settings.items():
        args += ["--set", f"{key}={value}"]
    if stop_after_first:
        # One photo at a time: on several workers the photos behind the first may all be made
        # and written before the signal arrives.
        args += ["--jobs", "1"]
    args += photo_paths
    with subprocess.Popen(args, cwd=work, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                          text=True) as run:
        if stop_after_first:
            deadline = time.monotonic() + 300
            while not os.listdir(out) and run.poll() is None and time.monotonic() < deadline:
                time.sleep(0.05)
            run.send_signal(signal.SIGINT)
        _, err = run.communicate(timeout=900)
    return run.returncode, err


def check_page(report, linked_widths, out, photos_dir, checks):
    checks.expect(report["title"] == f"{TITLE}（写真アルバム）", f"title: {report['title']!r}")
    checks.expect(report["heading"] == TITLE, f"heading: {report['heading']!r}")

    images = report["images"]
    checks.expect(len(images) == len(PHOTOS), f"{len(images)} images on the page, not 15")
    for img in images:
        name = os.path.basename(file_of(img["src"]) or img["src"])
        checks.expect(img["complete"] and img["naturalWidth"] > 0, f"image {name} did not load")
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


def check_viewport(browser, page, width, height, scale, mobile, checks):
    """Loads the page afresh at this size and checks how the thumbnails are drawn."""
    where = f"{width} px at {scale}x"
    browser.send("Emulation.setDeviceMetricsOverride",
                 {"width": width, "height": height, "deviceScaleFactor": scale, "mobile": mobile})
    browser.send("Network.clearBrowserCache")
    browser.navigate("file://" + urllib.parse.quote(page), timeout=60)
    report = browser.evaluate(VIEWPORT_JS, timeout=120)
    checks.expect(report["shifts"] == 0, f"{where}: cumulative layout shift {report['shifts']}")
    checks.expect(report["scrollWidth"] <= report["innerWidth"],
                  f"{where}: the page scrolls sideways ({report['scrollWidth']} px)")
    checks.expect(len(report["thumbs"]) == len(PHOTOS), f"{where}: {len(report['thumbs'])} thumbs")
    for t in report["thumbs"]:
        if not checks.expect(t["complete"] and t["naturalWidth"] > 0,
                             f"{where}: {t['name']} did not load"):
            continue
        # Whole pictures: the drawn box has the picture's own aspect, within a pixel.
        drawn_height = t["width"] * t["naturalHeight"] / t["naturalWidth"]
        checks.expect(abs(drawn_height - t["height"]) <= 1 and t["fit"] in ("fill", "none"),
                      f"{where}: {t['name']} drawn {t['width']:.1f} x {t['height']:.1f}, "
                      f"the picture is {t['naturalWidth']} x {t['naturalHeight']}")
        if scale == 2:
            checks.expect(t["currentSrc"] == t["link"],
                          f"{where}: {t['name']} shows {t['currentSrc']}, not output image 2")
    return report


def key(browser, name, code):
    for kind in ("keyDown", "keyUp"):
        browser.send("Input.dispatchKeyEvent", {"type": kind, "key": name, "code": name,
                                                "windowsVirtualKeyCode": code})


def click_thumb(browser, index):
    box = browser.evaluate(f"""(() => {{
      const img = document.querySelectorAll('img.thumb')[{index}];
      img.scrollIntoView({{block: 'center'}});
      const r = img.getBoundingClientRect();
      return {{x: r.x + r.width / 2, y: r.y + r.height / 2}};
    }})()""")
    for kind in ("mousePressed", "mouseReleased"):
        browser.send("Input.dispatchMouseEvent", {"type": kind, "x": box["x"], "y": box["y"],
                                                  "button": "left", "clickCount": 1})


def settle(browser, condition, timeout=10):
    """Waits until the JavaScript condition holds; its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = browser.evaluate(condition)
        if value or time.monotonic() > deadline:
            return value
        time.sleep(0.1)


def check_viewer(browser, page, checks, shot):
    links = browser.evaluate("Array.from(document.querySelectorAll('a.full'), (a) => a.href)")
    click_thumb(browser, 2)
    opened = settle(browser, "(() => { const d = document.querySelector('dialog.viewer');"
                             " const i = d.querySelector('.viewer-image');"
                             " return d.open && i && i.complete && i.naturalWidth > 0; })()")
    viewer = browser.evaluate(VIEWER_JS)
    checks.expect(opened and viewer["src"] == links[2] and viewer["loaded"] == LARGE_WIDTH,
                  f"a click on the third thumbnail shows {viewer}")
    checks.expect(viewer["name"] == PHOTOS[2] and viewer["count"] == f"3 / {len(PHOTOS)}",
                  f"the viewer's caption: {viewer['name']!r} {viewer['count']!r}")
    shot()
    key(browser, "ArrowRight", 39)
    checks.expect(browser.evaluate(VIEWER_JS)["src"] == links[3], "ArrowRight does not move on")
    key(browser, "ArrowLeft", 37)
    key(browser, "ArrowLeft", 37)
    checks.expect(browser.evaluate(VIEWER_JS)["src"] == links[1], "ArrowLeft does not move back")
    key(browser, "Escape", 27)
    closed = settle(browser, "!document.querySelector('dialog.viewer').open")
    checks.expect(closed, "Escape does not close the viewer")
    after = settle(browser, f"location.href === {page!r} && history.state === null")
    checks.expect(after, f"after Escape the page is {browser.evaluate('location.href')}")

    click_thumb(browser, 0)
    checks.expect(settle(browser, "document.querySelector('dialog.viewer').open"),
                  "the viewer does not open a second time")
    browser.evaluate("history.back()")
    closed = settle(browser, "!document.querySelector('dialog.viewer').open")
    checks.expect(closed and browser.evaluate("location.href") == page,
                  f"the back button leaves the viewer open or the page "
                  f"({browser.evaluate('location.href')})")


def check_without_javascript(browser, page, checks):
    browser.send("Emulation.setScriptExecutionDisabled", {"value": True})
    browser.navigate(page, timeout=60)
    link = browser.evaluate("document.querySelectorAll('a.full')[1].href")
    browser.clear_events()
    click_thumb(browser, 1)
    browser.wait_event("Page.loadEventFired", 30)
    shown = browser.evaluate("location.href")
    checks.expect(shown == link, f"without JavaScript a thumbnail leads to {shown}, not {link}")
    browser.send("Emulation.setScriptExecutionDisabled", {"value": False})


def check_links_resolve(browser, page, names, what, checks):
    """The page of a run that did not make every photo: every image and link resolves, and the
    page shows exactly `names` as text."""
    browser.navigate("file://" + urllib.parse.quote(page), timeout=60)
    report = browser.evaluate(RESOLVES_JS, timeout=120)
    checks.expect(not report["broken"], f"{what}: broken references {report['broken']}")
    checks.expect(report["count"] == 2 * len(names), f"{what}: {report['count']} references")
    checks.expect(report["names"] == names, f"{what}: names shown {report['names']}")
    checks.expect(report["foreign"] == 1, f"{what}: a file name became markup")
    return report


def screenshot(browser, path, width, height, scale, mobile):
    browser.send("Emulation.setDeviceMetricsOverride",
                 {"width": width, "height": height, "deviceScaleFactor": scale, "mobile": mobile})
    browser.evaluate("new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r)))")
    shot = browser.send("Page.captureScreenshot", {"format": "png"})
    with open(path, "wb") as f:
        f.write(base64.b64decode(shot["data"]))


# -- The kept album: a nested site made by `snapfolio-cli album` -------------------------------

KEPT_TREE = {  # folder in the source -> photos
    "": ["dslr-420.jpeg", "grey-exif.jpg"],
    "旅行 2024": ["phone-420.jpg", "portrait-exif6.jpg", "tiny.JPG"],
    "旅行 2024/a#b 100%": ["panorama.jpg", "dark.jpg"],
}
KEPT_BASE = "https://example.org/album/"

# Every image scrolled into view and settled; then what the page names, resolved.
KEPT_REPORT_JS = r"""
(async () => {
""" + SETTLE_IMAGES_JS.replace("IMAGES", "document.images") + r"""
  const abs = (u) => new URL(u, location.href).href;
  const set = (s) => (s || '').split(',').map((c) => c.trim().split(' ')[0]).filter(Boolean).map(abs);
  const refs = [];
  for (const img of document.images) refs.push(img.src, ...set(img.getAttribute('srcset')));
  for (const a of document.querySelectorAll('a[href]')) refs.push(a.href);
  for (const a of document.querySelectorAll('a.photo')) {
    refs.push(...set(a.dataset.srcset));
    if (a.dataset.original) refs.push(abs(a.dataset.original));
  }
  for (const s of document.scripts) if (s.src) refs.push(s.src);
  return {
    refs, shifts: window.__shifts,
    unloaded: Array.from(document.images).filter((i) => !(i.complete && i.naturalWidth > 0)).map((i) => i.src),
    grid: Array.from(document.querySelectorAll('.grid img'), (img) => {
      const two = (img.getAttribute('srcset') || '').split(',').map((c) => c.trim().split(' '))
        .find((c) => c[1] === '2x');
      return {current: img.currentSrc, two: two ? abs(two[0]) : null};
    }),
  };
})()
"""

KEPT_VIEWER_JS = r"""
(() => {
  const d = document.querySelector('dialog.viewer');
  const img = d.querySelector('.viewer-image');
  return {open: d.open, name: d.querySelector('.viewer-name').textContent, hash: location.hash,
          href: location.href, src: img ? img.currentSrc : null};
})()
"""


def make_kept_site(cli, photos_dir, work):
    """The nested source tree and its site (originals copied, a base URL for the og: tags)."""
    src, site = os.path.join(work, "kept-src"), os.path.join(work, "kept-site")
    for folder, names in KEPT_TREE.items():
        os.makedirs(os.path.join(src, folder), exist_ok=True)
        for name in names:
            shutil.copy(os.path.join(photos_dir, name), os.path.join(src, folder, name))
    run = subprocess.run([cli, "album", src, "--out", site, "--originals", "copy",
                          "--base-url", KEPT_BASE], stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE, text=True, timeout=600)
    if run.returncode != 0:
        sys.exit(f"FAIL: snapfolio-cli album exited with {run.returncode}:\n{run.stderr}")
    return site


def check_kept_pages(browser, site, checks):
    """Every page at 1x and 2x: every reference resolves, the 2x thumbnails load at 2x, no
    layout shift."""
    pages = sorted(os.path.join(d, "index.html") for d, _, files in os.walk(site)
                   if "index.html" in files)
    checks.expect(len(pages) == len(KEPT_TREE), f"kept site: {len(pages)} pages")
    for page in pages:
        for scale in (1, 2):
            where = f"kept {os.path.relpath(page, site)} at {scale}x"
            browser.send("Emulation.setDeviceMetricsOverride",
                         {"width": 1280, "height": 900, "deviceScaleFactor": scale,
                          "mobile": False})
            browser.send("Network.clearBrowserCache")
            browser.navigate("file://" + urllib.parse.quote(page), timeout=60)
            report = browser.evaluate(KEPT_REPORT_JS, timeout=120)
            missing = sorted({u for u in report["refs"] if not os.path.isfile(file_of(u) or "")})
            checks.expect(not missing, f"{where}: references lead nowhere: {missing}")
            checks.expect(not report["unloaded"], f"{where}: images not loaded {report['unloaded']}")
            checks.expect(report["shifts"] == 0, f"{where}: layout shift {report['shifts']}")
            wanted = [g["two"] if scale == 2 else None for g in report["grid"]]
            chosen = [g["current"] if scale == 2 else None for g in report["grid"]]
            checks.expect(chosen == wanted, f"{where}: thumbnails {chosen}, not {wanted}")
    return pages


def check_kept_history(browser, page, checks):
    """A deep link opens its photo; next replaces the address; back leaves the viewer."""
    browser.send("Emulation.setDeviceMetricsOverride",
                 {"width": 1280, "height": 900, "deviceScaleFactor": 1, "mobile": False})
    url = "file://" + urllib.parse.quote(page)
    browser.navigate(url, timeout=60)
    names = browser.evaluate("Array.from(document.querySelectorAll('a.photo'), (a) => a.dataset.name)")
    deep = url + "#p=" + urllib.parse.quote(names[1])
    browser.navigate("about:blank")
    browser.navigate(deep, timeout=60)
    opened = settle(browser, "(() => { const i = document.querySelector('.viewer-image');"
                             " return document.querySelector('dialog.viewer').open && i &&"
                             " i.complete && i.naturalWidth > 0; })()")
    viewer = browser.evaluate(KEPT_VIEWER_JS)
    if not checks.expect(opened and viewer["name"] == names[1],
                         f"the deep link {deep} shows {viewer}"):
        return
    key(browser, "ArrowRight", 39)
    viewer = browser.evaluate(KEPT_VIEWER_JS)
    checks.expect(urllib.parse.unquote(viewer["hash"]) == "#p=" + names[2],
                  f"the next photo's address: {viewer['hash']}")
    browser.evaluate("history.back()")
    closed = settle(browser, "!document.querySelector('dialog.viewer').open")
    checks.expect(closed and browser.evaluate("location.href") == url,
                  f"back leaves the viewer open or the page ({browser.evaluate('location.href')})")


def check_kept_first_screen(browser, page, checks, count=5000, most=40):
    """A page of `count` photos (the page's own entries repeated, each thumbnail under its own
    address) fetches at most `most` images before the first scroll."""
    with open(page, encoding="utf-8") as f:
        html = f.read()
    start = html.index('<div class="grid">\n') + len('<div class="grid">\n')
    end = html.index("</div>", start)
    entries = html[start:end].splitlines(keepends=True)
    big = []
    for i in range(count):
        entry = entries[i % len(entries)]
        big.append(re.sub(r'(_img/[^" ,]+)', lambda m: f"{m.group(1)}?n={i}", entry))
    path = os.path.join(os.path.dirname(page), "many.html")
    with open(path, "w", encoding="utf-8") as f:
        f.write(html[:start] + "".join(big) + html[end:])
    browser.send("Emulation.setDeviceMetricsOverride",
                 {"width": 1280, "height": 900, "deviceScaleFactor": 1, "mobile": False})
    browser.send("Network.enable")
    browser.send("Network.clearBrowserCache")
    began = time.monotonic()
    browser.navigate("file://" + urllib.parse.quote(path), timeout=60)
    opened = time.monotonic() - began
    browser.evaluate("new Promise((r) => setTimeout(r, 1000))")
    fetched = {e["request"]["url"] for e in browser.events("Network.requestWillBeSent")
               if e.get("type") == "Image"}
    browser.send("Network.disable")
    os.remove(path)
    checks.expect(0 < len(fetched) <= most,
                  f"{count} photos: {len(fetched)} images fetched before scrolling")
    return len(fetched), opened


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
    shots = {name: os.path.join(options.screenshots, f"album-{name}.png")
             for name in ("desktop", "phone", "viewer")}

    # CTest's timeout ends us with SIGTERM: leave through the cleanups (browser, temp files).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("FAIL: terminated"))
    checks = Checks()
    with tempfile.TemporaryDirectory(prefix="snapfolio-e2e-") as work:
        out = os.path.join(work, "album")
        os.mkdir(out)
        status, err = convert(cli, [os.path.join(photos_dir, n) for n in PHOTOS], work, out)
        if status != 0:
            sys.exit(f"FAIL: snapfolio-cli convert exited with {status}:\n{err}")
        page = os.path.join(out, "index.html")
        if not os.path.isfile(page):
            sys.exit("FAIL: the conversion wrote no index.html")

        # A stopped run, and photos that fail or have names that URLs treat specially.
        stopped = os.path.join(work, "stopped")
        os.mkdir(stopped)
        convert(cli, [os.path.join(photos_dir, n) for n in PHOTOS], work, stopped,
                stop_after_first=True)
        reached = sorted(n for n in PHOTOS if os.path.isfile(os.path.join(stopped, PREFIX1 + n)))
        odd = os.path.join(work, "odd")
        os.makedirs(os.path.join(odd, "in"))
        os.mkdir(os.path.join(odd, "out"))
        fixtures = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures")
        odd_names = ["a#1.jpg", "what?.jpg", "100%.jpg", "with space.jpg", "<b>&\"i\".jpg",
                     "broken.jpg", "z.jpg"]
        for name in odd_names:
            source = "garbage.jpg" if name == "broken.jpg" else "baseline-small.jpg"
            shutil.copy(os.path.join(fixtures, source), os.path.join(odd, "in", name))
        status, err = convert(cli, [os.path.join(odd, "in", n) for n in odd_names], work,
                              os.path.join(odd, "out"))
        checks.expect(status == 1 and "ERROR" in err, f"the broken photo was not reported: {err}")

        kept_site = make_kept_site(cli, photos_dir, work)

        log = os.path.join(options.screenshots, "chromium.log")
        try:
            with Browser(chromium, log_path=log) as browser:
                browser.open_page()
                browser.send("Page.addScriptToEvaluateOnNewDocument", {"source": CLS_JS})
                browser.send("Emulation.setDeviceMetricsOverride",
                             {"width": 1280, "height": 900, "deviceScaleFactor": 1,
                              "mobile": False})
                url = "file://" + urllib.parse.quote(page)
                browser.navigate(url, timeout=60)
                report = browser.evaluate(PAGE_REPORT_JS, timeout=120)
                linked_widths = browser.evaluate(LINKED_WIDTHS_JS, timeout=60)
                check_page(report, linked_widths, out, photos_dir, checks)

                check_viewport(browser, page, 390, 844, 2, True, checks)
                screenshot(browser, shots["phone"], 390, 844, 2, True)
                check_viewport(browser, page, 1280, 900, 2, False, checks)
                check_viewport(browser, page, 1280, 900, 1, False, checks)
                screenshot(browser, shots["desktop"], 1280, 900, 1, False)
                check_viewer(browser, url, checks,
                             lambda: screenshot(browser, shots["viewer"], 1280, 900, 1, False))
                check_without_javascript(browser, url, checks)

                checks.expect(0 < len(reached) < len(PHOTOS),
                              f"the stop did not end the run early: {len(reached)} photos")
                check_links_resolve(browser, os.path.join(stopped, "index.html"),
                                    [n for n in PHOTOS if n in reached], "stopped run", checks)
                shown = [n for n in odd_names if n != "broken.jpg"]
                odd_page = check_links_resolve(browser, os.path.join(odd, "out", "index.html"),
                                               shown, "odd names", checks)
                checks.expect(odd_page["alts"] == [f"{n}（{expected_date(os.path.join(odd, 'in', n))}）"
                                                   for n in shown],
                              f"odd names: alt texts {odd_page['alts']}")
                check_kept_pages(browser, kept_site, checks)
                kept_sub = os.path.join(kept_site, "旅行 2024", "index.html")
                check_kept_history(browser, kept_sub, checks)
                fetched, opened = check_kept_first_screen(browser, kept_sub, checks)
        except DevToolsError as e:
            sys.exit(f"FAIL: Chromium: {e} (its output is in {log})")

    for failure in checks.failures:
        print("FAIL:", failure)
    if checks.failures:
        return 1
    print(f"album page checked in Chromium: 15 photos at 1280 and 390 px and at 2x, the viewer, "
          f"without JavaScript; a stopped run ({len(reached)} photos) and odd names; "
          f"screenshots {', '.join(shots.values())}; the kept album's {len(KEPT_TREE)} pages "
          f"at 1x and 2x, its deep link and back button, 5,000 photos: {fetched} images "
          f"fetched before scrolling, loaded in {opened:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
