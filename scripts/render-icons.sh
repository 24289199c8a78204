#!/usr/bin/env bash
# Renders the application icon's PNG sizes from data/icons/brewpad.svg into
# data/icons/<size>/brewpad.png. The PNGs are committed, so a build needs no
# SVG renderer: run this by hand after changing the SVG. Needs rsvg-convert
# (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
if ! command -v rsvg-convert >/dev/null; then
    echo "rsvg-convert not found (Debian: apt-get install librsvg2-bin)" >&2
    exit 1
fi
for size in 16 32 48 64 128 256; do
    mkdir -p "$size"
    rsvg-convert --width "$size" --height "$size" brewpad.svg --output "$size/brewpad.png"
done
