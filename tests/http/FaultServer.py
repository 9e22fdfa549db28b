#!/usr/bin/env python3
"""A hostile HTTP server for the client's tests; the request path picks the behaviour.

Every request head is written to <log dir>/last-request before the answer goes out, so a
test can compare the exact bytes the client sent. Every answer carries "X-Conn: <n>", the
number of the TCP connection it went over, so a test can see whether a connection was reused.

Paths (N, M byte counts; body byte i is i % 251):
  /len/N            200, Content-Length N
  /chunked/A,B,...  200, chunked with those sizes      /chunkext  chunk size line "1a;x=y"
  /close/N          200, no length, N bytes, close     /404       404 with a 12-byte body
  /302              302, Location /len/10              /continue  100, then 200 with 5 bytes
  /loop             302, Location /loop
  /located          200 with Location and 5 bytes      /connclose 200, Connection: close
  /reset/N/M        Content-Length N, M bytes, reset   /short/N/M Content-Length N, M bytes, close
  /stall/N/M        Content-Length N, M bytes, silence /closeafter 200 with 5 bytes, then close
  /split/N/K        Content-Length N; head and K bytes, a pause, then the rest
  /cookie           200 setting cookie a=1             /lines/... raw bytes for the line tests
  /crlocation       302 whose Location holds a bare CR /crcookie  200 setting a cookie with a CR
  /flood/KIND       without end, until the client goes: KIND "headers" (header lines),
                    "headerline" (one header line), "continue" (100 replies), or
                    STATUS,FRAMING: that status with a body "chunked", "len" or "close"
                    (a 3xx with Location /len/10)
"""
import argparse
import os
import socket
import socketserver
import struct
import threading
import time

connection_counter = 0
counter_lock = threading.Lock()


def body(n):
    return bytes(i % 251 for i in range(n))


def head(status, headers, conn):
    lines = ["HTTP/1.1 " + status] + headers + ["X-Conn: %d" % conn]
    return ("\r\n".join(lines) + "\r\n\r\n").encode("ascii")


