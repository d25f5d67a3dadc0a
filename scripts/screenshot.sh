#!/usr/bin/env bash
# Takes a picture of a Windows program of the build: starts it under Xvfb in the demo Wine prefix,
# inside a Wine desktop (which draws the window frames that a bare X server without a window
# manager would leave out), waits for a window whose caption contains the given text, writes the
# screen as a PNG file and prints its path. The program and its Wine processes are ended afterwards.
#
#   bash scripts/screenshot.sh [--caption TEXT] [--out FILE.png] [--timeout SECONDS] [--size WxH]
#                              PROGRAM.exe [ARGUMENTS...]
#
# PROGRAM.exe is a Linux path; the program starts in its own folder. Without --caption the picture
# is taken 5 s after the start. When the caption does not come up in time (30 s by default) the
# picture is taken all the same, since it shows what came up instead, and the script fails.
# Builds nothing: run scripts/build.sh first.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

caption=""
out=""
timeout=30
size=1024x768
while [ $# -gt 0 ]; do
    case "$1" in
    --caption) caption="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    --timeout) timeout="$2"; shift 2 ;;
    --size) size="$2"; shift 2 ;;
    --) shift; break ;;
    -*) echo "screenshot.sh: unknown option $1" >&2; exit 2 ;;
    *) break ;;
    esac
done
if [ $# -lt 1 ]; then
    echo "usage: screenshot.sh [--caption TEXT] [--out FILE.png] [--timeout SECONDS] [--size WxH] PROGRAM.exe [ARGUMENTS...]" >&2
    exit 2
fi
program="$(realpath "$1")"
shift
[ -f "$program" ] || { echo "screenshot.sh: no such program: $program" >&2; exit 2; }
if [ -z "$out" ]; then
    out="$TVX_BUILD/screenshots/$(basename "$program" .exe).png"
fi
mkdir -p "$(dirname "$out")"
out="$(realpath "$out")"

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
    # The server goes first: Wine processes that lose their display on the way out only complain.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number itself and reports it.
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
    sleep 0.1
done
[ -s "$work/display" ] || { echo "screenshot.sh: Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY

tvx_wine_demo_prefix
tvx_wine_server
windows_path="$(tvx_wine winepath -w "$program" 2>/dev/null)" ||
    { echo "screenshot.sh: winepath -w $program failed" >&2; exit 1; }
(cd "$(dirname "$program")" && tvx_wine explorer "/desktop=shot,$size" "$windows_path" "$@" \
    </dev/null >"$work/wine.log" 2>&1) &

found=no
if [ -n "$caption" ]; then
    deadline=$((SECONDS + timeout))
    while [ $SECONDS -lt $deadline ]; do
        if xwininfo -root -tree 2>/dev/null | grep -qF -- "\"$caption"; then
            found=yes
            break
        fi
        sleep 0.25
    done
    # A window is mapped before it has painted itself.
    sleep 1.5
else
    sleep 5
fi

xwd -root -silent | convert xwd:- "png:$out"
echo "$out"
if [ -n "$caption" ] && [ $found = no ]; then
    echo "screenshot.sh: no window with \"$caption\" in its caption within $timeout s" >&2
    cat "$work/wine.log" >&2
    exit 1
fi
