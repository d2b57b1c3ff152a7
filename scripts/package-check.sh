#!/usr/bin/env bash
# Checks the package that scripts/package.sh made, without installing it:
# unpacks it into a temporary folder, validates the desktop entry and the
# AppStream metainfo, and runs the unpacked programs.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
package=build/tardesk_${version}_amd64.deb
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$package" "$root"

desktop=$root/usr/share/applications/ua.velmora.Tardesk.desktop
metainfo=$root/usr/share/metainfo/ua.velmora.Tardesk.metainfo.xml
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$metainfo"
# The tree as a whole: the metainfo's launchable names the desktop entry shipped beside it.
appstreamcli validate-tree --no-net "$root"
if ! grep -q "<release version=\"$version\"" "$metainfo"; then
    echo "The metainfo lists no release $version: add it to its <releases>." >&2
    exit 1
fi

fail() {
    echo "Package check: $*" >&2
    exit 1
}
admin=$root/usr/bin/tardesk-admin
[[ "$("$admin" --version)" == "tardesk-admin $version" ]] || fail "tardesk-admin --version"
# The client answers without any display.
client_version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/tardesk" --version)
[[ "$client_version" == "tardesk $version" ]] || fail "tardesk --version"
"$admin" init "$root/data"
[[ -s "$root/data/Tardesk.mdb" && -f "$root/data/Tardesk.ini" ]] || fail "tardesk-admin init made no files"
[[ "$("$admin" search "$root/data" OC90)" == "не найден" ]] || fail "tardesk-admin search on the new folder"
echo "Package: $package checked"
