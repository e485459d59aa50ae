#!/bin/bash
# The applications' recent lists against a prefix that Wine and real Windows
# programs made (make_traces_prefix.sh, with its regedit and wordpad steps),
# plus a few traces added here that try the edges of the rules: what each
# application must list is worked out here from the prefix's files and from
# Wine's own regedit export, as someone checking the prefix by hand would,
# and compared with what kestrane-cli lists; then kestrane-cli repairs, and
# drive_c, the home and Wine's view of the registry must have lost exactly
# what the repair of each list deletes, and nothing else; a second scan must
# list exactly what is left.
#
# Usage: apps_interop.sh KESTRANE_CLI
# Exits 0 when every check passed, 1 when one failed, 77 (skipped) when
# wine64, mingw-w64 or xvfb-run is missing ($KESTRANE_WINE64 names another
# wine64). KESTRANE_SEED_BUILD, if set, is where the seeding programs are
# built and kept between runs; by default they are built in the work folder.

set -u

if [ $# -ne 1 ]; then
    echo "usage: $0 KESTRANE_CLI" >&2
    exit 2
fi
CLI=$1

. "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/interop_lib.sh"
il_require_wine
# Wordpad's and regedit's own lists are written by the window steps.
if ! command -v xvfb-run >/dev/null; then
    echo "SKIPPED: xvfb-run is not installed (Debian's xvfb); wordpad and regedit cannot run."
    exit 77
fi
unset KESTRANE_SEED_NO_GUI
SCHEMA="$IL_HERE/../../docs/kestrane-cli-report.schema.json"

il_wait_program "$CLI"

il_setup apps
START=$(date +%s)
P=$IL_WORK/prefix
W=$IL_WORK          # the work files: snapshots, exports, reports

cli() {  # cli ARGS...: kestrane-cli on the prefix, with this test's home
    "$CLI" --prefix "$P" "$@"
}

# ------------------------------------------------------------------------
# Traces added to the seeded prefix, each at an edge of a rule: registry
# values through Wine's regedit (extra.reg), files written as any program
# would write them. Everything else comes from make_traces_prefix.sh.
cat >"$W/extras.py" <<'PY'
import json
import os
import sys

import ilib

prefix, reg_out = sys.argv[1:3]
user = ilib.Hive(os.path.join(prefix, "user.reg"))
SHELL = r"Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
appdata = ilib.unix_path(prefix, user.string(SHELL, "AppData"))
local = ilib.unix_path(prefix, user.string(SHELL, "Local AppData"))
docs = ilib.unix_path(prefix, "C:\\Docs")


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline="") as f:
        f.write(text)
    print("    wrote " + path)


