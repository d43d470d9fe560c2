# The title tune: the art tool plays the score; sox gives it the sound of an
# old dance-band record (narrow band, a little room) and its level.
source "$(dirname "$0")/lib.sh"
ARTKIT=${ARTKIT:?the art tool}
"$ARTKIT" tune score="$(dirname "$0")/title-tune.txt" out="$work/band.wav"
"$SOX" "$work/band.wav" -r 44100 -c 2 -b 16 "$work/final.wav" highpass 110 lowpass 5200 \
  reverb 22 60 50 60 0 -6 gain -n -3
mv "$work/final.wav" "$out"
rm -rf "$work"
