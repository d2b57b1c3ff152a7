#!/usr/bin/env bash
# Installs what is missing, builds the Release configuration, checks the formatting,
# runs the whole test suite, and builds and checks the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
scripts/format-check.sh
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --timeout 600
cmake --build build --target package
scripts/package-check.sh
