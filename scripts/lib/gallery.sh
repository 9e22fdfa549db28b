# Sourced by `scripts/demo --gallery` inside the download namespace, with the demo's prefix,
# display, $build, $exe, $demo_root and drive() ready: runs each scenario of the demo driver on
# a copy of SetUp.exe beside the parts it needs and keeps the pictures in docs/gallery.
# MIRPAN_GALLERY_ONLY=NAME runs that scenario alone and keeps the other pictures.
gallery=$root/docs/gallery
only=${MIRPAN_GALLERY_ONLY:-}
[ -n "$only" ] || rm -rf "$gallery"
mkdir -p "$gallery"
parts=$root/$build/bin
failed=()

# The demo's first part with a few thousand small files more, so that its extraction and its
# download last long enough to be seen part-way.
make_big_part() {  # TARGET
  python3 - "$parts/MirpanN1.zip" "$1" <<'PY'
import os, sys, zipfile
source, target = sys.argv[1:3]
with zipfile.ZipFile(source) as old, zipfile.ZipFile(target, "w", zipfile.ZIP_STORED) as new:
    for item in old.infolist():
        new.writestr(item, old.read(item))
    for i in range(3000):
        new.writestr("Samples\\Sample%04d.dat" % i, os.urandom(16384))
PY
}

# The demo's first part with one more file whose bytes no longer match its checksum.
make_part_with_broken_file() {  # TARGET
  python3 - "$parts/MirpanN1.zip" "$1" <<'PY'
import sys, zipfile
source, target = sys.argv[1:3]
marker = b"intact contents " * 64
with zipfile.ZipFile(source) as old, zipfile.ZipFile(target, "w") as new:
    for item in old.infolist():
        new.writestr(item, old.read(item))
    new.writestr("Broken.dat", marker, compress_type=zipfile.ZIP_STORED)
data = bytearray(open(target, "rb").read())
data[data.index(marker) + 5] ^= 0xFF
open(target, "wb").write(data)
PY
}

# A folder with SetUp.exe and the local-mode marker; prints its path.
stage() {  # NAME
  local dir=$demo_root/gallery-$1
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$exe" "$parts/MirpanN.zip" "$dir/"
  echo "$dir"
}

fresh_drive() {
  rm -rf "$demo_root/drive-d"
  mkdir -p "$demo_root/drive-d"
}

scenario() {  # NAME PROGRAM
  [ -z "$only" ] || [ "$only" = "$1" ] || return 0
  echo "gallery: $1"
  drive "$2" "$gallery" "$1" || failed+=("$1")
}

dir=$(stage walk)
cp "$parts/MirpanN1.zip" "$parts/MirpanN2.zip" "$dir/"
fresh_drive
scenario walk "$dir/SetUp.exe"

dir=$(stage userdata)
make_big_part "$dir/MirpanN1.zip"
cp "$parts/MirpanN2.zip" "$dir/"
fresh_drive
mkdir -p "$demo_root/drive-d/Norvasto/Mirpan/UserData"
echo "company 1" >"$demo_root/drive-d/Norvasto/Mirpan/UserData/UserData.mdb"
scenario userdata "$dir/SetUp.exe"

# The second part is no archive at all, and a file of the first fails its check.
dir=$(stage damaged)
make_part_with_broken_file "$dir/MirpanN1.zip"
echo "no archive" >"$dir/MirpanN2.zip"
fresh_drive
scenario damaged "$dir/SetUp.exe"

# A folder where the maker folder's desktop.ini must be written: the finishing steps fail
# after the files are in place, and the error reaches the standard error box.
dir=$(stage errorbox)
cp "$parts/MirpanN1.zip" "$parts/MirpanN2.zip" "$dir/"
fresh_drive
mkdir -p "$demo_root/drive-d/Norvasto/desktop.ini"
scenario errorbox "$dir/SetUp.exe"

# T: a drive of 100 MB, too small for the product. A wineserver started before the mount would
# not see it.
dir=$(stage fulldisk)
cp "$parts/MirpanN1.zip" "$parts/MirpanN2.zip" "$dir/"
wineserver -k >/dev/null 2>&1 || true
mkdir -p "$demo_root/drive-t"
mount -t tmpfs -o size=100m tmpfs "$demo_root/drive-t"
ln -sfn "$demo_root/drive-t" "$WINEPREFIX/dosdevices/t:"
scenario fulldisk "$dir/SetUp.exe"
rm -f "$WINEPREFIX/dosdevices/t:"
wineserver -k >/dev/null 2>&1 || true
umount "$demo_root/drive-t"

# Download mode: the program alone, both parts from nginx under the download host's name.
mkdir -p "$demo_root/www/uploads" "$demo_root/gallery-download"
make_big_part "$demo_root/www/uploads/MirpanN1.zip"
cp "$parts/MirpanN2.zip" "$demo_root/www/uploads/"
cp "$exe" "$demo_root/gallery-download/"
map_download_host "$demo_root"
. scripts/lib/nginx.sh
nginx_start "$demo_root/nginx" "$demo_root/www" 80
nginx_pid=$NGINX_PID
wait_listening 80
fresh_drive
scenario download "$demo_root/gallery-download/SetUp.exe"

echo "gallery: $(ls "$gallery" | wc -l) pictures in docs/gallery"
if [ ${#failed[@]} -gt 0 ]; then
  echo "gallery: scenarios that did not run to their end: ${failed[*]}" >&2
  exit 1
fi
