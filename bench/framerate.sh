#!/bin/bash
# Frame cost of stimulus types next to the empty frame (type 21: background
# and fixation only), measured in one go under a private X server with
# software GL and no vertical-blank wait.
#
#   bench/framerate.sh [-c] [-d seconds] [-r repeats] [-b build-dir] [type ...]
#
# Prints ms per frame for each type, the empty frame's ms measured just
# before it, and their ratio; with repeats, the medians over the repeats
# (single sub-millisecond figures move with whatever else the machine does).
# -c measures the program's CPU time per frame (user + system, its GL
# threads included) instead of the wall-clock interval: on a busy machine
# the interval mostly measures the other processes. Start-up is taken out
# by running each type for d and for 2d seconds and dividing the
# difference in CPU time by the difference in frames.
set -u

here=$(cd "$(dirname "$0")" && pwd)
src=$(dirname "$here")
. "$here/common.sh"
benchargs "cd:r:b:" 5 "[-c] [-d seconds] [-r repeats] [-b build-dir] [type ...]" "$@"
[ ${#types[@]} -eq 0 ] && types=(10 2 8 19 45 47 48 49 56 89 80 81 70 71 73 90 20 23 24 82 77 79 38 39 40 41 42 50 51 52 44 46 37 33 32 115 114 83 84 85 53 54 59 16 55 62 63 65 66 67 68 74 75 60 12 17 22 4 3 34 57 1 29 25 26 28 35 36 78 31 0 69 100 103 104 106 108 110 111 112 113 119 120 13 14 88 86 87 5 7 9 15 58 30 72 6 11 18 97 98 117 118 91 92 93 94 95 96 101 102 105 107 109)
benchsetup framerate
# ms per frame of one type: the mean interval of the program's own timing
# line, or with -c the CPU time per frame; "frames ms max" as before.
measure() {
  if [ "$cpu" = 0 ]; then
    run1 "$1" "$dur" | awk '{ print $1, $2, $3 }'
    return
  fi
  local a b
  a=$(run1 "$1" "$dur")
  b=$(run1 "$1" "$(awk -v d="$dur" 'BEGIN { print 2 * d }')")
  [ -n "$a" ] && [ -n "$b" ] || return 0
  awk -v a="$a" -v b="$b" 'BEGIN { split(a, x, " "); split(b, y, " ");
    if (y[1] > x[1]) printf "%d %.3f 0\n", y[1] - x[1], 1000 * (y[4] - x[4]) / (y[1] - x[1]) }'
}

machineline
printf "renderer: software GL (LIBGL_ALWAYS_SOFTWARE=1) under Xvfb, 1024x768, %s s per run, median of %s\n" "$dur" "$reps"
[ "$cpu" = 1 ] && echo "figures: CPU ms per frame (runs of $dur and 2 x $dur s, start-up taken out)"
printf "%6s %10s %10s %8s\n" type "ms/frame" "empty ms" ratio
# The empty frame is measured again right before every run of a type, so a
# load change on the machine shifts both figures of a pair alike.
status=0
for t in "${types[@]}"; do
  mss=() empties=() ratios=()
  for ((k = 0; k < reps; k++)); do
    read -r _ ms0 _ <<< "$(measure 21)"
    read -r _ ms _ <<< "$(measure "$t")"
    [ -n "${ms0:-}" ] && [ -n "${ms:-}" ] || continue
    mss+=("$ms") empties+=("$ms0")
    ratios+=("$(awk -v a="$ms" -v b="$ms0" 'BEGIN { printf "%.3f", a / b }')")
  done
  if [ ${#ratios[@]} -eq 0 ]; then
    printf "%6s   (no timing line: the run failed)\n" "$t"
    status=1
    continue
  fi
  printf "%6s %10s %10s %8.2f\n" "$t" "$(printf "%s\n" "${mss[@]}" | median)" \
    "$(printf "%s\n" "${empties[@]}" | median)" "$(printf "%s\n" "${ratios[@]}" | median)"
done
exit $status
