#!/usr/bin/env python3
"""Run Setup from the click to the setup started, next to curl + sha256sum;
and the checker's start to its window, next to a trivial window's.

The loopback server serves the sample setup program padded to each size, as
the prefix's HTTP proxy standing in for the provider's server. For each size
and round, curl -o followed by sha256sum fetches and checks the file, then
TSCheck.exe (in a scratch program folder, on its default settings) is
started, Run Setup is clicked and the time runs until the downloaded setup
has been started and the checker has ended. Prints the median throughputs,
their ratio, the checker's processor seconds per 100 MB (from the click on)
and its peak working set. Expects a built tree, a display and the Wine
prefix; tools/run_setup_benchmark.sh provides all three.

Start-up: the time from CreateProcess to the visible main window of
TSCheck.exe, and of the sample setup program (one plain Win32 window), each
the median of --start-rounds runs.
"""

import argparse
import glob
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from loopback_http_server import LoopbackServer  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MB = 1024 * 1024
SETUP_PATH = "/TavrinCA/tavrinsecure/tavrinsecure.exe"
SETTINGS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"
# The click step points, waits 150 ms, presses for 50 ms: the download
# starts about this long after the clock reading taken before it.
CLICK_LEAD = 0.2
PREFIX = os.environ.get("TSCHECK_WINEPREFIX", os.path.join(ROOT, "build", "wineprefix"))
# How Wine runs: here, contained (the guest at native speed) or emulated.
MACHINE = os.environ.get("TSCHECK_GUEST_KIND") or "here"


