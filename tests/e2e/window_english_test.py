#!/usr/bin/env python3
"""End to end: the window in English, opened with photos as a file manager opens it.

Starts `snapfolio PHOTO PHOTO` under Xvfb with LANG=en_US.UTF-8: the window asks once, in
English, to convert the two photos, runs over them and offers the album page it wrote (from the
shipped English template) to the browser; "Convert" opens the photo dialog "Choose photos".
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xdriver  # noqa: E402
from xdriver import Failure  # noqa: E402

PHOTOS = ["tiny.JPG", "panorama.jpg"]


def scenario():
    app, _, photos_dir = xdriver.environment()
    artifacts, work, out, settings_path = xdriver.window_workspace("window_english")
    xdriver.write_settings(settings_path, {
        "Pict1Options": {"GAZOU1": "1", "WIDTH1": "150", "PRIFN1": "t_"},
        "Pict2Options": {"GAZOU2": "1", "WIDTH2": "640", "AFTFN2": "_l"},
        "InOutFile": {"OUTDIR": out},
        "OutStyl": {"HTMLCK": "1", "HTMLFIL": "index.html", "ALBMTITL": "Holiday"},
    })

    def run_ended(first):
        def ended():
            session.check_no_error_window()
            try:
                return xdriver.read_settings(settings_path).get("InOutFile", {}).get(
                    "INDIR") == first
            except Exception:
                return False  # being replaced at this moment
        xdriver.wait_for("the run to store its settings", ended, 240, interval=0.5)

    with xdriver.Session(app, work, artifacts, language="en") as session:
        window = session.start(args=[os.path.join(photos_dir, p) for p in PHOTOS])
        session.answer_question(accept=True)  # "Convert 2 photo(s)?"
        run_ended(os.path.join(photos_dir, PHOTOS[0]))
        session.screenshot(window, os.path.join(artifacts, "english-window.png"))
        session.answer_question(accept=False)  # the page offered to the browser
        expected = sorted(["t_tiny.JPG", "tiny_l.JPG", "t_panorama.jpg", "panorama_l.jpg",
                           "index.html"])
        if sorted(os.listdir(out)) != expected:
            raise Failure(f"output directory holds {sorted(os.listdir(out))}, not {expected}")
        page = open(os.path.join(out, "index.html"), encoding="utf-8").read()
        if '<html lang="en">' not in page or "Holiday" not in page:
            raise Failure("the album page is not made from the English template")

        session.click(window, "TSnapfolio", "OKButton")  # "Convert": the photo dialog in English
        session.key(session.find_window("^" + xdriver.PHOTO_DIALOG["en"] + "$"), "Escape")
        session.wait_gone(xdriver.PHOTO_DIALOG["en"])
        if session.quit(window) != 0:
            raise Failure("the program did not end cleanly")


if __name__ == "__main__":
    sys.exit(xdriver.main(scenario))
