#!/bin/bash
# The 32-bit half of a 64-bit prefix (HKLM\Software\Wow6432Node and
# HKCR\Wow6432Node) against Debian's wine64, whose own reg.exe writes that
# view with /reg:32:
#   - on a prefix just made by wineboot, no registry row is in the 32-bit
#     view, and every row the registry categories list is explained from
#     Wine's own export and the prefix's files;
#   - on a copy seeded by seed/wow32_traces.sh and the near misses below,
#     the startup, uninstall, class, empty-key and progressive rows are
#     exactly what a person checking by hand finds, as a 32-bit program
#     sees the files (system32 as syswow64 but for the folders kept, its
#     program-files folder "Program Files (x86)"), and nothing more;
#   - the repair removes exactly those, each in the view its row names:
#     Wine's regedit /E differs by exactly them, Wine's reg.exe with /reg:32
#     and /reg:64 shows which entries are gone and which are kept, and a
#     second scan lists nothing.
#
# Usage: wow32_interop.sh KESTRANE_CLI
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
SCHEMA="$IL_HERE/../../docs/kestrane-cli-report.schema.json"

il_wait_program "$CLI"

il_setup wow32
START=$(date +%s)
W=$IL_WORK              # the work files: exports, reports, reg.exe outputs
FRESH=$IL_WORK/fresh    # wineboot's prefix, left as it made it
P=$IL_WORK/seeded       # a copy of it, seeded
IL_PREFIXES+=("$FRESH" "$P")

# The seeded entries: the names the checks below use.
RUN='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
CLSID_PREFIX='{6B0C2A11-5E3D-4F0A-9C1B-2D7E8F901A0'

# Wine's reg.exe on a prefix, in the seeding log.
wreg() { il_reg "$@"; }

# The near misses and further findings beside those of seed/wow32_traces.sh,
# each written through Wine's reg.exe in the view it belongs to, the files
# by the shell. What each must give is in wow.py (NEW_ROWS, NEAR_MISSES).
seed_more() {  # seed_more PREFIX
    local p=$1 c=$1/drive_c failed=0
    mkdir -p "$c/windows/syswow64" "$c/windows/system32/spool" "$c/Program Files (x86)/Kept"
    printf 'MZ 32-bit tool\r\n' >"$c/windows/syswow64/tool32.exe"
    printf 'MZ 64-bit only program\r\n' >"$c/windows/system32/only64.exe"
    printf 'MZ 64-bit only library\r\n' >"$c/windows/system32/only64.dll"
    printf 'MZ print tray helper\r\n' >"$c/windows/system32/spool/prtray32.exe"
    printf 'MZ kept 32-bit library\r\n' >"$c/Program Files (x86)/Kept/kept32.dll"
    add() { wreg "$p" add "$@" /f || { echo "    (reg add failed: $?)"; failed=1; }; }

    # Startup, 32-bit: a program of syswow64 named by its system32 path; a
    # program in system32\spool, which is not redirected; a bare name found
    # in the search folders (system32, for a 32-bit program syswow64); a
    # program only in the 64-bit system32, which a 32-bit program cannot reach.
    add "$RUN" /v Tool32 /t REG_SZ /d 'C:\windows\system32\tool32.exe' /reg:32
    add "$RUN" /v SpoolHelper /t REG_SZ /d 'C:\windows\system32\spool\prtray32.exe' /reg:32
    add "$RUN" /v BareTool /t REG_SZ /d 'tool32.exe /quiet' /reg:32
    add "$RUN" /v Only64 /t REG_SZ /d '"C:\windows\system32\only64.exe" -s' /reg:32
    # Startup, 64-bit: GoneTool again, a program that is there; a program
    # only in syswow64, which a 64-bit program does not reach as system32.
    add "$RUN" /v GoneTool /t REG_SZ /d '"C:\windows\system32\only64.exe"' /reg:64
    add "$RUN" /v Only32 /t REG_SZ /d 'C:\windows\system32\tool32.exe' /reg:64

    # Uninstall: GoneApp healthy in the 64-bit view; SharedApp broken in the
    # 64-bit view and healthy in the 32-bit one; TwinApp the other way round.
    add "$UNINSTALL\\GoneApp" /v DisplayName /t REG_SZ /d 'Gone Application x64' /reg:64
    add "$UNINSTALL\\SharedApp" /v Publisher /t REG_SZ /d 'Shared Software' /reg:64
    add "$UNINSTALL\\SharedApp" /v DisplayName /t REG_SZ /d 'Shared Application (32-bit)' /reg:32
    add "$UNINSTALL\\SharedApp" /v UninstallString /t REG_SZ /d '"C:\Program Files (x86)\Kept\kept.exe" /uninstall' /reg:32
    add "$UNINSTALL\\TwinApp" /v DisplayName /t REG_SZ /d 'Twin Application' /reg:64
    add "$UNINSTALL\\TwinApp" /v Publisher /t REG_SZ /d 'Twin Software' /reg:32
    add "$UNINSTALL\\TwinApp" /v DisplayVersion /t REG_SZ /d '2.0' /reg:32

    # Classes: {..A01} also in the 64-bit view, with a server that is there;
    # {..A03} names %ProgramFiles%, for a 32-bit program Program Files (x86);
    # {..A04} a library only in the 64-bit system32; {..A05}, 64-bit, a
    # library only in syswow64.
    add "HKCR\\CLSID\\${CLSID_PREFIX}1}" /ve /t REG_SZ /d 'Gone component, 64-bit build' /reg:64
    add "HKCR\\CLSID\\${CLSID_PREFIX}1}\\InprocServer32" /ve /t REG_SZ /d 'C:\windows\system32\only64.dll' /reg:64
    add "HKCR\\CLSID\\${CLSID_PREFIX}3}" /ve /t REG_SZ /d 'Kept 32-bit component' /reg:32
    add "HKCR\\CLSID\\${CLSID_PREFIX}3}\\InprocServer32" /ve /t REG_EXPAND_SZ /d '%ProgramFiles%\Kept\kept32.dll' /reg:32
    add "HKCR\\CLSID\\${CLSID_PREFIX}4}" /ve /t REG_SZ /d '64-bit library named by a 32-bit class' /reg:32
    add "HKCR\\CLSID\\${CLSID_PREFIX}4}\\InprocServer32" /ve /t REG_SZ /d 'C:\windows\system32\only64.dll' /reg:32
    add "HKCR\\CLSID\\${CLSID_PREFIX}5}" /ve /t REG_SZ /d '32-bit library named by a 64-bit class' /reg:64
    add "HKCR\\CLSID\\${CLSID_PREFIX}5}\\InprocServer32" /ve /t REG_SZ /d 'C:\windows\system32\x32only.dll' /reg:64

    # Keys directly under Software: EmptyVendor empty in the 32-bit view (as
    # an uninstaller that took its value and left its key; Wine's reg add of
    # a bare key writes an empty default value) and holding a value in the
    # 64-bit one; KeptVendor (32-bit) with the paths the progressive
    # analysis tests as a 32-bit program sees them.
    add 'HKLM\Software\EmptyVendor' /v Version /t REG_SZ /d 1.0 /reg:32
    wreg "$p" delete 'HKLM\Software\EmptyVendor' /v Version /f /reg:32 || { echo "    (reg delete failed: $?)"; failed=1; }
    add 'HKLM\Software\EmptyVendor' /v Installed /t REG_DWORD /d 1 /reg:64
    add 'HKLM\Software\KeptVendor' /v Tool /t REG_SZ /d 'C:\windows\system32\tool32.exe' /reg:32
    add 'HKLM\Software\KeptVendor' /v Data /t REG_SZ /d 'C:\Program Files (x86)\Gone\data.bin' /reg:32
    add 'HKLM\Software\KeptVendor' /v Helper /t REG_SZ /d 'C:\windows\system32\only64.exe' /reg:32
    return $failed
}

