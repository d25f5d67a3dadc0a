#!/usr/bin/env bash
# Draws the program's pictures and icon into resources/ and checks them. The outputs are committed;
# the build does not run this. Pillow draws and writes the pictures, with the DejaVu fonts for the
# letters; ImageMagick writes the 16-colour icon (Debian: python3-pil fonts-dejavu-core
# fonts-dejavu-extra imagemagick, all installed by scripts/install-packages.sh).
set -euo pipefail
# No bytecode cache beside the scripts in the repository.
export PYTHONDONTWRITEBYTECODE=1
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

bash "$root/scripts/install-packages.sh"

for font in DejaVuSans-Bold DejaVuSansCondensed-Bold DejaVuSerif-Bold DejaVuSerif-BoldItalic; do
    if [ ! -f "/usr/share/fonts/truetype/dejavu/$font.ttf" ]; then
        echo "The font $font is missing: install fonts-dejavu-core and fonts-dejavu-extra" >&2
        exit 1
    fi
done
command -v convert >/dev/null || { echo "ImageMagick's convert is missing: install imagemagick" >&2; exit 1; }
# Debian's Pillow is installed for Debian's Python, which need not be the first python3 on PATH.
python=/usr/bin/python3
"$python" -c 'import PIL' 2>/dev/null || { echo "Pillow is missing for $python: install python3-pil" >&2; exit 1; }

"$python" "$root/scripts/make_pictures.py" "$root/resources"
"$python" "$root/scripts/check_pictures.py" "$root/resources"
