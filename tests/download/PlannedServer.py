#!/usr/bin/env python3
"""The fault-injecting test server with the archive parts behind it.

A request for /uploads/NAME takes the next step of NAME's plan: a fault of the test server,
played with the part's real length, or "ok", the part whole. Once a plan is spent, the part
is sent whole. Other paths keep the test server's meaning.

PlannedServer.py --port P --log-dir D --parts FOLDER --plan "MirpanN1.zip=reset,short,ok;..."
Faults: reset (reset mid-body), short (closed short of the length), stall (silent for 20
seconds mid-body, past the client's read time-out), silent (4 KB of the body, then silent until
the client closes, at most a minute, with the file <log dir>/silent there meanwhile), 404;
besides, "chunked" (the part whole, in chunks, with no length announced), "slow" (the part
whole, 10 KB a second) and "garbage" (a short body that is no archive), "cut" (the part with an
ETag, reset after about 40% of it), "shifted" (a Range answered with a 206 of the next byte
on), "416" (a Range answered with 416), "long" (the part of that name in the folder long/ of
the parts, whose extraction takes a while, or just a different archive under the same name),
"altered" (the part whole, of its own size, with its first entry's time changed: still a
valid archive, but not the maker's bytes).
A whole part carries an ETag; a request with a Range whose If-Range is that ETag gets the
rest in a 206, unless --ignore-range. Every request of a part leaves a line in
<log dir>/requests.log: name, step, Range, If-Range and the body bytes sent.

"""
import argparse
import os
import socket
import struct
import sys
import time
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "http"))
import FaultServer  # noqa: E402


class PlannedHandler(FaultServer.Handler):
    def answer(self, path):
        if not path.startswith("/uploads/"):
            return super().answer(path)
        name = path[len("/uploads/"):]
        plan = self.server.plans.get(name, [])
        step = plan.pop(0) if plan else "ok"
        folder = os.path.join(self.server.parts, "long") if step == "long" else self.server.parts
        try:
            with open(os.path.join(folder, name), "rb") as f:
                data = f.read()
        except OSError:
            return super().answer("/404")
        n, half = len(data), len(data) // 2
        c = self.conn
        if step == "altered":
            data = data[:10] + bytes([data[10] ^ 1]) + data[11:]
        if step in ("ok", "cut", "shifted", "416"):
            return self.whole_or_rest(name, step, data)
        if step in ("long", "altered"):
            self.send(FaultServer.head("200 OK", ["Content-Length: %d" % n], c) + data)
            return True
        if step == "stall":
            self.send(FaultServer.head("200 OK", ["Content-Length: %d" % n], c) + data[:half])
            time.sleep(20)
            return False
        if step == "silent":
            # A first piece small enough to be read at once: the client is then waiting.
            self.send(FaultServer.head("200 OK", ["Content-Length: %d" % n], c) + data[:4096])
            marker = os.path.join(self.server.log_dir, "silent")
            open(marker, "w").close()
            self.request.settimeout(60)
            try:
                while self.request.recv(65536):
                    pass
            except OSError:
                pass
            os.remove(marker)
            return False
        if step == "slow":
            self.send(FaultServer.head("200 OK", ["Content-Length: %d" % n], c))
            for at in range(0, n, 1024):
                self.send(data[at:at + 1024])
                time.sleep(0.1)
            return True
        if step == "chunked":
            self.send(FaultServer.head("200 OK", ["Transfer-Encoding: chunked"], c))
            for at in range(0, n, 32768):
                piece = data[at:at + 32768]
                self.send(b"%x\r\n" % len(piece) + piece + b"\r\n")
            self.send(b"0\r\n\r\n")
            return True
        if step == "garbage":
            text = b"this is no archive"
            self.send(FaultServer.head("200 OK", ["Content-Length: %d" % len(text)], c) + text)
            return True
        if step == "404":
            return super().answer("/404")
        return super().answer("/%s/%d/%d" % (step, n, half))

    def whole_or_rest(self, name, step, data):
        n = len(data)
        etag = '"%x-%x"' % (n, zlib.crc32(data))
        asked, if_range = self.header("Range"), self.header("If-Range")
        start = 0
        if (asked.startswith("bytes=") and asked.endswith("-") and if_range == etag
                and not self.server.ignore_range):
            start = min(int(asked[6:-1]), n)
        end = n * 2 // 5 if step == "cut" else n
        if step == "416" and start > 0:
            self.log_request(name, step, asked, if_range, 0)
            self.send(FaultServer.head("416 Range Not Satisfiable", [
                "Content-Length: 0", "Content-Range: bytes */%d" % n], self.conn))
            return True
        if step == "shifted" and start > 0:
            start += 1  # a 206 of another range than the one asked for
        self.log_request(name, step, asked, if_range, end - start)
        headers = ["Content-Length: %d" % (n - start), "ETag: " + etag]
        if start > 0:
            headers.append("Content-Range: bytes %d-%d/%d" % (start, n - 1, n))
        self.send(FaultServer.head("206 Partial Content" if start else "200 OK", headers, self.conn))
        self.send(data[start:end])
        if end < n:
            self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            return False
        return True

    def log_request(self, name, step, asked, if_range, sent):
        with open(os.path.join(self.server.log_dir, "requests.log"), "a") as log:
            log.write("%s %s Range=%s If-Range=%s sent=%d\n"
                      % (name, step, asked or "-", if_range or "-", sent))

    def header(self, name):
        for line in self.request_head.decode("latin-1").split("\r\n")[1:]:
            key, _, value = line.partition(":")
            if key.strip().lower() == name.lower():
                return value.strip()
        return ""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--log-dir", required=True)
    parser.add_argument("--parts", required=True)
    parser.add_argument("--plan", default="")
    parser.add_argument("--ignore-range", action="store_true")
    options = parser.parse_args()
    server = FaultServer.Server(("127.0.0.1", options.port), PlannedHandler)
    server.log_dir = options.log_dir
    server.parts = options.parts
    server.ignore_range = options.ignore_range
    server.plans = {}
    for item in filter(None, options.plan.split(";")):
        name, _, steps = item.partition("=")
        server.plans[name] = steps.split(",")
    server.serve_forever()


if __name__ == "__main__":
    main()
