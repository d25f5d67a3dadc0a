#!/usr/bin/env bash
# Installs what the build, the tests and the picture script need on a fresh Debian machine. Quiet
# and idempotent: a second run installs nothing and does not touch the package lists.
set -euo pipefail

packages=(wine wine64 fonts-wine g++-mingw-w64-x86-64 xvfb xauth x11-apps imagemagick cmake libstb-dev python3-pil fonts-dejavu-core fonts-dejavu-extra)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq >/dev/null
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
