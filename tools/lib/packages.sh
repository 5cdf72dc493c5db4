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