class Handler(socketserver.BaseRequestHandler):
    def setup(self):
        global connection_counter
        with counter_lock:
            connection_counter += 1
            self.conn = connection_counter
        self.pending = b""

    def read_head(self):
        while b"\r\n\r\n" not in self.pending:
            data = self.request.recv(65536)
            if not data:
                return None
            self.pending += data
        request, _, self.pending = self.pending.partition(b"\r\n\r\n")
        return request + b"\r\n\r\n"

    def handle(self):
        while True:
            request = self.read_head()
            if request is None:
                return
            log = os.path.join(self.server.log_dir, "last-request")
            with open(log + ".tmp", "wb") as f:
                f.write(request)
            os.replace(log + ".tmp", log)
            self.request_head = request
            path = request.split(b" ")[1].decode("latin-1")
            if not self.answer(path):
                return

    def send(self, data):
        self.request.sendall(data)

    def answer(self, path):
        """Sends one answer; False ends the connection."""
        parts = path.strip("/").split("/")
        kind, args = parts[0], parts[1:]
        c = self.conn
        if kind == "len":
            n = int(args[0])
            self.send(head("200 OK", ["Content-Length: %d" % n], c) + body(n))
        elif kind == "chunked":
            sizes = [int(s) for s in args[0].split(",")]
            data = head("200 OK", ["Transfer-Encoding: chunked"], c)
            offset = 0
            for size in sizes:
                data += b"%x\r\n" % size + body(offset + size)[offset:] + b"\r\n"
                offset += size
            self.send(data + b"0\r\n\r\n")
        elif kind == "chunkext":
            self.send(head("200 OK", ["Transfer-Encoding: chunked"], c) +
                      b"1a;x=y\r\n" + body(26) + b"\r\n0\r\n\r\n")
        elif kind == "close":
            self.send(head("200 OK", [], c) + body(int(args[0])))
            return False
        elif kind == "404":
            self.send(head("404 Not Found", ["Content-Length: 12"], c) + b"no such part")
        elif kind == "302":
            self.send(head("302 Found", ["Location: /len/10", "Content-Length: 5"], c) + b"moved")
        elif kind == "loop":
            self.send(head("302 Found", ["Location: /loop", "Content-Length: 0"], c))
        elif kind == "continue":
            self.send(b"HTTP/1.1 100 Continue\r\n\r\n")
            self.send(head("200 OK", ["Content-Length: 5"], c) + b"final")
        elif kind == "located":
            self.send(head("200 OK", ["Location: /len/3", "Content-Length: 5"], c) + b"hello")
        elif kind == "connclose":
            self.send(head("200 OK", ["Connection: close", "Content-Length: 5"], c) + b"bye..")
            return False
        elif kind == "closeafter":
            self.send(head("200 OK", ["Content-Length: 5"], c) + b"later")
            time.sleep(0.2)
            return False
        elif kind in ("reset", "short", "stall"):
            n, m = int(args[0]), int(args[1])
            self.send(head("200 OK", ["Content-Length: %d" % n], c) + body(m))
            if kind == "reset":
                time.sleep(0.2)
                self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                        struct.pack("ii", 1, 0))
                self.request.close()  # now, before the server's orderly shutdown
            elif kind == "stall":
                self.request.settimeout(10)
                try:
                    self.request.recv(1)  # until the client gives up
                except OSError:
                    pass
            return False
        elif kind == "split":
            n, k = int(args[0]), int(args[1])
            data = body(n)
            self.send(head("200 OK", ["Content-Length: %d" % n], c) + data[:k])
            time.sleep(1.0)  # long enough for a slow client to take the first piece alone
            self.send(data[k:])
        elif kind == "cookie":
            self.send(head("200 OK", ["Set-Cookie: a=1; Path=/", "Content-Length: 2"], c) + b"ok")
        elif kind == "crlocation":
            self.send(head("302 Found", ["Location: /len/10\rX-Injected: 1", "Content-Length: 0"],
                           c))
        elif kind == "crcookie":
            self.send(head("200 OK", ["Set-Cookie: a=1\rX-Injected: 1", "Content-Length: 2"], c) +
                      b"ok")
        elif kind == "flood":
            self.flood(args[0], c)
            return False
        elif kind == "lines":
            # For the line tests: a three-letter line, lines with LF alone and a CR inside,
            # a 16384-byte line, a 16385-byte line, then the close.
            self.send(b"abc\r\nlf only\nx\ry\r\n" + b"a" * 16383 + b"\r\n" + b"b" * 16385 + b"\n")
            return False
        elif kind == "three":
            self.send(b"abc\r\n")
            return False
        else:
            self.send(head("404 Not Found", ["Content-Length: 0"], c))
        return True


    def flood(self, what, c):
        line = b"X-Flood: " + b"f" * 53 + b"\r\n"
        if what == "headers":
            start, block = b"HTTP/1.1 200 OK\r\n", line * 1024
        elif what == "headerline":
            start, block = b"HTTP/1.1 200 OK\r\nX-Flood: ", b"f" * 65536
        elif what == "continue":
            start, block = b"", b"HTTP/1.1 100 Continue\r\n\r\n" * 1024
        else:
            status, framing = what.split(",")
            headers = {"chunked": ["Transfer-Encoding: chunked"],
                       "len": ["Content-Length: 2000000000"], "close": []}[framing]
            if status.startswith("3"):
                headers.append("Location: /len/10")
            start, block = head(status + " Flood", headers, c), b"e" * 65536
            if framing == "chunked":
                block = b"10000\r\n" + block + b"\r\n"
        try:
            self.send(start)
            while True:
                self.send(block)
        except OSError:
            pass  # the client went, as it should


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--log-dir", required=True)
    options = parser.parse_args()
    server = Server(("127.0.0.1", options.port), Handler)
    server.log_dir = options.log_dir
    server.serve_forever()


if __name__ == "__main__":
    main()
