#!/usr/bin/env bash
# Builds the libFuzzer targets of the scenario, pgi and palette readers
# (clang, AddressSanitizer + UBSan) and runs each from a corpus seeded with
# the shipped examples (lib/scenarios) and the kept regression inputs
# (tests/fuzz/regressions/<target>).
#
#   scripts/fuzz.sh                 each target for 60 s (what CI runs)
#   scripts/fuzz.sh -t 300          each target for 300 s
#   scripts/fuzz.sh -n 10000000     each target for 10 million executions
#   scripts/fuzz.sh -r              only replay the seeds and regressions
#   scripts/fuzz.sh ... scenario    only the named target(s): scenario pgi palette
#
# Exits non-zero when a target finds a crash (the input is left in
# build-fuzz/crashes/<target>/: keep it under tests/fuzz/regressions/).
set -euo pipefail
cd "$(dirname "$0")/.."
secs=60 runs="" replay=0 build=build-fuzz
while getopts "t:n:rb:" o; do
  case $o in
    t) secs=$OPTARG ;;
    n) runs=$OPTARG ;;
    r) replay=1 ;;
    b) build=$OPTARG ;;
    *) sed -n '2,15p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(scenario pgi palette)

cmake -S tests/fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 >/dev/null

declare -A seeds=([scenario]="scn" [pgi]="pgi" [palette]="pal")
status=0
# The targets fuzz side by side: one alone leaves the second core idle.
declare -A pids
start=$(date +%s)
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t" crashes="$build/crashes/$t"
  mkdir -p "$corpus" "$crashes"
  cp lib/scenarios/*."${seeds[$t]}" "$corpus"/
  regress=(); [ -d "tests/fuzz/regressions/$t" ] && regress=("tests/fuzz/regressions/$t")
  if [ "$replay" = 1 ]; then
    "$build/fuzz_$t" -runs=0 "$corpus" "${regress[@]}" || status=1
    continue
  fi
  limit=(-max_total_time="$secs")
  [ -n "$runs" ] && limit=(-runs="$runs")
  # -close_fd_mask=1: the readers' messages on stdout would drown the report.
  "$build/fuzz_$t" "${limit[@]}" -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$crashes/" \
    -dict=tests/fuzz/$t.dict "$corpus" "${regress[@]}" 2> "$build/fuzz_$t.log" &
  pids[$t]=$!
done
for t in "${targets[@]}"; do
  [ -n "${pids[$t]:-}" ] || continue  # replayed, not fuzzed
  crashes="$build/crashes/$t"
  if wait "${pids[$t]}"; then
    echo "fuzz_$t: ok: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/fuzz_$t.log" | grep -o '[0-9]*$') executions in $(( $(date +%s) - start )) s, 0 crashes"
  else
    echo "fuzz_$t: FAILED (see $build/fuzz_$t.log, inputs in $crashes)"
    tail -n 30 "$build/fuzz_$t.log"
    status=1
  fi
done
exit $status
