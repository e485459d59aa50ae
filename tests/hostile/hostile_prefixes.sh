#!/usr/bin/env bash
# Prefixes made to mislead kestrane-cli: drive links out of the prefix, a
# drive_c that is a link, user folders that are links into the home folder,
# link loops, ".." in registry values, file names that are not UTF-8 or hold
# newlines, backslashes and wildcards, a folder tree 5,000 levels deep, a
# sparse 3 GB memory dump, 200,000 files in one folder and a hive of a
# million keys.
#
# Usage: hostile_prefixes.sh KESTRANE_CLI
#
# Everything happens in a work folder under /tmp, with HOME pointing to a fake
# home inside it and a sentinel folder beside it. For each prefix it runs
#   kestrane-cli --prefix P scan --json --only 1,...,20
#   kestrane-cli --prefix P scan --applications --json
#   kestrane-cli --prefix P repair --no-backup --json --only 1,...,20
#   kestrane-cli --prefix P repair --applications --no-backup --json
# each under /usr/bin/time -v, and checks:
#   - the exit status (0), that stdout is one JSON object, the maximum RSS;
#   - every file row (its "Path Location" and name mapped through the
#     prefix's dosdevices/ as Wine maps them): the file is there, its real
#     folder lies inside the prefix's real drive_c, its size column is the
#     file's size as the program formats sizes;
#   - the files the case expects to be found are listed, the ones it
#     expects to be left alone are not;
#   - after the repair, no file listed as a finding is left;
#   - nothing outside drive_c changed: the fake home, the sentinel folder,
#     the prefix without drive_c (the hive files may be rewritten by a
#     registry repair: only their presence is compared).
# It prints each case's times and maximum RSS, every failed check with what
# differed, and exits 1 when any check failed.
#
# HOSTILE_CASES="1 6b" runs only those cases. KESTRANE_HOSTILE_BASE names a
# Wine-made prefix that some cases copy for realism (default
# /tmp/kst-final/prefix); without it they copy the program's demo prefix.
# HOSTILE_KEEP=1 keeps the work folders for a look afterwards.

set -u -o pipefail

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
    echo "usage: $0 KESTRANE_CLI" >&2
    exit 2
fi
CLI=$(readlink -f "$1")
for tool in python3 /usr/bin/time find truncate; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed."
        exit 77
    fi
done

