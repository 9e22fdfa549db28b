# The program's download host, the name that ships, made to mean this machine: a private
# network and mount namespace with loopback up and an /etc/hosts of its own that maps the
# host to 127.0.0.1, so a server on 127.0.0.1:80 answers the program's downloads and nothing
# leaves the machine. Source this file, then
#   enter_download_namespace "$0" "$@"  first thing: runs the script again inside a new
#                                       namespace (returns at once when already inside), on
#                                       an Xvfb of its own when there is no display;
#   map_download_host WORKDIR           loopback up and the hosts file (kept in WORKDIR).
# A Wine prefix used in there must have its wineserver started in there too.
DOWNLOAD_HOST=download.norvasto.co.il

enter_download_namespace() {  # SCRIPT [ARGS...]
  [ "${MIRPAN_DOWNLOAD_NAMESPACE:-}" != 1 ] || return 0
  if [ -n "${DISPLAY:-}" ]; then
    exec unshare --mount --net --propagation private env MIRPAN_DOWNLOAD_NAMESPACE=1 "$@"
  fi
  # In the namespace the abstract socket space is empty: an Xvfb started in there would pick
  # a display number one outside already has, and take its socket file. So it starts here,
  # and stops once the Wine prefixes in DOWNLOAD_WINEPREFIXES (which hold it) have ended.
  . "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
  xvfb_start
  trap 'xvfb_stop_after_wine ${DOWNLOAD_WINEPREFIXES:-}' EXIT
  trap 'exit 143' TERM INT
  local status=0
  unshare --mount --net --propagation private env MIRPAN_DOWNLOAD_NAMESPACE=1 "$@" || status=$?
  exit $status
}

map_download_host() {  # WORKDIR
  ip link set lo up
  printf '127.0.0.1 localhost\n127.0.0.1 %s\n' "$DOWNLOAD_HOST" >"$1/hosts"
  mount --bind "$1/hosts" /etc/hosts
}
