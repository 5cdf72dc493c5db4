# Shared by the project's scripts: build, display and Wine prefix.
# shellcheck shell=bash
source "$root/tools/lib/machine.sh"
source "$root/tools/lib/packages.sh"

# A failing step names itself (script, line, command, status) instead of
# ending the script silently. Call right after sourcing this file.
name_failures() {
    set -E
    trap 'echo "${0##*/}: failed with status $? at ${BASH_SOURCE[0]#"$root"/}:$LINENO: $BASH_COMMAND" >&2' ERR
}

# Wine names Windows files in the locale's character set, and a test's
# non-ASCII folder names need UTF-8, whatever locale the caller has (often
# none, or one that is not installed). Every Debian has C.UTF-8.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset LANGUAGE

# Where the guest's image is kept: outside the source tree, so that every
# checkout on this machine (a CI clone too) shares the one made once.
guest_cache() {
    echo "${TSCHECK_GUEST_CACHE:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/tscheck/guest}"
}

# Runs a script of this checkout again in the guest (see machine.sh), as a
# container or as an emulated machine, and ends with its status.
run_in_guest() {
    if [ "$TSCHECK_MACHINE" = contained ]; then
        exec "$root/tools/guest/contain.sh" "$@"
    fi
    exec "$root/tools/guest/run.sh" "$@"
}

# Runs the given commands when the script ends, after those added before.
EXIT_COMMANDS=()
on_exit() {
    EXIT_COMMANDS=("$1" "${EXIT_COMMANDS[@]}")
    trap 'for c in "${EXIT_COMMANDS[@]}"; do eval "$c"; done' EXIT
}

configure_and_build() {
    local build=$1 time_scale=1
    # The emulated machine runs the tests about five times slower. The tests
    # need the program that takes any whole setup (the pinned one is built
    # beside it, as build/signed/TSCheck.exe), so the build says so.
    if [ "${TSCHECK_MACHINE:-native}" = emulated ]; then time_scale=5; fi
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DTSCHECK_ALLOW_UNVERIFIED_SETUP=ON \
        -DTSCHECK_TEST_TIME_SCALE="$time_scale" >/dev/null
    cmake --build "$build" -j "$(nproc)"
}

# Uses the user's display when there is one, else starts Xvfb on a free number.
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
    local n
    for n in $(seq 90 130); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && break
            sleep 0.1
        done
        on_exit "kill $XVFB_PID 2>/dev/null || true"
        return
    done
    echo "no free X display number" >&2
    return 1
}

# The 32-bit prefix inside the build tree, created once.
ensure_wine_prefix() {
    local build=$1
    export TSCHECK_WINEPREFIX="$build/wineprefix"
    if [ ! -f "$TSCHECK_WINEPREFIX/system.reg" ]; then
        "$root/tools/wine-run" wineboot -i >/dev/null 2>&1
    fi
    # One persistent wineserver for the whole run keeps every Wine start
    # fast. Wine's services start with the first program and inherit its
    # output; starting them here, on /dev/null, keeps ctest's pipes free.
    WINEPREFIX="$TSCHECK_WINEPREFIX" wineserver -p >/dev/null 2>&1 </dev/null || true
    "$root/tools/wine-run" wineboot >/dev/null 2>&1 </dev/null || true
    # The test display has no window manager: Wine would wait two seconds
    # for every managed window to be withdrawn. Unmanaged windows go at once.
    if ! grep -q '"Managed"="N"' "$TSCHECK_WINEPREFIX/user.reg" 2>/dev/null; then
        "$root/tools/wine-run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
            >/dev/null 2>&1 </dev/null || true
    fi
    # Without Wine's crash dialog a crashed program ends at once with its
    # exception code; with it, the program stays on screen with every
    # thread stopped, and whatever waits for it sees a hang.
    if ! grep -q '"ShowCrashDialog"=dword:00000000' "$TSCHECK_WINEPREFIX/user.reg" 2>/dev/null; then
        "$root/tools/wine-run" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog \
            /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null || true
    fi
    on_exit "WINEPREFIX='$TSCHECK_WINEPREFIX' wineserver -k 2>/dev/null || true"
}

# Everything a script needs to run Windows programs: the build, a display and
# the prefix. Called as `prepare_wine_run "$build" "$0" "$@"`: where Wine
# cannot run here, the build stays here and the calling script starts again
# in the guest with the same arguments, where it skips the build.
prepare_wine_run() {
    local build=$1 script=$2
    shift 2
    choose_machine
    if [ "$TSCHECK_MACHINE" != guest ]; then
        ensure_packages
        configure_and_build "$build" >/dev/null
    fi
    if wine_in_guest; then
        run_in_guest "$(realpath --relative-to="$root" "$script")" "$@"
    fi
    ensure_display
    ensure_wine_prefix "$build"
}