# Wine's reg.exe query of KEY in VIEW (32 or 64): printed for the record and
# kept as DIR/TAG.txt, its exit status in DIR/TAG.rc.
query() {  # query DIR TAG VIEW KEY [/s]
    local dir=$1 tag=$2 view=$3 key=$4
    shift 4
    mkdir -p "$dir"
    WINEPREFIX="$P" "$IL_WINE" reg query "$key" "$@" /reg:$view </dev/null 2>&1 | tr -d '\r' >"$dir/$tag.txt"
    echo "${PIPESTATUS[0]}" >"$dir/$tag.rc"
    echo "+ reg query $key${*:+ $*} /reg:$view   (exit status $(cat "$dir/$tag.rc"))"
    sed -e '/^$/d' -e 's/^/    | /' "$dir/$tag.txt"
}
query_all() {  # query_all DIR
    local view n
    WINEPREFIX="$P" "$IL_WINESERVER" -p5
    for view in 32 64; do
        query "$1" run.$view $view "$RUN"
        query "$1" uninstall.$view $view "$UNINSTALL" /s
        for n in 1 2 3 4 5; do
            query "$1" A0$n.$view $view "HKCR\\CLSID\\$CLSID_PREFIX$n}" /s
        done
        query "$1" EmptyVendor.$view $view 'HKLM\Software\EmptyVendor'
        query "$1" KeptVendor.$view $view 'HKLM\Software\KeptVendor'
    done
    il_wait_server "$P"
}

# ------------------------------------------------------------------------
# What the registry rows must be, worked out from Wine's export and the
# prefix's files as someone checking the prefix by hand would; the checks
# of the reports, of the repair and of reg.exe's outputs.
cat >"$W/wow.py" <<'PY'
import collections
import json
import os
import re
import sys

import ilib

HKLM = "HKEY_LOCAL_MACHINE"
RUN = r"Microsoft\Windows\CurrentVersion\Run"
UNINSTALL = r"Microsoft\Windows\CurrentVersion\Uninstall"
WOW_RUN = r"HKLM\Software\Wow6432Node" + "\\" + RUN
WOW_UNINSTALL = r"HKLM\SOFTWARE\Wow6432Node" + "\\" + UNINSTALL
NATIVE_UNINSTALL = r"HKLM\SOFTWARE" + "\\" + UNINSTALL
G = "{6B0C2A11-5E3D-4F0A-9C1B-2D7E8F901A0%d}"

LISTS = {1: "lvsp", 2: "lvue", 3: "lvfe", 4: "lvax", 5: "lvhelp", 6: "lvfont", 7: "lvvd", 8: "lvos", 20: "LV2"}
STATUS = {"lvsp": "Missing Startup Application(Remove)", "lvue": "Missing Uninstall Key(Removable)",
          "lvax": "Missing Path(Removable)", "lvos": "Empty Key(Remove)", "LV2": "Missing Path(Removable)"}
# The lists worked out in full here; the progressive analysis is explained
# row by row, and the other lists must stay empty on these prefixes.
WORKED_OUT = ("lvsp", "lvue", "lvax", "lvos")

