#!/usr/bin/env bash
# Builds TSCheck.exe and its tests, then runs the whole test suite under Wine
# (unit tests and end-to-end scenarios). A display is taken from $DISPLAY or
# made with Xvfb. Extra arguments go to ctest (for example -L unit).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
source "$root/tools/lib/packages.sh"
source "$root/tools/lib/environment.sh"

ensure_packages

configure_and_build "$build"
ensure_display
ensure_wine_prefix "$build"

cd "$build"
ctest --output-on-failure --timeout 600 "$@"
