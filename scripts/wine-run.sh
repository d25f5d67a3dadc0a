#!/usr/bin/env bash
# The cross-compiling emulator of the build: runs one Windows program of ours under the
# project's Wine environment.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec wine "$@"
