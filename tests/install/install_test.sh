#!/bin/bash
# The installed program: `cmake --install` into a temporary DESTDIR puts
# every file where it belongs, the installed kestrane-cli runs a scan of the
# demo prefix from there, the window's registry editor and help page are
# where the installed programs look for them, the desktop entry and the
# AppStream data pass their validators, and the Debian package CPack makes
# holds the same tree and declares its dependencies.
#
# Usage: install_test.sh BUILD_DIR [gui]
#   gui: the window was built (the desktop files, icons and kestrane).
# Exits 0 when every check passed, 1 otherwise.
set -u
BUILD=$(cd "$1" && pwd)
GUI=${2:-}
W=$(mktemp -d "${TMPDIR:-/tmp}/kestrane-install.XXXXXX")
trap 'rm -rf "$W"' EXIT
failed=0
pass() { echo "PASS: $1"; }
fail() { echo "FAIL: $1"; failed=1; }
check() { local what=$1; shift; if "$@"; then pass "$what"; else fail "$what"; fi; }

D=$W/root
if ! DESTDIR=$D cmake --install "$BUILD" --prefix /usr >"$W/install.log" 2>&1; then
    fail "cmake --install into a DESTDIR"
    sed 's/^/    /' "$W/install.log"
    exit 1
fi
pass "cmake --install into a DESTDIR"
U=$D/usr
APP=org.example.kestrane.Professional

expected=(bin/kestrane-cli lib/kestrane/regedit share/man/man1/kestrane-cli.1
          share/bash-completion/completions/kestrane-cli)
[ "$GUI" = gui ] && expected+=(bin/kestrane share/kestrane/help/index.html
    share/applications/$APP.desktop share/metainfo/$APP.metainfo.xml share/man/man1/kestrane.1
    share/icons/hicolor/scalable/apps/$APP.svg share/icons/hicolor/16x16/apps/$APP.png
    share/icons/hicolor/48x48/apps/$APP.png share/icons/hicolor/256x256/apps/$APP.png)
