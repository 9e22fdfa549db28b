#!/usr/bin/env python3
"""Writes the archiver's test archives, each named for its defect, with an .expect file
that says what opening and extracting it must give.

Records are written byte by byte so that damaged and unusual archives can be made on
purpose. Expectation lines (UTF-8):
  open ok | open <native error>     result of OpenArchive
  option keep-corrupted | option exclude-userdata
  entry <name>                     one per directory entry, in order
  file <path> <size> <crc32>       exactly the files the extraction leaves
  fail <name> <native error>       exactly the per-file failures, in order
"""
import os
import random
import struct
import sys
import zlib

DOS_TIME = (13 << 11) | (45 << 5) | (30 // 2)
DOS_DATE = ((2021 - 1980) << 9) | (6 << 5) | 15


class Entry:
    def __init__(self, name, data=b"", method=8, attrs=0x20, flags=0, descriptor=False,
                 crc=None, size=None, csize=None, raw=None, zip64=False, name_bytes=None,
                 made_by=20, central_extra=None):
        self.name = name
        self.made_by, self.central_extra = made_by, central_extra
        self.name_bytes = name_bytes if name_bytes is not None else name.encode("utf-8")
        if any(ord(c) > 127 for c in name) and name_bytes is None:
            flags |= 0x0800
        self.data = data
        self.method = method
        self.attrs = attrs
        self.flags = flags | (8 if descriptor else 0)
        self.descriptor = descriptor
        self.crc = zlib.crc32(data) if crc is None else crc
        self.size = len(data) if size is None else size
        if raw is not None:
            self.payload = raw
        elif method == 8:
            c = zlib.compressobj(6, zlib.DEFLATED, -15)
            self.payload = c.compress(data) + c.flush()
        else:
            self.payload = data
        self.csize = len(self.payload) if csize is None else csize
        self.zip64 = zip64
        self.offset = 0


def build(entries, comment=b"", stub=b"", offsets_from_file=False, cut_directory=None,
          trailing=b"", zip64_end=False, locator_only=False, disk=0):
    out = bytearray(stub)
    base = len(stub) if offsets_from_file else 0
    start = len(stub)
    for e in entries:
        e.offset = len(out) - start + base
        local_crc, local_c, local_u = (0, 0, 0) if e.descriptor else (e.crc, e.csize, e.size)
        if e.zip64:
            local_c = local_u = 0xFFFFFFFF
        extra = struct.pack("<HHQQ", 1, 16, e.size, e.csize) if e.zip64 else b""
        out += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, e.flags, e.method, DOS_TIME,
                           DOS_DATE, local_crc, local_c, local_u, len(e.name_bytes), len(extra))
        out += e.name_bytes + extra + e.payload
        if e.descriptor:
            out += struct.pack("<IIII", 0x08074B50, e.crc, e.csize, e.size)
    cd_start = len(out)
    for e in entries:
        if e.zip64:
            extra = struct.pack("<HHQQQ", 1, 24, e.size, e.csize, e.offset)
            sizes = (0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF)
        else:
            extra = b""
            sizes = (e.csize, e.size, e.offset)
        if e.central_extra is not None:
            extra = e.central_extra
        out += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, e.made_by, 20, e.flags, e.method,
                           DOS_TIME, DOS_DATE, e.crc, sizes[0], sizes[1], len(e.name_bytes),
                           len(extra), 0, 0, 0, e.attrs, sizes[2])
        out += e.name_bytes + extra
    cd_size = len(out) - cd_start
    if cut_directory is not None:
        return bytes(out[:cd_start + cut_directory])
    cd_offset = cd_start - start + base
    if zip64_end or locator_only:
        rec_at = len(out) - start + base
        if not locator_only:
            out += struct.pack("<IQHHIIQQQQ", 0x06064B50, 44, 45, 45, 0, 0, len(entries),
                               len(entries), cd_size, cd_offset)
        out += struct.pack("<IIQI", 0x07064B50, 0, rec_at, 1)
    out += struct.pack("<IHHHHIIH", 0x06054B50, disk, disk, len(entries), len(entries), cd_size,
                       cd_offset, len(comment))
    out += comment + trailing
    return bytes(out)


