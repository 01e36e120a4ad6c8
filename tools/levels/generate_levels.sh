#!/bin/bash
# Regenerates the candidate rooms for levels 4 to 40 (levels 1 to 3 are drawn
# by hand). Each line of the plan: level, inside width, height, boxes, fill,
# tries, position cap of the backward search, fewest and most pushes wanted,
# and c for targets in one storage area or s for scattered ones.
# The output is one XSB fragment per level in OUTDIR, with its proven push
# count; assembling them into levels/levels.xsb is done by hand, which is
# where the titles and the final order are chosen.
# usage: [SEED_SALT=n] tools/levels/generate_levels.sh BUILD_DIR OUTDIR [LEVEL...]
set -euo pipefail
tool="$1/pelmak-levels"
out="$2"
shift 2
mkdir -p "$out"
plan="
04  6 5 2 .60 20 1000000 10 14 s
05  7 5 3 .55 20 1000000 12 16 c
06  7 6 3 .55 20 1000000 12 18 s
07  8 6 3 .50 20 1000000 16 20 c
08  8 6 4 .55 20 1000000 17 22 s
09  9 6 3 .50 20 1000000 18 24 c
10  9 7 4 .50 20 1000000 20 26 c
11  9 7 4 .50 15 1500000 24 30 c
12 10 7 4 .50 15 1500000 25 32 s
13 10 7 4 .45 15 1500000 26 34 c
14 10 8 5 .45 15 1500000 27 35 c
15 11 7 4 .45 15 1500000 22 36 s
16 11 8 5 .45 15 1500000 29 38 c
17 10 8 5 .45 15 1500000 30 40 c
18 12 8 4 .42 15 1500000 31 42 c
19 11 8 5 .42 15 1500000 32 44 s
20 12 8 5 .42 15 1500000 33 46 c
21 11 8 5 .42 12 2000000 34 48 c
22 12 8 5 .42 12 2000000 37 50 c
23 12 9 6 .42 12 2000000 38 52 c
24 12 8 6 .42 12 2000000 34 54 s
25 13 9 5 .40 12 2000000 42 56 c
26 12 9 6 .42 12 2000000 44 58 c
27 13 9 6 .40 12 2000000 46 60 c
28 13 9 6 .40 12 2000000 48 62 c
29 14 9 6 .40 12 2000000 50 64 c
30 14 9 6 .40 12 2000000 52 66 c
31 12 9 6 .45 10 3000000 60 150 c
32 12 9 6 .45 10 3000000 60 150 c
33 13 9 6 .42 10 3000000 60 150 c
34 12 9 7 .45 10 3000000 60 150 c
35 12 10 7 .42 10 3000000 60 150 c
36 14 9 6 .42 10 3000000 60 150 c
37 13 10 7 .42 10 3000000 60 150 c
38 14 10 7 .40 10 3000000 60 150 c
39 12 9 8 .48 10 3000000 60 150 c
40 14 10 8 .45 10 3000000 60 150 c
"
run_one() {
    local level=$1 w=$2 h=$3 k=$4 fill=$5 tries=$6 states=$7 lo=$8 hi=$9 cluster=()
    [ "${10}" = c ] && cluster=(--cluster)
    "$tool" generate "${cluster[@]}" --seed $((10#$level * 7919 + ${SEED_SALT:-0})) --width "$w" --height "$h" --boxes "$k" --fill "$fill" \
        --tries "$tries" --states "$states" --min-pushes "$lo" --max-pushes "$hi" --solve-limit 1.5 \
        --verbose > "$out/$level.xsb" 2> "$out/$level.log" || echo "level $level: nothing found" >&2
}
export -f run_one
export tool out
echo "$plan" | awk -v want="$*" 'NF == 10 { if (want == "" || index(" " want " ", " " ($1 + 0) " ") || index(" " want " ", " " $1 " ")) print }' |
    xargs -P 2 -L 1 bash -c 'run_one "$@"' _
