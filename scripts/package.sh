#!/usr/bin/env bash
# Installs what is missing, builds the Release configuration and makes the
# Debian package build/tardesk_<version>_amd64.deb with CPack: the same build
# of build/ as scripts/test.sh's, warnings as errors included.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
cmake --build build --target package
