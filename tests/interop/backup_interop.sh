#!/bin/bash
# The registry backups of kestrane-cli against a prefix that Wine and real
# Windows programs made (make_traces_prefix.sh), checked through Wine's own
# regedit and Wine's hive files:
#   - a backup is a "Version 5.00" file holding every key of system.reg and
#     user.reg with the values Wine shows; Wine's regedit imports it, and the
#     backups list names it with the date and time of its name;
#   - two backups made within one second are two files, the first untouched;
#   - a repair whose backup cannot be made repairs nothing;
#   - the backup a repair makes first, restored, gives back the registry Wine
#     saw before the repair, key by key and value by value, in hives that
#     Wine still reads; the restore writes nothing but the hives;
#   - no restore while a wineserver serves the prefix, none of a file outside
#     the backups folder, none of a backup that is not there;
#   - delete-backup removes that backup and nothing else.
#
# Usage: backup_interop.sh KESTRANE_CLI REGEDIT
#   REGEDIT is our registry editor, which kestrane-cli runs for its backups
#   and restores (through $KESTRANE_REGEDIT).
# Exits 0 when every check passed, 1 when one failed, 77 (skipped) when
# wine64 or mingw-w64 is missing ($KESTRANE_WINE64 names another wine64).
# KESTRANE_SEED_BUILD, if set, is where the seeding programs are built and
# kept between runs; by default they are built in the work folder.

set -u

