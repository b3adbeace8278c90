#!/usr/bin/env python3
"""End to end: a conversion run in the real window, as a user makes it.

Starts `snapfolio` under Xvfb with a prepared settings file (thumbnail 150 pixels with prefix
"t_", image 2 640 pixels with suffix "_l", album page "index.html" from the shipped template,
output into a prepared directory), presses "入力", chooses three photos in the photo dialog by
typing the folder and the quoted names, waits for the run to end and checks the output images
(sizes by ImageMagick, bytes against snapfolio-cli on the same settings), the album page and the
settings the run stored. Then changes the thumbnail width by typing into the window, runs one
photo, quits with "終了", starts the program again and runs another photo without touching
anything: the typed width must have been kept. Last, the program is started with two photos
from a folder without a settings file, as after installing: one question, then an album.
"""

import filecmp
import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xdriver  # noqa: E402
from xdriver import Failure  # noqa: E402

PHOTOS = ["portrait-exif6.jpg", "tiny.JPG", "panorama.jpg"]
TITLE = "E2E アルバム"


def prepared_settings(out_dir, template):
    return {
        "Pict1Options": {"GAZOU1": "1", "WIDTH1": "150", "PRIFN1": "t_", "AFTFN1": "",
                         "ATADJ1": "0"},
        "Pict2Options": {"GAZOU2": "1", "WIDTH2": "640", "PRIFN2": "", "AFTFN2": "_l",
                         "ATADJ2": "1"},
        "InOutFile": {"OUTDIR": out_dir},
        "OutStyl": {"TIMSTMP1": "0", "TIMSTMP2": "1", "HTMLCK": "1", "HTMLFIL": "index.html",
                    "ALBMTITL": TITLE, "HTMLTMP": template},
    }


def output_names(photo):
    base, ext = os.path.splitext(photo)
    return "t_" + base + ext, base + "_l" + ext


def wait_for_run_end(session, settings_path, first_photo, timeout=240):
    """A run has ended when it has stored "INDIR" (its last writes) with its first photo."""
    def ended():
        session.check_no_error_window()
        try:
            stored = xdriver.read_settings(settings_path)
        except (OSError, UnicodeDecodeError, Exception):
            return False  # being replaced at this moment
        return stored.get("InOutFile", {}).get("INDIR") == first_photo
    xdriver.wait_for("the run to store its settings", ended, timeout, interval=0.5)
    session.answer_question(accept=False)  # the page it wrote is offered to the browser


def upright_size(path):
    """(width, height) of a photo as it is shown: EXIF orientations 5 to 8 swap them."""
    w, h = xdriver.image_size(path)
    orientation = subprocess.run(["identify", "-format", "%[EXIF:Orientation]", path + "[0]"],
                                 capture_output=True, text=True, timeout=60).stdout.strip()
    return (h, w) if orientation in ("5", "6", "7", "8") else (w, h)


