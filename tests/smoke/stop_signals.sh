#!/usr/bin/env bash
# Ctrl+C, kill and logout on the real executable under Xvfb: SIGINT in a round,
# SIGTERM on the title, SIGHUP on the name entry with a qualifying score. Each
# time the game must end within a second, ended by that signal (a shell sees
# status 128 + its number), and the name entry's row must be in the file as a
# cancelled entry stores it. The cases run one after another on one server.
# Usage: stop_signals.sh GAME_BINARY GAME_ASSET_DIR
set -euo pipefail
game=$(readlink -f "$1")
assets=$(readlink -f "$2")

here=$(dirname "$(readlink -f "$0")")
. "$here/x_session.sh"

xs_begin lakeport-signals
work=$XS_WORK

# A Garage table whose tenth row a round without a kill beats.
table() {
  local place
  for place in $(seq 9); do echo "$place Ace$place $((10 - place)) 1 9 1 -M---"; done
  echo "10 Last -1 1 9 1 -M---"
}

# The front end with keys and the mouse: Ctrl goes on from the three text
# screens, the mouse shoots the Single Action and the Garage. The pointer is
# first pushed into the top left corner, so that moves relative to it land on
# the same pixels whether SDL reports the pointer absolute or relative.
to_round() {
  for _ in 1 2 3; do xdotool key ctrl; sleep 0.3; done
  for _ in 1 2 3; do xdotool mousemove 0 0; sleep 0.1; done
  xdotool mousemove_relative 100 110; sleep 0.15; xdotool click 1; sleep 0.4
  xdotool mousemove_relative -- -40 0; sleep 0.15; xdotool click 1; sleep 0.6
}

fail() {
  echo "$1"
  cat "$2/game.log"
  exit 1
}

# Sends signal $1 to the game and waits up to a second for it to end; sets
# took (ms until it had ended) and status. Fails when it is still running.
# (Run with standard error away: bash tells of a job ended by a signal.)
stop_game() {
  local sent=${EPOCHREALTIME/./}
  kill -s "$1" "$XS_GAME_PID"
  for _ in $(seq 20); do xs_exited "$XS_GAME_PID" && break; sleep 0.05; done
  took=$(((${EPOCHREALTIME/./} - sent) / 1000))
  xs_exited "$XS_GAME_PID" || return 1
  wait "$XS_GAME_PID" && status=0 || status=$?
  XS_GAME_PID=""
}

# signal, where it is sent
cases=(
  "INT round"
  "TERM title"
  "HUP entry"
)
for c in "${cases[@]}"; do
  read -r signal place <<<"$c"
  dir=$work/$signal
  mkdir -p "$dir/data"
  ln -s "$assets/pics" "$dir/pics"
  ln -s "$assets/sounds" "$dir/sounds"
  table >"$dir/data/data00.dat"
  # A script's background job starts with SIGINT ignored (and under nohup
  # SIGHUP), which the game keeps; started from a terminal it has the defaults.
  (cd "$dir" && HOME=$XS_HOME LAKEPORT_TRACKER_PORT= \
    exec env --default-signal=INT,TERM,HUP "$game") >"$dir/game.log" 2>&1 &
  XS_GAME_PID=$!
  xs_wait_window || fail "no game window ($c)" "$dir"
  case $place in
    round) to_round ;;
    entry) to_round; xdotool key Escape; sleep 1.5 ;;  # the round ends, the entry opens
  esac
  stop_game "$signal" 2>/dev/null ||
    fail "SIG$signal on the $place: still running after a second" "$dir"
  expected=$((128 + $(kill -l "$signal")))
  [ "$status" -eq "$expected" ] ||
    fail "SIG$signal on the $place: status $status, not $expected" "$dir"
  if [ "$place" = entry ] && ! grep -q '^10 Anonymous 0 0 ' "$dir/data/data00.dat"; then
    cat "$dir/data/data00.dat"
    fail "SIG$signal on the name entry: the row is not in the file" "$dir"
  fi
  echo "SIG$signal on the $place: ended with status $status within $took ms"
done
