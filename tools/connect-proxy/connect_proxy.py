#!/usr/bin/python3
"""A CONNECT proxy for the tests, on 127.0.0.1 only. See README.md."""
import argparse
import os
import select
import socket
import ssl
import sys
import threading
import time

MAX_HEAD_BYTES = 16 * 1024
LOOPBACK_NAMES = ("localhost", "127.0.0.1", "::1", "[::1]")
PAC_SCRIPT = 'function FindProxyForURL(url, host) { return "PROXY %s"; }\n'

log_lock = threading.Lock()


def log(settings, line):
    with log_lock:
        with open(settings.log, "a", encoding="utf-8") as out:
            out.write(line + "\n")


def read_head(conn, deadline):
    """The request head, at most MAX_HEAD_BYTES; None when cut or too long."""
    data = b""
    while b"\r\n\r\n" not in data:
        if len(data) > MAX_HEAD_BYTES or time.monotonic() > deadline:
            return None
        conn.settimeout(max(0.1, deadline - time.monotonic()))
        chunk = conn.recv(4096)
        if not chunk:
            return None
        data += chunk
    return data.split(b"\r\n\r\n", 1)[0].decode("latin-1")


def is_loopback(host):
    return host in LOOPBACK_NAMES or host.startswith("127.")


def split_target(target):
    host, _, port = target.rpartition(":")
    return host.strip("[]"), int(port)


def relay(a, b, deadline):
    sockets = [a, b]
    while time.monotonic() < deadline:
        ready, _, _ = select.select(sockets, [], [], 0.5)
        for s in ready:
            data = s.recv(65536)
            if not data:
                return
            (b if s is a else a).sendall(data)


def answer(conn, status, headers=()):
    lines = ["HTTP/1.1 " + status] + list(headers) + ["Content-Length: 0", "Connection: close"]
    conn.sendall(("\r\n".join(lines) + "\r\n\r\n").encode("ascii"))


def endless_407(conn):
    """A 407 whose chunked body never ends: a chunk at a time, for as long
    as the client stays."""
    conn.sendall(b"HTTP/1.1 407 Proxy Authentication Required\r\n"
                 b'Proxy-Authenticate: Basic realm="office"\r\n'
                 b"Transfer-Encoding: chunked\r\n\r\n")
    chunk = b"400\r\n" + b"x" * 0x400 + b"\r\n"
    try:
        while True:
            conn.sendall(chunk)
    except OSError:
        return


def serve_pac(settings, conn, request_line):
    body = (PAC_SCRIPT % ("127.0.0.1:%d" % settings.port)).encode("ascii")
    log(settings, "PAC " + request_line)
    conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/x-ns-proxy-autoconfig\r\n"
                 b"Content-Length: %d\r\nConnection: close\r\n\r\n%s" % (len(body), body))


def handle(settings, conn):
    deadline = time.monotonic() + 60
    with conn:
        head = read_head(conn, deadline)
        if head is None:
            return
        lines = head.split("\r\n")
        request_line = lines[0]
        method, _, rest = request_line.partition(" ")
        target = rest.rpartition(" ")[0]
        if method == "GET" and target.endswith("/proxy.pac"):
            return serve_pac(settings, conn, request_line)
        if method != "CONNECT":
            log(settings, "REFUSED " + request_line)
            return answer(conn, "405 Method Not Allowed")
        auth = [l.split(":", 1)[1].strip().split(" ")[0] for l in lines[1:]
                if l.lower().startswith("proxy-authorization:")]
        log(settings, "CONNECT %s %s%s" % (target, settings.mode,
                                            " auth=" + auth[0] if auth else ""))
        host, port = split_target(target)
        if not is_loopback(host):
            return answer(conn, "403 Forbidden")
        if settings.mode == "407":
            return answer(conn, "407 Proxy Authentication Required",
                          ['Proxy-Authenticate: Basic realm="office"'])
        if settings.mode == "407-endless":
            return endless_407(conn)
        if settings.mode == "407-negotiate":
            return answer(conn, "407 Proxy Authentication Required",
                          ["Proxy-Authenticate: Negotiate", "Proxy-Authenticate: NTLM"])
        if settings.mode == "intercept":
            conn.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
            # Logged now, not only at the close: the suite may stop the proxy
            # before a tunnel's last bytes have drained.
            log(settings, "TUNNEL open " + target)
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(settings.cert, settings.key)
            try:
                conn.settimeout(10)
                tls = context.wrap_socket(conn, server_side=True)
            except (ssl.SSLError, OSError) as error:
                log(settings, "INTERCEPT refused by the client: %s" % error.__class__.__name__)
                return
            # A client may finish the handshake and only then drop a
            # certificate it does not trust: what counts is whether it
            # sends a request.
            try:
                request = read_head(tls, deadline)
            except (ssl.SSLError, OSError):
                request = None
            if request is None:
                log(settings, "INTERCEPT refused by the client after the handshake")
            else:
                log(settings, "INTERCEPT got a request: " + request.split("\r\n")[0])
            tls.close()
            return
        # tunnel: the website listens on IPv4 loopback only.
        forward = settings.forward or "127.0.0.1:%d" % port
        upstream_host, upstream_port = split_target(forward)
        try:
            upstream = socket.create_connection((upstream_host, upstream_port), timeout=10)
        except OSError:
            return answer(conn, "502 Bad Gateway")
        with upstream:
            conn.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
            # Logged now, not only at the close: the suite may stop the proxy
            # before a tunnel's last bytes have drained.
            log(settings, "TUNNEL open " + target)
            conn.settimeout(None)
            upstream.settimeout(None)
            relay(conn, upstream, deadline)
        log(settings, "TUNNEL closed " + target)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mode", default="tunnel",
                        choices=["tunnel", "407", "407-endless", "407-negotiate", "intercept"])
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--log", required=True)
    parser.add_argument("--forward", help="tunnel every CONNECT to this host:port instead")
    parser.add_argument("--cert", help="the certificate an intercepting proxy shows")
    parser.add_argument("--key")
    parser.add_argument("--lifetime", type=int, default=300)
    settings = parser.parse_args()
    if settings.mode == "intercept" and not (settings.cert and settings.key):
        parser.error("intercept needs --cert and --key")

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", settings.port))
    listener.listen(32)
    settings.port = listener.getsockname()[1]
    open(settings.log, "a").close()
    print("port=%d" % settings.port, flush=True)

    end = time.monotonic() + settings.lifetime
    listener.settimeout(0.5)
    while time.monotonic() < end:
        try:
            conn, _ = listener.accept()
        except socket.timeout:
            continue
        threading.Thread(target=handle, args=(settings, conn), daemon=True).start()
    return 0


if __name__ == "__main__":
    sys.exit(main())
