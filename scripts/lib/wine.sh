# Sourced by the scripts: which Windows builds this host can run, and Wine set up for one.
#   host_runs_i386          true when this machine executes i386 programs: it runs one
#   host_windows_archs      prints the Windows architectures to test here, win32 before win64;
#                           MIRPAN_WINDOWS (win32 or win64) narrows them to one
#   host_windows_arch       the one to use where one is enough: win32 (the shipped build)
#                           where this host runs it, else win64
#   mingw_triple ARCH       the compiler triple of that architecture
#   wine_use ARCH           win32 or win64: exports WINEARCH and WINELOADER for that side alone
#   wine_use_build TREE     the same for the architecture a Windows build tree was made for
#   wine, wineserver, winepath, wineboot
#                           Wine's commands through that loader and the server (WINESERVER)
# Debian's launchers pick the 32-bit loader whenever it is installed, even on a kernel that
# refuses to execute it; the functions below name the loader and the server themselves, so a
# 64-bit run never tries a 32-bit piece.
WINE_LIBDIR=/usr/lib/wine
# The 64-bit server serves 32-bit prefixes as well, and it is the only one a host that refuses
# i386 code can start.
WINESERVER=$WINE_LIBDIR/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=$WINE_LIBDIR/wineserver32
export WINESERVER

host_runs_i386() {
  local probe status=0
  probe=$(mktemp -d)
  # The smallest i386 program: exit(0) through the 32-bit system call gate.
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$probe/p.s"
  { as --32 -o "$probe/p.o" "$probe/p.s" && ld -m elf_i386 -o "$probe/p" "$probe/p.o" &&
    "$probe/p"; } >/dev/null 2>&1 || status=1
  rm -rf "$probe"
  return $status
}

host_windows_archs() {
  case "${MIRPAN_WINDOWS:-}" in
    win32)
      if ! host_runs_i386; then
        echo "MIRPAN_WINDOWS=win32, but this host does not run i386 code: use win64" >&2
        return 1
      fi
      echo win32
      ;;
    win64)
      echo win64
      ;;
    "")
      if host_runs_i386; then echo "win32 win64"; else echo "win64"; fi
      ;;
    *)
      echo "MIRPAN_WINDOWS must be win32 or win64, not '$MIRPAN_WINDOWS'" >&2
      return 1
      ;;
  esac
}

host_windows_arch() {
  local archs
  archs=$(host_windows_archs) || return 1
  echo "${archs%% *}"
}

mingw_triple() {  # ARCH
  case "$1" in
    win32) echo i686-w64-mingw32 ;;
    win64) echo x86_64-w64-mingw32 ;;
    *) return 1 ;;
  esac
}

wine_use() {  # ARCH
  case "$1" in
    win32) WINELOADER=$WINE_LIBDIR/wine ;;
    win64) WINELOADER=$WINE_LIBDIR/wine64 ;;
    *)
      echo "wine_use: unknown architecture '$1'" >&2
      return 1
      ;;
  esac
  export WINEARCH=$1 WINELOADER
}

wine_use_build() {  # TREE
  local arch
  arch=$(cat "$1/wine-arch" 2>/dev/null) || {
    echo "wine: $1 is no configured Windows build tree (no wine-arch file)" >&2
    return 1
  }
  wine_use "$arch"
}

wine() { "${WINELOADER:?wine: no architecture chosen (wine_use)}" "$@"; }
wineserver() { "$WINESERVER" "$@"; }
winepath() { wine winepath.exe "$@"; }
wineboot() { wine wineboot.exe "$@"; }