# What the seeding adds to the rows of the fresh prefix: (list, caption,
# detail, location). seed/wow32_traces.sh gives GoneTool, GoneApp and {..A01};
# the test's own seeding the rest.
NEW_ROWS = [
    ("lvsp", "GoneTool", r'"C:\Program Files (x86)\Gone\gone.exe" /background', WOW_RUN),
    ("lvsp", "Only64", r'"C:\windows\system32\only64.exe" -s', WOW_RUN),
    ("lvsp", "Only32", r"C:\windows\system32\tool32.exe", "HKLM\\Software\\" + RUN),
    ("lvue", "GoneApp", "GoneApp", WOW_UNINSTALL + r"\GoneApp"),
    ("lvue", "TwinApp", "TwinApp", WOW_UNINSTALL + r"\TwinApp"),
    ("lvue", "SharedApp", "SharedApp", NATIVE_UNINSTALL + r"\SharedApp"),
    ("lvax", r"C:\Program Files (x86)\Gone\gone32.dll", G % 1, r"HKCR\Wow6432Node\CLSID"),
    ("lvax", r"C:\windows\system32\only64.dll", G % 4, r"HKCR\Wow6432Node\CLSID"),
    ("lvax", r"C:\windows\system32\x32only.dll", G % 5, r"HKCR\CLSID"),
    ("lvos", "EmptyVendor", "EmptyVendor", "HKLM\\Software\\Wow6432Node\\"),
    ("LV2", r"C:\windows\system32\tool32.exe", "Only32", "HKLM\\SOFTWARE\\" + RUN),
    ("LV2", r"C:\windows\system32\x32only.dll", "(Default)", "HKLM\\SOFTWARE\\Classes\\CLSID\\%s\\InprocServer32" % (G % 5)),
    ("LV2", r"C:\Program Files (x86)\Gone\data.bin", "Data", r"HKLM\SOFTWARE\Wow6432Node\KeptVendor"),
    ("LV2", r"C:\windows\system32\only64.exe", "Helper", r"HKLM\SOFTWARE\Wow6432Node\KeptVendor"),
]
# What must not be listed: (why, list, caption, location or None for any).
NEAR_MISSES = [
    ("the 32-bit KeptTool: its program is in Program Files (x86)", "lvsp", "KeptTool", WOW_RUN),
    ("the 64-bit KeptTool of the same name: notepad.exe is in system32", "lvsp", "KeptTool", "HKLM\\Software\\" + RUN),
    ("the 64-bit GoneTool: its program is in system32", "lvsp", "GoneTool", "HKLM\\Software\\" + RUN),
    ("32-bit Tool32: system32\\tool32.exe is in syswow64", "lvsp", "Tool32", None),
    ("32-bit SpoolHelper: system32\\spool is not redirected", "lvsp", "SpoolHelper", None),
    ("32-bit BareTool: tool32.exe is found in the 32-bit system32 (syswow64)", "lvsp", "BareTool", None),
    ("the 32-bit KeptApp: it has a DisplayName", "lvue", "KeptApp", None),
    ("the 64-bit GoneApp: it has a DisplayName", "lvue", "GoneApp", NATIVE_UNINSTALL + r"\GoneApp"),
    ("the 32-bit SharedApp: it has a DisplayName", "lvue", "SharedApp", WOW_UNINSTALL + r"\SharedApp"),
    ("the 64-bit TwinApp: it has a DisplayName", "lvue", "TwinApp", NATIVE_UNINSTALL + r"\TwinApp"),
    ("32-bit {..A02}: system32\\x32only.dll is in syswow64", "lvax", r"C:\windows\system32\x32only.dll",
     r"HKCR\Wow6432Node\CLSID"),
    ("32-bit {..A03}: %ProgramFiles%\\Kept\\kept32.dll is in Program Files (x86)", "lvax",
     r"%ProgramFiles%\Kept\kept32.dll", None),
    ("the 64-bit {..A01}: system32\\only64.dll is there", "lvax", r"C:\windows\system32\only64.dll", r"HKCR\CLSID"),
    ("the 64-bit EmptyVendor: it holds a value", "lvos", "EmptyVendor", "HKLM\\Software\\"),
    ("the 32-bit KeptVendor: it holds values", "lvos", "KeptVendor", None),
    ("Wow6432Node itself", "lvos", "Wow6432Node", None),
    ("KeptVendor's Tool: system32\\tool32.exe is in syswow64", "LV2", r"C:\windows\system32\tool32.exe",
     r"HKLM\SOFTWARE\Wow6432Node\KeptVendor"),
]


def say(text):
    print("    " + text)


def row_text(r):
    return "%s: %s | %s | %s" % r[:4]


# ------------------------------------------------------------ the prefix

def registry_path(target):
    r"""\Registry\Machine\X as Wine's export names it."""
    for native, exported in ((r"\registry\machine", HKLM), (r"\registry\user", "HKEY_USERS")):
        if target.lower().startswith(native + "\\"):
            return exported + target[len(native):]
    return target


def read_links(hive_file, root):
    """{lower-case key: (key, target)} of the hive's link keys, keys in full."""
    links, key, link = {}, None, False
    for line in ilib._logical_lines(hive_file):
        m = re.match(r"^\[(.*)\](\s+\d+)?\s*$", line)
        if m:
            key, link = root + "\\" + ilib.unescape(m.group(1)), False
        elif line == "#link":
            link = True
        elif key and link and line.startswith('"SymbolicLinkValue"='):
            kind, value = ilib.decode_data(ilib._value_line(line)[1])
            if isinstance(value, bytes):
                links[key.lower()] = (key, registry_path(value.decode("utf-16-le").rstrip("\0")))
    return links