def check_sizes(photos_dir, out_dir, photo, width1, width2):
    w, h = upright_size(os.path.join(photos_dir, photo))
    for name, width in zip(output_names(photo), (width1, width2)):
        path = os.path.join(out_dir, name)
        if not os.path.isfile(path):
            raise Failure(f"{name} was not written")
        got = xdriver.image_size(path)
        if got != (width, h * width // w):
            raise Failure(f"{name} is {got}, expected {(width, h * width // w)}")


def scenario():
    app, cli, photos_dir = xdriver.environment()
    artifacts, work, out, settings_path = xdriver.window_workspace("window_run")
    template = subprocess.run([cli, "default-template"], check=True, capture_output=True,
                              text=True, timeout=30).stdout.strip()
    xdriver.write_settings(settings_path, prepared_settings(out, template))
    before_run = os.path.join(artifacts, "settings-before-run.ini")
    shutil.copy(settings_path, before_run)

    with xdriver.Session(app, work, artifacts) as session:
        window = session.start()  # its title is exactly "Snapfolio Ver1.03"

        # The run of three photos.
        session.click(window, "TSnapfolio", "OKButton")
        session.choose_files(photos_dir, PHOTOS)
        first = os.path.join(photos_dir, PHOTOS[0])
        wait_for_run_end(session, settings_path, first)
        session.screenshot(window, os.path.join(artifacts, "after-run.png"))

        for photo in PHOTOS:
            check_sizes(photos_dir, out, photo, 150, 640)
        expected = sorted([n for p in PHOTOS for n in output_names(p)] + ["index.html"])
        if sorted(os.listdir(out)) != expected:
            raise Failure(f"output directory holds {sorted(os.listdir(out))}, "
                          f"expected {expected}")

        page = open(os.path.join(out, "index.html"), encoding="utf-8").read()
        for text in [TITLE] + [n for p in PHOTOS for n in output_names(p)]:
            if text not in page:
                raise Failure(f"the album page does not mention {text!r}")
        # The loop markers stay in the page as comments; every value tag is expanded.
        if re.search(r"\$[A-Z]", re.sub(r"<!--.*?-->", "", page, flags=re.S)):
            raise Failure("the album page holds an unexpanded tag")

        stored = xdriver.read_settings(settings_path)
        want = {("InOutFile", "OUTDIR"): out, ("InOutFile", "INDIR"): first,
                ("Pict1Options", "WIDTH1"): "150", ("Pict1Options", "PRIFN1"): "t_",
                ("Pict2Options", "WIDTH2"): "640", ("Pict2Options", "AFTFN2"): "_l",
                ("Pict1Options", "GAZOU1"): "1", ("Pict2Options", "GAZOU2"): "1",
                ("Pict2Options", "ATADJ2"): "1", ("OutStyl", "TIMSTMP2"): "1",
                ("OutStyl", "HTMLCK"): "1", ("OutStyl", "HTMLFIL"): "index.html",
                ("OutStyl", "ALBMTITL"): TITLE, ("OutStyl", "HTMLTMP"): template}
        for (section, key), value in want.items():
            got = stored.get(section, {}).get(key)
            if got != value:
                raise Failure(f"settings {section}/{key} = {got!r}, expected {value!r}")
        for key in ("TOP", "LEFT"):
            if not re.fullmatch(r"-?\d+", stored.get("Snapfolio", {}).get(key, "")):
                raise Failure(f"settings Snapfolio/{key} was not stored")

        # The window's files are those of the command line on the same settings and photos:
        # corrected, stamped and encoded alike, the page expanded alike.
        cli_out = os.path.join(artifacts, "cli-out")
        os.makedirs(cli_out)
        subprocess.run([cli, "convert", "--settings", before_run, "--out", cli_out] +
                       [os.path.join(photos_dir, p) for p in PHOTOS],
                       check=True, capture_output=True, timeout=240)
        names = [n for p in PHOTOS for n in output_names(p)]
        _, mismatch, errors = filecmp.cmpfiles(out, cli_out, names, shallow=False)
        if mismatch or errors:
            raise Failure(f"window and command line differ in {mismatch + errors}")
        cli_page = open(os.path.join(cli_out, "index.html"), encoding="utf-8").read()
        if cli_page.replace(cli_out, out) != page:
            raise Failure("window and command line wrote different album pages")

        # A width typed into the window is used by the next run and kept by it.
        session.click(window, "TSnapfolio", "Width1")
        session.key(window, "ctrl+a")
        session.type(window, "200")
        session.click(window, "TSnapfolio", "OKButton")
        session.choose_files(photos_dir, ["dark.jpg"])
        wait_for_run_end(session, settings_path, os.path.join(photos_dir, "dark.jpg"))
        check_sizes(photos_dir, out, "dark.jpg", 200, 640)

        # "終了" ends the program; started again, it shows the stored options.
        status = session.quit(window)
        if status != 0:
            raise Failure(f"the program ended with status {status}")
        window = session.start()
        session.click(window, "TSnapfolio", "OKButton")
        session.choose_files(photos_dir, ["grey.jpg"])
        wait_for_run_end(session, settings_path, os.path.join(photos_dir, "grey.jpg"))
        check_sizes(photos_dir, out, "grey.jpg", 200, 640)
        if session.quit(window) != 0:
            raise Failure("the program did not end cleanly the second time")

    first_start(app, photos_dir)


def first_start(app, photos_dir):
    """`snapfolio PHOTO PHOTO` from a folder without a settings file: one question, then the
    album's choices make a working album in that folder."""
    artifacts, work, _, settings_path = xdriver.window_workspace("window_first_start")
    with xdriver.Session(app, work, artifacts) as session:
        window = session.start([os.path.join(photos_dir, p) for p in PHOTOS[:2]])
        session.answer_question(accept=True)  # the photos given to the window
        wait_for_run_end(session, settings_path, os.path.join(photos_dir, PHOTOS[0]))
        for photo in PHOTOS[:2]:
            check_sizes(photos_dir, work, photo, 150, 1280)
        page = open(os.path.join(work, "index.html"), encoding="utf-8").read()
        for name in (n for p in PHOTOS[:2] for n in output_names(p)):
            if name not in page:
                raise Failure(f"the first start's album page does not show {name}")
        if session.quit(window) != 0:
            raise Failure("the program did not end cleanly after its first start")


if __name__ == "__main__":
    sys.exit(xdriver.main(scenario))
