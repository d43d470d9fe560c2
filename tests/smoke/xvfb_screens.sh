#!/usr/bin/env bash
# The real executable on X screens of four sizes, no SDL variable set: the
# picture fills the largest centred 4:3 box between black bars, inside a frame
# where LAKEPORT_BORDER asks for one, or in a window that the player resizes;
# clicks at exact screen points pick on the menus and leave marks at the game
# points shown there; an outside player who reads the screen clicks the
# gangsters' heads and scores. Each game ends its own way (button 2; SIGINT;
# SIGHUP on the name entry, its row stored; SIGTERM; the window closed on the
# name entry, its row stored) with the status a shell expects, printing nothing.
# Usage: xvfb_screens.sh GAME_BINARY GAME_ASSET_DIR OUTSIDE_PLAYER
set -euo pipefail
game=$(readlink -f "$1")
assets=$(readlink -f "$2")
player=$(readlink -f "$3")
here=$(dirname "$(readlink -f "$0")")
. "$here/../../tools/x_session.sh"

# screen size | how the game ends | the game's environment (- for none) | game
# points shot in the round's first seconds, between the places where figures
# will stand and at the edges; "heads" has the outside player play on.
sizes=(
  "640x480   INT    -                           112,240 216,10 424,240"
  "1920x1080 HUP    LAKEPORT_BORDER=3           3,100 636,240 320,12 heads"
  "1280x1024 quit   LAKEPORT_GUN_CROSSHAIR=off  112,3 528,240 634,300"
  "640x480   TERM   LAKEPORT_BORDER=3,red       5,5 320,240 634,474"
  "2560x1440 window LAKEPORT_SCREEN=window      20,20 600,240 320,240 heads"
)

