#!/usr/bin/env bash
# Runs one command of this checkout in the guest's root as a container, for a
# machine whose kernel runs 32-bit code but whose package archive cannot give
# it a 32-bit Wine:
#   tools/guest/contain.sh tools/test.sh -L unit
# The guest's image (see build_image.sh) is the root, read-only under a
# throwaway overlay; the checkout is bound in at the same path, so the files
# the command writes are this checkout's. The container has its own mounts,
# processes and network (loopback only): everything it starts ends with it.
# The command runs with TSCHECK_IN_GUEST=1 and its exit status is this
# script's. Build on this machine first: the guest only runs.
set -eEuo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/tools/lib/environment.sh"
source "$root/tools/lib/packages.sh"
name_failures

if [ $# -eq 0 ]; then
    echo "usage: tools/guest/contain.sh COMMAND [ARGUMENTS...]" >&2
    exit 2
fi

"$root/tools/guest/build_image.sh"
cache=$(cd "$(guest_cache)" && pwd)
mounts=$(mktemp -d "${TMPDIR:-/tmp}/tscheck-container.XXXXXX")
# The container's mounts go with its namespace; only the empty folders stay.
on_exit "rm -rf '$mounts'"

user=""
[ "$(id -u)" -eq 0 ] || user="$(id -u):$(id -g)"
started=$SECONDS
status=0
as_root unshare --mount --pid --net --fork --kill-child \
    bash "$root/tools/guest/container_init" "$root" "$cache/root.img" "$mounts" "$user" "$@" ||
    status=$?
elapsed=$((SECONDS - started))
printf 'Container: %d m %02d s from start to end\n' $((elapsed / 60)) $((elapsed % 60))
exit "$status"