class Prefix:
    def __init__(self, prefix, export_file):
        self.prefix = prefix
        self.x = ilib.Export(export_file)
        self.sid = ilib.Hive(os.path.join(prefix, "user.reg")).user_sid()
        self.links = read_links(os.path.join(prefix, "system.reg"), HKLM)
        self.links.update(read_links(os.path.join(prefix, "user.reg"), "HKEY_USERS\\%s" % self.sid))
        self.user_software = "HKEY_USERS\\%s\\Software" % self.sid
        cv = HKLM + r"\Software\Microsoft\Windows\CurrentVersion"
        cv32 = HKLM + r"\Software\Wow6432Node\Microsoft\Windows\CurrentVersion"
        self.system_root = self.x.string(HKLM + r"\Software\Microsoft\Windows NT\CurrentVersion", "SystemRoot")
        # A 32-bit program's folders: its view's, else the native "(x86)" ones.
        self.program_files = {False: self.x.string(cv, "ProgramFilesDir"),
                              True: self.x.string(cv32, "ProgramFilesDir") or self.x.string(cv, "ProgramFilesDir (x86)")}
        self.common_files = {False: self.x.string(cv, "CommonFilesDir"),
                             True: self.x.string(cv32, "CommonFilesDir") or self.x.string(cv, "CommonFilesDir (x86)")}
        env = HKLM + r"\System\CurrentControlSet\Control\Session Manager\Environment"
        self.search = [self.system_root + r"\system32", self.system_root]
        self.search += [self.expand(p, False) for p in self.x.string(env, "PATH").split(";") if p]

    # -- keys
    def export_key(self, location):
        r"""The key of Wine's export that a row's location names (HKLM\,
        HKCU\, HKCR\ the machine's classes), without a closing backslash."""
        location = location.rstrip("\\")
        root, _, rest = location.partition("\\")
        base = {"HKLM": HKLM, "HKCU": "HKEY_USERS\\" + self.sid, "HKCR": HKLM + r"\Software\Classes"}[root.upper()]
        return base + ("\\" + rest if rest else "")

    def is_link(self, key):
        return key.lower() in self.links

    def through_link(self, key):
        parts = key.split("\\")
        return any(self.is_link("\\".join(parts[:i])) for i in range(1, len(parts) + 1))

    def aliases(self, key):
        """The key and the keys that show it through a link."""
        out = [key]
        for alias, target in self.links.values():
            if key.lower() == target.lower() or key.lower().startswith(target.lower() + "\\"):
                out.append(alias + key[len(target):])
        return out

    # -- files
    def to32(self, path):
        """The path a 32-bit program reaches: system32 of the Windows folder
        is syswow64, but for drivers\\etc, catroot, catroot2, spool, logfiles."""
        parts, root = path.split("\\"), self.system_root.split("\\")
        n = len(root)
        if len(parts) <= n or [p.lower() for p in parts[:n]] != [r.lower() for r in root] or parts[n].lower() != "system32":
            return path
        rest = [p.lower() for p in parts[n + 1:]]
        if rest and (rest[0] in ("catroot", "catroot2", "spool", "logfiles") or rest[:2] == ["drivers", "etc"]):
            return path
        return "\\".join(parts[:n] + ["syswow64"] + parts[n + 1:])

    def unix(self, path, view32):
        return ilib.unix_path(self.prefix, self.to32(path) if view32 else path)

    def is_file(self, path, view32):
        u = self.unix(path, view32)
        return bool(u) and os.path.isfile(u)

    def exists(self, path, view32):
        u = self.unix(path, view32)
        return bool(u) and os.path.exists(u)

    def expand(self, text, view32):
        for name, value in (("ProgramFiles", self.program_files[view32]), ("SystemRoot", self.system_root),
                            ("windir", self.system_root), ("CommonProgramFiles", self.common_files[view32])):
            text = re.sub("%" + name + "%", lambda m: value, text, flags=re.IGNORECASE)
        return text

    def program(self, command, view32):
        """The program file a command line names, as Windows looks for it (a
        quoted path as it is; unquoted, up to each blank in turn; .exe added
        to a name without one; a bare name in the search folders); None."""
        command = command.strip()
        if command.startswith('"'):
            end = command.find('"', 1)
            tries = [command[1:end] if end > 0 else command[1:]]
        else:
            words = command.split(" ")
            tries = [" ".join(words[:i]) for i in range(1, len(words) + 1)]
        for t in tries:
            names = [t] if "." in t.split("\\")[-1] else [t + ".exe"]
            for name in names:
                where = [name] if ("\\" in name or ":" in name) else [f + "\\" + name for f in self.search]
                for w in where:
                    if self.is_file(w, view32):
                        return self.to32(w) if view32 else w
        return None


# ------------------------------------------------------- the expected rows

