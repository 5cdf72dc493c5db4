#!/usr/bin/env bash
# Shows the download bar at about half with its caption under Wine and
# captures it: build/progress-bar.png, copied to docs/progress-bar.png.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/wine_tool.sh"

# The demo ends by itself after six seconds; capture once it is drawn.
"$root/tools/wine-run" "$build/tests/controls/progress_bar_demo.exe" 6 &
demo=$!
sleep 3
import -window root -crop 561x65+0+0 +repage "$build/progress-bar.png"
wait "$demo"
mkdir -p "$root/docs"
cp "$build/progress-bar.png" "$root/docs/progress-bar.png"
echo "$build/progress-bar.png"
