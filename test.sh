#!/usr/bin/env bash
# Installs what is missing, builds (art and sound included) and runs every test
# twice: on classic SDL 1.2, and on sdl12-compat (SDL 1.2 over SDL 2, the
# libSDL-1.2.so.0 of today's distributions) put in front of the game's own.
# LAKEPORT_SDL=classic or LAKEPORT_SDL=sdl12-compat runs one of the two.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/tools/setup.sh"
build=${LAKEPORT_BUILD_DIR:-$top/build}
cd "$build"
for sdl in ${LAKEPORT_SDL:-classic sdl12-compat}; do
  case $sdl in
    classic) preload="" ;;
    sdl12-compat) preload=$(dpkg -L libsdl1.2-compat | grep '/libSDL-1.2.so.0$' | head -n1) ;;
    *) echo "LAKEPORT_SDL=$sdl: classic or sdl12-compat" >&2 && exit 2 ;;
  esac
  # The pass is named by the SDL the game says it loaded.
  loaded=$(LD_PRELOAD=$preload ./lakeport-nights --version | sed -n 's/^SDL: //p')
  echo "== Every test on $loaded"
  [ "${loaded%% *}" = "$sdl" ] || { echo "expected $sdl" >&2 && exit 1; }
  LD_PRELOAD=$preload ctest --output-on-failure -j "$(nproc)"
done
