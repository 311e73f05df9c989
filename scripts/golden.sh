#!/usr/bin/env bash
# Hashes of what every stimulus type draws and logs: each type runs at
# -srseed 1 in a 320x240 window for four saved frames (t = 0, 4, 8, 12 s)
# with its event log; one hash of the frames' pixels and one of the log
# (header dropped, times masked) per type.
#
#   scripts/golden.sh                 print the hashes of every type
#   scripts/golden.sh 5 6 22          only these types
#   scripts/golden.sh --update [N..]  write them into tests/golden/hashes.txt
#                                     (the test suite compares against it)
#
# A change that alters what a type shows or logs updates the list in the
# same commit and says why; a refactor shows it changes nothing by leaving
# the list alone. Needs a build (scripts/build.sh). VISTRUM_GOLDEN_LOGS=<dir>
# keeps each type's masked log there, to see what a change did to it.
set -euo pipefail
cd "$(dirname "$0")/.."
update=0
if [ "${1:-}" = --update ]; then update=1; shift; fi
case "${1:-}" in -*) sed -n '2,15p' "$0"; exit 2 ;; esac
[ -x build/tests/e2e_tests ] || { echo "golden.sh: no build/tests/e2e_tests: run scripts/build.sh first" >&2; exit 1; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
VISTRUM_GOLDEN_OUT=$out VISTRUM_GOLDEN_TYPES="$*" \
  build/tests/e2e_tests --gtest_filter='Golden.*' >/dev/null
if [ "$update" = 0 ]; then
  cat "$out"
  exit 0
fi
list=tests/golden/hashes.txt
# Types not run this time keep their stored line.
touch "$list"
{
  echo "# stimulus type, frames (count:hash), log hash: written by scripts/golden.sh --update"
  { awk 'NR==FNR { skip[$1] = 1; next } !/^#/ && !($1 in skip)' "$out" "$list"; cat "$out"; } | sort -n
} > "$list.new"
mv "$list.new" "$list"
echo "golden.sh: $(wc -l < "$out") types written to $list"
