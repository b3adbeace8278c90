#!/usr/bin/env python3
"""End to end: stopping a run with "中止" in the real window.

Starts `snapfolio` under Xvfb with both output images (corrected) and the album page switched
on, presses "入力", chooses all fifteen sample photos (the largest first) in the photo dialog,
and presses "中止" as soon as the first output image has been written. The run must stop
between photos: the photos before the stop have both their images, none after it has any; the
album page and the settings are still written, as after a complete run.
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xdriver  # noqa: E402
from xdriver import Failure  # noqa: E402

LARGEST = ["landscape-20mp.jpg", "landscape-18mp.jpg", "portrait-13mp.JPG"]


def output_names(photo):
    base, ext = os.path.splitext(photo)
    return "t_" + base + ext, base + "_l" + ext


def scenario():
    app, cli, photos_dir = xdriver.environment()
    photos = LARGEST + sorted(p for p in os.listdir(photos_dir)
                              if p not in LARGEST and p.lower().endswith((".jpg", ".jpeg")))
    artifacts, work, out, settings_path = xdriver.window_workspace("window_stop")
    template = subprocess.run([cli, "default-template"], check=True, capture_output=True,
                              text=True, timeout=30).stdout.strip()
    xdriver.write_settings(settings_path, {
        "Pict1Options": {"GAZOU1": "1", "WIDTH1": "150", "PRIFN1": "t_", "ATADJ1": "1"},
        # A large, corrected and stamped image 2 keeps each photo busy long enough to be
        # stopped well before the last one, also on a fast machine.
        "Pict2Options": {"GAZOU2": "1", "WIDTH2": "2400", "AFTFN2": "_l", "ATADJ2": "1"},
        "InOutFile": {"OUTDIR": out},
        "OutStyl": {"TIMSTMP2": "1", "HTMLCK": "1", "HTMLFIL": "index.html",
                    "HTMLTMP": template},
    })

    with xdriver.Session(app, work, artifacts) as session:
        window = session.start()
        session.click(window, "TSnapfolio", "OKButton")
        session.choose_files(photos_dir, photos)

        def first_written():
            session.check_no_error_window()
            return any(n.endswith((".jpg", ".JPG")) for n in os.listdir(out))
        xdriver.wait_for("the first output image", first_written, 120, interval=0.1)
        # The stop button appears with the run; the program tells where.
        session.click(window, "TSnapfolio", "BreakButton1")

        def ended():
            session.check_no_error_window()
            try:
                stored = xdriver.read_settings(settings_path)
            except Exception:
                return False  # being replaced at this moment
            return stored.get("InOutFile", {}).get("INDIR") == os.path.join(photos_dir, photos[0])
        xdriver.wait_for("the stopped run to store its settings", ended, 240, interval=0.5)
        session.answer_question(accept=False)  # the page it wrote is offered to the browser
        session.screenshot(window, os.path.join(artifacts, "after-stop.png"))

        done = [p for p in photos if any(os.path.exists(os.path.join(out, n))
                                         for n in output_names(p))]
        print(f"photos converted before the stop: {len(done)} of {len(photos)}")
        if not done or len(done) >= len(photos) - 1:
            raise Failure(f"the stop did not end the run early: {len(done)} photos converted")
        if done != photos[:len(done)]:
            raise Failure(f"converted photos {done} are not the first ones of {photos}")
        for photo in done:
            for name in output_names(photo):
                if not os.path.isfile(os.path.join(out, name)):
                    raise Failure(f"{photo} was begun but {name} is missing")
        if not os.path.isfile(os.path.join(out, "index.html")):
            raise Failure("the album page was not written after the stop")
        if session.quit(window) != 0:
            raise Failure("the program did not end cleanly")


if __name__ == "__main__":
    sys.exit(xdriver.main(scenario))
