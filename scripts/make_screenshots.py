#!/usr/bin/env python3
"""Takes the README's pictures from the real program (run by scripts/make-screenshots.sh).

Starts `snapfolio` under Xvfb in a folder of sample photos with a realistic settings file,
previews a photo and photographs the main window (in English also its first time-stamp dialog
and the stamp's font dialog), opens the two time-stamp dialogs and the
correction dialog with their buttons and photographs each, then converts a dozen photos into
an album with "入力" (photographing the photo dialog with the photos chosen) and has headless
Chromium photograph the album page (desktop, phone, viewer).

usage: make_screenshots.py --app SNAPFOLIO --cli SNAPFOLIO_CLI --photos DIR --out DIR
"""

import argparse
import base64
import os
import pathlib
import shutil
import subprocess
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "tests" / "e2e"))
import xdriver  # noqa: E402
from devtools_pipe import Browser, find_chromium  # noqa: E402
from xdriver import Failure  # noqa: E402

STAGE = "/tmp/snapfolio-screenshots"
PREVIEW = "dslr-420.jpeg"
ALBUM = ["dslr-420.jpeg", "phone-420.jpg", "progressive.jpg", "icc-srgb-444.jpg",
         "landscape-18mp.jpg", "landscape-20mp.jpg", "portrait-13mp.JPG", "dark.jpg",
         "grey.jpg", "panorama.jpg", "icc-adobergb.jpg", "portrait-exif6.jpg"]
DIALOGS = [  # button, window title, window name in the geometry dump, picture
    ("FontButton1", "画像1　タイムスタンプ設定", "TTimePropty1", "time-stamp-1.png"),
    ("FontButton2", "画像2　タイムスタンプ設定", "TTimePropty2", "time-stamp-2.png"),
    ("AdjstButton1", "^AdjstPropty$", "AdjstPropty1", "correction.png"),
    ("PhotoButton", "^詳細設定$", "PhotoPropty", "photo-options.png"),
]


def settings(photo_dir, out_dir, template):
    return {
        "Snapfolio": {"TOP": "0", "LEFT": "0"},
        "Pict1Options": {"GAZOU1": "1", "WIDTH1": "150", "PRIFN1": "t_", "AFTFN1": "",
                         "ATADJ1": "0"},
        "Pict2Options": {"GAZOU2": "1", "WIDTH2": "640", "PRIFN2": "", "AFTFN2": "_l",
                         "ATADJ2": "1"},
        "InOutFile": {"INDIR": photo_dir, "OUTDIR": out_dir},
        "OutStyl": {"TIMSTMP1": "0", "TIMSTMP2": "1", "TIMSTYLE1": "yyyy/mm/dd hh:nn",
                    "TIMFTSIZE2": "14", "TIMFSBLD2": "fsBold", "HTMLCK": "1",
                    "HTMLFIL": "index.html", "ALBMTITL": "秋の散歩", "HTMLTMP": template},
        "ColorAdjust": {"Aump_Adjust": "20", "Cntlr_Adjust": "25"},
    }


ALBUM_PICTURES = ("album-desktop.png", "album-phone.png", "album-viewer.png")


def album_pictures(url, out):
    """The album page in headless Chromium: at a desktop width, on a phone (twice the pixel
    density) and with the viewer open on its third photo."""
    chromium = find_chromium()
    if chromium is None:
        raise Failure("chromium is missing (sudo bash scripts/setup-debian.sh)")

    def shot(browser, name, width, height, scale, mobile, load=True):
        browser.send("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": scale, "mobile": mobile})
        if load:
            browser.navigate(url, timeout=60)
            # Every lazy thumbnail loaded, then back to the top.
            browser.evaluate("""(async () => { for (const i of document.images) {
                i.scrollIntoView(); await i.decode().catch(() => {}); }
                window.scrollTo(0, 0); })()""", timeout=120)
        time.sleep(0.5)
        data = browser.send("Page.captureScreenshot", {"format": "png"})["data"]
        pathlib.Path(out, name).write_bytes(base64.b64decode(data))

    with Browser(chromium) as browser:
        browser.open_page()
        shot(browser, "album-phone.png", 390, 844, 2, True)
        shot(browser, "album-desktop.png", 1280, 900, 1, False)
        browser.evaluate("document.querySelectorAll('a.full')[2].click()")
        browser.evaluate("document.querySelector('.viewer-image').decode()", timeout=30)
        shot(browser, "album-viewer.png", 1280, 900, 1, False, load=False)


