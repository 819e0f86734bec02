#!/usr/bin/env bash
# Configures the one build directory that every script and CI share.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "$@" > /dev/null
