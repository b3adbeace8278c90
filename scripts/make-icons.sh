#!/usr/bin/env bash
# Draws the application icon (a stack of two photos with a sun and hills) at 256 pixels with
# ImageMagick and scales it to the sizes a Linux desktop looks for. The PNGs are committed;
# run this again only to change the icon.
set -euo pipefail
cd "$(dirname "$0")/../dist/linux/icons"
convert -size 256x256 xc:none \
  -fill '#1d3557' -draw "roundrectangle 8,8 248,248 40,40" \
  -fill '#e9c46a' -draw "translate 128,134 rotate -10 roundrectangle -78,-66 78,66 10,10" \
  -fill '#ffffff' -draw "roundrectangle 48,70 208,206 10,10" \
  -fill '#a8dadc' -draw "rectangle 60,82 196,172" \
  -fill '#ffb703' -draw "circle 160,108 172,108" \
  -fill '#2a9d8f' -draw "polygon 60,172 100,120 132,152 156,132 196,172" \
  -fill '#1d3557' -draw "rectangle 60,180 150,186" \
  snapfolio-256.png
for s in 16 24 32 48 64 128; do
  convert snapfolio-256.png -resize ${s}x${s} snapfolio-$s.png
done
