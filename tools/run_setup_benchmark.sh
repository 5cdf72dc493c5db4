#!/usr/bin/env bash
# Builds the tree, then times Run Setup on the real TSCheck.exe under Wine
# against curl followed by sha256sum, on the loopback server (see
# run_setup_benchmark.py). Arguments go to run_setup_benchmark.py, for
# example --sizes 256,16 --rounds 3 or --exe path/to/another/TSCheck.exe.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/wine_tool.sh"
python3 "$root/tools/run_setup_benchmark.py" --build "$build" "$@"
