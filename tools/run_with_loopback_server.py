#!/usr/bin/env python3
"""Runs a command while the loopback test server serves.

Usage: run_with_loopback_server.py -- <command> [arguments...]

The command finds the server's base URL ("http://127.0.0.1:<port>") in the
environment variable TSCHECK_TEST_SERVER (Wine passes it through to Windows
programs). The server stops when the command ends; its exit code is ours.
"""

import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from loopback_http_server import LoopbackServer  # noqa: E402

PROXY_VARIABLES = ("http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy",
                   "ALL_PROXY")


def main(argv):
    command = argv[1:]
    if command and command[0] == "--":
        command = command[1:]
    if not command:
        print(__doc__, file=sys.stderr)
        return 2
    env = dict(os.environ)
    # Wine's WinINet falls back to these; the tests talk to 127.0.0.1 directly.
    for name in PROXY_VARIABLES:
        env.pop(name, None)
    with LoopbackServer(lifetime=900, max_requests=5000) as server:
        env["TSCHECK_TEST_SERVER"] = server.base_url
        return subprocess.call(command, env=env)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
