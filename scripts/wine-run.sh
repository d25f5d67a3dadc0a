#!/usr/bin/env bash
# The cross-compiling emulator of the build: runs one Windows program of ours under the
# project's Wine environment, without address-space randomization (see tvx_wine).
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec "${TVX_WINE[@]}" "$@"
