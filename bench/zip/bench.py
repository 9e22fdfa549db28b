#!/usr/bin/env python3
"""Times zipx extract beside unzip, bsdtar, 7z and a bare inflate loop on four archive
shapes of about 200 MB, in one run, warm cache, same disk. Prints medians, min-max,
ratios and peak RSS.

  bench.py ZIPX REFINFLATE WORKDIR [--runs N] [--scale F] [--shapes a,b]
"""
import argparse
import os
import random
import shutil
import statistics
import struct
import subprocess
import sys
import time
import zipfile

MB = 1024 * 1024


def text_pool(rnd, size):
    words = [bytes(rnd.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rnd.randint(2, 9)))
             for _ in range(3000)]
    out = bytearray()
    while len(out) < size:
        line = b" ".join(rnd.choice(words) for _ in range(rnd.randint(4, 14)))
        out += line + b"\r\n"
    return bytes(out[:size])


class Source:
    """Cheap content: slices of a text pool and of a random pool, lightly varied."""

    def __init__(self, seed):
        self.rnd = random.Random(seed)
        self.text = text_pool(self.rnd, 8 * MB)
        self.noise = os.urandom(16 * MB)

    def compressible(self, size):
        out = bytearray()
        while len(out) < size:
            at = self.rnd.randrange(0, len(self.text) - 65536)
            out += self.text[at:at + self.rnd.randint(4096, 65536)]
            out += b"%d\r\n" % self.rnd.getrandbits(32)
        return bytes(out[:size])

    def random(self, size):
        if size <= len(self.noise):
            at = self.rnd.randrange(0, len(self.noise) - size + 1)
            return self.noise[at:at + size]
        return os.urandom(size)

    def binary(self, size):
        """Half-compressible, like program code."""
        out = bytearray()
        while len(out) < size:
            out += self.random(2048) + self.compressible(2048)
        return bytes(out[:size])


def build_shapes(folder, scale):
    src = Source(20260)
    s = lambda n: max(1, int(n * scale))
    shapes = {}

    def write(name, entries):
        path = os.path.join(folder, name + ".zip")
        shapes[name] = path
        if os.path.exists(path):
            return
        with zipfile.ZipFile(path + ".part", "w") as z:
            for entry_name, data, method in entries:
                z.writestr(zipfile.ZipInfo(entry_name, (2024, 5, 1, 12, 0, 0)), data,
                           compress_type=method, compresslevel=6)
        os.rename(path + ".part", path)

    D, S = zipfile.ZIP_DEFLATED, zipfile.ZIP_STORED
    rnd = random.Random(7)
    write("small-files", ((f"dir{i // 200:03d}/file{i:05d}.txt",
                           src.compressible(rnd.randint(2000, 18000)), D)
                          for i in range(s(20000))))
    big = [("data/huge.log", src.compressible(s(110 * MB)), D)]
    big += [(f"data/part{i}.log", src.compressible(s(22 * MB)), D) for i in range(4)]
    write("large-compressible", big)
    write("stored-incompressible", ((f"media/blob{i:02d}.bin", src.random(s(20 * MB)), S)
                                    for i in range(10)))

    def mix():
        for i in range(s(40)):
            yield f"bin/module{i:02d}.dll", src.binary(rnd.randint(200_000, 2_500_000)), D
        yield "bin/Mirpan.exe", src.binary(s(12 * MB)), D
        for i in range(s(300)):
            yield f"images/pic{i:03d}.jpg", src.random(rnd.randint(50_000, 400_000)), D
        for i in range(s(1500)):
            yield f"help/topic{i:04d}.htm", src.compressible(rnd.randint(1_000, 40_000)), D
        for i in range(s(20)):
            yield f"db/table{i:02d}.dat", src.compressible(rnd.randint(500_000, 2_000_000)), D
        yield "UserData/", b"", S
    write("desktop-mix", mix())
    return shapes


