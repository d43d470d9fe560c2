# Helpers for the sound recipes: each recipe is run as
#   bash <recipe>.sh <output.wav> <work folder> [variant...]
# with SOX (and ESPEAK, ARTKIT where needed) naming the tools. Parts are made
# mono at 44100 Hz in the work folder; finish writes the 16-bit stereo result.
set -euo pipefail
SOX=${SOX:-sox}
out=$1
work=$2
shift 2
rm -rf "$work"
mkdir -p "$work"
fmt=(-r 44100 -c 1 -b 16)

# Parts are made 9 dB below full scale, so that filters and gains downstream
# have room; finish sets the level.
# noise NAME SECONDS white|pink|brown [effects...]: a noise burst that dies away.
noise() {
  local name=$1 len=$2 kind=$3
  shift 3
  "$SOX" "${fmt[@]}" -n "${fmt[@]}" "$work/$name.wav" synth "$len" "${kind}noise" gain -9 \
    fade q 0 "$len" "$len" fade q 0 "$len" "$len" fade q 0 "$len" "$len" "$@"
}
# tone NAME SECONDS WAVE FREQ [effects...]: a struck tone that dies away; FREQ
# may sweep (e.g. 90-40).
tone() {
  local name=$1 len=$2 wave=$3 freq=$4
  shift 4
  "$SOX" "${fmt[@]}" -n "${fmt[@]}" "$work/$name.wav" synth "$len" "$wave" "$freq" gain -9 \
    fade q 0 "$len" "$len" fade q 0 "$len" "$len" "$@"
}
# later NAME SECONDS: the part starts later by that many seconds.
later() {
  [ "$2" = 0 ] && return 0
  "$SOX" "$work/$1.wav" "$work/$1-later.wav" pad "$2"
  mv "$work/$1-later.wav" "$work/$1.wav"
}
# mixof NAME PART...: the parts played together (louder parts first in mind).
mixof() {
  local name=$1
  shift
  local files=()
  for p in "$@"; do files+=("$work/$p.wav"); done
  if [ ${#files[@]} -eq 1 ]; then cp "${files[0]}" "$work/$name.wav"; else "$SOX" -m "${files[@]}" "$work/$name.wav"; fi
}
# joined NAME PART...: the parts one after the other.
joined() {
  local name=$1
  shift
  local files=()
  for p in "$@"; do files+=("$work/$p.wav"); done
  "$SOX" "${files[@]}" "$work/$name.wav"
}
# finish PART PEAK_DB TAIL_SECONDS [effects...]: to stereo with room for the
# echoes to ring out, effects, the peak set to PEAK_DB.
finish() {
  local part=$1 peak=$2 tail=$3
  shift 3
  # Headroom first, so that the effects cannot clip before the level is set.
  "$SOX" "$work/$part.wav" -r 44100 -c 2 -b 16 "$work/final.wav" remix 1 1 gain -n -10 pad 0 "$tail" \
    "$@" gain -n "$peak"
  mv "$work/final.wav" "$out"
  rm -rf "$work"
}
# A shot: the crack of the powder, the blast, a low thump of the air.
#   shot NAME BLAST_SECONDS BLAST_LOWPASS THUMP_HZ CRACK_HIGHPASS
shot() {
  local name=$1 len=$2 lp=$3 thump=$4 hp=$5
  noise "$name-crack" 0.025 white highpass "$hp" gain -2
  noise "$name-blast" "$len" brown lowpass "$lp" gain 6 overdrive 12 gain -3
  tone "$name-thump" 0.22 sine "$thump-$((thump / 2))" gain -1
  mixof "$name" "$name-crack" "$name-blast" "$name-thump"
}
# A metal click: a dry tick and a short ring.  click NAME RING_HZ RING_SECONDS
click() {
  local name=$1 hz=$2 len=$3
  noise "$name-tick" 0.006 white highpass 2500
  tone "$name-ring" "$len" sine "$hz" gain -8
  mixof "$name" "$name-tick" "$name-ring"
}
