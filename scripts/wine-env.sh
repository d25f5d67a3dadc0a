# Sourced by the other scripts: the project's own Wine environment inside the build folder.
# Every Wine process of the build, the tests and the run command sees the same prefix and settings.

TVX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TVX_BUILD="${TVX_BUILD:-$TVX_ROOT/build}"

export WINEPREFIX="${WINEPREFIX:-$TVX_BUILD/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko install prompts: the program needs neither.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Only C, C.UTF-8 and POSIX exist on the build machines; in plain C Wine strips the high bit of
# every command-line byte, and umlauts in arguments and paths would be lost.
export LC_ALL=C.UTF-8

# Wine with the address-space randomization of Linux turned off for the program and everything it
# starts. Randomized, now and then (about one start in 4000, measured) something lies where Wine
# must map the shared user data page: the program ends at once with exit code 1 and, with
# WINEDEBUG=-all, without a word ("failed to map the shared user data: c0000018"), and its test
# fails after 0.01 s. The Windows programs themselves are the same either way. winepath is a Wine
# program too: start it as "tvx_wine winepath". wine-run.sh execs the same command.
TVX_WINE=(setarch "$(uname -m)" -R wine)
tvx_wine() {
    "${TVX_WINE[@]}" "$@"
}

# One server for a sequence of Wine starts, until wineserver -k. Debian's wineserver script passes
# -p0: about 1.5 s after its last program has ended the server shuts down, and a program starting
# then waits for it to go and starts a new one (1 s instead of 0.05 s, measured); Wine gives up
# that wait after about 5 s, which a busy machine can reach. A server that runs already is left
# as it is.
tvx_wine_server() {
    wineserver -p >/dev/null 2>&1 </dev/null || true
}

# Debian's Wine does not find the Tahoma of fonts-wine in its data folder; in the prefix's own
# Fonts folder it does. Without Tahoma every text width and line count would differ from Windows.
tvx_wine_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    cp -n /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf "$fonts/" 2>/dev/null || true
}

# Under Wine the shell's Fonts folder view opens no window (its shell32 entry is a stub), and every
# install that copies a font would wait 30 s for it. Our stand-in (tests/standins/rundll32.cpp)
# takes the place of the prefix's rundll32.exe in the folder the program starts "RUNDLL32.EXE" from
# by its System32 path: the program is 32-bit, and WOW64 redirects its System32 to SysWOW64, so
# that it starts the 32-bit rundll32 there, as on 64-bit Windows. The 64-bit one in system32 stays
# Wine's own: a program that started that one would get no Fonts view, and its test would wait in
# vain. Wine's own 32-bit rundll32 is kept beside the stand-in as wine-rundll32.exe, for the
# commands that are not ours. Refreshed at every call, so a rebuilt stand-in reaches the prefix;
# nothing is done before the build has made it.
tvx_wine_fonts_view() {
    local standin="$TVX_BUILD/bin/standins/rundll32.exe"
    local syswow64="$WINEPREFIX/drive_c/windows/syswow64"
    [ -f "$standin" ] && [ -d "$syswow64" ] || return 0
    if grep -q 'Wine builtin DLL' "$syswow64/rundll32.exe" 2>/dev/null; then
        cp "$syswow64/rundll32.exe" "$syswow64/wine-rundll32.exe"
    fi
    cmp -s "$standin" "$syswow64/rundll32.exe" || cp "$standin" "$syswow64/rundll32.exe"
}

# A prefix that Wine made before its 32-bit half was installed has an empty syswow64 folder, and no
# 32-bit program starts in it: such a prefix of ours is made anew.
tvx_wine_prefix_has_wow64() {
    [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]
}

# Creates a prefix on first use and prepares it: Tahoma in its Fonts folder, Wine told to load a
# rundll32.exe of ours instead of its built-in one (Wine prefers its own for system programs),
# and with the argument "null" the null graphics driver, so that windows can be created without a
# display. The server is stopped afterwards: a desktop process started before the switch would keep
# the old driver. The registry reaches the next server through the files this one writes as it ends.
tvx_wine_setup_prefix() {
    local driver="${1:-}"
    if [ -f "$WINEPREFIX/.tvx-ready" ] && ! tvx_wine_prefix_has_wow64; then
        echo "The Wine prefix $WINEPREFIX has no 32-bit half: made anew" >&2
        wineserver -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
    fi
    if [ ! -f "$WINEPREFIX/.tvx-ready" ] || [ ! -f "$WINEPREFIX/.tvx-fonts-view" ]; then
        mkdir -p "$WINEPREFIX"
        tvx_wine_server
        tvx_wine cmd /c exit </dev/null >/dev/null 2>&1 || true
        local ok=yes
        if [ "$driver" = null ]; then
            tvx_wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1 ||
                ok=no
        fi
        # native,builtin: a prefix whose stand-in is not there yet still has a working rundll32.
        tvx_wine reg add 'HKCU\Software\Wine\DllOverrides' /v rundll32.exe /d native,builtin /f \
            </dev/null >/dev/null 2>&1 || ok=no
        tvx_wine_fonts
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        if [ $ok = no ]; then
            # Unmarked, the next call tries again.
            echo "The Wine prefix $WINEPREFIX could not be prepared (wine reg add failed)" >&2
            return 1
        fi
        touch "$WINEPREFIX/.tvx-ready" "$WINEPREFIX/.tvx-fonts-view"
    fi
    tvx_wine_fonts_view
}

# The test prefix: no display needed.
tvx_wine_prefix() {
    tvx_wine_setup_prefix null
}

# The demo prefix of the run command and the screenshot script, beside the test prefix: it draws on
# a display (the user's or Xvfb's), so it has no null driver. Marlett draws the caption buttons,
# option buttons and scroll arrows; like Tahoma, Wine finds it only in the prefix's Fonts folder.
tvx_wine_demo_prefix() {
    export WINEPREFIX="$TVX_BUILD/wineprefix-demo"
    tvx_wine_setup_prefix
    cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
}

# A persistent server, warmed once. Wine's background processes inherit the standard output of
# the first Wine process; started here with their output on /dev/null they never hold a pipe of
# ctest open.
tvx_wine_start() {
    tvx_wine_prefix
    # A server that runs already (an earlier run, another shell) is used as it is.
    tvx_wine_server
    tvx_wine cmd /c exit </dev/null >/dev/null 2>&1 || true
    # Wine closes the desktop (and its explorer process) a second after its last user has gone and
    # builds it anew for the next window; a test program opening its first window while that goes
    # on under load can get none. One user that stays keeps the desktop up for the whole run; it
    # ends with the server.
    local keeper="$TVX_BUILD/bin/standins/desktopkeeper.exe"
    if [ -f "$keeper" ]; then
        tvx_wine "$keeper" </dev/null >/dev/null 2>&1 &
    fi
}

tvx_wine_stop() {
    wineserver -k >/dev/null 2>&1 || true
}
