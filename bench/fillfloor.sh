#!/bin/bash
# The boards and the patch clouds against the floor of their fill: each
# type's frame next to the empty frame (type 21) plus what its fill alone
# costs (fill.cpp: as many primitives filling as many pixels, one batch,
# nothing else), all under one private X server with software GL.
#
#   bench/fillfloor.sh [-c] [-d seconds] [-r repeats] [-b build-dir] [type ...]
#
# Per type: primitives and pixels per picture (counted by the program with
# VISTRUM_COUNT_FILL=1 in a run of their own: counting waits for the
# renderer), its ms per frame, the empty frame's, the fill's own cost (fill
# with those counts minus an empty fill window) and type / (empty + fill).
# The patch clouds' floor is scattered squares (49) or line segments (47,
# its outlines); the rest, a board of quads. -c: CPU ms per frame instead
# of the frame interval (runs of d and 2d seconds, start-up taken out).
set -u
here=$(cd "$(dirname "$0")" && pwd)
src=$(dirname "$here")
. "$here/common.sh"
benchargs "cd:r:b:" 3 "[-c] [-d seconds] [-r repeats] [-b build-dir] [type ...]" "$@"
[ ${#types[@]} -eq 0 ] && types=(2 77 79 70 80 81 111 47 49)
benchsetup fillfloor
g++ -std=c++17 -O2 "$here/fill.cpp" -o "$workdir/fill" -lGL -lX11 || exit 1

floormode() { case $1 in 47) echo lines ;; 49) echo patches ;; *) echo board ;; esac; }

# "primitives pixels" per picture of a type.
counts() {
  (cd "$workdir" && DISPLAY=":$dispnum" LIBGL_ALWAYS_SOFTWARE=1 vblank_mode=0 VISTRUM_DIR="$src" VISTRUM_COUNT_FILL=1 \
    timeout 60 "$bin" -s "$1" -winxy 1024 768 -exptend 1 < /dev/null 2>&1) |
    sed -n 's/^vistrum: fill: \([0-9.]*\) primitives, \([0-9]*\) pixels per picture.*/\1 \2/p' | tail -1
}
# ms per frame of a type (interval, or CPU with -c).
typems() {
  if [ "$cpu" = 0 ]; then
    run1 "$1" "$dur" | awk '{ print $2 }'
    return
  fi
  local a b
  a=$(run1 "$1" "$dur") b=$(run1 "$1" "$((2 * ${dur%.*}))")
  [ -n "$a" ] && [ -n "$b" ] && awk -v a="$a" -v b="$b" 'BEGIN { split(a, x, " "); split(b, y, " ");
    if (y[1] > x[1]) printf "%.4f\n", 1000 * (y[4] - x[4]) / (y[1] - x[1]) }'
}
# One fill run for $1 seconds: "frames ms cpu-seconds".
fill1() {
  local out TIMEFORMAT="cputime %U %S" s=$1
  shift
  out=$( { time (cd "$workdir" && DISPLAY=":$dispnum" LIBGL_ALWAYS_SOFTWARE=1 vblank_mode=0 "$workdir/fill" "$1" "$2" "$3" "$s" 1 2> /dev/null); } 2>&1)
  awk '/^cputime/ { c = $2 + $3 } !/^cputime/ && NF >= 5 { f = $5; m = $4 } END { print f, m, c }' <<< "$out"
}
fillms() {
  if [ "$cpu" = 0 ]; then
    fill1 "$dur" "$@" | awk '{ print $2 }'
    return
  fi
  local a b
  a=$(fill1 "$dur" "$@") b=$(fill1 "$((2 * ${dur%.*}))" "$@")
  awk -v a="$a" -v b="$b" 'BEGIN { split(a, x, " "); split(b, y, " ");
    if (y[1] > x[1]) printf "%.4f\n", 1000 * (y[3] - x[3]) / (y[1] - x[1]) }'
}

machineline
printf "renderer: software GL (LIBGL_ALWAYS_SOFTWARE=1) under Xvfb, 1024x768, %s s per run, median of %s; load %s\n" \
  "$dur" "$reps" "$(cut -d' ' -f1-3 /proc/loadavg)"
[ "$cpu" = 1 ] && echo "figures: CPU ms per frame (runs of $dur and 2 x $dur s, start-up taken out)"
printf "%6s %8s %10s %8s %9s %9s %9s %8s\n" type floor primitives pixels "ms/frame" "empty ms" "floor ms" ratio
for t in "${types[@]}"; do
  read -r prims pixels <<< "$(counts "$t")"
  if [ -z "${prims:-}" ]; then
    printf "%6s   (no fill line: the run failed)\n" "$t"
    continue
  fi
  mode=$(floormode "$t") n=$(printf "%.0f" "$prims")
  ratios=() mss=() empties=() floors=()
  for ((k = 0; k < reps; k++)); do
    e=$(typems 21) ms=$(typems "$t")
    [ -n "$e" ] && [ -n "$ms" ] || continue
    f1=$(fillms "$mode" "$n" "$pixels") f0=$(fillms "$mode" 0 0)
    f=$(addedms "$f1" "$f0")
    mss+=("$ms") empties+=("$e") floors+=("$f")
    ratios+=("$(floorratio "$ms" "$e" "$f")")
  done
  if [ ${#ratios[@]} -eq 0 ]; then
    printf "%6s   (no timing line: the run failed)\n" "$t"
    continue
  fi
  printf "%6s %8s %10s %8s %9s %9s %9s %8.2f\n" "$t" "$mode" "$n" "$pixels" "$(printf "%s\n" "${mss[@]}" | median)" \
    "$(printf "%s\n" "${empties[@]}" | median)" "$(printf "%s\n" "${floors[@]}" | median)" \
    "$(printf "%s\n" "${ratios[@]}" | median)"
done
