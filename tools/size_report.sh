#!/usr/bin/env bash
# Prints what the shipped program weighs: the executable, each of its
# sections, and the P6-only instructions (CMOV, FCMOV, FCOMI, FUCOMI) that a
# Pentium, 486, K5, K6 or Cyrix processor cannot run, by function; then the
# SSE and SHA instructions by function, which belong only in code entered
# after CPUID has reported them. Figures only; nothing here passes or fails.
# Builds build/TSCheck.exe when missing.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
exe=${1:-$root/build/TSCheck.exe}
if [ ! -f "$exe" ]; then
    source "$root/tools/lib/environment.sh"
    configure_and_build "$root/build" >/dev/null
fi
objdump=i686-w64-mingw32-objdump

printf '%-16s %9d bytes (%d KB)\n' "$(basename "$exe")" "$(stat -c %s "$exe")" \
    $(( ($(stat -c %s "$exe") + 1023) / 1024 ))
"$objdump" -h "$exe" | while read -r index name size _; do
    if [[ $index =~ ^[0-9]+$ ]]; then printf '  %-14s %9d bytes\n' "$name" "$((16#$size))"; fi
done

# Symbols come from the separate debug file when the executable is stripped.
symbols="${exe%.exe}.dbg"
[ -f "$symbols" ] || symbols=$exe
python3 - "$exe" "$symbols" "$objdump" <<'PY'
import bisect, re, subprocess, sys
exe, symbols, objdump = sys.argv[1:4]
p6 = re.compile(r"\t(cmov\w+|fcmov\w+|f(u)?comip?)\s")
sse = re.compile(r"%xmm|\tsha\w+\s")
names = []
for line in subprocess.run([objdump.replace("objdump", "nm"), "-n", "-C", symbols],
                           capture_output=True, text=True).stdout.splitlines():
    parts = line.split(None, 2)
    if len(parts) == 3 and parts[1] in "tT":
        names.append((int(parts[0], 16), parts[2]))
addresses = [a for a, _ in names]
counts, sse_counts = {}, {}
def function_at(address):
    at = bisect.bisect_right(addresses, address) - 1
    return names[at][1] if at >= 0 else "?"
for line in subprocess.run([objdump, "-d", "--no-show-raw-insn", exe],
                           capture_output=True, text=True).stdout.splitlines():
    for pattern, tally in ((p6, counts), (sse, sse_counts)):
        if pattern.search(line):
            name = function_at(int(line.split(":")[0], 16))
            tally[name] = tally.get(name, 0) + 1
print(f"P6-only instructions: {sum(counts.values())} in {len(counts)} functions")
for name, count in sorted(counts.items(), key=lambda item: -item[1])[:15]:
    print(f"  {count:4d}  {name[:100]}")
print(f"SSE and SHA instructions: {sum(sse_counts.values())} in {len(sse_counts)} functions")
for name, count in sorted(sse_counts.items(), key=lambda item: -item[1])[:15]:
    print(f"  {count:4d}  {name[:100]}")
PY
