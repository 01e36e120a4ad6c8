#!/bin/bash
# Hunts for the last ten levels (6 to 8 boxes, 60 pushes or more): run I
# uses seed I * 104729 + 17 and room shape I mod 8, four rooms each, and
# keeps OUTDIR/I.xsb only when a room gave a level the solver proved.
# usage: tools/levels/hunt_deep_levels.sh BUILD_DIR OUTDIR FIRST LAST
set -u
tool="$1/pelmak-levels"
out="$2"
mkdir -p "$out"
# inside width, height, boxes, fill
shapes=("16 7 6 .45" "15 8 6 .42" "14 9 7 .45" "16 8 7 .42" "13 10 6 .42" "17 7 7 .45" "15 9 8 .48" "12 11 6 .42")
for i in $(seq "$3" "$4"); do
    read -r w h k fill <<< "${shapes[$((i % ${#shapes[@]}))]}"
    "$tool" generate --cluster --seed $((i * 104729 + 17)) --width "$w" --height "$h" --boxes "$k" --fill "$fill" \
        --tries 4 --states 5000000 --min-pushes 60 --max-pushes 200 --solve-limit 1.5 --verbose \
        > "$out/$i.xsb" 2> "$out/$i.log"
    [ -s "$out/$i.xsb" ] || rm -f "$out/$i.xsb"
done
