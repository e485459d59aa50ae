#!/bin/bash
# Makes a Wine prefix that looks used: Wine's own wineboot creates it, then
# Windows programs built here leave the traces of browsing, temporary files,
# deleted and recent documents, crash dumps, logs and common applications
# through the real Win32 API, Wine's reg.exe seeds the 32-bit registry view,
# and Wine's regedit and wordpad, run under Xvfb, save their own recent lists
# when they close.  The scanners' tests run against such prefixes.
#
# Usage: make_traces_prefix.sh PREFIX_DIR HOME_DIR
#   PREFIX_DIR  the prefix to create; it must not exist or be empty
#   HOME_DIR    HOME (and the XDG folders) for Wine, so that nothing of the
#               real home is touched; the deleted documents land in its
#               HOME_DIR/.local/share/Trash
# What every program printed goes to standard output.
#
# Environment:
#   KESTRANE_WINE64       another wine64 (default /usr/lib/wine/wine64)
#   KESTRANE_SEED_BUILD   where the seeding programs are built
#                         (default ${TMPDIR:-/tmp}/kestrane-seed-build)
#   KESTRANE_SEED_NO_GUI  set to 1 to skip the regedit and wordpad steps
# Without xvfb-run the regedit and wordpad steps are skipped, with a note.

set -euo pipefail

die() {
    echo "make_traces_prefix: error: $*" >&2
    exit 1
}

[ $# -eq 2 ] || { echo "usage: $0 PREFIX_DIR HOME_DIR" >&2; exit 2; }

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SEED=$HERE/seed
WINE=${KESTRANE_WINE64:-/usr/lib/wine/wine64}
WINESERVER="$(dirname "$WINE")/wineserver64"
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || true)
CC=x86_64-w64-mingw32-gcc
BUILD=${KESTRANE_SEED_BUILD:-${TMPDIR:-/tmp}/kestrane-seed-build}

[ -x "$WINE" ] || die "$WINE is not installed (Debian's wine64 package)"
[ -n "$WINESERVER" ] || die "no wineserver found beside $WINE"
command -v "$CC" >/dev/null || die "$CC is not installed (Debian's gcc-mingw-w64-x86-64)"
for f in privacy_traces.c app_traces.c run_and_close.c wow32_traces.sh; do
    [ -f "$SEED/$f" ] || die "missing $SEED/$f"
done

if [ -e "$1" ] && [ -n "$(ls -A "$1" 2>/dev/null)" ]; then
    die "$1 exists and is not empty; give a new folder"
fi
mkdir -p "$1" "$2"
PREFIX=$(cd "$1" && pwd)
HOME_DIR=$(cd "$2" && pwd)

export WINEPREFIX=$PREFIX WINEARCH=win64 HOME=$HOME_DIR
export XDG_CONFIG_HOME=$HOME_DIR/.config XDG_DATA_HOME=$HOME_DIR/.local/share XDG_CACHE_HOME=$HOME_DIR/.cache
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY

# Wine's recycle bin moves files to $XDG_DATA_HOME/Trash only when
# $XDG_DATA_HOME exists; otherwise it deletes them for good.  The desktop
# folders exist too, so that the prefix's Desktop, Documents, ... link to
# folders of their own rather than to HOME_DIR itself.
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
# Wine takes them from user-dirs.dirs as a desktop would; without it, it
# links Videos to HOME_DIR itself.
for d in Desktop Documents Downloads Music Pictures Videos; do
    mkdir -p "$HOME_DIR/$d"
done
cat >"$XDG_CONFIG_HOME/user-dirs.dirs" <<'EOF'
XDG_DESKTOP_DIR="$HOME/Desktop"
XDG_DOCUMENTS_DIR="$HOME/Documents"
XDG_DOWNLOAD_DIR="$HOME/Downloads"
XDG_MUSIC_DIR="$HOME/Music"
XDG_PICTURES_DIR="$HOME/Pictures"
XDG_VIDEOS_DIR="$HOME/Videos"
EOF

step() { echo; echo "===== $*"; }

