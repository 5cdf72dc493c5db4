#!/usr/bin/env bash
# Builds TSCheck.exe and its tests, then runs the whole test suite under Wine
# (unit tests and end-to-end scenarios). A display is taken from $DISPLAY or
# made with Xvfb. Extra arguments go to ctest (for example -L unit). Where
# this machine cannot run 32-bit code (or TSCHECK_EMULATE=1), the tests are
# built here and run in the emulated machine.
set -eEuo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
source "$root/tools/lib/packages.sh"
source "$root/tools/lib/environment.sh"
name_failures
choose_machine

if [ "$TSCHECK_MACHINE" != guest ]; then
    ensure_packages
    configure_and_build "$build"
fi
if [ "$TSCHECK_MACHINE" = emulated ]; then
    exec "$root/tools/guest/run.sh" tools/test.sh "$@"
fi
ensure_display
ensure_wine_prefix "$build"

cd "$build"
ctest --output-on-failure --timeout 600 "$@"
