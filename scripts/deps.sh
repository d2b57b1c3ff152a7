#!/usr/bin/env bash
# Installs the Debian packages the project needs, skipping apt-get when all are there.
set -euo pipefail

packages=(
    cmake g++ ninja-build pkg-config
    qt6-base-dev libgl-dev qt6-translations-l10n qt6-tools-dev qt6-l10n-tools
    libsqlite3-dev libsqlitecpp-dev sqlite3
    libbenchmark-dev
    libxlsxwriter-dev unzip poppler-utils fonts-dejavu-core
    locales clang-format
    librsvg2-bin dpkg-dev file desktop-file-utils appstream
    clang libclang-rt-14-dev llvm-14
    libpq-dev postgresql openssl
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi
