#!/usr/bin/env bash
# Builds the tree, then compares the download control's throughput under
# Wine with curl's on the loopback server (see download_benchmark.py).
# Arguments go to download_benchmark.py, for example --sizes 256 --rounds 5.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/wine_tool.sh"
python3 "$root/tools/download_benchmark.py" --build "$build" "$@"
