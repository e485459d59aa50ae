#!/bin/bash
# Interoperability of our registry store and regedit with Debian's Wine, on a
# prefix that Wine's own wineboot makes:
#   (a) the hives read and written back give the same bytes, and a save of an
#       unchanged registry changes nothing Wine can see;
#   (b) Wine sees exactly the changes our store saves, and nothing else;
#   (c) Wine's regedit imports our export and ours imports Wine's, each giving
#       the registry that was exported;
#   (d) nothing is saved while a wineserver serves the prefix.
#
# Usage: wine_interop.sh REGEDIT HIVE_TOOL
# Exits 77 (skipped) when wine64 is not installed ($KESTRANE_WINE64 names
# another wine64).

set -u

REGEDIT=$1
HIVE_TOOL=$2
WINE=${KESTRANE_WINE64:-/usr/lib/wine/wine64}
WINESERVER="$(dirname "$WINE")/wineserver64"

if [ ! -x "$WINE" ]; then
    echo "SKIPPED: $WINE is not installed (Debian's wine64 package)."
    exit 77
fi
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || true)
if [ -z "$WINESERVER" ]; then
    echo "SKIPPED: no wineserver found beside $WINE."
    exit 77
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/kestrane-interop.XXXXXX")
PREFIXES=()
FAILURES=0

# Wine must touch nothing of the user's: its own home, no desktop, no menus.
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_DATA_HOME="$WORK/home/.local/share"
export XDG_CACHE_HOME="$WORK/home/.cache"
unset DISPLAY WAYLAND_DISPLAY WINEPREFIX
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME"

cleanup() {
    local p name
    for p in "${PREFIXES[@]}"; do
        if "$HIVE_TOOL" running "$p"; then
            WINEPREFIX="$p" "$WINESERVER" -k >/dev/null 2>&1
            WINEPREFIX="$p" "$WINESERVER" -w >/dev/null 2>&1
        fi
    done
    # Debian's wine keeps each prefix's server folder in a folder it names in
    # <prefix>/wineserver.
    for p in "${PREFIXES[@]}"; do
        name=$(cat "$p/wineserver" 2>/dev/null)
        case "$name" in
            wine-*) rm -rf "${TMPDIR:-/tmp}/$name" ;;
        esac
    done
    rm -rf "$WORK"
}
trap cleanup EXIT

log() { echo "--- $*"; }
fail() {
    echo "FAIL: $*"
    FAILURES=$((FAILURES + 1))
}
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else fail "$what"; fi
}

# Runs a Wine program in a prefix and waits until its wineserver has ended
# (and so has written the hives).
wine_in() {
    local prefix=$1
    shift
    WINEPREFIX="$prefix" "$WINE" "$@" </dev/null >>"$WORK/wine.log" 2>&1
    local status=$?
    WINEPREFIX="$prefix" "$WINESERVER" -w
    return $status
}

# Z:\... for a Unix path.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# A .reg file as UTF-8 with LF line ends.
reg_text() { iconv -f UTF-16LE -t UTF-8 "$1" | sed -e '1s/^\xEF\xBB\xBF//' -e 's/\r$//'; }

