#!/usr/bin/env python3
"""A small HTTP server on 127.0.0.1 for testing downloads.

Every path serves a generated file; the query string shapes the answer:

  size=N       the file's size in bytes (default 1024)
  length=0     omit Content-Length (the end of the body is the closed connection)
  announce=T   send T as the Content-Length whatever is sent (any text: "12abc",
               "-5", a hundred digits)
  chunked=1    send the body in chunks, without Content-Length
  cut=N        send only the first N bytes of the body, then close the
               connection (a chunked body then lacks its final chunk)
  rate=N       send about N bytes per second
  stall=N      send N bytes, then nothing until the client goes or the hold ends
  pause=MS     with stall: after the N bytes wait MS milliseconds, then send the rest
  close=1      close the connection without answering
  status=404   answer 404 Not Found with a short text body
  status=N     any other N: the file's answer with status N instead of 200 OK
  portal=1     answer 200 with an HTML page, as a captive portal does
  redirect=U   answer 302 with Location U

Byte i of every file is i % 251, so a client can check what it received
(see expected_bytes). Paths given as files (--file URLPATH=LOCALFILE) serve
that file's bytes instead, shaped by --shape when the request has no query
of its own. Requests through a proxy ("GET http://host/path") are answered
the same way, so the server can stand in for any host as the proxy. The server stops by itself after `lifetime` seconds or
`max_requests` requests, whichever comes first, and never holds a stalled
connection longer than `stall_hold` seconds.
"""

import argparse
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

PATTERN_PERIOD = 251
# A whole number of pattern periods, so consecutive chunks continue the pattern.
CHUNK = bytes(i % PATTERN_PERIOD for i in range(PATTERN_PERIOD * 1024))