def take(args):
    out = os.path.abspath(args.out)
    os.makedirs(out, exist_ok=True)
    shutil.rmtree(STAGE, ignore_errors=True)
    work = os.path.join(STAGE, "写真")
    album = os.path.join(work, "アルバム")
    os.makedirs(album)
    for name in sorted(os.listdir(args.photos)):
        os.symlink(os.path.join(args.photos, name), os.path.join(work, name))
    # As a user who makes the album their own: a copy of the shipped template beside the photos.
    shipped = subprocess.run([args.cli, "default-template"], check=True, capture_output=True,
                             text=True, timeout=30).stdout.strip()
    template = os.path.join(work, "album.dat")
    shutil.copy(shipped, template)
    settings_path = os.path.join(work, "Snapfolio.ini")
    xdriver.write_settings(settings_path, settings(work, album, template))
    os.environ["TZ"] = "UTC"

    logs = os.path.join(STAGE, "logs")
    def preview(session, window, picture):
        session.click(window, "TSnapfolio", "InButton")
        session.choose_files(None, [PREVIEW])  # the dialog opens in "INDIR"
        panel = session.program.control("TSnapfolio", "Panel1")
        xdriver.wait_for("the preview", lambda: not xdriver.area_is_uniform(
            session.window_pixels(window), panel), 120, interval=0.5)
        time.sleep(0.5)
        session.screenshot(window, os.path.join(out, picture))

    # The English interface (an English locale) first: it stores nothing. Its time-stamp dialog
    # and, from that, the stamp's font dialog.
    with xdriver.Session(args.app, work, os.path.join(logs, "en"), language="en") as session:
        window = session.start()
        preview(session, window, "main-window-en.png")
        session.click(window, "TSnapfolio", "FontButton1")
        dialog = session.find_window("^Image 1 time stamp")
        session.program.control("TTimePropty1", ".")
        time.sleep(0.5)
        session.screenshot(dialog, os.path.join(out, "time-stamp-1-en.png"))
        session.click(dialog, "TTimePropty1", "FontButton")
        font = session.find_window("^Font$")
        time.sleep(0.5)
        session.screenshot(font, os.path.join(out, "stamp-font-en.png"))
        session.key(font, "Escape")
        session.wait_gone("^Font$")
        session.key(dialog, "Escape")
        session.wait_gone("^Image 1 time stamp")
        session.quit(window)

    with xdriver.Session(args.app, work, logs) as session:
        window = session.start()
        preview(session, window, "main-window.png")

        for button, title, name, picture in DIALOGS:
            session.click(window, "TSnapfolio", button)
            dialog = session.find_window(title)
            session.program.control(name, ".")
            time.sleep(0.5)
            session.screenshot(dialog, os.path.join(out, picture))
            session.key(dialog, "Escape")
            session.wait_gone(title)

        session.click(window, "TSnapfolio", "OKButton")
        session.choose_files(None, ALBUM, before_accept=lambda dialog: (
            time.sleep(0.5), session.screenshot(dialog, os.path.join(out, "photo-dialog.png"))))
        first = os.path.join(work, ALBUM[0])
        xdriver.wait_for("the album", lambda: xdriver.read_settings(settings_path)
                         .get("InOutFile", {}).get("INDIR") == first, 300, interval=0.5)
        session.answer_question(accept=False)  # the page is offered to the browser
        session.quit(window)

    page = pathlib.Path(album, "index.html")
    album_pictures(page.as_uri(), out)
    for picture in (["main-window.png", "main-window-en.png", "time-stamp-1-en.png",
                     "stamp-font-en.png"] + [d[3] for d in DIALOGS] +
                    ["photo-dialog.png"] + list(ALBUM_PICTURES)):
        w, h = xdriver.image_size(os.path.join(out, picture))
        print(f"{os.path.join(args.out, picture)}: {w} x {h}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--app", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--photos", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    args.app, args.cli, args.photos = (os.path.abspath(p) for p in (args.app, args.cli, args.photos))
    xdriver.require_tools()
    try:
        take(args)
    except Failure as e:
        print(f"make-screenshots: {e} (logs in {STAGE}/logs)", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
