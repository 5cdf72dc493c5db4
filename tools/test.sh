#!/usr/bin/env bash
# Builds TSCheck.exe and its tests, then runs the whole test suite under Wine
# (unit tests and end-to-end scenarios). A display is taken from $DISPLAY or
# made with Xvfb. Extra arguments go to ctest (for example -L unit). Where
# Wine cannot run here (see tools/lib/machine.sh), the tests are built here
# and run in the guest, as a container or as an emulated machine.
set -eEuo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
source "$root/tools/lib/packages.sh"
source "$root/tools/lib/environment.sh"
name_failures
choose_machine

if [ "$TSCHECK_MACHINE" != guest ]; then
    ensure_packages
    # The logic natively first, with sanitizers and fuzzers: in seconds.
    "$root/tools/native_test.sh"
    configure_and_build "$build"
fi
if wine_in_guest; then
    run_in_guest tools/test.sh "$@"
fi
ensure_display
ensure_wine_prefix "$build"

cd "$build"
ctest --output-on-failure --timeout 600 "$@"
