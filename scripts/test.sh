#!/usr/bin/env bash
# Installs what is missing, builds the Release configuration, checks the formatting,
# runs the whole test suite, and builds and checks the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# The tests that show numbers run a second time under a decimal-comma locale.
locale -a | grep -ix 'ru_RU.utf8' >/dev/null || localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
# The window test of the languages runs under a Ukrainian locale.
locale -a | grep -ix 'uk_UA.utf8' >/dev/null || localedef -i uk_UA -f UTF-8 uk_UA.UTF-8
scripts/build.sh
scripts/format-check.sh
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --timeout 600
cmake --build build --target package
scripts/package-check.sh
