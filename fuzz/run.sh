#!/bin/sh
# Builds the fuzz targets (the "fuzz" CMake preset, build-fuzz/) and runs each for SECONDS
# (default 60), seeded with its corpus folders and the built samples ($ORVANE_SAMPLES, else
# build/samples when the normal build made them). New inputs collect in
# OUTPUT_FOLDER/corpus-<target>; a crash is written as OUTPUT_FOLDER/crash-<target>-* and ends
# the run with a failure once every target has had its time.
# Naming targets after the folder runs only those.
# Usage: fuzz/run.sh [SECONDS] [OUTPUT_FOLDER] [TARGET...]
# No file-name expansion: the seed patterns go to find as they are.
set -euf
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out=${2:-/tmp/orvane-fuzz}
[ $# -gt 2 ] && shift 2 || set --
cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
samples=${ORVANE_SAMPLES:-$root/build/samples}
# What system libraries keep until exit (fontconfig's caches) is not a finding.
export LSAN_OPTIONS="suppressions=$root/tests/support/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$root/build-fuzz/runtime}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
manifest=$root/build-fuzz/fuzz/fuzzers.tsv
mkdir -p "$out"
tab=$(printf '\t')
status=0
# Read on descriptor 3 so the fuzzers cannot eat the manifest from standard input.
while IFS="$tab" read -r name exe max_len seeds corpus <&3; do
    if [ $# -gt 0 ]; then
        case " $* " in *" $name "*) ;; *) continue ;; esac
    fi
    work="$out/corpus-$name"
    mkdir -p "$work"
    # Tab-separated corpus folders follow; the samples folder is always a candidate.
    echo "$corpus$tab$samples" | tr '\t' '\n' | while IFS= read -r folder; do
        [ -n "$folder" ] && [ -d "$folder" ] || continue
        for pattern in $seeds; do
            find "$folder" -maxdepth 1 -type f -iname "$pattern" -exec cp {} "$work/" \;
        done
    done
    echo "== $name for $seconds s"
    "$exe" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$out/crash-$name-" -print_final_stats=1 "$work" || status=1
done 3<"$manifest"
exit $status
