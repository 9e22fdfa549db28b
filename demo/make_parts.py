#!/usr/bin/env python3
"""Writes the demo product's archive parts beside the setup program.

make_parts.py MIRPAN_EXE OUTPUT_FOLDER

MirpanN1.zip holds the product tree: the program under Bin with the two folder icons and the
maker's wallpaper, and one small file in each of the record's other folders. MirpanN2.zip holds
the user data, UserData\\UserData.mdb. MirpanN.zip is the marker that selects local mode.
"""
import io
import struct
import sys
import zipfile
from pathlib import Path

# A fixed time keeps the parts byte for byte the same from build to build.
STAMP = (2026, 1, 1, 12, 0, 0)

HELP_TOPICS = 1500
HELP_PAGE = ("<html><head><title>Mirpan - topic {number}</title></head>\r\n"
             "<body><h1>Mirpan</h1><p>Help topic {number}.</p></body></html>\r\n")

# The folders of the installation record below the product folder, each with a note.
RECORD_FOLDERS = ["Application Data", "Local", "Programs", "Image", "Topic", "Empty", "Sql",
                  "ClientSql", "HELP"]


def icon(red, green, blue):
    """A 32 x 32 icon of one colour with a darker frame, 32 bits per pixel."""
    size = 32
    pixels = bytearray()
    for y in range(size):
        for x in range(size):
            edge = x < 3 or y < 3 or x >= size - 3 or y >= size - 3
            f = 0.5 if edge else 1.0
            pixels += bytes((int(blue * f), int(green * f), int(red * f), 255))
    mask = bytes(size * size // 8)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask),
                         0, 0, 0, 0)
    image = header + bytes(pixels) + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32,
                                                           len(image), 6 + 16)
    return directory + image


def wallpaper(width=320, height=200):
    """A 24-bit bitmap: the maker's dark blue fading into gold."""
    row_size = (width * 3 + 3) & ~3
    rows = bytearray()
    for y in range(height):
        row = bytearray()
        for x in range(width):
            t = (x + y) / (width + height)
            r, g, b = (int(0 + t * 237), int(43 + t * (189 - 43)), int(85 + t * (46 - 85)))
            row += bytes((b, g, r))
        rows += row + bytes(row_size - len(row))
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(rows), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return header + info + bytes(rows)


def add(archive, name, data):
    entry = zipfile.ZipInfo(name, STAMP)
    entry.compress_type = zipfile.ZIP_DEFLATED
    entry.external_attr = 0x20  # archive bit, as the maker's packer stores files
    archive.writestr(entry, data)


def add_folder(archive, name):
    entry = zipfile.ZipInfo(name.rstrip("/") + "/", STAMP)
    entry.external_attr = 0x10
    archive.writestr(entry, b"")


def write_zip(path, fill):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        fill(archive)
    path.write_bytes(buffer.getvalue())


def product_tree(program):
    def fill(archive):
        add_folder(archive, "Bin")
        add(archive, "Bin/Mirpan.exe", program)
        add(archive, "Bin/MirpanFolder.ico", icon(0, 43, 85))
        add(archive, "Bin/NovsFolder.ico", icon(237, 189, 46))
        add(archive, "Bin/NovsWallpaper.bmp", wallpaper())
        # The help of a real product is many small pages; they let the progress be seen.
        for number in range(1, HELP_TOPICS + 1):
            add(archive, "HELP/Topics/Topic%04d.htm" % number,
                HELP_PAGE.format(number=number).encode("ascii"))
        for folder in RECORD_FOLDERS:
            add_folder(archive, folder)
            add(archive, folder + "/ReadMe.txt",
                ("Mirpan - " + folder + "\r\n").encode("ascii"))
    return fill


def user_data(archive):
    add_folder(archive, "UserData")
    # Not a real database: a recognisable header and a little payload that compresses.
    add(archive, "UserData/UserData.mdb",
        b"Standard Jet DB\0" + bytes(range(256)) * 16 + b"Mirpan demo company 1\r\n")


def main():
    program = Path(sys.argv[1]).read_bytes()
    out = Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    write_zip(out / "MirpanN1.zip", product_tree(program))
    write_zip(out / "MirpanN2.zip", user_data)
    write_zip(out / "MirpanN.zip", lambda archive: None)


if __name__ == "__main__":
    main()