if [ $# -ne 2 ]; then
    echo "usage: $0 KESTRANE_CLI REGEDIT" >&2
    exit 2
fi
CLI=$1
REGEDIT=$2
# The rows of the computer summary a repair runs here: every registry row
# but the three that take long, and every privacy row that works on the
# prefix alone (not the recycle bin, the clipboard or the history).
ROWS=1,2,3,4,8,9,11,13,14,15,16,18,19

. "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/interop_lib.sh"
il_require_wine

# The programs may be being linked anew when the test starts.
for program in "$CLI" "$REGEDIT"; do
    for _ in $(seq 60); do
        [ -x "$program" ] && break
        sleep 2
    done
    if [ ! -x "$program" ]; then
        echo "FAIL: $program is not an executable program"
        exit 1
    fi
done

il_setup backup
START=$(date +%s)
P=$IL_WORK/prefix
W=$IL_WORK          # the work files: snapshots, exports, reports
BACKUPS="$P/drive_c/Program Files/Kestrane Professional/Backups"
# The backups folder made read-only below must not stop the clean-up. (Only
# that folder: Debian's wine takes a new server folder name when the
# prefix's read-only "wineserver" file has become writable.)
trap '[ -d "$BACKUPS" ] && chmod u+w "$BACKUPS"; il_cleanup' EXIT
export KESTRANE_REGEDIT=$REGEDIT
# The window steps (regedit, wordpad) add nothing the backups need.
export KESTRANE_SEED_NO_GUI=${KESTRANE_SEED_NO_GUI:-1}

cli() {  # cli ARGS...: kestrane-cli on the prefix
    "$CLI" --prefix "$P" "$@"
}

# Both hives the same, byte for byte, as the copies in DIR.
hives_as() {  # hives_as DIR
    cmp -s "$1/system.reg" "$P/system.reg" && cmp -s "$1/user.reg" "$P/user.reg"
}
keep_hives() {  # keep_hives DIR
    mkdir -p "$1" && cp "$P/system.reg" "$P/user.reg" "$P/userdef.reg" "$1/"
}

# What the checks of the backups need, in Python.
cat >"$W/backup.py" <<'PY'
import json
import os
import re
import sys
import time

import ilib

NAME = re.compile(r"^Backup_(0|[1-9][0-9]?)-(0|[1-9][0-9]?)-(0|[1-9][0-9]?)_([1-9][0-9]?)-([1-9][0-9]?)-([1-9][0-9]{3})\.reg$")
HEADER = b"\xff\xfe" + "Windows Registry Editor Version 5.00".encode("utf-16-le")


def name_time(name):
    """(year, month, day, hour, minute, second) of a backup's name, or None
    when it is not Backup_H-M-S_D-M-YYYY.reg without leading zeros."""
    m = NAME.match(name)
    if not m:
        return None
    hour, minute, second, day, month, year = (int(g) for g in m.groups())
    if hour > 23 or minute > 59 or second > 59 or month > 12 or day > 31:
        return None
    return year, month, day, hour, minute, second


def epoch(t):
    return time.mktime((t[0], t[1], t[2], t[3], t[4], t[5], 0, 0, -1))


def picture(text, fields):
    """A date or time picture of Control Panel\\International written out:
    d dd M MM y yy yyyy, h hh H HH m mm s ss, t tt, 'quoted text'."""
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "'":
            close = text.find("'", i + 1)
            close = len(text) if close < 0 else close
            out.append(text[i + 1:close])
            i = close + 1
            continue
        run = 1
        while i + run < len(text) and text[i + run] == c:
            run += 1
        i += run
        year, month, day, hour, minute, second, am, pm = fields
        twelve = hour % 12 or 12
        pad = lambda n: "%02d" % n if run >= 2 else str(n)
        if c == "d" and run <= 2:
            out.append(pad(day))
        elif c == "M" and run <= 2:
            out.append(pad(month))
        elif c == "y":
            out.append(str(year % 100) if run == 1 else "%02d" % (year % 100) if run == 2 else str(year))
        elif c == "h":
            out.append(pad(twelve))
        elif c == "H":
            out.append(pad(hour))
        elif c == "m":
            out.append(pad(minute))
        elif c == "s":
            out.append(pad(second))
        elif c == "t":
            designator = am if hour < 12 else pm
            out.append(designator if run >= 2 else designator[:1])
        elif c.isalpha():
            raise ValueError("the picture %r has %s, which this test does not write out" % (text, c * run))
        else:
            out.append(c * run)
    return "".join(out)


def shown(prefix, name):
    """The date and time the backups list shows for a backup's name, in the
    short date and long time formats of the prefix's user (Windows' own
    when the user has none)."""
    user = ilib.Hive(os.path.join(prefix, "user.reg"))
    key = r"Control Panel\International"
    get = lambda value, default: user.string(key, value) or default
    t = name_time(name)
    fields = t + (get("s1159", "AM"), get("s2359", "PM"))
    return picture(get("sShortDate", "M/d/yyyy"), fields), picture(get("sTimeFormat", "h:mm:ss tt"), fields)


def is_backup(path):
    try:
        with open(path, "rb") as f:
            return f.read(len(HEADER)) == HEADER
    except OSError:
        return False


def made(report_file, folder, prefix, started, ended, what):
    """backup --json: its file, path, date and time, the file itself."""
    try:
        row = json.load(open(report_file))
    except ValueError as e:
        ilib.check(False, "%s: the output is JSON" % what, [str(e)])
        return
    ok = ilib.check(isinstance(row, dict) and sorted(row) == ["date", "file", "path", "time"],
                    "%s: the output has file, path, date and time" % what, ["got %r" % row])
    if not ok:
        return
    name = row["file"]
    t = name_time(name)
    ilib.check(t is not None, "%s: the name %s is Backup_H-M-S_D-M-YYYY.reg, no leading zeros" % (what, name))
    path = os.path.join(folder, name)
    ilib.check(row["path"] == path, "%s: the path is the file in the backups folder" % what,
               ["expected %r, got %r" % (path, row["path"])])
    size = os.path.getsize(path) if os.path.isfile(path) else -1
    ilib.check(size > 0, "%s: the file is in the backups folder and not empty (%d bytes)" % (what, size))
    ilib.check(is_backup(path), "%s: it starts with FF FE and \"Windows Registry Editor Version 5.00\" "
               "in UTF-16LE" % what, ["first bytes: %r" % open(path, "rb").read(80) if size > 0 else "(no file)"])
    if t is None:
        return
    when = epoch(t)
    ilib.check(int(started) <= when <= ended,
               "%s: the name's local time is when the command ran" % what,
               ["name %s, the command ran from %s to %s" % (time.ctime(when), time.ctime(started), time.ctime(ended))])
    date, clock = shown(prefix, name)
    ilib.check((row["date"], row["time"]) == (date, clock),
               "%s: date and time %r %r are the name's, as the user's formats write them" % (what, date, clock),
               ["got %r %r" % (row["date"], row["time"])])


def listed(list_file, folder, prefix, what):
    """backups --json: every .reg file of the folder, once, with its path
    and the date and time of its name."""
    try:
        rows = json.load(open(list_file))
    except ValueError as e:
        ilib.check(False, "%s: the output is JSON" % what, [str(e)])
        return
    files = sorted(n for n in os.listdir(folder) if n.lower().endswith(".reg"))
    got = sorted(r.get("file") for r in rows) if isinstance(rows, list) else rows
    ilib.check(got == files, "%s: it lists exactly the %d backups of the folder" % (what, len(files)),
               ilib.listing("in the folder", files) + ilib.listing("listed", got))
    bad = []
    for r in rows if isinstance(rows, list) else []:
        name = r.get("file")
        if name_time(name or "") is None:
            bad.append("%r is not a backup's name" % name)
            continue
        want = {"file": name, "path": os.path.join(folder, name), "date": shown(prefix, name)[0],
                "time": shown(prefix, name)[1]}
        if r != want:
            bad.append("%r, expected %r" % (r, want))
    ilib.check(not bad, "%s: each row has the file's path and the date and time of its name" % what, bad)


def newest(list_file, out):
    """The newest backup listed, by the time of its name."""
    rows = json.load(open(list_file))
    dated = sorted((name_time(r["file"])[0:3], name_time(r["file"])[3:], r["file"]) for r in rows
                   if name_time(r.get("file", "")))
    with open(out, "w") as f:
        f.write(dated[-1][2] if dated else "")


def hives_of(prefix):
    """Wine's hive files by the root of the export: HKEY_LOCAL_MACHINE,
    HKEY_USERS\\<the user>, HKEY_USERS\\.Default; and the link keys (those
    with a SymbolicLinkValue) as export keys in lower case."""
    system = ilib.Hive(os.path.join(prefix, "system.reg"))
    user = ilib.Hive(os.path.join(prefix, "user.reg"))
    hives = {"HKEY_LOCAL_MACHINE": system, "HKEY_USERS\\" + user.user_sid(): user,
             "HKEY_USERS\\.Default": ilib.Hive(os.path.join(prefix, "userdef.reg"))}
    links = []
    for root, hive in hives.items():
        links += [(root + "\\" + path).lower() for path, values in hive.keys.values()
                  if "symboliclinkvalue" in values]
    return hives, links


def below_any(key, keys):
    return any(key == k or key.startswith(k + "\\") for k in keys)


def complete(prefix, export_file, backup_text, what):
    """The backup against Wine's export of the same registry and against the
    hive files: it holds every key of system.reg and user.reg with exactly
    the values Wine shows, and nothing Wine does not show. What Wine shows
    and the backup leaves out must be the keys Wine keeps in memory only
    (in no hive file), the keys seen through link keys, and those of
    HKEY_USERS\\.Default (userdef.reg)."""
    wine, backup = ilib.parse_export(export_file), ilib.parse_export(backup_text)
    hives, links = hives_of(prefix)
    stored = {}
    for root, hive in hives.items():
        stored[root.lower()] = root
        for path, _ in hive.keys.values():
            stored[(root + "\\" + path).lower()] = root + "\\" + path
    default = "hkey_users\\.default"
    left_out = {"volatile": [], "link": [], "default": [], "unexplained": []}
    for k, (key, _) in wine.items():
        if k in backup:
            continue
        if below_any(k, links):
            left_out["link"].append(key)
        elif below_any(k, [default]):
            left_out["default"].append(key)
        elif k not in stored and k not in ("hkey_local_machine", "hkey_users"):
            left_out["volatile"].append(key)
        else:
            left_out["unexplained"].append(key)
    print("    the backup holds %d keys; Wine's export %d" % (len(backup), len(wine)))
    print("    Wine shows, the backup leaves out: %d keys held in memory only (e.g. %s), %d seen through "
          "%d link keys, %d of HKEY_USERS\\.Default"
          % (len(left_out["volatile"]), left_out["volatile"][:1], len(left_out["link"]), len(links),
             len(left_out["default"])))
    if left_out["default"]:
        print("    NOTE: the backup has no key of HKEY_USERS\\.Default (userdef.reg): %s" % left_out["default"][:3])
    ilib.check(not left_out["unexplained"], "%s: every key of system.reg and user.reg that Wine shows is in it"
               % what, ilib.listing("not in the backup", left_out["unexplained"][:40]))
    extra = [key for k, (key, _) in backup.items() if k not in wine]
    ilib.check(not extra, "%s: it holds no key that Wine's export does not show" % what,
               ilib.listing("only in the backup", extra[:40]))
    differ = []
    for k, (key, values) in backup.items():
        if k not in wine:
            continue
        theirs = wine[k][1]
        for n in sorted(set(values) | set(theirs)):
            a, b = values.get(n), theirs.get(n)
            if a != b:
                differ.append("%s -> %s: backup %r, Wine %r" % (key, (a or b)[0] or "@", a and a[1], b and b[1]))
    ilib.check(not differ, "%s: each of its keys has exactly the values Wine's export shows (%d values)"
               % (what, sum(len(v) for _, v in backup.values())), differ[:40])


def data_kind(data):
    m = re.match(r'^(dword:|hex:|hex\([0-9a-fA-F]+\):|str\([0-9]+\):)', data)
    return m.group(1)[:-1] if m else "sz" if data.startswith('"') else "other"


def damage(prefix, export_file, backup_text, out_reg, out_json):
    """A .reg file that deletes, through Wine's regedit, the first and the
    last value of each kind of data of the user's hive and of
    HKEY_LOCAL_MACHINE\\Software\\Classes, and the seeded Search Assistant
    tree: what an import of the backup must bring back."""
    wine, backup = ilib.parse_export(export_file), ilib.parse_export(backup_text)
    hives, links = hives_of(prefix)
    user_root = [r for r in hives if r.startswith("HKEY_USERS\\S-")][0]
    tree = user_root + r"\Software\Microsoft\Search Assistant"
    areas = {"user": user_root.lower() + "\\", "classes": "hkey_local_machine\\software\\classes\\"}
    picks = {}
    for k, (key, values) in wine.items():
        if k not in backup or below_any(k, links) or below_any(k, [tree.lower()]):
            continue
        for area, start in areas.items():
            if not k.startswith(start):
                continue
            for name, data in values.values():
                kind = data_kind(data)
                first_last = picks.setdefault((area, kind), [])
                if len(first_last) < 2:
                    first_last.append((key, name))
                else:
                    first_last[1] = (key, name)
    values = sorted(set(v for vs in picks.values() for v in vs))
    with open(out_json, "w") as f:
        json.dump({"values": values, "tree": tree if tree.lower() in wine else None,
                   "kinds": sorted("%s %s" % p for p in picks)}, f, indent=1)
    lines = ["Windows Registry Editor Version 5.00", ""]
    if tree.lower() in wine:
        lines += ["[-%s]" % tree, ""]
    by_key = {}
    for key, name in values:
        by_key.setdefault(key, []).append(name)
    for key, names in by_key.items():
        lines.append("[%s]" % key)
        for name in names:
            lines.append("@=-" if name == "" else '"%s"=-' % name.replace("\\", "\\\\").replace('"', '\\"'))
        lines.append("")
    with open(out_reg, "wb") as f:
        f.write(b"\xff\xfe" + "\r\n".join(lines + [""]).encode("utf-16-le"))
    print("    deleting %d values (%s) and the tree %s" % (len(values), ", ".join(sorted("%s %s" % p for p in picks)),
                                                       tree))


def damaged(prefix, damage_json, what):
    """The hives lack what the damage file deletes."""
    d = json.load(open(damage_json))
    hives, _ = hives_of(prefix)
    left = []

    def hive_of(key):
        for root, hive in hives.items():
            if key.lower().startswith(root.lower() + "\\"):
                return hive, key[len(root) + 1:]
        return None, key

    for key, name in d["values"]:
        hive, rel = hive_of(key)
        if hive is None or hive.value(rel, name) is not None:
            left.append("%s -> %s" % (key, name or "@"))
    if d["tree"]:
        hive, rel = hive_of(d["tree"])
        if hive is None or hive.has_key(rel) or hive.subkeys(rel):
            left.append(d["tree"])
    ilib.check(d["tree"] is not None and len(d["values"]) >= 8 and not left,
               "%s: %d values of %d kinds and a tree are gone from the hives" % (what, len(d["values"]),
                                                                                 len(d["kinds"])),
               ["the tree: %r" % d["tree"]] + ilib.listing("still there", left))


def imported(control_a, control_b, before_file, after_file, backup_text, what):
    """Wine's export after Wine's regedit imported the backup against the
    one before: the same, but for what Wine rewrites by itself and for one
    thing Wine's importer does: to REG_MULTI_SZ data (hex(7)) that does not
    end in a NUL it adds one. That is allowed only where the backup holds
    exactly the bytes Wine showed before, so that the NUL is Wine's."""
    own = ilib.wine_own_changes(control_a, control_b, what)
    before, after, backup = (ilib.parse_export(p) for p in (before_file, after_file, backup_text))
    nul, other = [], []
    for kind, key, name in ilib.export_diff(before, after):
        if own(key, name):
            continue
        text = "%s %s" % (kind, key if name is None else key + " -> " + (name or "@"))
        if kind == "~value":
            k, n = key.lower(), name.lower()
            a, b = before[k][1][n][1], after[k][1][n][1]
            ta, va = ilib.decode_data(a)
            tb, vb = ilib.decode_data(b)
            ours = backup.get(k, (None, {}))[1].get(n, (None, None))[1]
            if (ta == tb == "hex(7)" and len(va) % 2 == 0 and va[-2:] != b"\0\0" and vb == va + b"\0\0"
                    and ours == a):
                nul.append(text)
                continue
            text += ": before %s, after %s, the backup %s" % (a, b, ours)
        other.append(text)
    for t in nul:
        print("    Wine's importer added a NUL to REG_MULTI_SZ data that had none (the backup holds Wine's "
              "bytes): " + t)
    return ilib.check(not other, "%s: Wine's export is the one before the import%s" %
                      (what, " but for %d NULs Wine's importer added" % len(nul) if nul else ""),
                      ilib.listing("differences", other[:60]))


def same_export(control_a, control_b, before_file, after_file, what):
    """Two exports the same, key by key and value by value, but for what
    Wine rewrites by itself (seen between control_a and control_b)."""
    own = ilib.wine_own_changes(control_a, control_b, what)
    before, after = ilib.parse_export(before_file), ilib.parse_export(after_file)
    diff = ["%s %s" % (kind, key if name is None else key + " -> " + (name or "@"))
            for kind, key, name in ilib.export_diff(before, after) if not own(key, name)]
    values = sum(len(v) for _, v in before.values())
    return ilib.check(not diff, "%s: Wine's export has the same %d keys and %d values as before the repair"
                      % (what, len(before), values), ilib.listing("differences", diff[:80]))


def hive_diff(a_dir, b_dir):
    """The keys and values of system.reg and user.reg that differ between
    two copies of a prefix's hives."""
    out = []
    for name in ("system.reg", "user.reg"):
        a, b = ilib.Hive(os.path.join(a_dir, name)), ilib.Hive(os.path.join(b_dir, name))
        out += ["%s: -key %s" % (name, a.keys[k][0]) for k in sorted(set(a.keys) - set(b.keys))]
        out += ["%s: +key %s" % (name, b.keys[k][0]) for k in sorted(set(b.keys) - set(a.keys))]
        for k in sorted(set(a.keys) & set(b.keys)):
            va, vb = a.keys[k][1], b.keys[k][1]
            for n in sorted(set(va) | set(vb)):
                if va.get(n) != vb.get(n):
                    out.append("%s: %s -> %s: %r, then %r" % (name, a.keys[k][0], n or "@", va.get(n), vb.get(n)))
    return out


def changed_hives(a_dir, b_dir, what):
    diff = hive_diff(a_dir, b_dir)
    print("    %d keys and values differ in the hives" % len(diff))
    for line in diff[:12]:
        print("      " + line)
    ilib.check(len(diff) > 0, what)


def same_hives(a_dir, b_dir, what):
    diff = hive_diff(a_dir, b_dir)
    ilib.check(not diff, what, ilib.listing("differences", diff[:80]))


def headers(prefix, before_dir, what):
    """Each hive still starts as Wine writes it: "WINE REGISTRY Version 2",
    and the lines before its first key (its root and #arch=win64) are the
    ones it had."""
    for name in ("system.reg", "user.reg"):
        def head(path):
            lines = []
            with open(path, encoding="utf-8", errors="surrogateescape") as f:
                for line in f:
                    if line.startswith("["):
                        break
                    lines.append(line.rstrip("\n"))
            return lines
        now, then = head(os.path.join(prefix, name)), head(os.path.join(before_dir, name))
        ilib.check(now[:1] == ["WINE REGISTRY Version 2"] and "#arch=win64" in now and now == then,
                   "%s: %s starts with \"WINE REGISTRY Version 2\" and keeps its #arch=win64 line" % (what, name),
                   ilib.listing("its first lines", now) + ilib.listing("before", then))


def scan_findings(report_file, what):
    report = json.load(open(report_file))
    counts = {s["caption"]: s["count"] for s in report.get("summary", []) if s.get("row", 0) > 0 and s.get("count")}
    print("    found: %s" % (", ".join("%s %d" % c for c in counts.items()) or "nothing"))
    ilib.check(sum(counts.values()) > 0, what)


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    if command == "made":
        made(args[0], args[1], args[2], float(args[3]), float(args[4]), args[5])
    elif command == "name-time":
        t = name_time(args[0])
        print(" ".join(map(str, t)) if t else "")
    else:
        globals()[command.replace("-", "_")](*args)
PY
bk() { il_python "$W/backup.py" "$@"; }

# Two snapshots the same: nothing new, gone or changed.
unchanged() {  # unchanged BEFORE.json AFTER.json WHAT
    local diff
    diff=$(il_snapshot_diff "$1" "$2")
    if [ -z "$diff" ]; then
        il_pass "$3"
    else
        il_fail "$3"
        printf '%s\n' "$diff" | head -40 | sed 's/^/      /'
    fi
}

# Two snapshots the same but for new folders of the program's own (a repair
# that is to back up makes the backups and startbug folders first, as the
# window does when it starts): no file new, nothing gone or changed.
unchanged_but_folders() {  # unchanged_but_folders BEFORE.json AFTER.json WHAT
    local diff others
    diff=$(il_snapshot_diff "$1" "$2")
    others=$(printf '%s\n' "$diff" | grep . | grep -vx '+ drive_c/Program Files/Kestrane Professional/.*/')
    printf '%s\n' "$diff" | grep -x '+ drive_c/Program Files/Kestrane Professional/.*/' |
        sed 's/^+ /    the program made its folder /'
    if [ -z "$others" ]; then
        il_pass "$3"
    else
        il_fail "$3"
        printf '%s\n' "$others" | head -40 | sed 's/^/      /'
    fi
}

# ------------------------------------------------------------------------
il_log "making a traced prefix in $P (home $HOME)"
if ! il_make_traced_prefix "$P" "$HOME"; then
    il_fail "make_traces_prefix.sh made the prefix"
    il_summary
    exit 1
fi
il_wait_server "$P"
echo "    made in $(( $(date +%s) - START )) s"

# Two exports with nothing changed in between show what Wine rewrites by
# itself at a start; every later comparison of exports leaves out only
# those kinds of change, each explained in WINE_REWRITES (interop_lib.sh).
# Without a display Wine rewrote nothing in these runs.
il_check "Wine's regedit /E of the registry" il_export "$P" "$W/e0.reg"
il_check "a second regedit /E, nothing changed in between" il_export "$P" "$W/e1.reg"

# ------------------------------------------------------------------------
il_log "backup"
il_snapshot "$P" "$W/p.before-backup.json"
started=$(date +%s.%N)
cli backup --json >"$W/backup1.json" 2>"$W/backup1.err"
status=$?
ended=$(date +%s.%N)
il_check "backup --json exits 0 (got $status)" test $status -eq 0
[ -s "$W/backup1.err" ] && sed 's/^/    stderr: /' "$W/backup1.err"
bk made "$W/backup1.json" "$BACKUPS" "$P" "$started" "$ended" "backup"
B1=$(il_python -c 'import json, sys; print(json.load(open(sys.argv[1])).get("file", ""))' "$W/backup1.json" 2>/dev/null)
il_snapshot "$P" "$W/p.after-backup.json"
# A backup writes its file, in the program's folders it makes if need be,
# and nothing else.
diff=$(il_snapshot_diff "$W/p.before-backup.json" "$W/p.after-backup.json")
others=$(printf '%s\n' "$diff" | grep . | grep -v '^+ drive_c/Program Files/Kestrane Professional/')
if printf '%s\n' "$diff" | grep -qxF "+ drive_c/Program Files/Kestrane Professional/Backups/$B1" && [ -z "$others" ]; then
    il_pass "backup: the prefix gained the backup (and the program's folders), nothing else changed"
else
    il_fail "backup: the prefix gained the backup (and the program's folders), nothing else changed"
    printf '%s\n' "$diff" | head -20 | sed 's/^/      /'
fi
printf '%s\n' "$diff" | sed 's/^/    /'

cli backups --json >"$W/list1.json" 2>"$W/list1.err"
status=$?
il_check "backups --json exits 0 (got $status)" test $status -eq 0
bk listed "$W/list1.json" "$BACKUPS" "$P" "backups after the first backup"

il_reg_text "$BACKUPS/$B1" "$W/backup1.txt"
bk complete "$P" "$W/e1.reg" "$W/backup1.txt" "the backup against Wine's export"

# ------------------------------------------------------------------------
il_log "Wine's regedit imports the backup"
# Wine's regedit /S exits 0 whatever it read (a missing file too), so the
# import must be seen to work: Wine's regedit first deletes values of every
# kind and a tree, then imports the backup, which must bring back exactly
# the registry of before.
bk damage "$P" "$W/e1.reg" "$W/backup1.txt" "$W/damage.reg" "$W/damage.json"
il_import "$P" "$W/damage.reg"
bk damaged "$P" "$W/damage.json" "Wine's regedit deleted them"
mkdir -p "$W/pre-import" && cp "$P"/*.reg "$W/pre-import/"
WINEPREFIX="$P" "$IL_WINE" regedit /S "Z:${BACKUPS//\//\\}\\$B1" </dev/null >"$W/import.out" 2>&1
status=$?
il_wait_server "$P"
# Wine 8.0's regedit now and then dies of a page fault of its own while it
# imports (its crash handler then adds a WineDbg key): that import is
# undone from the hives of before it and run once more.
if grep -q "Unhandled page fault" "$W/import.out"; then
    echo "    NOTE: Wine's regedit crashed during the import ($(head -1 "$W/import.out")); once more"
    cp "$W/pre-import/"*.reg "$P/"
    WINEPREFIX="$P" "$IL_WINE" regedit /S "Z:${BACKUPS//\//\\}\\$B1" </dev/null >"$W/import.out" 2>&1
    status=$?
    il_wait_server "$P"
fi
il_check "Wine's regedit /S of the backup exits 0 (got $status)" test $status -eq 0
il_check "Wine's regedit /S of the backup reports no error" test ! -s "$W/import.out"
[ -s "$W/import.out" ] && head -20 "$W/import.out" | sed 's/^/    Wine: /'
il_check "Wine's regedit /E after the import" il_export "$P" "$W/e2.reg"
bk imported "$W/e0.reg" "$W/e1.reg" "$W/e1.reg" "$W/e2.reg" "$W/backup1.txt" "Wine's import of the backup"
# The registry as Wine's export e2 saw it: the repair below starts from these hives.
keep_hives "$W/hives.e2"

# ------------------------------------------------------------------------
il_log "two backups within one second"
# Each backup takes a fraction of a second: started at the beginning of a
# second, the second one starts in the second the first is named after.
for attempt in 1 2 3; do
    il_python -c 'import time; time.sleep(1.02 - time.time() % 1)'
    cli backup --json >"$W/pair1.json" 2>"$W/pair1.err"
    status1=$?
    first=$(il_python -c 'import json, sys; print(json.load(open(sys.argv[1])).get("file", ""))' "$W/pair1.json" 2>/dev/null)
    stat -c '%i %s %y' "$BACKUPS/$first" >"$W/pair1.stat" 2>&1
    cp "$BACKUPS/$first" "$W/pair1.bytes" 2>/dev/null
    second_start=$(date +%-H-%-M-%-S_%-d-%-m-%Y)
    cli backup --json >"$W/pair2.json" 2>"$W/pair2.err"
    status2=$?
    second=$(il_python -c 'import json, sys; print(json.load(open(sys.argv[1])).get("file", ""))' "$W/pair2.json" 2>/dev/null)
    [ "Backup_$second_start.reg" = "$first" ] && break
    echo "    attempt $attempt: the second backup started at $second_start, after the second of $first; again"
done
il_check "both backups exit 0 (got $status1, $status2)" test $status1 -eq 0 -a $status2 -eq 0
cat "$W/pair1.err" "$W/pair2.err" | sed 's/^/    stderr: /'
if [ "Backup_$second_start.reg" = "$first" ]; then
    echo "    the second backup started within the second of $first"
else
    echo "    NOTE: no second backup started within the first one's second; two backups a second apart were checked"
fi
echo "    first $first, second $second"
il_check "the two backups have two names" test -n "$first" -a -n "$second" -a "$first" != "$second"
il_check "the first backup is not overwritten: same inode, size, time and bytes" \
    bash -c 'stat -c "%i %s %y" "$1" | cmp -s - "$2" && cmp -s "$3" "$4"' _ \
    "$BACKUPS/$first" "$W/pair1.stat" "$W/pair1.bytes" "$BACKUPS/$first"
il_check "the second backup is a registry export too" \
    bash -c 'head -c 74 "$1" | cmp -s - <(printf "\xff\xfe"; printf "Windows Registry Editor Version 5.00" | iconv -t UTF-16LE)' \
    _ "$BACKUPS/$second"
il_check "the second backup holds the same registry as the first" cmp -s "$BACKUPS/$first" "$BACKUPS/$second"
cli backups --json >"$W/list2.json"
bk listed "$W/list2.json" "$BACKUPS" "$P" "backups after three backups"
il_check "the backups left the hives as Wine's export saw them" hives_as "$W/hives.e2"

# ------------------------------------------------------------------------
il_log "repair --backup when no backup can be made"
cli scan --only "$ROWS" --json >"$W/scan.json" 2>"$W/scan.err"
bk scan-findings "$W/scan.json" "the rows find something to repair"
# Each way in which the backup cannot be made; the repair must then not
# start. root writes into a read-only folder, so for root a registry editor
# that fails (/bin/false) stands for it.
failed_repair() {  # failed_repair WHAT REASON [ENV...]
    local what=$1 reason=$2 status
    shift 2
    il_snapshot "$P" "$W/p.before-failed.json"
    env "$@" "$CLI" --prefix "$P" repair --only "$ROWS" --backup --json >"$W/failed.json" 2>"$W/failed.err"
    status=$?
    il_snapshot "$P" "$W/p.after-failed.json"
    sed 's/^/    stderr: /' "$W/failed.err"
    il_check "$what: repair --backup exits non-zero (got $status)" test $status -ne 0
    il_check "$what: the error says the backup failed and why ($reason)" \
        bash -c 'grep -qi "backup" "$1" && grep -qF -- "$2" "$1"' _ "$W/failed.err" "$reason"
    il_check "$what: both hives unchanged, byte for byte" hives_as "$W/hives.e2"
    unchanged_but_folders "$W/p.before-failed.json" "$W/p.after-failed.json" \
        "$what: nothing in the prefix changed (new folders of the program aside)"
}
if [ "$(id -u)" -ne 0 ]; then
    chmod 0555 "$BACKUPS"
    failed_repair "read-only backups folder" "Permission denied"
    chmod 0755 "$BACKUPS"
else
    echo "    running as root, for whom a read-only folder takes writes: the registry editor is /bin/false"
    failed_repair "a registry editor that fails" "exit status 1" KESTRANE_REGEDIT=/bin/false
fi
mv "$BACKUPS" "$BACKUPS.away"
printf 'not a folder\r\n' >"$BACKUPS"
failed_repair "a file where the backups folder should be" "Not a directory"
rm -f "$BACKUPS"
mv "$BACKUPS.away" "$BACKUPS"

# ------------------------------------------------------------------------
il_log "repair --backup, then restore of its backup"
# e2 is Wine's export of exactly the hives the repair starts from.
if hives_as "$W/hives.e2"; then
    il_pass "the hives are the ones Wine's last export saw: it is the export of just before the repair"
    cp "$W/e2.reg" "$W/before-repair.reg"
else
    il_fail "the hives are the ones Wine's last export saw: it is the export of just before the repair"
    il_check "Wine's regedit /E before the repair" il_export "$P" "$W/before-repair.reg"
fi
keep_hives "$W/hives.before-repair"
cli backups --json >"$W/list.before-repair.json"
cli repair --only "$ROWS" --backup --json >"$W/repair.json" 2>"$W/repair.err"
status=$?
il_check "repair --backup exits 0 (got $status)" test $status -eq 0
[ -s "$W/repair.err" ] && sed 's/^/    stderr: /' "$W/repair.err"
cli backups --json >"$W/list.after-repair.json"
bk listed "$W/list.after-repair.json" "$BACKUPS" "$P" "backups after the repair"
NEW=$(il_python -c '
import json, sys
a, b = ({r["file"] for r in json.load(open(p))} for p in sys.argv[1:3])
print(" ".join(sorted(b - a)))' "$W/list.before-repair.json" "$W/list.after-repair.json")
bk newest "$W/list.after-repair.json" "$W/newest"
NEWEST=$(cat "$W/newest")
echo "    the repair's backup: ${NEW:-none}; the newest listed: $NEWEST"
il_check "the repair made one backup, the newest listed" test -n "$NEW" -a "$NEW" = "$NEWEST"
il_check "the repair's backup is a registry export" \
    bash -c 'head -c 74 "$1" | cmp -s - <(printf "\xff\xfe"; printf "Windows Registry Editor Version 5.00" | iconv -t UTF-16LE)' \
    _ "$BACKUPS/$NEWEST"
keep_hives "$W/hives.after-repair"
bk changed-hives "$W/hives.before-repair" "$W/hives.after-repair" "the repair changed the registry"

il_log "restore refused"
# What a refused restore would have loaded, were it loaded: the repair's
# backup, beside the backups folder and outside the prefix.
cp "$BACKUPS/$NEWEST" "$BACKUPS/../x.reg"
cp "$BACKUPS/$NEWEST" "$W/x.reg"
if il_server_up "$P"; then
    il_snapshot "$P" "$W/p.served.json"
    cli restore "$NEWEST" >"$W/served.out" 2>"$W/served.err"
    status=$?
    sed 's/^/    stderr: /' "$W/served.err"
    il_check "restore exits 4 while a wineserver serves the prefix (got $status)" test $status -eq 4
    il_check "  both hives unchanged, byte for byte" hives_as "$W/hives.after-repair"
    il_snapshot "$P" "$W/p.served.after.json"
    unchanged "$W/p.served.json" "$W/p.served.after.json" "  nothing in the prefix changed"
    il_server_down "$P"
    il_check "  the hives are still those of after the repair once the wineserver ended" \
        hives_as "$W/hives.after-repair"
else
    il_fail "a wineserver started for $P"
fi
il_snapshot "$P" "$W/p.refused.json"
for name in ../x.reg "$W/x.reg"; do
    (cd "$BACKUPS" && "$CLI" --prefix "$P" restore "$name") >"$W/refused.out" 2>"$W/refused.err"
    status=$?
    sed 's/^/    stderr: /' "$W/refused.err"
    il_check "restore $name exits 2 (got $status)" test $status -eq 2
    (cd "$BACKUPS" && "$CLI" --prefix "$P" delete-backup "$name") >"$W/refused.out" 2>"$W/refused.err"
    status=$?
    sed 's/^/    stderr: /' "$W/refused.err"
    il_check "delete-backup $name exits 2 (got $status)" test $status -eq 2
done
cli restore NoSuch.reg >"$W/nosuch.out" 2>"$W/nosuch.err"
status=$?
sed 's/^/    stderr: /' "$W/nosuch.err"
il_check "restore NoSuch.reg fails (got $status) and names it" \
    bash -c '[ "$1" -ne 0 ] && grep -q NoSuch.reg "$2"' _ $status "$W/nosuch.err"
il_snapshot "$P" "$W/p.refused.after.json"
unchanged "$W/p.refused.json" "$W/p.refused.after.json" \
    "the refused restores and deletes changed nothing in the prefix (../x.reg still there)"
il_check "$W/x.reg is still there" test -f "$W/x.reg"
rm -f "$BACKUPS/../x.reg"

il_log "restore $NEWEST"
il_snapshot "$P" "$W/p.before-restore.json"
cli restore "$NEWEST" >"$W/restore.out" 2>"$W/restore.err"
status=$?
sed 's/^/    /' "$W/restore.out" "$W/restore.err"
il_check "restore exits 0 (got $status)" test $status -eq 0
il_snapshot "$P" "$W/p.after-restore.json"
diff=$(il_snapshot_diff "$W/p.before-restore.json" "$W/p.after-restore.json")
others=$(printf '%s\n' "$diff" | grep . | grep -vx -e '~ system.reg' -e '~ user.reg')
if [ -z "$others" ]; then
    il_pass "the restore wrote nothing but the hives"
else
    il_fail "the restore wrote nothing but the hives"
    printf '%s\n' "$others" | head -20 | sed 's/^/      /'
fi
bk headers "$P" "$W/hives.before-repair" "after the restore"
keep_hives "$W/hives.after-restore"
bk same-hives "$W/hives.before-repair" "$W/hives.after-restore" \
    "after the restore the hives hold the keys and values of before the repair"
il_check "Wine's regedit /E after the restore" il_export "$P" "$W/after-restore.reg"
bk same-export "$W/e0.reg" "$W/e1.reg" "$W/before-repair.reg" "$W/after-restore.reg" "after the restore"

# ------------------------------------------------------------------------
il_log "delete-backup $first"
il_snapshot "$P" "$W/p.before-delete.json"
cli delete-backup "$first" >"$W/delete.out" 2>"$W/delete.err"
status=$?
sed 's/^/    stderr: /' "$W/delete.err"
il_check "delete-backup exits 0 (got $status)" test $status -eq 0
il_snapshot "$P" "$W/p.after-delete.json"
diff=$(il_snapshot_diff "$W/p.before-delete.json" "$W/p.after-delete.json")
if [ "$diff" = "- drive_c/Program Files/Kestrane Professional/Backups/$first" ]; then
    il_pass "delete-backup removed exactly $first"
else
    il_fail "delete-backup removed exactly $first"
    printf '%s\n' "$diff" | head -20 | sed 's/^/      /'
fi
cli backups --json >"$W/list.after-delete.json"
bk listed "$W/list.after-delete.json" "$BACKUPS" "$P" "backups after the delete"

# ------------------------------------------------------------------------
il_log "optimize"
# The optimizer's walk only reads: every file of the prefix stays as it is,
# the hives not even rewritten, and Wine's export does not change.
il_snapshot "$P" "$W/p.before-optimize.json"
stamps_before=$(stat -c '%n %Y.%y' "$P/system.reg" "$P/user.reg")
cli optimize >"$W/optimize.out" 2>"$W/optimize.err"
status=$?
sed 's/^/    /' "$W/optimize.out"
sed 's/^/    stderr: /' "$W/optimize.err"
il_check "optimize exits 0 (got $status)" test $status -eq 0
il_check "optimize ends with its completion texts" grep -qx 'Optimize Complete: Two Hives Completed' "$W/optimize.out"
il_snapshot "$P" "$W/p.after-optimize.json"
diff=$(il_snapshot_diff "$W/p.before-optimize.json" "$W/p.after-optimize.json")
il_check "optimize changes no file of the prefix" test -z "$diff"
[ -z "$diff" ] || printf '%s\n' "$diff" | head -20 | sed 's/^/      /'
il_check "optimize leaves the hives' modification times as they were" \
    test "$stamps_before" = "$(stat -c '%n %Y.%y' "$P/system.reg" "$P/user.reg")"
il_check "Wine's regedit /E after the optimizer" il_export "$P" "$W/after-optimize.reg"
bk same-export "$W/e0.reg" "$W/e1.reg" "$W/after-restore.reg" "$W/after-optimize.reg" "after the optimizer"

echo
echo "took $(( $(date +%s) - START )) s"
il_summary
