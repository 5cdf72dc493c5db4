#!/usr/bin/env bash
# Builds the tree, then compares the download control's throughput under
# Wine with curl's on the loopback server (see download_benchmark.py).
# Arguments go to download_benchmark.py, for example --sizes 256 --rounds 5.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
source "$root/tools/lib/environment.sh"

name_failures
prepare_wine_run "$build" "$0" "$@"
python3 "$root/tools/download_benchmark.py" --build "$build" "$@"