def wine(*args, timeout=900):
    """Runs a Windows program; its output comes back through files, not
    pipes: the setup it starts inherits them and would hold a pipe open."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        result = subprocess.run([os.path.join(ROOT, "tools", "wine-run")] + list(args),
                                stdout=out, stderr=err, stdin=subprocess.DEVNULL, timeout=timeout)
        out.seek(0)
        err.seek(0)
        result.stdout = out.read().decode(errors="replace")
        result.stderr = err.read().decode(errors="replace")
    return result


def end_started_setups():
    wine("taskkill", "/f", "/im", "tavrinsecure.exe", timeout=60)


def fetch(url, target):
    """curl -o, or where there is no curl (the emulated machine), a plain
    Python HTTP client writing 1 MB blocks."""
    if shutil.which("curl"):
        subprocess.run(["curl", "-s", "-S", "-o", target, url], check=True)
        return
    with urllib.request.urlopen(url) as answer, open(target, "wb") as out:
        shutil.copyfileobj(answer, out, MB)


def curl_and_check(url, target):
    start = time.monotonic()
    fetch(url, target)
    subprocess.run(["sha256sum", target], check=True, capture_output=True)
    return time.monotonic() - start


def temp_folders():
    return glob.glob(os.path.join(PREFIX, "drive_c", "windows", "temp", "TSCheck-*"))


def run_checker(build, exe):
    folder = os.path.join(PREFIX, "drive_c", "TSCheck")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy(exe, os.path.join(folder, "TSCheck.exe"))
    for old in temp_folders():
        shutil.rmtree(old, ignore_errors=True)
    result = wine(os.path.join(build, "e2e", "ts_driver.exe"),
                  "launch", r"C:\TSCheck\TSCheck.exe",
                  "wait-window", "Tavrin Secure Requirements Check", "300",
                  "sleep", "500", "cpu", "click", "294", "366", "measure-exit", "300")
    end_started_setups()
    out = result.stdout.replace("\r", "")
    before = re.search(r"cpu cpu_ms=(\d+) clock=(\d+)", out)
    after = re.search(r"stats cpu_ms=(\d+) peak_kb=(\d+) clock=(\d+) "
                      r"answer_longest_ms=(\d+) answer_at_ms=(\d+)", out)
    started = [f for f in temp_folders()
               if os.path.exists(os.path.join(f, "tavrinsecure-started.txt"))]
    if not before or not after or "exit-code 830808" not in out or not started:
        sys.exit("Run Setup did not start the setup:\n" + out + result.stderr)
    for old in temp_folders():
        shutil.rmtree(old, ignore_errors=True)
    seconds = (int(after.group(3)) - int(before.group(2))) / 1000.0 - CLICK_LEAD
    cpu = (int(after.group(1)) - int(before.group(1))) / 1000.0
    return seconds, cpu, int(after.group(2)) / 1024.0, (int(after.group(4)), int(after.group(5)))


def start_to_window(build, exe, title):
    folder = os.path.join(PREFIX, "drive_c", "TSCheck")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copy(exe, os.path.join(folder, "program.exe"))
    result = wine(os.path.join(build, "e2e", "ts_driver.exe"),
                  "cpu", "launch", r"C:\TSCheck\program.exe",
                  "wait-window", title, "300", "cpu", "wait-exit", "0.1")
    end_started_setups()
    clocks = re.findall(r"cpu cpu_ms=\d+ clock=(\d+)", result.stdout)
    if "window found" not in result.stdout or len(clocks) != 2:
        sys.exit("%s showed no window:\n%s%s" % (exe, result.stdout, result.stderr))
    return (int(clocks[1]) - int(clocks[0])) / 1000.0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sizes", default="256,16", help="file sizes in MB (default 256,16)")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--start-rounds", type=int, default=3)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--exe", help="the TSCheck.exe to time (default: the build's)")
    args = parser.parse_args()
    exe = args.exe or os.path.join(args.build, "TSCheck.exe")
    sample = os.path.join(args.build, "sample", "tavrinsecure_sample.exe")
    for needed in (exe, sample, os.path.join(args.build, "e2e", "ts_driver.exe")):
        if not os.path.exists(needed):
            sys.exit("missing %s: build the tree first (tools/run_setup_benchmark.sh does)" % needed)
    for name in ("http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"):
        os.environ.pop(name, None)
    with open(sample, "rb") as f:
        program = f.read()

    if args.start_rounds > 0:
        checker = statistics.median(
            start_to_window(args.build, exe, "Tavrin Secure Requirements Check")
            for _ in range(args.start_rounds))
        plain = statistics.median(
            start_to_window(args.build, sample, "Tavrin Secure Setup (sample)")
            for _ in range(args.start_rounds))
        print("Start to window, median of %d runs:" % args.start_rounds)
        print("  a trivial Win32 window  %8.2f s" % plain)
        print("  TSCheck.exe             %8.2f s  (%.2f s more)" % (checker, checker - plain))
        sys.stdout.flush()

    print("Run Setup of %s against %s + sha256sum"
          % (exe, "curl" if shutil.which("curl") else "a Python HTTP client (no curl here)"))
    print("Wine runs %s: %s" % (MACHINE, "figures are absolute" if MACHINE != "emulated"
                                 else "compare ratios only, never absolute figures"))
    with LoopbackServer(lifetime=7200) as server, \
            tempfile.TemporaryDirectory(dir=args.build, prefix="benchmark-") as scratch:
        wine("reg", "add", SETTINGS, "/v", "ProxyEnable", "/t", "REG_DWORD", "/d", "1", "/f")
        wine("reg", "add", SETTINGS, "/v", "ProxyServer", "/d",
             server.base_url[len("http://"):], "/f")
        try:
            for size_mb in [int(s) for s in args.sizes.split(",")]:
                size = size_mb * MB
                server.files = {SETUP_PATH: program + b"\0" * max(0, size - len(program))}
                url = server.base_url + SETUP_PATH
                reference, checker, cpus, peaks, answers = [], [], [], [], []
                for _ in range(args.rounds):
                    target = os.path.join(scratch, "curl.bin")
                    reference.append(size / MB / curl_and_check(url, target))
                    os.remove(target)
                    seconds, cpu, peak, answer = run_checker(args.build, exe)
                    answers.append(answer)
                    checker.append(size / MB / seconds)
                    cpus.append(cpu * 100.0 / size_mb)
                    peaks.append(peak)
                ref, rate = statistics.median(reference), statistics.median(checker)
                print("%d MB, median of %d rounds:" % (size_mb, args.rounds))
                print("  curl + sha256sum        %8.1f MB/s" % ref)
                print("  Run Setup, click to run %8.1f MB/s  (%.0f %% of curl + sha256sum)"
                      % (rate, 100.0 * rate / ref))
                print("  checker processor time  %8.2f s per 100 MB" % statistics.median(cpus))
                print("  checker peak working set%8.1f MB" % max(peaks))
                slowest = max(answers)
                print("  window's longest wait   %8d ms  (began %.1f s after the click)"
                      % (slowest[0], slowest[1] / 1000.0))
                sys.stdout.flush()
        finally:
            wine("reg", "delete", SETTINGS, "/v", "ProxyEnable", "/f")


if __name__ == "__main__":
    main()