def expected_bytes(size):
    """The content of a generated file of `size` bytes."""
    whole, rest = divmod(size, len(CHUNK))
    return CHUNK * whole + CHUNK[:rest]


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "LoopbackTest/1.0"

    def log_message(self, fmt, *args):
        if self.server.verbose:
            sys.stderr.write("loopback: " + (fmt % args) + "\n")

    def do_GET(self):
        self.server.note_request(self.requestline)
        url = urlsplit(self.path)
        served = self.server.files.get(url.path)
        query = {k: v[-1] for k, v in parse_qs(url.query or self.server.shape).items()}
        number = lambda key, default: int(query.get(key, default))

        if query.get("close") == "1":
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
            return
        if number("status", 200) == 404:
            body = b"Not Found\r\n"
            self.send_response(404)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return

        if "redirect" in query:
            self.send_response(302)
            self.send_header("Location", query["redirect"])
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if query.get("portal") == "1":
            self.send_portal_page()
            return

        size = len(served) if served is not None else number("size", 1024)
        announce = query.get("announce", str(size))
        chunked = query.get("chunked") == "1"
        with_length = query.get("length") != "0" and not chunked
        stall = number("stall", -1)
        cut = number("cut", -1)
        rate = number("rate", 0)

        self.send_response(number("status", 200))
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Cache-Control", "no-store")
        if with_length:
            self.send_header("Content-Length", announce)
        if chunked:
            self.send_header("Transfer-Encoding", "chunked")
        if (not with_length and not chunked) or announce != str(size) or stall >= 0 or cut >= 0:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()

        limit = size if stall < 0 else min(size, stall)
        if cut >= 0 and not chunked:
            limit = min(limit, cut)
        pause = number("pause", -1)
        try:
            # A chunked body is cut inside a chunk, after its size line.
            self.send_body(limit, rate, served, chunked, cut if chunked else -1)
            if stall >= 0 and pause >= 0:
                time.sleep(pause / 1000)
                self.send_body(size, rate, served, chunked, start=limit)
            if chunked and cut < 0:
                self.wfile.write(b"0\r\n\r\n")
                self.wfile.flush()
            if stall >= 0 and pause < 0:
                self.hold_stalled()
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    def send_portal_page(self):
        body = (b"<!DOCTYPE html>\r\n<html><head><title>Sign in to the network</title></head>"
                b"<body><h1>Welcome</h1><p>Please sign in to continue.</p></body></html>\r\n")
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_body(self, limit, rate, served=None, chunked=False, cut=-1, start=0):
        sent = start
        started = time.monotonic()
        step = len(CHUNK) if rate <= 0 else max(1, min(len(CHUNK), rate // 20))
        view = memoryview(CHUNK)
        while sent < limit:
            if served is not None:
                count = min(step, limit - sent)
                piece = served[sent:sent + count]
            else:
                offset = sent % len(CHUNK)
                count = min(step, limit - sent, len(CHUNK) - offset)
                piece = view[offset:offset + count]
            if chunked:
                self.wfile.write(b"%x\r\n" % count)
            if 0 <= cut < sent + count:
                self.wfile.write(piece[:cut - sent])
                break
            self.wfile.write(piece)
            if chunked:
                self.wfile.write(b"\r\n")
            sent += count
            if rate > 0:
                ahead = (sent - start) / rate - (time.monotonic() - started)
                if ahead > 0:
                    time.sleep(ahead)
        self.wfile.flush()

    def hold_stalled(self):
        # Wait for the client to give up, but never longer than the hold.
        self.connection.settimeout(self.server.stall_hold)
        try:
            while self.connection.recv(4096):
                pass
        except OSError:
            pass
        self.close_connection = True


class LoopbackServer(ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, port=0, lifetime=300.0, max_requests=1000, stall_hold=30.0,
                 verbose=False, files=None, shape=""):
        super().__init__(("127.0.0.1", port), Handler)
        self.files = dict(files or {})   # URL path -> bytes
        self.shape = shape               # query used when a request has none
        self.lifetime = lifetime
        self.max_requests = max_requests
        self.stall_hold = stall_hold
        self.verbose = verbose
        self.requests = []
        self._lock = threading.Lock()
        self._thread = None

    @property
    def base_url(self):
        return "http://127.0.0.1:%d" % self.server_address[1]

    def note_request(self, line):
        with self._lock:
            self.requests.append(line)
            if len(self.requests) >= self.max_requests:
                # Let this request finish; the serving loop ends after it.
                threading.Thread(target=self.shutdown, daemon=True).start()

    def start(self):
        """Serves in a background thread until stop() or the lifetime ends."""
        self._thread = threading.Thread(target=self.serve_forever,
                                        kwargs={"poll_interval": 0.2}, daemon=True)
        self._thread.start()
        self._timer = threading.Timer(self.lifetime, self.shutdown)
        self._timer.daemon = True
        self._timer.start()
        return self

    def stop(self):
        self._timer.cancel()
        self.shutdown()
        self._thread.join(timeout=10)
        self.server_close()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--lifetime", type=float, default=300.0)
    parser.add_argument("--max-requests", type=int, default=1000)
    parser.add_argument("--verbose", action="store_true")
    parser.add_argument("--file", action="append", default=[], metavar="URLPATH=LOCALFILE",
                        help="serve a local file's bytes at a path")
    parser.add_argument("--pad-to", type=int, default=0,
                        help="pad served files with zero bytes up to this size")
    parser.add_argument("--shape", default="", help="query used when a request has none")
    args = parser.parse_args()
    files = {}
    for item in args.file:
        path, local = item.split("=", 1)
        with open(local, "rb") as f:
            content = f.read()
        files[path] = content + b"\0" * max(0, args.pad_to - len(content))
    server = LoopbackServer(args.port, args.lifetime, args.max_requests, verbose=args.verbose,
                            files=files, shape=args.shape)
    print(server.base_url, flush=True)
    server.start()
    try:
        server._thread.join()
    except KeyboardInterrupt:
        pass
    server.stop()


if __name__ == "__main__":
    main()
