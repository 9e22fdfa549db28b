#!/usr/bin/env python3
"""The fault-injecting test server with the archive parts behind it.

A request for /uploads/NAME takes the next step of NAME's plan: a fault of the test server,
played with the part's real length, or "ok", the part whole. Once a plan is spent, the part
is sent whole. Other paths keep the test server's meaning.

PlannedServer.py --port P --log-dir D --parts FOLDER --plan "MirpanN1.zip=reset,short,ok;..."
Faults: reset (reset mid-body), short (closed short of the length), stall (silent for 20
seconds mid-body, past the client's read time-out), 404; besides, "chunked" (the part whole,
in chunks, with no length announced), "slow" (the part whole, 10 KB a second) and "garbage"
(a short body that is no archive), "long" (the part of that name in the folder long/ of
the parts, whose extraction takes a while, or just a different archive under the same name),
"altered" (the part whole, of its own size, with its first entry's time changed: still a
valid archive, but not the maker's bytes).
"""
import argparse
import os
import sys
import time

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
        if step in ("ok", "long", "altered"):
            self.send(FaultServer.head("200 OK", ["Content-Length: %d" % n], c) + data)
            return True
        if step == "stall":
            self.send(FaultServer.head("200 OK", ["Content-Length: %d" % n], c) + data[:half])
            time.sleep(20)
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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--log-dir", required=True)
    parser.add_argument("--parts", required=True)
    parser.add_argument("--plan", default="")
    options = parser.parse_args()
    server = FaultServer.Server(("127.0.0.1", options.port), PlannedHandler)
    server.log_dir = options.log_dir
    server.parts = options.parts
    server.plans = {}
    for item in filter(None, options.plan.split(";")):
        name, _, steps = item.partition("=")
        server.plans[name] = steps.split(",")
    server.serve_forever()


if __name__ == "__main__":
    main()
