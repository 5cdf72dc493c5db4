#!/usr/bin/env bash
# Measures the processor clock as the processor check does, 10 times under
# Wine, and prints the median and the spread beside the time-stamp frequency
# that the Linux kernel reports for this machine.
# Goal: median within 1 % of the kernel's figure, spread under 2 %.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
runs=${RUNS:-10}
source "$root/tools/lib/environment.sh"

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target cpu_clock_bench -j 2 >/dev/null
ensure_display
ensure_wine_prefix "$build"

# The kernel's time-stamp frequency in MHz: its refined calibration when it
# made one, else its first detection, else what /proc/cpuinfo says.
kernel_tsc_mhz() {
    local log
    log=$( (dmesg 2>/dev/null || journalctl -k -b 2>/dev/null || true) | grep -i 'tsc:' || true)
    local refined detected
    refined=$(sed -n 's/.*Refined TSC clocksource calibration: \([0-9.]*\) MHz.*/\1/p' <<<"$log" | tail -1)
    detected=$(sed -n 's/.*tsc: Detected \([0-9.]*\) MHz processor.*/\1/p' <<<"$log" | tail -1)
    if [ -n "$refined" ]; then echo "$refined refined TSC calibration"
    elif [ -n "$detected" ]; then echo "$detected detected TSC"
    else awk -F: '/^cpu MHz/ {gsub(/ /, "", $2); print $2 " /proc/cpuinfo cpu MHz"; exit}' /proc/cpuinfo
    fi
}

results=()
for i in $(seq "$runs"); do
    line=$("$root/tools/wine-run" "$build/tools/bench/cpu_clock_bench.exe" | tr -d '\r')
    printf 'run %2d: %s MHz in %s s, %s cycles (logical count %s)\n' "$i" $line
    results+=("${line%% *}")
done

read -r kernel origin < <(kernel_tsc_mhz)
printf '%s\n' "${results[@]}" | sort -n | awk -v kernel="$kernel" -v origin="$origin" '
    { v[NR] = $1 }
    END {
        median = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        spread = (v[NR] - v[1]) / median * 100
        printf "median %.3f MHz, spread %.4f %% (min %.3f, max %.3f, %d runs)\n", \
            median, spread, v[1], v[NR], NR
        if (kernel != "")
            printf "kernel %.3f MHz (%s): median off by %+.4f %%\n", \
                kernel, origin, (median - kernel) / kernel * 100
    }'
