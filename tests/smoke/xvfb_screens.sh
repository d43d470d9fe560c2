#!/usr/bin/env bash
# The real executable on X screens of three sizes, no SDL variable set: the
# picture fills the largest centred 4:3 box between black bars; clicks at exact
# screen points pick on the menus and leave marks at the game points shown
# there. Each game ends its own way (button 2; SIGINT; SIGHUP on the name entry,
# its row stored; SIGTERM) with the status a shell expects, printing nothing.
# Usage: xvfb_screens.sh GAME_BINARY GAME_ASSET_DIR
set -euo pipefail
game=$(readlink -f "$1")
assets=$(readlink -f "$2")
here=$(dirname "$(readlink -f "$0")")
out=$(mktemp -d /tmp/lakeport-screens-logs-XXXXXX)
trap 'rm -rf "$out"' EXIT
. "$here/../../tools/x_session.sh"

# screen size | how the game ends | game points shot in the round's first
# seconds, between the places where figures will stand and at the edges
sizes=(
  "640x480   INT  112,240 216,10 424,240"
  "1920x1080 HUP  3,100 636,240 320,12"
  "1280x1024 quit 112,3 528,240 634,300"
  "640x480   TERM"
)

fail() {
  echo "FAIL $XS_SIZE: $*"
  failures=$((failures + 1))
}
# The picture's box on a W by H screen: PX PY PW PH.
picture_box() {
  local w=$1 h=$2 pw=$1 ph=$2
  if ((w * 3 > h * 4)); then pw=$((h * 4 / 3)); else ph=$((w * 3 / 4)); fi
  echo $(((w - pw) / 2)) $(((h - ph) / 2)) $pw $ph
}
# The screen point at the middle of game point ($1, $2), like the game's own map.
to_screen() { echo $((px + (2 * $1 + 1) * pw / 1280)) $((py + (2 * $2 + 1) * ph / 960)); }
# The game column or row shown at picture offset $1 of a picture $2 wide showing $3.
to_game() { echo $(((2 * $1 + 1) * $3 / (2 * $2))); }
click_game() { xs_click $(to_screen "$1" "$2") "${3:-1}"; }
# Prints one line for each box W H X Y of picture $1 in one pass: the
# ImageMagick format $2 of what the box holds.
each_box() {
  local shot=$1 format=$2 args=() b
  shift 2
  for b in "$@"; do
    read -r bw bh bx by <<<"$b"
    args+=(\( mpr:shot -crop "${bw}x$bh+$bx+$by" +repage -format "$format\n" -write info:- +delete \))
  done
  convert "$shot" -write mpr:shot +delete "${args[@]}" xc:none null:
}

# Sends signal $1 to the game and waits up to a second for it to end; sets
# XS_STATUS, or leaves it empty if the game still runs.
stop_game() {
  XS_STATUS=""
  kill -s "$1" "$XS_GAME_PID"
  for _ in $(seq 20); do xs_exited "$XS_GAME_PID" && break; sleep 0.05; done
  xs_exited "$XS_GAME_PID" || return 0
  wait "$XS_GAME_PID" 2>/dev/null && XS_STATUS=0 || XS_STATUS=$?
  XS_GAME_PID=""
}