def write_manifest(archive, manifest):
    with zipfile.ZipFile(archive) as z, open(archive, "rb") as raw, open(manifest, "w") as m:
        for info in z.infolist():
            if info.is_dir():
                continue
            raw.seek(info.header_offset)
            head = raw.read(30)
            name_len, extra_len = struct.unpack("<HH", head[26:30])
            data_at = info.header_offset + 30 + name_len + extra_len
            m.write("%d %d %d %x %s\n" % (data_at, info.compress_size, info.compress_type,
                                          info.CRC, info.filename))


def run_once(command, out):
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    os.sync()  # the previous run's writeback must not land on this one
    # Peak RSS through time(1): a child forked from this Python process would carry the
    # parent's high-water mark across exec.
    start = time.perf_counter()
    done = subprocess.run(["/usr/bin/time", "-f", "%M %U %S"] + command,
                          stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    wall = time.perf_counter() - start
    err = done.stderr.decode(errors="replace").strip().splitlines()
    if done.returncode != 0:
        sys.exit(f"{command[0]} failed ({done.returncode}): {err}")
    rss, user, system = err[-1].split()
    return wall, int(rss) / 1024.0, float(user) + float(system)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("zipx")
    parser.add_argument("refinflate")
    parser.add_argument("workdir")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--scale", type=float, default=1.0)
    parser.add_argument("--shapes", default="", help="comma-separated subset to time")
    args = parser.parse_args()
    os.makedirs(args.workdir, exist_ok=True)
    shapes = build_shapes(args.workdir, args.scale)
    out = os.path.join(args.workdir, "out")
    ok = True
    for shape, archive in shapes.items():
        if args.shapes and shape not in args.shapes.split(","):
            continue
        manifest = archive + ".manifest"
        write_manifest(archive, manifest)
        tools = {
            "zipx": [args.zipx, "extract", archive, out],
            "unzip": ["unzip", "-qo", archive, "-d", out],
            "bsdtar": ["bsdtar", "-xf", archive, "-C", out],
            "7z": ["7z", "x", "-y", "-bso0", "-bsp0", "-o" + out, archive],
            "ref-loop": [args.refinflate, manifest, archive, out],
        }
        for command in tools.values():  # warm the cache and the disk
            run_once(command, out)
        results = {name: [] for name in tools}
        cpu = {name: [] for name in tools}
        rss = {name: 0.0 for name in tools}
        for _ in range(args.runs):  # interleaved, so drift hits every tool alike
            for name, command in tools.items():
                wall, peak, seconds = run_once(command, out)
                results[name].append(wall)
                cpu[name].append(seconds)
                rss[name] = max(rss[name], peak)
        size = os.path.getsize(archive) / MB
        print(f"\n{shape}: archive {size:.0f} MiB, {args.runs} runs")
        print(f"  {'tool':<9} {'median s':>9} {'min-max s':>15} {'x zipx':>7} "
              f"{'CPU s':>7} {'peak RSS MiB':>13}")
        medians = {name: statistics.median(times) for name, times in results.items()}
        for name, times in results.items():
            print(f"  {name:<9} {medians[name]:9.3f} {min(times):7.3f}-{max(times):<7.3f} "
                  f"{medians[name] / medians['zipx']:7.2f} {statistics.median(cpu[name]):7.3f} "
                  f"{rss[name]:13.1f}")
        fastest = min(medians[n] for n in ("unzip", "bsdtar", "7z"))
        vs_tools = medians["zipx"] / fastest
        vs_ref = medians["zipx"] / medians["ref-loop"]
        met = vs_tools <= 1.0 and vs_ref <= 1.2 and rss["zipx"] <= 16
        ok &= met
        print(f"  zipx / fastest tool {vs_tools:.2f} (target <= 1.0), zipx / ref-loop "
              f"{vs_ref:.2f} (target <= 1.2), zipx RSS {rss['zipx']:.1f} MiB (<= 16): "
              f"{'met' if met else 'NOT met'}")
    shutil.rmtree(out, ignore_errors=True)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
