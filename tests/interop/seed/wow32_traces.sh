#!/bin/bash
# Seeds the 32-bit registry view of a 64-bit Wine prefix through Wine's own
# reg.exe with /reg:32: startup entries, uninstall entries and COM classes of
# 32-bit programs, some of them pointing at files that are gone.  One 64-bit
# startup entry shares its name with a 32-bit one, to show the two views keep
# them apart.
#
# Usage: wow32_traces.sh PREFIX_DIR HOME_DIR
# The prefix must exist (wineboot has run).  Wine runs with HOME and the XDG
# folders inside HOME_DIR.  $KESTRANE_WINE64 names another wine64.

set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 PREFIX_DIR HOME_DIR" >&2
    exit 2
fi
[ -d "$1" ] || { echo "error: no prefix folder $1" >&2; exit 1; }
PREFIX=$(cd "$1" && pwd)
HOME_DIR=$(mkdir -p "$2" && cd "$2" && pwd)
WINE=${KESTRANE_WINE64:-/usr/lib/wine/wine64}
WINESERVER="$(dirname "$WINE")/wineserver64"
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || true)

if [ ! -x "$WINE" ]; then
    echo "error: $WINE is not installed (Debian's wine64 package)" >&2
    exit 1
fi
if [ -z "$WINESERVER" ]; then
    echo "error: no wineserver beside $WINE" >&2
    exit 1
fi
if [ ! -f "$PREFIX/system.reg" ]; then
    echo "error: $PREFIX is not a Wine prefix (no system.reg)" >&2
    exit 1
fi

export WINEPREFIX=$PREFIX HOME=$HOME_DIR
export XDG_CONFIG_HOME=$HOME_DIR/.config XDG_DATA_HOME=$HOME_DIR/.local/share XDG_CACHE_HOME=$HOME_DIR/.cache
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY

DRIVE_C=$PREFIX/drive_c
RUN='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
GONE_CLSID='{6B0C2A11-5E3D-4F0A-9C1B-2D7E8F901A01}'
SYSWOW_CLSID='{6B0C2A11-5E3D-4F0A-9C1B-2D7E8F901A02}'

# A reg.exe started while the wineserver shuts down can fail without doing
# anything (seen under a heavy load): such a call is tried once more, after
# that server has ended.
reg() {  # reg ARGS... : Wine's reg.exe, its output without CR
    local status attempt
    echo "+ reg $*"
    for attempt in 1 2; do
        "$WINE" reg "$@" </dev/null 2>&1 | tr -d '\r'
        status=${PIPESTATUS[0]}
        [ "$status" -eq 0 ] && return 0
        echo "    (reg exited with $status on attempt $attempt)"
        [ "$attempt" -eq 1 ] && "$WINESERVER" -w
    done
    return "$status"
}
reg_once() {  # reg_once ARGS... : a reg.exe call that may fail, not tried again
    echo "+ reg $*"
    "$WINE" reg "$@" </dev/null 2>&1 | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# The files the kept entries name; the gone ones have none.
mkdir -p "$DRIVE_C/Program Files (x86)/Kept" "$DRIVE_C/windows/syswow64"
printf 'MZ kept 32-bit program\r\n' >"$DRIVE_C/Program Files (x86)/Kept/kept.exe"
printf 'MZ 32-bit only library\r\n' >"$DRIVE_C/windows/syswow64/x32only.dll"
rm -rf "$DRIVE_C/Program Files (x86)/Gone"

reg add "$RUN" /v GoneTool /t REG_SZ /d '"C:\Program Files (x86)\Gone\gone.exe" /background' /f /reg:32
reg add "$RUN" /v KeptTool /t REG_SZ /d 'C:\Program Files (x86)\Kept\kept.exe' /f /reg:32
# Same name in the 64-bit view, another program.
reg add "$RUN" /v KeptTool /t REG_SZ /d 'C:\windows\system32\notepad.exe' /f /reg:64

reg add "$UNINSTALL\GoneApp" /v Publisher /t REG_SZ /d 'Gone Software Ltd' /f /reg:32
reg add "$UNINSTALL\KeptApp" /v DisplayName /t REG_SZ /d 'Kept Application 1.0' /f /reg:32
reg add "$UNINSTALL\KeptApp" /v InstallLocation /t REG_SZ /d 'C:\Program Files (x86)\Kept' /f /reg:32

reg add "HKCR\CLSID\\$GONE_CLSID" /ve /t REG_SZ /d 'Gone 32-bit component' /f /reg:32
reg add "HKCR\CLSID\\$GONE_CLSID\InprocServer32" /ve /t REG_SZ /d 'C:\Program Files (x86)\Gone\gone32.dll' /f /reg:32
reg add "HKCR\CLSID\\$GONE_CLSID\InprocServer32" /v ThreadingModel /t REG_SZ /d Apartment /f /reg:32
reg add "HKCR\CLSID\\$SYSWOW_CLSID" /ve /t REG_SZ /d '32-bit only component' /f /reg:32
reg add "HKCR\CLSID\\$SYSWOW_CLSID\InprocServer32" /ve /t REG_SZ /d 'C:\windows\system32\x32only.dll' /f /reg:32
reg add "HKCR\CLSID\\$SYSWOW_CLSID\InprocServer32" /v ThreadingModel /t REG_SZ /d Both /f /reg:32

echo "== what reg.exe reads back"
reg query "$RUN" /reg:32
reg query "$RUN" /reg:64
reg query "$UNINSTALL\GoneApp" /reg:32
reg query "$UNINSTALL\KeptApp" /reg:32
reg_once query "$UNINSTALL\GoneApp" /reg:64 || echo "(exit status $? in the 64-bit view)"
reg query "HKCR\CLSID\\$GONE_CLSID" /s /reg:32
reg query "HKCR\CLSID\\$SYSWOW_CLSID" /s /reg:32
reg_once query "HKCR\CLSID\\$GONE_CLSID" /s /reg:64 || echo "(exit status $? in the 64-bit view)"

"$WINESERVER" -w
echo "== done"