def expected_rows(px):
    """The rows of the lists in WORKED_OUT, in the program's order of keys,
    and for each entry looked at, how it came out."""
    x, rows, notes = px.x, [], []

    # Running While Startup: the user's Run and RunOnce, the machine's Run,
    # then the 32-bit view's Run, whose commands a 32-bit program resolves.
    runs = [(px.user_software + "\\" + RUN, "HKCU\\Software\\" + RUN, False),
            (px.user_software + "\\" + RUN + "Once", "HKCU\\Software\\" + RUN + "Once", False),
            (HKLM + "\\Software\\" + RUN, "HKLM\\Software\\" + RUN, False),
            (HKLM + "\\Software\\Wow6432Node\\" + RUN, WOW_RUN, True)]
    for key, location, view32 in runs:
        if view32 and px.through_link(key):
            notes.append("%s is reached through a link: read in the view it leads to" % location)
            continue
        for name, kind, value in x.values(key):
            command = ilib.text_of(kind, value) or ""
            found = px.program(command, view32)
            notes.append("%s -> %s = %r: %s" % (location, name, command,
                                                 "program %s" % found if found else "no program file"))
            if not found:
                rows.append(("lvsp", name, command, location, STATUS["lvsp"]))

    # Uninstaller Bugs: the entries without UninstallString, InstallSource
    # or DisplayName, native view first.
    for key, location in ((HKLM + "\\SOFTWARE\\" + UNINSTALL, NATIVE_UNINSTALL),
                          (HKLM + "\\SOFTWARE\\Wow6432Node\\" + UNINSTALL, WOW_UNINSTALL)):
        if "wow6432node" in key.lower() and px.through_link(key):
            notes.append("%s is reached through a link" % location)
            continue
        for name in x.subkeys(key):
            names = {v[0].lower() for v in x.values(key + "\\" + name)}
            ok = names & {"uninstallstring", "installsource", "displayname"}
            notes.append("%s\\%s: %s" % (location, name, "has " + ", ".join(sorted(ok)) if ok else "none of the three"))
            if not ok:
                rows.append(("lvue", name, name, location + "\\" + name, STATUS["lvue"]))

    # Missing ActiveX and DLLs: each class whose in-process server is found
    # under none of its spellings, by the files of the class's view.
    for key, location, view32 in ((HKLM + r"\Software\Classes\CLSID", r"HKCR\CLSID", False),
                                  (HKLM + r"\Software\Classes\Wow6432Node\CLSID", r"HKCR\Wow6432Node\CLSID", True)):
        for clsid in x.subkeys(key):
            server = key + "\\" + clsid + "\\InprocServer32"
            if not x.has_key(server):
                continue
            path = x.string(server, "")
            if not path:
                continue
            bare = px.expand(path.replace('"', ""), view32)
            tries = [bare] if re.match(r"^[A-Za-z]:\\", bare) else [px.system_root + "\\system32\\" + bare, bare]
            found = [t for t in tries if px.is_file(t, view32)]
            if view32 or not found:
                notes.append("%s %s: %s -> %s" % (location, clsid, path,
                                                  px.to32(found[0]) if view32 and found else found[0] if found
                                                  else "found under no spelling"))
            if not found:
                rows.append(("lvax", path, clsid, location, STATUS["lvax"]))

    # Obsolete Software: keys directly under Software with neither values
    # nor subkeys; links are not keys of their own, Wow6432Node is the view.
    for parent, location in ((px.user_software, "HKCU\\Software\\"), (HKLM + "\\Software", "HKLM\\Software\\"),
                             (HKLM + "\\Software\\Wow6432Node", "HKLM\\Software\\Wow6432Node\\")):
        for name in x.subkeys(parent):
            key = parent + "\\" + name
            if location == "HKLM\\Software\\" and name.lower() == "wow6432node":
                continue
            if px.is_link(key):
                notes.append("%s%s is a link to %s: not a key of its own" % (location, name, px.links[key.lower()][1]))
                continue
            if not x.values(key) and not x.subkeys(key):
                notes.append("%s%s is empty" % (location, name))
                rows.append(("lvos", name, name, location, STATUS["lvos"]))
    return rows, notes


def explain_lv2(px, row):
    """Why a progressive-analysis row is true (None when it is not)."""
    _, caption, detail, location = row[:4]
    key = px.export_key(location)
    v = px.x.value(key, "" if detail == "(Default)" else detail)
    if v is None:
        return None
    text = (ilib.text_of(v[1], v[2]) or "").replace('"', "").replace("file://", "")
    view32 = location.lower().startswith("hklm\\software\\wow6432node\\")
    if caption.lower() not in text.lower() or px.exists(caption, view32) or px.program(caption, view32):
        return None
    return "%s = %r names %s, which %s" % (detail, text, caption,
                                          "a 32-bit program does not find (it looks at %s)" % px.to32(caption)
                                          if view32 else "does not exist")


# ----------------------------------------------------------------- a scan

def report_rows(report):
    rows = []
    for number, name in LISTS.items():
        for r in report.get("lists", {}).get(name, {}).get("rows", []):
            sub = list(r.get("subitems", [])) + ["", "", ""]
            rows.append((name, r.get("caption"), sub[1], sub[2], sub[0], r.get("checked")))
    return rows


def view_rank(name, location):
    """The place of a row's key in the program's order of keys."""
    loc = location.lower()
    order = {"lvsp": ["hkcu\\software\\" + RUN.lower(), "hkcu\\software\\" + RUN.lower() + "once",
                      "hklm\\software\\" + RUN.lower(), WOW_RUN.lower()],
             "lvue": [NATIVE_UNINSTALL.lower(), WOW_UNINSTALL.lower()],
             "lvax": [r"hkcr\clsid", r"hkcr\wow6432node\clsid"],
             "lvos": ["hkcu\\software\\", "hklm\\software\\", "hklm\\software\\wow6432node\\"]}.get(name)
    if not order:
        return 0
    for i, prefix in reversed(list(enumerate(order))):
        if loc == prefix or (name == "lvue" and loc.startswith(prefix + "\\")):
            return i
    return -1


def multiset_check(what, want, got):
    wc, gc = collections.Counter(want), collections.Counter(got)
    details = []
    if wc != gc:
        details += ilib.listing("expected but not listed", sorted((wc - gc).elements()))
        details += ilib.listing("listed but not expected", sorted((gc - wc).elements()))
    return ilib.check(wc == gc, what, details)


