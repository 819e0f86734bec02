#!/usr/bin/env bash
# Runs every benchmark: the processor benchmarks (each module and all of
# them per stereo frame, mono, a parameter change every block, silent tails
# against loud audio; medians of five repetitions), then the peer comparison
# with Velorn's VST3 and LV2 and Debian's LSP plug-ins in one process.
# --no-peers skips the comparison. Not part of CI.
set -euo pipefail
cd "$(dirname "$0")/.."

peers=1
if [ "${1:-}" = "--no-peers" ]; then
    peers=0
    shift
fi

scripts/install-deps.sh
scripts/configure.sh
cmake --build build -j2 --target velorn_bench
build/bench/velorn_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"

if [ "$peers" = 1 ]; then
    bench/run-peer-comparison.sh
fi