# Plays on a screen of size $1, ends the game as $2 says, shooting at the game
# points $3 (no round without them); each runs on a server and in a work folder
# of its own. Its status counts the failures.
play_on() {
  local size=$1 ending=$2 points=$3 work expected=0 place
  failures=0
  XS_SIZE=$size
  xs_begin lakeport-screens
  work=$XS_WORK
  mkdir -p "$work/game/data"
  ln -s "$assets/pics" "$work/game/pics"
  ln -s "$assets/sounds" "$work/game/sounds"
  # A Garage table whose tenth row a round without a kill beats.
  for place in $(seq 9); do echo "$place Ace$place $((10 - place)) 1 9 1 -M---"; done >"$work/game/data/data00.dat"
  echo "10 Last -1 1 9 1 -M---" >>"$work/game/data/data00.dat"
  w=${size%x*} h=${size#*x}
  read -r px py pw ph <<<"$(picture_box "$w" "$h")"
  # A script's background job starts with SIGINT ignored; from a terminal the
  # game has the defaults.
  (cd "$work/game" && HOME=$XS_HOME LAKEPORT_TRACKER_PORT= \
    exec env --default-signal=INT,TERM,HUP "$game") >"$work/game.log" 2>&1 &
  XS_GAME_PID=$!
  xs_wait_window || { fail "no game window"; cat "$work/game.log"; return 1; }

  # The picture and its bars on the title screen, once the loading is over:
  # the screen no longer changes.
  import -window root "$work/title.ppm"
  for _ in $(seq 20); do
    sleep 0.3
    import -window root "$work/again.ppm"
    cmp -s "$work/title.ppm" "$work/again.ppm" && break
    mv "$work/again.ppm" "$work/title.ppm"
  done
  bars=() edges=("1 $ph $px $py" "1 $ph $((px + pw - 1)) $py" "$pw 1 $px $py" "$pw 1 $px $((py + ph - 1))")
  ((px == 0)) || bars+=("$px $h 0 0" "$px $h $((px + pw)) 0")
  ((py == 0)) || bars+=("$w $py 0 0" "$w $py 0 $((py + ph))")
  read -r -d '' -a light < <(each_box "$work/title.ppm" '%[fx:int(255*maxima)]' "${bars[@]}" "${edges[@]}") || true
  for i in "${!bars[@]}"; do [ "${light[i]}" = 0 ] || fail "the bar ${bars[i]} is not black"; done
  for i in "${!edges[@]}"; do
    [ "${light[${#bars[@]} + i]}" != 0 ] || fail "the picture's edge ${edges[i]} is black"
  done

  [ -n "$points" ] && play_round "$points"
  case $ending in
    quit) xdotool key Escape; sleep 1.5; xs_back_until_exit ;;
    HUP) xdotool key Escape; sleep 1.5; stop_game HUP 2>/dev/null ;;
    *) stop_game "$ending" 2>/dev/null ;;
  esac
  [ "$ending" = quit ] || expected=$((128 + $(kill -l "$ending")))
  if [ "${XS_STATUS:-}" != "$expected" ]; then
    fail "$ending: the game did not end with status $expected (${XS_STATUS:-still running})"
    cat "$work/game.log"
  fi
  if [ "$ending" = HUP ] && ! grep -q '^10 Anonymous 0 ' "$work/game/data/data00.dat"; then
    fail "the name entry's row is not in the file"
    cat "$work/game/data/data00.dat"
  fi
  # With the whole default art and sound there is nothing to tell: every line
  # the game prints names a missing or unreadable file or device.
  [ ! -s "$work/game.log" ] || { fail "the game printed:"; cat "$work/game.log"; }
  echo "$size: picture ${pw}x$ph at $px,$py; marks checked at ${points:-none}; ended by $ending"
  return $((failures > 0))
}

# Menu picks (title, story, display help, the Six-Shooter, the Garage), shots
# at the game points $1 whose marks must land there, the Thompson, a reload.
play_round() {
  local points=$1 p
  for p in "320 240" "320 240" "320 240" "300 120" "60 110"; do click_game $p; done
  park=$(to_screen 450 150) # the crosshair waits away from the shots
  xdotool mousemove $park
  sleep 0.3
  import -window root "$work/before.ppm"
  for p in $points; do
    xdotool mousemove $(to_screen ${p%,*} ${p#*,}) click 1 sleep 0.15
  done
  xdotool mousemove $park
  sleep 0.3
  import -window root "$work/after.ppm"
  convert "$work/before.ppm" "$work/after.ppm" -compose difference -composite -threshold 1% \
    "$work/diff.ppm"
  # A mark covers game pixels x-4 to x+1 and y-4 to y+1 of its shot: look
  # three game pixels around that for what the shot changed.
  windows=()
  for p in $points; do
    read -r x0 y0 <<<"$(to_screen $((${p%,*} - 7)) $((${p#*,} - 7)))"
    read -r x1 y1 <<<"$(to_screen $((${p%,*} + 4)) $((${p#*,} + 4)))"
    windows+=("$((x1 - x0)) $((y1 - y0)) $x0 $y0")
  done
  i=0
  while read -r changed; do
    p=$(echo $points | cut -d' ' -f$((i + 1)))
    gx=${p%,*} gy=${p#*,}
    read -r _ _ x0 y0 <<<"${windows[i]}"
    i=$((i + 1))
    read -r bw bh bx by <<<"$(echo "$changed" | tr 'x+' '  ')"
    if [ "${bw:-0}" -le 1 ] || [ "${bh:-0}" -le 1 ]; then
      fail "no mark near game point $p"
      continue
    fi
    left=$(to_game $((x0 + bx - px)) "$pw" 640) right=$(to_game $((x0 + bx + bw - 1 - px)) "$pw" 640)
    top=$(to_game $((y0 + by - py)) "$ph" 480) bottom=$(to_game $((y0 + by + bh - 1 - py)) "$ph" 480)
    # Within one game pixel of the mark's place (clipped at the picture's edge).
    if ((left < gx - 5 || right > gx + 2 || top < gy - 5 || bottom > gy + 2)); then
      fail "the mark of game point $p covers game $left..$right x $top..$bottom"
    fi
  done < <(each_box "$work/diff.ppm" '%@' "${windows[@]}" 2>/dev/null)
  [ "$i" = 3 ] || fail "the marks could not be measured"
  xdotool key 3 sleep 0.2 mousedown 3 sleep 0.1 mouseup 3 sleep 0.2
}

# The sizes play at once: most of a run is waiting for the game.
pids=()
for row in "${sizes[@]}"; do
  read -r size ending points <<<"$row"
  (play_on "$size" "$ending" "$points" >"$out/${#pids[@]}.log" 2>&1) &
  pids+=($!)
done
status=0
for i in "${!pids[@]}"; do
  wait "${pids[i]}" || status=1
  cat "$out/$i.log"
done
exit $status
