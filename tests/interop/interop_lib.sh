# Shared parts of the interoperability tests that run against prefixes made
# by Debian's wine64 (sourced, not run):
#   - a work folder with its own HOME and XDG folders, removed at exit with
#     every prefix's wineserver and its socket folder;
#   - a prefix that looks used (make_traces_prefix.sh) inside it;
#   - snapshots of a folder tree (no link followed) and their comparison;
#   - Wine's own regedit /E of the whole registry, and the comparison of two
#     exports key by key and value by value; Wine's regedit /S import;
#   - PASS/FAIL lines and a closing summary.
#
# A script sources it, calls il_require_wine (which exits 77 when Wine or
# mingw-w64 is missing) and il_setup NAME, then uses the rest. The Python
# helpers are written to $IL_WORK/py/ilib.py by il_setup; a script's own
# Python code imports them with PYTHONPATH=$IL_PY (il_python does that).

IL_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
IL_WINE=${KESTRANE_WINE64:-/usr/lib/wine/wine64}
IL_WINESERVER="$(dirname "$IL_WINE")/wineserver64"
IL_PREFIXES=()
IL_WORK=
IL_RESULTS=
IL_PY=

# Exits 77 (skipped) unless wine64, its wineserver, mingw-w64's C compiler
# (not with --no-compiler: the test builds no Windows program), python3 and
# iconv are all there.
il_require_wine() {  # il_require_wine [--no-compiler]
    if [ ! -x "$IL_WINE" ]; then
        echo "SKIPPED: $IL_WINE is not installed (Debian's wine64 package)."
        exit 77
    fi
    [ -x "$IL_WINESERVER" ] || IL_WINESERVER=$(command -v wineserver || true)
    if [ -z "$IL_WINESERVER" ]; then
        echo "SKIPPED: no wineserver found beside $IL_WINE."
        exit 77
    fi
    if [ "${1:-}" != --no-compiler ] && ! command -v x86_64-w64-mingw32-gcc >/dev/null; then
        echo "SKIPPED: x86_64-w64-mingw32-gcc is not installed (Debian's gcc-mingw-w64-x86-64)."
        exit 77
    fi
    local tool
    for tool in python3 iconv; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIPPED: $tool is not installed."
            exit 77
        fi
    done
}

# Waits (two minutes at most) for the program under test, which may be
# being linked anew when the test starts; fails the test when it never is.
il_wait_program() {  # il_wait_program FILE
    local _
    for _ in $(seq 60); do
        [ -x "$1" ] && return 0
        sleep 2
    done
    echo "FAIL: $1 is not an executable program"
    exit 1
}

# Makes the work folder and points HOME and the XDG folders into it, so that
# neither Wine nor the program under test touches the real home. Everything
# is removed at exit.
il_setup() {  # il_setup NAME
    IL_WORK=$(mktemp -d "${TMPDIR:-/tmp}/kestrane-$1.XXXXXX") || exit 1
    IL_RESULTS=$IL_WORK/results
    : >"$IL_RESULTS"
    export HOME="$IL_WORK/home"
    export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
    unset DISPLAY WAYLAND_DISPLAY WINEPREFIX XDG_RUNTIME_DIR
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    export IL_RESULTS
    mkdir -p "$HOME"
    IL_PY=$IL_WORK/py
    mkdir -p "$IL_PY"
    il_write_python >"$IL_PY/ilib.py"
    trap il_cleanup EXIT
    trap 'exit 1' INT TERM HUP
}

# Ends the wineserver of every prefix the test made (the test started them
# all), removes their socket folders in /tmp, then the work folder.
il_cleanup() {
    local p name dir
    for p in "${IL_PREFIXES[@]}"; do
        WINEPREFIX="$p" "$IL_WINESERVER" -k >/dev/null 2>&1
        WINEPREFIX="$p" "$IL_WINESERVER" -w >/dev/null 2>&1
    done
    # Debian's wine keeps each prefix's server folder in a folder of
    # ${TMPDIR:-/tmp} that it names in <prefix>/wineserver.
    for p in "${IL_PREFIXES[@]}"; do
        name=$(cat "$p/wineserver" 2>/dev/null)
        if [[ $name =~ ^wine-[A-Za-z0-9]+$ ]]; then
            for dir in "${TMPDIR:-/tmp}/$name" "/tmp/$name"; do
                [ -d "$dir" ] && rm -rf "$dir"
            done
        fi
    done
    [ -n "$IL_WORK" ] && [ -d "$IL_WORK" ] && rm -rf "$IL_WORK"
}

