#!/usr/bin/env bash
# The program's main job: TSCheck.exe in a scratch program folder on the
# built-in default settings, on your display when there is one (else under
# Xvfb). Writes a screenshot and prints the verdict and the full exit code.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
source "$root/tools/lib/environment.sh"

configure_and_build "$build" >/dev/null
ensure_display
ensure_wine_prefix "$build"

folder="$TSCHECK_WINEPREFIX/drive_c/TSCheck"
rm -rf "$folder"
mkdir -p "$folder"
cp "$build/TSCheck.exe" "$folder/"
shot_bmp="$folder/screenshot.bmp"
shot_png="$build/main-job.png"

echo "Running C:\\TSCheck\\TSCheck.exe on the default settings (display $DISPLAY)"
output=$("$root/tools/wine-run" "$build/e2e/ts_driver.exe" \
    launch 'C:\TSCheck\TSCheck.exe' \
    wait-window "Tavrin Secure Requirements Check" 60 \
    sleep 500 shot 'C:\TSCheck\screenshot.bmp' dump \
    click 557 28 wait-exit 120 </dev/null | tr -d '\r')
convert "$shot_bmp" "$shot_png" 2>/dev/null && echo "Screenshot: $shot_png"

echo "$output" | sed -n 's/^child TSCheckLabel \([0-9]*\) \([0-9]*\) .* "\(.*\)"$/  \1,\2  \3/p'
code=$(echo "$output" | sed -n 's/^exit-code //p')
case "$code" in
    830808) echo "Verdict: every check passed (exit code 830808)" ;;
    770601) echo "Verdict: a check failed (exit code 770601)" ;;
    *) echo "Verdict: none (exit code $code)" ;;
esac
