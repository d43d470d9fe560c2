#!/usr/bin/env bash
# What software centres and Debian's checks see of the game: the installed
# tree's AppStream metadata, desktop entry and icons pass appstreamcli, and the
# Debian package CPack makes passes lintian without errors or warnings (the
# tags it cannot mend are overridden in the package, each with its reason).
# Usage: package_checks_test.sh BUILD_DIR
set -euo pipefail
build=$(readlink -f "$1")
work=$(mktemp -d /tmp/lakeport-package-XXXXXX)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }
for tool in appstreamcli lintian cpack; do
  command -v $tool >/dev/null || fail "$tool is missing: run tools/setup.sh"
done

cmake --install "$build" --prefix "$work/root/usr" >/dev/null
appstreamcli validate-tree --no-net "$work/root" || fail "appstreamcli validate-tree"

(cd "$work" && cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >cpack.log 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/deb/lakeport-nights_*.deb)
# lintian refuses to run as root (as CI does) unless told.
as_root=()
[ "$(id -u)" -ne 0 ] || as_root=(--allow-root)
lintian "${as_root[@]}" --info --display-level '>=info' --fail-on error,warning "$deb" ||
  fail "lintian"
echo "package: appstreamcli and lintian clean"
