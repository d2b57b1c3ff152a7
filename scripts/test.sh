#!/usr/bin/env bash
# Installs what is missing, builds the Release configuration, checks the formatting
# and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
scripts/format-check.sh
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --timeout 600
