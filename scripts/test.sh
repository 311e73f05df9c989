#!/usr/bin/env bash
# Sets everything up and runs the test suite. Two tiers:
#
#   scripts/test.sh          the fast tier (CI, every stop): every unit test
#                            and every end-to-end test in the normal build,
#                            side by side, each end-to-end test in its own
#                            Xvfb; the bad-input sample; the fuzz targets'
#                            kept inputs and 30 s of fuzzing per reader (side
#                            by side); and a sanitizer round (unit tests, the
#                            end-to-end tests of tests/sanitize-set.txt, the
#                            bad-input sample). Long lists (the allocation test over
#                            every type, the golden hashes) run a sample
#                            drawn from a printed seed.
#   scripts/test.sh --full   the long checks as well, for changes to shared
#                            code (frame loop, dot field, readers): every
#                            end-to-end test under the sanitizers, every type
#                            in the sampled tests, a bad-input sample ten times
#                            the fast tier's (the whole table takes days),
#                            five minutes of fuzzing per reader.
#
# VISTRUM_SKIP_FUZZ=1 and VISTRUM_SKIP_SANITIZE=1 leave out those rounds;
# VISTRUM_SAMPLE_SEED=<n> repeats a printed sample.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
full=0
case "${1:-}" in
  --full) full=1 ;;
  "") ;;
  *) sed -n '2,25p' "$0"; exit 2 ;;
esac
[ "$full" = 1 ] && export VISTRUM_FULL=1
jobs=$(nproc)
# End-to-end tests spend part of their time waiting on Xvfb and process
# start-up, so one more than the cores keeps both busy.
e2ejobs=$((jobs + 1))
t0=$(date +%s)
stamp() { echo "test.sh: $1 at $(( $(date +%s) - t0 )) s"; }

./scripts/install-deps.sh
# The events-table test validates with bids-validator from npm, installed
# once into a cache folder while the build runs.
bidsdir=${VISTRUM_NPM_DIR:-$HOME/.cache/vistrum-npm}
bidsbin=$bidsdir/node_modules/.bin/bids-validator
bidspid=
if [ ! -x "$bidsbin" ]; then
  mkdir -p "$bidsdir"
  (cd "$bidsdir" && npm install --no-audit --no-fund --loglevel=error bids-validator@1.15.0 >npm-install.log 2>&1) &
  bidspid=$!
fi
./scripts/build.sh
stamp "normal build done"
status=0
if [ -n "$bidspid" ] && ! wait "$bidspid"; then
  echo "test.sh: ### npm install bids-validator failed:"
  tail -20 "$bidsdir/npm-install.log" || true
fi
[ -x "$bidsbin" ] && export VISTRUM_BIDS_VALIDATOR=$bidsbin

# All tests of the normal build side by side.
runsuite() {
  local s=0
  (cd build && ctest --output-on-failure -j"$jobs" --timeout 600 -LE e2e) || s=1
  (cd build && ctest --output-on-failure -j"$e2ejobs" --timeout 1200 -L e2e) || s=1
  return $s
}

runsuite || status=1
stamp "normal round done"
if [ "$full" = 1 ]; then
  # The whole table is some 340,000 cases (days of runs): the full tier takes
  # ten times the fast tier's evenly spaced sample.
  build/tests/badinput --sample 3000 --jobs "$jobs" || status=1
  stamp "large bad-input sample done"
fi

# The scenario, pgi and palette readers under libFuzzer: the kept regression
# inputs and the shipped examples first, then a bounded run each.
if [ "${VISTRUM_SKIP_FUZZ:-0}" != 1 ]; then
  # The three readers fuzz side by side on the two cores: 30 s each there is
  # about as many executions as 20 s each one after another.
  fuzzsecs=${VISTRUM_FUZZ_SECONDS:-30}
  [ "$full" = 1 ] && fuzzsecs=${VISTRUM_FUZZ_SECONDS:-300}
  ./scripts/fuzz.sh -t "$fuzzsecs" || status=1
  stamp "fuzzing done"
fi

if [ "${VISTRUM_SKIP_SANITIZE:-0}" != 1 ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # -O1 with line tables: the sanitizers' reports keep file and line, at
  # half the compile time of the optimised build with full debug data.
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVISTRUM_SANITIZE=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" "${launcher[@]}" >/dev/null
  # Only the program and the unit tests need the sanitizers: the end-to-end
  # tests and the bad-input runner of the normal build run the sanitizer
  # build's program (VISTRUM_TEST_PROGRAM).
  cmake --build build-asan -j"$jobs" --target vistrum unit_tests
  stamp "sanitizer build done"
  # Leaks are not errors here: pictures, fonts and tables are kept until exit
  # by design, and the GL and X libraries keep their own.
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  # The unit tests in one process per core (gtest shards), not one per test:
  # a sanitized process takes a good part of a second to start, which made
  # this round seven times the length of the tests themselves.
  shardpids=()
  shardlog() { echo "$root/build-asan/unit-shard-$1.log"; }
  for ((k = 0; k < jobs; k++)); do
    (cd build-asan/tests && VISTRUM_DIR=$root GTEST_TOTAL_SHARDS=$jobs GTEST_SHARD_INDEX=$k \
      timeout 1200 ./unit_tests --gtest_brief=1 > "$(shardlog $k)" 2>&1) &
    shardpids+=($!)
  done
  for ((k = 0; k < jobs; k++)); do
    log=$(shardlog $k)
    if ! wait "${shardpids[$k]}"; then
      echo "test.sh: ### sanitized unit tests, shard $k of $jobs, failed ($log):"
      tail -n 80 "$log"
      status=1
    else
      grep '^\[  PASSED  \]' "$log" | sed "s/^/test.sh: sanitized unit tests, shard $k of $jobs: /" || true
    fi
  done
  export VISTRUM_TEST_PROGRAM=$PWD/build-asan/vistrum
  # (the allocation test runs its own counting build: not again here)
  e2eset=(-E 'TheFrameLoopAllocatesNothing')
  if [ "$full" != 1 ]; then
    names=$(grep -v '^#' tests/sanitize-set.txt | grep . | sed 's/\./\\./g' | paste -sd'|')
    e2eset=(-R "^(${names}|badinput\.sample\..*)\$")
  fi
  (cd build && ctest --output-on-failure -j"$e2ejobs" --timeout 1200 -L e2e "${e2eset[@]}") || status=1
  unset VISTRUM_TEST_PROGRAM
  stamp "sanitizer round done"
fi
exit $status
