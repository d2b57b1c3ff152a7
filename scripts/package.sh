#!/usr/bin/env bash
# Installs what is missing, builds the Release configuration and makes the
# Debian package build/tardesk_<version>_amd64.deb with CPack.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
cmake --build build --target package
