#!/usr/bin/env bash
# Fuzzes the readers of untrusted input (the libFuzzer targets of native/),
# one target at a time, each for the given time.
#
#   tools/fuzz.sh [--seconds N] [--runs N] [TARGET...]
#
# TARGET names one of build-native/fuzzers.txt (default: all). New corpus
# entries are kept in $TSCHECK_FUZZ_DIR/<target> (default
# ~/.cache/tscheck/fuzz), outside the tree; each target also reads its seeds
# in tests/fuzz/corpus/<target>. Prints per target the executions, the
# coverage and any finding (kept in $TSCHECK_FUZZ_DIR/findings/<target>);
# exits 1 when there was one. Add a finding to the seeds once its fault is
# fixed.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TSCHECK_NATIVE_BUILD:-$root/build-native}
work=${TSCHECK_FUZZ_DIR:-$HOME/.cache/tscheck/fuzz}
seconds=60
runs=0
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        -h|--help) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
        *) targets+=("$1"); shift ;;
    esac
done

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root/native" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
cmake --build "$build" -j2 >/dev/null
read -r -a known < "$build/fuzzers.txt" 2>/dev/null || known=()
[ ${#known[@]} -gt 0 ] || { echo "fuzz.sh: no fuzzers in $build (clang needed)" >&2; exit 2; }
[ ${#targets[@]} -gt 0 ] || targets=("${known[@]}")

found=0
printf '%-18s %12s %6s %7s %7s  %s\n' target executions cov features corpus finding
for target in "${targets[@]}"; do
    program="$build/fuzz_$target"
    [ -x "$program" ] || { echo "fuzz.sh: no target $target (known: ${known[*]})" >&2; exit 2; }
    corpus="$work/$target" findings="$work/findings/$target"
    mkdir -p "$corpus" "$findings"
    log="$work/$target.log"
    # Short inputs run faster and reach every branch of a text reader; a
    # program image needs its headers and a section.
    max_len=512
    [ "$target" = program_image ] && max_len=4096
    limits=(-max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048
            -print_final_stats=1)
    [ "$runs" -gt 0 ] && limits+=(-runs="$runs")
    status=0
    # Long runs share the machine: the lowest priority.
    nice -n 19 "$program" "${limits[@]}" -artifact_prefix="$findings/" \
        "$corpus" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2 || true)
    features=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2 || true)
    finding=none
    if [ "$status" -ne 0 ]; then
        found=1
        finding=$(grep -o "Test unit written to [^ ]*" "$log" | tail -1 | sed 's/Test unit written to //' || true)
        finding="${finding:-exit $status, see $log}"
    fi
    printf '%-18s %12s %6s %7s %7s  %s\n' "$target" "${executions:-?}" "${coverage:-?}" \
        "${features:-?}" "$(find "$corpus" -type f | wc -l)" "$finding"
    if [ "$status" -ne 0 ]; then
        grep -m3 -E 'property failed|ERROR: |runtime error' "$log" | sed 's/^/    /' || true
    fi
done
exit "$found"
