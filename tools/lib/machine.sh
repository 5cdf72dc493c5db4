# Which machine runs Wine: this one, or the emulated one in tools/guest.
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

# Sets and exports TSCHECK_MACHINE: "native" (Wine runs here), "emulated"
# (build here, run Wine in the emulated machine) or "guest" (inside it), and
# says in one line why a script takes the emulated path. TSCHECK_EMULATE=1
# forces that path on a machine that does not need it.
choose_machine() {
    [ -n "${TSCHECK_MACHINE:-}" ] && return 0
    if [ -n "${TSCHECK_IN_GUEST:-}" ]; then
        TSCHECK_MACHINE=guest
    elif [ "${TSCHECK_EMULATE:-0}" = 1 ]; then
        echo "TSCHECK_EMULATE=1: Wine runs in the emulated machine (tools/guest)," \
            "though this machine runs 32-bit code."
        TSCHECK_MACHINE=emulated
    elif ! runs_32bit_code; then
        echo "This machine's kernel does not run 32-bit x86 code, which Wine needs:" \
            "Wine runs in an emulated machine (tools/guest), more slowly."
        TSCHECK_MACHINE=emulated
    else
        TSCHECK_MACHINE=native
    fi
    export TSCHECK_MACHINE
}
