#!/usr/bin/env bash
# Installs what is missing, builds (art and sound included) and runs every test.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/tools/setup.sh"
build=${LAKEPORT_BUILD_DIR:-$top/build}
cd "$build"
ctest --output-on-failure -j "$(nproc)"
