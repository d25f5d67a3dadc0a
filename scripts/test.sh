#!/usr/bin/env bash
# Builds everything and runs every test under Wine; ends with ctest's summary.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

bash "$TVX_ROOT/scripts/build.sh"

tvx_wine_start
trap tvx_wine_stop EXIT
status=0
ctest --test-dir "$TVX_BUILD" --output-on-failure -j "${TVX_TEST_JOBS:-4}" "$@" || status=$?
exit $status
