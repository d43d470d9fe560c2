#!/usr/bin/env bash
# The installed launcher, with a stand-in for the game that records where it
# was started and with which arguments: the player's game directory is made
# private, its links follow the install, hiscores and the player's own folders
# survive, arguments and the exit status pass through unchanged.
# Usage: launcher_test.sh BUILD_DIR
set -euo pipefail
build=$(readlink -f "$1")
work=$(mktemp -d /tmp/lakeport-launcher-XXXXXX)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }
expect_eq() { [ "$1" = "$2" ] || fail "$3: got '$1', expected '$2'"; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

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

echo "launcher: game directory, links, hiscores, arguments and status as expected"
