#!/usr/bin/env python3
"""Checks that an executable imports at load time only what every Windows it
must start on exports. Wine exports everything whatever version it reports,
so this is the only place a missing entry point can be seen before a user
meets the loader's error.

usage: audit_imports.py EXE ALLOWED_IMPORTS [OBJDUMP]

The allow-list has one line per imported function: "DLL!Function 9x NT note".
The 9x column is the first of 95, 98 or ME that exports the function ("-" for
none; "95*" for an export that Windows 9x carries only as a stub, which the
loader resolves but which fails when called); the NT column the first NT
version (NT3.1 ... 8). The oldest systems the program must start on are
Windows 95 and NT 4.0.
"""
import re
import subprocess
import sys

NINE_X = ["95", "98", "ME"]
NT = ["NT3.1", "NT3.5", "NT3.51", "NT4.0", "2000", "XP", "2003", "Vista", "7", "8", "10"]
OLDEST_9X, OLDEST_NT = "95", "NT4.0"


def read_imports(exe, objdump):
    text = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    imports, dll = set(), None
    for line in text.splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1)
            continue
        entry = re.match(r"\s+[0-9a-f]+\s+\d+\s+(\S+)\s*$", line)
        if dll and entry:
            imports.add(f"{dll.upper()}!{entry.group(1)}")
        elif dll and re.match(r"\s+[0-9a-f]+\s+<none>", line):
            imports.add(f"{dll.upper()}!#ordinal")
        elif not line.strip():
            dll = None
    return imports


def read_allowed(path):
    allowed = {}
    with open(path, encoding="utf-8") as listing:
        for number, line in enumerate(listing, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            parts = line.split(None, 3)
            if len(parts) < 3 or "!" not in parts[0]:
                sys.exit(f"{path}:{number}: expected 'DLL!Function 9x NT [note]'")
            dll, function = parts[0].split("!", 1)
            nine_x, nt = parts[1], parts[2]
            if nine_x.rstrip("*") not in NINE_X + ["-"] or nt not in NT + ["-"]:
                sys.exit(f"{path}:{number}: unknown Windows version in '{line}'")
            allowed[f"{dll.upper()}!{function}"] = (nine_x, nt)
    return allowed


def problems(imports, allowed):
    found = []
    for name in sorted(imports):
        if name not in allowed:
            found.append(f"{name}: not in the allow-list; add it with the oldest Windows "
                         "that documents it, or bind it at run time")
            continue
        nine_x, nt = allowed[name]
        if nine_x.rstrip("*") != OLDEST_9X:
            first = "no Windows 9x has it" if nine_x == "-" else f"first in {nine_x}"
            found.append(f"{name}: Windows {OLDEST_9X} lacks it ({first})")
        if nt == "-" or NT.index(nt) > NT.index(OLDEST_NT):
            first = "no NT has it" if nt == "-" else f"first in {nt}"
            found.append(f"{name}: Windows {OLDEST_NT} lacks it ({first})")
    return found


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    objdump = sys.argv[3] if len(sys.argv) == 4 else "i686-w64-mingw32-objdump"
    imports = read_imports(sys.argv[1], objdump)
    if not imports:
        sys.exit(f"{sys.argv[1]}: no import table found")
    found = problems(imports, read_allowed(sys.argv[2]))
    for line in found:
        print(line)
    dlls = sorted({name.split("!")[0] for name in imports})
    print(f"{len(imports)} imports from {', '.join(dlls)}: "
          f"{'1 problem' if len(found) == 1 else f'{len(found)} problems'}")
    sys.exit(1 if found else 0)


if __name__ == "__main__":
    main()
