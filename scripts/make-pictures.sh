#!/usr/bin/env bash
# Draws the program's pictures and icon into resources/ and checks them. The outputs are committed;
# the build does not run this. The letters come from ImageMagick with the DejaVu fonts
# (Debian: imagemagick fonts-dejavu-core fonts-dejavu-extra); the rest is plain Python 3.
set -euo pipefail
# No bytecode cache beside the scripts in the repository.
export PYTHONDONTWRITEBYTECODE=1
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

for font in DejaVuSans-Bold DejaVuSansCondensed-Bold DejaVuSerif-Bold DejaVuSerif-BoldItalic; do
    if [ ! -f "/usr/share/fonts/truetype/dejavu/$font.ttf" ]; then
        echo "The font $font is missing: install fonts-dejavu-core and fonts-dejavu-extra" >&2
        exit 1
    fi
done
command -v convert >/dev/null || { echo "ImageMagick's convert is missing: install imagemagick" >&2; exit 1; }

python3 "$root/scripts/make_pictures.py" "$root/resources"
python3 "$root/scripts/check_pictures.py" "$root/resources"
