#!/bin/bash
# The undo file of a registry repair against Debian's wine64: a prefix made
# by wineboot is seeded through Wine's own reg.exe (both views of the
# machine, and the user) with findings of the startup, uninstall, class,
# file-extension, empty-key and progressive rows, kept in keys that hold
# values of every type; kestrane-cli repairs them all, then loads back the
# undo file the repair report names. Wine's regedit /E of the whole registry
# must then be the one before the repair, and a second scan must list the
# same rows. On the way: the undo file is listed and is a registry file, and
# undo is refused while a wineserver serves the prefix and for a name that
# is not there, leaving the hives as they were.
#
# Usage: undo_interop.sh KESTRANE_CLI
# Exits 0 when every check passed, 1 when one failed, 77 (skipped) when
# wine64 is missing ($KESTRANE_WINE64 names another wine64).

set -u

if [ $# -ne 1 ]; then
    echo "usage: $0 KESTRANE_CLI" >&2
    exit 2
fi
CLI=$1
# Every registry row of the computer summary, the progressive analysis
# (unchecked by default) with them.
ROWS=1,2,3,4,5,6,7,8,20

. "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/interop_lib.sh"
# Nothing is compiled here: wine64, its wineserver, python3 and iconv are enough.
il_require_wine --no-compiler

il_wait_program "$CLI"

il_setup undo
START=$(date +%s)
W=$IL_WORK
P=$IL_WORK/prefix
IL_PREFIXES+=("$P")
UNDO_DIR="$P/drive_c/Program Files/Kestrane Professional/Undo"

cli() { "$CLI" --prefix "$P" "$@"; }
elapsed() { echo "    ($(( $(date +%s) - START )) s so far)"; }
keep_hives() { mkdir -p "$1" && cp "$P/system.reg" "$P/user.reg" "$P/userdef.reg" "$1/"; }
hives_as() {
    local h
    for h in system.reg user.reg userdef.reg; do cmp -s "$1/$h" "$P/$h" || return 1; done
}

# Wine's reg.exe on the prefix, its output (without CRs) in the seeding log.
failed_adds=0
wreg() {
    il_reg "$P" "$@" || { echo "    (exit status $?)"; failed_adds=$((failed_adds + 1)); }
}
add() { wreg add "$@" /f; }
# A key with neither values nor subkeys (Wine's reg add of a bare key writes
# an empty default value, so one value is added and deleted again).
empty_key() {  # empty_key KEY [/reg:32|/reg:64]
    add "$1" /v Gone /t REG_SZ /d x ${2:+"$2"}
    wreg delete "$1" /v Gone /f ${2:+"$2"}
}

CV='Software\Microsoft\Windows\CurrentVersion'
G64='{7C1D3B22-6F4E-4A1B-8D2C-3E8F9A0B1C01}'
G32='{7C1D3B22-6F4E-4A1B-8D2C-3E8F9A0B1C02}'

# Nothing of what these entries name exists. The keys the repair deletes
# whole hold values of each type, and subkeys, one of them empty.
seed() {
    add "HKCU\\$CV\\Run" /v KzGoneUser /t REG_SZ /d '"C:\Program Files\KzGone\gone.exe" /tray'
    add "HKCU\\$CV\\RunOnce" /v KzGoneOnce /t REG_EXPAND_SZ /d '%ProgramFiles%\KzGone\once.exe'
    add "HKLM\\$CV\\Run" /v KzGoneMachine /t REG_SZ /d 'C:\Program Files\KzGone\machine.exe -quiet' /reg:64
    add "HKLM\\$CV\\Run" /v KzGone32 /t REG_SZ /d '"C:\Program Files (x86)\KzGone\gone32.exe" -s' /reg:32

    # Uninstall keys without DisplayName, UninstallString or InstallSource.
    local u="HKLM\\$CV\\Uninstall\\KzGoneApp"
    add "$u" /v Publisher /t REG_SZ /d 'KzGone Software, "Ltd." 100%' /reg:64
    add "$u" /v InstallLocation /t REG_EXPAND_SZ /d '%ProgramFiles%\KzGone' /reg:64
    add "$u" /v EstimatedSize /t REG_DWORD /d 4660 /reg:64
    add "$u" /v Comments /t REG_MULTI_SZ /d 'first line\0second line\0Grüße, ünïcødé' /reg:64
    add "$u" /v Signature /t REG_BINARY /d deadbeef00ff10 /reg:64
    add "$u" /v InstallTime /t REG_QWORD /d 1234605616436508552 /reg:64
    add "$u" /v Marker /t REG_NONE /d 'none data' /reg:64
    add "$u" /v BigEndian /t REG_DWORD_BIG_ENDIAN /d 305419896 /reg:64
    add "$u" /v 'C:\KzGone\shared.dll' /t REG_DWORD /d 1 /reg:64
    add "$u\\Components\\Main" /ve /t REG_SZ /d 'main component' /reg:64
    add "$u\\Components\\Main" /v Files /t REG_MULTI_SZ /d 'a.dll\0b.dll' /reg:64
    empty_key "$u\\Components\\Empty" /reg:64
    u="HKLM\\$CV\\Uninstall\\KzGoneApp32"
    add "$u" /v Publisher /t REG_SZ /d 'KzGone 32-bit' /reg:32
    add "$u" /v Language /t REG_DWORD /d 1033 /reg:32
    add "$u" /v Blob /t REG_BINARY /d 0001020304 /reg:32
    add "$u" /v Size64 /t REG_QWORD /d 42 /reg:32
    add "$u" /v Helper /t REG_EXPAND_SZ /d '%ProgramFiles%\KzGone32\helper.exe' /reg:32

    # Classes whose in-process server is missing, one in each view.
    add "HKCR\\CLSID\\$G64" /ve /t REG_SZ /d 'KzGone component' /reg:64
    add "HKCR\\CLSID\\$G64" /v AppFlags /t REG_BINARY /d 01000000 /reg:64
    add "HKCR\\CLSID\\$G64\\InprocServer32" /ve /t REG_EXPAND_SZ /d '%ProgramFiles%\KzGone\kzgone.dll' /reg:64
    add "HKCR\\CLSID\\$G64\\InprocServer32" /v ThreadingModel /t REG_SZ /d Both /reg:64
    add "HKCR\\CLSID\\$G64\\ProgID" /ve /t REG_SZ /d KzGone.Component.1 /reg:64
    empty_key "HKCR\\CLSID\\$G64\\Implemented Categories\\{62C8FE65-4EBB-45E7-B440-6E39B2CDBF29}" /reg:64
    add "HKCR\\CLSID\\$G32" /ve /t REG_SZ /d 'KzGone 32-bit component' /reg:32
    add "HKCR\\CLSID\\$G32\\InprocServer32" /ve /t REG_SZ /d 'C:\Program Files (x86)\KzGone\kz32.dll' /reg:32
    add "HKCR\\CLSID\\$G32\\InprocServer32" /v ThreadingModel /t REG_SZ /d Apartment /reg:32
    add "HKCR\\CLSID\\$G32\\Version" /ve /t REG_SZ /d 1.0 /reg:32

    # An extension Explorer remembers with no program list and no class.
    local fe="HKCU\\$CV\\Explorer\\FileExts\\.kzundo"
    add "$fe" /v LastUsed /t REG_QWORD /d 99
    add "$fe\\OpenWithList" /v a /t REG_SZ /d kzgone.exe
    add "$fe\\OpenWithList" /v MRUList /t REG_SZ /d a
    add "$fe\\UserChoice" /v Progid /t REG_SZ /d KzGone.Document
    add "$fe\\UserChoice" /v Hash /t REG_BINARY /d 0a0b0c0d

    empty_key 'HKCU\Software\KzEmptyVendor'
    empty_key 'HKLM\Software\KzEmptyMachine' /reg:64
    empty_key 'HKLM\Software\KzEmpty32' /reg:32

    # Paths the progressive analysis finds missing; a default value it
    # overwrites rather than deletes.
    add 'HKLM\Software\KzUndoVendor' /ve /t REG_EXPAND_SZ /d 'C:\KzGone\main.exe' /reg:64
    add 'HKLM\Software\KzUndoVendor' /v DataFile /t REG_SZ /d 'C:\KzGone\data\kz.dat' /reg:64
    add 'HKLM\Software\KzUndoVendor' /v Kept /t REG_DWORD /d 7 /reg:64
    add 'HKLM\Software\KzUndoVendor' /v Paths /t REG_MULTI_SZ /d 'C:\KzGone\a\0C:\KzGone\b' /reg:64
    add 'HKLM\Software\KzUndoVendor' /v DataFile /t REG_SZ /d 'C:\Program Files (x86)\KzGone\kz32.dat' /reg:32
    add 'HKLM\Software\KzUndoVendor' /v Count /t REG_DWORD /d 3 /reg:32
    add 'HKCU\Software\KzUndoVendor\Recent' /v File1 /t REG_SZ /d 'C:\KzGone\docs\report.txt'
    add 'HKCU\Software\KzUndoVendor\Recent' /v Count /t REG_DWORD /d 1
}

# The checks that need Python: the rows of reports, what the repair took
# from Wine's export, the undo list, two exports the same.
cat >"$W/undo.py" <<'PY'
import collections, json, os, sys
import ilib

CV = r"Software\Microsoft\Windows\CurrentVersion"
G64, G32 = "{7C1D3B22-6F4E-4A1B-8D2C-3E8F9A0B1C01}", "{7C1D3B22-6F4E-4A1B-8D2C-3E8F9A0B1C02}"
LISTS = ("lvsp", "lvue", "lvfe", "lvax", "lvhelp", "lvfont", "lvvd", "lvos", "LV2")
# (list, caption, detail or None for any, location) of every seeded finding.
SEEDED = [
    ("lvsp", "KzGoneUser", None, "HKCU\\" + CV + r"\Run"),
    ("lvsp", "KzGoneOnce", None, "HKCU\\" + CV + r"\RunOnce"),
    ("lvsp", "KzGoneMachine", None, "HKLM\\" + CV + r"\Run"),
    ("lvsp", "KzGone32", None, r"HKLM\Software\Wow6432Node" + CV[8:] + r"\Run"),
    ("lvue", "KzGoneApp", "KzGoneApp", "HKLM\\" + CV + r"\Uninstall\KzGoneApp"),
    ("lvue", "KzGoneApp32", "KzGoneApp32", r"HKLM\Software\Wow6432Node" + CV[8:] + r"\Uninstall\KzGoneApp32"),
    ("lvax", r"%ProgramFiles%\KzGone\kzgone.dll", G64, r"HKCR\CLSID"),
    ("lvax", r"C:\Program Files (x86)\KzGone\kz32.dll", G32, r"HKCR\Wow6432Node\CLSID"),
    ("lvfe", ".kzundo", None, "HKCU\\" + CV + r"\Explorer\FileExts"),
    ("lvos", "KzEmptyVendor", None, "HKCU\\Software\\"),
    ("lvos", "KzEmptyMachine", None, "HKLM\\Software\\"),
    ("lvos", "KzEmpty32", None, "HKLM\\Software\\Wow6432Node\\"),
    ("LV2", r"C:\KzGone\main.exe", "(Default)", r"HKLM\SOFTWARE\KzUndoVendor"),
    ("LV2", r"C:\KzGone\data\kz.dat", "DataFile", r"HKLM\SOFTWARE\KzUndoVendor"),
    ("LV2", r"C:\Program Files (x86)\KzGone\kz32.dat", "DataFile", r"HKLM\SOFTWARE\Wow6432Node\KzUndoVendor"),
    ("LV2", r"C:\KzGone\docs\report.txt", "File1", r"HKCU\SOFTWARE\KzUndoVendor\Recent"),
]


def rows(report_file):
    """(list, caption, detail, location, status, checked) of every row."""
    report = json.load(open(report_file))
    out = []
    for name in LISTS:
        for r in report.get("lists", {}).get(name, {}).get("rows", []):
            sub = list(r.get("subitems", [])) + ["", "", ""]
            out.append((name, r.get("caption"), sub[1], sub[2], sub[0], r.get("checked")))
    return out


def text(r):
    return "%s: %s | %s | %s" % tuple(str(x) for x in r[:4])


def scanned(report_file, rows_file):
    got = rows(report_file)
    json.dump(got, open(rows_file, "w"))
    lists = collections.Counter(r[0] for r in got)
    print("    the scan lists %d rows: %s" % (len(got), ", ".join("%s %d" % kv for kv in sorted(lists.items()))))
    missing = [s for s in SEEDED if not any(
        r[0] == s[0] and r[1] == s[1] and (s[2] is None or r[2] == s[2]) and r[3].lower() == s[3].lower()
        for r in got)]
    ilib.check(not missing, "the scan lists each of the %d seeded findings" % len(SEEDED),
               ilib.listing("not listed", [text(s) for s in missing]) + ilib.listing("listed", map(text, got)))
    ilib.check(len(lists) >= 4, "the scan has rows in at least 4 registry categories (%d)" % len(lists))
    unchecked = [text(r) for r in got if r[5] is not True]
    ilib.check(not unchecked, "every row is checked, so that the repair takes it", unchecked)


def left(report_file, undo_file):
    got = rows(report_file)
    ilib.check(not got, "the repair report lists no row left", [text(r) for r in got])
    undo = ilib.repair_undo(report_file)
    open(undo_file, "w").write(undo)
    ilib.check(undo.startswith("Undo_") and undo.endswith(".reg") and "/" not in undo and "\\" not in undo,
               "the repair report names its undo file (%r)" % undo)
    summary = json.load(open(report_file)).get("summary", [])
    print("    the report's summary: " + "; ".join("%s %s" % (s["caption"], s["count"]) for s in summary))


def repaired(prefix, before_file, after_file):
    """Each seeded finding is gone from Wine's export after the repair (the
    overwritten default value changed), in the three views."""
    sid = ilib.Hive(os.path.join(prefix, "user.reg")).user_sid()
    hku, hklm = "HKEY_USERS\\" + sid + "\\", "HKEY_LOCAL_MACHINE\\"
    wow = hklm + "Software\\Wow6432Node\\"
    values = [(hku + CV + r"\Run", "KzGoneUser"), (hku + CV + r"\RunOnce", "KzGoneOnce"),
              (hklm + CV + r"\Run", "KzGoneMachine"), (wow + CV[9:] + r"\Run", "KzGone32"),
              (hklm + r"Software\KzUndoVendor", "DataFile"), (wow + "KzUndoVendor", "DataFile"),
              (hku + r"Software\KzUndoVendor\Recent", "File1")]
    keys = [[hklm + CV + r"\Uninstall\KzGoneApp"], [wow + CV[9:] + r"\Uninstall\KzGoneApp32"],
            [hklm + r"Software\Classes\CLSID" + "\\" + G64],
            [hklm + r"Software\Classes\Wow6432Node\CLSID" + "\\" + G32, wow + r"Classes\CLSID" + "\\" + G32],
            [hku + CV + r"\Explorer\FileExts\.kzundo"], [hku + r"Software\KzEmptyVendor"],
            [hklm + r"Software\KzEmptyMachine"], [wow + "KzEmpty32"]]
    a, b = ilib.Export(before_file), ilib.Export(after_file)
    bad, views = [], collections.Counter()

    def view(key):
        return "user" if key.startswith("HKEY_USERS") else "32-bit" if "\\wow6432node" in key.lower() else "64-bit"
    for key, name in values:
        if a.value(key, name) is None:
            bad.append("not there before the repair: %s -> %s" % (key, name))
        elif b.value(key, name) is not None:
            bad.append("still there: %s -> %s" % (key, name))
        else:
            views[view(key)] += 1
    for spellings in keys:
        there = [k for k in spellings if a.has_key(k)]
        if not there:
            bad.append("not there before the repair: %s" % spellings[0])
        left = [k for k in spellings for t in a.tree(k) if b.has_key(t)]
        if left:
            bad.append("still there: %s" % ", ".join(left))
        elif there:
            views[view(spellings[0])] += len(a.tree(there[0]))
    # The trees deleted whole hold values of every type reg.exe writes, which
    # the undo has to give back as they were.
    types = collections.Counter(v[1] for spellings in keys for k in a.tree(spellings[0]) for v in a.values(k))
    print("    value types in the keys deleted whole: " + ", ".join("%s %d" % kv for kv in sorted(types.items())))
    want = {"sz", "hex(2)", "hex(7)", "dword", "hex", "hex(b)", "hex(0)", "hex(5)"}
    if not want <= set(types):
        bad.append("types missing from the keys deleted whole: %s" % sorted(want - set(types)))
    d = hklm + r"Software\KzUndoVendor"
    was, now = a.value(d, ""), b.value(d, "")
    print("    %s -> @ before: %r, after the repair: %r" % (d, was, now))
    if was is None or was[1:] != ("hex(2)", "C:\\KzGone\\main.exe\0".encode("utf-16-le")) or now == was:
        bad.append("the default value of %s is not the REG_EXPAND_SZ rewritten" % d)
    print("    keys and values gone by view: " + ", ".join("%s %d" % kv for kv in sorted(views.items())))
    app = hklm + CV + r"\Uninstall\KzGoneApp"
    print("    as seeded: Publisher %r, Comments %r" % (a.string(app, "Publisher"), (a.value(app, "Comments") or
                                                                                  (0, 0, b""))[2].decode("utf-16-le")))
    ilib.check(not bad and len(views) == 3,
               "Wine's export after the repair lacks every seeded finding, in the user's view and both machine "
               "views; the keys it deleted whole held values of the %d types" % len(want), bad)
    print("    Wine's export differs in %d entries after the repair" % len(ilib.export_diff(a.keys, b.keys)))


def listed(list_file, name, folder):
    entries = json.load(open(list_file))
    print("    undo --list --json: %s" % json.dumps(entries))
    want = os.path.join(folder, name)
    ok = (isinstance(entries, list) and len(entries) == 1 and entries[0].get("file") == name
          and os.path.exists(entries[0].get("path", "")) and os.path.samefile(entries[0]["path"], want)
          and all(isinstance(entries[0].get(k), str) and entries[0][k] for k in ("date", "time")))
    ilib.check(ok, "undo --list --json lists the one undo file, its path, date and time")


def same(before, again, after, what):
    own = ilib.wine_own_changes(before, again, what)
    a, b = ilib.parse_export(before), ilib.parse_export(after)
    diff = ["%s %s" % (k, key if n is None else key + " -> " + (n or "@"))
            for k, key, n in ilib.export_diff(a, b) if not own(key, n)]
    ilib.check(not diff, "%s: Wine's export has the same %d keys and %d values as before the repair"
               % (what, len(a), sum(len(v) for _, v in a.values())), ilib.listing("differences", diff[:80]))


def same_rows(first_file, report_file):
    a = collections.Counter(tuple(r[:5]) for r in json.load(open(first_file)))
    b = collections.Counter(r[:5] for r in rows(report_file))
    ilib.check(a == b, "the scan after the undo lists the same %d rows as the first (captions, details, locations)"
               % sum(a.values()),
               ilib.listing("only in the first", map(text, (a - b).elements()))
               + ilib.listing("only after the undo", map(text, (b - a).elements())))


if __name__ == "__main__":
    globals()[sys.argv[1]](*sys.argv[2:])
PY

# ------------------------------------------------------------------------
il_log "wineboot -i in $P (home $HOME)"
if ! il_wine "$P" wineboot -i || [ ! -s "$P/system.reg" ]; then
    il_fail "wineboot made a prefix"
    tail -20 "$W/wine.log"
    il_summary
    exit 1
fi
il_check "the prefix is 64-bit (#arch=win64 in system.reg)" grep -qx '#arch=win64' "$P/system.reg"
elapsed

il_log "seeding through Wine's reg.exe"
WINEPREFIX="$P" "$IL_WINESERVER" -p5
seed >"$W/seed.log" 2>&1
il_wait_server "$P"
il_check "every reg.exe call of the seeding succeeded ($failed_adds failed)" test "$failed_adds" -eq 0
[ "$failed_adds" -eq 0 ] || grep -B1 '(exit status' "$W/seed.log" | head -40
grep -B3 'on attempt 1)' "$W/seed.log" | sed 's/^/    seeding: /'
elapsed

il_log "before the repair: two exports (the second a control), and a scan"
il_check "Wine's regedit /E before the repair" il_export "$P" "$W/before.reg"
il_check "a second regedit /E, nothing changed in between" il_export "$P" "$W/again.reg"
cli scan --only "$ROWS" --json >"$W/scan1.json" 2>"$W/scan1.err"
status=$?
il_check "scan exits 0 (got $status)" test $status -eq 0
sed 's/^/    stderr: /' "$W/scan1.err"
il_python "$W/undo.py" scanned "$W/scan1.json" "$W/scan1.rows.json"
elapsed

il_log "kestrane-cli repair --only $ROWS --no-backup"
il_snapshot "$P/drive_c" "$W/drive_c.before.json"
cli repair --only "$ROWS" --no-backup --json >"$W/repair.json" 2>"$W/repair.err"
status=$?
il_check "repair exits 0 (got $status)" test $status -eq 0
sed 's/^/    stderr: /' "$W/repair.err"
il_python "$W/undo.py" left "$W/repair.json" "$W/undo.name"
NAME=$(cat "$W/undo.name")
echo "    the undo file: ${NAME:-none}"
il_snapshot "$P/drive_c" "$W/drive_c.after.json"
echo '[]' >"$W/nothing.json"
il_python -c 'import ilib, sys; ilib.check_gone(*sys.argv[1:6])' "$W/drive_c.before.json" "$W/drive_c.after.json" \
    "$W/nothing.json" "drive_c after the repair" "${NAME:-none}"
il_check "the undo file begins with \"Windows Registry Editor Version 5.00\" (UTF-16LE, its BOM)" \
    bash -c 'head -c 74 "$1" | cmp -s - <(printf "\xff\xfe"; printf "Windows Registry Editor Version 5.00" | iconv -t UTF-16LE)' \
    _ "$UNDO_DIR/${NAME:-none}"
il_check "Wine's regedit /E after the repair" il_export "$P" "$W/repaired.reg"
il_python "$W/undo.py" repaired "$P" "$W/before.reg" "$W/repaired.reg"
keep_hives "$W/hives.repaired"
elapsed

il_log "kestrane-cli undo --list --json"
cli undo --list --json >"$W/list.json" 2>"$W/list.err"
status=$?
il_check "undo --list --json exits 0 (got $status)" test $status -eq 0
sed 's/^/    stderr: /' "$W/list.err"
il_python "$W/undo.py" listed "$W/list.json" "${NAME:-none}" "$UNDO_DIR"

il_log "undo refused"
if il_server_up "$P"; then
    cli undo "${NAME:-none}" >"$W/served.out" 2>"$W/served.err"
    status=$?
    sed 's/^/    stderr: /' "$W/served.err"
    il_check "undo exits 4 while a wineserver serves the prefix (got $status)" test $status -eq 4
    il_check "  the hives are unchanged, byte for byte" hives_as "$W/hives.repaired"
    il_server_down "$P"
    il_check "  and still so once the wineserver ended" hives_as "$W/hives.repaired"
else
    il_fail "a wineserver started for $P"
fi
cli undo "${NAME%.reg}_999.reg" >"$W/nosuch.out" 2>"$W/nosuch.err"
status=$?
sed 's/^/    stderr: /' "$W/nosuch.err"
il_check "undo of a file that is not there exits 2 (got $status)" test $status -eq 2
il_check "  the hives are unchanged, byte for byte" hives_as "$W/hives.repaired"

il_log "kestrane-cli undo $NAME"
cli undo "${NAME:-none}" >"$W/undo.out" 2>"$W/undo.err"
status=$?
sed 's/^/    /' "$W/undo.out"
sed 's/^/    stderr: /' "$W/undo.err"
il_check "undo exits 0 (got $status) and names the file it loaded" \
    bash -c '[ "$1" -eq 0 ] && grep -qF "Loaded back $2" "$3"' _ $status "$UNDO_DIR/$NAME" "$W/undo.out"
il_check "Wine's regedit /E after the undo" il_export "$P" "$W/after.reg"
il_python "$W/undo.py" same "$W/before.reg" "$W/again.reg" "$W/after.reg" "after the undo"
cli scan --only "$ROWS" --json >"$W/scan2.json" 2>"$W/scan2.err"
status=$?
il_check "scan after the undo exits 0 (got $status)" test $status -eq 0
sed 's/^/    stderr: /' "$W/scan2.err"
il_python "$W/undo.py" same_rows "$W/scan1.rows.json" "$W/scan2.json"

echo
echo "took $(( $(date +%s) - START )) s"
il_summary
