#!/usr/bin/env python3
"""Photos with an embedded colour profile against Pillow's colour-managed conversion (ImageCms
to sRGB, then area averaging): snapfolio-cli renders output image 1 losslessly at several widths;
the mean absolute difference per channel must stay within 1.5 levels. The Adobe RGB photo with
the profile off must miss by far more (the error the conversion removes). The Adobe RGB photo
made a 16-bit PNG by ImageMagick must match the conversion of the JPEG, made a HEIC by heif-enc
(libheif-examples) the conversion of the HEIC's pixels as heif-convert decodes them. Prints
every figure.

Environment: SNAPFOLIO_CLI, SNAPFOLIO_PHOTOS. Exit status 77 without Pillow (python3-pil).
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
CASES = [("icc-adobergb.jpg", [640, 320, 150]), ("icc-srgb-444.jpg", [640]),
         ("progressive.jpg", [640])]


def mean_error(photo, width, tmp, *options, reference=None):
    out = os.path.join(tmp, "out.png")
    subprocess.run([os.environ["SNAPFOLIO_CLI"], "render", "--settings",
                    os.path.join(tmp, "none.ini"), "--set", f"Pict1Options/WIDTH1={width}",
                    *options, "--image", "1", "--png", out, photo],
                   check=True, capture_output=True)
    got = Image.open(out).convert("RGB")
    source = Image.open(reference or photo)
    profile = ImageCms.ImageCmsProfile(io.BytesIO(source.info["icc_profile"]))
    expected = ImageCms.profileToProfile(source, profile, ImageCms.createProfile("sRGB"),
                                         outputMode="RGB").resize(got.size, Image.BOX)
    a, b = got.tobytes(), expected.tobytes()
    return [sum(abs(a[i] - b[i]) for i in range(c, len(a), 3)) * 3 / len(a) for c in range(3)]


def made_from(photo, tmp):
    """The photo as a 16-bit PNG (ImageMagick) and a HEIC (heif-enc), both keeping its profile;
    their names, each with the picture it must match."""
    subprocess.run(["convert", photo, "-depth", "16", "PNG48:" + os.path.join(tmp, "adobe.png")],
                   check=True, capture_output=True)
    heic = os.path.join(tmp, "adobe.heic")
    subprocess.run(["heif-enc", "-q", "95", photo, "-o", heic], check=True, capture_output=True)
    # The HEIC's own pixels, as heif-convert decodes them, with the photo's profile.
    decoded = os.path.join(tmp, "adobe-heic.png")
    subprocess.run(["heif-convert", heic, decoded], check=True, capture_output=True)
    Image.open(decoded).convert("RGB").save(
        decoded, icc_profile=Image.open(photo).info["icc_profile"])
    return [("adobe.png", photo), ("adobe.heic", decoded)]


def main():
    failed = False
    with tempfile.TemporaryDirectory() as tmp:
        for name, widths in CASES:
            for width in widths:
                error = mean_error(os.path.join(os.environ["SNAPFOLIO_PHOTOS"], name), width, tmp)
                ok = max(error) <= LIMIT
                failed |= not ok
                print(f"{name} at {width}: mean error R G B = "
                      + " ".join(f"{e:.2f}" for e in error) + ("" if ok else "  FAILED"))
        adobe = os.path.join(os.environ["SNAPFOLIO_PHOTOS"], "icc-adobergb.jpg")
        for name, reference in made_from(adobe, tmp):
            error = mean_error(os.path.join(tmp, name), 320, tmp, reference=reference)
            ok = max(error) <= LIMIT
            failed |= not ok
            print(f"{name} (from icc-adobergb.jpg) at 320: mean error R G B = "
                  + " ".join(f"{e:.2f}" for e in error) + ("" if ok else "  FAILED"))
        error = mean_error(adobe, 640, tmp, "--set", "PhotoOptions/COLORPROFILE=0")
        failed |= max(error) <= 3 * LIMIT
        print("icc-adobergb.jpg without its profile: mean error R G B = "
              + " ".join(f"{e:.2f}" for e in error))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
