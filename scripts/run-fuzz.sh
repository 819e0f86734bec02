#!/usr/bin/env bash
# Fuzzes the saved-state reader under AddressSanitizer and
# UndefinedBehaviorSanitizer for a bounded time (FUZZ_SECONDS, default 60).
# FUZZ_BUILD names an existing sanitizer build to use (as run-sanitizers.sh does).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"
build="${FUZZ_BUILD:-build/fuzz}"

if [ -z "${FUZZ_BUILD:-}" ]; then
    # Every file is instrumented for coverage; only the fuzzer links libFuzzer's main.
    CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
        -DVELORN_BUILD_TESTS=OFF -DVELORN_BUILD_FUZZER=ON -DVELORN_SANITIZERS=address,undefined > /dev/null
fi

cmake --build "$build" -j2 --target velorn_state_fuzzer

work="$build/corpus"
rm -rf "$work"
mkdir -p "$work"
cp tests/fuzz/corpus/* "$work/"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/tests/fuzz/velorn_state_fuzzer" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
    -artifact_prefix="$build/" "$work"
echo "fuzz: no crash, leak or undefined behaviour in ${seconds} s"
