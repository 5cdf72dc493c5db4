#!/usr/bin/env bash
# The program's main job: TSCheck.exe in a scratch program folder on the
# built-in default settings, on your display when there is one (else under
# Xvfb). The project's loopback server stands in for the provider's download
# server (as the prefix's proxy) and serves a small sample setup program,
# signed with a certificate made for the build tree, so the whole flow runs
# on this machine: the checks, Run Setup, the download with its progress bar,
# the signature check against the pinned signer, the started setup. The
# program is the build that pins that certificate (build/signed). Writes
# screenshots and prints the rows, the verdict with the signer and the full
# exit code.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/wine_tool.sh"

folder="$TSCHECK_WINEPREFIX/drive_c/TSCheck"
rm -rf "$folder"
mkdir -p "$folder"
cp "$build/signed/TSCheck.exe" "$folder/"

address_file="$build/main-job-server.url"
rm -f "$address_file"
python3 "$root/tools/loopback_http_server.py" --lifetime 300 \
    --file "/TavrinCA/tavrinsecure/tavrinsecure.exe=$build/sample/tavrinsecure_signed.exe" \
    --shape "rate=700000" >"$address_file" 2>/dev/null </dev/null &
on_exit "kill $! 2>/dev/null || true"
for _ in $(seq 100); do
    [ -s "$address_file" ] && break
    sleep 0.1
done
server=$(head -n 1 "$address_file")
settings='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
wine_quiet() { "$root/tools/wine-run" "$@" >/dev/null 2>&1 </dev/null; }
wine_quiet reg add "$settings" /v ProxyEnable /t REG_DWORD /d 1 /f
wine_quiet reg add "$settings" /v ProxyServer /d "${server#http://}" /f
on_exit "'$root/tools/wine-run' reg delete '$settings' /v ProxyEnable /f >/dev/null 2>&1 </dev/null || true"

echo "Running C:\\TSCheck\\TSCheck.exe on the default settings (display $DISPLAY)"
echo "The setup program comes from $server, standing in for the provider's server."
{ read -r signer_name; read -r signer_thumbprint; } <"$build/sample/signing/publisher.txt"
echo "This TSCheck.exe starts only a setup signed by the certificate with SHA-256 thumbprint"
echo "$signer_thumbprint ($signer_name, made for this build tree)."
log="$build/main-job.log"
"$root/tools/wine-run" "$build/e2e/ts_driver.exe" \
    launch 'C:\TSCheck\TSCheck.exe' \
    wait-window "Tavrin Secure Requirements Check" 60 \
    sleep 500 shot 'C:\TSCheck\results.bmp' dump \
    click 294 366 sleep 2000 shot 'C:\TSCheck\downloading.bmp' \
    wait-exit 120 sleep 2000 shot 'C:\TSCheck\setup-started.bmp' \
    </dev/null >"$log" 2>/dev/null
output=$(tr -d '\r' <"$log")

for shot in results downloading setup-started; do
    convert "$folder/$shot.bmp" "$build/main-job-$shot.png" 2>/dev/null &&
        echo "Screenshot: $build/main-job-$shot.png"
done
echo "$output" | sed -n 's/^child TSCheckLabel \([0-9]*\) \([0-9]*\) .* "\(.*\)"$/  \1,\2  \3/p'
# The setup runs from a folder of the run's own inside the Windows folder's
# own Temp (the run has administrator rights).
started=$(ls "$TSCHECK_WINEPREFIX"/drive_c/windows/temp/TSCheck-*/tavrinsecure-started.txt \
    2>/dev/null | head -n 1 || true)
[ -n "$started" ] && echo "The downloaded setup program started from ${started%/*}." &&
    rm -f "$started"
# Only a setup whose signature verified and whose signer is the pinned one starts.
signer="the setup was not started"
[ -n "$started" ] && signer="signed by $signer_name, thumbprint $signer_thumbprint"
code=$(echo "$output" | sed -n 's/^exit-code //p')
case "$code" in
    830808) echo "Verdict: every check passed (exit code 830808); setup $signer" ;;
    770601) echo "Verdict: a check failed (exit code 770601); setup $signer" ;;
    "")
        echo "Verdict: unknown: the driver reported no exit code; its output:" >&2
        sed 's/^/  /' <<<"$output" >&2
        exit 1
        ;;
    *) echo "Verdict: none (exit code $code)" ;;
esac
