# Sourced by the Wine scripts: one fresh Wine prefix for this run, in a
# temporary folder that is removed at exit. Defines:
#   REPO        the repository's top folder
#   WIN_BUILD   the Windows build folder (QM_WINDOWS_BUILD, default build/windows)
#   WINE        the 64-bit Wine loader
#   WORK        the run's temporary folder
#   wine_start  makes the prefix
#   wine_run    runs a Windows program with a time limit; its exit code is
#               the program's, as Wine reports it (the low 8 bits)

REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
WIN_BUILD=$(realpath -m "${QM_WINDOWS_BUILD:-$REPO/build/windows}")
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/qm-wine-XXXXXX")

# HOME first: a new prefix links its Documents folder to $HOME, and the
# plug-in's log goes there.
export HOME=$WORK/home
export WINEPREFIX=$WORK/prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
mkdir -p "$HOME"

wine_stop() {
  if [ -d "$WINEPREFIX" ]; then "$WINESERVER" -k >/dev/null 2>&1 || true; fi
  rm -rf "$WORK"
}
trap wine_stop EXIT

wine_start() {
  if [ ! -x "$WINE" ]; then
    echo "no Wine loader at $WINE (apt-get install wine64)" >&2
    exit 2
  fi
  if [ ! -f "$WIN_BUILD/bin/qm.exe" ] || [ ! -f "$WIN_BUILD/bin/qm_host.dll" ] || [ ! -f "$WIN_BUILD/bin/Quellmark.dll" ]; then
    echo "no Windows build in $WIN_BUILD (cmake --preset windows && cmake --build --preset windows)" >&2
    exit 2
  fi
  local started=$SECONDS
  if ! "$WINE" wineboot -i >"$WORK/wineboot.log" 2>&1; then
    echo "cannot make the Wine prefix:" >&2
    cat "$WORK/wineboot.log" >&2
    exit 2
  fi
  "$WINESERVER" -w
  echo "Wine prefix ready in $((SECONDS - started)) s"
}

wine_run() {
  timeout --kill-after=10 "${QM_WINE_TIMEOUT:-120}" "$WINE" "$@"
}
