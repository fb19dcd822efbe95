#!/bin/sh
# Builds the palette and slide-show reader fuzz targets with clang's libFuzzer and AddressSanitizer.
# Usage: fuzz/build.sh [OUTPUT_FOLDER]   (default: /tmp/orvane-fuzz)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-/tmp/orvane-fuzz}
cxx=${CXX_FUZZ:-clang++}
mkdir -p "$out"
# Qt's headers need position-independent code.
flags="-std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
       -DQT_NO_CAST_FROM_ASCII -DQT_NO_KEYWORDS -I$root/src $(pkg-config --cflags Qt6Core)"
libs=$(pkg-config --libs Qt6Core)
for target in bitmappalette jascpalette; do
    # shellcheck disable=SC2086
    "$cxx" $flags -o "$out/${target}_fuzz" "$root/fuzz/${target}_fuzz.cpp" \
        "$root/src/palette/core/palettereaders.cpp" $libs
done
# shellcheck disable=SC2086
"$cxx" $flags -o "$out/slideshowfile_fuzz" "$root/fuzz/slideshowfile_fuzz.cpp" \
    "$root/src/slideshow/core/showfile.cpp" "$root/src/common/core/paths.cpp" $libs
echo "built $out/bitmappalette_fuzz $out/jascpalette_fuzz $out/slideshowfile_fuzz"
