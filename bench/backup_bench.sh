#!/bin/bash
# Backup and restore of a large registry, unpaced, through the program's
# registry editor as the backups view and kestrane-cli use it: the export of
# the whole registry (backup) and its import (restore), each the best of
# three runs, in MB/s of the hives' text. Not a test: it prints the figures.
#
# Usage: bench/backup_bench.sh BUILD_DIR [KEYS]
# BUILD_DIR holds src/cli/kestrane-cli, tools/regedit/regedit and
# bench/large_registry; KEYS generated keys (default 235000, a registry of
# about 75 MB) go after the demo prefix's own.

set -euo pipefail
BUILD=$(cd "${1:?usage: backup_bench.sh BUILD_DIR [KEYS]}" && pwd)
KEYS=${2:-235000}
CLI=$BUILD/src/cli/kestrane-cli
GEN=$BUILD/bench/large_registry
export KESTRANE_REGEDIT=$BUILD/tools/regedit/regedit
for tool in "$CLI" "$GEN" "$KESTRANE_REGEDIT"; do
    [ -x "$tool" ] || { echo "missing: $tool" >&2; exit 1; }
done

WORK=$(mktemp -d /tmp/kestrane-backup-bench.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
export HOME=$WORK/home XDG_DATA_HOME=$WORK/home/.local/share
mkdir -p "$HOME"
unset WINEPREFIX DISPLAY WAYLAND_DISPLAY

"$CLI" --demo-reset scan --only 1 >/dev/null
P=$WORK/prefix
cp -a "$XDG_DATA_HOME/kestrane/demo-prefix" "$P"
cp "$P/system.reg" "$WORK/system.small.reg"
"$GEN" "$WORK/keys.reg" "$KEYS"
cat "$WORK/keys.reg" >>"$P/system.reg"
rm "$WORK/keys.reg"
TEXT=$(( $(stat -c %s "$P/system.reg") + $(stat -c %s "$P/user.reg") ))
echo "hives: $TEXT bytes of text (system.reg and user.reg, $KEYS generated keys)"

best() {  # best SECONDS... : the smallest
    printf '%s\n' "$@" | sort -g | head -1
}
rate() {  # rate SECONDS
    awk -v b="$TEXT" -v s="$1" 'BEGIN { printf "%.0f MB/s", b / 1e6 / s }'
}

exports=() imports=() names=()
for i in 1 2 3; do
    t0=$(date +%s.%N)
    name=$("$CLI" --prefix "$P" backup --json | python3 -c 'import json, sys; print(json.load(sys.stdin)["file"])')
    t1=$(date +%s.%N)
    exports+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')")
    names+=("$name")
    sleep 1.1  # backups are named by the second
done
size=$(stat -c %s "$P/drive_c/Program Files/Kestrane Professional/Backups/${names[0]}")
for name in "${names[@]}"; do
    # A restore with work to do: the generated keys are gone from the
    # registry, and the import puts them back and writes the hive.
    cp "$WORK/system.small.reg" "$P/system.reg"
    t0=$(date +%s.%N)
    "$CLI" --prefix "$P" restore "$name" >/dev/null
    t1=$(date +%s.%N)
    imports+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')")
done
e=$(best "${exports[@]}")
r=$(best "${imports[@]}")
echo "backup file: $size bytes (UTF-16)"
echo "backup (export): best of 3 ${e} s, $(rate "$e") of hive text (runs: ${exports[*]})"
echo "restore (import): best of 3 ${r} s, $(rate "$r") of hive text (runs: ${imports[*]})"
restored=$(stat -c %s "$P/system.reg")
echo "system.reg after the last restore: $restored bytes (before the restores: $(( TEXT - $(stat -c %s "$P/user.reg") )))"
# The registry editor by itself, as the command runs it: its export, and the
# import of a backup into the registry without the generated keys.
direct_e=() direct_i=()
B="$P/drive_c/Program Files/Kestrane Professional/Backups"
for i in 1 2 3; do
    t0=$(date +%s.%N)
    "$KESTRANE_REGEDIT" --prefix "$P" /e "$WORK/direct.reg"
    t1=$(date +%s.%N)
    direct_e+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')")
    cp "$WORK/system.small.reg" "$P/system.reg"
    t0=$(date +%s.%N)
    "$KESTRANE_REGEDIT" --prefix "$P" --answered /i "$B/${names[0]}"
    t1=$(date +%s.%N)
    direct_i+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')")
done
de=$(best "${direct_e[@]}")
di=$(best "${direct_i[@]}")
echo "regedit /e alone: best of 3 ${de} s, $(rate "$de") of hive text (runs: ${direct_e[*]})"
echo "regedit /i alone: best of 3 ${di} s, $(rate "$di") of hive text (runs: ${direct_i[*]})"
target() {  # target WHAT SECONDS MB/S
    awk -v b="$TEXT" -v s="$2" -v t="$3" -v w="$1" \
        'BEGIN { r = b / 1e6 / s; printf "%s: %.0f MB/s, target at least %d MB/s: %s\n", w, r, t, (r >= t ? "met" : "NOT met") }'
}
target "export (kestrane-cli backup)" "$e" 200
target "import (kestrane-cli restore)" "$r" 100
target "export (regedit /e)" "$de" 200
target "import (regedit /i)" "$di" 100
