#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a desktop and a packager look at: every
# file in its place, the desktop entry and the AppStream metadata valid, each icon the size of
# its theme folder, every file type of the entry known to the MIME database (the two of our own
# included), the manual page free of formatter warnings, and no installed binary that points
# back into the build tree.
# Usage: installed_files.sh <build dir> <application id>
set -euo pipefail
build=$(cd "$1" && pwd); id="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "$build" --component orvane-viewer --prefix "$prefix" >/dev/null
fail() { echo "FAIL: $*"; status=1; }
status=0

libdir=$(cmake -L -N "$build" | sed -n 's/^ORVANE_INSTALL_PRIVATE_LIBDIR:STRING=//p')
expected=(
  bin/orvane-viewer
  "$libdir/liborvane-media.so" "$libdir/liborvane-modplug.so"
  "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
  share/mime/packages/orvane-viewer.xml
  share/man/man1/orvane-viewer.1.gz
  share/doc/orvane-viewer/copyright share/doc/orvane-viewer/changelog.gz
  "share/icons/hicolor/scalable/apps/$id.svg")
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x$size/apps/$id.png")
done
for f in "${expected[@]}"; do [ -f "$prefix/$f" ] || fail "not installed: $f"; done
[ -x "$prefix/bin/orvane-viewer" ] || fail "the program is not executable"

desktop="$prefix/share/applications/$id.desktop"
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate has remarks: $out"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/as.log" 2>&1 \
  || { cat "$work/as.log"; fail "appstreamcli validate"; }

for size in 16 22 24 32 48 64 128 256; do
  got=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png")
  [ "$got" = "${size}x$size" ] || fail "the ${size}x$size icon is $got"
done

# Every file type is in the system database or in the one the package adds; the package's own
# types, added to a copy of the system database, win over the zip container for their names.
mkdir -p "$work/mime/packages"
cp /usr/share/mime/packages/freedesktop.org.xml "$prefix/share/mime/packages/orvane-viewer.xml" "$work/mime/packages/"
XDG_DATA_DIRS="$work" update-mime-database "$work/mime" 2>"$work/mime.log" || { cat "$work/mime.log"; fail "update-mime-database"; }
[ ! -s "$work/mime.log" ] || { cat "$work/mime.log"; fail "update-mime-database has remarks"; }
types=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' '\n' | sed '/^$/d')
[ -n "$types" ] || fail "the desktop entry names no file types"
for t in $types; do
  [ -f "$work/mime/$t.xml" ] || fail "unknown file type in the desktop entry: $t"
done
grep -qx '50:audio/x-mod+zip:\*\.mdz' "$work/mime/globs2" || fail "*.mdz is not audio/x-mod+zip"
grep -qx '50:audio/x-it+zip:\*\.itz' "$work/mime/globs2" || fail "*.itz is not audio/x-it+zip"

warnings=$(zcat "$prefix/share/man/man1/orvane-viewer.1.gz" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)
[ -z "$warnings" ] || fail "the manual page has formatter warnings: $warnings"

while IFS= read -r -d '' f; do
  if readelf -h "$f" >/dev/null 2>&1; then
    paths=$(readelf -d "$f" | grep -E 'R(UN)?PATH' || true)
    [ -z "$paths" ] || fail "$f carries a library path: $paths"
  fi
done < <(find "$prefix" -type f -print0)

[ "$status" -eq 0 ] && echo "installed files passed"
exit "$status"
