#!/bin/bash
# compare-suites.sh WORK-FOLDER [BUILD-FOLDER]
#
# A manual check of picture fidelity against public test suites, not part of the build or the
# tests. Fetches the suites into WORK-FOLDER/suites (git over the network), loads every WMF,
# EMF, BMP, DIB and GIF in them with orvane-picturecheck, renders references (LibreOffice for
# metafiles through lo_render.py, ImageMagick for bitmaps, the BMP suite's own expected
# pictures), and writes side-by-side sheets to WORK-FOLDER/sheets: each pair is this viewer's
# picture, then the reference's. Needs git, make and a C compiler (for the BMP suite's
# generator), ImageMagick, and LibreOffice with python3-uno for the metafile references (libwmf's
# wmf2gd, when installed, for the WMFs LibreOffice cannot draw).
# Judge the sheets by looking: the references differ from each other in fonts and antialiasing.
set -euo pipefail

work=${1:?usage: compare-suites.sh WORK-FOLDER [BUILD-FOLDER]}
build=${2:-build}
here=$(cd "$(dirname "$0")" && pwd)
check=$(cd "$build" && pwd)/tools/picturecheck/orvane-picturecheck
[ -x "$check" ] || { echo "no $check: build the orvane_picturecheck target first" >&2; exit 2; }
mkdir -p "$work"
work=$(cd "$work" && pwd)
# Debian's own Python has LibreOffice's uno module; a headless run needs no display.
python=/usr/bin/python3
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
suites=$work/suites
mkdir -p "$suites"

# repository, then the folders to check out (none: all of it)
fetch() {
    local repo=$1
    shift
    local dir=$suites/${repo//\//+}
    [ -d "$dir" ] && return
    if [ $# -eq 0 ]; then
        git clone --quiet --depth 1 "https://github.com/$repo" "$dir"
    else
        git clone --quiet --depth 1 --filter=blob:none --sparse "https://github.com/$repo" "$dir"
        git -C "$dir" sparse-checkout set "$@"
    fi
}
fetch jsummers/bmpsuite
fetch mathog/libUEMF
fetch caolanm/libwmf
fetch kakwa/libemf2svg tests/resources
fetch hughbe/EmfPlusReader Tests
fetch hughbe/WmfReader Tests
fetch python-pillow/Pillow Tests/images
fetch image-rs/image tests/images tests/reference tests/bad
fetch apache/poi test-data/slideshow test-data/spreadsheet test-data/document
[ -d "$suites/jsummers+bmpsuite/g" ] || make -s -C "$suites/jsummers+bmpsuite"

# One copy of each file, named after its content so that the same file in two suites counts once.
files=$work/files
rm -rf "$files"
mkdir -p "$files"/{wmf,emf,bmp,gif}
find -L "$suites" -type f \( -iname '*.wmf' -o -iname '*.emf' -o -iname '*.bmp' -o -iname '*.dib' -o -iname '*.gif' \) \
    -not -path '*/.git/*' -print0 |
while IFS= read -r -d '' f; do
    ext=${f##*.}
    ext=${ext,,}
    kind=$ext
    [ "$kind" = dib ] && kind=bmp
    name=$(basename "$f")
    stem=${name%.*}
    stem=${stem//[^A-Za-z0-9_.-]/_}
    sum=$(md5sum < "$f" | cut -c1-8)
    compgen -G "$files/$kind/*-$sum.*" > /dev/null || cp "$f" "$files/$kind/$stem-$sum.$ext"
done

ours=$work/ours
reference=$work/reference
sheets=$work/sheets
rm -rf "$ours" "$reference" "$sheets"
mkdir -p "$sheets"
for kind in wmf emf bmp gif; do
    mkdir -p "$ours/$kind" "$reference/$kind"
    "$check" "$ours/$kind" "$files/$kind"/* > "$work/$kind.log" 2>/dev/null || true
done
"$python" "$here/lo_render.py" "$reference/wmf" "$files/wmf"/* > /dev/null || echo "no LibreOffice references" >&2
"$python" "$here/lo_render.py" "$reference/emf" "$files/emf"/* > /dev/null || true
# libwmf stands in for the WMFs LibreOffice cannot draw (it takes a plain WMF's window for twips).
if command -v wmf2gd > /dev/null; then
    for f in "$files/wmf"/*; do
        name=$(basename "$f")
        theirs=$reference/wmf/${name%.*}.png
        identify "$theirs" > /dev/null 2>&1 && continue
        timeout 60 wmf2gd -t png -o "$theirs" "$f" > /dev/null 2>&1 || rm -f "$theirs"
    done
fi
# A GIF's first frame is laid on its screen (the rest transparent), as a viewer shows it.
for kind in bmp gif; do
    for f in "$files/$kind"/*; do
        name=$(basename "$f")
        convert "$f[0]" -background none -layers flatten "$reference/$kind/${name%.*}.png" 2>/dev/null \
            || rm -f "$reference/$kind/${name%.*}.png"
    done
done
# The BMP suite's own pictures of what its files show, where it has one, outrank ImageMagick's.
for f in "$files/bmp"/*; do
    name=$(basename "$f")
    stem=${name%-*}
    [ -f "$suites/jsummers+bmpsuite/html/$stem.png" ] && cp "$suites/jsummers+bmpsuite/html/$stem.png" "$reference/bmp/${name%.*}.png"
done

for kind in wmf emf bmp gif; do
    n=0
    page=0
    args=()
    for f in "$files/$kind"/*; do
        name=$(basename "$f")
        mine=$ours/$kind/$name.png
        theirs=$reference/$kind/${name%.*}.png
        identify "$mine" > /dev/null 2>&1 || mine="xc:pink"
        identify "$theirs" > /dev/null 2>&1 || theirs="xc:gray"
        args+=(-label "${name:0:32}" "$mine" -label "reference" "$theirs")
        n=$((n + 1))
        if [ $((n % 12)) -eq 0 ]; then
            montage -background '#bbb' -pointsize 9 "${args[@]}" -geometry 230x170+3+3 -tile 4x "$sheets/$kind-$(printf %02d $page).png" || true
            page=$((page + 1))
            args=()
        fi
    done
    if [ ${#args[@]} -gt 0 ]; then
        montage -background '#bbb' -pointsize 9 "${args[@]}" -geometry 230x170+3+3 -tile 4x "$sheets/$kind-$(printf %02d $page).png" || true
    fi
    total=$(ls "$files/$kind" | wc -l)
    loaded=$(grep -c "	ok	" "$work/$kind.log" || true)
    referenced=0
    for r in "$reference/$kind"/*; do
        identify "$r" > /dev/null 2>&1 && referenced=$((referenced + 1))
    done
    echo "$kind: $total files, $loaded loaded here, $referenced with a reference picture"
done
echo "sheets in $sheets"
"$here/verdicts.sh" "$work"
