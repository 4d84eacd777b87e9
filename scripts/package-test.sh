#!/bin/bash
# Builds the Debian package and checks it: its file list, the desktop entry, the
# command-line tool run from an unpacked copy, and the menu launcher's per-user folder.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
# The package is made from the ordinary build (stripped), so CI builds it only once.
"$ROOT/scripts/build.sh"
BUILD_DIR=${BUILD_DIR:-build}
(cd "$BUILD_DIR" && rm -f pelorin_*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$BUILD_DIR"/pelorin_*.deb)
echo "package: $deb"

fail() { echo "package-test: $*" >&2; exit 1; }

listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/pelorin ./usr/bin/pelorin-cli ./usr/lib/pelorin/pelorin \
         ./usr/share/applications/pelorin.desktop \
         ./usr/share/icons/hicolor/scalable/apps/pelorin.svg \
         ./usr/share/icons/hicolor/48x48/apps/pelorin.png \
         ./usr/share/icons/hicolor/256x256/apps/pelorin.png \
         ./usr/share/man/man1/pelorin-cli.1.gz \
         ./usr/share/pelorin/help/Help_GE1.bmp ./usr/share/pelorin/help/Help_GE11.bmp \
         ./usr/share/pelorin/samples/00000001.LOG; do
  grep -qxF "$f" <<<"$listing" || fail "missing in the package: $f"
done
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6network6 libfreexl1 qt6-qpa-plugins marble-qt-data; do
  grep -q "$d" <<<"$depends" || fail "Depends lacks $d: $depends"
done
echo "files and dependencies: ok ($depends)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch/root"
desktop-file-validate "$scratch/root/usr/share/applications/pelorin.desktop"
man -l "$scratch/root/usr/share/man/man1/pelorin-cli.1.gz" >/dev/null 2>&1 || fail "man page does not format"

"$scratch/root/usr/bin/pelorin-cli" --help | grep -q "Usage: pelorin-cli" || fail "pelorin-cli --help"
mkdir "$scratch/work"
(cd "$scratch/work" && "$scratch/root/usr/bin/pelorin-cli" --quiet "$scratch/root/usr/share/pelorin/samples")
grep -q "<kml" "$scratch/work/SD_Belumar.kml" || fail "no KML document from the installed tool"
echo "installed pelorin-cli: ok"

# The menu start: a fresh home, the program offscreen; it waits on its first-run notice,
# so it is stopped once the folder is there.
home="$scratch/home"
mkdir "$home"
HOME="$home" XDG_DATA_HOME= QT_QPA_PLATFORM=offscreen "$scratch/root/usr/bin/pelorin" --menu &
pid=$!
folder="$home/.local/share/pelorin"
for _ in $(seq 1 100); do
  [ -f "$folder/Pelorin.ini" ] && [ -f "$folder/Help_GE11.bmp" ] && break
  sleep 0.1
done
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
[ -f "$folder/Pelorin.ini" ] || fail "the menu start made no $folder/Pelorin.ini"
for n in $(seq 1 11); do
  cmp -s "$folder/Help_GE$n.bmp" "$scratch/root/usr/share/pelorin/help/Help_GE$n.bmp" ||
    fail "help page Help_GE$n.bmp not in $folder"
done
grep -q $'^INTRO=TRUE\r$' "$folder/Pelorin.ini" || fail "Pelorin.ini lacks the default lines"
echo "menu launcher: ok ($folder)"
echo "package-test: all checks passed"
