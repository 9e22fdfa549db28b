#!/usr/bin/env bash
# The package server that bootstrap takes for the source packages: the machine's own entry for
# the release, whichever of the two formats holds it.
set -uo pipefail
. "$(dirname "$(readlink -f "$0")")/../../scripts/lib/apt-sources.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

expect() {  # WHAT EXPECTED FILE...
  local what=$1 expected=$2 got
  shift 2
  got=$(apt_archive_source bookworm "$@") || got="(none)"
  if [ "$got" != "$expected" ]; then
    echo "FAIL $what: got '$got', expected '$expected'"
    failures=$((failures + 1))
  fi
}

cat >"$work/mirror.list" <<'LIST'
deb-src http://src-only.example/debian bookworm main
# deb http://commented.example/debian bookworm main
deb http://security.example/debian-security bookworm-security main
deb [ arch=amd64 signed-by=/etc/keys/mirror.gpg ] http://mirror.example/debian bookworm main contrib
LIST
expect "one-line entry with options" "http://mirror.example/debian /etc/keys/mirror.gpg" \
  "$work/mirror.list"

cat >"$work/mirror.sources" <<'SOURCES'
Types: deb
URIs: http://mirror.example/debian-security
Suites: bookworm-security
Components: main

Types: deb
URIs: http://disabled.example/debian
Suites: bookworm
Enabled: no

# The release itself; its key written inline.
types: deb deb-src
URIs: http://mirror.example/debian http://second.example/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 -----END PGP PUBLIC KEY BLOCK-----
SOURCES
expect "deb822 stanza, key inline" "http://mirror.example/debian " "$work/mirror.sources"

printf 'deb http://other.example/debian trixie main\n' >"$work/other.list"
expect "no entry for the release" "(none)" "$work/other.list" "$work/missing.list"
expect "first file that has one" "http://mirror.example/debian /etc/keys/mirror.gpg" \
  "$work/other.list" "$work/mirror.list" "$work/mirror.sources"

[ "$failures" -eq 0 ] && echo "all apt source cases pass"
exit $((failures > 0))
