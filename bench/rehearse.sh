#!/usr/bin/env bash
# How long a rehearsal takes: the whole log and frame record of a run of
# -d seconds (default 360, a 6-minute scan) stepped at 60 frames a second
# with no window and no display, for a fixation-target wedge (10), random
# picture blocks (54) and a masked picture stream (83), or the types given.
# Prints per type the wall seconds (median of -r runs), the frames stepped
# and the event lines logged. Needs no X server.
#
# Usage: bench/rehearse.sh [-d seconds] [-r repeats] [-b builddir] [type ...]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
. "$src/bench/common.sh"
benchargs "d:r:b:" 360 "[-d seconds] [-r repeats] [-b builddir] [type ...]" "$@"
build=$(cd "$build" 2> /dev/null && pwd) || { echo "no build directory $build" >&2; exit 1; }
bin="$build/vistrum"
[ -x "$bin" ] || { echo "no binary at $bin (build first, or give -b)" >&2; exit 1; }
[ ${#types[@]} -gt 0 ] || types=(10 54 83)
workdir=$(mktemp -d /tmp/rehearse.XXXXXX)
trap 'rm -rf "$workdir"' EXIT

# What each type needs to show what a scan would: targets, pictures, blocks.
extra() {
  case $1 in
    10) echo "-polperiod 32 -fixtarg 4 0.5" ;;
    54) echo "-tiffdir objects -blockperiod 16 -condlist 0 1 2 0 1 2 0 1 2 0 1 2 0 1 2 0 1 2 0 1 2 0" ;;
    83) echo "-tiffdir objects" ;;
    *) echo "" ;;
  esac
}

machineline
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf "%-6s %10s %10s %8s\n" type wall-s frames lines
for type in "${types[@]}"; do
  times=()
  for ((k = 0; k < reps; k++)); do
    rm -rf "$workdir/logs" && mkdir -p "$workdir/logs"
    start=$(date +%s.%N)
    # shellcheck disable=SC2046
    (cd "$workdir" && env -u DISPLAY VISTRUM_DIR="$src" "$bin" -s "$type" $(extra "$type") -srseed 1 -logfile \
      -rehearse "$dur" > "$workdir/out.txt" 2>&1) || { echo "type $type failed:"; tail -5 "$workdir/out.txt"; exit 1; }
    times+=("$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }')")
  done
  log=$(ls "$workdir"/logs/*.log | grep -v _frames)
  frames=$(grep -c '^[0-9]' "${log%.log}_frames.tsv")
  lines=$(grep -c ':' "$log")
  printf "%-6s %10s %10s %8s\n" "$type" "$(printf '%s\n' "${times[@]}" | median)" "$frames" "$lines"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
