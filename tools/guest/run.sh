#!/usr/bin/env bash
# Runs one command of this checkout inside the emulated machine (see
# build_image.sh), for a machine that cannot run Wine itself:
#   tools/guest/run.sh tools/test.sh -L unit
# The checkout, build tree included, is copied into the guest at the same
# path; the command runs there with TSCHECK_IN_GUEST=1, its output appears
# here, the files it wrote come back into the checkout, and its exit status
# is this script's. Build on this machine first: the guest only runs.
#
# TSCHECK_GUEST_ACCEL  tcg (the default: the processor is emulated) or kvm,
#                      where the host offers working virtualisation
# TSCHECK_GUEST_MEMORY memory of the guest (default 6G)
# TSCHECK_GUEST_TIMEOUT seconds before the guest is stopped (default 5000)
set -eEuo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/tools/lib/environment.sh"
name_failures

if [ $# -eq 0 ]; then
    echo "usage: tools/guest/run.sh COMMAND [ARGUMENTS...]" >&2
    exit 2
fi
if [[ "$root" =~ [[:space:]] ]]; then
    echo "tools/guest/run.sh: the checkout's path must not contain blanks: $root" >&2
    exit 1
fi

accel=${TSCHECK_GUEST_ACCEL:-tcg}
if [ "$accel" != tcg ] && [ "$accel" != kvm ]; then
    echo "tools/guest/run.sh: TSCHECK_GUEST_ACCEL must be tcg or kvm, not $accel" >&2
    exit 1
fi

"$root/tools/guest/build_image.sh"
cache=$(guest_cache)
cache=$(cd "$cache" && pwd)
work=$(mktemp -d "$cache/run.XXXXXX")
on_exit "rm -rf '$work'"

# The job: the command, from the checkout's root. The Wine prefixes are the
# guest's own (this machine's may not exist or be of another kind), and the
# image and the objects stay here.
{ echo 'set -e'; printf 'exec'; printf ' %q' "$@"; echo; } >"$work/.guest-job"
excludes=(--exclude=./.git --exclude=./build/wineprefix --exclude=./build/wineprefix64
          --exclude='*.obj')
case "$cache/" in
    "$root"/*) excludes+=(--exclude="./${cache#"$root"/}") ;;
esac
tar -c -f "$work/job.tar" -C "$root" "${excludes[@]}" . -C "$work" .guest-job
truncate -s 2G "$work/results.tar"

console="$cache/last-console.log"
# Boots the guest with the given accelerator and shows the job's output;
# fails when the machine fails or is stopped by the time-out.
boot_guest() {
    local accel_options
    case "$1" in
        kvm) accel_options=(-accel kvm -cpu host,arch-capabilities=off) ;;
        # QEMU's TCG faults on Wine's return from 32-bit user code when SMAP is on.
        tcg) accel_options=(-accel tcg,thread=multi -cpu max,pku=off,la57=off,smap=off) ;;
    esac
    timeout "${TSCHECK_GUEST_TIMEOUT:-5000}" qemu-system-x86_64 \
        -nodefaults -display none -no-reboot -nic none \
        "${accel_options[@]}" -smp "$(nproc)" -m "${TSCHECK_GUEST_MEMORY:-6G}" \
        -kernel "$cache/vmlinuz" -initrd "$cache/initrd.img" \
        -append "root=/dev/vda rw console=ttyS0 quiet loglevel=3 init=/usr/sbin/tscheck-init tscheck.checkout=$root" \
        -drive "file=$cache/root.img,format=raw,if=virtio,snapshot=on" \
        -drive "file=$work/job.tar,format=raw,if=virtio,readonly=on" \
        -drive "file=$work/results.tar,format=raw,if=virtio" \
        -serial stdio </dev/null 2>"$work/qemu.log" | show_job_output
}

# Keeps the whole console in $console and shows the job's part of it, line
# by line as it comes (awk would wait to fill its buffer).
show_job_output() {
    local line shown=0
    : >"$console"
    while IFS= read -r line; do
        line=${line%$'\r'}
        printf '%s\n' "$line" >>"$console"
        case "$line" in
            @@tscheck-job-begins) shown=1 ;;
            @@tscheck-job-ends) shown=0 ;;
            *) [ "$shown" = 0 ] || printf '%s\n' "$line" ;;
        esac
    done
}

machine_failed() {
    cat "$work/qemu.log" >&2
    echo "tools/guest/run.sh: the emulated machine failed or timed out; its console: $console" >&2
    exit 1
}

started=$SECONDS
boot_guest "$accel" || machine_failed

rm -f "$root/.guest-status"
tar -x -f "$work/results.tar" -C "$root"
if [ ! -f "$root/.guest-status" ]; then
    echo "tools/guest/run.sh: the emulated machine ended without the job's exit status;" \
        "its console: $console" >&2
    exit 1
fi
status=$(cat "$root/.guest-status")
rm -f "$root/.guest-status"
elapsed=$((SECONDS - started))
printf 'Emulated machine (%s): %d m %02d s from start to power-off\n' "$accel" $((elapsed / 60)) $((elapsed % 60))
exit "$status"
