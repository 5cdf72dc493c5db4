#!/usr/bin/env bash
# Sets up everything TSCheck needs on a Debian machine (i386 architecture,
# mingw-w64, Wine, Xvfb, CMake, GoogleTest sources; skipping what is already
# there), builds build/TSCheck.exe and runs the program's main job under Wine.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/tools/lib/packages.sh"
ensure_packages
exec "$root/tools/main_job.sh" "$@"
