#!/usr/bin/env bash
# Sets up everything TSCheck needs on a Debian machine (mingw-w64, CMake,
# GoogleTest sources, and either Wine with Xvfb and the i386 architecture or,
# on a machine that cannot run 32-bit code, the emulated machine; skipping
# what is already there), builds build/TSCheck.exe and runs the program's
# main job under Wine.
set -eEuo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/lib/packages.sh"
source "$root/tools/lib/environment.sh"
name_failures
choose_machine
ensure_packages
exec "$root/tools/main_job.sh" "$@"
