#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: unit tests, and
# end-to-end tests of the real program in private Xvfb servers.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
cd build
status=0
# Unit tests in parallel; the end-to-end runs one at a time, since each one
# renders in software and times its own key presses and frames.
ctest --output-on-failure -j"$(nproc)" --timeout 600 -LE e2e || status=1
ctest --output-on-failure --timeout 600 -L e2e || status=1
exit $status
