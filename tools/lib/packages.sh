# The Debian packages the project needs, installed once (idempotent).
# shellcheck shell=bash

# Building the program and its tests; openssl and osslsigncode sign the
# sample setup with a certificate made for the build tree.
TSCHECK_BUILD_PACKAGES=(
    cmake make python3 openssl osslsigncode
    g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 mingw-w64-i686-dev binutils-mingw-w64-i686
    googletest
)
# The logic built for this machine (tools/native_test.sh): clang with its
# sanitizer and libFuzzer runtimes, and curl's URL reader for one fuzzer.
TSCHECK_NATIVE_PACKAGES=(
    clang libclang-rt-14-dev libcurl4-openssl-dev
)
# Running them: Wine, a display and the tools the test scripts call. The
# emulated machine holds these instead when this one cannot run Wine.
TSCHECK_WINE_PACKAGES=(
    wine wine32:i386 wine64
    xvfb xauth x11-utils imagemagick
)
# Making the guest (tools/guest), and starting it as a container or as an
# emulated machine.
TSCHECK_CONTAINER_PACKAGES=(
    debootstrap e2fsprogs
)
TSCHECK_EMULATOR_PACKAGES=(
    qemu-system-x86 "${TSCHECK_CONTAINER_PACKAGES[@]}"
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

# The given packages that are not installed, one line.
missing_packages() {
    local package missing=()
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    echo "${missing[*]}"
}

# Refreshes apt's package lists once per script. An index that fails (a
# mirror in mid-sync, a proxy's stale file, an architecture a site does not
# mirror) is a warning naming it: what is needed may well come from the
# others, and the install says so if it does not.
PACKAGE_INDEX_REFRESHED=0
refresh_package_index() {
    [ "$PACKAGE_INDEX_REFRESHED" = 1 ] && return 0
    PACKAGE_INDEX_REFRESHED=1
    local log status=0
    log=$(as_root apt-get update -qq 2>&1) || status=$?
    if [ "$status" -ne 0 ] || grep -q '^[EW]: Failed to fetch' <<<"$log"; then
        local failed
        failed=$(sed -n 's/^[EW]: Failed to fetch \([^ ]*\).*/\1/p' <<<"$log" | paste -sd ' ')
        echo "Warning: apt-get update could not refresh every package index" \
            "(${failed:-status $status}); going on with the lists apt has." >&2
    fi
}

# Sets WINE_UNAVAILABLE to why Debian's 32-bit Wine cannot be installed on
# this machine, in a few words; empty when it is installed or can be. Adds
# the i386 architecture when it is missing (as installing Wine would), and
# removes nothing.
find_why_wine_unavailable() {
    WINE_UNAVAILABLE=""
    local missing simulation
    missing=$(missing_packages "${TSCHECK_WINE_PACKAGES[@]}")
    [ -z "$missing" ] && return 0
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
        PACKAGE_INDEX_REFRESHED=0
    fi
    refresh_package_index
    if ! apt-cache show wine32:i386 >/dev/null 2>&1; then
        WINE_UNAVAILABLE="the package archive has no 32-bit Wine (wine32:i386)"
        return 0
    fi
    # shellcheck disable=SC2086  # one word a package
    if ! simulation=$(apt-get install -s -qq --no-install-recommends $missing 2>&1); then
        WINE_UNAVAILABLE="the package archive cannot give this machine a 32-bit Wine"
        WINE_UNAVAILABLE+=" ($(grep -m1 '^E:' <<<"$simulation" | sed 's/^E: //; s/\.$//'))"
    fi
}

# Installs what this machine lacks for the way Wine runs (TSCHECK_MACHINE,
# see machine.sh): the build packages, and Wine's, the container's or the
# emulator's. Stops with one line naming what could not be installed.
ensure_packages() {
    local wanted=("${TSCHECK_BUILD_PACKAGES[@]}") missing
    [ "${TSCHECK_MACHINE:-native}" = guest ] || wanted+=("${TSCHECK_NATIVE_PACKAGES[@]}")
    case "${TSCHECK_MACHINE:-native}" in
        emulated) wanted+=("${TSCHECK_EMULATOR_PACKAGES[@]}") ;;
        contained) wanted+=("${TSCHECK_CONTAINER_PACKAGES[@]}") ;;
        *)
            wanted+=("${TSCHECK_WINE_PACKAGES[@]}")
            if ! dpkg --print-foreign-architectures | grep -qx i386; then
                as_root dpkg --add-architecture i386
                PACKAGE_INDEX_REFRESHED=0
            fi
            ;;
    esac
    missing=$(missing_packages "${wanted[@]}")
    [ -z "$missing" ] && return 0
    echo "Installing: $missing"
    refresh_package_index
    local log
    # shellcheck disable=SC2086  # one word a package
    if ! log=$(as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
            --no-install-recommends $missing 2>&1 >/dev/null); then
        echo "Cannot install the packages this project needs ($missing):" \
            "$(grep -m1 '^E:' <<<"$log" | sed 's/^E: //')" >&2
        return 1
    fi
}
