#!/usr/bin/env bash
# Runs a download-mode test program inside a private network and mount namespace: loopback
# up, /etc/hosts mapping the program's download host to 127.0.0.1, and one kind of server on
# 127.0.0.1:80 behind it. The Wine prefix (its own, per server) and its wineserver start in
# here, so the program sees this network alone.
# Usage: download-test.sh SERVER PROGRAM.exe [ARGS...]   (MIRPAN_SOURCE_DIR, MIRPAN_BINARY_DIR)
#   SERVER: nginx    both parts from nginx
#           refused  nothing listening
#           faults   the fault-injecting server, with the plan below
set -euo pipefail
if [ "${MIRPAN_DOWNLOAD_NAMESPACE:-}" != 1 ]; then
  exec unshare --mount --net --propagation private env MIRPAN_DOWNLOAD_NAMESPACE=1 "$0" "$@"
fi
server=$1
shift
here=$(dirname "$(readlink -f "$0")")
host=download.norvasto.co.il
work=$MIRPAN_BINARY_DIR/download-$server

ip link set lo up
rm -rf "$work"
mkdir -p "$work/uploads" "$work/log"
printf '127.0.0.1 localhost\n127.0.0.1 %s\n' "$host" >"$work/hosts"
mount --bind "$work/hosts" /etc/hosts
cp "$MIRPAN_BINARY_DIR/bin/MirpanN1.zip" "$MIRPAN_BINARY_DIR/bin/MirpanN2.zip" "$work/uploads/"

server_pid=
cleanup() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

listening() {
  python3 -c 'import socket; socket.create_connection(("127.0.0.1", 80), 0.2).close()' 2>/dev/null
}

case "$server" in
  nginx)
    mkdir -p "$work/nginx/logs" "$work/nginx/temp"
    user_line=""
    [ "$(id -u)" -eq 0 ] && user_line="user root;"
    cat >"$work/nginx/nginx.conf" <<CONF
$user_line
daemon off;
master_process off;
worker_processes 1;
pid $work/nginx/nginx.pid;
error_log $work/nginx/logs/error.log;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path $work/nginx/temp;
  server { listen 127.0.0.1:80; root $work; }
}
CONF
    nginx -p "$work/nginx" -c "$work/nginx/nginx.conf" -e "$work/nginx/logs/error.log" &
    server_pid=$!
    ;;
  faults)
    python3 "$here/PlannedServer.py" --port 80 --log-dir "$work/log" --parts "$work/uploads" \
      --plan "MirpanN1.zip=reset,short,ok,stall,ok,ok,slow;MirpanN2.zip=404,ok,ok,garbage" \
      >"$work/server.log" 2>&1 &
    server_pid=$!
    ;;
  refused) ;;
  *)
    echo "unknown server: $server" >&2
    exit 2
    ;;
esac
if [ -n "$server_pid" ]; then
  for _ in $(seq 100); do
    listening && break
    sleep 0.1
  done
  listening || { echo "the $server server does not answer" >&2; exit 1; }
fi

MIRPAN_SCRATCH_PREFIX=wineprefix-download-$server \
  "$MIRPAN_SOURCE_DIR/tests/install/scratch-drive-test.sh" S "$@"
