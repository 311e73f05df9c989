#!/bin/bash
# Picture loading and frame saving: start-up time of a picture type with the
# shipped photographs next to the empty type, and frames per second while
# saving frames at 1024x768.
#
#   bench/pictures.sh [-r repeats] [-n frames] [-b build-dir] [-t tiffdir]
#
# Start-up: wall time of `vistrum -s 114 -tiffdir photos -exptend 0` (start,
# load, one frame, exit) minus that of type 21, median over the repeats.
# Saving: `-saveframes N 60` of type 114, started with F1 through xdotool;
# frames per second = N / wall time from the start key to the exit, and the
# process's CPU time per frame (on a busy machine the wall figure shows the
# load, the CPU figure what saving itself costs). Needs xdotool and
# /usr/bin/time (package time).
set -u

here=$(cd "$(dirname "$0")" && pwd)
src=$(dirname "$here")
reps=5
frames=120
build="$src/build"
tiffdir=photos
while getopts "r:n:b:t:" o; do
  case $o in
    r) reps=$OPTARG ;;
    n) frames=$OPTARG ;;
    b) build=$OPTARG ;;
    t) tiffdir=$OPTARG ;;
    *) echo "usage: $0 [-r repeats] [-n frames] [-b build-dir] [-t tiffdir]" >&2; exit 2 ;;
  esac
done
command -v xdotool > /dev/null || { echo "xdotool not installed" >&2; exit 1; }
. "$here/common.sh"
benchsetup pictures
export DISPLAY=":$dispnum" LIBGL_ALWAYS_SOFTWARE=1 vblank_mode=0 VISTRUM_DIR="$src"

now() { date +%s.%N; }

# Seconds from launch to exit of a run that ends after its first frame.
onerun() {
  local t0 t1
  t0=$(now)
  (cd "$workdir" && timeout 60 "$bin" -s "$@" -nofullscreen -winxy 1024 768 -exptend 0 > /dev/null 2>&1 < /dev/null)
  t1=$(now)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f\n", b - a }'
}

# Frames per second while saving `frames` frames of type 114.
saverun() {
  rm -f "$workdir"/f*.tiff
  (cd "$workdir" && /usr/bin/time -f "%U %S" -o "$workdir/cpu.txt" timeout 120 "$bin" -s 114 -tiffdir "$tiffdir" \
     -nofullscreen -winxy 1024 768 -saveframes "$frames" 60 -tiffoutdir "$workdir" > "$workdir/out.txt" 2>&1 < /dev/null) &
  local pid=$! t0 t1
  # Wait for the window, then start: the start key is the clock's zero.
  for ((k = 0; k < 200; k++)); do xdotool search --name '^vistrum$' > /dev/null 2>&1 && break; sleep 0.05; done
  sleep 0.3
  t0=$(now)
  xdotool key F1
  wait "$pid"
  t1=$(now)
  local n
  n=$(ls "$workdir"/f*.tiff 2> /dev/null | wc -l)
  [ "$n" -eq "$frames" ] || { echo "saved $n of $frames frames" >&2; return 1; }
  read -r u sy < "$workdir/cpu.txt"
  echo "$(awk -v n="$n" -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", n / (b - a) }')" \
    "$(awk -v n="$n" -v u="$u" -v s="$sy" 'BEGIN { printf "%.1f", 1000 * (u + s) / n }')" >> "$workdir/fps.txt"
}

machineline
command -v /usr/bin/time > /dev/null || { echo "/usr/bin/time not installed" >&2; exit 1; }
empty=() pics=()
for ((k = 0; k < reps; k++)); do
  empty+=("$(onerun 21)")
  pics+=("$(onerun 114 -tiffdir "$tiffdir")")
  saverun || exit 1
done
e=$(printf "%s\n" "${empty[@]}" | median)
p=$(printf "%s\n" "${pics[@]}" | median)
printf "start-up to first frame: type 21 %.3f s, type 114 with %s %.3f s (pictures add %.3f s)\n" \
  "$e" "$tiffdir" "$p" "$(awk -v a="$p" -v b="$e" 'BEGIN { print a - b }')"
printf "frame saving, type 114 at 1024x768, %s frames: %s frames per second, %s ms of CPU per frame (all threads; medians of %s)\n" \
  "$frames" "$(cut -d' ' -f1 "$workdir/fps.txt" | median)" "$(cut -d' ' -f2 "$workdir/fps.txt" | median)" "$reps"
printf "load average while measuring: %s\n" "$(cut -d' ' -f1-3 /proc/loadavg)"