def crc_hex(data):
    return "%08x" % (zlib.crc32(data) & 0xFFFFFFFF)


class Case:
    def __init__(self, name, archive, entries=(), files=(), fails=(), open_result="ok",
                 options=()):
        self.name, self.archive = name, archive
        self.entries, self.files, self.fails = entries, files, fails
        self.open_result, self.options = open_result, options

    def write(self, folder):
        with open(os.path.join(folder, self.name + ".zip"), "wb") as f:
            f.write(self.archive)
        lines = ["open " + self.open_result]
        lines += ["option " + o for o in self.options]
        lines += ["entry " + n for n in self.entries]
        lines += ["file %s %d %s" % (p, len(d), crc_hex(d)) for p, d in self.files]
        lines += ["fail %s %d" % f for f in self.fails]
        with open(os.path.join(folder, self.name + ".expect"), "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")


def files_of(entries):
    return [(e.name, e.data) for e in entries if not e.name.endswith("/") and not e.attrs & 0x10]


def cases():
    rnd = random.Random(862)
    text = b"".join(b"line %d of a compressible text\r\n" % i for i in range(4000))
    noise = bytes(rnd.getrandbits(8) for _ in range(3 * 1024 * 1024 + 12345))

    def plain():
        return [Entry("readme.txt", text), Entry("bin/", attrs=0x10, method=0),
                Entry("bin/tool.dat", noise[:5000], method=0), Entry("empty.txt", b"", method=0),
                Entry("docs/deep/note.txt", b"note")]

    yield Case("plain", build(plain()), [e.name for e in plain()], files_of(plain()))
    yield Case("empty-archive", build([]))
    stub = b"MZ" + bytes(rnd.getrandbits(8) for _ in range(4094))
    yield Case("stub-offsets-from-zip-start", build(plain(), stub=stub),
               [e.name for e in plain()], files_of(plain()))
    yield Case("stub-offsets-from-file-start", build(plain(), stub=stub, offsets_from_file=True),
               [e.name for e in plain()], files_of(plain()))
    yield Case("comment-1000-bytes", build(plain(), comment=b"c" * 1000),
               [e.name for e in plain()], files_of(plain()))
    fake = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 9, 9, 1, 1, 77)
    yield Case("comment-with-false-end-record", build(plain(), comment=b"x" + fake + b"yz"),
               [e.name for e in plain()], files_of(plain()))
    # The end record no longer reaches the file's end: rebuilt from local headers, which
    # gives directory attributes only to empty entries.
    rebuilt = [e.name for e in plain()]
    yield Case("trailing-bytes-after-end", build(plain(), trailing=b"JUNK" * 10), rebuilt,
               [f for f in files_of(plain()) if f[0] != "empty.txt"])
    desc = [Entry("a.txt", text, descriptor=True), Entry("b.bin", noise[:70000], descriptor=True),
            Entry("c/d.txt", b"dd" * 50, method=0, descriptor=True)]
    yield Case("cut-directory-with-descriptors", build(desc, cut_directory=60),
               [e.name for e in desc], files_of(desc))
    z64 = [Entry("big/one.txt", text, zip64=True), Entry("two.bin", noise[:1000], method=0,
                                                          zip64=True)]
    yield Case("zip64-extra-fields", build(z64, zip64_end=True), [e.name for e in z64],
               files_of(z64))
    yield Case("zip64-locator-without-record", build(z64, locator_only=True), open_result="40")
    hebrew = "שלום/קובץ.txt"
    oem = bytes(0x80 + ord(c) - 0x5D0 if "\u05d0" <= c <= "\u05ea" else ord(c) for c in hebrew)
    heb = [Entry(hebrew, b"shalom", name_bytes=oem), Entry("ascii.txt", b"a")]
    yield Case("oem-hebrew-names", build(heb), [e.name for e in heb], files_of(heb))
    cut = [Entry("cut\0hidden.txt", b"x", name_bytes=b"cut\0hidden.txt")]
    yield Case("name-with-nul", build(cut), ["cut"], [("cut", b"x")])
    yield Case("empty-name-then-others",
               build([Entry("", b"x", name_bytes=b""), Entry("b.txt", b"b")]), open_result="59")
    bad_crc = [Entry("good.txt", b"good"), Entry("bad.txt", text, crc=0x12345678),
               Entry("after.txt", b"after")]
    yield Case("crc-mismatch", build(bad_crc), [e.name for e in bad_crc],
               [("good.txt", b"good"), ("after.txt", b"after")], [("bad.txt", 8)])
    yield Case("crc-mismatch-kept", build(bad_crc), [e.name for e in bad_crc],
               files_of(bad_crc), options=["keep-corrupted"])
    d64 = [Entry("d64.bin", text, method=9, raw=b"\0" * 100), Entry("ok.txt", b"ok")]
    yield Case("deflate64-method", build(d64), [e.name for e in d64], [("ok.txt", b"ok")],
               [("d64.bin", 55)])
    unk = [Entry("ppmd.bin", text, method=98, raw=b"\1" * 100), Entry("ok.txt", b"ok")]
    yield Case("unknown-method", build(unk), [e.name for e in unk], [("ok.txt", b"ok")],
               [("ppmd.bin", 61)])
    yield Case("unknown-method-kept", build(unk), [e.name for e in unk], [("ok.txt", b"ok")],
               [("ppmd.bin", 61)], options=["keep-corrupted"])
    bad = ["../escape.txt", "a/../../escape2.txt", "/absolute.txt", "C:/drive.txt",
           "\\\\server\\share\\unc.txt", "dir/..\\..\\escape3.txt", "stream.txt:ads",
           "a/.. /escape4.txt"]
    trav = [Entry(n, b"evil") for n in bad] + [Entry("inside/good.txt", b"good")]
    yield Case("traversal-and-absolute-names", build(trav), [e.name for e in trav],
               [("inside/good.txt", b"good")],
               [(n.replace("/", "\\").replace("\\", "/"), 19) for n in bad])
    bomb_data = b"\0" * (20 * 1024 * 1024)
    bomb = [Entry("bomb.bin", bomb_data, size=4096), Entry("after.txt", b"after")]
    yield Case("bomb-declared-small", build(bomb), [e.name for e in bomb],
               [("after.txt", b"after")], [("bomb.bin", 8)])
    yield Case("bomb-declared-small-kept", build(bomb), [e.name for e in bomb],
               [("bomb.bin", bomb_data[:4096]), ("after.txt", b"after")],
               options=["keep-corrupted"])
    multi = [Entry("stored.bin", noise, method=0), Entry("deflated.bin", noise),
             Entry("zeros.bin", b"\0" * (40 * 1024 * 1024))]
    yield Case("multi-block-entries", build(multi), [e.name for e in multi], files_of(multi))
    masks = [Entry("UserData/", attrs=0x10, method=0), Entry("UserData/db.mdb", b"db"),
             Entry("userdata/x.txt", b"x"), Entry("USERDATA", b"file"),
             Entry("AppData/UserData.txt", b"app"), Entry("a.txt", b"a"),
             Entry("sub/A.TXT", b"A")]
    yield Case("masks-mixed-case", build(masks), [e.name for e in masks],
               [("AppData/UserData.txt", b"app"), ("a.txt", b"a"), ("sub/A.TXT", b"A")],
               options=["exclude-userdata"])
    yield Case("not-an-archive", b"hello, not a zip at all", open_result="35")
    # Unicode names: the UTF-8 flag, a Unix writer's raw UTF-8, a Unicode-path field that
    # belongs to its name and one that doesn't (the OEM name wins then).
    def unicode_path(raw, name, crc=None):
        data = struct.pack("<BI", 1, zlib.crc32(raw) if crc is None else crc) + name.encode()
        return struct.pack("<HH", 0x7075, len(data)) + data
    uni = [Entry("日本.txt", b"ja"), Entry("中文.txt", b"zh"),
           Entry("café/привет.txt", b"unix", name_bytes="café/привет.txt".encode(),
                 made_by=(3 << 8) | 30),
           Entry("naïve.txt", b"field", name_bytes=b"na?ve.txt",
                 central_extra=unicode_path(b"na?ve.txt", "naïve.txt")),
           Entry("א.txt", b"stale", name_bytes=b"\x80.txt",
                 central_extra=unicode_path(b"\x80.txt", "wrong.txt", crc=1))]
    yield Case("unicode-names", build(uni), [e.name for e in uni], files_of(uni))
    dup = [Entry("dup.txt", b"first"), Entry("dup.txt", b"second"), Entry("z.txt", b"z")]
    yield Case("same-name-twice", build(dup), [e.name for e in dup],
               [("dup.txt", b"first"), ("z.txt", b"z")], [("dup.txt", 62)])
    slashes = [Entry("d\\e\\", method=0), Entry("d\\e\\f.txt", b"f")]
    yield Case("backslash-separators", build(slashes), [e.name for e in slashes],
               [("d/e/f.txt", b"f")])
    yield Case("multi-part-last-disk", build(plain(), disk=1), open_result="63")
    # Bytes put in front without correcting the offsets; the first entry a folder and the
    # rest with data descriptors, as some writers make them.
    shifted = [Entry("top/", attrs=0x10, method=0), Entry("top/a.txt", text, descriptor=True),
               Entry("top/b.bin", noise[:3000], method=0, descriptor=True)]
    for size in (1, 4, 100):
        yield Case(f"prepended-{size}-bytes", b"\xff" * size + build(shifted),
                   [e.name for e in shifted], files_of(shifted))
    yield Case("prepended-zip64", b"PK\x05\x06" * 25 + build(z64, zip64_end=True),
               [e.name for e in z64], files_of(z64))
    short = [Entry("short-zip64.txt", b"s", zip64=True,
                   central_extra=struct.pack("<HHQ", 1, 8, 1)), Entry("ok.txt", b"ok")]
    yield Case("zip64-extra-shorter-than-its-fields", build(short), [e.name for e in short],
               [("ok.txt", b"ok")], [("short-zip64.txt", 8)])
    # Names Windows gives a meaning: devices with any case, extension or trailing space, and
    # parts ending in a dot or a space; their neighbours are plain names.
    reserved = ["CON", "nul.tar.gz", "COM1.txt", "Lpt9 .log", "aux/inner.txt", "dir/PRN",
                "trail./x.txt", "space /y.txt", "dot.", "COM\u00b9.txt", "CONOUT$"]
    plain_names = ["CONSOLE.txt", "COM10.txt", "LPT.txt", "a.b/c.txt", "./here.txt"]
    dev = [Entry(n, b"dev") for n in reserved] + [Entry(n, n.encode()) for n in plain_names]
    yield Case("windows-device-and-trailing-dot-names", build(dev), [e.name for e in dev],
               [(n.replace("./", ""), n.encode()) for n in plain_names],
               [(n, 65) for n in reserved])
    # Overlapping data: 40 central entries on one 10 MB stream (400 MB out of 14 KB), and an
    # entry whose data run into the next one's header.
    shared = build([Entry("shared.bin", b"\0" * (10 * 1024 * 1024))])
    one = shared[shared.index(b"PK\x01\x02"):shared.index(b"PK\x05\x06")]
    local = shared[:shared.index(b"PK\x01\x02")]
    central = b"".join(one.replace(b"shared.bin", b"sh%04d.bin" % k) for k in range(40))
    yield Case("entries-sharing-one-stream",
               local + central + struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 40, 40,
                                             len(central), len(local), 0), open_result="57")
    into = [Entry("a.bin", noise[:1000], method=0, csize=1040), Entry("b.txt", b"b")]
    yield Case("entry-data-running-into-next", build(into), open_result="57")
    attrs = [Entry("hidden.txt", b"h", attrs=0x22), Entry("readonly.txt", b"r", attrs=0x21)]
    yield Case("hidden-and-read-only-entries", build(attrs), [e.name for e in attrs],
               files_of(attrs))


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for case in cases():
        case.write(folder)


if __name__ == "__main__":
    main()