# Wine's regedit /E of the whole registry, as text without what changes by
# itself from one Wine session to the next: the driver date Wine writes at
# every start, and the volatile video keys it makes anew with fresh GUIDs.
wine_export() {
    local prefix=$1 out=$2
    rm -f "$out"
    wine_in "$prefix" regedit /E "$(winpath "$out")" || return 1
    [ -s "$out" ] || return 1
    reg_text "$out" | awk '
        /^\[/ { skip = ($0 ~ /\\Control\\Video\\\{/) }
        !skip && !/^"DriverDateData"=/' >"$out.txt"
}

# Our store's view of a prefix, without the driver date that every Wine start
# rewrites.
dump() { "$HIVE_TOOL" dump "$1" | grep -v '^  "DriverDateData"='; }

# A dump as any .reg import leaves it: a string value (types 1, 2, 7) without
# its terminating zero gets one. Wine itself writes some REG_MULTI_SZ values
# so (HardwareId); neither registry editor can bring those back unchanged.
terminated() {
    awk 'match($0, /=[127]:[0-9a-f]+$/) && substr($0, length($0) - 3) != "0000" { $0 = $0 "0000"; n++ }
         { print }
         END { if (n) print "    (" n " string values without their terminating zero)" > "/dev/stderr" }' "$1"
}

# The lines of one value of a .reg text, continuation lines included.
value_lines() {
    awk -v start="\"$2\"=" '
        index($0, start) == 1 { inside = 1 }
        inside { print; if ($0 !~ /\\$/) inside = 0 }' "$1"
}

# The lines of the sections of a .reg text whose key is KEY or below it.
sections_below() {
    awk -v key="$2" '
        /^\[/ { inside = (substr($0, 1, length(key) + 1) == "[" key && \
                          (substr($0, length(key) + 2, 1) == "]" || substr($0, length(key) + 2, 1) == "\\")) }
        inside && NF' "$1"
}

# Writes a text as a Version 5.00 file: BOM, UTF-16LE, CRLF.
write_unicode_reg() {
    { printf '\xff\xfe'; sed 's/$/\r/' "$1" | iconv -f UTF-8 -t UTF-16LE; } >"$2"
}

copy_prefix() {
    cp -a "$1" "$2"
    rm -f "$2/wineserver"
    PREFIXES+=("$2")
}

START=$(date +%s)
P="$WORK/prefix"
PREFIXES+=("$P")
log "wineboot -i in $P"
if ! wine_in "$P" wineboot -i || [ ! -s "$P/system.reg" ] || [ ! -s "$P/user.reg" ]; then
    echo "FAIL: wineboot could not make a prefix; see its output:"
    tail -20 "$WORK/wine.log"
    exit 1
fi

# ------------------------------------------------------------------ (a)
log "(a) unchanged round trip"
check "both hives read and written back give the file's bytes" "$HIVE_TOOL" roundtrip "$P"

wine_export "$P" "$WORK/before.reg" || fail "Wine's regedit /E"
cp "$P/system.reg" "$WORK/system.before"
cp "$P/user.reg" "$WORK/user.before"
check "a value set and deleted again is saved" "$HIVE_TOOL" touch "$P"
# Only the touched key's time stamp may differ, two lines per hive.
for hive in system user; do
    changed=$(diff "$WORK/$hive.before" "$P/$hive.reg" | grep '^[<>]')
    others=$(printf '%s\n' "$changed" | grep -v -e '^[<>] \[' -e '^[<>] #time=' | grep -c .)
    count=$(printf '%s\n' "$changed" | grep -c .)
    check "$hive.reg: only the touched key's time stamp changed ($count lines)" \
        test "$others" = 0 -a "$count" = 4
done
wine_export "$P" "$WORK/touched.reg" || fail "Wine's regedit /E"
check "Wine's export is the same after the save" cmp -s "$WORK/before.reg.txt" "$WORK/touched.reg.txt"

# ------------------------------------------------------------------ (b)
log "(b) Wine sees exactly our changes"
check "edit through our store" "$HIVE_TOOL" edit "$P" \
    delvalue 'HKLM\Software\Microsoft\Windows\CurrentVersion' ProgramFilesPath \
    deltree 'HKCU\AppEvents' \
    setsz 'HKCU\Software\Kestrane Interop' Text 'Grüße ✓ 😀 "q" \b' \
    setdword 'HKLM\Software\Kestrane Interop' Number 42
wine_export "$P" "$WORK/edited.reg" || fail "Wine's regedit /E"
U='HKEY_USERS\S-1-5-21-0-0-0-1000'
{
    value_lines "$WORK/touched.reg.txt" ProgramFilesPath
    sections_below "$WORK/touched.reg.txt" "$U\\AppEvents"
} | sort >"$WORK/removed.expected"
cat <<EOF | sort >"$WORK/added.expected"
[HKEY_LOCAL_MACHINE\\Software\\Kestrane Interop]
"Number"=dword:0000002a
[$U\\Software\\Kestrane Interop]
"Text"="Grüße ✓ 😀 \\"q\\" \\\\b"
EOF
diff <(grep . "$WORK/touched.reg.txt") <(grep . "$WORK/edited.reg.txt") >"$WORK/edit.diff"
grep '^<' "$WORK/edit.diff" | cut -c3- | sort >"$WORK/removed.seen"
grep '^>' "$WORK/edit.diff" | cut -c3- | sort >"$WORK/added.seen"
check "the deleted value and tree ($(grep -c . "$WORK/removed.expected") lines) are gone from Wine's export, nothing else" \
    diff "$WORK/removed.expected" "$WORK/removed.seen"
check "Wine's export shows the new values and nothing else" diff "$WORK/added.expected" "$WORK/added.seen"
test "$(grep -c . "$WORK/removed.expected")" -gt 5 || fail "the deleted tree was not found in Wine's export"

# ------------------------------------------------------------------ (c)
log "(c) each registry editor reads the other's export"
check "our regedit /e" "$REGEDIT" --prefix "$P" /e "$WORK/ours.reg"
dump "$P" >"$WORK/P.dump"
damage() {
    "$HIVE_TOOL" edit "$1" \
        delvalue 'HKCU\Software\Kestrane Interop' Text \
        deltree 'HKCU\Control Panel\International' \
        deltree 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
        setsz 'HKLM\Software\Kestrane Interop' Number 'replaced'
}
Q="$WORK/q"
copy_prefix "$P" "$Q"
check "damage a copy" damage "$Q"
wine_in "$Q" regedit /S "$(winpath "$WORK/ours.reg")" || fail "Wine's regedit /S of our export"
dump "$Q" >"$WORK/Q.dump"
check "Wine's regedit restored the registry from our export" \
    diff <(terminated "$WORK/P.dump") "$WORK/Q.dump"

wine_export "$P" "$WORK/wine.reg" || fail "Wine's regedit /E"
dump "$P" >"$WORK/P.dump"
# Wine's export also holds its volatile keys (never in the hives) and shows
# what lies behind link keys. Keep the keys our store holds, the sections
# below links (which our import must leave out) and HKEY_USERS\.Default
# (which it must skip).
grep '^\[' <(reg_text "$WORK/ours.reg") >"$WORK/ours.keys"
"$HIVE_TOOL" links "$P" >"$WORK/links"
reg_text "$WORK/wine.reg" | awk -v keys="$WORK/ours.keys" -v links="$WORK/links" '
    BEGIN {
        while ((getline k < keys) > 0) known[k] = 1
        n = 0
        while ((getline l < links) > 0) link[n++] = "[" l
    }
    /^\[/ {
        keep = ($0 in known) || $0 == "[HKEY_USERS]" || index($0, "[HKEY_USERS\\.Default") == 1
        for (i = 0; !keep && i < n; i++) {
            c = substr($0, length(link[i]) + 1, 1)
            keep = index($0, link[i]) == 1 && (c == "]" || c == "\\")
        }
        if (!keep) dropped++
    }
    NR == 1 || keep
    END { print dropped > "/dev/stderr" }' >"$WORK/wine.kept.txt" 2>"$WORK/wine.dropped"
echo "    left out $(cat "$WORK/wine.dropped") volatile keys of Wine's export"
write_unicode_reg "$WORK/wine.kept.txt" "$WORK/wine.kept.reg"
# Key by key, our export is written as Wine writes it.
awk -v keys="$WORK/ours.keys" '
    BEGIN { while ((getline k < keys) > 0) known[k] = 1 }
    /^\[/ { keep = ($0 in known) }
    NR <= 2 || keep' "$WORK/wine.reg.txt" >"$WORK/wine.ours-keys.txt"
reg_text "$WORK/ours.reg" | grep -v '^"DriverDateData"=' >"$WORK/ours.txt"
check "our export is Wine's export of the same keys, byte for byte" \
    diff "$WORK/wine.ours-keys.txt" "$WORK/ours.txt"
R="$WORK/r"
copy_prefix "$P" "$R"
check "damage a copy" damage "$R"
check "our regedit /s of Wine's export" "$REGEDIT" --prefix "$R" /s "$WORK/wine.kept.reg"
dump "$R" >"$WORK/R.dump"
# Our import keeps the bytes of hex-written strings as they stand, so what
# comes back is the registry as it was, unterminated strings included.
check "our regedit restored the registry from Wine's export" \
    diff "$WORK/P.dump" "$WORK/R.dump"
check "Wine can read the hives we wrote" wine_in "$R" regedit /E "$(winpath "$WORK/r.reg")"
S="$WORK/s"
copy_prefix "$P" "$S"
check "our regedit reads the whole of Wine's export, volatile keys included" \
    "$REGEDIT" --prefix "$S" /s "$WORK/wine.reg"

# ------------------------------------------------------------------ (d)
log "(d) no save while Wine runs"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Kestrane Interop]\n"Late"="1"\n' >"$WORK/late.reg"
WINEPREFIX="$P" "$WINESERVER" -p >/dev/null 2>&1 </dev/null
for _ in $(seq 50); do "$HIVE_TOOL" running "$P" && break; sleep 0.2; done
if "$HIVE_TOOL" running "$P"; then
    cp "$P/system.reg" "$WORK/system.before"
    cp "$P/user.reg" "$WORK/user.before"
    "$REGEDIT" --prefix "$P" /s "$WORK/late.reg" 2>"$WORK/refused.txt"
    status=$?
    cat "$WORK/refused.txt"
    check "regedit fails while the wineserver runs" test "$status" -ne 0
    check "it says why" grep -q "Close all Wine programs of this prefix first" "$WORK/refused.txt"
    check "the hives are untouched" cmp -s "$WORK/user.before" "$P/user.reg"
    WINEPREFIX="$P" "$WINESERVER" -k >/dev/null 2>&1
    WINEPREFIX="$P" "$WINESERVER" -w
    check "the same import works once the server has ended" "$REGEDIT" --prefix "$P" /s "$WORK/late.reg"
else
    fail "wineserver -p did not start for $P"
fi

# ------------------------------------------------------------------ (e)
log "(e) a save killed at any moment"
K="$WORK/k"
copy_prefix "$P" "$K"
# A larger machine hive: 60,000 more keys after Wine's own.
awk 'BEGIN { for (k = 0; k < 60000; k++)
    printf "\n[Software\\\\Kestrane Bulk\\\\Vendor%d\\\\Key%d] 1796791980\n\"Path\"=\"C:\\\\Program Files\\\\Vendor\\\\item%d.exe\"\n\"Flags\"=dword:0000002a\n", k / 1000, k, k }' >>"$K/system.reg"
echo "    system.reg: $(stat -c %s "$K/system.reg") bytes"
check "100 kills leave the old or the new hive, and nothing beside it after the next start" \
    "$HIVE_TOOL" kill-saves "$K" 100
wine_export "$K" "$WORK/killed.reg" || fail "Wine's regedit /E of the saved hive"
check "Wine reads the hive the saves wrote" grep -q 'Kestrane Kill Test' "$WORK/killed.reg.txt"
check "with every key of it" grep -q 'Kestrane Bulk\\Vendor59\\Key59999' "$WORK/killed.reg.txt"

echo "--- $(($(date +%s) - START)) s, $FAILURES failures"
[ "$FAILURES" -eq 0 ]
