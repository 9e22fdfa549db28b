#!/usr/bin/env python3
"""Checks zipx's command-line contract on the generated archives: output lines, exit codes
and the files left behind.

  zipx_test.py ARCHIVE_DIR SCRATCH_DIR [--wine WINE_RUN] ZIPX
"""
import os
import shutil
import subprocess
import sys

failures = []


def check(what, condition, detail=""):
    if not condition:
        failures.append(f"{what}: {detail}")


def main():
    args = sys.argv[1:]
    archives, scratch = args[0], args[1]
    wine = None
    if args[2] == "--wine":
        wine, zipx = args[3], args[4]
    else:
        zipx = args[2]
    # Under Wine the Unix root is drive Z:.
    host = (lambda p: "Z:" + p.replace("/", "\\")) if wine else (lambda p: p)

    def run(*words):
        command = ([wine] if wine else []) + [zipx] + list(words)
        done = subprocess.run(command, capture_output=True)
        return (done.returncode, done.stdout.decode("utf-8").replace("\r\n", "\n"),
                done.stderr.decode("utf-8", "replace"))

    def fresh(name):
        path = os.path.join(scratch, name)
        shutil.rmtree(path, ignore_errors=True)
        return path

    def files(root):
        found = set()
        for folder, _, names in os.walk(root):
            for n in names:
                found.add(os.path.relpath(os.path.join(folder, n), root).replace(os.sep, "/"))
        return found

    code, out, _ = run("list", host(f"{archives}/plain.zip"))
    check("list exit", code == 0, code)
    check("list lines", out.splitlines() == ["Deflated\treadme.txt", "Stored\tbin/",
                                              "Stored\tbin/tool.dat", "Stored\tempty.txt",
                                              "Deflated\tdocs/deep/note.txt"], out)

    code, out, _ = run("list", host(f"{archives}/oem-hebrew-names.zip"))
    check("hebrew names", out.splitlines() == ["Deflated\tשלום/קובץ.txt", "Deflated\tascii.txt"],
          out)

    code, out, err = run("extract", host(f"{archives}/unknown-method.zip"), host(fresh("m")))
    check("method line", out.splitlines() == ["failed: ppmd.bin native=61"], out)
    check("method named", "compression method 98 (PPMd) is not supported" in err, err)

    code, out, err = run("extract", host(f"{archives}/multi-part-last-disk.zip"),
                         host(fresh("parts")))
    check("multi-part", code == 2 and "multi-part" in err and not os.path.exists(
        os.path.join(scratch, "parts")), (code, err))

    dest = fresh("crc")
    code, out, _ = run("extract", host(f"{archives}/crc-mismatch.zip"), host(dest))
    check("failure exit", code == 1, code)
    check("failure line", out.splitlines() == ["failed: bad.txt native=8"], out)
    check("failure files", files(dest) == {"good.txt", "after.txt"}, files(dest))

    dest = fresh("kept")
    code, out, _ = run("extract", host(f"{archives}/crc-mismatch.zip"), host(dest),
                       "--keep-corrupted")
    check("kept exit", code == 0, code)
    check("kept files", files(dest) == {"good.txt", "bad.txt", "after.txt"}, files(dest))

    dest = fresh("userdata")
    code, out, _ = run("extract", host(f"{archives}/masks-mixed-case.zip"), host(dest),
                       "--exclude-userdata")
    check("userdata exit", code == 0, code)
    check("userdata files", files(dest) == {"AppData/UserData.txt", "a.txt", "sub/A.TXT"},
          files(dest))

    dest = fresh("all")
    code, out, _ = run("extract", host(f"{archives}/masks-mixed-case.zip"), host(dest))
    # Without the exclusion the user data come out too (on Windows "USERDATA" then clashes
    # with the folder of that name, so only the folder's files are asked for).
    check("all files", "userdata/db.mdb" in {f.lower() for f in files(dest)}, files(dest))

    # Links planted below the base: a folder pointing elsewhere and a dangling file link
    # named as an archive file. Wine shows a Unix link to a folder as a reparse point, but
    # one to nothing not at all: there the file is refused as one that can't be made new.
    root = fresh("links")
    dest, elsewhere = os.path.join(root, "out"), os.path.join(root, "elsewhere")
    os.makedirs(dest)
    os.makedirs(elsewhere)
    os.symlink(elsewhere, os.path.join(dest, "bin"))
    os.symlink(os.path.join(root, "outside.txt"), os.path.join(dest, "readme.txt"))
    code, out, err = run("extract", host(f"{archives}/plain.zip"), host(dest))
    refused = ["failed: readme.txt native=%d" % (19 if wine else 64),
               "failed: bin/ native=64", "failed: bin/tool.dat native=64"]
    check("links exit", code == 1, code)
    check("links refused", out.splitlines() == refused, out)
    check("links named", "\\out\\bin\". The path passes through a link" in err, err)
    left = {"docs/deep/note.txt", "empty.txt"}
    written = {f for f in files(root) if not os.path.islink(os.path.join(root, f))}
    check("links rest", written == {"out/" + f for f in left}, written)

    for archive, native in (("missing.zip", "00012"), ("not-an-archive.zip", "00035")):
        code, out, err = run("extract", host(f"{archives}/{archive}"), host(fresh("none")))
        check(f"{archive} exit", code == 2, code)
        check(f"{archive} message", f"Native error: {native}" in err, err)

    code, _, _ = run("extract")
    check("usage exit", code == 2, code)

    for f in failures:
        print("FAILED", f)
    print(f"zipx contract: {len(failures)} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
