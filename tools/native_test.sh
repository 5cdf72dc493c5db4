#!/usr/bin/env bash
# The program's logic on this machine, before anything runs under Wine:
# builds native/ in build-native with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, runs its unit tests with ctest, replays every
# fuzz corpus and fuzzes each target for a few seconds. Stops at the first
# failure. Needs TSCHECK_NATIVE_PACKAGES (tools/lib/packages.sh).
#
#   tools/native_test.sh [--seconds N]   (N: fuzzing per target, default 2)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TSCHECK_NATIVE_BUILD:-$root/build-native}
seconds=2
if [ "${1:-}" = --seconds ]; then seconds=$2; fi

cmake -S "$root/native" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2 >/dev/null
# Unit tests and the corpus replays: every seed, and every finding kept as one.
ctest --test-dir "$build" --output-on-failure -j2
TSCHECK_NATIVE_BUILD="$build" "$root/tools/fuzz.sh" --seconds "$seconds"
