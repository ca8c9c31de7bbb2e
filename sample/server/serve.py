#!/usr/bin/env python3
"""The maker's server for `make demo`: serves DIR on 127.0.0.1, writes its
port to PORT_FILE and one line per request to stderr. Packages (.msi, .exe)
go out at RATE bytes per second, so that the status page shows the download
under way; 0 sends them at once.

  serve.py DIR PORT_FILE [RATE]
"""
import os
import sys
import time
from http.server import SimpleHTTPRequestHandler, ThreadingHTTPServer


class Handler(SimpleHTTPRequestHandler):
    rate = 0

    def copyfile(self, source, outputfile):
        if not self.rate or not self.path.endswith((".msi", ".exe")):
            return super().copyfile(source, outputfile)
        chunk = max(512, self.rate // 20)
        start, sent = time.monotonic(), 0
        while True:
            block = source.read(chunk)
            if not block:
                return
            outputfile.write(block)
            sent += len(block)
            delay = start + sent / self.rate - time.monotonic()
            if delay > 0:
                time.sleep(delay)


def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    Handler.rate = int(sys.argv[3]) if len(sys.argv) > 3 else 0
    handler = lambda *args, **kwargs: Handler(*args, directory=folder, **kwargs)
    server = ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    temp = port_file + ".tmp"
    with open(temp, "w") as f:
        f.write("%d\n" % server.server_address[1])
    os.replace(temp, port_file)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
