#!/usr/bin/env python3
"""The WebP quality whose look matches JPEG quality 90: sample photos scaled to 1280 pixels wide
are encoded as JPEG at quality 90 (libjpeg-turbo, 4:2:0, as the program writes them) and as WebP
at each quality (libwebp, method 4); the mean SSIM of each against the scaled photo is printed,
and the lowest WebP quality whose mean SSIM reaches the JPEG's. SSIM is that of the luma on 8x8
windows (C1 = (0.01 L)^2, C2 = (0.03 L)^2), averaged over the windows, then over the photos.

Usage: bench/webp_quality.py PHOTO_DIR  (Pillow from python3-pil: run with /usr/bin/python3)
"""

import io
import os
import sys

from PIL import Image

PHOTOS = ["landscape-18mp.jpg", "landscape-20mp.jpg", "portrait-13mp.JPG", "phone-420.jpg",
          "dslr-420.jpeg"]
QUALITIES = range(70, 100, 2)


def ssim(a, b, width, height):
    c1, c2 = (0.01 * 255) ** 2, (0.03 * 255) ** 2
    total, count = 0.0, 0
    for y0 in range(0, height - 7, 8):
        for x0 in range(0, width - 7, 8):
            xs, ys = [], []
            for y in range(y0, y0 + 8):
                row = y * width
                xs.extend(a[row + x0:row + x0 + 8])
                ys.extend(b[row + x0:row + x0 + 8])
            mx, my = sum(xs) / 64, sum(ys) / 64
            vx = sum((v - mx) ** 2 for v in xs) / 63
            vy = sum((v - my) ** 2 for v in ys) / 63
            cov = sum((p - mx) * (q - my) for p, q in zip(xs, ys)) / 63
            total += ((2 * mx * my + c1) * (2 * cov + c2)) / ((mx * mx + my * my + c1) * (vx + vy + c2))
            count += 1
    return total / count


def encoded(image, **save):
    buffer = io.BytesIO()
    image.save(buffer, **save)
    size = buffer.tell()
    buffer.seek(0)
    return Image.open(buffer).convert("L").tobytes(), size


def main():
    folder = sys.argv[1]
    jpeg_total, webp_total = 0.0, {q: 0.0 for q in QUALITIES}
    jpeg_bytes, webp_bytes = 0, {q: 0 for q in QUALITIES}
    for name in PHOTOS:
        photo = Image.open(os.path.join(folder, name)).convert("RGB")
        scaled = photo.resize((1280, round(photo.height * 1280 / photo.width)), Image.BOX)
        ref = scaled.convert("L").tobytes()
        w, h = scaled.size
        pixels, size = encoded(scaled, format="JPEG", quality=90)
        jpeg_total += ssim(ref, pixels, w, h)
        jpeg_bytes += size
        for q in QUALITIES:
            pixels, size = encoded(scaled, format="WEBP", quality=q, method=4)
            webp_total[q] += ssim(ref, pixels, w, h)
            webp_bytes[q] += size
        print(f"{name}: done", file=sys.stderr)
    n = len(PHOTOS)
    print(f"JPEG q90: mean SSIM {jpeg_total / n:.5f}, {jpeg_bytes // n} bytes a photo")
    match = None
    for q in QUALITIES:
        print(f"WebP q{q}: mean SSIM {webp_total[q] / n:.5f}, {webp_bytes[q] // n} bytes a photo")
        if match is None and webp_total[q] >= jpeg_total:
            match = q
    print(f"lowest WebP quality with the JPEG's mean SSIM: {match}")


if __name__ == "__main__":
    main()