ROOT=$(mktemp -d /tmp/kestrane-hostile.XXXXXX) || exit 1
SENT=$(mktemp -d /tmp/kestrane-sentinel.XXXXXX) || exit 1
cleanup() {
    if [ -n "${HOSTILE_KEEP:-}" ]; then
        echo "kept: $ROOT $SENT"
        return
    fi
    chmod -R u+rwx "$ROOT" "$SENT" 2>/dev/null
    rm -rf "$ROOT" "$SENT"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

export HOME="$ROOT/home"
unset WINEPREFIX XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME/Documents" "$HOME/.config" "$HOME/.local/share/Trash/files" "$HOME/.local/share/Trash/info"
echo "my own letter" >"$HOME/Documents/letter.txt"
echo "sentinel" >"$SENT/keep.txt"

ALL_ROWS=$(seq -s, 1 20)
# A sanitized build holds shadow memory and freed blocks besides its own:
# its limits are KESTRANE_RSS_SCALE times as high.
RSS_SCALE=${KESTRANE_RSS_SCALE:-1}
RSS_LIMIT_KB=$((1024 * 1024 * RSS_SCALE))
BASE=${KESTRANE_HOSTILE_BASE:-/tmp/kst-final/prefix}
PY=$ROOT/hostile.py
SUMMARY=$ROOT/summary
FAILURES=0
CASE=
W=
: >"$SUMMARY"

# ---------------------------------------------------------------- Python part

cat >"$PY" <<'PYEOF'
import json, os, stat, sys

GB, MB, KB = 1073741824, 1048576, 1024


def size_text(n):
    # As the program writes a size: two decimals from 1 KB on.
    if n // GB:
        return "%.2f GB" % (n / GB)
    if n // MB:
        return "%.2f MB" % (n / MB)
    if n // KB:
        return "%.2f KB" % (n / KB)
    return "%d bytes" % n


def replaced(text):
    """The text with each run of U+FFFD as one."""
    out = []
    for ch in text:
        if ch == "\ufffd" and out and out[-1] == ch:
            continue
        out.append(ch)
    return "".join(out)


def shown(b):
    return repr(b)[1:] if isinstance(b, bytes) else repr(b)


def read_nul(path):
    if not os.path.exists(path):
        return []
    data = open(path, "rb").read()
    return [p for p in data.split(b"\0") if p]


def write_nul(path, items):
    with open(path, "wb") as f:
        for p in items:
            f.write(p + b"\0")


class Prefix:
    """Windows paths of a prefix mapped to host paths as Wine maps them:
    the drive through dosdevices/, '.' and '..' applied, trailing blanks and
    dots dropped, each component the exact name or else one equal without
    regard to case."""

    def __init__(self, prefix):
        self.prefix = os.fsencode(prefix)
        self.listings = {}

    def drive(self, letter):
        link = os.path.join(self.prefix, b"dosdevices", letter.lower().encode() + b":")
        try:
            target = os.readlink(link)
        except OSError:
            return link if os.path.isdir(link) else None
        if not target.startswith(b"/"):
            target = os.path.join(self.prefix, b"dosdevices", target)
        return os.path.normpath(target)

    def listing(self, folder):
        if folder not in self.listings:
            try:
                self.listings[folder] = os.listdir(folder)
            except OSError:
                self.listings[folder] = []
        return self.listings[folder]

    def lookup(self, folder, comp):
        exact = comp.encode("utf-8", "surrogateescape")
        if os.path.lexists(os.path.join(folder, exact)):
            return exact
        # A name that is not UTF-8 reaches the report with its bad bytes
        # replaced: one U+FFFD for each, or for each bad sequence.
        want = replaced(comp)
        matches = [e for e in self.listing(folder) if replaced(e.decode("utf-8", "replace")) == want]
        if not matches:
            low = want.casefold()
            matches = [e for e in self.listing(folder) if replaced(e.decode("utf-8", "replace")).casefold() == low]
        return matches[0] if matches else None

    def host(self, win):
        if len(win) < 2 or win[1] != ":":
            return None
        root = self.drive(win[0])
        if root is None:
            return None
        comps = []
        for c in win[2:].replace("/", "\\").split("\\"):
            if c not in (".", ".."):
                c = c.rstrip(" .")
            if c in ("", "."):
                continue
            if c == "..":
                if comps:
                    comps.pop()
                continue
            comps.append(c)
        host, resolving = root, True
        for c in comps:
            found = self.lookup(host, c) if resolving else None
            if found is None:
                resolving = False
                found = c.encode("utf-8", "surrogateescape")
            host = os.path.join(host, found)
        return host


def file_rows(report):
    """(list, caption, Windows path, size text or None) of every row that
    names a file: the file lists of the computer and the applications'
    lists that hold files."""
    for name, lst in report["lists"].items():
        cols = [c["caption"] for c in lst["columns"]]
        for row in lst["rows"]:
            sub = row["subitems"]
            if cols == ["File Names", "Repair Report", "Detail Info", "Path Location", "Size"]:
                yield name, row["caption"], sub[2] + row["caption"], sub[3]
            elif cols[:2] == ["File Name", "File Location"] and sub[1] != "Registry Data":
                yield name, row["caption"], sub[0] + row["caption"], sub[3] if len(cols) == 5 else None


def tree_bytes(host):
    """The bytes of the regular files below a folder, links neither counted
    nor followed; walked through open folders, so that no path grows with
    the depth of the tree."""
    total = 0
    stack = [os.open(host, os.O_RDONLY | os.O_DIRECTORY | os.O_NOFOLLOW)]
    while stack:
        fd = stack.pop()
        try:
            for e in os.scandir(fd):
                st = os.stat(e.name, dir_fd=fd, follow_symlinks=False)
                if stat.S_ISREG(st.st_mode):
                    total += st.st_size
                elif stat.S_ISDIR(st.st_mode):
                    stack.append(os.open(e.name, os.O_RDONLY | os.O_DIRECTORY | os.O_NOFOLLOW, dir_fd=fd))
        finally:
            os.close(fd)
    return total


def real_size(host):
    try:
        st = os.stat(host)  # a link counts as what it points to, as the program counts it
    except OSError:
        return 0
    if stat.S_ISDIR(st.st_mode):
        # A folder (never a link to one) shows the files in it.
        return 0 if os.path.islink(host) else tree_bytes(host)
    return st.st_size


def inside(child, parent):
    return child == parent or child.startswith(parent.rstrip(b"/") + b"/")


def cmd_report(json_path, prefix, found_out, rows_out):
    """Checks one report; writes the host paths of its file rows."""
    failures = []
    try:
        with open(json_path, "rb") as f:
            report = json.load(f)
    except Exception as e:  # noqa: BLE001 - any parse failure is the finding
        print("FAIL: stdout is not one JSON object: %s (%d bytes)" % (e, os.path.getsize(json_path)))
        write_nul(found_out, [])
        open(rows_out, "w").write("0 0\n")
        return 1
    pfx = Prefix(prefix)
    drive_c = os.path.realpath(os.path.join(pfx.prefix, b"drive_c"))
    real_dirs = {}
    found, total = [], 0
    for lst in report["lists"].values():
        total += len(lst["rows"])
    for lst, caption, win, size in file_rows(report):
        host = pfx.host(win)
        if host is None:
            failures.append("%s: %r maps to no host path" % (lst, win))
            continue
        found.append(host)
        if not os.path.lexists(host):
            failures.append("%s: %r listed, but %s does not exist" % (lst, win, shown(host)))
            continue
        parent = os.path.dirname(host)
        if parent not in real_dirs:
            real_dirs[parent] = os.path.realpath(parent)
        if not inside(real_dirs[parent], drive_c):
            failures.append("%s: %r offered for deletion, but it lies in %s, outside drive_c (%s)"
                            % (lst, win, shown(real_dirs[parent]), shown(drive_c)))
        if size is not None:
            want = size_text(real_size(host))
            if size != want:
                failures.append("%s: %r shows size %r, the file has %r" % (lst, win, size, want))
    write_nul(found_out, found)
    open(rows_out, "w").write("%d %d\n" % (total, len(found)))
    for f in failures[:40]:
        print("FAIL: " + f)
    if len(failures) > 40:
        print("FAIL: ... and %d more" % (len(failures) - 40))
    return 1 if failures else 0


def cmd_gone(found_file):
    """Every file listed as a finding is gone after the repair."""
    left = [p for p in read_nul(found_file) if os.path.lexists(p)]
    for p in left[:40]:
        if os.path.islink(p):
            kind = "link to a folder" if os.path.isdir(p) else "link"
        else:
            kind = "folder" if os.path.isdir(p) else "file"
        print("FAIL: listed as a finding, still there after the repair (%s): %s" % (kind, shown(p)))
    if len(left) > 40:
        print("FAIL: ... and %d more" % (len(left) - 40))
    return 1 if left else 0


def cmd_expect(found_files, expected_file, kept_file):
    found = set()
    for f in found_files.split(","):
        found.update(read_nul(f))
    bad = 0
    for p in read_nul(expected_file):
        if p not in found:
            print("FAIL: not listed, though the scan should find it: %s" % shown(p))
            bad = 1
    for p in read_nul(kept_file):
        if p in found:
            print("FAIL: listed, though it is not the category's and must stay: %s" % shown(p))
            bad = 1
    return bad


def cmd_exist(kind, listed_file):
    """'gone': each path is gone; 'kept': each path is still there."""
    bad = 0
    for p in read_nul(listed_file):
        there = os.path.lexists(p)
        if kind == "gone" and there:
            print("FAIL: expected to be deleted by the repair, still there: %s" % shown(p))
            bad = 1
        if kind == "kept" and not there:
            print("FAIL: must stay, but the repair deleted it: %s" % shown(p))
            bad = 1
    return bad


def reg_escape(s):
    return s.replace("\\", "\\\\").replace('"', '\\"')


def cmd_regset(path, key, name, value):
    """Sets one string value in a Wine registry file (its key made when missing)."""
    lines = open(path, encoding="utf-8", errors="surrogateescape").read().split("\n")
    header = "[" + reg_escape(key) + "]"
    start = next((i for i, l in enumerate(lines) if l.lower().startswith(header.lower() + " ")
                  or l.lower() == header.lower()), None)
    entry = '"%s"="%s"' % (reg_escape(name), reg_escape(value))
    if start is None:
        if lines and lines[-1] == "":
            lines.pop()
        lines += ["", header + " 1700000000", entry, ""]
    else:
        end = start + 1
        while end < len(lines) and not lines[end].startswith("["):
            end += 1
        prefix = ('"%s"=' % reg_escape(name)).lower()
        for i in range(start + 1, end):
            if lines[i].lower().startswith(prefix):
                lines[i] = entry
                break
        else:
            at = start + 1
            if at < len(lines) and lines[at].startswith("#time="):
                at += 1
            lines.insert(at, entry)
    open(path, "w", encoding="utf-8", errors="surrogateescape").write("\n".join(lines))
    return 0


def cmd_regdel(path, key, name):
    """Deletes one value of a key in a Wine registry file, if it is there."""
    lines = open(path, encoding="utf-8", errors="surrogateescape").read().split("\n")
    header = ("[" + reg_escape(key) + "]").lower()
    prefix = ('"%s"=' % reg_escape(name)).lower()
    inside, out = False, []
    for l in lines:
        if l.startswith("["):
            inside = l.lower() == header or l.lower().startswith(header + " ")
        elif inside and l.lower().startswith(prefix):
            continue
        out.append(l)
    open(path, "w", encoding="utf-8", errors="surrogateescape").write("\n".join(out))
    return 0


def cmd_profile_user(prefix):
    """The profile folder's name of the prefix's user, from Shell Folders AppData."""
    text = open(os.path.join(prefix, "user.reg"), encoding="utf-8", errors="replace").read()
    for line in text.split("\n"):
        if line.startswith('"AppData"="C:\\\\users\\\\'):
            print(line.split("\\\\")[2])
            return 0
    return 1


def cmd_deep(folder, levels, name):
    os.chdir(folder)
    for _ in range(int(levels)):
        os.mkdir(name)
        os.chdir(name)
    with open("bottom.tmp", "w") as f:
        f.write("the bottom\n")
    return 0


def cmd_many(folder, count):
    for i in range(int(count)):
        fd = os.open(os.path.join(folder, "f%06d.tmp" % i), os.O_CREAT | os.O_WRONLY, 0o644)
        os.ftruncate(fd, i % 3000)
        os.close(fd)
    return 0


def cmd_big_hive(path, keys, every):
    """A machine hive of `keys` keys below Software\\VendorNN\\GroupNNNN, each
    with a few values; one key in `every` names a missing program."""
    keys, every = int(keys), int(every)
    with open(path, "w", newline="\n") as f:
        f.write("WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n")
        f.write('[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1700000000\n"SystemRoot"="C:\\\\windows"\n\n')
        # The program-files folder: the repair's undo file goes below it.
        f.write('[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000000\n'
                '"ProgramFilesDir"="C:\\\\Program Files"\n\n')
        buf = []
        for i in range(keys):
            g = i // 1000
            buf.append('[Software\\\\Vendor%02d\\\\Group%04d\\\\Key%07d] 1700000000\n#time=1d9f0c0a0b0c0d0\n'
                       '"Name"="Item %d"\n"Count"=dword:%08x\n"Data"=hex:01,02,03,04\n' % (g % 10, g, i, i, i))
            if i % every == 0:
                buf.append('"Path"="C:\\\\Program Files\\\\Vendor\\\\app%07d.exe"\n' % i)
            buf.append("\n")
            if len(buf) > 20000:
                f.write("".join(buf))
                buf = []
        f.write("".join(buf))
    return 0


def cmd_count(json_path, list_name):
    report = json.load(open(json_path, "rb"))
    print(len(report["lists"].get(list_name, {"rows": []})["rows"]))
    return 0


def cmd_rows(json_path, list_name):
    report = json.load(open(json_path, "rb"))
    for row in report["lists"].get(list_name, {"rows": []})["rows"]:
        print(json.dumps([row["caption"]] + row["subitems"], ensure_ascii=True))
    return 0


if __name__ == "__main__":
    cmd, args = sys.argv[1], sys.argv[2:]
    sys.exit(globals()["cmd_" + cmd.replace("-", "_")](*args))
PYEOF

py() { python3 "$PY" "$@"; }

# ---------------------------------------------------------------- helpers

log() { printf '%s\n' "$*"; }

fail() {
    FAILURES=$((FAILURES + 1))
    printf 'FAIL [%s]: %s\n' "$CASE" "$*"
}

# Counts the FAIL lines a checker printed (and prints them with the case).
checked() {  # checked OUTPUT_FILE
    local n
    n=$(grep -c '^FAIL' "$1")
    if [ "$n" -gt 0 ]; then
        FAILURES=$((FAILURES + n))
        sed "s/^FAIL:/FAIL [$CASE]:/" "$1"
    fi
}

case_begin() {  # case_begin ID DESCRIPTION
    CASE=$1
    W=$ROOT/work/$1
    mkdir -p "$W"
    EXPECT_FOUND=()
    EXPECT_KEPT=()
    SNAP_EXCLUDE=()
    EXPECT_STATUS=0
    CASE_START=$(date +%s.%N)
    log ""
    log "===== case $1: $2"
}

case_end() {
    local secs
    secs=$(python3 -c "import sys; print('%.1f' % (float(sys.argv[2]) - float(sys.argv[1])))" "$CASE_START" "$(date +%s.%N)")
    log "----- case $CASE done in ${secs} s (prefix built and cleaned up included)"
    if [ -n "${HOSTILE_KEEP:-}" ]; then
        mv "$ROOT/p" "$ROOT/work/$CASE/prefix" 2>/dev/null
        mv "$ROOT/elsewhere" "$ROOT/work/$CASE/elsewhere" 2>/dev/null
    fi
    rm -rf "$ROOT/p" "$ROOT/elsewhere"
    # The reports of the big cases take hundreds of megabytes.
    [ -n "${HOSTILE_KEEP:-}" ] || rm -f "$ROOT/work/$CASE"*/*.json "$ROOT/work/$CASE"*/*.found
    rm -rf "$SENT/case"
    find "$HOME/.local/share/Trash/files" "$HOME/.local/share/Trash/info" -mindepth 1 -delete 2>/dev/null
}

wanted() {  # wanted ID: whether HOSTILE_CASES lets the case run
    [ -z "${HOSTILE_CASES:-}" ] && return 0
    local c
    for c in $HOSTILE_CASES; do
        [ "$c" = "$1" ] && return 0
        [ "$c" = "${1%%[a-z]}" ] && return 0
    done
    return 1
}

# Runs kestrane-cli under /usr/bin/time -v: TAG.json (stdout), TAG.err,
# TAG.time in the case folder; checks the exit status and the RSS.
run_cli() {  # run_cli TAG WANTED_STATUS ARGS...
    local tag=$1 want=$2
    shift 2
    local t0 t1 rc rss secs
    t0=$(date +%s.%N)
    /usr/bin/time -v -o "$W/$tag.time" "$CLI" "$@" >"$W/$tag.json" 2>"$W/$tag.err"
    rc=$?
    t1=$(date +%s.%N)
    rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$W/$tag.time")
    secs=$(python3 -c "import sys; print('%.2f' % (float(sys.argv[2]) - float(sys.argv[1])))" "$t0" "$t1")
    LAST_RC=$rc
    LAST_RSS=$rss
    LAST_SECS=$secs
    if [ "$rc" != "$want" ]; then
        fail "$tag: exit status $rc, expected $want; stderr: $(head -c 600 "$W/$tag.err" | tr '\n' ' ')"
    fi
    if [ -n "$rss" ] && [ "$rss" -ge "$RSS_LIMIT_KB" ]; then
        fail "$tag: maximum RSS ${rss} KB, over the limit of ${RSS_LIMIT_KB} KB"
    fi
}

# Checks a report (JSON, file rows) and writes TAG.found and TAG.rows.
check_report() {  # check_report TAG PREFIX
    py report "$W/$1.json" "$2" "$W/$1.found" "$W/$1.rows" >"$W/$1.check" 2>&1
    checked "$W/$1.check"
    read -r ROWS FILES <"$W/$1.rows"
    printf '%-8s %-12s status %-3s rows %-7s files %-7s RSS %8s KB  %6s s\n' \
        "$CASE" "$1" "$LAST_RC" "$ROWS" "$FILES" "$LAST_RSS" "$LAST_SECS" | tee -a "$SUMMARY"
}

# The prefix without drive_c, the fake home and the sentinel folder: path,
# size, modification time and inode of each entry (no link followed). The
# hive files and the prefix folder itself: their path only, since a repair
# of the registry rewrites the hives (a new file renamed over the old one).
snapshot() {  # snapshot OUT PREFIX [MORE FOLDERS...]
    local out=$1 p=$2
    shift 2
    {
        find "$HOME" "$SENT" "$@" -printf '%p %s %T@ %i\n'
        find "$p" -path "$p/drive_c" -prune -o \
            \( -path "$p" -o -path "$p/system.reg" -o -path "$p/user.reg" -o -path "$p/userdef.reg" \) -printf '%p\n' \
            -o -printf '%p %s %T@ %i\n'
    } 2>"$out.err" | LC_ALL=C sort >"$out"
    [ -s "$out.err" ] && log "note: snapshot: $(head -c 300 "$out.err")"
    [ -e "$p/drive_c" ] || [ -L "$p/drive_c" ] || fail "snapshot: the prefix has no drive_c"
}

# Entries the case lets change (SNAP_EXCLUDE: line starts) are left out.
compare_snapshots() {  # compare_snapshots BEFORE AFTER
    local s
    for s in "$1" "$2"; do
        if [ ${#SNAP_EXCLUDE[@]} -gt 0 ]; then
            grep -v -F "${SNAP_EXCLUDE[@]/#/-e}" "$s" >"$s.compared"
        else
            cp "$s" "$s.compared"
        fi
    done
    if ! diff "$1.compared" "$2.compared" >"$W/snapshot.diff"; then
        fail "something outside drive_c changed (< before, > after):"
        head -40 "$W/snapshot.diff" | sed 's/^/    /'
    fi
}

# Scans and repairs the prefix, with every check. EXPECT_FOUND: host paths
# that must be listed and deleted; EXPECT_KEPT: host paths inside drive_c
# that must be neither listed nor deleted; EXPECT_STATUS: the exit status of
# every run. More folders to snapshot may follow.
exercise() {  # exercise PREFIX [MORE FOLDERS...]
    local p=$1
    shift
    printf '%s\0' "${EXPECT_FOUND[@]+"${EXPECT_FOUND[@]}"}" >"$W/expect.found"
    printf '%s\0' "${EXPECT_KEPT[@]+"${EXPECT_KEPT[@]}"}" >"$W/expect.kept"
    snapshot "$W/before" "$p" "$@"

    # The computer's rows, then the applications' (after the computer's
    # repair, which may remove an application's emptied keys and so its list).
    run_cli scan "$EXPECT_STATUS" --prefix "$p" scan --json --only "$ALL_ROWS"
    check_report scan "$p"
    run_cli repair "${EXPECT_REPAIR_STATUS:-$EXPECT_STATUS}" --prefix "$p" repair --no-backup --json --only "$ALL_ROWS"
    check_report repair "$p"
    py gone "$W/scan.found" >"$W/gone.check"
    checked "$W/gone.check"

    run_cli apps "$EXPECT_STATUS" --prefix "$p" scan --applications --json
    check_report apps "$p"
    run_cli repair-apps "$EXPECT_STATUS" --prefix "$p" repair --applications --no-backup --json
    check_report repair-apps "$p"
    py gone "$W/apps.found" >"$W/gone-apps.check"
    checked "$W/gone-apps.check"

    py expect "$W/scan.found,$W/apps.found" "$W/expect.found" "$W/expect.kept" >"$W/expect.check"
    checked "$W/expect.check"
    py exist gone "$W/expect.found" >"$W/exist.check"
    py exist kept "$W/expect.kept" >>"$W/exist.check"
    checked "$W/exist.check"

    snapshot "$W/after" "$p" "$@"
    compare_snapshots "$W/before" "$W/after"
}

# The registry file text of a hive header.
hive_header() {  # hive_header machine|user
    if [ "$1" = machine ]; then
        printf 'WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n'
    else
        printf 'WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n'
    fi
}

SHELL_FOLDERS='Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'

# A small prefix of user "kuser": both hives with the values that name the
# system and user folders, drive_c with those folders, dosdevices/c: and z:.
make_prefix() {  # make_prefix DIR
    local p=$1 u='C:\users\kuser'
    mkdir -p "$p/dosdevices"
    ln -s ../drive_c "$p/dosdevices/c:"
    ln -s / "$p/dosdevices/z:"
    hive_header machine >"$p/system.reg"
    hive_header user >"$p/user.reg"
    py regset "$p/system.reg" 'Software\Microsoft\Windows NT\CurrentVersion' SystemRoot 'C:\windows'
    py regset "$p/system.reg" 'Software\Microsoft\Windows NT\CurrentVersion' ProductName 'Microsoft Windows 10'
    py regset "$p/system.reg" 'Software\Microsoft\Windows\CurrentVersion' ProgramFilesDir 'C:\Program Files'
    py regset "$p/system.reg" 'Software\Microsoft\Windows\CurrentVersion' CommonFilesDir 'C:\Program Files\Common Files'
    py regset "$p/user.reg" 'Environment' TEMP "$u\\Temp"
    py regset "$p/user.reg" 'Environment' TMP "$u\\Temp"
    py regset "$p/user.reg" "$SHELL_FOLDERS" AppData "$u\\AppData\\Roaming"
    py regset "$p/user.reg" "$SHELL_FOLDERS" 'Local AppData' "$u\\AppData\\Local"
    py regset "$p/user.reg" "$SHELL_FOLDERS" Recent "$u\\AppData\\Roaming\\Microsoft\\Windows\\Recent"
    py regset "$p/user.reg" "$SHELL_FOLDERS" Cookies "$u\\AppData\\Local\\Microsoft\\Windows\\INetCookies"
    py regset "$p/user.reg" "$SHELL_FOLDERS" Cache "$u\\AppData\\Local\\Microsoft\\Windows\\INetCache"
    py regset "$p/user.reg" "$SHELL_FOLDERS" History "$u\\AppData\\Local\\Microsoft\\Windows\\History"
    make_tree "$p/drive_c" kuser
}

# The folders of a prefix's drive_c that the registry values above name.
make_tree() {  # make_tree DRIVE_C USER
    local c=$1 home="$1/users/$2"
    mkdir -p "$c/windows/Temp" "$c/windows/MiniDump" "$c/windows/system32" "$c/windows/Debug" \
        "$c/Program Files/Common Files" "$home/Temp" "$home/Documents" \
        "$home/AppData/Roaming/Microsoft/Windows/Recent" \
        "$home/AppData/Local/Microsoft/Windows/INetCookies" \
        "$home/AppData/Local/Microsoft/Windows/INetCache/Content.IE5" \
        "$home/AppData/Local/Microsoft/Windows/History/History.IE5"
}

# Removes the paths matching a grep pattern from EXPECT_FOUND.
drop_expected() {  # drop_expected GREP_ARGS...
    local kept=() f
    for f in "${EXPECT_FOUND[@]+"${EXPECT_FOUND[@]}"}"; do
        printf '%s\n' "$f" | grep -q "$@" || kept+=("$f")
    done
    EXPECT_FOUND=("${kept[@]+"${kept[@]}"}")
}

# One finding of each file category in the folders of make_tree, added to
# EXPECT_FOUND.
seed_findings() {  # seed_findings DRIVE_C USER
    local c=$1 home="$1/users/$2" f
    local local="$home/AppData/Local/Microsoft/Windows"
    mkdir -p "$local/INetCache/Content.IE5/AB12CD34" "$local/History/History.IE5/MSHist012020010120200108"
    for f in "$c/windows/Temp/sys.tmp" "$home/Temp/user.tmp" "$c/windows/memory.dmp" \
        "$c/windows/MiniDump/mini.dmp" "$c/FILE0001.CHK" "$c/windows/setupapi.log" "$c/windows/Debug/x.log" \
        "$home/AppData/Roaming/Microsoft/Windows/Recent/letter.txt.lnk" \
        "$local/INetCookies/$2@ads.example[1].txt" \
        "$local/INetCache/Content.IE5/AB12CD34/banner[1].gif" \
        "$local/History/History.IE5/MSHist012020010120200108/visit.htm"; do
        printf 'finding %s\n' "${f##*/}" >"$f"
        EXPECT_FOUND+=("$f")
    done
}

# A copy of the Wine-made base prefix (or of the demo prefix) at DIR; prints
# its user's profile folder name.
copy_base() {  # copy_base DIR
    if [ -f "$BASE/system.reg" ] && [ -d "$BASE/drive_c" ]; then
        cp -a "$BASE" "$1"
    else
        if [ ! -d "$ROOT/demo/prefix" ]; then
            mkdir -p "$ROOT/demo"
            HOME="$ROOT/demo" XDG_DATA_HOME="$ROOT/demo/share" "$CLI" --demo-reset scan >/dev/null 2>&1
            mv "$ROOT/demo/share/kestrane/demo-prefix" "$ROOT/demo/prefix"
            rm -rf "$ROOT/demo/share"
            rm -f "$ROOT/demo/prefix/.kestrane-demo"
            rm -rf "$ROOT/demo/prefix/.Trash-demo"
            # Shaped like a prefix Wine made: no "Local Settings" folder, so
            # the user's temporary folder is the TEMP of the environment,
            # in the profile as Wine sets it.
            py regdel "$ROOT/demo/prefix/user.reg" "$SHELL_FOLDERS" 'Local Settings'
            py regset "$ROOT/demo/prefix/user.reg" Environment TEMP 'C:\users\demo\Temp'
            py regset "$ROOT/demo/prefix/user.reg" Environment TMP 'C:\users\demo\Temp'
            mkdir -p "$ROOT/demo/prefix/drive_c/users/demo/Temp"
        fi
        cp -a "$ROOT/demo/prefix" "$1"
    fi
    py profile-user "$1"
}

# ---------------------------------------------------------------- the cases

# 1: dosdevices links out of the prefix. z: -> / as Wine makes it, h: -> the
# fake home; the user's folders named through H: and Z:. Nothing there may be
# offered or deleted, while the findings inside drive_c still are.
case_1() {
    case_begin 1 "drive links: z: -> /, h: -> the home folder, user folders through H: and Z:"
    local p=$ROOT/p user
    user=$(copy_base "$p")
    ln -sfn / "$p/dosdevices/z:"
    ln -s "$HOME" "$p/dosdevices/h:"
    mkdir -p "$HOME/secret/Content.IE5/AB12CD34" "$HOME/secret/History.IE5/MSHist012020010120200108" \
        "$HOME/appdata/Opera/Opera/profile/cache4" "$HOME/appdata/Macromedia/Flash Player/site.com" \
        "$HOME/appdata/Microsoft/Office/Recent" "$SENT/case/cookies"
    for f in home.tmp doc.lnk me@ads.example.txt memory.dmp; do echo "mine" >"$HOME/secret/$f"; done
    echo "mine" >"$HOME/secret/Content.IE5/AB12CD34/pic[1].gif"
    echo "mine" >"$HOME/secret/History.IE5/MSHist012020010120200108/page.htm"
    echo "mine" >"$HOME/appdata/Opera/Opera/profile/cookies4.dat"
    echo "mine" >"$HOME/appdata/Opera/Opera/profile/cache4/opr0001.tmp"
    echo "mine" >"$HOME/appdata/Microsoft/Office/Recent/Budget.xls.LNK"
    echo "mine" >"$SENT/case/cookies/me@doubleclick.txt"
    local shell=$SHELL_FOLDERS
    py regset "$p/user.reg" Environment TEMP 'H:\secret'
    py regset "$p/user.reg" Environment TMP 'H:\secret'
    py regset "$p/user.reg" "$shell" Recent 'H:\secret'
    py regset "$p/user.reg" "$shell" Cache 'H:\secret'
    py regset "$p/user.reg" "$shell" History 'H:\secret'
    py regset "$p/user.reg" "$shell" Cookies "Z:${SENT//\//\\}\\case\\cookies"
    py regset "$p/user.reg" "$shell" AppData 'H:\appdata'
    py regset "$p/user.reg" "$shell" 'Local AppData' 'H:\appdata'
    # The system's own findings stay in drive_c: they are still found and removed.
    echo "dump" >"$p/drive_c/windows/memory.dmp"
    echo "tmp" >"$p/drive_c/windows/temp/sys.tmp"
    EXPECT_FOUND+=("$p/drive_c/windows/memory.dmp" "$p/drive_c/windows/temp/sys.tmp")
    # The home's own Trash entry, its record naming it through the prefix's
    # h: drive: it is not the prefix's recycle bin.
    local trash="$HOME/.local/share/Trash"
    echo "thrown away" >"$trash/files/old-letter.txt"
    printf '[Trash Info]\nPath=%s/dosdevices/h:/Documents/old-letter.txt\nDeletionDate=2024-01-01T00:00:00\n' "$p" \
        >"$trash/info/old-letter.txt.trashinfo"
    log "user folders: H:\\secret (= $HOME/secret), cookies in $SENT/case/cookies; user $user"
    exercise "$p"
    log "recycle bin rows: $(py count "$W/scan.json" lvbin)"
    # The same values with h: pointing into drive_c: now the files are the
    # prefix's, and found (so the values above are the ones the scan reads).
    # Opera's list is gone by now: the first repair emptied and removed its key.
    log "-- control: h: -> a copy of those folders inside drive_c"
    W=$ROOT/work/1-control
    mkdir -p "$W"
    cp -a "$HOME/secret" "$HOME/appdata" "$p/drive_c/"
    # With h: inside drive_c the home's Trash entry named through it would be
    # the prefix's: it goes first.
    rm -f "$trash/files/old-letter.txt" "$trash/info/old-letter.txt.trashinfo"
    ln -sfn ../drive_c "$p/dosdevices/h:"
    local c=$p/drive_c
    EXPECT_FOUND=("$c/secret/home.tmp" "$c/secret/doc.lnk" "$c/secret/Content.IE5/AB12CD34/pic[1].gif"
        "$c/secret/History.IE5/MSHist012020010120200108/page.htm" "$c/appdata/Microsoft/Office/Recent/Budget.xls.LNK")
    exercise "$p"
    case_end
}

# 1b: the prefix's own c: link points into the home folder, the system root
# is on Z:. Every folder the registry names then lies outside drive_c.
case_1b() {
    case_begin 1b "dosdevices/c: -> a folder in the home, SystemRoot on Z:"
    local p=$ROOT/p
    make_prefix "$p"
    make_tree "$HOME/fakec" kuser
    seed_findings "$HOME/fakec" kuser
    EXPECT_FOUND=()  # none of them is the prefix's
    ln -sfn "$HOME/fakec" "$p/dosdevices/c:"
    mkdir -p "$SENT/case/windows/Temp" "$SENT/case/windows/MiniDump"
    echo dump >"$SENT/case/windows/memory.dmp"
    echo tmp >"$SENT/case/windows/Temp/s.tmp"
    echo log >"$SENT/case/windows/setupapi.log"
    py regset "$p/system.reg" 'Software\Microsoft\Windows NT\CurrentVersion' SystemRoot "Z:${SENT//\//\\}\\case\\windows"
    # The user's "Local Settings" on Z: too: its Temp folder is searched then.
    mkdir -p "$SENT/case/ls/Temp"
    echo tmp >"$SENT/case/ls/Temp/ls.tmp"
    py regset "$p/user.reg" "$SHELL_FOLDERS" 'Local Settings' "Z:${SENT//\//\\}\\case\\ls"
    # What the real drive_c holds is never named: it must stay.
    echo "kept" >"$p/drive_c/windows/Temp/inside.tmp"
    EXPECT_KEPT+=("$p/drive_c/windows/Temp/inside.tmp")
    exercise "$p"
    case_end
}

# 2: drive_c itself a link to a folder outside the prefix, the way a prefix
# whose drive C was moved to another disk looks. What the link points to is
# the prefix's drive C; nothing beside it may be touched.
case_2() {
    case_begin 2 "drive_c a link to a folder outside the prefix"
    local p=$ROOT/p
    make_prefix "$p"
    mkdir -p "$ROOT/elsewhere"
    mv "$p/drive_c" "$ROOT/elsewhere/c"
    ln -s "$ROOT/elsewhere/c" "$p/drive_c"
    seed_findings "$p/drive_c" kuser
    # Beside the real drive C, outside it.
    mkdir -p "$ROOT/elsewhere/beside"
    echo "beside" >"$ROOT/elsewhere/beside/x.tmp"
    # A link in the real drive C back out of it.
    rm -rf "$ROOT/elsewhere/c/windows/MiniDump"
    ln -s "$ROOT/elsewhere/beside" "$ROOT/elsewhere/c/windows/MiniDump"
    echo "beside" >"$ROOT/elsewhere/beside/b.dmp"
    drop_expected -e '/mini\.dmp$'
    exercise "$p" "$ROOT/elsewhere/beside"
    if [ -s "$W/scan.found" ]; then
        log "behaviour: with drive_c a link, the files of its target are listed ($(tr '\0' '\n' <"$W/scan.found" | wc -l) rows) and deleted"
    else
        log "behaviour: with drive_c a link, nothing is listed"
    fi
    case_end
}

# 2b: drive_c a broken link, and drive_c a link to a link to a file.
case_2b() {
    case_begin 2b "drive_c a broken link; drive_c a link to a file"
    local p=$ROOT/p
    make_prefix "$p"
    rm -rf "$p/drive_c"
    ln -s "$ROOT/nowhere" "$p/drive_c"
    # Without a drive C: there is nowhere for the undo file, so the repair
    # of the registry rows is refused and the registry left as it was.
    local hives
    hives=$(cat "$p/system.reg" "$p/user.reg" | md5sum)
    EXPECT_REPAIR_STATUS=1
    exercise "$p"
    log "behaviour: broken drive_c link: scan status $LAST_RC, rows $(cut -d' ' -f1 "$W/scan.rows")"
    echo "not a folder" >"$ROOT/elsewhere-file"
    ln -sfn "$ROOT/elsewhere-file" "$ROOT/link2"
    ln -sfn "$ROOT/link2" "$p/drive_c"
    W=$ROOT/work/2b-file
    mkdir -p "$W"
    log "-- drive_c a link to a link to a file"
    exercise "$p"
    log "behaviour: drive_c a file: scan status $LAST_RC, rows $(cut -d' ' -f1 "$W/scan.rows")"
    grep -q "The undo file could not be written" "$W/repair.err" || fail "the refused repair does not say why"
    [ "$(cat "$p/system.reg" "$p/user.reg" | md5sum)" = "$hives" ] || fail "the hives changed though the repair was refused"
    unset EXPECT_REPAIR_STATUS
    rm -f "$ROOT/elsewhere-file" "$ROOT/link2"
    case_end
}

# 3: user folders that are links into the home folder, on the Wine-made
# prefix: the temporary folder, the Recent folder (itself, and through a link
# of a folder above it), the cookies, the browser cache; a file link and a
# hard link inside the temporary folder.
case_3() {
    case_begin 3 "user folders as links into the home folder"
    local p=$ROOT/p user
    user=$(copy_base "$p")
    local up="$p/drive_c/users/$user"
    local win="$up/AppData/Local/Microsoft/Windows"
    mkdir -p "$HOME/secret-temp" "$HOME/secret-cookies" "$HOME/secret-cache/AB12CD34" "$HOME/roaming-ms/Windows/Recent" \
        "$HOME/secret-hist/MSHist012020010120200108" "$SENT/case/wintemp"
    echo "mine" >"$HOME/secret-temp/home.tmp"
    echo "mine" >"$HOME/secret-cookies/$user@ads.example[1].txt"
    printf 'tracker\nid=1\nads.example.com/\n0\n0\n0\n0\n0\n*\n' >"$HOME/secret-cookies/ABCDEFGH.txt"
    echo "mine" >"$HOME/secret-cache/AB12CD34/pic[1].gif"
    echo "mine" >"$HOME/secret-hist/MSHist012020010120200108/page.htm"
    echo "mine" >"$HOME/roaming-ms/Windows/Recent/private.doc.lnk"
    echo "mine" >"$SENT/case/wintemp/sys.tmp"
    echo "victim" >"$HOME/victim.txt"
    echo "hard victim" >"$HOME/hard-victim.txt"
    # The temporary folder: a link to the home folder.
    rm -rf "$up/Temp"
    ln -s "$HOME/secret-temp" "$up/Temp"
    # The Recent folder is below a link: AppData\Roaming\Microsoft -> home.
    cp -a "$up/AppData/Roaming/Microsoft/." "$HOME/roaming-ms/" 2>/dev/null
    rm -rf "$up/AppData/Roaming/Microsoft"
    ln -s "$HOME/roaming-ms" "$up/AppData/Roaming/Microsoft"
    # The cookies folder and the cache's Content.IE5, links.
    rm -rf "$win/INetCookies" "$win/INetCache/Content.IE5" "$win/History/History.IE5"
    ln -s "$HOME/secret-cookies" "$win/INetCookies"
    ln -s "$HOME/secret-cache" "$win/INetCache/Content.IE5"
    ln -s "$HOME/secret-hist" "$win/History/History.IE5"
    # The system's temporary folder, a link to the sentinel folder.
    rm -rf "$p/drive_c/windows/temp"
    ln -s "$SENT/case/wintemp" "$p/drive_c/windows/temp"
    # Links inside a folder the program may clean: the memory dump a link to
    # a home file, a log a hard link to another one.
    rm -f "$p/drive_c/windows/memory.dmp"
    ln -s "$HOME/victim.txt" "$p/drive_c/windows/memory.dmp"
    rm -f "$p/drive_c/windows/setupapi.log"
    ln "$HOME/hard-victim.txt" "$p/drive_c/windows/setupapi.log"
    EXPECT_FOUND+=("$p/drive_c/windows/memory.dmp" "$p/drive_c/windows/setupapi.log")
    # A Trash entry whose record names it through the temporary folder's
    # link: the file was the home's, not the prefix's.
    local trash="$HOME/.local/share/Trash"
    echo "thrown away" >"$trash/files/notes.tmp"
    printf '[Trash Info]\nPath=%s/drive_c/users/%s/Temp/notes.tmp\nDeletionDate=2024-01-01T00:00:00\n' "$p" "$user" \
        >"$trash/info/notes.tmp.trashinfo"
    exercise "$p"
    log "recycle bin rows: $(py count "$W/scan.json" lvbin)"
    [ -e "$HOME/victim.txt" ] || fail "the target of the memory.dmp link was deleted"
    [ "$(cat "$HOME/hard-victim.txt" 2>/dev/null)" = "hard victim" ] || fail "the hard-linked home file lost its text"
    case_end
}

# 3b: the Recent folder itself a link out of drive_c, cookies and temporary
# files in folders whose links are relative ("../../../..").
case_3b() {
    case_begin 3b "the Recent folder itself a link; relative links out of drive_c"
    local p=$ROOT/p
    make_prefix "$p"
    local up="$p/drive_c/users/kuser"
    local recent="$up/AppData/Roaming/Microsoft/Windows/Recent"
    mkdir -p "$HOME/recent"
    echo "mine" >"$HOME/recent/private.doc.lnk"
    echo "mine" >"$HOME/recent/other.lnk"
    rm -rf "$recent"
    ln -s "$HOME/recent" "$recent"
    # users/kuser/Temp -> ../../../../home/reltemp (relative, out of the prefix).
    mkdir -p "$HOME/reltemp"
    echo "mine" >"$HOME/reltemp/rel.tmp"
    rm -rf "$up/Temp"
    ln -s "../../../../home/reltemp" "$up/Temp"
    [ -e "$up/Temp/rel.tmp" ] || fail "setup: the relative link does not reach the home folder"
    exercise "$p"
    case_end
}

# 4: link loops inside the folders the program reads.
case_4() {
    case_begin 4 "link loops: a -> b -> a, a folder linking to its parent, in temp and cache folders"
    local p=$ROOT/p
    make_prefix "$p"
    seed_findings "$p/drive_c" kuser
    local temp="$p/drive_c/users/kuser/Temp"
    local cache="$p/drive_c/users/kuser/AppData/Local/Microsoft/Windows/INetCache/Content.IE5"
    local hist="$p/drive_c/users/kuser/AppData/Local/Microsoft/Windows/History/History.IE5"
    ln -s b.tmp "$temp/a.tmp"
    ln -s a.tmp "$temp/b.tmp"
    ln -s . "$temp/self.tmp"
    ln -s .. "$temp/parent.tmp"
    ln -s self-loop.tmp "$temp/self-loop.tmp"
    mkdir -p "$cache/LOOP0001/inner"
    ln -s .. "$cache/LOOP0001/inner/up"
    ln -s ../.. "$cache/LOOP0001/inner/top"
    ln -s "$cache" "$cache/LOOP0002"
    ln -s x "$cache/LOOP0001/y"
    ln -s y "$cache/LOOP0001/x"
    ln -s "$hist" "$hist/MSHist019999010120000102"
    # The windows folder's temporary folder a link to itself.
    rm -rf "$p/drive_c/windows/Temp"
    ln -s Temp "$p/drive_c/windows/Temp"
    drop_expected -e '/windows/Temp/'
    # The link names that hold a loop are no file: they may be listed only
    # if the repair removes them (the checks above say whether it does).
    exercise "$p"
    case_end
}

# 5: ".." in registry values.
case_5() {
    case_begin 5 "'..' in registry values: TEMP, Recent, Cookies and SystemRoot climbing out"
    local p=$ROOT/p
    make_prefix "$p"
    seed_findings "$p/drive_c" kuser
    local sent=${SENT//\//\\}
    mkdir -p "$SENT/case/win/Temp" "$SENT/case/recent"
    echo "mine" >"$SENT/case/climb.tmp"
    echo "mine" >"$SENT/case/recent/climb.lnk"
    echo "mine" >"$SENT/case/win/memory.dmp"
    echo "mine" >"$SENT/case/win/Temp/climb.tmp"
    # Climbing out of C: stops at its root, as on Windows: these name
    # C:\tmp\...\case, a folder made inside drive_c for them.
    mkdir -p "$p/drive_c$SENT/case"
    echo "inside" >"$p/drive_c$SENT/case/clamped.tmp"
    EXPECT_FOUND+=("$p/drive_c$SENT/case/clamped.tmp")
    py regset "$p/user.reg" Environment TEMP "C:\\users\\kuser\\..\\..\\..\\..\\..\\..\\..\\..$sent\\case"
    py regset "$p/user.reg" Environment TMP "C:\\users\\kuser\\..\\..\\..\\..\\..\\..\\..\\..$sent\\case"
    # Through Z: the climb reaches the sentinel folder, outside drive_c.
    py regset "$p/user.reg" "$SHELL_FOLDERS" Recent "Z:\\tmp\\..\\..\\..$sent\\case\\recent\\..\\recent"
    py regset "$p/system.reg" 'Software\Microsoft\Windows NT\CurrentVersion' SystemRoot "Z:$sent\\case\\..\\case\\win"
    # drive_c\windows is no longer the system root: its findings stay.
    drop_expected -e '/windows/' -e '/Recent/' -e '/Temp/' -e 'FILE0001'
    EXPECT_KEPT+=("$p/drive_c/windows/memory.dmp" "$p/drive_c/users/kuser/Temp/user.tmp")
    exercise "$p"
    case_end
}

# 5b: registry names that are hard to show: a newline, quotes and
# backslashes, 300 characters, a lone UTF-16 surrogate (no UTF-8 spells
# it); each a Run value naming a missing program. The report stays valid
# JSON with a row for each, and the repair deletes exactly those values.
case_5b() {
    case_begin 5b "registry value names with a newline, 300 characters, a lone surrogate"
    local p=$ROOT/p long
    make_prefix "$p"
    mkdir -p "$p/drive_c/windows"
    echo "MZ kept" >"$p/drive_c/windows/kept.exe"
    long=$(printf 'L%.0s' $(seq 300))
    {
        printf '\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1700000000\n'
        printf '%s\n' '"line\nbreak"="C:\\gone\\a.exe"'
        printf '"%s"="C:\\\\gone\\\\b.exe"\n' "$long"
        printf '%s\n' '"lone\xd800half"="C:\\gone\\c.exe"'
        printf '%s\n' '"q\"uote\\slash"="C:\\gone\\d.exe"'
        printf '%s\n' '"Kept"="C:\\windows\\kept.exe"'
    } >>"$p/user.reg"
    exercise "$p"
    python3 - "$W/scan.json" "$p/user.reg" "$long" >"$W/names.check" <<'PY'
import json, sys
report, hive, long = sys.argv[1], sys.argv[2], sys.argv[3]
try:
    rows = json.load(open(report))["lists"]["lvsp"]["rows"]
except (ValueError, KeyError) as e:
    print("FAIL: no startup list in the scan report: %s" % e)
    sys.exit(0)
names = sorted(r["caption"] for r in rows)
want = sorted(["line\nbreak", long, "lone\ufffd\ufffd\ufffdhalf", 'q"uote\\slash'])
if names != want:
    print("FAIL: the startup rows are %r, expected %r" % (names, want))
text = open(hive, encoding="utf-8", errors="surrogateescape").read()
for written in ('"line\\nbreak"', '"%s"' % long, '"lone\\xd800half"', '"q\\"uote\\\\slash"'):
    if written in text:
        print("FAIL: %s is still in user.reg after the repair" % written[:40])
if '"Kept"="C:\\\\windows\\\\kept.exe"' not in text:
    print("FAIL: the value naming a program that exists is gone")
PY
    checked "$W/names.check"
    case_end
}

# 6: file names that are not UTF-8. Each must reach the report (escaped or
# replaced) and the repair must delete that very file.
case_6() {
    case_begin 6 "file names with bytes that are not UTF-8"
    local p=$ROOT/p
    make_prefix "$p"
    local temp="$p/drive_c/users/kuser/Temp"
    local name
    for name in $'\xff\xfe.tmp' $'latin1-caf\xe9.tmp' $'overlong-\xc0\xaf.tmp' $'surrogate-\xed\xa0\x80.tmp' \
        $'cut-\xe2\x82.tmp'; do
        printf 'bad name\n' >"$temp/$name"
        EXPECT_FOUND+=("$temp/$name")
    done
    printf 'plain\n' >"$temp/plain.tmp"
    EXPECT_FOUND+=("$temp/plain.tmp")
    exercise "$p"
    case_end
}

# 6b: names with newlines, backslashes, wildcards, case twins, the longest
# name Linux takes, and deep paths.
case_6b() {
    case_begin 6b "file names with newlines, backslashes, wildcards, 255 bytes; paths over 300 and 4096 bytes"
    local p=$ROOT/p
    make_prefix "$p"
    local temp="$p/drive_c/users/kuser/Temp"
    local name
    for name in $'new\nline.tmp' $'tab\there.tmp' ' lead.tmp' 'Case.tmp' 'case.tmp' 'résumé.tmp' 'ÉCOLE.tmp' 'école.tmp' \
        '日本語.tmp' 'semi;colon,comma.tmp' '"quoted".tmp' '%TEMP%.tmp'; do
        printf 'odd name\n' >"$temp/$name"
        EXPECT_FOUND+=("$temp/$name")
    done
    # The longest name: 255 bytes.
    name=$(printf 'L%.0s' $(seq 251)).tmp
    printf 'long\n' >"$temp/$name"
    EXPECT_FOUND+=("$temp/$name")
    # Wildcard characters in names: each row must show its own file's size.
    head -c 5000 /dev/zero >"$temp/1.tmp"
    printf 'ten bytes\n' >"$temp/?.tmp"
    printf 'star\n' >"$temp/*.tmp"
    EXPECT_FOUND+=("$temp/1.tmp" "$temp/?.tmp" "$temp/*.tmp")
    # A backslash in a name is no separator on Linux: this file of the
    # temporary folder is one name, which no Windows path can name, so it is
    # no finding; the document it spells must stay.
    mkdir -p "$p/drive_c/Docs"
    printf 'my document\n' >"$p/drive_c/Docs/keep.tmp"
    printf 'temp\n' >"$temp/..\\..\\..\\Docs\\keep.tmp"
    EXPECT_KEPT+=("$temp/..\\..\\..\\Docs\\keep.tmp" "$p/drive_c/Docs/keep.tmp")
    # A Recent folder deep below drive_c: 240 characters as Windows counts
    # them (the program reads no value longer than 255), over 700 bytes on
    # the host.
    local deep="$p/drive_c/users/kuser/深" d i seg
    seg=$(printf '文件夹%.0s' $(seq 10))
    d=$deep
    for i in $(seq 6); do d="$d/$seg$i"; done
    mkdir -p "$d"
    printf 'deep\n' >"$d/deep.lnk"
    EXPECT_FOUND+=("$d/deep.lnk")
    local winDeep=${d#"$p/drive_c"}
    py regset "$p/user.reg" "$SHELL_FOLDERS" Recent "C:${winDeep//\//\\}"
    log "Recent folder: $(printf '%s' "C:${winDeep}" | python3 -c 'import sys; print(len(sys.stdin.read()))') characters, ${#d} characters and $(printf '%s' "$d" | wc -c) bytes on the host"
    # The cookies folder a short name, a link to a folder whose real path is
    # longer than PATH_MAX (4096 bytes): the scan must still finish, and
    # whatever it lists it must delete.
    local far="$p/drive_c/users/kuser/Far" n half
    n=$(printf 'f%.0s' $(seq 200))
    half=$(for i in $(seq 12); do printf '%s/' "$n"; done)
    half=${half%/}
    mkdir -p "$far/$half"
    (cd "$far/$half" && mkdir -p "$half" && cd "$half" && printf 'far\n' >"kuser@ads.far[1].txt") ||
        fail "setup: cannot make the folder beyond PATH_MAX"
    ln -s "$half" "$far/$half/rest"
    ln -s "Far/$half/rest" "$p/drive_c/users/kuser/FarCookies"
    py regset "$p/user.reg" "$SHELL_FOLDERS" Cookies 'C:\users\kuser\FarCookies'
    exercise "$p"
    log "cookies behind a path longer than PATH_MAX: $(py count "$W/scan.json" lvco) rows"
    case_end
}

# 7: a folder tree 5,000 levels deep in a temporary folder, in the browser
# cache and, on the Wine-made prefix, in the recycle bin.
case_7() {
    case_begin 7 "a folder tree 5,000 levels deep: temp folder, browser cache, recycle bin"
    local p=$ROOT/p user
    user=$(copy_base "$p")
    local up="$p/drive_c/users/$user"
    local cache="$up/AppData/Local/Microsoft/Windows/INetCache/Content.IE5"
    # A folder named like a temporary file, 5,000 levels deep.
    mkdir -p "$up/Temp/deep.tmp" "$cache/DEEP0001/level2"
    py deep "$up/Temp/deep.tmp" 5000 d
    py deep "$cache/DEEP0001/level2" 5000 d
    echo "tmp" >"$up/Temp/top.tmp"
    EXPECT_FOUND+=("$up/Temp/top.tmp")
    # The recycle bin: one entry of the prefix (a deep folder a Windows
    # program deleted) and one of the home's own files.
    local trash="$HOME/.local/share/Trash"
    mkdir -p "$trash/files/deepdir"
    py deep "$trash/files/deepdir" 5000 d
    printf '[Trash Info]\nPath=%s/dosdevices/c:/deepdir\nDeletionDate=2024-01-01T00:00:00\n' "$p" >"$trash/info/deepdir.trashinfo"
    echo "home file" >"$trash/files/mine.txt"
    printf '[Trash Info]\nPath=%s/Documents/mine.txt\nDeletionDate=2024-01-01T00:00:00\n' "$HOME" >"$trash/info/mine.txt.trashinfo"
    # The prefix's entry is the prefix's recycle bin: emptying it is wanted.
    SNAP_EXCLUDE=("$trash/files/deepdir" "$trash/info/deepdir.trashinfo" "$trash/files " "$trash/info ")
    exercise "$p"
    if [ -e "$trash/files/deepdir" ] || [ -e "$trash/info/deepdir.trashinfo" ]; then
        fail "the prefix's recycle bin entry (5,000 levels deep) is still in the Trash after the repair"
    fi
    local bin
    bin=$(py rows "$W/scan.json" lvbin)
    log "recycle bin row of the scan: $bin"
    # The entry holds one file of 11 bytes at its bottom.
    [ "$bin" = '["1 files in Recycle Bin", "Remove", "11 bytes"]' ] ||
        fail "recycle bin row: $bin, expected [\"1 files in Recycle Bin\", \"Remove\", \"11 bytes\"]"
    case_end
}

# 8: a sparse 3 GB memory dump.
case_8() {
    case_begin 8 "a sparse 3 GB memory.dmp in C:\\windows and a 5 GB minidump"
    local p=$ROOT/p
    make_prefix "$p"
    truncate -s 3G "$p/drive_c/windows/memory.dmp"
    truncate -s 5G "$p/drive_c/windows/MiniDump/big.dmp"
    truncate -s 1023 "$p/drive_c/windows/MiniDump/small.dmp"
    truncate -s 1025 "$p/drive_c/windows/MiniDump/kb.dmp"
    EXPECT_FOUND+=("$p/drive_c/windows/memory.dmp" "$p/drive_c/windows/MiniDump/big.dmp"
        "$p/drive_c/windows/MiniDump/small.dmp" "$p/drive_c/windows/MiniDump/kb.dmp")
    exercise "$p"
    log "memory dump rows: $(py rows "$W/scan.json" lvdump | tr '\n' ' ')"
    grep -q '"3.00 GB"' "$W/scan.json" || fail "memory.dmp is not shown as 3.00 GB"
    case_end
}

# 9: 200,000 files in one temporary folder.
case_9() {
    case_begin 9 "200,000 files in one temporary folder"
    local p=$ROOT/p
    make_prefix "$p"
    local temp="$p/drive_c/users/kuser/Temp"
    py many "$temp" 200000
    EXPECT_FOUND+=("$temp/f000000.tmp" "$temp/f199999.tmp" "$temp/f123456.tmp")
    exercise "$p"
    local left
    left=$(find "$temp" -name '*.tmp' | wc -l)
    [ "$left" -eq 0 ] || fail "$left of the 200,000 temporary files are left after the repair"
    case_end
}

# 10: a machine hive of a million keys (about 145 MB), one key in a hundred
# naming a missing program.
case_10() {
    case_begin 10 "a hive of a million keys, 10,000 missing paths"
    local p=$ROOT/p
    make_prefix "$p"
    py big-hive "$p/system.reg" 1000000 100
    log "system.reg: $(stat -c %s "$p/system.reg") bytes"
    exercise "$p"
    log "progressive analysis rows: $(py count "$W/scan.json" LV2)"
    case_end
}

# 10b: the same hive with every key naming a missing program: a million rows.
case_10b() {
    case_begin 10b "a hive of a million keys, every one a missing path"
    local p=$ROOT/p
    make_prefix "$p"
    py big-hive "$p/system.reg" 1000000 1
    log "system.reg: $(stat -c %s "$p/system.reg") bytes"
    # A million findings repaired at once: their rows, the decoded keys, the
    # journal of what is taken and its undo file are all held at the peak.
    local limit=$RSS_LIMIT_KB
    RSS_LIMIT_KB=$((2097152 * RSS_SCALE))
    exercise "$p"
    RSS_LIMIT_KB=$limit
    case_end
}

# ---------------------------------------------------------------- main

log "kestrane-cli: $CLI (built $(stat -c %y "$CLI"))"
log "work folder: $ROOT (HOME=$HOME), sentinel folder: $SENT"
if [ -f "$BASE/system.reg" ]; then log "base prefix: $BASE (copied)"; else log "base prefix: the demo prefix (copied)"; fi
START=$(date +%s)
for c in 1 1b 2 2b 3 3b 4 5 5b 6 6b 7 8 9 10 10b; do
    if wanted "$c"; then
        "case_$c"
    fi
done

log ""
log "===== summary (case, run, exit status, rows, file rows, maximum RSS, time)"
cat "$SUMMARY"
log "total time: $(($(date +%s) - START)) s"
if [ "$FAILURES" -gt 0 ]; then
    log "FAILED: $FAILURES checks"
    exit 1
fi
log "PASSED"
exit 0
