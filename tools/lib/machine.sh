# Where Wine runs: on this machine, in the project's guest (tools/guest) as a
# container at native speed, or in the guest as an emulated machine.
# shellcheck shell=bash

# Runs a 93-byte 32-bit x86 Linux program that exits with status 32. Wine
# needs exactly this: a kernel that runs 32-bit user code (IA-32 emulation).
runs_32bit_code() {
    local probe status=0
    mkdir -p "$root/build"
    probe=$(mktemp "$root/build/.i386-probe.XXXXXX")
    # ELF header, one loadable segment at 0x08048000, then:
    # xor ebx,ebx; mov bl,32; xor eax,eax; inc eax; int 0x80 (exit(32)).
    printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0'`
          `'\0\0\0\0\0\0\0\0\64\0\40\0\1\0\50\0\0\0\0\0'`
          `'\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0'`
          `'\61\333\263\40\61\300\100\315\200' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || status=$?
    rm -f "$probe"
    [ "$status" -eq 32 ]
}

# Sets and exports TSCHECK_MACHINE and says in one line which way Wine runs
# and why:
#   native     Wine runs here
#   contained  this kernel runs 32-bit code, but the package archive cannot
#              give it a 32-bit Wine: the guest's root runs as a container
#   emulated   this kernel cannot run 32-bit code (or TSCHECK_EMULATE=1):
#              the guest runs as an emulated machine, about 7x slower
#   guest      inside either of the two
# Needs packages.sh: whether Wine can be installed is asked of apt.
choose_machine() {
    [ -n "${TSCHECK_MACHINE:-}" ] && return 0
    if [ -n "${TSCHECK_IN_GUEST:-}" ]; then
        TSCHECK_MACHINE=guest
    elif [ "${TSCHECK_EMULATE:-0}" = 1 ]; then
        echo "Wine runs emulated (tools/guest): TSCHECK_EMULATE=1, though this machine runs 32-bit code."
        TSCHECK_MACHINE=emulated
    elif ! runs_32bit_code; then
        echo "Wine runs emulated (tools/guest), more slowly: this machine's kernel does not run" \
            "32-bit x86 code, which Wine needs."
        TSCHECK_MACHINE=emulated
    elif find_why_wine_unavailable; [ -n "$WINE_UNAVAILABLE" ]; then
        echo "Wine runs contained (tools/guest as a container, at native speed): $WINE_UNAVAILABLE."
        TSCHECK_MACHINE=contained
    else
        echo "Wine runs here: this machine runs 32-bit code and has Debian's 32-bit Wine."
        TSCHECK_MACHINE=native
    fi
    export TSCHECK_MACHINE
}

# Whether Wine runs in the guest (contained or emulated): the build stays here
# and the Wine part of a script starts again in there.
wine_in_guest() {
    [ "$TSCHECK_MACHINE" = contained ] || [ "$TSCHECK_MACHINE" = emulated ]
}
