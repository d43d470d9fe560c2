#!/usr/bin/env bash
# The game installed into a temporary prefix and started through its launcher
# from an unrelated folder, on a private Xvfb server driven by xdotool: the
# mouse joins a short round of the Garage, ends the name entry at once with the
# end key, and leaves the game with button 2. The player's game directory holds
# a table from an earlier session, whose rows a round without a kill beats; it
# must come out with the links to the installed art and the new row under
# "Anonymous" above the old ones.
# Usage: installed_game_test.sh BUILD_DIR
set -euo pipefail
build=$(readlink -f "$1")
here=$(dirname "$(readlink -f "$0")")
. "$here/../smoke/x_session.sh"

xs_begin lakeport-installed
work=$XS_WORK
fail() {
  echo "FAIL: $*"
  cat "$work/game.log" 2>/dev/null
  exit 1
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

mkdir "$work/elsewhere"
dir=$work/xdg/lakeport-nights
(umask 077 && mkdir -p "$dir/data")
for i in $(seq 10); do echo "$i Old^Timer $((-9 - i)) 0 5 1 --K--"; done >"$dir/data/data00.dat"
# No SDL variable: the game itself reads the pointer's absolute positions.
(cd "$work/elsewhere" && HOME=$XS_HOME XDG_DATA_HOME="$work/xdg" LAKEPORT_TRACKER_PORT= \
  exec "$prefix/bin/lakeport-nights") >"$work/game.log" 2>&1 &
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

[ "$(stat -c %a "$dir")" = 700 ] || fail "the game directory is not private"
[ "$(stat -c %a "$dir/data")" = 700 ] || fail "data/ is not private"
for part in pics sounds; do
  [ -L "$dir/$part" ] || fail "$part is not a link"
  [ "$(readlink -f "$dir/$part")" = "$prefix/share/lakeport-nights/$part" ] || fail "$part points elsewhere"
done
# position name score weapon(Six-Shooter) shots players devices(mouse)
table=$dir/data/data00.dat
head -n1 "$table" | grep -Eq '^[0-9]+ Anonymous 0 1 0 1 -M---$' ||
  { cat "$table"; fail "no hiscore row of the mouse under Anonymous at the top"; }
[ "$(grep -c ' Old Timer \| Old^Timer ' "$table")" = 9 ] || { cat "$table"; fail "the old rows were not kept"; }
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the game wrote into the folder it was started from"
echo "installed game: played a round, stored the hiscore row, exited with status 0"
