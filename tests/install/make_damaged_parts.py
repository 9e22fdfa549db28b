#!/usr/bin/env python3
"""Damaged copies of the demo archive parts, one folder per defect, named for it.

make_damaged_parts.py PARTS_FOLDER OUTPUT_FOLDER

crc-mismatch/   MirpanN1.zip whose HELP/ReadMe.txt records a wrong CRC-32 (local and central
                header alike, so only the check of the data finds it); MirpanN2.zip as built.
not-a-zip/      MirpanN1.zip as built; MirpanN2.zip is plain text.
"""
import shutil
import struct
import sys
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


def main():
    parts = Path(sys.argv[1])
    out = Path(sys.argv[2])
    crc = out / "crc-mismatch"
    not_zip = out / "not-a-zip"
    for folder in (crc, not_zip):
        folder.mkdir(parents=True, exist_ok=True)
    (crc / "MirpanN1.zip").write_bytes(break_crc((parts / "MirpanN1.zip").read_bytes(),
                                                 DAMAGED_ENTRY))
    shutil.copyfile(parts / "MirpanN2.zip", crc / "MirpanN2.zip")
    shutil.copyfile(parts / "MirpanN1.zip", not_zip / "MirpanN1.zip")
    (not_zip / "MirpanN2.zip").write_bytes(b"This part was cut off by the download.\r\n")


if __name__ == "__main__":
    main()
