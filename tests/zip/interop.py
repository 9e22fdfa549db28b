#!/usr/bin/env python3
"""Archives made by the ZIP writers people use, extracted by zipx and compared with bsdtar's
extraction of the same archive (before any bytes were put in front): names, sizes, bytes.

  interop.py SCRATCH_DIR [--few] [--wine WINE_RUN] ZIPX

Every writer found on the machine packs one source tree (Hebrew, Latin-1, Cyrillic and CJK
names, empty folders, 0-byte files); each archive is also tried with data in front of it that
its offsets don't count. --few keeps a handful of cases (the runs under Wine are slow).
"""
import os
import random
import shutil
import subprocess
import sys
import zipfile

TREE = {
    "plain.txt": b"plain text\n" * 300,
    "zero.txt": b"",
    "data.bin": bytes(random.Random(7).getrandbits(8) for _ in range(150000)),
    "שלום/מסמך.txt": "שלום עולם\n".encode() * 50,
    "café/naïve résumé.txt": b"latin-1\n",
    "привет/файл.txt": b"cyrillic\n",
    "日本/日本.txt": b"first\n",
    "日本/中文.txt": b"second, same length once names become question marks\n",
    "a/b/deep.txt": b"deep\n",
}
EMPTY_FOLDERS = ["empty folder", "a/b/empty"]
PREFIXES = {"": 0, "+1": 1, "+4": 4, "+100": 100, "+1MiB": 1 << 20}
ENV = dict(os.environ, LC_ALL="C.UTF-8", LANG="C.UTF-8")


def make_tree(root):
    for name, data in TREE.items():
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    for folder in EMPTY_FOLDERS:
        os.makedirs(os.path.join(root, folder), exist_ok=True)


def top_level(root):
    return sorted(os.listdir(root))


def python_writer(root, out):
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for folder, dirs, files in sorted(os.walk(root)):
            rel = os.path.relpath(folder, root)
            if rel != ".":
                z.write(folder, rel)
            for n in sorted(files):
                z.write(os.path.join(folder, n), os.path.normpath(os.path.join(rel, n)))


PERL = ("use IO::Compress::Zip qw(zip $ZipError); my $out = shift; "
        "zip [@ARGV] => $out, Minimal => 1 or die $ZipError;")

# name -> (tool that must exist, command or callable given the tree and the archive path)
WRITERS = {
    "zip": ("zip", lambda root, out: ["zip", "-q", "-r", out] + top_level(root)),
    "zip64": ("zip", lambda root, out: ["zip", "-q", "-r", "-fz", out] + top_level(root)),
    "7z": ("7z", lambda root, out: ["7z", "a", "-bd", "-bso0", "-tzip", out] + top_level(root)),
    "bsdtar": ("bsdtar", lambda root, out: ["bsdtar", "--format", "zip", "-cf", out]
               + top_level(root)),
    "python": ("python3", python_writer),
    "jar": ("jar", lambda root, out: ["jar", "cfM", out] + top_level(root)),
    "perl": ("perl", lambda root, out: ["perl", "-e", PERL, out]
             + sorted(os.path.relpath(os.path.join(d, n), root)
                      for d, _, ns in os.walk(root) for n in ns)),
}
FEW = [("zip", ""), ("7z", "+100"), ("python", "+4"), ("zip64", "+1")]


def snapshot(root):
    """Relative path -> bytes for files, None for folders."""
    seen = {}
    for folder, dirs, files in os.walk(root):
        for d in dirs:
            seen[os.path.relpath(os.path.join(folder, d), root)] = None
        for n in files:
            with open(os.path.join(folder, n), "rb") as f:
                seen[os.path.relpath(os.path.join(folder, n), root)] = f.read()
    return seen


def differences(got, want):
    missing = sorted(set(want) - set(got))
    extra = sorted(set(got) - set(want))
    changed = sorted(p for p in set(got) & set(want) if got[p] != want[p])
    parts = [f"{label} {', '.join(items[:3])}" for label, items in
             (("missing", missing), ("extra", extra), ("differ", changed)) if items]
    return "; ".join(parts)


def main():
    args = sys.argv[1:]
    scratch = args.pop(0)
    few = "--few" in args
    if few:
        args.remove("--few")
    wine = None
    if args[0] == "--wine":
        wine, args = args[1], args[2:]
    zipx = args[0]
    host = (lambda p: "Z:" + p.replace("/", "\\")) if wine else (lambda p: p)

    shutil.rmtree(scratch, ignore_errors=True)
    source = os.path.join(scratch, "source")
    make_tree(source)
    results = []
    for writer, (tool, command) in WRITERS.items():
        if shutil.which(tool) is None:
            continue
        prefixes = [p for w, p in FEW if w == writer] if few else list(PREFIXES)
        if not prefixes:
            continue
        made = os.path.join(scratch, writer + ".zip")
        step = command(source, made)
        if isinstance(step, list):
            subprocess.run(step, cwd=source, env=ENV, check=True, capture_output=True)
        reference = os.path.join(scratch, writer + "-bsdtar")
        os.makedirs(reference)
        subprocess.run(["bsdtar", "-xf", made, "-C", reference], env=ENV, check=True)
        want = snapshot(reference)
        with open(made, "rb") as f:
            archive = f.read()
        for prefix in prefixes:
            case = writer + prefix
            shifted = os.path.join(scratch, case + ".zip")
            with open(shifted, "wb") as f:
                f.write(random.Random(prefix).randbytes(PREFIXES[prefix]) + archive)
            out = os.path.join(scratch, case + "-zipx")
            done = subprocess.run(([wine] if wine else []) +
                                  [zipx, "extract", host(shifted), host(out)],
                                  capture_output=True)
            problem = differences(snapshot(out) if os.path.isdir(out) else {}, want)
            if done.returncode != 0:
                said = (done.stdout + done.stderr).decode("utf-8", "replace").split("\n")[0]
                problem = f"exit {done.returncode} ({said.strip()}) " + problem
            results.append((case, problem))
    width = max(len(c) for c, _ in results)
    for case, problem in results:
        print(f"{case:<{width}}  {'ok' if not problem else 'FAIL ' + problem}")
    failed = sum(1 for _, p in results if p)
    print(f"interop: {len(results)} case(s), {failed} failure(s)")
    return 1 if failed or not results else 0


if __name__ == "__main__":
    sys.exit(main())
