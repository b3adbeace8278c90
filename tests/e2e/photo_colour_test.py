#!/usr/bin/env python3
"""Photos with an embedded colour profile against an independent colour-managed conversion.

snapfolio-cli renders output image 1 of each profile photo (losslessly, as PNG) at the photo's
own width and at smaller widths; Pillow (ImageCms) converts the photo through its embedded
profile to sRGB and scales it by area averaging. The mean absolute difference per channel must
stay within 1.5 levels (resampling alone accounts for up to about one). The Adobe RGB photo is
also rendered with the profile switched off, which must miss by far more: that is the error
the conversion removes. Prints every figure.

Environment: SNAPFOLIO_CLI, SNAPFOLIO_PHOTOS (as CTest sets them).
Exit status: 0 all checks passed, 1 a check failed, 77 Pillow is missing (python3-pil).
"""

import io
import os
import subprocess
import sys
import tempfile

try:
    from PIL import Image, ImageCms
except ImportError:
    print("photo_colour_test: Pillow with ImageCms is missing (python3-pil); skipped")
    sys.exit(77)

LIMIT = 1.5
# (photo, widths): the Adobe RGB sample and the two sRGB-tagged samples.
CASES = [
    ("icc-adobergb.jpg", [640, 320, 150]),
    ("icc-srgb-444.jpg", [640]),
    ("progressive.jpg", [640]),
]


def render(cli, photo, width, out, profile=True):
    args = [cli, "render", "--settings", os.path.join(os.path.dirname(out), "none.ini"),
            "--set", f"Pict1Options/WIDTH1={width}", "--image", "1", "--png", out]
    if not profile:
        args += ["--set", "PhotoOptions/COLORPROFILE=0"]
    subprocess.run(args + [photo], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    return Image.open(out).convert("RGB")


def reference(photo):
    image = Image.open(photo)
    profile = ImageCms.ImageCmsProfile(io.BytesIO(image.info["icc_profile"]))
    return ImageCms.profileToProfile(image, profile, ImageCms.createProfile("sRGB"),
                                     outputMode="RGB")


def mean_error(got, expected):
    if expected.size != got.size:
        expected = expected.resize(got.size, Image.BOX)
    a, b = got.tobytes(), expected.tobytes()
    sums = [0, 0, 0]
    for i in range(0, len(a), 3):
        for c in range(3):
            sums[c] += abs(a[i + c] - b[i + c])
    pixels = len(a) // 3
    return [s / pixels for s in sums]


def main():
    cli = os.environ["SNAPFOLIO_CLI"]
    photos = os.environ["SNAPFOLIO_PHOTOS"]
    failed = False
    with tempfile.TemporaryDirectory() as tmp:
        for name, widths in CASES:
            photo = os.path.join(photos, name)
            expected = reference(photo)
            for width in widths:
                out = os.path.join(tmp, f"{width}.png")
                error = mean_error(render(cli, photo, width, out), expected)
                ok = max(error) <= LIMIT
                failed |= not ok
                print(f"{name} at {width}: mean error R G B = "
                      f"{error[0]:.2f} {error[1]:.2f} {error[2]:.2f} {'ok' if ok else 'FAILED'}")
        photo = os.path.join(photos, "icc-adobergb.jpg")
        out = os.path.join(tmp, "off.png")
        error = mean_error(render(cli, photo, 640, out, profile=False), reference(photo))
        ok = max(error) > 3 * LIMIT
        failed |= not ok
        print(f"icc-adobergb.jpg without its profile: mean error R G B = "
              f"{error[0]:.2f} {error[1]:.2f} {error[2]:.2f} "
              f"{'(the error the conversion removes)' if ok else 'FAILED: no difference'}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
