#!/usr/bin/env bash
# Which way Wine runs, decided against a stand-in package tool: an archive
# with a failing index, one that cannot give a 32-bit Wine, one without it,
# and one where everything installs. Each way says why in one line.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
stubs=$(mktemp -d)
trap 'rm -rf "$stubs"' EXIT

# The stand-ins answer as Debian's tools do, as FAKE_* say; each call is logged.
stub() { printf '#!/usr/bin/env bash\necho "%s $*" >>"$FAKE_LOG"\n%s\n' "$1" "$2" >"$stubs/$1"; chmod +x "$stubs/$1"; }
stub dpkg-query 'for p in $FAKE_INSTALLED; do [ "$p" = "${@: -1}" ] && { printf "install ok installed"; exit 0; }; done; exit 1'
stub dpkg '[ "$1" = --print-foreign-architectures ] && [ -f "$FAKE_LOG.i386" ] && echo i386; [ "$1" = --add-architecture ] && touch "$FAKE_LOG.i386"; exit 0'
stub apt-cache '[ "$FAKE_WINE32" != absent ]'
stub apt-get 'case "$*" in
  update*) [ "$FAKE_UPDATE" = ok ] && exit 0
           echo "E: Failed to fetch http://archive.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
           echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
           exit 100 ;;
  *" -s "*) [ "$FAKE_WINE32" = broken ] || exit 0
           echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100 ;;
  *install*) [ "$FAKE_INSTALL" = ok ] && exit 0
           echo "E: Unable to locate package googletest" >&2; exit 100 ;;
esac'

passed=0 failed=0
check() {  # check NAME CONDITION...
    local name=$1; shift
    if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name" >&2; fi
}

# Runs choose_machine and ensure_packages as the scripts do; prints the
# machine, then what they said, on stdout and stderr alike.
decide() {  # decide RUNS_32BIT
    local runs_32bit=$1
    (
        export PATH="$stubs:$PATH" FAKE_LOG="$stubs/log.$RANDOM"
        unset TSCHECK_MACHINE TSCHECK_IN_GUEST
        source "$root/tools/lib/machine.sh"
        source "$root/tools/lib/packages.sh"
        as_root() { "$@"; }
        runs_32bit_code() { [ "$runs_32bit" = yes ]; }
        choose_machine 2>&1
        echo "machine=$TSCHECK_MACHINE"
        ensure_packages 2>&1 && echo "installed" || echo "install-failed"
        grep -c "install -y" "$FAKE_LOG" | sed 's/^/installs=/'
    )
}

all="wine wine32:i386 wine64 xvfb xauth x11-utils imagemagick"
out=$(FAKE_INSTALLED="$all" FAKE_UPDATE=ok FAKE_WINE32=ok FAKE_INSTALL=ok TSCHECK_EMULATE=0 decide yes)
check "Wine installed: runs here, says so" grep -q "^Wine runs here: " <<<"$out"
check "Wine installed: native" grep -qx "machine=native" <<<"$out"

out=$(FAKE_INSTALLED="" FAKE_UPDATE=fail FAKE_WINE32=ok FAKE_INSTALL=ok TSCHECK_EMULATE=0 decide yes)
check "failed index: a warning naming it" \
    grep -q "^Warning: .*binary-i386/Packages.xz.*going on" <<<"$out"
check "failed index: once only" test "$(grep -c '^Warning:' <<<"$out")" = 1
check "failed index: Wine still installs here" grep -qx "machine=native" <<<"$out"
check "failed index: the install goes on" grep -qx "installed" <<<"$out"

out=$(FAKE_INSTALLED="" FAKE_UPDATE=fail FAKE_WINE32=broken FAKE_INSTALL=ok TSCHECK_EMULATE=0 decide yes)
check "unsatisfiable Wine: contained, with apt's reason" \
    grep -qx "Wine runs contained (tools/guest as a container, at native speed): the package archive cannot give this machine a 32-bit Wine (Unable to correct problems, you have held broken packages)." <<<"$out"
check "unsatisfiable Wine: contained" grep -qx "machine=contained" <<<"$out"
check "unsatisfiable Wine: only the container's packages are asked for" \
    bash -c '! grep -q "Installing: .*wine" <<<"$1"' _ "$out"

out=$(FAKE_INSTALLED="" FAKE_UPDATE=ok FAKE_WINE32=absent FAKE_INSTALL=ok TSCHECK_EMULATE=0 decide yes)
check "no i386 in the archive: contained, says so" \
    grep -q "^Wine runs contained .*: the package archive has no 32-bit Wine (wine32:i386)\.$" <<<"$out"

out=$(FAKE_INSTALLED="" FAKE_UPDATE=ok FAKE_WINE32=ok FAKE_INSTALL=ok TSCHECK_EMULATE=0 decide no)
check "no 32-bit kernel: emulated, says why" \
    grep -q "^Wine runs emulated .*kernel does not run 32-bit x86 code, which Wine needs\.$" <<<"$out"
check "no 32-bit kernel: emulated" grep -qx "machine=emulated" <<<"$out"
out=$(FAKE_INSTALLED="$all" FAKE_UPDATE=ok FAKE_WINE32=ok FAKE_INSTALL=ok TSCHECK_EMULATE=1 decide yes)
check "TSCHECK_EMULATE=1: emulated" grep -qx "machine=emulated" <<<"$out"

out=$(FAKE_INSTALLED="" FAKE_UPDATE=ok FAKE_WINE32=ok FAKE_INSTALL=fail TSCHECK_EMULATE=0 decide yes)
check "failed install: stops with one line naming it" \
    grep -q "^Cannot install the packages this project needs (.*googletest.*): Unable to locate package googletest$" <<<"$out"
check "failed install: reported as a failure" grep -qx "install-failed" <<<"$out"

echo "machine choice: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
