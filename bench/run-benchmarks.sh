#!/usr/bin/env bash
# Builds and runs the processor benchmarks: the cost of each module and of all
# of them per stereo frame, mono, a parameter change every block, and silent
# tails against loud audio. Medians of five repetitions.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/configure.sh
cmake --build build -j2 --target velorn_bench
build/bench/velorn_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
