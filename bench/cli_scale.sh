#!/bin/bash
# The command line on a registry with hundreds of thousands of findings, side
# by side with Wine: the complete scan with its JSON report (every computer
# row, the progressive analysis included) against the time wineserver takes
# to load the same system.reg, and the scan's peak memory against the hive's
# size. Not a test: it prints the figures.
#
# Usage: bench/cli_scale.sh BUILD_DIR [KEYS]
# BUILD_DIR holds src/cli/kestrane-cli and bench/large_registry.

set -euo pipefail
BUILD=$(cd "${1:?usage: cli_scale.sh BUILD_DIR [KEYS]}" && pwd)
KEYS=${2:-360000}
CLI=$BUILD/src/cli/kestrane-cli
GEN=$BUILD/bench/large_registry
WINE=${KESTRANE_WINE64:-/usr/lib/wine/wine64}
WINESERVER="$(dirname "$WINE")/wineserver"
for tool in "$CLI" "$GEN" "$WINE" /usr/bin/time; do
    [ -x "$tool" ] || { echo "missing: $tool" >&2; exit 1; }
done

WORK=$(mktemp -d /tmp/kestrane-cli-scale.XXXXXX)
trap 'for p in "$WORK/fresh" "$WORK/large"; do WINEPREFIX=$p "$WINESERVER" -k 2>/dev/null || true; done; rm -rf "$WORK"' EXIT
export HOME=$WORK/home WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME"
unset DISPLAY WAYLAND_DISPLAY

echo "--- a fresh prefix (wineboot)"
WINEPREFIX=$WORK/fresh "$WINE" wineboot -i >/dev/null 2>&1
WINEPREFIX=$WORK/fresh "$WINESERVER" -w
cp -a "$WORK/fresh" "$WORK/large"
"$GEN" "$WORK/keys.reg" "$KEYS"
cat "$WORK/keys.reg" >>"$WORK/large/system.reg"
HIVE=$(stat -c %s "$WORK/large/system.reg")
echo "system.reg: $HIVE bytes ($KEYS generated keys after Wine's own)"

# Seconds of one run (the best of three), and its peak memory in KB.
measure() {
    local best="" rss=""
    for _ in 1 2 3; do
        /usr/bin/time -f "%e %M" -o "$WORK/time" "$@" >/dev/null 2>"$WORK/err" || { cat "$WORK/err" >&2; return 1; }
        read -r secs kb <"$WORK/time"
        if [ -z "$best" ] || awk "BEGIN { exit !($secs < $best) }"; then best=$secs; rss=$kb; fi
    done
    echo "$best $rss"
}

# wineserver's load: reg query of one key, on the large prefix less on the fresh one.
wine_query() {
    local prefix=$1
    WINEPREFIX=$prefix "$WINE" reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion' /v SystemRoot
    WINEPREFIX=$prefix "$WINESERVER" -k 2>/dev/null || true
    WINEPREFIX=$prefix "$WINESERVER" -w
}
export -f wine_query
export WINE WINESERVER
read -r fresh _ < <(measure bash -c 'wine_query "$0"' "$WORK/fresh")
read -r large _ < <(measure bash -c 'wine_query "$0"' "$WORK/large")
load=$(awk "BEGIN { printf \"%.2f\", $large - $fresh }")
echo "wineserver: reg query takes ${fresh} s on the fresh prefix, ${large} s on the large one: ${load} s to load the hive"

read -r scan rss < <(measure "$CLI" --prefix "$WORK/large" scan --only "$(seq -s, 1 20)" --json)
findings=$("$CLI" --prefix "$WORK/large" scan --only 20 --json | python3 -c 'import json, sys; print(sum(len(l["rows"]) for l in json.load(sys.stdin)["lists"].values()))')
echo "kestrane-cli scan --json (every row): ${scan} s, peak ${rss} KB, ${findings} progressive-analysis findings"
awk -v s="$scan" -v l="$load" -v r="$rss" -v h="$HIVE" 'BEGIN {
    printf "scan / wineserver load: %.2f (target at most 0.50)\n", s / l
    printf "peak memory / hive size: %.2f (target at most 2.00)\n", r * 1024 / h }'
