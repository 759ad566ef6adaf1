#!/usr/bin/env python3
"""A throw-away RFC 3161 time-stamp server on loopback, for the signing checks.

    tsa_standin.py <openssl ts config>

Listens on 127.0.0.1 on a free port, prints "port=<n>" once it listens, and
answers each POSTed time-stamp query with `openssl ts -reply` under the given
configuration. Queries are small: a longer body is refused unread.
"""
import http.server
import subprocess
import sys
import tempfile

MAX_QUERY = 64 * 1024
OPENSSL = "/usr/bin/openssl"


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        try:
            length = int(self.headers.get("Content-Length", "-1"))
        except ValueError:
            length = -1
        if not 0 < length <= MAX_QUERY:
            self.send_error(413 if length > MAX_QUERY else 411)
            return
        query = self.rfile.read(length)
        with tempfile.TemporaryDirectory() as folder:
            with open(f"{folder}/query.tsq", "wb") as out:
                out.write(query)
            done = subprocess.run(
                [OPENSSL, "ts", "-reply", "-config", self.server.config, "-queryfile",
                 f"{folder}/query.tsq", "-out", f"{folder}/reply.tsr"],
                capture_output=True, timeout=30, check=False)
            if done.returncode != 0:
                sys.stderr.write(done.stderr.decode(errors="replace"))
                self.send_error(500)
                return
            with open(f"{folder}/reply.tsr", "rb") as reply_file:
                reply = reply_file.read(MAX_QUERY)
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, format, *args):  # pylint: disable=redefined-builtin
        pass


def main():
    server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
    server.config = sys.argv[1]
    server.timeout = 30
    print(f"port={server.server_address[1]}", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
