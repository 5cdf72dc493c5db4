#!/usr/bin/env python3
"""Download throughput of the download control under Wine, next to curl's.

Serves files from the loopback test server and downloads each one a few
times with curl and with build/tests/net/download_benchmark.exe (the
download control in a Windows program), then prints the median throughputs
and the control's peak working set. Expects a built tree, a display and the
Wine prefix; tools/download_benchmark.sh provides all three.
"""

import argparse
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


def windows_path(path):
    # Wine maps the Unix root to drive Z.
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run_curl(url, target):
    if not shutil.which("curl"):
        # The emulated machine has no curl: a plain Python client instead.
        start = time.monotonic()
        with urllib.request.urlopen(url) as answer, open(target, "wb") as out:
            shutil.copyfileobj(answer, out, MB)
        return time.monotonic() - start
    out = subprocess.run(["curl", "-s", "-S", "-o", target, "-w", "%{time_total}", url],
                         check=True, capture_output=True, text=True).stdout
    return float(out)


def run_control(program, url, target):
    result = subprocess.run([os.path.join(ROOT, "tools", "wine-run"), program, url,
                             windows_path(target)], capture_output=True, text=True)
    match = re.search(r"bytes=(\d+) seconds=([\d.]+) peak_working_set_kb=(\d+) result=(\w+)",
                      result.stdout)
    if not match or match.group(4) != "ok":
        sys.exit("download_benchmark.exe failed:\n" + result.stdout + result.stderr)
    return int(match.group(1)), float(match.group(2)), int(match.group(3)) / 1024.0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sizes", default="256,16", help="file sizes in MB (default 256,16)")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    args = parser.parse_args()
    program = os.path.join(args.build, "tests", "net", "download_benchmark.exe")
    if not os.path.exists(program):
        sys.exit("build the tree first (tools/download_benchmark.sh does)")
    for name in ("http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"):
        os.environ.pop(name, None)

    sizes = [int(s) for s in args.sizes.split(",")]
    peaks = {}
    with LoopbackServer(lifetime=1800) as server, \
            tempfile.TemporaryDirectory(dir=args.build, prefix="benchmark-") as folder:
        for size_mb in sizes:
            size = size_mb * MB
            url = "%s/TavrinCA/tavrinsecure/tavrinsecure.exe?size=%d" % (server.base_url, size)
            curl_rates, control_rates, size_peaks = [], [], []
            for _ in range(args.rounds):
                target = os.path.join(folder, "curl.bin")
                curl_rates.append(size / MB / run_curl(url, target))
                os.remove(target)
                target = os.path.join(folder, "control.bin")
                received, seconds, peak = run_control(program, url, target)
                if received != size or os.path.getsize(target) != size:
                    sys.exit("the control saved %d of %d bytes" % (os.path.getsize(target), size))
                os.remove(target)
                control_rates.append(size / MB / seconds)
                size_peaks.append(peak)
            curl_rate = statistics.median(curl_rates)
            control_rate = statistics.median(control_rates)
            peaks[size_mb] = max(size_peaks)
            print("%d MB, median of %d rounds:" % (size_mb, args.rounds))
            print("  curl             %8.1f MB/s" % curl_rate)
            print("  download control %8.1f MB/s  (%.0f %% of curl)"
                  % (control_rate, 100.0 * control_rate / curl_rate))
            print("  peak working set %8.1f MB" % peaks[size_mb])
    worst = max(peaks.values())
    print("peak working set over all sizes: %.1f MB (%s)" % (
        worst, ", ".join("%d MB file: %.1f MB" % item for item in sorted(peaks.items()))))


if __name__ == "__main__":
    main()
