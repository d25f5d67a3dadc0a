#!/usr/bin/env bash
# Configures and builds everything (program, tests, stand-ins) into build/.
# The compiler's output is shown only when the build fails.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

bash "$TVX_ROOT/scripts/install-packages.sh"

mkdir -p "$TVX_BUILD"
log="$TVX_BUILD/build.log"
if [ ! -f "$TVX_BUILD/CMakeCache.txt" ]; then
    if ! cmake -S "$TVX_ROOT" -B "$TVX_BUILD" -DCMAKE_TOOLCHAIN_FILE="$TVX_ROOT/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >"$log" 2>&1; then
        cat "$log"
        exit 1
    fi
fi
if ! cmake --build "$TVX_BUILD" -j "$(nproc)" >"$log" 2>&1; then
    cat "$log"
    exit 1
fi
grep -i 'warning:' "$log" || true
echo "Built into $TVX_BUILD"