fail() { echo "FAIL $XS_SIZE $ending: $*" && failures=$((failures + 1)); }
# The picture's box in an area W by H with a frame T thick: PX PY PW PH.
picture_box() {
  local w=$1 h=$2 t=$3 pw=$(($1 - 2 * $3)) ph=$(($2 - 2 * $3))
  if ((pw * 3 > ph * 4)); then pw=$((ph * 4 / 3)); else ph=$((pw * 3 / 4)); fi
  echo $(((w - pw) / 2)) $(((h - ph) / 2)) $pw $ph
}
# Lays the picture out in the area (ox, oy) W by H, as the game does.
lay_out() {
  ox=$1 oy=$2 w=$3 h=$4 t=$((percent * $4 / 100))
  read -r px py pw ph <<<"$(picture_box "$w" "$h" "$t")"
  px=$((ox + px)) py=$((oy + py))
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

# The picture's bars black, its edges not, its frame in its colour.
check_picture() {
  local shot=$1 fx=$((px - t)) fy=$((py - t)) fw=$((pw + 2 * t)) fh=$((ph + 2 * t)) i
  bars=() edges=("1 $ph $px $py" "1 $ph $((px + pw - 1)) $py" "$pw 1 $px $py" "$pw 1 $px $((py + ph - 1))")
  ((fx == ox)) || bars+=("$((fx - ox)) $h $ox $oy" "$((ox + w - fx - fw)) $h $((fx + fw)) $oy")
  ((fy == oy)) || bars+=("$w $((fy - oy)) $ox $oy" "$w $((oy + h - fy - fh)) $ox $((fy + fh))")
  read -r -d '' -a light < <(each_box "$shot" '%[fx:int(255*maxima)]' "${bars[@]}" "${edges[@]}") || true
  for i in "${!bars[@]}"; do [ "${light[i]}" = 0 ] || fail "the bar ${bars[i]} is not black"; done
  for i in "${!edges[@]}"; do
    [ "${light[${#bars[@]} + i]}" != 0 ] || fail "the picture's edge ${edges[i]} is black"
  done
  ((t > 0)) || return 0
  local rgb=255,255,255,255,255 f
  [ "$colour" = red ] && rgb=255,0,0,0,0
  for f in $(each_box "$shot" '%[fx:int(255*minima.r)],%[fx:int(255*minima.g)],%[fx:int(255*maxima.g)],%[fx:int(255*minima.b)],%[fx:int(255*maxima.b)]' \
    "$fw $t $fx $fy" "$fw $t $fx $((py + ph))" "$t $fh $fx $fy" "$t $fh $((px + pw)) $fy"); do
    [ "$f" = "$rgb" ] || fail "the frame is not $colour but $f"
  done
}

# Sends signal $1 to the game and waits up to a second for it to end; sets
# XS_STATUS, or leaves it empty if the game still runs.
stop_game() { XS_STATUS="" && kill -s "$1" "$XS_GAME_PID" && wait_end; }
wait_end() {
  for _ in $(seq 20); do xs_exited "$XS_GAME_PID" && break; sleep 0.05; done
  xs_exited "$XS_GAME_PID" || return 0
  wait "$XS_GAME_PID" 2>/dev/null && XS_STATUS=0 || XS_STATUS=$?
  XS_GAME_PID=""
}

# The title's picture, once the loading is over: the screen no longer changes.
settled_title() {
  import -window root "$work/title.ppm"
  for _ in $(seq 20); do
    sleep 0.3 && import -window root "$work/again.ppm"
    cmp -s "$work/title.ppm" "$work/again.ppm" && break
    mv "$work/again.ppm" "$work/title.ppm"
  done
}

# Menu picks (title, story, display help, the Six-Shooter, the Garage). With
# the guns' crosshairs off, the mouse moves nothing on the weapon choice and
# the keyboard's crosshair shows.
pick_round() {
  local p
  for p in "320 240" "320 240" "320 240"; do click_game $p; done
  if [ "$env" = LAKEPORT_GUN_CROSSHAIR=off ]; then
    import -window root "$work/a.ppm"
    xdotool mousemove $(to_screen 150 300) sleep 0.4
    import -window root "$work/b.ppm"
    xdotool keydown Right sleep 0.2 keyup Right sleep 0.3
    import -window root "$work/c.ppm"
    cmp -s "$work/a.ppm" "$work/b.ppm" || fail "the mouse's crosshair is drawn"
    cmp -s "$work/b.ppm" "$work/c.ppm" && fail "the keyboard's crosshair is not drawn"
  fi
  for p in "300 120" "60 110"; do click_game $p; done
}

# Shots at the game points $1 whose marks must land there, then the Thompson
# and a reload.
check_marks() {
  local points=$1 p
  park=$(to_screen 450 150) # the crosshair waits away from the shots
  xdotool mousemove $park
  sleep 0.3
  import -window root "$work/before.ppm"
  for p in $points; do
    xdotool mousemove $(to_screen ${p%,*} ${p#*,}) click 1 sleep 0.15
  done
  xdotool mousemove $park
  sleep 0.6
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
  [ "$i" = "$(echo $points | wc -w)" ] || fail "the marks could not be measured"
  xdotool key 3 sleep 0.2 mousedown 3 sleep 0.1 mouseup 3 sleep 0.2
}

# Plays on a screen of size $1, ends the game as $2 says, with the game's
# environment $3, shooting at the game points $4 (no round without them); each
# runs on a server and in a work folder of its own. Its status counts the
# failures.
play_on() {
  local size=$1 ending=$2 env=$3 points=$4 work expected=0 place shots=0 score="" win=""
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
  percent=0 colour=white
  case $env in LAKEPORT_BORDER=*) percent=${env#*=} percent=${percent%,*} ;; esac
  case $env in *,red) colour=red ;; esac
  # A script's background job starts with SIGINT ignored; from a terminal the
  # game has the defaults.
  (cd "$work/game" && HOME=$XS_HOME LAKEPORT_TRACKER_PORT= \
    exec env --default-signal=INT,TERM,HUP ${env#-} "$game") >"$work/game.log" 2>&1 &
  XS_GAME_PID=$!
  xs_wait_window || { fail "no game window"; cat "$work/game.log"; return 1; }
  if [ "$ending" = window ]; then
    win=$(xdotool search --name "^Lakeport Nights$")
    eval "$(xdotool getwindowgeometry --shell "$win")"
    # Twice the game: nine tenths of the desktop's 1440 rows hold two game heights.
    [ "${WIDTH}x$HEIGHT" = 1280x960 ] || fail "the window is ${WIDTH}x$HEIGHT"
    lay_out "$X" "$Y" "$WIDTH" "$HEIGHT"
  else
    lay_out 0 0 ${size%x*} ${size#*x}
  fi
  settled_title
  check_picture "$work/title.ppm"

  [ -n "$points" ] && pick_round && check_marks "${points% heads}"
  if [ "$ending" = window ]; then # the player makes it 1000 by 600: bars at the sides
    # Back to the Six-Shooter: a Thompson's click held long on a busy machine
    # would fire again where its recoil threw the crosshair.
    xdotool key 2 windowsize "$win" 1000 600 sleep 0.8
    eval "$(xdotool getwindowgeometry --shell "$win")" # sdl12-compat centres it again
    lay_out "$X" "$Y" "$WIDTH" "$HEIGHT"
    import -window root "$work/round.ppm"
    check_picture "$work/round.ppm"
    check_marks "216,10 528,240 3,100"
  fi
  case $points in *heads) shots=$("$player" "$assets/pics" 7 $px $py $pw $ph | sed -n 's/^shots //p') ;; esac
  case $ending in
    quit) xdotool key Escape; sleep 1.5; xs_back_until_exit ;;
    HUP) xdotool key Escape; sleep 1.5; stop_game HUP 2>/dev/null ;;
    window) xdotool key Escape; sleep 1.5; "$player" close "$win"; wait_end ;;
    *) stop_game "$ending" 2>/dev/null ;;
  esac
  case $ending in quit | window) ;; *) expected=$((128 + $(kill -l "$ending"))) ;; esac
  if [ "${XS_STATUS:-}" != "$expected" ]; then
    fail "the game did not end with status $expected (${XS_STATUS:-still running})"
    cat "$work/game.log"
  fi
  # The name entry's row: what the outside player scored, every kill a shot
  # at a gangster's head (some find the figure gone).
  if [ "$ending" = HUP ] || [ "$ending" = window ]; then
    score=$(sed -n 's/^[0-9]* Anonymous \(-\{0,1\}[0-9]*\) .*/\1/p' "$work/game/data/data00.dat")
    if [ -z "$score" ] || ((shots < 3 || 3 * score < shots || score > shots)); then
      fail "the outside player shot $shots times at heads, the row says: ${score:-no row}"
      cat "$work/game/data/data00.dat"
    fi
  fi
  # With the whole default art and sound there is nothing to tell: every line
  # the game prints names a missing or unreadable file or device.
  [ ! -s "$work/game.log" ] || { fail "the game printed:"; cat "$work/game.log"; }
  echo "$size $ending ${env#-}: picture ${pw}x$ph at $px,$py; marks at ${points:-none}; $shots shots at heads, score ${score:-none}"
  return $((failures > 0))
}

# Most of a run is waiting for the games, so they play three at a time; on
# sdl12-compat one at a time: there SDL 2's sound thread keeps a core busy on
# a test machine's sound device (the ALSA null device), and games side by side
# would answer the clicks late.
together=3
case $("$game" --version) in *sdl12-compat*) together=1 ;; esac
out=$(mktemp -d /tmp/lakeport-screens-logs-XXXXXX)
trap 'rm -rf "$out"' EXIT
pids=() next=0 status=0
# Waits for the oldest game still playing and shows its log.
reap() { wait "${pids[next]}" || status=1; cat "$out/$next.log"; next=$((next + 1)); }
for row in "${sizes[@]}"; do
  read -r size ending env points <<<"$row"
  while ((${#pids[@]} - next >= together)); do reap; done
  (play_on "$size" "$ending" "$env" "$points" >"$out/${#pids[@]}.log" 2>&1) &
  pids+=($!)
done
while ((next < ${#pids[@]})); do reap; done
exit $status
