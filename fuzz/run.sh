#!/bin/sh
# Runs each reader fuzz target (palettes, slide-show files) for SECONDS (default 60), seeded
# with the committed corpus and the built samples. New inputs collect in
# OUTPUT_FOLDER/corpus-<target>; a crash is written as OUTPUT_FOLDER/crash-* and ends the run
# with a failure.
# Usage: fuzz/run.sh [SECONDS] [OUTPUT_FOLDER]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out=${2:-/tmp/orvane-fuzz}
"$root/fuzz/build.sh" "$out"
samples=${ORVANE_SAMPLES:-}
status=0
for target in bitmappalette jascpalette slideshowfile; do
    work="$out/corpus-$target"
    mkdir -p "$work"
    case $target in
        # The bitmap reader looks at 1,078 bytes at most; a JASC palette takes about 3 KB.
        bitmappalette) corpus=palette pattern='*.[bBdD][mMiI][pPbB]' max_len=2048 ;;
        jascpalette) corpus=palette pattern='*.[pP][aA][lL]' max_len=8192 ;;
        # A show of a few hundred entries.
        *) corpus=slideshow pattern='*.[sS][lL][iI]' max_len=16384 ;;
    esac
    for f in "$root"/tests/$corpus/corpus/$pattern ${samples:+"$samples"/$pattern}; do
        if [ -f "$f" ]; then cp "$f" "$work/"; fi
    done
    echo "== $target for $seconds s"
    "$out/${target}_fuzz" -max_total_time="$seconds" -max_len=$max_len -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$out/crash-$target-" -print_final_stats=1 "$work" || status=1
done
exit $status
