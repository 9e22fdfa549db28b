#!/usr/bin/env bash
# scripts/release on the tree this test runs in, with parts and a throw-away CA and code-signing
# certificate made here: the release's signature verifies against that CA and covers the stamp,
# its sums check, a signed program is not stamped again, and a release without its stamp is never
# written, not even in part. Then TESTS.exe (StampedRelease) runs the signed program under Wine.
# Usage: release-test.sh TESTS.exe [ARGS...]   (MIRPAN_SOURCE_DIR, MIRPAN_BINARY_DIR)
set -euo pipefail
tests=$1
shift
work=$(mktemp -d "$MIRPAN_BINARY_DIR/release-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
status=0
fail() {
  echo "FAIL $*"
  status=1
}

# A CA of a day and a code-signing certificate it issued.
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Throw-away release CA" \
  -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign \
  -keyout ca.key -out ca.pem 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/CN=Throw-away signer" -keyout key.pem \
  -out signer.csr 2>/dev/null
printf 'keyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
openssl x509 -req -days 1 -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial \
  -extfile signer.ext -out cert.pem 2>/dev/null

mkdir parts bad
python3 - <<'EOF'
import zipfile
for name, text in (("MirpanN1.zip", "the product\n" * 50), ("MirpanN2.zip", "user data\n")):
    with zipfile.ZipFile("parts/" + name, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("Bin/" + name + ".txt", text)
EOF
cp parts/MirpanN1.zip bad/
echo "not an archive" >bad/MirpanN2.zip

export MIRPAN_RELEASE_TREE=$MIRPAN_BINARY_DIR
export MIRPAN_SETUP_STAMP=$MIRPAN_BINARY_DIR/bin/setup-stamp.exe
release() { "$MIRPAN_SOURCE_DIR/scripts/release" "$@" 2>&1; }
signing=(--cert cert.pem --key key.pem --ca ca.pem)

# Refused: no parts, a part that cannot be stamped; nothing left behind either way.
said=$(release "${signing[@]}" --out none) && fail "a release without parts was written"
grep -q "no parts given" <<<"$said" || fail "without parts: $said"
said=$(release "${signing[@]}" --out bad-release bad/MirpanN1.zip bad/MirpanN2.zip) &&
  fail "a release whose stamping failed was written"
grep -q "stamping failed, so no unstamped release is written" <<<"$said" ||
  fail "stamping a part that is no archive: $said"
left=$(ls -A | grep -E "^(none|bad-release|\.release)" || true)
[ -z "$left" ] || fail "refused releases left $left"

if ! said=$(release "${signing[@]}" --out out parts/MirpanN1.zip parts/MirpanN2.zip); then
  echo "$said"
  echo "FAIL the signed release was refused"
  exit 1
fi
files=$(cd out && ls | xargs)
[ "$files" = "MirpanN.zip MirpanN1.zip MirpanN2.zip SHA256SUMS SetUp.exe" ] ||
  fail "the release holds $files"
(cd out && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not check"
osslsigncode verify -CAfile ca.pem -in out/SetUp.exe >verify.log 2>&1 ||
  { cat verify.log; fail "the signature does not verify against the CA"; }

# One byte of the stamp (the first part's SHA-256 in it) changed breaks the signature.
python3 - <<'EOF'
import hashlib
program = bytearray(open("out/SetUp.exe", "rb").read())
at = program.find(hashlib.sha256(open("parts/MirpanN1.zip", "rb").read()).digest())
assert at > 0, "no stamp of MirpanN1.zip in the signed program"
program[at] ^= 1
open("tampered.exe", "wb").write(program)
EOF
osslsigncode verify -CAfile ca.pem -in tampered.exe >/dev/null 2>&1 &&
  fail "the signature does not cover the stamp"

cp out/SetUp.exe resigned.exe
said=$("$MIRPAN_SOURCE_DIR/scripts/wine-run" "$MIRPAN_SETUP_STAMP" "Z:$work/resigned.exe" \
  "Z:$work/parts/MirpanN1.zip" 2>&1) && fail "setup-stamp stamped a signed program"
grep -q "is already signed: stamp it before signing it" <<<"$said" ||
  fail "setup-stamp on a signed program: $said"
cmp -s out/SetUp.exe resigned.exe || fail "setup-stamp changed the signed program it refused"

MIRPAN_RELEASE_DIR="Z:${work//\//\\}\\out" "$MIRPAN_SOURCE_DIR/scripts/wine-run" "$tests" "$@" ||
  status=1
exit $status
