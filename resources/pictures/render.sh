#!/bin/sh
# Renders every SVG source in src/ into the PNG of the same name beside this script. The build
# only embeds the committed PNGs; run this after editing a source and commit both.
set -eu

here=$(cd "$(dirname "$0")" && pwd)

if ! command -v rsvg-convert >/dev/null 2>&1; then
    echo "render.sh: rsvg-convert not found (Debian: apt-get install librsvg2-bin)" >&2
    exit 1
fi
# The web link's caption is live text; without this face the renderer would silently substitute
# another one (or draw boxes).
if ! fc-list | grep -q "Noto Sans CJK SC"; then
    echo "render.sh: font Noto Sans CJK SC not found (Debian: apt-get install fonts-noto-cjk)" >&2
    exit 1
fi

for svg in "$here"/src/*.svg; do
    name=$(basename "$svg" .svg)
    rsvg-convert --format=png --output="$here/$name.png" "$svg"
    echo "$name.png"
done