# Runs a Wine program; its output without the CRs of the Windows console.
wine_run() {
    "$WINE" "$@" </dev/null 2>>"$WINE_LOG" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# Keeps the wineserver up between the programs of one step (each start of a
# new one costs seconds), and lets it end a few seconds after the last.
server_up() { "$WINESERVER" -p5; }
server_done() { "$WINESERVER" -w; }

step "building the seeding programs in $BUILD"
mkdir -p "$BUILD"
# Wine's own messages; kept only when something failed.
WINE_LOG=$(mktemp "${TMPDIR:-/tmp}/kestrane-seed-wine.XXXXXX")
finish() {
    local status=$?
    if [ "$status" -eq 0 ]; then
        rm -f "$WINE_LOG"
    else
        echo "make_traces_prefix: Wine's own messages are in $WINE_LOG" >&2
    fi
}
trap finish EXIT
build() {  # build NAME LIBS...
    local name=$1
    shift
    if [ ! -f "$BUILD/$name.exe" ] || [ "$SEED/$name.c" -nt "$BUILD/$name.exe" ]; then
        "$CC" -O1 -Wall -o "$BUILD/$name.exe.part" "$SEED/$name.c" "$@" ||
            die "building $name.exe failed"
        mv -f "$BUILD/$name.exe.part" "$BUILD/$name.exe"
        echo "built $BUILD/$name.exe"
    else
        echo "up to date: $BUILD/$name.exe"
    fi
}
build privacy_traces -lwininet -lshell32 -ladvapi32
build app_traces -lshell32 -lole32 -luuid -ladvapi32
build run_and_close -luser32 -lcomctl32

step "wineboot -i in $PREFIX"
"$WINE" wineboot -i </dev/null >>"$WINE_LOG" 2>&1 || die "wineboot failed (see $WINE_LOG)"
server_done
[ -f "$PREFIX/system.reg" ] || die "wineboot made no system.reg"

step "privacy traces"
server_up
wine_run "$BUILD/privacy_traces.exe" || die "privacy_traces.exe failed"
step "application traces"
wine_run "$BUILD/app_traces.exe" || die "app_traces.exe failed"
server_done

step "32-bit registry view"
server_up
bash "$SEED/wow32_traces.sh" "$PREFIX" "$HOME_DIR" || die "wow32_traces.sh failed"
server_done

gui=1
if [ "${KESTRANE_SEED_NO_GUI:-0}" = 1 ]; then
    gui=0
    echo "regedit and wordpad steps skipped (KESTRANE_SEED_NO_GUI=1)"
elif ! command -v xvfb-run >/dev/null; then
    gui=0
    echo "NOTE: xvfb-run is not installed (Debian's xvfb); regedit and wordpad steps skipped"
fi
if [ "$gui" = 1 ]; then
    # Each windowed program gets a wineserver of its own, started under the
    # display, and the step waits for it to end: its hives are saved then.
    xvfb() { xvfb-run -a -s '-screen 0 1024x768x24' "$@"; }
    wordpad='C:\Program Files\Windows NT\Accessories\wordpad.exe'

    step "regedit: walk to HKEY_CURRENT_USER\\Software, close"
    xvfb "$WINE" "$BUILD/run_and_close.exe" --regedit-select-hkcu-software regedit.exe \
        </dev/null 2>>"$WINE_LOG" | tr -d '\r' || die "the regedit step failed"
    server_done
    step "wordpad: open C:\\Docs\\a.rtf, close"
    xvfb "$WINE" "$BUILD/run_and_close.exe" "$wordpad" 'C:\Docs\a.rtf' \
        </dev/null 2>>"$WINE_LOG" | tr -d '\r' || die "the first wordpad step failed"
    server_done
    step "wordpad: open C:\\Docs\\b.rtf, close"
    xvfb "$WINE" "$BUILD/run_and_close.exe" "$wordpad" 'C:\Docs\b.rtf' \
        </dev/null 2>>"$WINE_LOG" | tr -d '\r' || die "the second wordpad step failed"
    server_done
fi

# Debian's wine keeps the server's socket folder in ${TMPDIR:-/tmp}, named
# in <prefix>/wineserver; it is made anew when Wine next runs.
name=$(cat "$PREFIX/wineserver" 2>/dev/null || true)
if [[ $name =~ ^wine-[A-Za-z0-9]+$ ]] && [ -d "${TMPDIR:-/tmp}/$name" ]; then
    rm -rf "${TMPDIR:-/tmp}/$name"
fi

step "done: $PREFIX (home $HOME_DIR)"
exit 0
