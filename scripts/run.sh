#!/usr/bin/env bash
# Builds the program and starts it under the project's Wine environment.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

bash "$TVX_ROOT/scripts/build.sh"
tvx_wine_start
trap tvx_wine_stop EXIT
wine "$TVX_BUILD/bin/TvxSetup.exe" "$@"
