#!/bin/bash
# The dot types against the floor of their squares: each type's frame next
# to the empty frame (type 21) plus what its squares alone cost (squares.cpp:
# the same number of equal point-sprite squares, the same side, nothing
# else), all under one private X server with software GL.
#
#   bench/dotfloor.sh [-d seconds] [-r repeats] [-b build-dir] [type ...]
#
# Per type: squares per frame and their side (counted by the program with
# VISTRUM_COUNT_SQUARES=1), its ms per frame, the empty frame's, the
# squares' own cost (squares N side minus an empty squares window) and
# type / (empty + squares). Medians over the repeats.
set -u
here=$(cd "$(dirname "$0")" && pwd)
src=$(dirname "$here")
. "$here/common.sh"
benchargs "d:r:b:" 4 "[-d seconds] [-r repeats] [-b build-dir] [type ...]" "$@"
[ ${#types[@]} -eq 0 ] && types=(39 40 41 42 38 44 45 46 47 48 49 50 56 115 28)
benchsetup dotfloor
g++ -std=c++17 -O2 "$here/squares.cpp" -o "$workdir/squares" -lGL -lX11 || exit 1

# "ms squares side" of one run of a type.
typerun() {
  local out
  out=$(cd "$workdir" && DISPLAY=":$dispnum" LIBGL_ALWAYS_SOFTWARE=1 vblank_mode=0 VISTRUM_DIR="$src" \
    VISTRUM_COUNT_SQUARES=1 timeout $((${dur%.*} + 60)) "$bin" -s "$1" -winxy 1024 768 -exptend "$dur" < /dev/null 2>&1)
  local ms sq side
  ms=$(sed -n 's/^vistrum: frames: [0-9]*, mean interval \([0-9.]*\) ms.*/\1/p' <<< "$out" | tail -1)
  read -r sq side < <(sed -n 's/^vistrum: squares: \([0-9.]*\) per picture.* side \([0-9.]*\) px$/\1 \2/p' <<< "$out" | tail -1)
  echo "${ms:-} ${sq:-0} ${side:-0}"
}
floorrun() {
  (cd "$workdir" && DISPLAY=":$dispnum" LIBGL_ALWAYS_SOFTWARE=1 vblank_mode=0 "$workdir/squares" "$1" "$2" "$dur" 2> /dev/null) |
    awk '{ print $3 }'
}

machineline
printf "renderer: software GL (LIBGL_ALWAYS_SOFTWARE=1) under Xvfb, 1024x768, %s s per run, median of %s\n" "$dur" "$reps"
printf "%6s %9s %7s %9s %9s %9s %8s\n" type squares side "ms/frame" "empty ms" "floor ms" ratio
for t in "${types[@]}"; do
  ratios=() mss=() empties=() floors=()
  sq=0 side=0
  for ((k = 0; k < reps; k++)); do
    read -r e _ _ <<< "$(typerun 21)"
    read -r ms sq side <<< "$(typerun "$t")"
    [ -n "$e" ] && [ -n "$ms" ] || continue
    n=$(printf "%.0f" "$sq")
    # A type drawing quads (sides not all one point size) is set against
    # squares of its mean side all the same: the floor is then rough.
    f1=$(floorrun "$n" "$(awk -v s="$side" 'BEGIN { print (s > 0 ? s : 1) }')")
    f0=$(floorrun 0 1)
    f=$(addedms "$f1" "$f0")
    mss+=("$ms") empties+=("$e") floors+=("$f")
    ratios+=("$(floorratio "$ms" "$e" "$f")")
  done
  if [ ${#ratios[@]} -eq 0 ]; then
    printf "%6s   (no timing line: the run failed)\n" "$t"
    continue
  fi
  printf "%6s %9.0f %7.2f %9s %9s %9s %8.2f\n" "$t" "$sq" "$side" "$(printf "%s\n" "${mss[@]}" | median)" \
    "$(printf "%s\n" "${empties[@]}" | median)" "$(printf "%s\n" "${floors[@]}" | median)" \
    "$(printf "%s\n" "${ratios[@]}" | median)"
done
