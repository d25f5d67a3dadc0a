#!/usr/bin/env bash
# The README's run command: builds, prepares the demo sandbox and starts TvxSetup.exe from the
# sample start folder build/sample in the demo Wine prefix build/wineprefix-demo.
#   - DISPLAY set: the wizard comes up on that display; install, update or uninstall as a user
#     would. The command ends when the program has ended and the Word stand-in that an install
#     starts has been closed.
#   - No DISPLAY: the wizard comes up under Xvfb; the command writes a PNG picture of it, prints
#     the picture's path and ends the program.
#
#   bash scripts/run.sh [--keep] [ARGUMENTS FOR TvxSetup.exe]
#
# The sandbox build/demo stands in for the PC: two Word program folders, Word 2000 (version 9) and
# Word 2003 (version 11), each with the Word stand-in as winword.exe; Word 2003's on a path with
# blanks and an umlaut and with the add-in's template in its STARTUP folder, so that the wizard
# offers update and uninstall there and install for Word 2000. Beside them the Fonts folder and
# the temporary folder. The demo prefix's registry points there. Every run starts from this same
# state; --keep starts from what the last run left instead (to uninstall what it installed).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

keep=no
if [ "${1:-}" = --keep ]; then
    keep=yes
    shift
fi

bash "$TVX_ROOT/scripts/build.sh"

demo="$TVX_BUILD/demo"
word9="$demo/Programme/Microsoft Office/Office 2000"
word11="$demo/Programme/Microsoft Office/Office11 Ä"
program="$TVX_BUILD/sample/TvxSetup.exe"
export TVX_STANDIN_LOG="$demo/started-programs.log"
export TVX_STANDIN_CAPTION="Dokument1 - Microsoft Word (Stand-in)"

tvx_wine_demo_prefix
# A server left from an earlier run would keep its programs and its view of the registry.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
# The servers below go when the command ends, whichever way.
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

# A step that fails says which: set -e alone would end the command without a word.
windows_path() {
    tvx_wine winepath -w "$1" 2>/dev/null || { echo "run.sh: winepath -w $1 failed" >&2; return 1; }
}

reg_quiet() {
    tvx_wine reg "$@" </dev/null >/dev/null 2>&1
}

reg_set() { # key, value name, text
    reg_quiet add "$1" /v "$2" /t REG_SZ /d "$3" /f || { echo "run.sh: wine reg add $1 $2 failed" >&2; exit 1; }
}

if [ $keep = no ] || [ ! -d "$demo" ]; then
    tvx_wine_server
    rm -rf "$demo"
    mkdir -p "$word9" "$word11/STARTUP" "$demo/Fonts" "$demo/Temp"
    cp "$TVX_BUILD/bin/standins/winword.exe" "$word9/winword.exe"
    cp "$TVX_BUILD/bin/standins/winword.exe" "$word11/winword.exe"
    cp "$TVX_BUILD/sample/Docs/Tvx.dot" "$word11/STARTUP/Tvx.dot"

    # What an earlier install or uninstall wrote goes too: Word's settings, the version mark, the
    # uninstall entries. Keys that are not there are no error.
    reg_quiet delete 'HKCU\Software\Microsoft\Office' /f || true
    reg_quiet delete 'HKCU\Software\VB and VBA Program Settings' /f || true
    for version in 9 11; do
        reg_quiet delete "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarvex für Microsoft Word $version" /f || true
    done

    # Word 2000's folder without a trailing backslash, Word 2003's with one: Word writes either.
    word9_windows="$(windows_path "$word9")"
    word11_windows="$(windows_path "$word11")\\"
    fonts_windows="$(windows_path "$demo/Fonts")"
    temp_windows="$(windows_path "$demo/Temp")"
    reg_set 'HKCU\Software\Microsoft\Office\9.0\Word\Options' PROGRAMDIR "$word9_windows"
    reg_set 'HKCU\Software\Microsoft\Office\11.0\Word\Options' PROGRAMDIR "$word11_windows"
    reg_set 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' Fonts "$fonts_windows"
    reg_set 'HKCU\Environment' TEMP "$temp_windows"
    reg_set 'HKCU\Environment' TMP "$temp_windows"

    # Read back: an umlaut that got lost on the way would leave Word 2003 out of the list. The
    # export asks the server, which has every change already; nothing waits for its files.
    # reg export writes UTF-16; its text doubles every backslash.
    check_value() { # key, value name, expected text
        local file="$demo/Temp/check.reg" file_windows
        file_windows="$(windows_path "$file")"
        if ! reg_quiet export "$1" "$file_windows" /y; then
            echo "run.sh: wine reg export $1 failed" >&2
            exit 1
        fi
        local expected="\"$2\"=\"${3//\\/\\\\}\""
        # grep reads to the end (no -q): under pipefail an early exit could fail the writer instead.
        if ! iconv -f UTF-16 -t UTF-8 "$file" 2>/dev/null | tr -d '\r' | grep -xF -- "$expected" >/dev/null; then
            echo "run.sh: the demo registry did not take $1 $2 = $3" >&2
            exit 1
        fi
        rm -f "$file"
    }
    check_value 'HKCU\Software\Microsoft\Office\9.0\Word\Options' PROGRAMDIR "$word9_windows"
    check_value 'HKCU\Software\Microsoft\Office\11.0\Word\Options' PROGRAMDIR "$word11_windows"
    check_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' Fonts "$fonts_windows"
    # The changes reach the next server's processes through the files this server writes as it ends.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
fi

if [ -z "${DISPLAY:-}" ]; then
    exec bash "$TVX_ROOT/scripts/screenshot.sh" --caption "Tarvex Setup" --out "$TVX_BUILD/screenshots/TvxSetup.png" \
        "$program" "$@"
fi

tvx_wine_server
program_windows="$(windows_path "$program")"
status=0
(cd "$TVX_BUILD/sample" && tvx_wine "$program_windows" "$@") || status=$?
# An install ends by starting Word; the demo's Word is the stand-in, which stays until it is
# closed. The Fonts view stand-in stays too, hidden as the setup left it, and goes with the server.
# Word was started before the setup ended, but its window may take a moment to come up.
word_window() { xwininfo -root -tree 2>/dev/null | grep -qF -- "\"$TVX_STANDIN_CAPTION"; }
word_started() { grep -qi 'winword\.exe' "$TVX_STANDIN_LOG" 2>/dev/null; }
deadline=$((SECONDS + 10))
while [ $SECONDS -lt $deadline ] && ! word_window; do
    [ $SECONDS -ge $((deadline - 8)) ] && ! word_started && break
    sleep 0.25
done
if word_window; then
    echo "TvxSetup has ended; close the window \"$TVX_STANDIN_CAPTION\" to end the demo."
    while word_window; do
        sleep 0.5
    done
fi
if [ -s "$TVX_STANDIN_LOG" ]; then
    echo "Programs the setup started (command line and show state), from $TVX_STANDIN_LOG:"
    cat "$TVX_STANDIN_LOG"
fi
exit $status
