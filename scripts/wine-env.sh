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

# Debian's Wine does not find the Tahoma of fonts-wine in its data folder; in the prefix's own
# Fonts folder it does. Without Tahoma every text width and line count would differ from Windows.
tvx_wine_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    cp -n /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf "$fonts/" 2>/dev/null || true
}

# Creates the prefix on first use and switches it to the null graphics driver, so that windows
# can be created without a display. The server is restarted afterwards: a desktop process started
# before the switch would keep the old driver.
tvx_wine_prefix() {
    if [ ! -f "$WINEPREFIX/.tvx-ready" ]; then
        mkdir -p "$WINEPREFIX"
        wine cmd /c exit </dev/null >/dev/null 2>&1 || true
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
        tvx_wine_fonts
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
        touch "$WINEPREFIX/.tvx-ready"
    fi
}

# A persistent server, warmed once. Wine's background processes inherit the standard output of
# the first Wine process; started here with their output on /dev/null they never hold a pipe of
# ctest open.
tvx_wine_start() {
    tvx_wine_prefix
    # A server that runs already (an earlier run, another shell) is used as it is.
    wineserver -p >/dev/null 2>&1 </dev/null || true
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

tvx_wine_stop() {
    wineserver -k >/dev/null 2>&1 || true
}