def s(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


HKCU, HKLM = "HKEY_CURRENT_USER\\", "HKEY_LOCAL_MACHINE\\"
OFFICE = HKCU + "Software\\Microsoft\\Office\\"
long255 = "C:\\Docs\\" + "p" * 235 + "\\long255.bmp"
long256 = "C:\\Docs\\" + "q" * 236 + "\\long256.bmp"
assert (len(long255), len(long256)) == (255, 256)
sections = [
    # The applets: the longest data a caption is taken from, and one longer;
    # a default value; data whose last separator is a colon, or that has
    # none; "mrulist" (only "MRUList" itself is left out); a second value
    # beside regedit's LastKey.
    (HKCU + r"Software\Microsoft\Windows\CurrentVersion\Applets\Paint\Recent File List",
     ['"File5"=' + s(long255), '"File6"=' + s(long256)]),
    (HKCU + r"Software\Microsoft\MediaPlayer\Player\RecentFileList",
     ["@=" + s(r"C:\Docs\Music\default.wma"), '"File2"=' + s("mms://media.example.com/live/stream.asf")]),
    (HKCU + r"Software\Microsoft\Microsoft Management Console\Recent File List",
     ['"File3"=' + s("notes.msc"), '"mrulist"=' + s("cba")]),
    (HKCU + r"Software\Microsoft\Windows\CurrentVersion\Applets\Regedit",
     ['"LastKeyOld"=' + s(r"HKEY_LOCAL_MACHINE\Software")]),
    # Office: a default value where every value but MRUList is taken, and
    # where only named values are (which take MRUList); a subkey of a
    # listed value's name with a subtree, and a subkey of no value's name;
    # Word 12.0's File MRU as Word writes it (a DWORD among the names);
    # Access 12.0's MRU8 (taken) and MRU9 (not).
    (OFFICE + r"8.0\Excel\Recent File List", ["@=" + s(r"C:\Docs\default97.xls")]),
    (OFFICE + r"11.0\Excel\Recent Files", ["@=" + s(r"C:\Docs\default11.xls"), '"MRUList"=' + s("ba")]),
    (OFFICE + r"11.0\Excel\Recent Files\File2\Thumbnails", ['"Size"=' + s("small")]),
    (OFFICE + r"11.0\Excel\Recent Files\File2\Thumbnails\Small", ['"a"=' + s("b")]),
    (OFFICE + r"11.0\Excel\Recent Files\Pinned", ['"File1"=' + s(r"C:\Docs\pinned.xls")]),
    (OFFICE + r"12.0\Word\File MRU",
     ['"Item 1"=' + s(r"[F00000000][T01CA0000]*C:\Docs\letter.docx"), '"Max Display"=dword:00000019']),
    (OFFICE + r"12.0\Access\Settings", ['"MRU8"=' + s(r"C:\Docs\eight.mdb"), '"MRU9"=' + s(r"C:\Docs\nine.mdb")]),
    # The other applications' remaining sources, some under keys that Wine
    # spells otherwise than the program (Ahead, ArcName).
    (HKCU + r"Software\Nico Mak Computing\WinZip\directories", ['"gzAddDir"=' + s(r"C:\Docs\Add")]),
    (HKCU + r"Software\Nico Mak Computing\WinZip\rrs\Opened", ['"1"=' + s(r"C:\Docs\photos.zip")]),
    (HKCU + r"Software\WinRAR\DialogEditHistory\ArcName", ['"0"=' + s("backup.rar")]),
    (HKCU + r"Software\ahead\Nero - Burning Rom\Settings",
     ['"WorkingDir"=' + s(r"C:\Docs\Work"), '"BrowserDir"=' + s(r"C:\Docs")]),
    (HKLM + r"Software\ahead\Nero - Burning Rom\Settings", ['"BootImageDir"=' + s(r"C:\Docs\Boot")]),
    (HKCU + r"Software\Ahead\Nero - Burning Rom\Recent File List", ['"File1"=' + s(r"C:\Docs\Images\disc.nrg")]),
    (HKCU + r"Software\SpeedBit\Download Accelerator\ADS\SecondMedia",
     ['"Url"=' + s("http://ads.example.com/banner.swf")]),
    # Acrobat Reader 7.0 without AVGeneral: no row for it.
    (HKCU + r"Software\Adobe\Acrobat Reader\7.0\Language", ['"UI"=' + s("ENU")]),
]
with open(reg_out, "w", newline="\r\n") as f:
    f.write("REGEDIT4\n\n")
    for key, values in sections:
        f.write("[%s]\n%s\n\n" % (key, "\n".join(values)))
print("    %s: %d keys" % (reg_out, len(sections)))
# The values, for the check that Wine's export holds them all.
names = [(key, "" if v.startswith("@=") else ilib.unescape(v[1:v.index('"=')]))
         for key, values in sections for v in values]
with open(reg_out + ".json", "w") as f:
    json.dump(names, f)

# Office's recent folder: a second shortcut.
write(os.path.join(appdata, "Microsoft", "Office", "Recent", "Budget.xls.lnk"), "shortcut\r\n")
# Opera: more of the profile's files, and two that no rule names.
profile = os.path.join(appdata, "Opera", "Opera", "profile")
for name in ("cookies.dat", "vlink4.dat", "opera.dir", "operaprefs.ini"):
    write(os.path.join(profile, name), "Opera %s\r\n" % name)
write(os.path.join(profile, "sessions", "other.win"), "[session]\r\n")
# Firefox: profiles.ini also names a profile outside Profiles (absolute),
# one whose path leaves it (".."), and a second profile; the legacy
# lugoaffv.default exists without being named.
firefox = os.path.join(appdata, "Mozilla", "Firefox")
with open(os.path.join(firefox, "profiles.ini"), "a", newline="") as f:
    f.write("[Profile1]\r\nName=elsewhere\r\nIsRelative=0\r\nPath=C:\\Docs\\FirefoxElsewhere\r\n\r\n"
            "[Profile2]\r\nName=escaped\r\nIsRelative=1\r\nPath=Profiles/../Escaped\r\n\r\n"
            "[Profile3]\r\nName=second\r\nIsRelative=1\r\nPath=Profiles/0second.default\r\n\r\n")
mork = "// <!-- <mdb:mork:z v=\"1.4\"/> -->\r\n"
write(os.path.join(docs, "FirefoxElsewhere", "history.dat"), mork)
write(os.path.join(firefox, "Escaped", "history.dat"), mork)
write(os.path.join(local, "Mozilla", "Firefox", "Escaped", "Cache", "_CACHE_MAP_"), "cache map\n")
write(os.path.join(firefox, "Profiles", "0second.default", "formhistory.dat"), mork)
write(os.path.join(local, "Mozilla", "Firefox", "Profiles", "0second.default", "Cache", "_CACHE_002_"), "block two\n")
write(os.path.join(firefox, "Profiles", "lugoaffv.default", "history.dat"), mork)
write(os.path.join(local, "Mozilla", "Firefox", "Profiles", "lugoaffv.default", "Cache", "_CACHE_MAP_"), "old map\n")
# Flash Player: a file beside its folders.
write(os.path.join(appdata, "Macromedia", "Flash Player", "flashlog.txt"), "flash log\r\n")
PY

# ------------------------------------------------------------------------
# What a person checking the prefix by hand would find for each
# application, from Wine's regedit export and the files of drive_c (never
# from kestrane-cli), and what the repair of each row must delete. Writes
# the rows as JSON and tells on standard output how each came out.
cat >"$W/expected.py" <<'PY'
import json
import os
import re
import sys

import ilib

prefix, export_file, out = sys.argv[1:4]
reg = ilib.Export(export_file)
sids = [k for k in reg.subkeys("HKEY_USERS") if re.match(r"^S-1-5-21-", k)]
assert len(sids) == 1, "the users in the export: %r" % reg.subkeys("HKEY_USERS")
ROOTS = {"HKCU": "HKEY_USERS\\" + sids[0], "HKLM": "HKEY_LOCAL_MACHINE"}
drive_c = os.path.join(prefix, "drive_c")
SHELL = r"Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"


def full(root, key):
    return ROOTS[root] + "\\" + key


def say(text):
    print("    " + text)


appdata = reg.string(full("HKCU", SHELL), "AppData")
local_appdata = reg.string(full("HKCU", SHELL), "Local AppData")
say("AppData = %s, Local AppData = %s" % (appdata, local_appdata))

# Every row: caption, subitems (None where the test does not compare),
# and what its repair deletes: files (paths below drive_c), and registry
# entries as export_diff names them.
lists = {}


def registry_value_text(vtype, value):
    """A value's data as text; None for data that is not text (a DWORD,
    binary data), which the test does not compare."""
    return ilib.text_of(vtype, value)


def taken(root, key, take, only=None):
    """The values of a key (in Wine's order) that a source takes:
    "but MRUList" every value but one named exactly MRUList (the default
    value too), "named" every named value (MRUList too), "only" the one
    value of that name."""
    out = []
    for name, vtype, value in reg.values(full(root, key)):
        if take == "but MRUList" and name == "MRUList":
            continue
        if take == "named" and name == "":
            continue
        if take == "only" and name != only:
            continue
        out.append((name, vtype, value))
    return out


def value_gone(root, key, name):
    return [("-value", reg.spelling(full(root, key)), name)]


def tree_gone(root, key):
    return [("-key", k, None) for k in reg.tree(full(root, key))]


# -- The applets: one row per value, the caption the part of the data after
# its last "\" or ":", all of it when it has neither, nothing when the data
# is longer than 255 characters; [value name, "Registry Data", the key as
# the rule writes it]. The repair deletes the value.
APPLETS = [
    ("lvpaint", "MS Paint", r"Software\Microsoft\Windows\CurrentVersion\Applets\Paint\Recent File List", None),
    ("lvwordpad", "MS Wordpad", r"Software\Microsoft\Windows\CurrentVersion\Applets\Wordpad\Recent File List", None),
    ("lvmmc", "MS Management Console", r"Software\Microsoft\Microsoft Management Console\Recent File List", None),
    ("lvregedit", "Registry Editor", r"Software\Microsoft\Windows\CurrentVersion\Applets\Regedit", "LastKey"),
    ("lvwinplay", "Media Player", r"Software\Microsoft\MediaPlayer\Player\RecentFileList", None),
]
summary = []
for name, caption, key, only in APPLETS:
    rows = []
    say("%s: %s (Wine spells it %s)" % (caption, key, reg.spelling(full("HKCU", key))))
    for value, vtype, data in taken("HKCU", key, "only" if only else "but MRUList", only):
        text = registry_value_text(vtype, data)
        if text is None:
            say("  %s is a %s value: its caption is not compared" % (value or "@", vtype))
            shown = None
        elif len(text) > 255:
            say("  %s holds %d characters: no caption" % (value or "@", len(text)))
            shown = ""
        else:
            shown = re.split(r"[\\:]", text)[-1]
        rows.append({"caption": shown, "subitems": [value, "Registry Data", "HKCU\\" + key],
                     "files": [], "registry": value_gone("HKCU", key, value)})
    lists[name] = rows
    summary.append((caption, name))

# -- The application lists: five columns (four for Flash, no size).
INFO_OFFICE, INFO_CACHE, INFO_FLASH = "Microsoft Office Recentlist", "Internet Cache", "Flash Player Recentlist"


def windows_order(names):
    """Names in the order Windows lists a folder: without regard to case
    (upper-cased, as NTFS compares names)."""
    return sorted(names, key=lambda n: (n.upper(), n))


def file_rows(folder, mask, info, sized=True, deletes=True):
    """The entries of a folder (no subfolders looked into) whose names match
    a mask ("*.*": every entry): caption the name as the disk has it, the
    folder as the rule and the registry spell it."""
    unix = ilib.unix_path(prefix, folder)
    found = dict(ilib.entries(unix)) if unix and os.path.isdir(unix) else {}
    rows = []
    for entry in windows_order(found):
        if mask != "*.*" and not ilib.matches(entry, mask):
            continue
        kind = found[entry]
        path = os.path.join(unix, entry)
        if kind not in ("file", "dir"):
            say("  %s%s is a %s: not expected" % (folder, entry, kind))
            continue
        if kind == "dir":
            say("  %s%s is a folder: listed, its repair removes its tree" % (folder, entry))
        dot = entry.rfind(".")
        subitems = [folder, entry[dot:] if dot >= 0 else "", info]
        if sized:
            subitems.append(ilib.size_text(ilib.entry_size(path)))
        gone = ilib.entry_paths(drive_c, path) if deletes else []
        rows.append({"caption": entry, "subitems": subitems, "files": gone, "registry": []})
    return rows


def registry_rows(root, key, take, only=None, mode="value"):
    """One row per value a source takes: caption its name, [the key as the
    rule writes it, "Registry Data", the data, ""]. mode "value": the repair
    deletes the value; "value and key": then also the subkey of that name."""
    rows = []
    for name, vtype, data in taken(root, key, take, only):
        text = registry_value_text(vtype, data)
        if text is None:
            say("  %s\\%s -> %s is a %s value: its data is not compared" % (root, key, name or "@", vtype))
        gone = value_gone(root, key, name)
        if mode == "value and key" and name and "\\" not in name:
            gone += tree_gone(root, key + "\\" + name)
            if reg.has_key(full(root, key + "\\" + name)):
                say("  %s\\%s has a subkey %s: it goes with the value" % (root, key, name))
        rows.append({"caption": name, "subitems": [root + "\\" + key, "Registry Data", text, ""],
                     "files": [], "registry": gone})
    return rows


# Office: its recent folder, then its 37 keys, Access 12.0's Settings once
# for each of MRU1 to MRU8.
O = "Software\\Microsoft\\Office\\"
FP = "Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\"
OF12 = O + "12.0\\Common\\Open Find\\Microsoft Office "
OFFICE = [(k, "but MRUList", None) for k in (
    O + r"8.0\Excel\Recent File List", O + r"8.0\Project\Recent File List", O + r"8.0\PowerPoint\Recent File List",
    O + r"8.0\PowerPoint\Recent Folder List", O + r"8.0\Common\Internet\LocationOfComponents",
    O + r"8.0\Access\Settings", O + r"10.0\PowerPoint\Recent File List", O + r"10.0\Excel\Recent Files",
    FP + "Recent File List", FP + "Recent Page List", FP + "Recent Web List", O + r"10.0\Word\Recent Templates")]
OFFICE += [(O + r"10.0\Common\Internet", "only", "UseRWHlinkNavigation"), (O + r"10.0\Word\Data", "only", "Settings")]
OFFICE += [(k, "named", None) for k in (
    O + r"10.0\Access\Settings", O + r"11.0\Excel\Recent Files",
    O + r"11.0\Common\Open Find\Microsoft Office Word\Settings\Save As\File Name MRU",
    O + r"11.0\PowerPoint\Recent File List", O + r"11.0\Publisher\Recent File List",
    O + r"11.0\InfoPath\Recent File List", O + r"11.0\Common\Internet\Server Cache")]
OFFICE += [(O + r"11.0\Common\Internet", "only", "UseRWHlinkNavigation")]
OFFICE += [(k, "named", None) for k in (r"Software\Microsoft\MSPaper 11.0\Persist File Name",
                                        r"Software\Microsoft\MSPaper 11.0\Recent File List")]
OFFICE += [(O + r"11.0\Word\Data", "only", "Settings")]
OFFICE += [(k, "named", None) for k in (OF12 + r"Word\Settings\Save As\File Name MRU", O + r"12.0\Word\File MRU",
                                        O + r"12.0\Excel\File MRU")]
OFFICE += [(O + r"12.0\Access\Settings", "only", "MRU%d" % i) for i in range(1, 9)]
OFFICE += [(k, "named", None) for k in (
    O + r"12.0\PowerPoint\File MRU", OF12 + r"PowerPoint\Settings\Save As\File Name MRU",
    OF12 + r"InfoPath\Settings\Open\File Name MRU", OF12 + r"InfoPath\Settings\Save As\File Name MRU",
    OF12 + r"Excel\Settings\Save As\File Name MRU", OF12 + r"Publisher\Settings\Save As\File Name MRU",
    O + r"12.0\Publisher\Recent File List", O + r"12.0\InfoPath\Recent File List")]
assert len(OFFICE) == 44 and len({k.lower() for k, _, _ in OFFICE}) == 37


def office():
    rows = file_rows(appdata + "\\Microsoft\\Office\\Recent\\", "*.*", INFO_OFFICE) if appdata else []
    for key, take, only in OFFICE:
        rows += registry_rows("HKCU", key, take, only, mode="value and key")
    return rows


def opera():
    if not appdata:
        return []
    p = appdata + "\\Opera\\Opera\\profile\\"
    rows = []
    for folder, mask in ((p, "cookies*.dat"), (p + "cache4\\", "*.*"), (p, "global.dat"), (p, "opera.dir"),
                         (p, "download.dat"), (p, "vlink4.dat"), (p + "sessions\\", "autosave.win")):
        rows += file_rows(folder, mask, INFO_CACHE)
    return rows


def firefox_profiles():
    """The profiles profiles.ini lists with IsRelative=1 whose Path stays
    inside the Profiles folder, in file order, then lugoaffv.default when
    that folder exists and is not listed."""
    ini = ilib.unix_path(prefix, appdata + "\\Mozilla\\Firefox\\profiles.ini")
    sections, current = [], None
    if ini and os.path.isfile(ini):
        with open(ini, encoding="latin-1") as f:
            for line in f.read().splitlines():
                line = line.strip()
                if line.startswith("[") and line.endswith("]"):
                    current = {}
                    sections.append((line[1:-1], current))
                elif current is not None and "=" in line:
                    k, v = line.split("=", 1)
                    current.setdefault(k.strip().lower(), v.strip())
    names = []
    for section, fields in sections:
        path = fields.get("path", "")
        parts = re.split(r"[\\/]", path)
        inside = (fields.get("isrelative") == "1" and len(parts) >= 2 and parts[0].lower() == "profiles"
                  and all(p not in ("", ".", "..") and ":" not in p for p in parts[1:]))
        say("profiles.ini [%s] IsRelative=%s Path=%s: %s" % (section, fields.get("isrelative"), path,
                                                             "examined" if inside else "not examined"))
        if inside and "\\".join(parts[1:]) not in names:
            names.append("\\".join(parts[1:]))
    legacy = ilib.unix_path(prefix, appdata + "\\Mozilla\\Firefox\\Profiles\\lugoaffv.default")
    if legacy and os.path.isdir(legacy) and "lugoaffv.default" not in names:
        say("Profiles\\lugoaffv.default exists, not listed: examined last")
        names.append("lugoaffv.default")
    return names


def mozilla():
    if not appdata:
        return []
    rows = []
    for name in firefox_profiles():
        if local_appdata:
            rows += file_rows(local_appdata + "\\Mozilla\\Firefox\\Profiles\\" + name + "\\Cache\\", "*.*", INFO_CACHE)
        profile = appdata + "\\Mozilla\\Firefox\\Profiles\\" + name + "\\"
        rows += file_rows(profile, "history.dat", INFO_CACHE) + file_rows(profile, "formhistory.dat", INFO_CACHE)
    return rows


def value_lists(sources):
    rows = []
    for root, key, take, only in sources:
        rows += registry_rows(root, key, take, only)
    return rows


WZ = "Software\\Nico Mak Computing\\WinZip\\"
WINZIP = ([("HKCU", WZ + "filemenu", "but MRUList", None), ("HKCU", WZ + "extract", "but MRUList", None)] +
          [("HKCU", WZ + "directories", "only", n) for n in
           ("DefDir", "ExtractTo", "gzAddDir", "zDefDir", "AddDir", "gzExtractTo")] +
          [("HKCU", WZ + r"rrs\Opened", "but MRUList", None)])
WINRAR = [("HKCU", r"Software\WinRAR\ArcHistory", "but MRUList", None),
          ("HKCU", r"Software\WinRAR\General", "only", "LastFolder"),
          ("HKCU", r"Software\WinRAR\DialogEditHistory\Arcname", "but MRUList", None),
          ("HKCU", r"Software\WinRAR\DialogEditHistory\ExtrPath", "but MRUList", None)]
NS = r"Software\ahead\Nero - Burning Rom\Settings"
NERO = [("HKCU", NS, "only", "BrowserDir"), ("HKCU", NS, "only", "ImageDir"), ("HKCU", NS, "only", "WorkingDir"),
        ("HKLM", NS, "only", "ImageDir"), ("HKLM", NS, "only", "BootImageDir"),
        ("HKCU", r"Software\Ahead\Nero - Burning Rom\Recent File List", "but MRUList", None),
        ("HKCU", r"Software\Ahead\Cover Designer\Recent File List", "but MRUList", None),
        ("HKCU", r"Software\Nero Wave Editor\Recent File List", "but MRUList", None)]
DAP = [("HKLM", r"SOFTWARE\SpeedBit\Download Accelerator\FileList", "but MRUList", None),
       ("HKCU", r"Software\SpeedBit\Download Accelerator\HistoryCombo", "but MRUList", None),
       ("HKCU", r"Software\SpeedBit\Download Accelerator\ADS\SecondMedia", "but MRUList", None)]


def acrobat(version):
    """One row per subkey of cRecentFiles (but one named MRUList); the
    repair deletes the subkey with its subtree."""
    key = "Software\\Adobe\\Acrobat Reader\\%s\\AVGeneral\\cRecentFiles" % version
    return [{"caption": sub, "subitems": ["HKCU\\" + key, "Registry Data", "Acrobat Reader %s Recent Files" % version, ""],
             "files": [], "registry": tree_gone("HKCU", key + "\\" + sub)}
            for sub in reg.subkeys(full("HKCU", key)) if sub != "MRUList"]


def flash():
    # Files only: a folder's row goes, the folder stays.
    return file_rows(appdata + "\\Macromedia\\Flash Player\\", "*.*", INFO_FLASH, sized=False) if appdata else []


def folder_exists(win):
    unix = ilib.unix_path(prefix, win) if win else None
    return bool(unix) and os.path.isdir(unix)


# The applications that get a row when found at start, in their order.
flash_folder = appdata + "\\Macromedia\\Flash Player" if appdata else ""
APPS = [
    ("lvoffice", "Microsoft Office", reg.has_key(full("HKCU", r"Software\Microsoft\Office")), office),
    ("lvopera", "Opera", reg.has_key(full("HKCU", r"Software\Opera Software")), opera),
    ("lvmozilla", "Mozilla Firefox", reg.has_key(full("HKLM", r"Software\Mozilla")), mozilla),
    ("lvwinzip", "WinZip", reg.has_key(full("HKCU", r"Software\Nico Mak Computing\WinZip")),
     lambda: value_lists(WINZIP)),
    ("lvwinrar", "WinRAR", reg.has_key(full("HKCU", r"Software\WinRAR")), lambda: value_lists(WINRAR)),
]
for v in ("5.0", "6.0", "7.0"):
    APPS.append(("lvacrobat" + v[0], "Acrobat Reader " + v,
                 reg.has_key(full("HKCU", "Software\\Adobe\\Acrobat Reader\\%s\\AVGeneral" % v)),
                 lambda v=v: acrobat(v)))
APPS += [
    ("lvnero", "Nero Burning ROM", reg.has_key(full("HKCU", r"Software\ahead\Nero - Burning Rom")),
     lambda: value_lists(NERO)),
    ("lvdap", "Download Accelerator Plus", reg.has_key(full("HKCU", r"Software\SpeedBit\Download Accelerator")),
     lambda: value_lists(DAP)),
    ("lvflashplay", "Macromedia Flash Player", folder_exists(flash_folder), flash),
]
absent = []
for name, caption, present, rows_of in APPS:
    say("%s: %s" % (caption, "found" if present else "not found: no row, no list"))
    if not present:
        absent.append((caption, name))
        continue
    summary.append((caption, name))
    lists[name] = rows_of()

for caption, name in summary:
    say("%s (%s): %d row(s)" % (caption, name, len(lists[name])))
    for r in lists[name]:
        say("  %r %r" % (r["caption"], r["subitems"]))

json.dump({"summary": summary, "absent": absent, "lists": lists}, open(out, "w"), indent=1)
PY

# ------------------------------------------------------------------------
# Compares a kestrane-cli JSON report with the expected rows. With
# "emptied", every list must be there but hold no row: the repair takes
# each checked row off its list, whether or not its item could be deleted.
cat >"$W/compare.py" <<'PY'
import difflib
import json
import sys

import ilib

expected_file, report_file, schema_file, prefix, label, how = sys.argv[1:7]
expected = json.load(open(expected_file))
try:
    report = json.load(open(report_file))
except ValueError as e:
    ilib.check(False, "%s: the report is JSON" % label, [str(e)])
    sys.exit(0)

errors, validator = ilib.validate(report, json.load(open(schema_file)))
ilib.check(not errors, "%s: the report validates against the schema (%s)" % (label, validator), errors[:20])
ilib.check(report.get("prefix") == prefix, "%s: the report names the prefix" % label,
           ["expected %r, got %r" % (prefix, report.get("prefix"))])
ilib.check(report.get("mode") == "applications", "%s: the report is of the applications" % label,
           ["got %r" % report.get("mode")])

summary = [s for s in report.get("summary", []) if isinstance(s, dict)]
lists = report.get("lists", {})
want_rows = {name: ([] if how == "emptied" else rows) for name, rows in expected["lists"].items()}

want_captions = [c for c, _ in expected["summary"]]
got_captions = [s.get("caption") for s in summary]
ilib.check(got_captions == want_captions,
           "%s: the summary has exactly the rows of the applets and the applications found, in order" % label,
           ilib.listing("expected", want_captions) + ilib.listing("got", got_captions))
for caption, name in expected["absent"]:
    ilib.check(caption not in got_captions and name not in lists,
               "%s: %s, not in the prefix, has no summary row and no list" % (label, caption),
               ["summary rows: %r" % got_captions, "lists: %r" % sorted(lists)])
ilib.check(sorted(lists) == sorted(want_rows), "%s: the report has exactly the lists of the summary rows" % label,
           ilib.listing("expected", sorted(want_rows)) + ilib.listing("got", sorted(lists)))

by_caption = {s.get("caption"): s for s in summary}
APPLET_COLUMNS = ["Recentlist File", "Repair Report", "Detail Info", "Registry Location"]
LIST_COLUMNS = ["File Name", "File Location", "File Type", "File Info", "File Size"]


def render(caption, subitems):
    return " | ".join("<any>" if x is None else repr(x) for x in [caption] + list(subitems))


def fits(want, got):
    w = [want["caption"]] + want["subitems"]
    g = [got.get("caption")] + list(got.get("subitems", []))
    return len(w) == len(g) and all(a is None or a == b for a, b in zip(w, g))


for caption, name in expected["summary"]:
    s = by_caption.get(caption, {})
    want = want_rows[name]
    got = lists.get(name, {}).get("rows", [])
    ilib.check(s.get("checked") is True and s.get("available") is True,
               "%s: %s's summary row is checked and available" % (label, caption), ["got %r" % s])
    ilib.check(s.get("count") == len(want), "%s: %s's summary count is %d" % (label, caption, len(want)),
               ["got %r" % s.get("count")])
    if name not in lists:
        continue
    columns = [c.get("caption") for c in lists[name].get("columns", [])]
    want_columns = (APPLET_COLUMNS if name in ("lvpaint", "lvwordpad", "lvmmc", "lvregedit", "lvwinplay")
                    else LIST_COLUMNS[:4] if name == "lvflashplay" else LIST_COLUMNS)
    ilib.check(columns == want_columns, "%s: %s's columns" % (label, name), ["got %r" % columns])
    ok = len(want) == len(got) and all(fits(w, g) for w, g in zip(want, got))
    details = []
    if not ok:
        # Show "<any>" of an expected row as what a fitting listed row holds.
        shown_want = []
        for w in want:
            match = next((g for g in got if fits(w, g)), None)
            shown_want.append(render(match["caption"], match["subitems"]) if match else render(w["caption"], w["subitems"]))
        shown_got = [render(g.get("caption"), g.get("subitems", [])) for g in got]
        details += ["--- expected (%d rows), +++ listed by kestrane-cli (%d rows):" % (len(want), len(got))]
        details += [line for line in difflib.unified_diff(shown_want, shown_got, lineterm="", n=1)][2:]
    ilib.check(ok, "%s: %s lists exactly the expected %d row(s), in order" % (label, name, len(want)), details)
    unchecked = [g.get("caption") for g in got if g.get("checked") is not True]
    if got:
        ilib.check(not unchecked, "%s: every %s row is checked" % (label, name), unchecked)
PY

# ------------------------------------------------------------------------
il_log "making a traced prefix in $P (home $HOME), with the window steps"
if ! il_make_traced_prefix "$P" "$HOME"; then
    il_fail "make_traces_prefix.sh made the prefix"
    il_summary
    exit 1
fi
il_wait_server "$P"
echo "    made in $(( $(date +%s) - START )) s"
il_check "the window steps ran (regedit and wordpad)" grep -q '^===== wordpad: open C:\\Docs\\b.rtf' "$IL_WORK/make_traces.log"

il_log "traces added at the edges of the rules"
if ! il_python "$W/extras.py" "$P" "$W/extra.reg"; then
    il_fail "writing the added traces"
fi
il_check "Wine's regedit /S imports the added registry traces" il_import "$P" "$W/extra.reg"

il_log "Wine's regedit /E, twice, then snapshots"
il_check "Wine's regedit /E of the registry" il_export "$P" "$W/before.reg"
# A second export with nothing changed in between shows what Wine rewrites by
# itself at every start.
il_check "a second regedit /E, nothing changed in between" il_export "$P" "$W/again.reg"
il_python - "$W/extra.reg.json" "$W/before.reg" <<'PY'
import json, re, sys
import ilib
reg = ilib.Export(sys.argv[2])
sid = [k for k in reg.subkeys("HKEY_USERS") if re.match(r"^S-1-5-21-", k)]
missing = []
for key, name in json.load(open(sys.argv[1])):
    key = re.sub(r"^HKEY_CURRENT_USER", lambda m: "HKEY_USERS\\" + (sid[0] if sid else "?"), key)
    if reg.value(key, name) is None:
        missing.append("%s -> %s" % (key, name or "@"))
ilib.check(not missing, "Wine's export holds every added registry value", missing)
PY
# Only kestrane-cli runs between these snapshots and the ones after the
# repair.
il_snapshot "$P/drive_c" "$W/drive_c.before.json"
il_snapshot "$HOME" "$W/home.before.json"

il_log "what the applications must list, from the export and the files"
if ! il_python "$W/expected.py" "$P" "$W/before.reg" "$W/expected.json"; then
    il_fail "working out the expected rows"
    il_summary
    exit 1
fi
# The seeding must have left something in every list it seeds, or the
# comparison below would prove little.
il_python - "$W/expected.json" <<'PY'
import json, sys
import ilib
e = json.load(open(sys.argv[1]))
empty = [caption for caption, name in e["summary"] if not e["lists"][name]]
ilib.check(not empty, "the prefix has traces for every application listed", empty)
PY

il_log "kestrane-cli scan --applications"
cli scan --applications --json >"$W/scan.json" 2>"$W/scan.err"
status=$?
il_check "scan exits 0 (got $status)" test $status -eq 0
[ -s "$W/scan.err" ] && sed 's/^/    stderr: /' "$W/scan.err"
il_python "$W/compare.py" "$W/expected.json" "$W/scan.json" "$SCHEMA" "$P" "scan" listed

il_log "kestrane-cli repair --applications"
cli repair --applications --json >"$W/repair.json" 2>"$W/repair.err"
status=$?
il_check "repair exits 0 (got $status)" test $status -eq 0
[ -s "$W/repair.err" ] && sed 's/^/    stderr: /' "$W/repair.err"
il_python "$W/compare.py" "$W/expected.json" "$W/repair.json" "$SCHEMA" "$P" "repair report" emptied

il_snapshot "$P/drive_c" "$W/drive_c.after.json"
il_snapshot "$HOME" "$W/home.after.json"
il_check "Wine's regedit /E after the repair" il_export "$P" "$W/after.reg"

# What must be gone: the files of the file rows (not the folders), and in
# the registry each row's value or subtree as its list's repair says.
il_python - "$W/expected.json" "$W/gone.drive_c.json" "$W/gone.registry.json" <<'PY'
import json, sys
e = json.load(open(sys.argv[1]))
rows = [r for rs in e["lists"].values() for r in rs]
json.dump(sorted({f for r in rows for f in r["files"]}), open(sys.argv[2], "w"))
json.dump([g for r in rows for g in r["registry"]], open(sys.argv[3], "w"))
PY
echo '[]' >"$W/nothing.json"
il_python -c 'import ilib, sys; ilib.check_gone(*sys.argv[1:5], undo=ilib.repair_undo(sys.argv[5]))' \
    "$W/drive_c.before.json" "$W/drive_c.after.json" "$W/gone.drive_c.json" "drive_c after the repair" \
    "$W/repair.json"
il_check_gone "$W/home.before.json" "$W/home.after.json" "$W/nothing.json" "the home after the repair"
il_python - "$W/before.reg" "$W/again.reg" "$W/after.reg" "$W/gone.registry.json" <<'PY'
import json, sys
import ilib
want = [tuple(g) for g in json.load(open(sys.argv[4]))]
ilib.check_export_change(sys.argv[1], sys.argv[2], sys.argv[3], want,
                         "after the repair (each listed value, and the subkeys Office and Acrobat delete)")
PY

il_log "after the repair"
if ! il_python "$W/expected.py" "$P" "$W/after.reg" "$W/expected.after.json"; then
    il_fail "working out the expected rows after the repair"
fi
# What the rules list now must be what the repair could not delete: the
# rows of folders, nothing else.
il_python - "$W/expected.json" "$W/expected.after.json" <<'PY'
import json, sys
import ilib
before, after = (json.load(open(p)) for p in sys.argv[1:3])
def rows(e, keep):
    return ["%s: %r %r" % (name, r["caption"], r["subitems"]) for caption, name in e["summary"]
            for r in e["lists"][name] if keep(r)]
left = rows(before, lambda r: not r["files"] and not r["registry"])
now = rows(after, lambda r: True)
ilib.check(before["summary"] == after["summary"], "after the repair the same applications are found",
           ilib.listing("before", before["summary"]) + ilib.listing("after", after["summary"]))
ilib.check(now == left, "after the repair the rules list only what the repair cannot delete (%d rows)" % len(left),
           ilib.listing("expected to be left", left) + ilib.listing("listed by the rules now", now))
PY
cli scan --applications --json >"$W/scan2.json" 2>"$W/scan2.err"
status=$?
il_check "second scan exits 0 (got $status)" test $status -eq 0
il_python "$W/compare.py" "$W/expected.after.json" "$W/scan2.json" "$SCHEMA" "$P" "second scan" listed

echo
echo "took $(( $(date +%s) - START )) s"
il_summary
