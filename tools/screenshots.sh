#!/usr/bin/env bash
# Makes the README's screenshots from the real game on a private Xvfb server:
# the title, a round of the Garage with figures and shot marks, and the
# Garage's hiscore table after a name was typed on the on-screen keyboard.
# Run it again whenever the art changes.
# Usage: tools/screenshots.sh [BUILD_DIR [OUTPUT_DIR]]
#   (defaults: build, docs/screenshots; needs xvfb, xdotool and imagemagick)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(readlink -f "${1:-$top/build}")
out=${2:-$top/docs/screenshots}
mkdir -p "$out"
out=$(readlink -f "$out")
. "$top/tools/x_session.sh"

xs_begin lakeport-screenshots
game=$XS_WORK/game
mkdir -p "$game/data"
ln -s "$build/game/pics" "$game/pics"
ln -s "$build/game/sounds" "$game/sounds"
# A table of earlier nights whose last rows a round without a kill beats.
cat >"$game/data/data00.dat" <<'EOF'
1 Eddie^the^Eye 17 2 96 2 -MK--
2 LUCKY^LOU 15 1 44 1 -M---
3 Big^Vinnie 12 0 23 1 ---J-
4 Mae 11 2 120 3 -MKJ-
5 DOC^HOLLER 9 1 31 1 --K--
6 Ray^and^Fay 7 1 52 2 ---JJ
7 Tommy^Gunn 5 2 140 1 -M---
8 SPATS 3 0 12 1 --K--
9 Nobody^Special 1 1 18 1 -M---
10 Oops -2 1 9 1 --K--
EOF

(cd "$game" && HOME=$XS_HOME LAKEPORT_TRACKER_PORT= exec "$build/lakeport-nights") \
  >"$XS_WORK/game.log" 2>&1 &
XS_GAME_PID=$!
xs_wait_window || { echo "no game window"; cat "$XS_WORK/game.log"; exit 1; }

# The scenes are grainy old photographs, which PNG cannot make small (over
# 150 KB even at 256 colours); JPEG keeps each near 60 KB.
shot() { import -window root -quality 85 -sampling-factor 4:4:4 "$out/$1.jpg"; }
key() { xs_click $((28 + 20 * $2)) $((346 + 20 * $1)); } # row, column of the keyboard

xdotool mousemove 630 470 # the pointer out of the way
shot title
xs_click 320 240 # title -> story
xs_click 320 240 # story -> display help
xs_click 320 240 # display help -> weapon choice
xs_click 520 120 # the Thompson
xs_click 60 110  # the Garage
# The keyboard joins and aims at the street; the outside player shoots the
# gangsters' heads with the mouse, and the round is shown with its dead.
xdotool keydown Down sleep 0.5 keyup Down
"$build/lakeport-outside-player" "$build/game/pics" 9 0 0 640 480 >/dev/null
xdotool mousemove 330 300 # the mouse's crosshair beside them
sleep 0.3
shot round
xdotool key Escape
sleep 1.5
key 3 0 # A
key 4 2 # C
key 2 2 # E
xs_click 227 375 # end
xdotool mousemove 600 300
sleep 0.5
shot hiscores
xs_back_until_exit
[ "${XS_STATUS:-}" = 0 ] || { echo "the game did not end cleanly"; cat "$XS_WORK/game.log"; exit 1; }
ls -l "$out"/title.jpg "$out"/round.jpg "$out"/hiscores.jpg
