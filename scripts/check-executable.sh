#!/usr/bin/env bash
# The shipped program is one 32-bit x86 file under 1 MB that needs nothing but Windows' own DLLs,
# and starts on every Windows its manifest claims, Windows 7 SP1 without later updates the oldest,
# in its 32-bit editions too.
set -euo pipefail
exe="$1"
# Windows' own DLLs, but none that the setup folder holds a file of the same name for (the add-in's
# runtime support files): the loader would take that file from beside the program first. ntdll is
# in every process before the program is, from the system folder.
allowed='^(kernel32|user32|gdi32|advapi32|msvcrt|ntdll)\.dll$'
# Functions that Windows 7 SP1 does not export (or only with a later update): one of them in the
# import table and the loader refuses to start the program at all, before a line of it has run.
# Such a function is looked up at run time instead. The MinGW headers declare several of them
# whatever _WIN32_WINNT says, and a newer MinGW runtime may bring one in of its own.
missing_on_windows_7=(
    # The loader's search path: Windows 8, on Windows 7 only with update KB2533623.
    SetDefaultDllDirectories AddDllDirectory RemoveDllDirectory
    # Windows 8.
    SetProcessMitigationPolicy GetProcessMitigationPolicy GetSystemTimePreciseAsFileTime CreateFile2 CopyFile2
    GetOverlappedResultEx WaitOnAddress WakeByAddressSingle WakeByAddressAll GetCurrentThreadStackLimits
    PrefetchVirtualMemory 'PathCch[A-Za-z]*'
    # Windows 10.
    SetThreadDescription GetThreadDescription GetDpiForWindow GetDpiForSystem SetThreadDpiAwarenessContext
    SetProcessDpiAwarenessContext AdjustWindowRectExForDpi GetSystemMetricsForDpi SystemParametersInfoForDpi
    EnableNonClientDpiScaling VirtualAlloc2 MapViewOfFile3
    # Windows 11.
    GetFileInformationByName
)
denied="^($(
    IFS='|'
    echo "${missing_on_windows_7[*]}"
))$"

size=$(stat -c %s "$exe")
if [ "$size" -ge 1048576 ]; then
    echo "$exe is $size bytes, 1 MB or more"
    exit 1
fi
# A 64-bit program does not start at all on a 32-bit Windows.
format=$(i686-w64-mingw32-objdump -f "$exe" 2>/dev/null | sed -n 's/.*file format //p' || true)
if [ "$format" != pei-i386 ]; then
    echo "$exe is no 32-bit x86 program (file format ${format:-unknown})"
    exit 1
fi
table=$(i686-w64-mingw32-objdump -p "$exe")
status=0
while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
        echo "imports a DLL that Windows does not bring: $dll"
        status=1
    fi
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$table")

# "DLL function" for each function imported by name: the lines of the import tables' listing that
# follow a DLL's name, up to the next table of the dump.
imports=$(awk '/^The Import Tables/ { inside = 1; next }
               /^The [A-Z]|^PE File Base Relocations/ { inside = 0 }
               inside && /DLL Name:/ { dll = $3; next }
               inside && dll != "" && NF == 3 && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print dll, $3 }' <<<"$table")
# Every program imports something from kernel32: nothing read means the dump was not understood,
# and the check below would pass whatever the table holds.
if ! grep -qi '^kernel32\.dll ' <<<"$imports"; then
    echo "no functions imported from kernel32.dll read from the import table of $exe"
    exit 1
fi
while read -r dll function; do
    if [[ "$function" =~ $denied ]]; then
        echo "imports $function from $dll, which Windows 7 lacks: the program would not start there"
        status=1
    fi
done <<<"$imports"
[ $status -eq 0 ] && echo "$(basename "$exe"): 32-bit x86, $size bytes, system DLLs only, $(wc -l <<<"$imports") functions all on Windows 7"
exit $status
