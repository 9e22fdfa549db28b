#!/usr/bin/env python3
"""A relay in front of a real web server that cuts the first answer of each path once.

CuttingRelay.py --port P --upstream U --log-dir D [--pause SECONDS]
Each request goes to 127.0.0.1:U over a connection of its own, asking it to close after the
answer, and comes back as the server gave it, except that the first answer of each path is
cut by a reset after about 40% of its body; with --pause it falls silent there for SECONDS
instead, with the file <log dir>/silent there meanwhile, and then goes on. Every request
leaves a line in <log dir>/requests.log: name, "cut" or "ok", Range, If-Range and the body
bytes passed on.
"""
import argparse
import os
import socket
import socketserver
import struct
import time


def header(head, name):
    for line in head.decode("latin-1").split("\r\n")[1:]:
        key, _, value = line.partition(":")
        if key.strip().lower() == name.lower():
            return value.strip()
    return ""


def read_head(sock, pending=b""):
    while b"\r\n\r\n" not in pending:
        data = sock.recv(65536)
        if not data:
            return None, b""
        pending += data
    head, _, rest = pending.partition(b"\r\n\r\n")
    return head + b"\r\n\r\n", rest


class Relay(socketserver.BaseRequestHandler):
    def handle(self):
        pending = b""
        while True:
            request, pending = read_head(self.request, pending)
            if request is None or not self.relay(request):
                return

    def relay(self, request):
        path = request.split(b" ")[1].decode("latin-1")
        name = path.rsplit("/", 1)[-1]
        first = path not in self.server.seen
        self.server.seen.add(path)
        upstream = socket.create_connection(("127.0.0.1", self.server.upstream))
        upstream.sendall(request[:-2] + b"Connection: close\r\n\r\n")
        head, body = read_head(upstream)
        length = int(header(head, "Content-Length") or 0)
        limit = length * 2 // 5 if first else length
        pause = self.server.pause if first else 0
        if pause:
            limit, first = length, False
        self.request.sendall(head)
        sent = 0
        while sent < limit:
            if pause and sent >= length * 2 // 5:
                marker = os.path.join(self.server.log_dir, "silent")
                open(marker, "w").close()
                time.sleep(pause)
                os.remove(marker)
                pause = 0
            if not body:
                body = upstream.recv(65536)
                if not body:
                    break
            piece = body[:(length * 2 // 5 if pause else limit) - sent]
            self.request.sendall(piece)
            sent += len(piece)
            body = body[len(piece):]
        upstream.close()
        with open(os.path.join(self.server.log_dir, "requests.log"), "a") as log:
            log.write("%s %s Range=%s If-Range=%s sent=%d\n"
                      % (name, "cut" if first else "ok", header(request, "Range") or "-",
                         header(request, "If-Range") or "-", sent))
        if sent < length:
            self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            return False
        return True


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--upstream", type=int, required=True)
    parser.add_argument("--log-dir", required=True)
    parser.add_argument("--pause", type=float, default=0)
    options = parser.parse_args()
    server = Server(("127.0.0.1", options.port), Relay)
    server.upstream = options.upstream
    server.log_dir = options.log_dir
    server.pause = options.pause
    server.seen = set()
    server.serve_forever()


if __name__ == "__main__":
    main()