il_log() { echo "--- $*"; }

il_pass() {
    printf 'PASS\t%s\n' "$1" >>"$IL_RESULTS"
    echo "PASS: $1"
}
il_fail() {
    printf 'FAIL\t%s\n' "$1" >>"$IL_RESULTS"
    echo "FAIL: $1"
}
il_check() {  # il_check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then il_pass "$what"; else il_fail "$what"; fi
}

# Prints the summary of every check; returns 1 if one failed.
il_summary() {
    local passed failed
    passed=$(grep -c '^PASS' "$IL_RESULTS")
    failed=$(grep -c '^FAIL' "$IL_RESULTS")
    echo
    echo "===== summary"
    if [ "$failed" -gt 0 ]; then
        echo "failed checks:"
        grep '^FAIL' "$IL_RESULTS" | cut -f2- | sed 's/^/  - /'
    fi
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# Runs Python code with the helpers importable (import ilib).
il_python() { PYTHONPATH="$IL_PY${PYTHONPATH:+:$PYTHONPATH}" python3 "$@"; }

# Makes a prefix that looks used in PREFIX_DIR with HOME_DIR as Wine's home.
# The seeding programs are built in the work folder unless
# KESTRANE_SEED_BUILD names a folder of the caller's. What the seeding
# printed is kept in $IL_WORK/make_traces.log.
il_make_traced_prefix() {  # il_make_traced_prefix PREFIX_DIR HOME_DIR
    IL_PREFIXES+=("$1")
    KESTRANE_SEED_BUILD=${KESTRANE_SEED_BUILD:-$IL_WORK/seed-build} KESTRANE_WINE64=$IL_WINE \
        bash "$IL_HERE/make_traces_prefix.sh" "$1" "$2" >"$IL_WORK/make_traces.log" 2>&1
    local status=$?
    if [ $status -ne 0 ]; then
        echo "make_traces_prefix.sh failed (exit $status); its last lines:"
        tail -30 "$IL_WORK/make_traces.log"
    fi
    return $status
}

# Waits until no wineserver serves the prefix any more (it has then saved
# the hives).
il_wait_server() { WINEPREFIX="$1" "$IL_WINESERVER" -w; }

# Runs a Wine program in a prefix and waits for its wineserver to end.
il_wine() {  # il_wine PREFIX PROGRAM ARGS...
    local prefix=$1
    shift
    WINEPREFIX="$prefix" "$IL_WINE" "$@" </dev/null >>"$IL_WORK/wine.log" 2>&1
    local status=$?
    il_wait_server "$prefix"
    return $status
}

# Wine's reg.exe on a prefix, its output (without CRs) on standard output.
# Under a heavy load a reg.exe started while the prefix's wineserver is
# shutting down can fail without having done anything; such a call is tried
# once more after that server has ended, and the log says so.
il_reg() {  # il_reg PREFIX ARGS...
    local prefix=$1 status attempt
    shift
    echo "+ reg $*"
    for attempt in 1 2; do
        WINEPREFIX="$prefix" "$IL_WINE" reg "$@" </dev/null 2>&1 | tr -d '\r'
        status=${PIPESTATUS[0]}
        [ "$status" -eq 0 ] && return 0
        echo "    (reg exited with $status on attempt $attempt)"
        [ "$attempt" -eq 1 ] && il_wait_server "$prefix"
    done
    return "$status"
}

# Wine's regedit /E of the whole registry (HKEY_LOCAL_MACHINE and
# HKEY_USERS), converted from UTF-16 to UTF-8 with LF line ends, in OUT.
# Wine 8.0's regedit now and then dies of a page fault of its own; its crash
# handler then writes keys of its own into the registry (a WineDbg key, the
# display driver's class values). Such a run is undone from the hives of
# before it and made once more, and the log says so.
il_export() {  # il_export PREFIX OUT
    local prefix=$1 out=$2 raw=$2.utf16 saved=$IL_WORK/hives.before-export mark
    rm -f "$raw" "$out"
    mkdir -p "$saved" && cp "$prefix"/*.reg "$saved/"
    mark=$(stat -c %s "$IL_WORK/wine.log" 2>/dev/null || echo 0)
    il_wine "$prefix" regedit /E "Z:${raw//\//\\}"
    local status=$?
    if tail -c +"$((mark + 1))" "$IL_WORK/wine.log" 2>/dev/null | grep -q "Unhandled page fault\|Unhandled exception"; then
        echo "    NOTE: Wine's regedit crashed during the export; its hives put back and the export made once more"
        cp "$saved"/*.reg "$prefix/"
        rm -f "$raw"
        il_wine "$prefix" regedit /E "Z:${raw//\//\\}"
        status=$?
    fi
    [ "$status" -eq 0 ] || return 1
    [ -s "$raw" ] || return 1
    il_reg_text "$raw" "$out" || return 1
    rm -f "$raw"
    head -1 "$out" | grep -q '^Windows Registry Editor Version 5.00$'
}

# A "Version 5.00" .reg file (UTF-16LE with its BOM, CRLF) as UTF-8 text
# with LF line ends, the form il_export gives and ilib.parse_export reads.
il_reg_text() {  # il_reg_text IN.reg OUT
    iconv -f UTF-16LE -t UTF-8 "$1" | sed -e '1s/^\xEF\xBB\xBF//' -e 's/\r$//' >"$2"
}

# Starts a wineserver that serves the prefix until il_server_down, and waits
# until its socket is there: server-<device>-<inode of the prefix> in the
# folder Debian's wine names in <prefix>/wineserver, or in /tmp/.wine-UID.
il_server_up() {  # il_server_up PREFIX
    local prefix=$1 dir name
    dir=server-$(printf '%x-%x' $(stat -c '%d %i' "$prefix")) || return 1
    WINEPREFIX="$prefix" "$IL_WINESERVER" -p </dev/null >/dev/null 2>&1 || return 1
    for _ in $(seq 100); do
        name=$(cat "$prefix/wineserver" 2>/dev/null)
        [ -n "$name" ] && [ -S "${TMPDIR:-/tmp}/$name/$dir/socket" ] && return 0
        [ -S "/tmp/.wine-$(id -u)/$dir/socket" ] && return 0
        sleep 0.1
    done
    return 1
}
il_server_down() {  # il_server_down PREFIX
    WINEPREFIX="$1" "$IL_WINESERVER" -k >/dev/null 2>&1
    il_wait_server "$1"
}

# Records every entry below DIR: its path, its type, and for a file its size
# and SHA-256, for a link its target (links are never followed).
il_snapshot() {  # il_snapshot DIR OUT.json
    il_python -c 'import ilib, sys, json; json.dump(ilib.snapshot(sys.argv[1]), open(sys.argv[2], "w"), indent=0)' "$1" "$2"
}

# The differences between two snapshots, one per line:
#   "- PATH" gone, "+ PATH" new, "~ PATH" changed (type, size, contents or link target).
il_snapshot_diff() {  # il_snapshot_diff A.json B.json
    il_python -c '
import ilib, sys, json
a, b = (json.load(open(p)) for p in sys.argv[1:3])
for kind, path in ilib.snapshot_diff(a, b):
    print(kind, path)' "$1" "$2"
}

# The differences between two regedit exports, one per line (keys compared
# without regard to case, as the registry does):
#   "-key KEY", "+key KEY", "-value KEY\\NAME", "+value ...", "~value ...".
il_export_diff() {  # il_export_diff A B
    il_python -c '
import ilib, sys
a, b = (ilib.parse_export(p) for p in sys.argv[1:3])
for kind, key, name in ilib.export_diff(a, b):
    print(kind, key if name is None else key + " -> " + ("@" if name == "" else repr(name)))' "$1" "$2"
}

# Imports a .reg file (REGEDIT4, plain ASCII) into a prefix with Wine's own
# regedit /S, and waits until the wineserver has saved the hives.
il_import() {  # il_import PREFIX FILE.reg
    il_wine "$1" regedit /S "Z:${2//\//\\}"
}

# Checks two snapshots against a JSON list of the snapshot paths that must
# be gone: exactly those are gone, nothing is new, nothing changed.
il_check_gone() {  # il_check_gone BEFORE.json AFTER.json GONE.json WHAT
    il_python -c 'import ilib, sys; ilib.check_gone(*sys.argv[1:5])' "$@"
}

il_write_python() {
    cat <<'PY'
"""Helpers of the interoperability tests: snapshots, Wine's hive files,
regedit exports, Windows paths inside a prefix, PASS/FAIL lines."""
import fnmatch
import hashlib
import os
import re
import stat


# ---------------------------------------------------------------- results

def _record(status, what):
    path = os.environ.get("IL_RESULTS")
    if path:
        with open(path, "a") as f:
            f.write("%s\t%s\n" % (status, what.replace("\n", " ")))


def check(ok, what, details=()):
    """One check: its PASS or FAIL line, and on failure the details."""
    _record("PASS" if ok else "FAIL", what)
    print(("PASS: " if ok else "FAIL: ") + what)
    if not ok:
        for line in details:
            print("      " + line)
    return ok


def listing(title, items):
    """Lines for a FAIL message: a title and the items, one a line."""
    items = list(items)
    lines = ["%s (%d):" % (title, len(items))]
    lines += ["  " + str(i) for i in items] if items else ["  (none)"]
    return lines


# --------------------------------------------------------------- snapshots

def _digest(path):
    h = hashlib.sha256()
    try:
        with open(path, "rb") as f:
            for block in iter(lambda: f.read(1 << 20), b""):
                h.update(block)
    except OSError as e:
        return "unreadable: %s" % e.strerror
    return h.hexdigest()


def snapshot(root):
    """Every entry below root by its path relative to root (folders end in
    "/"): [type, size, SHA-256 or link target]. No link is followed."""
    out = {}

    def walk(folder, rel):
        try:
            entries = sorted(os.scandir(folder), key=lambda e: e.name)
        except OSError as e:
            out[rel or "./"] = ["unlistable", 0, e.strerror]
            return
        for e in entries:
            r = rel + e.name
            st = e.stat(follow_symlinks=False)
            if stat.S_ISLNK(st.st_mode):
                out[r] = ["link", 0, os.readlink(e.path)]
            elif stat.S_ISDIR(st.st_mode):
                out[r + "/"] = ["dir", 0, ""]
                walk(e.path, r + "/")
            elif stat.S_ISREG(st.st_mode):
                out[r] = ["file", st.st_size, _digest(e.path)]
            else:
                out[r] = ["other", 0, oct(st.st_mode)]

    walk(root, "")
    return out


def entry_paths(root, path):
    """The snapshot paths (relative to root, folders ending in "/") of an
    entry and, for a folder, of everything below it: what deleting it
    removes. No link is followed."""
    rel = os.path.relpath(path, root)
    if os.path.isdir(path) and not os.path.islink(path):
        return [rel + "/"] + [rel + "/" + p for p in snapshot(path)]
    return [rel]


def entry_size(path):
    """What the program shows as an entry's size: a file's own, the file a
    link names, a folder's the sum of the regular files in its tree (links
    in it count nothing and are not followed)."""
    if os.path.isdir(path) and not os.path.islink(path):
        return sum(v[1] for v in snapshot(path).values() if v[0] == "file")
    try:
        return os.stat(path).st_size
    except OSError:
        return 0


def snapshot_diff(a, b):
    """[("-", path) for what is gone, ("+", path) new, ("~", path) changed]."""
    diff = [("-", p) for p in sorted(set(a) - set(b))]
    diff += [("+", p) for p in sorted(set(b) - set(a))]
    diff += [("~", p) for p in sorted(set(a) & set(b)) if a[p] != b[p]]
    return diff


def below(snap, rel):
    """The snapshot's paths that are rel itself or below it (rel without a
    closing "/")."""
    return sorted(p for p in snap if p == rel or p == rel + "/" or p.startswith(rel + "/"))


# ------------------------------------------------ Windows paths of a prefix

def unix_path(prefix, win):
    """The Unix path of a C: path, found as Wine finds it: each part by its
    exact name, else by a name that differs only in case. None when a part
    does not exist (then the rest is appended as written)."""
    m = re.match(r"^([A-Za-z]):\\?(.*)$", win)
    if not m or m.group(1).upper() != "C":
        return None
    path = os.path.join(prefix, "drive_c")
    parts = [p for p in m.group(2).split("\\") if p]
    for i, part in enumerate(parts):
        exact = os.path.join(path, part)
        if os.path.lexists(exact):
            path = exact
            continue
        try:
            names = [n for n in os.listdir(path) if n.lower() == part.lower()]
        except OSError:
            names = []
        if not names:
            return os.path.join(path, *parts[i:])
        path = os.path.join(path, sorted(names)[0])
    return path


def windows_path(prefix, unix):
    """C:\\... for a path below the prefix's drive_c."""
    root = os.path.join(prefix, "drive_c")
    rel = os.path.relpath(unix, root)
    if rel.startswith(".."):
        return None
    return "C:\\" + ("" if rel == "." else rel.replace("/", "\\"))


def entries(folder):
    """(name, kind) of a folder's entries, kind "file", "dir", "link" or
    "other" (links not followed); [] when the folder is not there."""
    try:
        found = []
        for e in os.scandir(folder):
            st = e.stat(follow_symlinks=False)
            kind = ("link" if stat.S_ISLNK(st.st_mode) else "dir" if stat.S_ISDIR(st.st_mode)
                    else "file" if stat.S_ISREG(st.st_mode) else "other")
            found.append((e.name, kind))
        return sorted(found)
    except OSError:
        return []


def matches(name, mask):
    """Whether a file name matches a Windows mask (* and ?), as Windows
    matches names: without regard to case."""
    pattern = "".join(".*" if c == "*" else "." if c == "?" else re.escape(c) for c in mask)
    return re.fullmatch(pattern, name, re.IGNORECASE | re.DOTALL) is not None


def size_text(n):
    """A size as the program's lists show it: bytes below 1 KB, else KB, MB
    or GB (powers of 1024) with two decimals."""
    for unit, size in (("GB", 1 << 30), ("MB", 1 << 20), ("KB", 1 << 10)):
        if n >= size:
            return "%.2f %s" % (n / size, unit)
    return "%d bytes" % n


# ------------------------------------------------------- Wine's hive files

_ESCAPES = {"\\": "\\", '"': '"', "n": "\n", "r": "\r", "t": "\t", "0": "\0", "a": "\a", "b": "\b",
            "e": "\x1b", "f": "\f", "v": "\v"}


def unescape(s):
    """The text of a quoted string of Wine's hive files or of a .reg export."""
    out, i = [], 0
    while i < len(s):
        c = s[i]
        if c != "\\" or i + 1 == len(s):
            out.append(c)
            i += 1
            continue
        n = s[i + 1]
        if n == "x":
            m = re.match(r"[0-9a-fA-F]{1,4}", s[i + 2:])
            if m:
                out.append(chr(int(m.group(0), 16)))
                i += 2 + len(m.group(0))
                continue
        if n in "01234567":
            m = re.match(r"[0-7]{1,3}", s[i + 1:])
            out.append(chr(int(m.group(0), 8)))
            i += 1 + len(m.group(0))
            continue
        out.append(_ESCAPES.get(n, n))
        i += 2
    return "".join(out)


def _quoted(line, start):
    """(text, index after the closing quote) of the string at line[start]."""
    assert line[start] == '"'
    i = start + 1
    while i < len(line):
        if line[i] == "\\":
            i += 2
            continue
        if line[i] == '"':
            return line[start + 1:i], i + 1
        i += 1
    raise ValueError("unterminated string: " + line)


def _value_line(line):
    """(name, data text) of a value line: name "" for @."""
    if line.startswith("@="):
        return "", line[2:]
    raw, end = _quoted(line, 0)
    if line[end:end + 1] != "=":
        raise ValueError("not a value line: " + line)
    return unescape(raw), line[end + 1:]


def _logical_lines(path, encoding="utf-8"):
    """The lines of a registry text, a hex value's continuation lines joined."""
    with open(path, encoding=encoding, errors="surrogateescape") as f:
        pending = None
        for line in f:
            line = line.rstrip("\r\n")
            if pending is not None:
                pending += line.strip()
                if pending.endswith("\\"):
                    pending = pending[:-1]
                    continue
                yield pending
                pending = None
                continue
            if re.match(r'^(".*"|@)=(hex(\([0-9a-fA-F]+\))?):.*\\$', line):
                pending = line[:-1]
                continue
            yield line
        if pending is not None:
            yield pending


def decode_data(data):
    """(type, value) of a value's data text: ("sz", text), ("expand_sz",
    text), ("dword", int), ("hex", bytes) for hex:, ("hex(N)", bytes)."""
    if data.startswith('"'):
        raw, _ = _quoted(data, 0)
        return "sz", unescape(raw)
    m = re.match(r'^str\((\d+)\):"', data)
    if m:
        raw, _ = _quoted(data, len(m.group(0)) - 1)
        return ("expand_sz" if m.group(1) == "2" else "str(%s)" % m.group(1)), unescape(raw)
    if data.startswith("dword:"):
        return "dword", int(data[6:], 16)
    m = re.match(r"^(hex(\([0-9a-fA-F]+\))?):(.*)$", data)
    if m:
        digits = [d for d in m.group(3).replace(" ", "").split(",") if d]
        return m.group(1), bytes(int(d, 16) for d in digits)
    return "unknown", data


class Hive:
    """One of Wine's hive files (system.reg, user.reg): keys by their path
    below the hive's root, without regard to case."""

    def __init__(self, path):
        self.path = path
        self.root = None  # "\\User\\S-1-5-21-..." or "\\Machine"
        self.keys = {}    # lower-case path -> (path, {lower-case name: (name, type, value)})
        current = None
        for line in _logical_lines(path):
            if line.startswith(";; All keys relative to "):
                self.root = unescape(line[len(";; All keys relative to "):])
                continue
            m = re.match(r"^\[(.*)\](\s+\d+)?\s*$", line)
            if m:
                key = unescape(m.group(1))
                current = self.keys.setdefault(key.lower(), (key, {}))[1]
                continue
            if current is not None and (line.startswith('"') or line.startswith("@=")):
                name, data = _value_line(line)
                current[name.lower()] = (name,) + decode_data(data)

    def user_sid(self):
        m = re.search(r"\\User\\(S-[0-9-]+)$", self.root or "")
        return m.group(1) if m else None

    def has_key(self, key):
        return key.lower() in self.keys

    def values(self, key):
        """[(name, type, value)] of a key, in the file's order; [] without it."""
        entry = self.keys.get(key.lower())
        return list(entry[1].values()) if entry else []

    def value(self, key, name):
        entry = self.keys.get(key.lower())
        return entry[1].get(name.lower()) if entry else None

    def string(self, key, name):
        v = self.value(key, name)
        return v[2] if v and v[1] in ("sz", "expand_sz") else ""

    def subkeys(self, key):
        """The names of the key's direct subkeys, as spelt in the file
        (a key with subkeys but no values has no section of its own)."""
        start = key.lower() + "\\"
        names = {}
        for lower, (path, _) in self.keys.items():
            if lower.startswith(start):
                part = path[len(start):].split("\\")[0]
                names.setdefault(part.lower(), part)
        return sorted(names.values(), key=str.lower)


# ---------------------------------------------------------- regedit exports

def parse_export(path):
    """A regedit /E export (UTF-8 text): {lower-case key: (key, {lower-case
    name: (name, data text)})}, keys in full (HKEY_...\\...)."""
    keys = {}
    current = None
    for line in _logical_lines(path):
        if line.startswith("[") and line.endswith("]"):
            key = line[1:-1]
            current = keys.setdefault(key.lower(), (key, {}))[1]
        elif current is not None and (line.startswith('"') or line.startswith("@=")):
            name, data = _value_line(line)
            current[name.lower()] = (name, data)
    return keys


def export_diff(a, b):
    """[(kind, key, name)]: ("-key", key, None), ("+key", key, None),
    ("-value", key, name), ("+value", key, name), ("~value", key, name)."""
    diff = []
    for k in sorted(set(a) - set(b)):
        diff.append(("-key", a[k][0], None))
    for k in sorted(set(b) - set(a)):
        diff.append(("+key", b[k][0], None))
    for k in sorted(set(a) & set(b)):
        va, vb = a[k][1], b[k][1]
        for n in sorted(set(va) - set(vb)):
            diff.append(("-value", a[k][0], va[n][0]))
        for n in sorted(set(vb) - set(va)):
            diff.append(("+value", a[k][0], vb[n][0]))
        for n in sorted(set(va) & set(vb)):
            if va[n][1] != vb[n][1]:
                diff.append(("~value", a[k][0], va[n][0]))
    return diff


def text_of(vtype, value):
    """The text of a string value as decoded by decode_data (REG_SZ, and
    REG_EXPAND_SZ and REG_MULTI_SZ whichever way they were written), up to
    its first NUL; None for a value that holds no text."""
    if vtype in ("sz", "expand_sz"):
        return value.split("\0")[0]
    if vtype in ("hex(1)", "hex(2)", "hex(7)"):
        return value.decode("utf-16-le", errors="replace").split("\0")[0]
    return None


class Export:
    """A regedit /E export in Wine's own order, which is the order in which
    RegEnumKeyEx and RegEnumValue give the keys and values; keys and value
    names are looked up without regard to case. Keys in full
    ("HKEY_USERS\\S-...\\Software\\..."); every key has its section, those
    without values too."""

    def __init__(self, path):
        self.keys = parse_export(path)

    def has_key(self, key):
        return key.lower() in self.keys

    def spelling(self, key):
        """The key as Wine spells it; None when it does not exist."""
        entry = self.keys.get(key.lower())
        return entry[0] if entry else None

    def values(self, key):
        """[(name, type, value)] of a key in Wine's order (types as
        decode_data gives them); [] without the key."""
        entry = self.keys.get(key.lower())
        return [(name,) + decode_data(data) for name, data in entry[1].values()] if entry else []

    def value(self, key, name):
        entry = self.keys.get(key.lower())
        if not entry or name.lower() not in entry[1]:
            return None
        name, data = entry[1][name.lower()]
        return (name,) + decode_data(data)

    def string(self, key, name):
        v = self.value(key, name)
        text = text_of(v[1], v[2]) if v else None
        return text or ""

    def subkeys(self, key):
        """The names of a key's direct subkeys, in Wine's order."""
        start = key.lower() + "\\"
        return [path[len(start):] for lower, (path, _) in self.keys.items()
                if lower.startswith(start) and "\\" not in lower[len(start):]]

    def tree(self, key):
        """The key and every key below it, as Wine spells them; [] when the
        key does not exist."""
        low = key.lower()
        return [path for lower, (path, _) in self.keys.items() if lower == low or lower.startswith(low + "\\")]


# What a start of Wine may rewrite by itself, each when the display driver
# starts: the date it stamps into its adapter's class key, and the
# Control\Video keys it makes anew with new GUIDs.
WINE_REWRITES = [
    (r"^HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Class\\\{4d36e968-e325-11ce-bfc1-08002be10318\}\\\d{4} -> DriverDateData$",
     "the display driver's date, written when it starts"),
    (r"^HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video\\\{[0-9a-f-]+\}(\\.*)?$",
     "the display driver's video keys, made anew with new GUIDs when it starts"),
]


def _diff_text(key, name):
    return key if name is None else key + " -> " + ("@" if name == "" else name)


def wine_own_changes(before, again, what):
    """What Wine rewrote by itself between two exports (paths, or what
    parse_export made of them) taken with nothing changed in between: each
    change must be one of WINE_REWRITES (else a check fails). Returns
    own(key, name), true for an entry of the kinds of change seen there,
    which later comparisons leave out."""
    before, again = (parse_export(e) if isinstance(e, str) else e for e in (before, again))
    active, unexplained = set(), []
    control = export_diff(before, again)
    for kind, key, name in control:
        hit = [i for i, (pat, _) in enumerate(WINE_REWRITES)
               if re.match(pat, _diff_text(key, name), re.IGNORECASE)]
        active.update(hit)
        if not hit:
            unexplained.append("%s %s" % (kind, _diff_text(key, name)))
    print("    Wine changed %d entries by itself between two starts%s" % (len(control), ":" if control else ""))
    for i in sorted(active):
        print("      " + WINE_REWRITES[i][1])
    check(not unexplained, "%s: every change Wine made by itself between two starts is explained" % what,
          unexplained)

    def own(key, name):
        return any(re.match(WINE_REWRITES[i][0], _diff_text(key, name), re.IGNORECASE) for i in active)
    return own


def check_export_change(before_path, again_path, after_path, want, what):
    """Checks that the export after_path differs from before_path in exactly
    `want`, [(kind, key, name)] as export_diff gives them ("-value" with the
    value's name, "-key" with None), keys and names compared without regard
    to case. again_path is a second export taken with nothing changed after
    before_path: what Wine rewrote by itself between the two must be one of
    WINE_REWRITES (else a check fails), and only those kinds of change are
    left out of the comparison."""
    before, again, after = (parse_export(p) for p in (before_path, again_path, after_path))
    own = wine_own_changes(before, again, what)

    def norm(kind, key, name):
        return (kind, key.lower(), None if name is None else name.lower())

    diff = [d for d in export_diff(before, after) if not own(d[1], d[2])]
    got = sorted((norm(*d) for d in diff), key=repr)
    spelt = {norm(*d): d for d in list(want) + diff}
    wanted = sorted(set(norm(*w) for w in want), key=repr)
    shown = lambda items: ["%s %s" % (spelt[i][0], _diff_text(spelt[i][1], spelt[i][2])) for i in items]
    details = []
    if got != wanted:
        details += ["Wine's export differs in %d entries, %d expected" % (len(got), len(wanted))]
        details += listing("differences not expected", shown(g for g in got if g not in wanted))
        details += listing("expected but not seen", shown(w for w in wanted if w not in got))
    return check(got == wanted, "%s: Wine's export differs in exactly the %d expected entries" % (what, len(wanted)),
                 details)


PROGRAM_FOLDER = "Program Files/Kestrane Professional/"


def repair_undo(report_file):
    """The undo file a repair report names ("" when it names none)."""
    import json
    with open(report_file) as f:
        text = f.read()
    try:
        report = json.loads(text)
    except ValueError:
        return ""
    return report.get("undo") or "" if isinstance(report, dict) else ""


def check_gone(before_file, after_file, gone_file, what, undo=""):
    """Checks two snapshots (JSON files of snapshot()) against the JSON list
    of paths that must be gone: those and no others, nothing new or changed.
    With undo (the name a repair report gives, snapshots of drive_c), the
    undo file of that name is expected new, with the program's folders it
    may have made, and it must be there."""
    import json
    with open(before_file) as f:
        a = json.load(f)
    with open(after_file) as f:
        b = json.load(f)
    with open(gone_file) as f:
        gone = sorted(set(json.load(f)))
    diff = snapshot_diff(a, b)
    removed = sorted(p for k, p in diff if k == "-")
    made = []
    if undo:
        undo_path = PROGRAM_FOLDER + "Undo/" + undo
        check(b.get(undo_path, [""])[0] == "file" and undo_path not in a,
              "%s: the repair wrote its undo file %s" % (what, undo_path))
        made = [undo_path, PROGRAM_FOLDER]
        made += [p for p in b if p.startswith(PROGRAM_FOLDER) and p.endswith("/")
                 and p.count("/") == PROGRAM_FOLDER.count("/") + 1]
    others = ["%s %s" % (k, p) for k, p in diff if k != "-" and not (k == "+" and p in made)]
    details = []
    if removed != gone or others:
        details += listing("expected to be gone", gone)
        details += listing("gone", removed)
        details += listing("gone but not expected", sorted(set(removed) - set(gone)))
        details += listing("expected but still there", sorted(set(gone) - set(removed)))
        details += listing("new or changed", others)
    return check(removed == gone and not others,
                 "%s: exactly the %d expected entries are gone, nothing else changed" % (what, len(gone)), details)


# ------------------------------------------------------ JSON Schema (part)

def schema_errors(value, schema, where="$"):
    """What of a value breaks a JSON Schema, for the keywords the project's
    schemas use (type, const, enum, required, properties,
    additionalProperties, patternProperties, items, minimum, minLength,
    pattern); used when Python's jsonschema module is not installed."""
    errors = []
    types = schema.get("type")
    if types is not None:
        names = types if isinstance(types, list) else [types]

        def is_type(t):
            return {"object": isinstance(value, dict), "array": isinstance(value, list),
                    "string": isinstance(value, str),
                    "integer": isinstance(value, int) and not isinstance(value, bool),
                    "number": isinstance(value, (int, float)) and not isinstance(value, bool),
                    "boolean": isinstance(value, bool), "null": value is None}[t]

        if not any(is_type(t) for t in names):
            return ["%s: %r is not of type %s" % (where, value, types)]
    if "const" in schema and value != schema["const"]:
        errors.append("%s: %r is not %r" % (where, value, schema["const"]))
    if "enum" in schema and value not in schema["enum"]:
        errors.append("%s: %r is not one of %r" % (where, value, schema["enum"]))
    if isinstance(value, dict):
        for k in schema.get("required", []):
            if k not in value:
                errors.append("%s: required key %r is missing" % (where, k))
        props = schema.get("properties", {})
        patterns = schema.get("patternProperties", {})
        extra = schema.get("additionalProperties", True)
        for k, v in value.items():
            matched = False
            if k in props:
                matched = True
                errors += schema_errors(v, props[k], "%s.%s" % (where, k))
            for pat, sub in patterns.items():
                if re.search(pat, k):
                    matched = True
                    errors += schema_errors(v, sub, "%s.%s" % (where, k))
            if not matched:
                if extra is False:
                    errors.append("%s: key %r is not allowed" % (where, k))
                elif isinstance(extra, dict):
                    errors += schema_errors(v, extra, "%s.%s" % (where, k))
    if isinstance(value, list) and "items" in schema:
        for i, v in enumerate(value):
            errors += schema_errors(v, schema["items"], "%s[%d]" % (where, i))
    if isinstance(value, (int, float)) and not isinstance(value, bool) and "minimum" in schema:
        if value < schema["minimum"]:
            errors.append("%s: %r is below %r" % (where, value, schema["minimum"]))
    if isinstance(value, str):
        if "minLength" in schema and len(value) < schema["minLength"]:
            errors.append("%s: %r is shorter than %d" % (where, value, schema["minLength"]))
        if "pattern" in schema and not re.search(schema["pattern"], value):
            errors.append("%s: %r does not match %r" % (where, value, schema["pattern"]))
    return errors


def validate(document, schema):
    """The schema's complaints about a document: Python's jsonschema when it
    is installed, else schema_errors. (errors, which validator)."""
    try:
        import jsonschema
    except ImportError:
        return schema_errors(document, schema), "the test's own check of the schema's keywords"
    validator = jsonschema.validators.validator_for(schema)(schema)
    return (["%s: %s" % ("/".join(str(p) for p in e.absolute_path) or "$", e.message)
             for e in validator.iter_errors(document)], "Python's jsonschema")
PY
}