def check_scan(prefix, export_file, report_file, schema_file, label, out_file, base_file=None):
    try:
        report = json.load(open(report_file))
    except ValueError as e:
        ilib.check(False, "%s: the report is JSON" % label, [str(e)])
        return
    errors, validator = ilib.validate(report, json.load(open(schema_file)))
    ilib.check(not errors, "%s: the report validates against the schema (%s)" % (label, validator), errors[:20])
    ilib.check(report.get("prefix") == prefix, "%s: the report names the prefix" % label,
               ["expected %r, got %r" % (prefix, report.get("prefix"))])
    px = Prefix(prefix, export_file)
    rows = report_rows(report)
    json.dump([list(r) for r in rows], open(out_file, "w"), indent=1)

    summary = {s.get("row"): s for s in report.get("summary", []) if isinstance(s, dict)}
    missing = [n for n in LISTS.values() if n not in report.get("lists", {})]
    ilib.check(not missing, "%s: the report has every registry list" % label, missing)
    bad_counts = ["row %d (%s): count %r, %d rows" % (n, name, summary.get(n, {}).get("count"),
                                                     sum(1 for r in rows if r[0] == name))
                  for n, name in LISTS.items()
                  if summary.get(n, {}).get("count") != sum(1 for r in rows if r[0] == name)]
    ilib.check(not bad_counts, "%s: each summary count is its list's row count" % label, bad_counts)

    print("  %s: %d registry rows" % (label, len(rows)))
    for r in rows:
        say(row_text(r))

    wow = [row_text(r) for r in rows if "wow6432node" in r[3].lower()]
    if base_file is None:
        ilib.check(not wow, "%s: no row's location is in the 32-bit view (Wow6432Node)" % label, wow)

    # Every row explained.
    expected, notes = expected_rows(px)
    print("  %s: what a person checking by hand finds" % label)
    for n in notes:
        say(n)
    unexplained = []
    want_keys = collections.Counter(e[:5] for e in expected)
    for r in rows:
        name = r[0]
        if r[5] is not True:
            unexplained.append("%s: not checked" % row_text(r))
        if name in WORKED_OUT:
            if want_keys[r[:5]] <= 0:
                unexplained.append("%s: found by no rule checked here" % row_text(r))
            else:
                want_keys[r[:5]] -= 1
        elif name == "LV2":
            why = explain_lv2(px, r) if r[4] == STATUS["LV2"] else None
            if why:
                say("LV2 %s at %s: %s" % (r[1], r[3], why))
            else:
                unexplained.append("%s: the value does not name a path that is missing" % row_text(r))
        else:
            unexplained.append("%s: a list this test does not explain" % row_text(r))
    ilib.check(not unexplained, "%s: every row is explained by Wine's export and the prefix's files" % label,
               unexplained)
    for name in WORKED_OUT:
        multiset_check("%s: %s lists exactly the %d row(s) found by hand" %
                       (label, name, sum(1 for e in expected if e[0] == name)),
                       [row_text(e) for e in expected if e[0] == name], [row_text(r) for r in rows if r[0] == name])
        ranks = [view_rank(name, r[3]) for r in rows if r[0] == name]
        ilib.check(ranks == sorted(ranks) and -1 not in ranks,
                   "%s: %s lists its keys in order, the 32-bit view's last" % (label, name),
                   ["%d %s" % (k, row_text(r)) for k, r in zip(ranks, [r for r in rows if r[0] == name])])
    for name in ("lvfe", "lvhelp", "lvfont", "lvvd"):
        ilib.check(not [r for r in rows if r[0] == name], "%s: %s lists nothing" % (label, name),
                   [row_text(r) for r in rows if r[0] == name])

    if base_file is None:
        return
    base = [tuple(r) for r in json.load(open(base_file))]
    got_new = list((collections.Counter(r[:4] for r in rows) - collections.Counter(r[:4] for r in base)).elements())
    lost = list((collections.Counter(r[:4] for r in base) - collections.Counter(r[:4] for r in rows)).elements())
    ilib.check(not lost, "%s: every row of the fresh prefix is still listed" % label, [row_text(r) for r in lost])
    multiset_check("%s: the seeding adds exactly the %d expected rows" % (label, len(NEW_ROWS)),
                   [row_text(r) for r in NEW_ROWS], [row_text(r) for r in got_new])
    for why, name, caption, location in NEAR_MISSES:
        hits = [row_text(r) for r in rows if r[0] == name and r[1] == caption and
                (location is None or r[3].lower() == location.lower())]
        ilib.check(not hits, "%s: not listed: %s" % (label, why), hits)


# --------------------------------------------------------------- a repair

def repaired(prefix, before, again, after, rows_file, label):
    """Checks Wine's export after the repair against what the rows of the
    scan before it name: each value or key gone in the view its row names,
    and where a link shows it too."""
    px = Prefix(prefix, before)
    rows = [tuple(r) for r in json.load(open(rows_file))]
    keys, values = [], []
    for row in rows:
        name, caption, detail, location = row[:4]
        if name == "lvsp":
            values.append(("-value", px.export_key(location), caption))
        elif name == "lvue":
            keys.append(px.export_key(location))
        elif name == "lvax":
            keys.append(px.export_key(location) + "\\" + detail)
        elif name == "lvos":
            keys.append(px.export_key(location) + "\\" + caption)
        elif name == "LV2":
            default = detail == "(Default)"
            values.append(("~value" if default else "-value", px.export_key(location), "" if default else detail))
        else:
            ilib.check(False, "%s: a %s row this test cannot follow: %s" % (label, name, row_text(row)))
    gone = set()
    for k in keys:
        for alias in px.aliases(k):
            gone.update(t.lower() for t in px.x.tree(alias))
    # One entry for each key and value, however the rows spell them.
    want = {}
    for k in gone:
        want[("-key", k, None)] = ("-key", px.x.spelling(k), None)
    for kind, key, name in values:
        for alias in px.aliases(key):
            if alias.lower() not in gone:
                want.setdefault((kind, alias.lower(), name.lower()), (kind, alias, name))
    want = sorted(want.values(), key=lambda w: (w[1].lower(), w[2] or ""))
    print("  %s: expected gone from Wine's export:" % label)
    for w in want:
        say("%s %s%s" % (w[0], w[1], "" if w[2] is None else " -> " + (w[2] or "@")))
    ilib.check_export_change(before, again, after, want, label)


def parse_query(text):
    """reg.exe query's output: {lower-case key: {lower-case value name: (type, data)}}."""
    keys, current = {}, None
    for line in text.splitlines():
        if line.startswith("HKEY_"):
            current = keys.setdefault(line.strip().lower(), {})
            continue
        m = re.match(r"^    (.*?)    (REG_[A-Z_]+)(?:    (.*))?$", line)
        if m and current is not None:
            current[m.group(1).lower()] = (m.group(2), m.group(3) or "")
    return keys


