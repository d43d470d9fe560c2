# Drives the real game on a private Xvfb server with xdotool: the server,
# waiting for the game's window, clicks and the exit test. Shared by
# tools/screenshots.sh and the Xvfb and install tests. Source it from bash;
# it keeps its state in XS_* variables.

# Starts Xvfb with one 24-bit screen of XS_SIZE pixels (default 640x480) on a
# display number it finds free itself, and exports DISPLAY; $1 is a folder for
# its log. The server must not reset when its last client leaves: every xdotool
# call is a client, and a game connecting then finds none.
xs_start() {
  local log=$1/xvfb.log fifo=$1/xvfb.display n=""
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${XS_SIZE:-640x480}x24" -nolisten tcp -noreset 3>"$fifo" >"$log" 2>&1 &
  XS_XVFB_PID=$!
  read -r -t 10 n <"$fifo" || true
  rm -f "$fifo"
  if [ -n "$n" ] && ! xs_exited "$XS_XVFB_PID"; then
    export DISPLAY=":$n"
    return 0
  fi
  xs_stop
  echo "Xvfb did not start"
  cat "$log"
  return 1
}

# Stops the server that xs_start started.
xs_stop() {
  [ -n "${XS_XVFB_PID:-}" ] && kill "$XS_XVFB_PID" 2>/dev/null || true
  XS_XVFB_PID=""
}

# Waits up to ten seconds for the game's window, then for the loading to end.
xs_wait_window() {
  for _ in $(seq 100); do
    xdotool search --name "^Lakeport Nights$" >/dev/null 2>&1 && break
    sleep 0.1
  done
  xdotool search --name "^Lakeport Nights$" >/dev/null 2>&1 || return 1
  sleep 1.5 # start-up: the progress row
}

# Whether process $1 has ended (a zombie, which kill -0 cannot tell, has).
xs_exited() {
  case "$(ps -o stat= -p "$1" 2>/dev/null)" in "" | Z*) return 0 ;; *) return 1 ;; esac
}

# Moves the pointer to ($1, $2) and clicks button $3 (default 1).
xs_click() {
  xdotool mousemove "$1" "$2"
  sleep 0.15
  xdotool click "${3:-1}"
  sleep 0.4
}

# Presses button 2 until the game in XS_GAME_PID ends, at most $1 times
# (default 8); sets XS_STATUS to its exit status, or empty if it did not end.
xs_back_until_exit() {
  XS_STATUS=""
  for _ in $(seq "${1:-8}"); do
    xs_click 320 240 3
    sleep 0.6
    if xs_exited "$XS_GAME_PID"; then
      wait "$XS_GAME_PID" && XS_STATUS=0 || XS_STATUS=$?
      XS_GAME_PID=""
      return 0
    fi
  done
}

# Makes a work folder XS_WORK named after $1 and starts the server there; on
# exit the game in XS_GAME_PID and the server end and the folder goes. XS_HOME
# is a home whose ALSA default is the null device: the game needs a sound
# device, and test machines have none (a player's has its own).
xs_begin() {
  XS_WORK=$(mktemp -d "/tmp/$1-XXXXXX")
  XS_GAME_PID=""
  trap xs_end EXIT
  XS_HOME=$XS_WORK/home
  mkdir -p "$XS_HOME"
  printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$XS_HOME/.asoundrc"
  xs_start "$XS_WORK"
}

xs_end() {
  [ -n "${XS_GAME_PID:-}" ] && kill "$XS_GAME_PID" 2>/dev/null || true
  xs_stop
  rm -rf "$XS_WORK"
}
