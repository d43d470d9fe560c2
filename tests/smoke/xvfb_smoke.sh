#!/usr/bin/env bash
# Smoke test of the real executable on a real X server: Xvfb, driven by
# xdotool with the mouse and the keyboard. It clicks through the front end,
# plays a round (fires, reloads, switches weapon), quits it with Escape, cancels
# the name entry, leaves the hiscore screen and ends the game from the title
# with button 2; the game must exit with status 0.
# Usage: xvfb_smoke.sh GAME_BINARY GAME_ASSET_DIR [SCREENSHOT_DIR]
set -euo pipefail
game=$(readlink -f "$1")
assets=$(readlink -f "$2")
shots=${3:-}

work=$(mktemp -d /tmp/lakeport-smoke-XXXXXX)
xvfb_pid=""
game_pid=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number to the pipe; it must
# not reset when a short-lived client such as xdotool disconnects first.
exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 20 number <&3 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
exec 3<&-
display=":$number"
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

mkdir -p "$work/game/data"
ln -s "$assets/pics" "$work/game/pics"
ln -s "$assets/sounds" "$work/game/sounds"
# Absolute pointer positions, so xdotool's moves land where they are aimed.
(cd "$work/game" && SDL_AUDIODRIVER=dummy SDL_MOUSE_RELATIVE=0 LAKEPORT_TRACKER_PORT= exec "$game") >"$work/game.log" 2>&1 &
game_pid=$!

for _ in $(seq 100); do
  xdotool search --name "^Lakeport Nights$" >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool search --name "^Lakeport Nights$" >/dev/null || { echo "no game window"; cat "$work/game.log"; exit 1; }
sleep 1.5  # start-up: the progress row

# A child that has ended stays a zombie until waited for; kill -0 cannot tell.
exited() { case "$(ps -o stat= -p "$1" 2>/dev/null)" in "" | Z*) return 0 ;; *) return 1 ;; esac; }
shot() { [ -n "$shots" ] && import -window root "$shots/$1.png" || true; }
click() { xdotool mousemove "$1" "$2"; sleep 0.15; xdotool click "${3:-1}"; sleep 0.4; }

shot smoke-title
click 320 240      # title -> story
click 320 240      # story -> display help
click 320 240      # display help -> weapon choice
click 300 120      # the Six-Shooter
click 60 110       # the Garage: the round starts
sleep 4            # figures come after three wall-clock seconds
for x in 60 164 268 372 476 580; do click "$x" 126; done
xdotool key 3; sleep 0.2  # the Thompson
click 268 354
xdotool mousedown 3; sleep 0.1; xdotool mouseup 3; sleep 0.2  # reload
shot smoke-round
xdotool key Escape; sleep 1.5  # ends the round
shot smoke-round-end
# Button 2 leads back towards the title from every screen after a round (it
# cancels the name entry, leaves the hiscore table) and ends the game there.
status=""
for _ in $(seq 8); do
  click 320 240 3
  sleep 0.6
  if exited "$game_pid"; then
    wait "$game_pid" && status=0 || status=$?
    break
  fi
done
game_pid_done=$game_pid
game_pid=""
if [ -z "$status" ]; then
  echo "the game did not end"; cat "$work/game.log"; kill "$game_pid_done" 2>/dev/null; exit 1
fi
if [ "$status" -ne 0 ]; then
  echo "the game exited with status $status"; cat "$work/game.log"; exit 1
fi
ls "$work/game/data"
echo "smoke: the game reached a round, fired, quit and exited with status 0"
