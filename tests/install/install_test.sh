#!/usr/bin/env bash
# The game installed into a temporary prefix: metadata, desktop entry and
# Debian package pass their checkers, and apt would install the package where
# SDL 1.2 is sdl12-compat; the package's files played through its launcher on
# Xvfb, the row is stored above the player's old rows; with a stand-in game the launcher
# prepares a private game directory, follows the install, keeps the player's
# folders and passes arguments and the exit status through.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
. "$here/../../tools/x_session.sh"

xs_begin lakeport-install
work=$XS_WORK
fail() {
  echo "FAIL: $*"
  cat "$work/game.log" 2>/dev/null
  exit 1
}
expect_eq() { [ "$1" = "$2" ] || fail "$3: got '$1', expected '$2'"; }

prefix=$work/root/usr
cmake --install "$build" --prefix "$prefix" >/dev/null
appstreamcli validate-tree --no-net "$work/root" || fail "appstreamcli validate-tree"
desktop-file-validate "$prefix"/share/applications/*.desktop || fail "desktop-file-validate"
(cd "$work" && cpack -G DEB -B "$work/deb" --config "$build/CPackConfig.cmake" >cpack.log 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack"; }
# lintian refuses to run as root (as CI does) unless told.
as_root=()
[ "$(id -u)" -ne 0 ] || as_root=(--allow-root)
deb=$(echo "$work"/deb/lakeport-nights_*.deb)
lintian "${as_root[@]}" --info --display-level '>=info' --fail-on error,warning "$deb" || fail "lintian"
# Where libSDL-1.2.so.0 is sdl12-compat (its shim in classic SDL's place), apt
# installs the package all the same.
apt-get install -s -o Debug::NoLocking=1 "$deb" libsdl1.2-compat-shim >"$work/apt.log" 2>&1 || true
grep -q '^Inst libsdl1.2-compat-shim' "$work/apt.log" && grep -q '^Inst lakeport-nights' "$work/apt.log" ||
  { cat "$work/apt.log"; fail "apt would not install the package beside sdl12-compat"; }
dpkg-deb -x "$deb" "$work/debroot"

mkdir "$work/elsewhere"
dir=$work/played/lakeport-nights
(umask 077 && mkdir -p "$dir/data")
for i in $(seq 10); do echo "$i Old^Timer $((-9 - i)) 0 5 1 --K--"; done >"$dir/data/data00.dat"
# The package's own files, no SDL variable: the game itself reads the
# pointer's absolute positions.
(cd "$work/elsewhere" && HOME=$XS_HOME XDG_DATA_HOME="$work/played" LAKEPORT_TRACKER_PORT= \
  exec "$work/debroot/usr/games/lakeport-nights") >"$work/game.log" 2>&1 &
XS_GAME_PID=$!
xs_wait_window || fail "no game window"

xs_click 320 240 # title -> story
xs_click 320 240 # story -> display help
xs_click 320 240 # display help -> weapon choice
xs_click 300 120 # the Six-Shooter
xs_click 60 110  # the Garage: the round starts
xdotool mousemove 400 300 # the mouse joins by moving
sleep 0.3
xdotool key Escape
sleep 1.5        # the end of the round waits before the name entry
xs_click 227 375 # the end key of the name entry: "Anonymous"
sleep 0.5
xs_back_until_exit # hiscore table -> title -> the game ends
[ -n "$XS_STATUS" ] || fail "the game did not end"
[ "$XS_STATUS" -eq 0 ] || fail "the game exited with status $XS_STATUS"

# position name score weapon(Six-Shooter) shots players devices(mouse)
table=$dir/data/data00.dat
head -n1 "$table" | grep -Eq '^[0-9]+ Anonymous 0 1 0 1 -M---$' ||
  { cat "$table"; fail "no hiscore row of the mouse under Anonymous at the top"; }
[ "$(grep -c ' Old Timer \| Old^Timer ' "$table")" = 9 ] || { cat "$table"; fail "the old rows were not kept"; }
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the game wrote into the folder it was started from"

# The stand-in writes its working directory and then each argument, every
# one ended by a NUL byte, and exits with the status in STUB_STATUS.
cat >"$prefix/libexec/lakeport-nights/lakeport-nights" <<'EOF'
#!/bin/sh
{ pwd; printf '%s\n' "$#"; for a in "$@"; do printf '%s\0' "$a"; done; } >"$STUB_OUT"
exit "${STUB_STATUS:-0}"
EOF
export STUB_OUT=$work/stub.out

# Started through a link on the PATH, from an unrelated folder, under umask 0.
mkdir -p "$work/path" "$work/elsewhere" "$work/home"
ln -s "$prefix/bin/lakeport-nights" "$work/path/lakeport-nights"
run() { (cd "$work/elsewhere" && umask 000 && PATH="$work/path:$PATH" lakeport-nights "$@"); }

export HOME=$work/home XDG_DATA_HOME=$work/xdg
run --version
expect_eq "$(tail -n +3 "$STUB_OUT" | tr '\0' '|')" "--version|" "the launcher's --version"
[ ! -e "$work/xdg" ] || fail "--version prepared a game directory"
run kiosk "two words" "" "*"
dir=$work/xdg/lakeport-nights
expect_eq "$(head -n1 "$STUB_OUT")" "$dir" "working directory"
expect_eq "$(sed -n 2p "$STUB_OUT")" 4 "argument count"
args=$(tail -n +3 "$STUB_OUT" | tr '\0' '|')
expect_eq "$args" "kiosk|two words||*|" "arguments"
expect_eq "$(stat -c %a "$dir")" 700 "mode of the game directory"
expect_eq "$(stat -c %a "$dir/data")" 700 "mode of data/"
for part in pics sounds; do
  [ -L "$dir/$part" ] || fail "$part is not a link"
  expect_eq "$(readlink -f "$dir/$part")" "$prefix/share/lakeport-nights/$part" "$part link"
done

# Hiscores survive a second start, and an install moved elsewhere is followed.
printf '1 Ace 25 1 31 1 -M---\n' >"$dir/data/data00.dat"
mv "$prefix" "$work/moved"
prefix=$work/moved
ln -sfn "$prefix/bin/lakeport-nights" "$work/path/lakeport-nights"
rm "$dir/sounds"
mkdir "$dir/sounds" # the player's own sounds
touch "$dir/sounds/mine.wav"
STUB_STATUS=3 run && status=0 || status=$?
expect_eq "$status" 3 "exit status passed on"
expect_eq "$(cat "$dir/data/data00.dat")" "1 Ace 25 1 31 1 -M---" "hiscores after a second start"
expect_eq "$(readlink -f "$dir/pics")" "$prefix/share/lakeport-nights/pics" "pics link after the move"
[ -f "$dir/sounds/mine.wav" ] || fail "the player's own sounds folder was replaced"
expect_eq "$(sed -n 2p "$STUB_OUT")" 0 "argument count without arguments"

# A folder the player opened up keeps its mode.
chmod 750 "$dir"
run
expect_eq "$(stat -c %a "$dir")" 750 "mode the player chose"

# Without XDG_DATA_HOME, or with a relative one, the game lives in the home.
for xdg in unset relative; do
  rm -rf "$work/home/.local"
  if [ $xdg = unset ]; then
    (unset XDG_DATA_HOME && run)
  else
    XDG_DATA_HOME=rel/share run
  fi
  expect_eq "$(head -n1 "$STUB_OUT")" "$work/home/.local/share/lakeport-nights" "game directory, XDG_DATA_HOME $xdg"
done
[ ! -e "$work/elsewhere/rel" ] || fail "a relative XDG_DATA_HOME was used"

# A missing game is named in one line, and nothing is prepared.
rm "$prefix/libexec/lakeport-nights/lakeport-nights"
rm -rf "$work/xdg"
out=$(run 2>&1) && fail "a missing game was not reported"
case "$out" in "lakeport-nights: the game is missing: "*) ;; *) fail "message: $out" ;; esac
[ ! -e "$work/xdg" ] || fail "a game directory was prepared for a missing game"

echo "installed: package checks clean, a round played and stored, the launcher as expected"