MR = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run"
MU = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall"
CL = r"HKEY_CLASSES_ROOT\CLSID" + "\\"
KEY = "<key>"
ANY = "<any>"
# (output, key, value name or KEY, before the repair, after it): a value's
# data, ANY for a key or value that is there, None for one that is not.
QUERIES = [
    ("run.32", MR, "GoneTool", r'"C:\Program Files (x86)\Gone\gone.exe" /background', None),
    ("run.32", MR, "KeptTool", r"C:\Program Files (x86)\Kept\kept.exe", r"C:\Program Files (x86)\Kept\kept.exe"),
    ("run.32", MR, "Only64", r'"C:\windows\system32\only64.exe" -s', None),
    ("run.32", MR, "Tool32", ANY, ANY),
    ("run.32", MR, "SpoolHelper", ANY, ANY),
    ("run.32", MR, "BareTool", ANY, ANY),
    ("run.64", MR, "KeptTool", r"C:\windows\system32\notepad.exe", r"C:\windows\system32\notepad.exe"),
    ("run.64", MR, "GoneTool", r'"C:\windows\system32\only64.exe"', r'"C:\windows\system32\only64.exe"'),
    ("run.64", MR, "Only32", ANY, None),
    ("uninstall.32", MU + r"\GoneApp", KEY, ANY, None),
    ("uninstall.32", MU + r"\KeptApp", "DisplayName", "Kept Application 1.0", "Kept Application 1.0"),
    ("uninstall.32", MU + r"\SharedApp", "DisplayName", ANY, ANY),
    ("uninstall.32", MU + r"\TwinApp", KEY, ANY, None),
    ("uninstall.64", MU + r"\GoneApp", "DisplayName", "Gone Application x64", "Gone Application x64"),
    ("uninstall.64", MU + r"\KeptApp", KEY, None, None),
    ("uninstall.64", MU + r"\SharedApp", KEY, ANY, None),
    ("uninstall.64", MU + r"\TwinApp", "DisplayName", ANY, ANY),
    ("A01.32", CL + G % 1 + r"\InprocServer32", "(Default)", r"C:\Program Files (x86)\Gone\gone32.dll", None),
    ("A01.64", CL + G % 1 + r"\InprocServer32", "(Default)", r"C:\windows\system32\only64.dll",
     r"C:\windows\system32\only64.dll"),
    ("A02.32", CL + G % 2 + r"\InprocServer32", "(Default)", r"C:\windows\system32\x32only.dll",
     r"C:\windows\system32\x32only.dll"),
    ("A02.64", CL + G % 2, KEY, None, None),
    ("A03.32", CL + G % 3 + r"\InprocServer32", "(Default)", r"%ProgramFiles%\Kept\kept32.dll",
     r"%ProgramFiles%\Kept\kept32.dll"),
    ("A04.32", CL + G % 4, KEY, ANY, None),
    ("A05.64", CL + G % 5, KEY, ANY, None),
    ("A05.32", CL + G % 5, KEY, None, None),
    ("EmptyVendor.32", r"HKEY_LOCAL_MACHINE\Software\EmptyVendor", KEY, ANY, None),
    ("EmptyVendor.64", r"HKEY_LOCAL_MACHINE\Software\EmptyVendor", "Installed", "0x1", "0x1"),
    ("KeptVendor.32", r"HKEY_LOCAL_MACHINE\Software\KeptVendor", "Tool", r"C:\windows\system32\tool32.exe",
     r"C:\windows\system32\tool32.exe"),
    ("KeptVendor.32", r"HKEY_LOCAL_MACHINE\Software\KeptVendor", "Data", ANY, None),
    ("KeptVendor.32", r"HKEY_LOCAL_MACHINE\Software\KeptVendor", "Helper", ANY, None),
    ("KeptVendor.64", r"HKEY_LOCAL_MACHINE\Software\KeptVendor", KEY, None, None),
]


def check_queries(folder, when, label):
    index = 3 if when == "before" else 4
    bad = []
    for q in QUERIES:
        tag, key, name, want = q[0], q[1], q[2], q[index]
        keys = parse_query(open(os.path.join(folder, tag + ".txt"), encoding="utf-8", errors="replace").read())
        status = open(os.path.join(folder, tag + ".rc")).read().strip()
        values = keys.get(key.lower())
        if name == KEY:
            # (Wine's reg.exe prints no line at all for a key without
            # values or subkeys; its exit status tells it is there.)
            got = ANY if values is not None or (status == "0" and not keys) else None
        else:
            v = values.get(name.lower()) if values is not None else None
            got = None if v is None else v[1] if want not in (ANY, None) else ANY
        view = "/reg:" + tag.split(".")[1]
        what = "%s %s%s" % (view, key, "" if name == KEY else " -> " + name)
        if got != want:
            bad.append("%s: expected %s, reg.exe shows %s (exit status %s)" % (
                what, "nothing" if want is None else "it there" if want == ANY else repr(want),
                "nothing" if got is None else "it" if got == ANY else repr(got), status))
    ilib.check(not bad, "%s: Wine's reg.exe shows the %d entries as expected %s the repair" %
               (label, len(QUERIES), when), bad)


def files(before_file, after_file, report_file, label):
    """A registry repair changes no file of drive_c; only the program's own
    folder may gain entries (its undo file, say)."""
    own = "Program Files/Kestrane Professional/"
    diff = ilib.snapshot_diff(json.load(open(before_file)), json.load(open(after_file)))
    for kind, path in diff:
        if kind == "+" and path.startswith(own):
            say("the program made %s" % path)
    try:
        undo = json.load(open(report_file)).get("undo")
    except ValueError:
        undo = None
    if undo:
        made = [p for k, p in diff if k == "+" and p.startswith(own) and p.split("/")[-1] == undo.split("\\")[-1]]
        ilib.check(bool(made), "%s: the undo file the repair names (%s) is new in %s" % (label, undo, own))
    others = ["%s %s" % d for d in diff if not (d[0] == "+" and d[1].startswith(own))]
    ilib.check(not others, "%s: nothing changed, nothing gone, nothing new but in %s" % (label, own), others)


