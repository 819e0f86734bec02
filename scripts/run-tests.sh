#!/usr/bin/env bash
# Builds everything and runs every test: unit tests, the signal-path checks
# the host checks of the built VST3 and LV2, the render tool's checks and a
# bounded fuzz run of the saved-state reader.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/configure.sh
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2
scripts/run-fuzz.sh
