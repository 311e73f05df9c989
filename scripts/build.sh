#!/usr/bin/env bash
# Installs the dependencies (if missing) and builds vistrum and its tests in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
# A compiler cache, where one is installed, makes rebuilds in fresh clones quick.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build -j"$(nproc)"
