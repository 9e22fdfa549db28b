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
  got=$(apt_archive_source "$codename" "$@") || got="(none)"
  if [ "$got" != "$expected" ]; then
    echo "FAIL $what: got '$got', expected '$expected'"
    failures=$((failures + 1))
  fi
}

# Every address below is the machine's own, as apt itself reports it, so the cases read the
# sources this machine really has beside the shapes other machines write them in.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
repo_uri() {  # SUITE: the repository apt reads that suite's packages from, without its last "/"
  apt-get indextargets --format '$(REPO_URI)' "Codename: $1" "Identifier: Packages" 2>/dev/null |
    head -n 1 | sed 's#/$##'
}
uri=$(repo_uri "$codename")
if [ -z "$codename" ] || [ -z "$uri" ]; then
  echo "FAIL apt knows no package list for this machine's release '$codename' (run scripts/bootstrap)"
  exit 1
fi
security=$(repo_uri "$codename-security")
second=${security:-$uri}

got=$(apt_archive_source "$codename") || got="(none)"
[ "${got%% *}" = "$uri" ] || {
  echo "FAIL this machine's own sources: got '$got', apt reads the release from '$uri'"
  failures=$((failures + 1))
}

# The entries to pass over carry keyrings of their own, so taking one of them shows.
cat >"$work/mirror.list" <<LIST
deb-src [ signed-by=/etc/keys/src.gpg ] $uri $codename main
# deb [ signed-by=/etc/keys/commented.gpg ] $uri $codename main
deb [ signed-by=/etc/keys/security.gpg ] $second $codename-security main
deb [ arch=amd64 signed-by=/etc/keys/mirror.gpg ] $uri $codename main contrib
LIST
expect "one-line entry with options" "$uri /etc/keys/mirror.gpg" "$work/mirror.list"

cat >"$work/mirror.sources" <<SOURCES
Types: deb
URIs: $second
Suites: $codename-security
Components: main
Signed-By: /etc/keys/security.gpg

Types: deb
URIs: $uri
Suites: $codename
Enabled: no
Signed-By: /etc/keys/disabled.gpg

# The release itself; its key written inline.
types: deb deb-src
URIs: $uri $second
Suites: $codename $codename-updates
Components: main
Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 -----END PGP PUBLIC KEY BLOCK-----
SOURCES
expect "deb822 stanza, key inline" "$uri " "$work/mirror.sources"

printf 'deb %s %s-backports main\n' "$uri" "$codename" >"$work/other.list"
expect "no entry for the release" "(none)" "$work/other.list" "$work/missing.list"
expect "first file that has one" "$uri /etc/keys/mirror.gpg" \
  "$work/other.list" "$work/mirror.list" "$work/mirror.sources"

[ "$failures" -eq 0 ] && echo "all apt source cases pass"
exit $((failures > 0))
