#!/usr/bin/env python3
"""The heavy product for the page-3 benchmark, made once into a folder.

make_payload.py DEMO_PARTS_FOLDER OUTPUT_FOLDER

MirpanN1.zip: the demo's first part with, besides, a 120 MB compressible file, a 60 MB
incompressible file and 3,000 small pages, all deflated. MirpanN2.zip (the user data) and the
marker MirpanN.zip as the demo has them.
"""
import os
import random
import shutil
import sys
import zipfile
from pathlib import Path

MB = 1 << 20


def compressible(size, seed):
    # Text-like lines from a small vocabulary: deflates to about a quarter.
    rng = random.Random(seed)
    words = [("%x" % rng.getrandbits(24)).encode() for _ in range(4000)]
    out = bytearray()
    while len(out) < size:
        out += b" ".join(rng.choice(words) for _ in range(12)) + b"\r\n"
    return bytes(out[:size])


def main():
    demo, out = Path(sys.argv[1]), Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    part1 = out / "MirpanN1.zip"
    if not part1.exists():
        work = out / "MirpanN1.zip.part"
        shutil.copyfile(demo / "MirpanN1.zip", work)
        with zipfile.ZipFile(work, "a", zipfile.ZIP_DEFLATED) as archive:
            archive.writestr("Bin/Heavy.dat", compressible(120 * MB, 1))
            archive.writestr("Bin/Random.dat", os.urandom(60 * MB))
            page = compressible(8 * 1024, 2)
            for i in range(3000):
                archive.writestr("Pages/%02d/page%04d.htm" % (i // 100, i), page + b"%d" % i)
        work.rename(part1)
    for name in ("MirpanN2.zip", "MirpanN.zip"):
        shutil.copyfile(demo / name, out / name)


if __name__ == "__main__":
    main()
