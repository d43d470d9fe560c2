# Reloading, in two halves: "press" when the reload control goes down,
# "release" when it comes up.  weapon-load.sh OUT WORK GUN press|release
source "$(dirname "$0")/lib.sh"
gun=$1
half=$2
# A ratchet: n quick ticks, gap seconds apart.
ratchet() {
  local name=$1 n=$2 gap=$3 parts=()
  for ((i = 0; i < n; i++)); do
    click "$name$i" 3000 0.015
    later "$name$i" "$(awk "BEGIN { print $i * $gap }")"
    parts+=("$name$i")
  done
  mixof "$name" "${parts[@]}"
}
# Cartridges clinking: short high rings at the given times.
shells() {
  local name=$1
  shift
  local parts=() k=0
  for t in "$@"; do
    tone "$name$k" 0.12 sine $((3600 + k * 700)) gain -6
    later "$name$k" "$t"
    parts+=("$name$k")
    k=$((k + 1))
  done
  mixof "$name" "${parts[@]}"
}
case $gun-$half in
1-press)  # the loading gate opens, a spent case slides out
  click gate 1800 0.05
  noise slide 0.18 pink bandpass 3000 1500h gain -6
  later slide 0.08
  shells fall 0.3
  mixof l gate slide fall
  ;;
1-release)  # a round goes in, the gate shuts, the cylinder turns a step
  noise push 0.1 pink bandpass 2500 1200h gain -6
  click gate 1700 0.05
  later gate 0.12
  ratchet turn 2 0.05
  later turn 0.2
  mixof l push gate turn
  ;;
2-press)  # the cylinder swings out, the empties drop
  click latch 2000 0.04
  ratchet swing 3 0.025
  later swing 0.05
  shells fall 0.18 0.21 0.25 0.3
  mixof l latch swing fall
  ;;
2-release)  # six rounds in and the cylinder snaps shut
  noise push 0.15 pink bandpass 2600 1200h gain -6
  click snap 1500 0.06
  later snap 0.18
  mixof l push snap
  ;;
3-press)  # the drum comes off
  click catch 1600 0.04
  noise slide 0.2 brown bandpass 900 500h gain 6
  later slide 0.04
  mixof l catch slide
  ;;
3-release)  # the drum goes home, the bolt is racked
  noise seat 0.08 brown bandpass 600 300h gain 8
  click lock 1300 0.06
  click back 1900 0.04
  later back 0.2
  click home 1500 0.06
  later home 0.32
  mixof l seat lock back home
  ;;
*)
  echo "weapon-load.sh: unknown reload $gun $half" >&2
  exit 1
  ;;
esac
finish l -4 0.1 reverb 15 50 30 0 0 -10
