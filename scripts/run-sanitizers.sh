#!/usr/bin/env bash
# The unit tests under AddressSanitizer and UndefinedBehaviorSanitizer, a
# bounded fuzz run of the saved-state reader in the same build, and the
# concurrency tests under ThreadSanitizer. Soak and stress runs are shortened
# here: the sanitizers slow everything down about tenfold.
set -euo pipefail
cd "$(dirname "$0")/.."

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan.supp

configure () {
    local dir=$1 sanitizers=$2 extra=$3
    CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_FLAGS="$extra" -DCMAKE_CXX_FLAGS="$extra" \
        -DVELORN_SANITIZERS="$sanitizers" -DVELORN_BUILD_FUZZER=ON > /dev/null
}

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
configure build/asan address,undefined -fsanitize=fuzzer-no-link
cmake --build build/asan -j2 --target velorn_tests velorn_state_fuzzer
VELORN_SOAK_MINUTES=1 VELORN_STRESS_SECONDS=3 build/asan/tests/velorn_tests

echo "== fuzzing the saved-state reader"
FUZZ_BUILD=build/asan scripts/run-fuzz.sh

echo "== ThreadSanitizer"
configure build/tsan thread ""
cmake --build build/tsan -j2 --target velorn_tests
VELORN_STRESS_SECONDS=5 build/tsan/tests/velorn_tests --gtest_filter='Stress.*:SavedState.RestoreTakesEffect*'
