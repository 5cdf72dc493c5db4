# The common start of a tool that runs something of the build under Wine:
# sourced as the first line after `set -euo pipefail`, it sets $root and
# $build, builds the tree, and gives the tool Wine with a display, or starts
# the tool again in the emulated machine where Wine cannot run here.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="$root/build"
source "$root/tools/lib/environment.sh"
name_failures
prepare_wine_run "$build" "$0" "$@"