def nothing_left(report_file, rows_file, label):
    report = json.load(open(report_file))
    rows = report_rows(report)
    before = [tuple(r)[:4] for r in json.load(open(rows_file))]
    again = [row_text(r) for r in rows if r[:4] in before]
    ilib.check(not again, "%s: none of the %d repaired rows is listed again" % (label, len(before)), again)
    ilib.check(not rows, "%s: no registry row at all" % label, [row_text(r) for r in rows])


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    if command == "scan":
        check_scan(*args)
    elif command == "repaired":
        repaired(*args)
    elif command == "queries":
        check_queries(*args)
    elif command == "files":
        files(*args)
    elif command == "left":
        nothing_left(*args)
    else:
        sys.exit("unknown command " + command)
PY

# ------------------------------------------------------------------------
il_log "wineboot -i in $FRESH (home $HOME)"
if ! il_wine "$FRESH" wineboot -i || [ ! -s "$FRESH/system.reg" ]; then
    il_fail "wineboot made a prefix"
    tail -20 "$W/wine.log"
    il_summary
    exit 1
fi
echo "    made in $(( $(date +%s) - START )) s"
il_check "the prefix is 64-bit (#arch=win64 in system.reg)" grep -qx '#arch=win64' "$FRESH/system.reg"
# The seeded copy, made before anything else runs in the fresh prefix.
cp -a "$FRESH" "$P"

il_log "the fresh prefix: kestrane-cli scan --only $ROWS"
il_check "Wine's regedit /E of the fresh prefix" il_export "$FRESH" "$W/fresh.reg"
"$CLI" --prefix "$FRESH" scan --only "$ROWS" --json >"$W/fresh.json" 2>"$W/fresh.err"
status=$?
il_check "scan of the fresh prefix exits 0 (got $status)" test $status -eq 0
[ -s "$W/fresh.err" ] && sed 's/^/    stderr: /' "$W/fresh.err"
il_python "$W/wow.py" scan "$FRESH" "$W/fresh.reg" "$W/fresh.json" "$SCHEMA" "fresh prefix" "$W/fresh.rows.json"

il_log "seeding the 32-bit view of $P"
WINEPREFIX="$P" "$IL_WINESERVER" -p5
KESTRANE_WINE64=$IL_WINE bash "$IL_HERE/seed/wow32_traces.sh" "$P" "$HOME" >"$W/seed.log" 2>&1
seed_status=$?
il_check "seed/wow32_traces.sh exits 0 (got $seed_status)" test $seed_status -eq 0
WINEPREFIX="$P" "$IL_WINESERVER" -p5
seed_more "$P" >>"$W/seed.log" 2>&1
status=$?
il_check "every reg add of the near misses succeeded" test $status -eq 0
il_wait_server "$P"
[ $status -eq 0 ] && [ $seed_status -eq 0 ] || tail -40 "$W/seed.log"
grep -B3 'on attempt 1)' "$W/seed.log" | sed 's/^/    seeding: /'

echo "    seeded after $(( $(date +%s) - START )) s"

il_log "the seeded prefix: kestrane-cli scan --only $ROWS"
il_check "Wine's regedit /E of the seeded prefix" il_export "$P" "$W/before.reg"
il_check "a second regedit /E, nothing changed in between" il_export "$P" "$W/again.reg"
"$CLI" --prefix "$P" scan --only "$ROWS" --json >"$W/scan.json" 2>"$W/scan.err"
status=$?
il_check "scan of the seeded prefix exits 0 (got $status)" test $status -eq 0
[ -s "$W/scan.err" ] && sed 's/^/    stderr: /' "$W/scan.err"
il_python "$W/wow.py" scan "$P" "$W/before.reg" "$W/scan.json" "$SCHEMA" "seeded prefix" "$W/scan.rows.json" \
    "$W/fresh.rows.json"

il_log "Wine's reg.exe before the repair"
query_all "$W/query.before"
il_python "$W/wow.py" queries "$W/query.before" before "reg.exe"

il_log "kestrane-cli repair --only $ROWS --no-backup"
il_snapshot "$P/drive_c" "$W/drive_c.before.json"
"$CLI" --prefix "$P" repair --only "$ROWS" --no-backup --json >"$W/repair.json" 2>"$W/repair.err"
status=$?
il_check "repair exits 0 (got $status)" test $status -eq 0
[ -s "$W/repair.err" ] && sed 's/^/    stderr: /' "$W/repair.err"
il_python "$W/wow.py" left "$W/repair.json" "$W/scan.rows.json" "repair report (what is left)"
il_snapshot "$P/drive_c" "$W/drive_c.after.json"
il_python "$W/wow.py" files "$W/drive_c.before.json" "$W/drive_c.after.json" "$W/repair.json" "drive_c after the repair"
il_check "Wine's regedit /E after the repair" il_export "$P" "$W/after.reg"
il_python "$W/wow.py" repaired "$P" "$W/before.reg" "$W/again.reg" "$W/after.reg" "$W/scan.rows.json" \
    "after the repair"

il_log "Wine's reg.exe after the repair"
query_all "$W/query.after"
il_python "$W/wow.py" queries "$W/query.after" after "reg.exe"

il_log "kestrane-cli scan after the repair"
"$CLI" --prefix "$P" scan --only "$ROWS" --json >"$W/scan2.json" 2>"$W/scan2.err"
status=$?
il_check "second scan exits 0 (got $status)" test $status -eq 0
[ -s "$W/scan2.err" ] && sed 's/^/    stderr: /' "$W/scan2.err"
il_python "$W/wow.py" left "$W/scan2.json" "$W/scan.rows.json" "second scan"

echo
echo "took $(( $(date +%s) - START )) s"
il_summary