missing=()
for f in "${expected[@]}"; do [ -s "$U/$f" ] || missing+=("$f"); done
check "every file is installed (${#expected[@]} looked for)" test ${#missing[@]} -eq 0
for f in "${missing[@]}"; do echo "    missing: $f"; done
check "the registry editor is not on PATH (Wine has a regedit command)" test ! -e "$U/bin/regedit"
for x in bin/kestrane-cli lib/kestrane/regedit ${GUI:+bin/kestrane}; do
    check "$x is executable" test -x "$U/$x"
done
stray=$(cd "$U" && find . -type f | grep -v -E '^\./(bin|lib/kestrane|share/(man|bash-completion|kestrane|applications|metainfo|icons))/' || true)
check "nothing installed outside the program's places" test -z "$stray"
[ -n "$stray" ] && echo "$stray" | sed 's/^/    stray: /'

# The installed command line, with a home of its own: the demo prefix made
# on first use, scanned, the summary in JSON.
export HOME=$W/home XDG_DATA_HOME=$W/home/.local/share
mkdir -p "$HOME"
unset WINEPREFIX
"$U/bin/kestrane-cli" --demo scan --json >"$W/scan.json" 2>"$W/scan.err"
status=$?
check "the installed kestrane-cli --demo scan exits 0 (got $status)" test $status -eq 0
sed 's/^/    stderr: /' "$W/scan.err"
python3 - "$W/scan.json" <<'PY' || failed=1
import json, sys
try:
    r = json.load(open(sys.argv[1]))
except ValueError as e:
    print("FAIL: the installed scan writes JSON (%s)" % e)
    sys.exit(1)
rows = [s for s in r.get("summary", []) if s.get("count")]
if str(r.get("status", "")).lstrip().startswith("Status :") and rows:
    print("PASS: the installed scan reports the demo prefix's findings (%d categories with rows)" % len(rows))
else:
    print("FAIL: the installed scan reports the demo prefix's findings: status %r, %d categories with rows"
          % (r.get("status"), len(rows)))
    sys.exit(1)
PY
"$U/bin/kestrane-cli" --help >"$W/help.txt" 2>&1
check "the installed kestrane-cli --help exits 0" test $? -eq 0
"$U/lib/kestrane/regedit" --help >"$W/regedit.txt" 2>&1
check "the installed registry editor runs (--help exits 0)" test $? -eq 0

if command -v man >/dev/null; then
    for page in "$U"/share/man/man1/*.1; do
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
        check "man -l $(basename "$page") reads without warnings" test -z "$warnings"
        [ -n "$warnings" ] && echo "$warnings" | sed 's/^/    /'
    done
fi
check "the bash completion file is valid bash" bash -n "$U/share/bash-completion/completions/kestrane-cli"

if [ "$GUI" = gui ]; then
    if command -v desktop-file-validate >/dev/null; then
        out=$(desktop-file-validate "$U/share/applications/$APP.desktop" 2>&1)
        check "desktop-file-validate passes" test -z "$out"
        [ -n "$out" ] && echo "$out" | sed 's/^/    /'
    else
        fail "desktop-file-validate is installed (desktop-file-utils)"
    fi
    if command -v appstreamcli >/dev/null; then
        appstreamcli validate --no-net --pedantic "$U/share/metainfo/$APP.metainfo.xml" >"$W/as.txt" 2>&1
        check "appstreamcli validate --no-net passes" test $? -eq 0
        sed 's/^/    /' "$W/as.txt"
    else
        fail "appstreamcli is installed (appstream)"
    fi
    check "the desktop entry starts the installed program" grep -qx 'Exec=kestrane' "$U/share/applications/$APP.desktop"
    check "the desktop entry names the installed icon" grep -qx "Icon=$APP" "$U/share/applications/$APP.desktop"
    check "the icon is an SVG image" grep -q '<svg ' "$U/share/icons/hicolor/scalable/apps/$APP.svg"
    python3 - "$U/share/icons/hicolor" "$APP" <<'PY' || failed=1
import os, struct, sys
root, app = sys.argv[1:3]
bad = []
for n in (16, 22, 24, 32, 48, 64, 128, 256):
    p = os.path.join(root, "%dx%d" % (n, n), "apps", app + ".png")
    try:
        head = open(p, "rb").read(24)
    except OSError as e:
        bad.append("%s: %s" % (p, e.strerror))
        continue
    if head[:8] != b"\x89PNG\r\n\x1a\n" or struct.unpack(">II", head[16:24]) != (n, n):
        bad.append("%s is not a %dx%d PNG image" % (p, n, n))
print(("PASS" if not bad else "FAIL") + ": the icon's PNG images have their sizes")
for b in bad:
    print("    " + b)
sys.exit(1 if bad else 0)
PY
fi

# The Debian package: the same files, the dependencies declared.
if command -v cpack >/dev/null && command -v dpkg-shlibdeps >/dev/null; then
    (cd "$W" && cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$W/deb" >"$W/cpack.log" 2>&1)
    deb=$(ls "$W"/deb/*.deb 2>/dev/null | head -1)
    if [ -z "$deb" ]; then
        fail "cpack -G DEB makes a package"
        tail -20 "$W/cpack.log" | sed 's/^/    /'
    else
        pass "cpack -G DEB makes a package ($(basename "$deb"))"
        depends=$(dpkg-deb -f "$deb" Depends)
        check "the package declares its libraries (Depends: $depends)" \
            bash -c '[[ "$1" == *libc6* && "$1" == *libstdc++6* ]]' _ "$depends"
        [ "$GUI" = gui ] && check "the package depends on Qt's widgets" bash -c '[[ "$1" == *libqt6widgets6* ]]' _ "$depends"
        check "the package recommends wine64" bash -c '[[ "$(dpkg-deb -f "$1" Recommends)" == *wine64* ]]' _ "$deb"
        dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sed 's|^\./||' | sort >"$W/deb.files"
        (cd "$D" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$W/tree.files"
        check "the package holds exactly the installed files" cmp -s "$W/deb.files" "$W/tree.files"
        cmp -s "$W/deb.files" "$W/tree.files" || diff "$W/tree.files" "$W/deb.files" | head -10 | sed 's/^/    /'
    fi
else
    echo "SKIP: cpack or dpkg-shlibdeps missing: the Debian package is not made"
fi

exit $failed
