#!/bin/bash
# The composites against their layers drawn alone. Each composite type runs
# whole, then with no layer at all (VISTRUM_BENCH_LAYERS=none: its own
# window, background and fixation: its empty frame), then once per layer
# with only that layer drawing (checks, dots, pictures or letters: a layer
# left out is not even computed), then whole again with the masks painted
# as they used to be (VISTRUM_PAINTED_MASKS=1); type 21's empty frame runs
# before each. All under one private X server with software GL.
#
#   bench/layers.sh [-d seconds] [-r repeats] [-b build-dir] [type ...]
#
# Per type (medians over the repeats), ms per frame: type 21, the type's
# own empty frame, what each layer adds to that alone, their sum (its empty
# frame + the layers' additions), the composite, the composite with painted
# masks, and the ratios composite / sum and composite / type 21.
set -u
here=$(cd "$(dirname "$0")" && pwd)
src=$(dirname "$here")
. "$here/common.sh"
benchargs "d:r:b:" 3 "[-d seconds] [-r repeats] [-b build-dir] [type ...]" "$@"
[ ${#types[@]} -eq 0 ] && types=(1 3 4 25 26 28 29 31 34 35 36 57 78 111 117 118 83 84 85)
benchsetup layers
layers=(checks dots pictures letters)

ms() { run1 "$@" | awk '{ print $2 }'; }

machineline
printf "renderer: software GL (LIBGL_ALWAYS_SOFTWARE=1) under Xvfb, 1024x768, %s s per run, median of %s; load %s\n" \
  "$dur" "$reps" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf "%5s %6s %6s %7s %7s %7s %7s %7s %7s %7s %6s %6s\n" type e21 empty "+chk" "+dots" "+pics" "+lett" sum whole painted \
  "w/sum" "w/e21"
for t in "${types[@]}"; do
  declare -A col=()
  for ((k = 0; k < reps; k++)); do
    e21=$(ms 21 "$dur")
    e=$(ms "$t" "$dur" VISTRUM_BENCH_LAYERS=none)
    w=$(ms "$t" "$dur")
    p=$(ms "$t" "$dur" VISTRUM_PAINTED_MASKS=1)
    [ -n "$e21" ] && [ -n "$e" ] && [ -n "$w" ] || continue
    sum=$e
    col[e21]+="$e21 " col[empty]+="$e " col[whole]+="$w " col[painted]+="${p:-0} "
    for l in "${layers[@]}"; do
      a=$(ms "$t" "$dur" VISTRUM_BENCH_LAYERS="$l")
      d=$(addedms "${a:-0}" "$e")
      col[$l]+="$d "
      sum=$(awk -v s="$sum" -v d="$d" 'BEGIN { printf "%.4f", s + d }')
    done
    col[sum]+="$sum "
    col[wsum]+="$(awk -v w="$w" -v s="$sum" 'BEGIN { printf "%.3f", w / s }') "
    col[wemp]+="$(awk -v w="$w" -v e="$e21" 'BEGIN { printf "%.3f", w / e }') "
  done
  if [ -z "${col[whole]:-}" ]; then
    printf "%5s   (no timing line: the run failed)\n" "$t"
    continue
  fi
  med() { tr ' ' '\n' <<< "${col[$1]}" | grep . | median; }
  printf "%5s %6.3f %6.3f %7.3f %7.3f %7.3f %7.3f %7.3f %7.3f %7.3f %6.2f %6.2f\n" "$t" "$(med e21)" "$(med empty)" "$(med checks)" \
    "$(med dots)" "$(med pictures)" "$(med letters)" "$(med sum)" "$(med whole)" "$(med painted)" "$(med wsum)" "$(med wemp)"
  unset col
done
