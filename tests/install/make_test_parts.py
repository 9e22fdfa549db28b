#!/usr/bin/env python3
"""Copies of the demo archive parts for the tests, one folder per case, named for it.

make_test_parts.py PARTS_FOLDER OUTPUT_FOLDER

crc-mismatch/   MirpanN1.zip whose HELP/ReadMe.txt records a wrong CRC-32 (local and central
                header alike, so only the check of the data finds it); MirpanN2.zip as built.
not-a-zip/      MirpanN1.zip as built; MirpanN2.zip is plain text.
long-extraction/ MirpanN1.zip with a large stored file more in Bin, so that its extraction
                lasts long enough for the user to act during it; MirpanN2.zip as built.
big-unpacked/   MirpanN1.zip with a file of 256 MB more in Bin that packs to almost nothing.
userdata-aliases/ MirpanN1.zip of names Windows resolves to UserData (short names, a trailing
                dot or space) and one file beside them.
"""
import shutil
import struct
import sys
import zipfile
from pathlib import Path

DAMAGED_ENTRY = b"HELP/ReadMe.txt"


def break_crc(data, name):
    data = bytearray(data)
    central = data.find(b"PK\x01\x02")  # the first central header
    patched = 0
    at = central
    while at != -1:
        name_length = struct.unpack_from("<H", data, at + 28)[0]
        if bytes(data[at + 46:at + 46 + name_length]) == name:
            local = struct.unpack_from("<I", data, at + 42)[0]
            for crc_at in (at + 16, local + 14):
                crc = struct.unpack_from("<I", data, crc_at)[0]
                struct.pack_into("<I", data, crc_at, crc ^ 0x5A5A5A5A)
            patched += 1
        at = data.find(b"PK\x01\x02", at + 46)
    if patched != 1:
        sys.exit("entry %r not found" % name)
    return bytes(data)


def add_long_file(part, target, megabytes=64):
    shutil.copyfile(part, target)
    with zipfile.ZipFile(target, "a") as archive:
        entry = zipfile.ZipInfo("Bin/Archive.dat", (2026, 1, 1, 12, 0, 0))
        # Stored: the archiver reports progress, and lets the window work, once per block read.
        entry.compress_type = zipfile.ZIP_STORED
        chunk = bytes(1 << 20)
        with archive.open(entry, "w") as data:
            for _ in range(megabytes):
                data.write(chunk)


def add_big_file(part, target, megabytes=256):
    shutil.copyfile(part, target)
    with zipfile.ZipFile(target, "a", zipfile.ZIP_DEFLATED) as archive:
        entry = zipfile.ZipInfo("Bin/Spare.dat", (2026, 1, 1, 12, 0, 0))
        entry.compress_type = zipfile.ZIP_DEFLATED
        chunk = bytes(1 << 20)
        with archive.open(entry, "w", force_zip64=False) as data:
            for _ in range(megabytes):
                data.write(chunk)


def main():
    parts = Path(sys.argv[1])
    out = Path(sys.argv[2])
    crc = out / "crc-mismatch"
    not_zip = out / "not-a-zip"
    long_extraction = out / "long-extraction"
    big = out / "big-unpacked"
    aliases = out / "userdata-aliases"
    for folder in (crc, not_zip, long_extraction, big, aliases):
        folder.mkdir(parents=True, exist_ok=True)
    (crc / "MirpanN1.zip").write_bytes(break_crc((parts / "MirpanN1.zip").read_bytes(),
                                                 DAMAGED_ENTRY))
    shutil.copyfile(parts / "MirpanN2.zip", crc / "MirpanN2.zip")
    shutil.copyfile(parts / "MirpanN1.zip", not_zip / "MirpanN1.zip")
    (not_zip / "MirpanN2.zip").write_bytes(b"This part was cut off by the download.\r\n")
    add_long_file(parts / "MirpanN1.zip", long_extraction / "MirpanN1.zip")
    shutil.copyfile(parts / "MirpanN2.zip", long_extraction / "MirpanN2.zip")
    add_big_file(parts / "MirpanN1.zip", big / "MirpanN1.zip")
    with zipfile.ZipFile(aliases / "MirpanN1.zip", "w") as archive:
        for name in ("USERDA~1/UserData.mdb", "userda~2/", "UserData./UserData.mdb",
                     "UserData /UserData.mdb", "kept.txt"):
            archive.writestr(name, b"" if name.endswith("/") else b"replaced")


if __name__ == "__main__":
    main()
