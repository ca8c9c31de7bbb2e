#!/usr/bin/env python3
"""A local HTTP server for the tests and benchmarks, on 127.0.0.1 only.

Two ways to run it:

  --control-port P   Connect to 127.0.0.1:P (a socket the test program listens
                     on), say "port N" and take commands over that connection,
                     one per line:
                       route {json}  serve a path (see Route below)   -> "ok"
                       requests      the requests seen so far         -> lines, "end"
                       clear         forget the requests seen         -> "ok"
                       stop          end the server (the connection closes)
                     The server also ends when the connection closes, so it
                     never outlives a test program that crashed.
  --serve-dir D --port-file F
                     Serve the files of D; write the port to F. Ends on SIGTERM.

Requests are recorded before the answer goes out, so a client that has its
answer finds its request in the record.
"""
import argparse
import json
import os
import signal
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

# Generated bodies: byte i is i % 251, so a block written at a wrong offset
# shows (251 divides none of the transfer sizes).
PATTERN_PERIOD = 251
# Unthrottled bodies go out in large writes, so that the client always finds
# plenty waiting and reads in full chunks.
FAST_CHUNK = 4 * 1024 * 1024
PATTERN = bytes(range(PATTERN_PERIOD)) * (FAST_CHUNK // PATTERN_PERIOD + 2)


class Route:
    """What one path answers. JSON keys, all optional:

    status       HTTP status (200)
    file         a Unix path whose bytes are the body
    body         a text body (UTF-8)
    pattern      a generated body of this many bytes (see PATTERN)
    length       "auto" (the real size), "none" (no Content-Length, the
                 connection closes after the body) or a number to announce
    rate         bytes per second (0: as fast as possible)
    break_after  close the connection after this many body bytes
    delay_ms     wait before the answer
    body_delay_ms  wait between the headers and the body (the client then
                 finds the body apart from the headers, in full reads)
    headers      extra response headers {name: value}
    head         for HEAD requests, keys that replace the ones above
    drop         close the connection without any answer
    body_on_head send the body after a HEAD answer too, as a faulty server does
    """

    def __init__(self, spec):
        self.spec = spec
        self.head = spec.get("head")
        self.drop = bool(spec.get("drop", False))
        self.body_on_head = bool(spec.get("body_on_head", False))
        self.status = int(spec.get("status", 200))
        self.file = spec.get("file")
        self.body = spec.get("body", "").encode("utf-8")
        self.pattern = spec.get("pattern")
        self.length = spec.get("length", "auto")
        self.rate = int(spec.get("rate", 0))
        self.break_after = spec.get("break_after")
        self.delay_ms = int(spec.get("delay_ms", 0))
        self.body_delay_ms = int(spec.get("body_delay_ms", 0))
        self.headers = dict(spec.get("headers", {}))

    def size(self):
        if self.file is not None:
            return os.path.getsize(self.file)
        if self.pattern is not None:
            return int(self.pattern)
        return len(self.body)

    def open_reader(self):
        if self.file is not None:
            f = open(self.file, "rb")
            return f, lambda offset, n: (f.seek(offset), f.read(n))[1]
        if self.pattern is not None:
            def pattern_bytes(offset, n):
                start = offset % PATTERN_PERIOD
                return PATTERN[start:start + n]
            return None, pattern_bytes
        return None, lambda offset, n: self.body[offset:offset + n]


class State:
    def __init__(self, serve_dir=None):
        self.lock = threading.Lock()
        self.routes = {}
        self.requests = []
        self.serve_dir = serve_dir

    def record(self, handler):
        entry = ["request %s %s %s" % (handler.command, handler.path, handler.request_version)]
        for name, value in handler.headers.items():
            entry.append("header %s: %s" % (name, value.replace("\r", " ").replace("\n", " ")))
        with self.lock:
            self.requests.append(entry)

    def route_for(self, path):
        with self.lock:
            route = self.routes.get(path)
        if route is None and self.serve_dir:
            local = os.path.normpath(os.path.join(self.serve_dir, path.lstrip("/")))
            if local.startswith(os.path.abspath(self.serve_dir) + os.sep) and os.path.isfile(local):
                route = Route({"file": local})
        return route


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "OvekTestServer"

    def log_message(self, *args):
        pass

    def do_GET(self):
        self.answer(send_body=True)

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        if length:
            self.rfile.read(length)
        self.answer(send_body=True)

    def do_HEAD(self):
        self.answer(send_body=False)

    def answer(self, send_body):
        state = self.server.state
        state.record(self)
        route = state.route_for(self.path.split("?", 1)[0])
        if route is None:
            route = Route({"status": 404, "body": "<html><body>Not Found</body></html>"})
        if self.command == "HEAD" and route.head is not None:
            merged = dict(route.spec)
            merged.pop("head")
            merged.update(route.head)
            route = Route(merged)
        if route.delay_ms:
            time.sleep(route.delay_ms / 1000.0)
        if route.drop:
            self.close_connection = True
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            return
        try:
            size = route.size()
        except OSError:
            route, size = Route({"status": 500, "body": "missing file"}), len("missing file")
        self.send_response(route.status)
        close = False
        if route.length == "none":
            close = True
        elif route.length == "auto":
            self.send_header("Content-Length", str(size))
        else:
            self.send_header("Content-Length", str(route.length))
            close = int(route.length) != size
        if route.break_after is not None:
            close = True
        for name, value in route.headers.items():
            self.send_header(name, value)
        if close:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        if not send_body and not route.body_on_head:
            return
        limit = size if route.break_after is None else min(size, int(route.break_after))
        try:
            if route.body_delay_ms:
                self.wfile.flush()
                time.sleep(route.body_delay_ms / 1000.0)
            self.send_body(route, limit)
        except (BrokenPipeError, ConnectionResetError, ConnectionAbortedError):
            self.close_connection = True
            return
        if close:
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

    def send_body(self, route, limit):
        handle, read = route.open_reader()
        try:
            if handle is not None and not route.rate:
                self.connection.sendfile(handle, 0, limit)
                return
            chunk = FAST_CHUNK if not route.rate else max(256, min(65536, route.rate // 50))
            sent = 0
            start = time.monotonic()
            while sent < limit:
                data = read(sent, min(chunk, limit - sent))
                if not data:
                    break
                self.wfile.write(data)
                sent += len(data)
                if route.rate:
                    delay = start + sent / route.rate - time.monotonic()
                    if delay > 0:
                        time.sleep(delay)
        finally:
            if handle is not None:
                handle.close()


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64


def detach_stdio(log_path):
    # Started from a test program, we would otherwise hold its output pipes
    # (and keep ctest waiting) for as long as we live.
    null = os.open(os.devnull, os.O_RDWR)
    os.dup2(null, 0)
    os.dup2(null, 1)
    if log_path:
        log = os.open(log_path, os.O_WRONLY | os.O_CREAT | os.O_APPEND, 0o644)
        os.dup2(log, 2)
        os.close(log)
    else:
        os.dup2(null, 2)
    os.close(null)


def serve_control(httpd, state, control_port):
    control = socket.create_connection(("127.0.0.1", control_port), timeout=30)
    control.settimeout(None)
    out = control.makefile("w", encoding="utf-8", newline="\n")
    out.write("port %d\n" % httpd.server_address[1])
    out.flush()
    for raw in control.makefile("r", encoding="utf-8", newline="\n"):
        command, _, argument = raw.rstrip("\r\n").partition(" ")
        if command == "route":
            spec = json.loads(argument)
            with state.lock:
                state.routes[spec["path"]] = Route(spec)
            out.write("ok\n")
        elif command == "requests":
            with state.lock:
                lines = [line for entry in state.requests for line in entry]
            out.write("".join(line + "\n" for line in lines) + "end\n")
        elif command == "clear":
            with state.lock:
                state.requests.clear()
            out.write("ok\n")
        elif command == "stop":
            break
        else:
            out.write("error unknown command\n")
        out.flush()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--control-port", type=int)
    parser.add_argument("--serve-dir")
    parser.add_argument("--port-file")
    parser.add_argument("--log")
    args = parser.parse_args()

    if args.control_port:
        detach_stdio(args.log)
    state = State(os.path.abspath(args.serve_dir) if args.serve_dir else None)
    httpd = Server(("127.0.0.1", 0), Handler)
    httpd.state = state
    threading.Thread(target=httpd.serve_forever, daemon=True).start()

    if args.control_port:
        try:
            serve_control(httpd, state, args.control_port)
        except (OSError, ValueError) as error:
            print("control connection ended: %s" % error, file=sys.stderr)
    else:
        if args.port_file:
            temp = args.port_file + ".tmp"
            with open(temp, "w") as f:
                f.write("%d\n" % httpd.server_address[1])
            os.replace(temp, args.port_file)
        stop = threading.Event()
        signal.signal(signal.SIGTERM, lambda *_: stop.set())
        signal.signal(signal.SIGINT, lambda *_: stop.set())
        while not stop.wait(0.5):
            pass
    # Throttled answers may still be running: end them with the process.
    os._exit(0)


if __name__ == "__main__":
    main()
