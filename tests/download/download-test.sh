#!/usr/bin/env bash
# Runs a download-mode test program inside a private network and mount namespace where the
# program's download host is this machine, with one kind of server on 127.0.0.1:80 behind it.
# The Wine prefix (its own, per server) and its wineserver start in here, so the program sees
# this network alone.
# Usage: download-test.sh SERVER PROGRAM.exe [ARGS...]   (MIRPAN_SOURCE_DIR, MIRPAN_BINARY_DIR)
#   SERVER: nginx    both parts from nginx
#           refused  nothing listening
#           faults   the fault-injecting server, with the plan below
#           stamped  the same server with other parts in place of the maker's, for a stamped
#                    program
#           resume   the same server cutting each part once at about 40%, then once more
#                    to refuse the rest it is asked for
#           norange  the same, and it ignores Range
#           silent   the same server falling silent in the middle of the first part
#           relay    nginx behind a relay that cuts the first answer of each part at about 40%
set -euo pipefail
here=$(dirname "$(readlink -f "$0")")
. "$here/../../scripts/lib/download-host.sh"
. "$here/../../scripts/lib/nginx.sh"
DOWNLOAD_WINEPREFIXES=$MIRPAN_BINARY_DIR/wineprefix-download-$1
enter_download_namespace "$0" "$@"
server=$1
shift
work=$MIRPAN_BINARY_DIR/download-$server

rm -rf "$work"
mkdir -p "$work/uploads" "$work/log"
map_download_host "$work"
cp "$MIRPAN_BINARY_DIR/bin/MirpanN1.zip" "$MIRPAN_BINARY_DIR/bin/MirpanN2.zip" "$work/uploads/"
mkdir -p "$work/uploads/long"
cp "$MIRPAN_BINARY_DIR/tests/install/test-parts/long-extraction/MirpanN1.zip" "$work/uploads/long/"

server_pid= nginx_pid=
cleanup() {
  [ -z "$nginx_pid" ] || kill "$nginx_pid" 2>/dev/null || true
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

case "$server" in
  nginx)
    nginx_start "$work/nginx" "$work" 80
    server_pid=$NGINX_PID
    ;;
  faults)
    python3 "$here/PlannedServer.py" --port 80 --log-dir "$work/log" --parts "$work/uploads" \
      --plan "MirpanN1.zip=reset,short,ok,stall,ok,ok,slow,long;MirpanN2.zip=404,ok,chunked,garbage" \
      >"$work/server.log" 2>&1 &
    server_pid=$!
    ;;
  stamped)
    python3 "$here/PlannedServer.py" --port 80 --log-dir "$work/log" --parts "$work/uploads" \
      --plan "MirpanN1.zip=altered,long,altered,long,long,ok;MirpanN2.zip=altered" \
      >"$work/server.log" 2>&1 &
    server_pid=$!
    ;;
  resume | norange)
    ignore=
    [ "$server" = resume ] || ignore=--ignore-range
    python3 "$here/PlannedServer.py" --port 80 --log-dir "$work/log" --parts "$work/uploads" \
      --plan "MirpanN1.zip=cut,ok,cut,shifted;MirpanN2.zip=cut,ok,cut,416" $ignore >"$work/server.log" 2>&1 &
    server_pid=$!
    ;;
  silent)
    python3 "$here/PlannedServer.py" --port 80 --log-dir "$work/log" --parts "$work/uploads" \
      --plan "MirpanN1.zip=silent" >"$work/server.log" 2>&1 &
    server_pid=$!
    ;;
  relay)
    nginx_start "$work/nginx" "$work" 8080
    nginx_pid=$NGINX_PID
    python3 "$here/CuttingRelay.py" --port 80 --upstream 8080 --log-dir "$work/log" \
      >"$work/server.log" 2>&1 &
    server_pid=$!
    wait_listening 8080
    ;;
  refused) ;;
  *)
    echo "unknown server: $server" >&2
    exit 2
    ;;
esac
[ -z "$server_pid" ] || wait_listening 80

MIRPAN_SCRATCH_PREFIX=wineprefix-download-$server \
  "$MIRPAN_SOURCE_DIR/tests/install/scratch-drive-test.sh" S "$@"
