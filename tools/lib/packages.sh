# The Debian packages the project needs, installed once (idempotent).
# shellcheck shell=bash

# Building the program and its tests; openssl and osslsigncode sign the
# sample setup with a certificate made for the build tree.
TSCHECK_BUILD_PACKAGES=(
    cmake make python3 openssl osslsigncode
    g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 mingw-w64-i686-dev binutils-mingw-w64-i686
    googletest
)
# Running them: Wine, a display and the tools the test scripts call. The
# emulated machine holds these instead when this one cannot run Wine.
TSCHECK_WINE_PACKAGES=(
    wine wine32:i386 wine64
    xvfb xauth x11-utils imagemagick
)
# Making and starting the emulated machine.
TSCHECK_EMULATOR_PACKAGES=(
    qemu-system-x86 debootstrap e2fsprogs
)

# The Debian archive this machine's apt uses (the first one that carries
# bookworm's main packages), so that the emulated machine is served by the
# same mirror or proxy. Reads both the one-line and the deb822 source files.
debian_mirror() {
    local file
    {
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk '$1 == "deb" && $0 ~ / bookworm / && $0 ~ / main/ {
                 for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit }
             }' "$file"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk 'BEGIN { RS = ""; FS = "\n" }
             /(^|\n)Suites:[^\n]*[ \t]bookworm([ \t]|\n|$)/ && /(^|\n)Components:[^\n]*main/ && !/(^|\n)Enabled: *no/ {
                 for (i = 1; i <= NF; i++) if ($i ~ /^URIs:/) { split($i, w, /[ \t]+/); print w[2]; exit }
             }' "$file"
    done
    } | head -1
}

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs what this machine lacks: the build packages, and Wine's or the
# emulator's depending on TSCHECK_MACHINE (see machine.sh).
ensure_packages() {
    local wanted=("${TSCHECK_BUILD_PACKAGES[@]}") missing=() updated=0 package
    if [ "${TSCHECK_MACHINE:-native}" = emulated ]; then
        wanted+=("${TSCHECK_EMULATOR_PACKAGES[@]}")
    else
        wanted+=("${TSCHECK_WINE_PACKAGES[@]}")
        if ! dpkg --print-foreign-architectures | grep -qx i386; then
            as_root dpkg --add-architecture i386
            as_root apt-get update -qq
            updated=1
        fi
    fi
    for package in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    [ $updated -eq 1 ] || as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}
