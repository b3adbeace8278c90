#!/usr/bin/env python3
"""End to end: an album site made from the window's "アルバムサイト" dialog.

Starts `snapfolio` under Xvfb without a settings file, opens the dialog, types a photo folder
with two subfolders, a site folder and a title, presses "作成" and declines the browser when the
run offers the site. The site's pages must be there, one per folder, and the dialog's fields in
section "KeptAlbum" of the settings file. Then the dialog is opened again and run as it shows
the stored fields: nothing may be converted or rewritten (every image and page keeps its inode
and modification time).
"""

import os
import shutil
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xdriver  # noqa: E402
from xdriver import Failure  # noqa: E402

TREE = {"a": ["tiny.JPG", "grey-exif.jpg"], "b": ["panorama.jpg"]}
TITLE = "E2E site"
DIALOG = "^アルバムサイト$"


def site_files(site):
    """{path relative to the site: (inode, modification time)} of its images and pages."""
    files = {}
    for folder, dirs, names in os.walk(site):
        dirs[:] = [d for d in dirs if d != ".snapfolio"]  # the catalogue changes on every run
        for name in names:
            path = os.path.join(folder, name)
            st = os.stat(path)
            files[os.path.relpath(path, site)] = (st.st_ino, st.st_mtime_ns)
    return files


def fill(session, dialog, control, text):
    session.click(dialog, "KeptAlbum", control)
    session.key(dialog, "ctrl+a")
    session.type(dialog, text)


def run_dialog(session, window, fields, shot=None):
    """Opens the dialog, types `fields` ({control: text}), presses "作成", waits for the run's
    end (the site offered to the browser) and declines; `shot`: a screenshot of the filled
    dialog there."""
    session.click(window, "TSnapfolio", "KeptAlbumButton")
    dialog = session.find_window(DIALOG)
    session.program.control("KeptAlbum", "OkButton")
    for control, text in fields.items():
        fill(session, dialog, control, text)
    if shot:
        session.screenshot(dialog, shot)
    session.click(dialog, "KeptAlbum", "OkButton")
    session.wait_gone(DIALOG)
    session.answer_question(accept=False, timeout=240)
    session.check_no_error_window()


def scenario():
    app, _, photos_dir = xdriver.environment()
    artifacts, work, out, settings_path = xdriver.window_workspace("window_kept_album")
    source = os.path.join(artifacts, "photos")
    for folder, names in TREE.items():
        os.makedirs(os.path.join(source, folder))
        for name in names:
            shutil.copy(os.path.join(photos_dir, name), os.path.join(source, folder, name))
    site = os.path.join(out, "site")

    with xdriver.Session(app, work, artifacts) as session:
        window = session.start()
        run_dialog(session, window, {"SourceDir": source, "SiteDir": site, "SiteTitle": TITLE},
                   os.path.join(artifacts, "dialog.png"))
        session.screenshot(window, os.path.join(artifacts, "after-site.png"))

        for page in ["index.html", "a/index.html", "b/index.html"]:
            if not os.path.isfile(os.path.join(site, page)):
                raise Failure(f"the site has no {page}")
        top = open(os.path.join(site, "index.html"), encoding="utf-8").read()
        if TITLE not in top:
            raise Failure("the top page does not carry the title")
        stored = xdriver.read_settings(settings_path).get("KeptAlbum", {})
        want = {"SOURCE": source, "SITE": site, "TITLE": TITLE, "ORIGINALS": "0"}
        for key, value in want.items():
            if stored.get(key) != value:
                raise Failure(f"settings KeptAlbum/{key} = {stored.get(key)!r}, expected {value!r}")

        before = site_files(site)
        images = [p for p in before if "/_img/" in "/" + p]
        if len(images) < sum(len(n) for n in TREE.values()):
            raise Failure(f"the site holds too few images: {sorted(images)}")
        run_dialog(session, window, {})  # as the dialog shows the stored fields
        after = site_files(site)
        if after != before:
            changed = sorted(p for p in set(before) | set(after) if before.get(p) != after.get(p))
            raise Failure(f"the second run rewrote {changed}")

        if session.quit(window) != 0:
            raise Failure("the program did not end cleanly")


if __name__ == "__main__":
    sys.exit(xdriver.main(scenario))
