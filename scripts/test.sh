#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: unit tests, and
# end-to-end tests of the real program in private Xvfb servers.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
cd build
ctest --output-on-failure -j"$(nproc)" --timeout 600
