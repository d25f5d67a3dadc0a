#!/usr/bin/env bash
# The shipped program is one file under 1 MB that needs nothing but Windows' own DLLs.
set -euo pipefail
exe="$1"
# Windows' own DLLs, but none that the setup folder holds a file of the same name for (the add-in's
# runtime support files): the loader would take that file from beside the program first. ntdll is
# in every process before the program is, from the system folder.
allowed='^(kernel32|user32|gdi32|advapi32|msvcrt|ntdll)\.dll$'

size=$(stat -c %s "$exe")
if [ "$size" -ge 1048576 ]; then
    echo "$exe is $size bytes, 1 MB or more"
    exit 1
fi
status=0
while read -r dll; do
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
        echo "imports a DLL that Windows does not bring: $dll"
        status=1
    fi
done < <(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[ $status -eq 0 ] && echo "$(basename "$exe"): $size bytes, system DLLs only"
exit $status
