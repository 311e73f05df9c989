#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: unit tests, end-to-end
# tests of the real program in private Xvfb servers and a sample of the
# bad-input runner, first in the normal build, then again in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer; between the two, each
# file reader's fuzz target for a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
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
status=0
if [ -n "$bidspid" ] && ! wait "$bidspid"; then
  echo "test.sh: ### npm install bids-validator failed:"
  tail -20 "$bidsdir/npm-install.log" || true
fi
[ -x "$bidsbin" ] && export VISTRUM_BIDS_VALIDATOR=$bidsbin

# Unit tests in parallel; the end-to-end runs one at a time, since each one
# renders in software and times its own key presses and frames.
runsuite() {
  local s=0
  (cd "$1" && ctest --output-on-failure -j"$(nproc)" --timeout 600 -LE e2e) || s=1
  (cd "$1" && ctest --output-on-failure --timeout 1200 -L e2e) || s=1
  return $s
}

runsuite build || status=1

# The scenario, pgi and palette readers under libFuzzer for a bounded time
# each, from the shipped examples and the kept regression inputs.
if [ "${VISTRUM_SKIP_FUZZ:-0}" != 1 ]; then
  ./scripts/fuzz.sh -t "${VISTRUM_FUZZ_SECONDS:-60}" || status=1
fi

if [ "${VISTRUM_SKIP_SANITIZE:-0}" != 1 ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVISTRUM_SANITIZE=ON "${launcher[@]}" >/dev/null
  cmake --build build-asan -j"$(nproc)"
  # Leaks are not errors here: pictures, fonts and tables are kept until exit
  # by design, and the GL and X libraries keep their own.
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  runsuite build-asan || status=1
fi
exit $status
