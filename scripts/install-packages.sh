#!/usr/bin/env bash
# Installs what the build, the tests and the picture script need on a fresh Debian machine. Quiet
# and idempotent: a second run installs nothing and does not touch the package lists.
set -euo pipefail

# The program is 32-bit: the tests run it under WOW64 in a 64-bit prefix, which needs the 32-bit half
# of Wine (wine32 from the i386 architecture) beside the 64-bit one. The 64-bit compiler builds one
# stand-in: a 64-bit Word. The tests make files no one may delete with chattr (e2fsprogs).
packages=(wine wine64 wine32:i386 fonts-wine g++-mingw-w64-i686 g++-mingw-w64-x86-64 xvfb xauth x11-apps imagemagick
    cmake libstb-dev python3-pil fonts-dejavu-core fonts-dejavu-extra e2fsprogs)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq >/dev/null
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
