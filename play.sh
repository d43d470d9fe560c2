#!/usr/bin/env bash
# Installs what is missing, builds, makes the default art and sound, and starts
# the game in its game directory game/ (pics/, sounds/ and your hiscores in data/).
# Any argument is passed on: one argument starts kiosk mode.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/tools/setup.sh"
build=${LAKEPORT_BUILD_DIR:-$top/build}
mkdir -p "$top/game/data"
ln -sfn "$build/game/pics" "$top/game/pics"
ln -sfn "$build/game/sounds" "$top/game/sounds"
cd "$top/game"
exec "$build/lakeport-nights" "$@"
