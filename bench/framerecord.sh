#!/bin/bash
# What the frame record adds to a frame: the CPU time of writing and
# flushing one record line (bench/framerecord.cpp, 200000 lines to a file
# in a scratch folder), against the CPU time per frame of type 10 measured
# by framerate.sh -c. Prints both and the share.
#
#   bench/framerecord.sh [-b build-dir] [-r repeats]
set -u
here=$(cd "$(dirname "$0")" && pwd)
src=$(dirname "$here")
build="$src/build"
reps=3
while getopts "b:r:" o; do
  case $o in
    b) build=$OPTARG ;;
    r) reps=$OPTARG ;;
    *) echo "usage: $0 [-b build-dir] [-r repeats]" >&2; exit 2 ;;
  esac
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
g++ -std=c++17 -O2 -I"$src/src" "$here/framerecord.cpp" "$build/libvistrumlib.a" -o "$scratch/framerecord" || exit 1
best=
for ((k = 0; k < reps; k++)); do
  rm -f "$scratch"/bench*
  us=$("$scratch/framerecord" "$scratch")
  best=$(awk -v a="$us" -v b="${best:-1e9}" 'BEGIN { print (a < b ? a : b) }')
done
frame=$("$here/framerate.sh" -c -r "$reps" -b "$build" 10 | awk '$1 == 10 { print $2 }')
echo "frame record: $best us per frame; type 10: $frame ms CPU per frame"
awk -v us="$best" -v ms="$frame" 'BEGIN { if (ms > 0) printf "share: %.2f %%\n", us / 10 / ms }'
