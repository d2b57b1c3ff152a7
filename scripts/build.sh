#!/usr/bin/env bash
# Release build with Ninja in build/ at the repository's root, warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARDESK_WERROR=ON
cmake --build build --parallel "$(nproc)"
