#!/usr/bin/env bash
# Builds the Debian package from the build tree and inspects it: its name, the files it holds
# (exactly those a plain install under /usr puts down), the dependencies dpkg-shlibdeps found
# for the program and both libraries together with the ones named by hand, the changelog's
# version, and lintian's verdict (no errors).
# Usage: package.sh <build dir> <source dir> <version>
set -euo pipefail
build=$(cd "$1" && pwd); source="$2"; version="$3"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; status=1; }
status=0

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; exit 1; }
deb="$work/out/orvane-viewer_${version}_amd64.deb"
[ -f "$deb" ] || { ls "$work/out"; echo "FAIL: no $(basename "$deb")"; exit 1; }

DESTDIR="$work/root" cmake --install "$build" --component orvane-viewer --prefix /usr >/dev/null
(cd "$work/root" && find . \( -type f -o -type l \) | sed 's|^\./|/|' | sort) >"$work/installed"
dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./|/|' | sort >"$work/packed"
diff -u "$work/installed" "$work/packed" || fail "the package does not hold what the install puts down"

depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6multimedia6 libopenmpt0 libzip4 libsdl2-2.0-0 libsndfile1 libjpeg62-turbo \
         gstreamer1.0-plugins-base gstreamer1.0-plugins-good; do
  grep -Eq "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
done
grep -q "gstreamer1.0-libav" <<<"$(dpkg-deb -f "$deb" Recommends)" || fail "Recommends lacks gstreamer1.0-libav"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"
logged=$(dpkg-parsechangelog -l "$source/data/changelog" -S Version)
[ "$logged" = "$version" ] || fail "data/changelog's latest entry is $logged, the program is $version"

lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 \
  || { cat "$work/lintian.log"; fail "lintian found errors"; }
cat "$work/lintian.log"
[ "$status" -eq 0 ] && echo "package passed: $(basename "$deb")"
exit "$status"
