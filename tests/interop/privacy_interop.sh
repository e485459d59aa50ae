#!/bin/bash
# The privacy categories against a prefix that Wine and real Windows programs
# made (make_traces_prefix.sh): what each one must list is worked out here
# from the prefix's files, as someone checking the prefix by hand would, and
# compared with what kestrane-cli lists; then kestrane-cli repairs, and the
# prefix, the home's recycle bin and Wine's own view of the registry must
# have lost exactly what was listed, and nothing else.
#
# Usage: privacy_interop.sh KESTRANE_CLI
# Exits 0 when every check passed, 1 when one failed, 77 (skipped) when
# wine64 or mingw-w64 is missing ($KESTRANE_WINE64 names another wine64).
# KESTRANE_SEED_BUILD, if set, is where the seeding programs are built and
# kept between runs; by default they are built in the work folder.

set -u

if [ $# -ne 1 ]; then
    echo "usage: $0 KESTRANE_CLI" >&2
    exit 2
fi
CLI=$1
ROWS=9,10,11,12,13,14,15,16,17,18,19

. "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/interop_lib.sh"
il_require_wine
SCHEMA="$IL_HERE/../../docs/kestrane-cli-report.schema.json"

il_wait_program "$CLI"

il_setup privacy
START=$(date +%s)
P=$IL_WORK/prefix
W=$IL_WORK          # the work files: snapshots, exports, reports
TRASH=$XDG_DATA_HOME/Trash
# The window steps (regedit, wordpad) leave no privacy traces.
export KESTRANE_SEED_NO_GUI=${KESTRANE_SEED_NO_GUI:-1}

cli() {  # cli ARGS...: kestrane-cli on the prefix, with this test's home and recycle bin
    "$CLI" --prefix "$P" "$@"
}

# ------------------------------------------------------------------------
# What a person checking the prefix by hand would find for each privacy
# row, from the files of the prefix and the home (never from kestrane-cli).
# Writes the rows as JSON and tells on standard output how each came out.
cat >"$W/expected.py" <<'PY'
import datetime
import json
import os
import sys
import urllib.parse

import ilib

prefix, home, trash, out = sys.argv[1:5]
system = ilib.Hive(os.path.join(prefix, "system.reg"))
user = ilib.Hive(os.path.join(prefix, "user.reg"))
SHELL = r"Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"
EXPLORER = r"Software\Microsoft\Windows\CurrentVersion\Explorer"


def say(text):
    print("    " + text)


def file_row(folder, name, unix, detail=None):
    """A file or a folder as its row names it: the folder as Windows spells
    it (with its closing backslash), the name as the disk has it; a folder's
    size is that of the files in it, and its repair removes its tree."""
    return {"folder": folder, "name": name, "path": folder + name, "unix": unix,
            "size": ilib.size_text(ilib.entry_size(unix)), "detail": detail}


def files_in(folder, mask, leave_out=None, why=""):
    """The files and folders (no links) directly in a Windows folder whose
    names match the mask; leave_out(name) names the ones a rule keeps."""
    unix = ilib.unix_path(prefix, folder)
    rows = []
    for name, kind in ilib.entries(unix) if unix else []:
        if not ilib.matches(name, mask):
            continue
        if kind not in ("file", "dir"):
            say("%s\\%s is a %s: not listed" % (folder, name, kind))
            continue
        if leave_out and leave_out(name):
            say("%s\\%s matches %s but is kept: %s" % (folder, name, mask, why))
            continue
        rows.append(file_row(folder + "\\", name, os.path.join(unix, name)))
    return rows


def files_below(folder, skip_top=(), skip_names=()):
    """Every file below a Windows folder, in its subfolders too, without
    going through a link; skip_top: names left out at the top, skip_names:
    names left out everywhere."""
    rows = []
    unix = ilib.unix_path(prefix, folder)

    def walk(win, path, top):
        for name, kind in ilib.entries(path):
            if (top and name in skip_top) or name in skip_names:
                say("%s\\%s: left out" % (win, name))
                continue
            if kind == "dir":
                walk(win + "\\" + name, os.path.join(path, name), False)
            elif kind == "file":
                rows.append(file_row(win + "\\", name, os.path.join(path, name)))
            else:
                say("%s\\%s is a %s: not followed, not listed" % (win, name, kind))

    if unix and os.path.isdir(unix):
        walk(folder, unix, True)
    else:
        say("%s does not exist" % folder)
    return rows


def listed(title, rows):
    say("%s: %d" % (title, len(rows)))
    for r in rows:
        say("  " + (r["path"] if "path" in r else r["caption"]))


rows = {}
system_root = system.string(r"Software\Microsoft\Windows NT\CurrentVersion", "SystemRoot")
print("  SystemRoot = %s" % system_root)

# -- 9 Recent Documents: the shortcuts (*.lnk) in the user's Recent folder.
# SHAddToRecentDocs made Recent\letter.txt.lnk; app_traces' Office shortcut
# is in Office\Recent, another folder.
recent = user.string(SHELL, "Recent")
rows["lvpc"] = files_in(recent, "*.lnk")
listed("Recent Documents (%s)" % recent, rows["lvpc"])

# -- 10 Recycle Bin: the entries of $XDG_DATA_HOME/Trash whose .trashinfo
# names a path inside this prefix (Wine writes it through dosdevices/c:);
# an entry that names a path elsewhere belongs to someone else. One row, its
# caption the number of entries, its size that of all their files.
bin_items, bin_bytes, bin_entries = 0, 0, []
real_prefix = os.path.realpath(prefix)
for info in sorted(os.listdir(os.path.join(trash, "info")) if os.path.isdir(os.path.join(trash, "info")) else []):
    if not info.endswith(".trashinfo"):
        continue
    fields = {}
    with open(os.path.join(trash, "info", info), encoding="utf-8", errors="replace") as f:
        for line in f:
            key, sep, value = line.rstrip("\n").partition("=")
            if sep:
                fields[key] = value
    original = os.path.normpath(urllib.parse.unquote(fields.get("Path", "")))
    stem = info[:-len(".trashinfo")]
    inside = original.startswith(real_prefix + os.sep) or original.startswith(os.path.normpath(prefix) + os.sep)
    if not inside:
        say("Trash entry %s names %s: not this prefix's, not counted" % (stem, original))
        continue
    entry = os.path.join(trash, "files", stem)
    size = 0
    if os.path.islink(entry) or os.path.isfile(entry):
        size = os.lstat(entry).st_size
    else:
        for folder, _, names in os.walk(entry):
            size += sum(os.lstat(os.path.join(folder, n)).st_size for n in names
                        if os.path.isfile(os.path.join(folder, n)) and not os.path.islink(os.path.join(folder, n)))
    say("Trash entry %s names %s: %d bytes" % (stem, original, size))
    bin_items += 1
    bin_bytes += size
    bin_entries += ["files/" + stem, "info/" + info]
rows["lvbin"] = ([{"caption": "%d files in Recycle Bin" % bin_items, "size": ilib.size_text(bin_bytes)}]
                 if bin_items else [])
listed("Recycle Bin", rows["lvbin"])

# -- 11 Temporary Files: the *.tmp files of the system's temporary folder
# (SystemRoot\Temp; on disk Wine's folder is drive_c/windows/temp) and of
# the user's, which in Wine is the TEMP of the user's environment, since
# Wine's Shell Folders have no "Local Settings". GetTempFileName left two
# kstXXXX.tmp in C:\users\<user>\Temp and one in C:\windows\Temp.
temp = user.string("Environment", "TEMP")
if user.string(SHELL, "Local Settings"):
    temp = user.string(SHELL, "Local Settings") + "\\Temp"
    say("Shell Folders has Local Settings: the user's Temp is " + temp)
# (Wine writes TEMP as a plain string; were it %USERPROFILE%\..., the
# profile is the C:\users\<user> of the Shell Folders.)
profile = "\\".join(recent.split("\\")[:3])
temp = temp.replace("%USERPROFILE%", profile).replace("%SystemRoot%", system_root)
temp = temp.rstrip("\\")
rows["lvdel"] = files_in(system_root + "\\Temp", "*.tmp") + files_in(temp, "*.tmp")
listed("Temporary Files (%s\\Temp, %s)" % (system_root, temp), rows["lvdel"])

# -- 12 Clipboard: the command line has no desktop clipboard.

# -- 13 Memory Dumps: SystemRoot\memory.dmp and SystemRoot\MiniDump\*.dmp.
# A folder the rule names is spelt as the rule and the registry spell it
# (C:\windows\MiniDump and C:\windows\Temp, though Wine's folders are
# Minidump and temp); what is found in it, as the disk has it.
rows["lvdump"] = files_in(system_root, "memory.dmp") + files_in(system_root + "\\MiniDump", "*.dmp")
listed("Memory Dumps", rows["lvdump"])

# -- 14 Chkdsk Files: FILE*.CHK in the root of the system drive (not in its
# FOUND.* folders): C:\FILE0000.CHK.
drive_root = system_root[:2]
rows["lvchk"] = files_in(drive_root, "FILE*.CHK")
listed("Chkdsk Files", rows["lvchk"])

# -- 15 Log Files, no subfolder searched:
#   system32\wbem\Logs\*.log and *.lo_        -> x.log
#   SystemRoot\*.log but WindowsUpdate.log    -> setupapi.log (WindowsUpdate.log kept)
#   SystemRoot\*log.txt                       -> setuplog.txt
#   Debug\*.log but PASSWD.LOG                -> passwd.log: the rule leaves out
#       the path spelt exactly C:\windows\Debug\PASSWD.LOG, with its case, and
#       Wine's file is passwd.log (the seeding could not create a second file
#       of that name), so it is listed
#   Debug\UserMode\*.log and *.bak           -> nothing (no such folder)
#   security\logs\*.log and *.old            -> y.old
# wineboot itself leaves no log file in these folders: its only trace is the
# empty folder C:\windows\logs, which no rule searches (a folder is never a
# finding). Whatever else lies there is listed here too.
# The rules leave out a path as it is spelt, with its case.
same = lambda wanted: (lambda name: name == wanted)
rows["lvlog"] = (
    files_in(system_root + "\\system32\\wbem\\Logs", "*.log") +
    files_in(system_root + "\\system32\\wbem\\Logs", "*.lo_") +
    files_in(system_root, "*.log", same("WindowsUpdate.log"), "the rule keeps WindowsUpdate.log") +
    files_in(system_root, "*log.txt") +
    files_in(system_root + "\\Debug", "*.log", same("PASSWD.LOG"), "the rule keeps PASSWD.LOG") +
    files_in(system_root + "\\Debug\\UserMode", "*.log") +
    files_in(system_root + "\\Debug\\UserMode", "*.bak") +
    files_in(system_root + "\\security\\logs", "*.log") +
    files_in(system_root + "\\security\\logs", "*.old"))
listed("Log Files", rows["lvlog"])

# -- 16 Cookies: the *.txt files of the Cookies folder whose name holds a
# keyword of the table below (byte-exact), or, for a name without "@" (Wine
# names its files at random, "BY8X1P29.txt", or after the path, "shop[0].txt"),
# one of whose records' "user@host/path" does. The user is the profile's
# folder name. Wine wrote ads.example.com/ (keyword "ads"),
# www.plainsite.org/ and www.plainsite.org/shop (no keyword): one file.
KEYWORDS = """
yahoo google adlog atdmt ads vnuemedia advertising casalemedia fastclick adknowledge pheedo
doubleclick 2mdn tribalfusion adserver eproof mercuras atwola cnn change tomshardware intellitxt
falkag industrybrains tacoda trafficmp adimage adjs adx omniture popupjs zdnet chkpt zedo
kliptracker dvlabs ru4 imrworldwide overture banners a1 yimg jazad aljazeera 2o7 insecure geocities
geo pointroll servedby adtrix mediaplex gavzad keenspot kanoodle adbrite targetnet adframegenerator
happy collegehumor shopping msn maxserving cneteu content search idg techworld advertpro
washingtonpost bluestreak questionmarket media nyadmcncserve nytimes suitesmart ihost freeze
metaconsult thinktarget myway marketbanker adsonar adrevolver directorym adcode special_ads
yieldmanager mediaplazza ysbweb adonspot adframe targetpoint firstadsolution adzones torrentspy
adview baventures bridgetrack revsci intelli-direct adClutter revenue adfetch adsys qksrv afcyhf
linksynergy bfast tqlkg cc-dt ftjcfx lduhtrp awltovhc allposters tracking engadget relatedlabs appdb
winehq dealtime adlegend business ctx mercury bravenet blogads adjuggler contextweb answers hitfarm
popover tradedoubler shareasale tiser serving-sys reklama onet premiums mads adimages go adinsert
3ps log utm adsfac adSwap deferAds advert images itnation chitika audiencematch publicus
specificclick cpmstar popunder about forrestersurveys interclick centrport nbc29 firstaffiliates
newscientist kontera searchportal information oingo appliedsemantics euros4click adbureau pro-market
valueclick dart chron layer-ads pandora hitbox affiliates newspaperads paypopup nextag
brandconversions brightcove adsrevenue infinityads nationalgeographic comicgenesis topix eyewonder
unicast""".split()
assert len(KEYWORDS) == 192


def keyword_in(text):
    return [k for k in KEYWORDS if k in text]


cookies = user.string(SHELL, "Cookies")
cookie_user = cookies.split("\\")[2] if cookies.lower().startswith("c:\\users\\") else ""
rows["lvco"] = []
for row in files_in(cookies, "*.txt"):
    name = row["name"]
    hits = keyword_in(name)
    sites = []
    if "@" not in name:
        record = []
        with open(row["unix"], encoding="latin-1") as f:
            for line in f.read().split("\n"):
                line = line.rstrip("\r")
                if line == "*":
                    if len(record) >= 3 and record[2] and record[2] not in sites:
                        sites.append(record[2])
                    record = []
                else:
                    record.append(line)
        for site in sites:
            hits += keyword_in(cookie_user + "@" + site)
    say("%s: sites %s, keywords %s" % (name, sites or "-", hits or "none"))
    if hits:
        row["detail"] = ", ".join(sites) if sites and "@" not in name else "All items listed in Cookies"
        rows["lvco"].append(row)
listed("Cookies (%s, user %s)" % (cookies, cookie_user), rows["lvco"])

# -- 17 History: what History\History.IE5 holds, but today's folder
# MSHist01<today><tomorrow> and the top index.dat. Wine keeps its history
# only in records of the cache's index.dat; its History folder stays empty
# and has no History.IE5: nothing.
today = datetime.date.today()
tomorrow = today + datetime.timedelta(days=1)
todays = "MSHist01%d%d%02d%d%d%02d" % (today.year, today.month, today.day, tomorrow.year, tomorrow.month,
                                       tomorrow.day)
rows["lvhis"] = files_below(user.string(SHELL, "History") + "\\History.IE5", skip_top=("index.dat", todays))
listed("History", rows["lvhis"])

# -- 18 Temporary IE: every file of Content.IE5's cache folders, but
# index.dat: name[0].ext in three of the four random folders (one stays
# empty). The cache folders hold no folders of their own here.
rows["lvtempie"] = files_below(user.string(SHELL, "Cache") + "\\Content.IE5", skip_names=("index.dat",))
listed("Temporary IE", rows["lvtempie"])

# -- 19 Advanced Privacy Threats Analysis: the values of the recently-used
# lists, read from user.reg (HKCU) and system.reg (HKLM, its 64-bit view):
#   TypedURLs and RunMRU: every value (RunMRU's MRUList too);
#   Internet Explorer "Download Directory", Internet Explorer\Main "Save Directory";
#   every value of each subkey of Search Assistant\ACMru (5603, 5604);
#   ComDlg32\OpenSaveMRU, Map Network Drive MRU, ComputerDescriptions: every
#     value but MRUList, of the key itself (OpenSaveMRU's per-extension
#     subkey txt is not one of the lists);
#   "Name" of Direct3D\MostRecentApplication (HKCU and HKLM) and of
#     DirectDraw\MostRecentApplication (HKLM).
# What the rules keep, and a second scan must not list: OpenSaveMRU's and
# Map Network Drive MRU's MRUList, OpenSaveMRU\txt, Main's Start Page and
# Search Page, RecentDocs.
LISTS = [
    ("HKCU", r"Software\Microsoft\Internet Explorer\TypedURLs", "all", None, "Recently Typed URLs"),
    ("HKCU", EXPLORER + r"\RunMRU", "all", None, "Recently Typed in Run Menu"),
    ("HKCU", r"Software\Microsoft\Internet Explorer", "only", "Download Directory", "Last Download Location"),
    ("HKCU", r"Software\Microsoft\Internet Explorer\Main", "only", "Save Directory", "Last Download Location"),
]
acmru = r"Software\Microsoft\Search Assistant\ACMru"
LISTS += [("HKCU", acmru + "\\" + sub, "all", None, "Recently Typed in Search Menu") for sub in user.subkeys(acmru)]
LISTS += [
    ("HKCU", EXPLORER + r"\ComDlg32\OpenSaveMRU", "but MRUList", None, "Explorer MRUs"),
    ("HKCU", EXPLORER + r"\Map Network Drive MRU", "but MRUList", None, "Explorer MRUs"),
    ("HKCU", EXPLORER + r"\ComputerDescriptions", "but MRUList", None, "Explorer MRUs"),
    ("HKCU", r"Software\Microsoft\Direct3D\MostRecentApplication", "only", "Name", "Explorer MRUs"),
    ("HKLM", r"Software\Microsoft\Direct3D\MostRecentApplication", "only", "Name", "Explorer MRUs"),
    ("HKLM", r"Software\Microsoft\DirectDraw\MostRecentApplication", "only", "Name", "Explorer MRUs"),
]
sid = user.user_sid()
rows["lvadvanced"] = []
for root, key, take, only, kind in LISTS:
    hive = user if root == "HKCU" else system
    for name, vtype, value in hive.values(key):
        if take == "only" and name.lower() != only.lower():
            continue
        if take == "but MRUList" and name.lower() == "mrulist":
            continue
        if name == "":
            continue  # a key's default value is no entry of a list
        data = value if vtype in ("sz", "expand_sz") else None
        if data is None:
            say("%s\\%s -> %s is a %s value: its data is not compared" % (root, key, name, vtype))
        export_key = ("HKEY_USERS\\%s\\%s" % (sid, key)) if root == "HKCU" else ("HKEY_LOCAL_MACHINE\\" + key)
        rows["lvadvanced"].append({"caption": name, "kind": kind, "data": data, "location": root + "\\" + key,
                                   "export_key": export_key})
say("Advanced Privacy Threats Analysis: %d" % len(rows["lvadvanced"]))
for r in rows["lvadvanced"]:
    say("  %s -> %s = %r (%s)" % (r["location"], r["caption"], r["data"], r["kind"]))

json.dump({"rows": rows, "bin_items": bin_items, "bin_entries": bin_entries, "user_sid": sid},
          open(out, "w"), indent=1)
PY

# ------------------------------------------------------------------------
# Compares a kestrane-cli JSON report with the expected rows.
cat >"$W/compare.py" <<'PY'
import collections
import json
import sys

import ilib

expected_file, report_file, schema_file, prefix, label = sys.argv[1:6]
expected = json.load(open(expected_file))
rows = expected["rows"]
try:
    report = json.load(open(report_file))
except ValueError as e:
    ilib.check(False, "%s: the report is JSON" % label, [str(e)])
    sys.exit(0)

errors, validator = ilib.validate(report, json.load(open(schema_file)))
ilib.check(not errors, "%s: the report validates against the schema (%s)" % (label, validator), errors[:20])
ilib.check(report.get("prefix") == prefix, "%s: the report names the prefix" % label,
           ["expected %r, got %r" % (prefix, report.get("prefix"))])

summary = {s.get("row"): s for s in report.get("summary", []) if isinstance(s, dict)}
lists = report.get("lists", {})
LISTS = [(9, "lvpc", "Recent Documents"), (10, "lvbin", "Recycle Bin"), (11, "lvdel", "Temporary Files"),
         (13, "lvdump", "Memory Dumps"), (14, "lvchk", "Chkdsk Files"), (15, "lvlog", "Log Files"),
         (16, "lvco", "Cookies"), (17, "lvhis", "History"), (18, "lvtempie", "Temporary IE"),
         (19, "lvadvanced", "Advanced Privacy Threats Analysis")]


def multiset_check(what, want, got):
    want_c, got_c = collections.Counter(want), collections.Counter(got)
    ok = want_c == got_c
    details = []
    if not ok:
        details += ilib.listing("expected", sorted(want))
        details += ilib.listing("listed by kestrane-cli", sorted(got))
        missing, extra = sorted((want_c - got_c).elements()), sorted((got_c - want_c).elements())
        details += ilib.listing("expected but not listed", missing)
        details += ilib.listing("listed but not expected", extra)
        lower = collections.defaultdict(list)
        for m in missing:
            lower[str(m).lower()].append(m)
        for x in extra:
            for m in lower.get(str(x).lower(), []):
                details.append("note: %s and %s differ only in case" % (m, x))
    return ilib.check(ok, what, details)


for row, name, caption in LISTS:
    s = summary.get(row, {})
    ilib.check(s.get("caption") == caption, "%s: summary row %d is %s" % (label, row, caption),
               ["got %r" % s.get("caption")])
    if name not in lists:
        ilib.check(False, "%s: the report has the list %s" % (label, name), ["lists: %s" % sorted(lists)])
        continue
    got = lists[name].get("rows", [])
    want = rows[name]
    if name == "lvbin":
        multiset_check("%s: %s lists %s" % (label, name, [r["caption"] + ", " + r["size"] for r in want] or "no row"),
                       [(r["caption"], "Remove", r["size"]) for r in want],
                       [tuple([r.get("caption")] + list(r.get("subitems", []))) for r in got])
        ilib.check(s.get("count") == expected["bin_items"],
                   "%s: summary count of %s is the bin's %d item(s)" % (label, caption, expected["bin_items"]),
                   ["got %r" % s.get("count")])
        continue
    if name == "lvadvanced":
        # Registry keys are case-blind; the ACMru rows name their key with a
        # closing backslash. Both are how the key is written, not which key.
        def where(location):
            return location.rstrip("\\").lower()
        nodata = {(where(r["location"]), r["caption"]) for r in want if r["data"] is None}
        got_rows = []
        for r in got:
            sub = list(r.get("subitems", [])) + ["", "", ""]
            at = (where(sub[2]), r.get("caption"))
            got_rows.append(at + (sub[0], None if at in nodata else sub[1]))
        multiset_check("%s: %s lists exactly the expected %d value(s)" % (label, name, len(want)),
                       [(where(r["location"]), r["caption"], r["kind"], r["data"]) for r in want], got_rows)
    else:
        paths = [(r.get("subitems", ["", "", ""]) + ["", "", ""])[2] + r.get("caption", "") for r in got]
        if multiset_check("%s: %s lists exactly the expected %d file(s)" % (label, name, len(want)),
                          [r["path"] for r in want], paths) and got:
            by_path = {r["path"]: r for r in want}
            bad = []
            for r, path in zip(got, paths):
                w = by_path[path]
                sub = r.get("subitems", [])
                if len(sub) != 4 or sub[0] != "Remove" or sub[3] != w["size"]:
                    bad.append("%s: subitems %r, expected ['Remove', ..., %r, %r]" % (path, sub, w["folder"], w["size"]))
                if w.get("detail") is not None and sub[1:2] != [w["detail"]]:
                    bad.append("%s: detail %r, expected %r" % (path, sub[1:2], w["detail"]))
            ilib.check(not bad, "%s: %s rows say Remove, the size on disk%s" %
                       (label, name, " and the sites of the records" if name == "lvco" else ""), bad)
    if got:
        unchecked = [r.get("caption") for r in got if r.get("checked") is not True]
        ilib.check(not unchecked, "%s: every %s row is checked" % (label, name), unchecked)
    ilib.check(s.get("count") == len(got),
               "%s: summary count of %s (%r) is its row count (%d)" % (label, caption, s.get("count"), len(got)))

clip = summary.get(12, {})
ilib.check(clip.get("caption") == "Clipboard" and clip.get("available") is False,
           "%s: the Clipboard row is not available" % label, ["got %r" % clip])
ilib.check(not lists.get("lvclip", {}).get("rows"), "%s: lvclip lists nothing" % label,
           ["got %r" % lists.get("lvclip")])
PY

# Checks a snapshot difference against the paths that must be gone (and,
# given a repair report, its undo file as the one new entry).
cat >"$W/gone.py" <<'PY'
import sys

import ilib

before, after, gone_file, what = sys.argv[1:5]
undo = ilib.repair_undo(sys.argv[5]) if len(sys.argv) > 5 else ""
ilib.check_gone(before, after, gone_file, what, undo)
PY

# ------------------------------------------------------------------------
il_log "making a traced prefix in $P (home $HOME)"
if ! il_make_traced_prefix "$P" "$HOME"; then
    il_fail "make_traces_prefix.sh made the prefix"
    il_summary
    exit 1
fi
il_wait_server "$P"
echo "    made in $(( $(date +%s) - START )) s"

# Two recycle bin entries of someone else: a file deleted elsewhere, and one
# from a folder whose name begins with the prefix's (a test of "inside").
mkdir -p "$TRASH/files" "$TRASH/info"
printf 'not the prefix\n' >"$TRASH/files/elsewhere.txt"
printf '[Trash Info]\nPath=%s\nDeletionDate=2026-01-02T03:04:05\n' "$HOME/Documents/elsewhere.txt" \
    >"$TRASH/info/elsewhere.txt.trashinfo"
printf 'a neighbouring prefix\n' >"$TRASH/files/neighbour.txt"
printf '[Trash Info]\nPath=%s\nDeletionDate=2026-01-02T03:04:05\n' "${P}2/dosdevices/c:/neighbour.txt" \
    >"$TRASH/info/neighbour.txt.trashinfo"

il_log "snapshots before the repair"
il_snapshot "$P/drive_c" "$W/drive_c.before.json"
il_snapshot "$HOME" "$W/home.before.json"
il_check "Wine's regedit /E of the registry" il_export "$P" "$W/before.reg"
# A second export with nothing changed in between shows what Wine rewrites by
# itself at every start.
il_check "a second regedit /E, nothing changed in between" il_export "$P" "$W/again.reg"
il_snapshot "$P/drive_c" "$W/drive_c.again.json"
il_snapshot "$HOME" "$W/home.again.json"
echo '[]' >"$W/nothing.json"
il_python "$W/gone.py" "$W/drive_c.before.json" "$W/drive_c.again.json" "$W/nothing.json" \
    "drive_c after two runs of Wine's regedit"
il_python "$W/gone.py" "$W/home.before.json" "$W/home.again.json" "$W/nothing.json" \
    "the home after two runs of Wine's regedit"

il_log "what the privacy rows must list, from the prefix's files"
il_python "$W/expected.py" "$P" "$HOME" "$TRASH" "$W/expected.json" ||
    il_fail "working out the expected rows"

il_log "kestrane-cli scan"
cli scan --only "$ROWS" --json >"$W/scan.json" 2>"$W/scan.err"
status=$?
il_check "scan exits 0 (got $status)" test $status -eq 0
[ -s "$W/scan.err" ] && sed 's/^/    stderr: /' "$W/scan.err"
il_python "$W/compare.py" "$W/expected.json" "$W/scan.json" "$SCHEMA" "$P" "scan"

il_log "kestrane-cli repair while a wineserver serves the prefix"
cp "$P/user.reg" "$W/user.reg.held"
cp "$P/system.reg" "$W/system.reg.held"
WINEPREFIX="$P" "$IL_WINESERVER" -p
cli repair --only "$ROWS" --no-backup --json >"$W/refused.json" 2>"$W/refused.err"
status=$?
il_check "repair exits 4 while a wineserver serves the prefix (got $status)" test $status -eq 4
il_check "  user.reg unchanged" cmp -s "$W/user.reg.held" "$P/user.reg"
il_check "  system.reg unchanged" cmp -s "$W/system.reg.held" "$P/system.reg"
WINEPREFIX="$P" "$IL_WINESERVER" -k
il_wait_server "$P"
il_snapshot "$P/drive_c" "$W/drive_c.refused.json"
il_snapshot "$HOME" "$W/home.refused.json"
il_python "$W/gone.py" "$W/drive_c.before.json" "$W/drive_c.refused.json" "$W/nothing.json" \
    "drive_c after the refused repair"
il_python "$W/gone.py" "$W/home.before.json" "$W/home.refused.json" "$W/nothing.json" \
    "the home after the refused repair"

il_log "kestrane-cli repair"
cli repair --only "$ROWS" --no-backup --json >"$W/repair.json" 2>"$W/repair.err"
status=$?
il_check "repair exits 0 (got $status)" test $status -eq 0
[ -s "$W/repair.err" ] && sed 's/^/    stderr: /' "$W/repair.err"

il_snapshot "$P/drive_c" "$W/drive_c.after.json"
il_snapshot "$HOME" "$W/home.after.json"
il_check "Wine's regedit /E after the repair" il_export "$P" "$W/after.reg"

# What must be gone: every listed file and folder (with its tree), and the
# prefix's recycle bin entries (both halves, files/ and info/).
il_python - "$W/expected.json" "$P" "$W/home.before.json" "$W/gone.drive_c.json" "$W/gone.home.json" <<'PY'
import json, os, sys
import ilib
expected, prefix, home_before, out_c, out_home = sys.argv[1:6]
e = json.load(open(expected))
drive_c = os.path.join(prefix, "drive_c")
files = [p for name, rows in e["rows"].items() if name not in ("lvbin", "lvadvanced")
         for r in rows for p in ilib.entry_paths(drive_c, r["unix"])]
json.dump(files, open(out_c, "w"))
snap = json.load(open(home_before))
trash = os.path.relpath(os.environ["XDG_DATA_HOME"], os.environ["HOME"]) + "/Trash/"
json.dump([p for entry in e["bin_entries"] for p in ilib.below(snap, trash + entry)], open(out_home, "w"))
PY
il_python "$W/gone.py" "$W/drive_c.before.json" "$W/drive_c.after.json" "$W/gone.drive_c.json" \
    "drive_c after the repair" "$W/repair.json"
il_python "$W/gone.py" "$W/home.before.json" "$W/home.after.json" "$W/gone.home.json" \
    "the home (recycle bin) after the repair"

# Wine's view of the registry: exactly the listed values are gone. A .reg
# export has no time stamps, so a start of Wine changes it only where Wine
# itself writes at every start. The two exports before the repair show what
# that is: any change between them must be one of OWN below (else the check
# fails), and only the kinds of change seen there are left out afterwards.
# In these runs (no display) Wine rewrote nothing; wine_interop.sh, whose
# runs started the display driver, saw the two kinds named in OWN.
il_python - "$W/before.reg" "$W/again.reg" "$W/after.reg" "$W/expected.json" <<'PY'
import json, re, sys
import ilib
before, again, after = (ilib.parse_export(p) for p in sys.argv[1:4])
e = json.load(open(sys.argv[4]))
# What a Wine start may rewrite, each when the display driver starts: the
# date it stamps into its adapter's class key, and the Control\Video keys it
# makes anew with new GUIDs.
OWN = [
    (r"^HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Class\\\{4d36e968-e325-11ce-bfc1-08002be10318\}\\\d{4} -> DriverDateData$",
     "the display driver's date, written when it starts"),
    (r"^HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video\\\{[0-9a-f-]+\}(\\.*)?$",
     "the display driver's video keys, made anew with new GUIDs when it starts"),
]
def text(kind, key, name):
    return key if name is None else key + " -> " + ("@" if name == "" else name)
control = ilib.export_diff(before, again)
active, unexplained = set(), []
for kind, key, name in control:
    hit = [i for i, (pat, _) in enumerate(OWN) if re.match(pat, text(kind, key, name), re.IGNORECASE)]
    active.update(hit)
    if not hit:
        unexplained.append("%s %s" % (kind, text(kind, key, name)))
print("    Wine changed %d entries by itself between two starts%s" % (len(control), ":" if control else ""))
for i in sorted(active):
    print("      " + OWN[i][1])
ilib.check(not unexplained, "every change Wine made by itself between two starts is explained", unexplained)

def own(kind, key, name):
    return any(re.match(OWN[i][0], text(kind, key, name), re.IGNORECASE) for i in active)
diff = [d for d in ilib.export_diff(before, after) if not own(*d)]
want = sorted(("-value", r["export_key"].lower(), r["caption"].lower()) for r in e["rows"]["lvadvanced"])
got = sorted((k, key.lower(), name.lower() if name is not None else None) for k, key, name in diff)
details = []
if want != got:
    details += ilib.listing("expected: only these values gone", ["%s %s -> %s" % w for w in want])
    details += ilib.listing("Wine's export differs in", ["%s %s" % (k, text(k, key, n)) for k, key, n in diff])
    details += ilib.listing("differences not expected", ["%s %s -> %s" % g for g in got if g not in want])
    details += ilib.listing("expected but not seen", ["%s %s -> %s" % w for w in want if w not in got])
ilib.check(want == got, "Wine's regedit export after the repair lacks exactly the %d listed values, "
           "nothing else changed" % len(want), details)
PY

il_log "after the repair"
il_python "$W/expected.py" "$P" "$HOME" "$TRASH" "$W/expected.after.json" ||
    il_fail "working out the expected rows after the repair"
il_python - "$W/expected.after.json" <<'PY'
import json, sys
import ilib
rows = json.load(open(sys.argv[1]))["rows"]
left = ["%s: %s" % (n, r.get("path") or r.get("caption")) for n, rs in sorted(rows.items()) for r in rs]
ilib.check(not left, "after the repair nothing that the rules list is left in the prefix", left)
PY
il_python "$W/compare.py" "$W/expected.after.json" "$W/repair.json" "$SCHEMA" "$P" "repair report (what is left)"
cli scan --only "$ROWS" --json >"$W/scan2.json" 2>"$W/scan2.err"
status=$?
il_check "second scan exits 0 (got $status)" test $status -eq 0
il_python "$W/compare.py" "$W/expected.after.json" "$W/scan2.json" "$SCHEMA" "$P" "second scan"

echo
echo "took $(( $(date +%s) - START )) s"
il_summary
