# nginx for the tests, the benchmark and the demo: a private config and prefix, run as the
# current user in the foreground on loopback. Source this file, then
#   nginx_start WORKDIR DOCROOT [PORT]  starts it on PORT (default: a free one), sets
#                                       NGINX_PID and NGINX_PORT;
#   wait_listening "$NGINX_PORT"        waits until it answers.
# The caller stops it by NGINX_PID. NGINX_MASTER=on runs a master process over the one worker
# (NGINX_PID is then the master's, which takes its worker along), and NGINX_HTTP_EXTRA adds
# directives to the http block.

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

wait_listening() {  # PORT
  for _ in $(seq 100); do
    if python3 -c 'import socket,sys; socket.create_connection(("127.0.0.1",int(sys.argv[1])),0.2).close()' \
        "$1" 2>/dev/null; then
      return 0
    fi
    sleep 0.1
  done
  echo "nothing answers on port $1" >&2
  return 1
}

nginx_start() {  # WORKDIR DOCROOT [PORT]
  local work=$1 root=$2 user_line=""
  mkdir -p "$work/logs" "$work/temp"
  NGINX_PORT=${3:-$(free_port)}
  # As root nginx would hand its worker to "nobody"; keep it the current user.
  [ "$(id -u)" -eq 0 ] && user_line="user root;"
  cat >"$work/nginx.conf" <<CONF
$user_line
daemon off;
master_process ${NGINX_MASTER:-off};
worker_processes 1;
pid $work/nginx.pid;
error_log $work/logs/error.log;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path $work/temp;
  keepalive_timeout 30s;
  sendfile on;
  ${NGINX_HTTP_EXTRA:-}
  server { listen 127.0.0.1:$NGINX_PORT; root $root; }
}
CONF
  nginx -p "$work" -c "$work/nginx.conf" -e "$work/logs/error.log" &
  NGINX_PID=$!
}
