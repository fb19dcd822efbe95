#!/bin/bash
# verdicts.sh WORK-FOLDER [KIND...]
#
# Counts, per format, the files of a compare-suites.sh run that come out like their reference
# and those that do not, into WORK-FOLDER/verdicts.tsv (kind, file, verdict, detail). Bitmaps
# match when they have the reference's size and at most 0.5 % of their pixels differ by more
# than 4 % (both laid on white, as the viewer shows them). Metafiles are sized and antialiased
# differently by each renderer: they match when their aspect ratios agree within 6 % and,
# scaled to 64 × 64 grey pixels, they differ by at most 0.09 (root mean square). A number is
# only a first sort; the sheets are what to judge by. Given kinds (bmp gif wmf emf), only
# their lines are worked out again.
set -euo pipefail

work=$(cd "${1:?usage: verdicts.sh WORK-FOLDER [KIND...]}" && pwd)
shift
kinds=${*:-bmp gif wmf emf}
out=$work/verdicts.tsv
touch "$out"
for kind in $kinds; do
    grep -v "^$kind	" "$out" > "$out.new" || true
    mv "$out.new" "$out"
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

size() { identify -format '%w %h' "$1[0]" 2>/dev/null; }

for kind in $kinds; do
    [ -d "$work/files/$kind" ] || continue
    for f in "$work/files/$kind"/*; do
        name=$(basename "$f")
        mine=$work/ours/$kind/$name.png
        theirs=$work/reference/$kind/${name%.*}.png
        a=$(size "$mine" || true)
        b=$(size "$theirs" || true)
        if [ -z "$a" ] && [ -z "$b" ]; then
            verdict="both refuse"
            detail=$(grep -F "$name	" "$work/$kind.log" | cut -f3 | head -1)
        elif [ -z "$a" ]; then
            verdict="refused here"
            detail=$(grep -F "$name	" "$work/$kind.log" | cut -f3 | head -1)
        elif [ -z "$b" ]; then
            verdict="no reference"
            detail="$a"
        elif [ "$kind" = bmp ] || [ "$kind" = gif ]; then
            if [ "$a" != "$b" ]; then
                verdict="differs"
                detail="size $a, reference $b"
            else
                rm -f "$tmp/a.png" "$tmp/b.png"
                convert "$mine[0]" -background white -flatten -alpha off "$tmp/a.png" 2>/dev/null || true
                convert "$theirs[0]" -background white -flatten -alpha off "$tmp/b.png" 2>/dev/null || true
                read -r w h <<< "$a"
                ae=$(compare -metric AE -fuzz 4% "$tmp/a.png" "$tmp/b.png" null: 2>&1 | cut -d' ' -f1 || true)
                ae=${ae%%.*}
                if [[ "$ae" =~ ^[0-9]+$ ]] && [ $((ae * 200)) -le $((w * h)) ]; then
                    verdict="matches"
                else
                    verdict="differs"
                fi
                detail="$ae of $((w * h)) pixels differ"
            fi
        else
            read -r aw ah <<< "$a"
            read -r bw bh <<< "$b"
            ratio=$(awk -v a="$aw/$ah" -v aw="$aw" -v ah="$ah" -v bw="$bw" -v bh="$bh" \
                'BEGIN { r = (aw / ah) / (bw / bh); if (r < 1) r = 1 / r; printf "%.3f", r }')
            rm -f "$tmp/a.png" "$tmp/b.png"
            convert "$mine[0]" -background white -flatten -resize '64x64!' -colorspace gray "$tmp/a.png" 2>/dev/null || true
            convert "$theirs[0]" -background white -flatten -resize '64x64!' -colorspace gray "$tmp/b.png" 2>/dev/null || true
            rmse=$(compare -metric RMSE "$tmp/a.png" "$tmp/b.png" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p' || true)
            rmse=${rmse:-1}
            if awk -v r="$ratio" -v e="$rmse" 'BEGIN { exit !(r <= 1.06 && e <= 0.09) }'; then
                verdict="matches"
            else
                verdict="differs"
            fi
            detail="size $aw×$ah, reference $bw×$bh, aspect ×$ratio, rmse $rmse"
        fi
        printf '%s\t%s\t%s\t%s\n' "$kind" "$name" "$verdict" "$detail" >> "$out"
    done
done

for kind in bmp gif wmf emf; do
    total=$(awk -F'\t' -v k="$kind" '$1 == k' "$out" | wc -l)
    [ "$total" -gt 0 ] || continue
    printf '%s: %d files' "$kind" "$total"
    awk -F'\t' -v k="$kind" '$1 == k { n[$3]++ } END { for (v in n) printf ", %s %d", v, n[v] }' "$out"
    echo
done
