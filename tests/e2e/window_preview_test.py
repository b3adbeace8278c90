#!/usr/bin/env python3
"""End to end: the preview in the real window, as a user sees it.

Starts `snapfolio` under Xvfb with output image 1 set to 300 pixels (no correction, no stamp),
presses "プレビュー", chooses one photo in the photo dialog, and checks on a screenshot of the
window that the preview panel shows that photo: centred in the 400 x 300 panel, its pixels close
to the photo scaled by ImageMagick, and clearly closer to it than to another photo. The preview
writes no file and no settings.
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xdriver  # noqa: E402
from xdriver import Failure  # noqa: E402

PHOTO = "dslr-420.jpeg"  # 2560 x 1600, autumn leaves
OTHER = "progressive.jpg"  # 2560 x 1600, cups: the control
WIDTH = 300
PANEL = (400, 300)
# Mean absolute difference per channel (0..255) between the panel and the scaled photo. Two
# resamplers and the JPEG decoders differ by a few levels; another photo is far off.
MATCH = 10.0
MARGIN = 3.0  # the other photo must be at least this many times further off


def scaled_photo(path, width, height):
    data = subprocess.run(["convert", path, "-resize", f"{width}x{height}!", "-depth", "8", "ppm:-"],
                          check=True, capture_output=True, timeout=120).stdout
    return xdriver.read_ppm(data)


def region_difference(screen, at, photo):
    """Mean absolute difference between the photo and the screen region whose top-left is at."""
    sw, _, spx = screen
    pw, ph, ppx = photo
    total = 0
    count = 0
    for y in range(0, ph, 2):
        srow = ((at[1] + y) * sw + at[0]) * 3
        prow = y * pw * 3
        for x in range(0, pw * 3, 6):
            for c in range(3):
                total += abs(spx[srow + x + c] - ppx[prow + x + c])
            count += 3
    return total / count


def best_difference(screen, at, photo):
    """The smallest difference within one pixel of `at` (rounding of the centring)."""
    return min(region_difference(screen, (at[0] + dx, at[1] + dy), photo)
               for dx in (-1, 0, 1) for dy in (-1, 0, 1))


def scenario():
    app, _, photos_dir = xdriver.environment()
    artifacts, work, out, settings_path = xdriver.window_workspace("window_preview")
    xdriver.write_settings(settings_path, {
        "Pict1Options": {"GAZOU1": "1", "WIDTH1": str(WIDTH), "PRIFN1": "t_", "ATADJ1": "0"},
        "Pict2Options": {"GAZOU2": "1", "WIDTH2": "640", "AFTFN2": "_l"},
        "InOutFile": {"OUTDIR": out},
        "OutStyl": {"TIMSTMP1": "0"},
    })
    settings_before = open(settings_path, "rb").read()

    photo_w, photo_h = xdriver.image_size(os.path.join(photos_dir, PHOTO))
    height = photo_h * WIDTH // photo_w
    expected = scaled_photo(os.path.join(photos_dir, PHOTO), WIDTH, height)
    control = scaled_photo(os.path.join(photos_dir, OTHER), WIDTH, height)

    with xdriver.Session(app, work, artifacts) as session:
        window = session.start()
        panel = session.program.control("TSnapfolio", "Panel1")
        if panel[2:] != PANEL:
            raise Failure(f"the preview panel is {panel[2:]}, not {PANEL}")
        if not xdriver.area_is_uniform(session.window_pixels(window), panel):
            raise Failure("the preview panel shows something before any preview")

        session.click(window, "TSnapfolio", "InButton")
        session.choose_files(photos_dir, [PHOTO])

        def shown():
            session.check_no_error_window()
            screen = session.window_pixels(window)
            return None if xdriver.area_is_uniform(screen, panel) else screen
        xdriver.wait_for("the preview panel to show a picture", shown, 120, interval=0.5)
        # The picture is placed once finished; take the screen again to be sure it is whole.
        screen = session.window_pixels(window)
        session.screenshot(window, os.path.join(artifacts, "preview.png"))

        at = (panel[0] + (PANEL[0] - WIDTH) // 2, panel[1] + (PANEL[1] - height) // 2)
        match = best_difference(screen, at, expected)
        other = best_difference(screen, at, control)
        print(f"difference to {PHOTO}: {match:.2f}, to {OTHER}: {other:.2f}")
        if match > MATCH:
            raise Failure(f"the panel differs from {PHOTO} by {match:.2f} levels on average")
        if other < MARGIN * match:
            raise Failure(f"the panel is not clearly {PHOTO}: {match:.2f} vs {other:.2f}")

        if os.listdir(out):
            raise Failure(f"the preview wrote {os.listdir(out)}")
        if open(settings_path, "rb").read() != settings_before:
            raise Failure("the preview changed the settings file")
        if session.quit(window) != 0:
            raise Failure("the program did not end cleanly")


if __name__ == "__main__":
    sys.exit(xdriver.main(scenario))
