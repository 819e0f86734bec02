#!/usr/bin/env bash
# Builds everything and runs every test: unit tests and signal-path checks,
# the stress, sweep, soak and real-time safety tests, the host checks of the
# built VST3 and LV2 (editors under a virtual display) and the render tool's
# checks; then the unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, a bounded fuzz run of the saved-state reader,
# and the concurrency tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/configure.sh
cmake --build build -j2
# Editors need a display: a virtual one when there is none.
if [ -n "${DISPLAY:-}" ]; then
    ctest --test-dir build --output-on-failure -j2
else
    xvfb-run -a ctest --test-dir build --output-on-failure -j2
fi
scripts/run-sanitizers.sh
