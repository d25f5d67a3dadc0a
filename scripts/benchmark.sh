#!/usr/bin/env bash
# Prints how fast the setup starts and installs, measured side by side in one run under the same
# Wine: the time from process start until the wizard is ready against a bare window program, and an
# install's copies against a plain copy of the same files. Medians of several runs and their
# ratios; a number for a person to read, not a test. Usage: scripts/benchmark.sh [repetitions]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

bash "$TVX_ROOT/scripts/build.sh" >/dev/null

tvx_wine_start
trap tvx_wine_stop EXIT
tvx_wine "$TVX_BUILD/bin/bench/benchmark.exe" "${1:-7}" </dev/null
