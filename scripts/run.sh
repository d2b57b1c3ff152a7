#!/usr/bin/env bash
# Installs what is missing, builds, prepares the program folder build/program/
# and starts the client from it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh

program=build/program
mkdir -p "$program"
# A real copy: the program folder is the folder of the executable itself.
install -m 755 build/src/tardesk "$program/tardesk"

# The database and configuration hold the clerk's data: made once, never overwritten.
if [[ ! -e "$program/Tardesk.mdb" && ! -e "$program/Tardesk.ini" ]]; then
    build/src/tardesk-admin init "$program"
    build/tools/generator/tardesk-gen database "$program/Tardesk.mdb" 5000
    printf '[PRICE]\r\nShowVhod=1\r\nShowUS=1\r\nShowEU=1\r\nShowParameters=1\r\n\r\n' > "$program/Tardesk.ini"
fi
# Sample supplier files for trying the update.
build/tools/generator/tardesk-gen text "$program" 5000

folder=$(cd "$program" && pwd)
echo "Program folder: $folder"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): cannot start the window."
    echo "Start it on a desktop with: $folder/tardesk"
    exit 0
fi
exec "$folder/tardesk"
