#!/usr/bin/env bash
# The test suite under AddressSanitizer and UndefinedBehaviorSanitizer (the
# plug-in binaries, the render tool and the host checks included), a bounded
# fuzz run of the saved-state reader, and the concurrency tests under
# ThreadSanitizer. Soak and stress runs are shortened here: the sanitizers
# slow everything down about tenfold. The real-time safety test replaces the
# allocator, so it runs in the normal build only.
set -euo pipefail
cd "$(dirname "$0")/.."

# The plug-in binaries are shared objects: every part uses clang's shared
# sanitizer runtime, which the loader finds here.
runtime_dir=$(dirname "$(clang -print-file-name=libclang_rt.asan-x86_64.so)")
export LD_LIBRARY_PATH="$runtime_dir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan.supp
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp

with_display () {
    if [ -n "${DISPLAY:-}" ]; then "$@"; else xvfb-run -a "$@"; fi
}

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
CC=clang CXX=clang++ cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELORN_SANITIZERS=address,undefined \
    -DCMAKE_EXE_LINKER_FLAGS=-shared-libsan -DCMAKE_SHARED_LINKER_FLAGS=-shared-libsan \
    -DCMAKE_MODULE_LINKER_FLAGS=-shared-libsan > /dev/null
# Building the LV2 bundle runs the plug-in once to write its metadata.
ASAN_OPTIONS=detect_leaks=0 cmake --build build/asan -j2 \
    --target velorn_tests velorn_host_tests velorn_render_tests velorn-render
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
VELORN_SOAK_MINUTES=1 VELORN_STRESS_SECONDS=3 build/asan/tests/velorn_tests
with_display build/asan/tests/velorn_host_tests
build/asan/tests/velorn_render_tests

echo "== fuzzing the saved-state reader"
scripts/run-fuzz.sh

echo "== ThreadSanitizer"
CC=clang CXX=clang++ cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELORN_SANITIZERS=thread > /dev/null
cmake --build build/tsan -j2 --target velorn_tests
VELORN_STRESS_SECONDS=5 build/tsan/tests/velorn_tests --gtest_filter='Stress.*:SavedState.RestoreTakesEffect*'
